#include "testrun/test_run.h"

#include "app/core/control_panel_plan.h"
#include "window/control_panel.h"
#include "window/exam_lock.h"
#include "window/file_menu.h"
#include "window/keyboard_navigation.h"
#include "window/messages.h"
#include "window/options_menu.h"
#include "window/page_window.h"
#include "window/progress_window.h"
#include "window/read_aloud.h"
#include "window/report_area.h"
#include "window/working_folder.h"
#include "media/media_video_player.h"
#include "media/sound_player.h"
#include "objects/qt_text.h"
#include "objects/zx_object.h"
#include "objects/zx_text.h"
#include "results/core/results_display.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "testrun/core/test_assembly.h"
#include "testrun/page_builder.h"
#include "testrun/test_clock.h"
#include "testrun/password_dialog.h"
#include "testrun/user_details_dialog.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>

#include <chrono>
#include <random>
#include <utility>

namespace zx {

TestRun::TestRun(TestRunWindow window, TestRunOptions options)
    : QObject(window.page.mainWindow())
    , m_window(window)
    , m_options(std::move(options))
{
    if (!m_options.random)
        m_options.random = clockSeededRandom();

    PageContext context;
    context.resolveBankFile = [this](const std::string& name) { return resolveBankFile(name); };
    context.playAudioFile = [this](const std::string& path) { m_window.messages.playAudioFile(pathFromLocal(path)); };
    context.requestStart = [this] { m_window.page.requestStart(); };
    context.testState = [this] { return m_window.page.testState(); };
    context.subtitlesOn = [this] { return m_window.options.subtitlesOn(); };
    context.wait = m_options.frameWait;
    context.glideStep = m_options.glideStep;
    context.announceRefusal = [this](int number) { tell(number); };
    context.makeVideoPlayer = m_options.makeVideoPlayer
                                  ? m_options.makeVideoPlayer
                                  : std::function<std::unique_ptr<VideoPlayer>()>(
                                        [] { return std::make_unique<MediaVideoPlayer>(); });
    context.autoPlayOn = [this] { return m_window.panel.autoPlayOn(); };
    context.messageText = [this](int number) { return qStringToCp1252(m_window.messages.message(number)); };
    context.answerChanged = [this] { answerChanged(); };
    context.notePageRecord = [this](const std::string& key, const std::string& value) {
        m_pageText = setTag(m_pageText, key, value);
    };
    m_page = std::make_unique<PageBuilder>(m_window.page.pageArea(), std::move(context));

    m_password = new TPassword(m_window.page.mainWindow());
    m_password->setDelay(m_options.passwordDelay);
    m_password->setWrongPasswordNotice([this] { tell(99); });
    connect(m_password, &TPassword::passwordAccepted, this, &TestRun::askUserDetails);
    connect(m_password, &TPassword::passwordCancelled, this, &TestRun::forgetBank);

    m_details = new TUserDetails(m_window.page.mainWindow());
    m_details->setEmptyDetailNotice([this] { tell(84); });
    connect(m_details, &TUserDetails::detailsAccepted, this, [this] {
        const auto details = m_details->details();
        std::string settings = m_testSettings;
        settings = setTag(settings, "userDetails1", details[0]);
        settings = setTag(settings, "userDetails2", details[1]);
        settings = setTag(settings, "userDetails3", details[2]);
        setTestSettings(std::move(settings));
        prepareTest();
    });
    connect(m_details, &TUserDetails::detailsCancelled, this, &TestRun::forgetBank);

    JournalKeeperOptions journal;
    journal.folder = m_options.journalFolder;
    journal.fallbackBase = m_options.journalFallbackBase;
    journal.random = m_options.random;
    journal.write = m_options.journalWrite;
    journal.tell = [this](int caption, int text) { refuse(caption, text); };
    journal.record = [this] { return journalRecord(); };
    m_journal = std::make_unique<JournalKeeper>(std::move(journal));
    m_journalTimer = new QTimer(this);
    m_journalTimer->setSingleShot(true);
    connect(m_journalTimer, &QTimer::timeout, this, &TestRun::writePendingAnswers);

    m_clock = new TestClock(m_options.clock, this);
    connect(m_clock, &TestClock::timeLeftChanged, this,
            [this](qint64 secondsLeft) { m_window.panel.setTimeLeft(secondsLeft, m_clock->timer().allowance().seconds()); });
    connect(m_clock, &TestClock::ticked, this, [this] { journalTime(false); });
    connect(m_clock, &TestClock::warningDue, this, [this](int message) {
        // A warning given is never given again after a crash.
        journalTime(true);
        m_window.messages.announceMessage(message);
        m_window.messages.showMessageWindow(msg(timeCaptionMessage), msg(message));
    });

    connectWindow();
    m_window.page.pageArea()->installEventFilter(this);
    m_window.page.pageArea()->setMouseTracking(true);
}

TestRun::~TestRun()
{
    m_page->leavePage();
    if (m_window.page.pageArea())
        m_window.page.pageArea()->removeEventFilter(this);
}

void TestRun::connectWindow()
{
    connect(&m_window.files, &FileMenu::openBankRequested, this, &TestRun::openBank);
    connect(&m_window.panel, &ControlPanel::StartButtonClick, this, &TestRun::startTest);
    connect(&m_window.panel, &ControlPanel::MarkButClick, this, &TestRun::MarkButClick);
    connect(&m_window.panel, &ControlPanel::CheatButtonMouseDown, this, &TestRun::CheatButtonMouseDown);
    connect(&m_window.panel, &ControlPanel::CheatButtonMouseUp, this, &TestRun::CheatButtonMouseUp);
    connect(&m_window.panel, &ControlPanel::questionSliderScroll, this, &TestRun::questionSliderScroll);
    connect(&m_window.panel, &ControlPanel::AutoPlayClick, this, &TestRun::AutoPlayClick);
    connect(&m_window.options, &OptionsMenu::SubtitlesClick, this, &TestRun::refreshSubtitles);
    connect(&m_window.reader, &ReadAloud::ReadAloudClick, this, &TestRun::ReadAloudClick);
    connect(&m_window.page, &PageWindow::FormClosing, this, [this] {
        leavePage();
        // Closing was allowed (or confirmed): the test is over.
        m_journaling = false;
        m_journal->clear();
    });
    connect(&m_window.page, &PageWindow::testStateChanged, this, &TestRun::testStateChanged);
}

QString TestRun::msg(int number) const { return m_window.messages.message(number); }

// ------------------------------------------------------------ the journal

JournalRecord TestRun::journalRecord() const
{
    JournalRecord r;
    r.bankPath = localPath(QFileInfo(m_bankPath).absoluteFilePath());
    r.bank = m_bankIdentity;
    r.testSettings = m_testSettings;
    r.questionList = m_questionList;
    r.lastQuestion = std::max(0, m_lastQuestion);
    r.currentQuestion = m_currentQuestion;
    r.state = m_window.page.testState();
    // A test only starts once the bank's password was accepted.
    r.passwordAccepted = true;
    r.savedAt = formatDisplayDate(currentLocalTime());
    r.otherFields = timeJournal();
    return r;
}

JournalFieldList TestRun::timeJournal() const
{
    if (!m_clock->timed())
        return {};
    TimeJournal time = m_clock->timer().journal();
    // Not counting yet: the time until the resume is not the candidate's.
    if (!m_clock->timer().running())
        time.atMs = m_clock->nowMs();
    return timeJournalFields(time);
}

void TestRun::writeJournal()
{
    if (!m_journaling)
        return;
    m_timeJournalledMs = m_clock->timer().lastReadingMs();
    m_journal->writeBase(journalRecord());
}

void TestRun::journalPage(int question, const std::string& pageText)
{
    if (!m_journaling)
        return;
    m_journalTimer->stop();
    m_lastJournalEntry.start();
    m_timeJournalledMs = m_clock->timer().lastReadingMs();
    m_journal->appendPage(question, question >= 0 ? pageText : std::string(), m_currentQuestion,
                          formatDisplayDate(currentLocalTime()), timeJournal());
}

void TestRun::journalTime(bool now)
{
    const TestState state = m_window.page.testState();
    if (!m_journaling || (state != TestState::Running && state != TestState::RunningExam) || m_currentQuestion < 0
        || !m_clock->timed())
        return;
    const std::int64_t at = m_clock->timer().lastReadingMs();
    // A clock set back writes at once, so that the record never lags.
    if (!now && at >= m_timeJournalledMs && at - m_timeJournalledMs < TestTimer::journalIntervalMs)
        return;
    m_timeJournalledMs = at;
    // Page -1: the page on show stays, answers waiting for their entry
    // still wait.
    m_journal->appendPage(-1, {}, m_currentQuestion, formatDisplayDate(currentLocalTime()), timeJournal());
}

void TestRun::answerChanged()
{
    const TestState state = m_window.page.testState();
    if (!m_journaling || (state != TestState::Running && state != TestState::RunningExam) || m_currentQuestion < 0
        || m_pageText.size() < 11)
        return;
    // Written from the event loop, never from inside an object's own
    // handling of the candidate's action, and at most once an interval.
    const int interval = std::max(0, m_options.journalIntervalMs);
    const qint64 since = m_lastJournalEntry.isValid() ? m_lastJournalEntry.elapsed() : interval;
    if (!m_journalTimer->isActive())
        m_journalTimer->start(static_cast<int>(std::max<qint64>(0, interval - since)));
}

void TestRun::writePendingAnswers()
{
    const TestState state = m_window.page.testState();
    if (!m_journaling || (state != TestState::Running && state != TestState::RunningExam) || m_currentQuestion < 0
        || m_pageText.size() < 11)
        return;
    // Answers on show for Cheat are not the candidate's: wait for the
    // release.
    if (m_cheatHeld) {
        m_journalTimer->start(std::max(100, m_options.journalIntervalMs));
        return;
    }
    journalPage(m_currentQuestion, m_page->pageTextWithAnswers(m_pageText));
}

void TestRun::testStateChanged(TestState state)
{
    switch (state) {
    case TestState::Running:
    case TestState::RunningExam:
        break; // the start writes the journal
    case TestState::Finished:
        m_clock->stop();
        // A finished test whose results are not stored yet comes back at
        // its results.
        writeJournal();
        break;
    default:
        m_clock->stop();
        if (m_journaling) {
            m_journaling = false;
            m_journalTimer->stop();
            m_journal->clear();
        }
        break;
    }
}

bool TestRun::offerResume()
{
    // Without a journal of its own (another player holds it) nothing is
    // offered or touched.
    Journal* journal = m_journal->journal();
    if (!journal)
        return false;
    const JournalRead read = journal->read();
    if (read.status == JournalStatus::None)
        return false;
    const std::string stamp = formatDateStamp(currentLocalTime());
    if (read.status == JournalStatus::Unreadable) {
        journal->setAside(stamp);
        tell(110);
        return false;
    }
    const JournalRecord& record = read.record;
    // Only the very bank the test came from can take it up again.
    const BankIndexResult bank = zx::readBankIndex(record.bankPath);
    const BankIdentity identity{static_cast<std::uint64_t>(
                                    std::max<qint64>(0, QFileInfo(pathFromLocal(record.bankPath)).size())),
                                bank.ok() ? hashBankIndex(bank.index.fileHeader, bank.index.testList,
                                                          bank.index.questionFileList, bank.index.preTestFileList)
                                          : 0};
    if (!bank.ok() || identity != record.bank || !record.passwordAccepted) {
        journal->setAside(stamp);
        return false;
    }
    const BankSettings rules = BankSettings::parse(record.testSettings);
    QString details;
    for (int i = 0; i < 3; ++i) {
        const std::string detail = getTag(record.testSettings, "userDetails" + std::to_string(i + 1));
        if (!detail.empty())
            details += (details.isEmpty() ? QString() : QStringLiteral(", ")) + cp1252ToQString(detail);
    }
    QString question = msg(109) + QStringLiteral("\n\n") + QFileInfo(pathFromLocal(record.bankPath)).fileName();
    if (rules.shouldUserEnterDetails && !details.isEmpty())
        question += QStringLiteral("\n") + details;
    question += QStringLiteral("\n") + cp1252ToQString(record.savedAt);
    m_window.messages.announceMessage(109);
    if (!m_window.messages.prompts().askYesNo(question)) {
        journal->setAside(stamp);
        return false;
    }
    // The time as of the base, then as of each entry: the last one wins.
    JournalFieldList fields = record.otherFields;
    fields.insert(fields.end(), read.entryFields.begin(), read.entryFields.end());
    resume(record, readTimeJournal(fields));
    return true;
}

void TestRun::resume(const JournalRecord& record, const std::optional<TimeJournal>& time)
{
    resetTestData();
    m_bankPath = pathFromLocal(record.bankPath);
    if (!readBankIndex()) {
        refuse(78, 79);
        return;
    }
    extractEmbeddedFiles();
    setTestSettings(record.testSettings);
    m_rules = BankSettings::parse(m_testSettings);
    m_window.page.setBankRules(m_rules);
    m_questionList = record.questionList;
    m_lastQuestion = record.lastQuestion;
    fitWindowToPages();
    m_window.panel.setAutoPlay(true, true);
    m_journaling = m_journal->begin();
    // Extra time given to the run that stopped stays with it.
    m_extraPercent = time ? time->extraPercent : 0;
    if (record.state == TestState::Finished) {
        // Its time stopped at the finish.
        if (time)
            m_clock->reset(timeAllowance(), time->usedMs, time->notRunningMs);
        else
            m_clock->reset(timeAllowance());
        emit resumedFinished();
        return;
    }
    if (time)
        m_clock->resume(timeAllowance(), *time);
    else
        m_clock->reset(timeAllowance());
    enterTest(record.state == TestState::RunningExam);
    m_window.files.enableResultsCommands(m_rules.allowSaving, m_rules.allowPrinting);
    const int page = std::clamp(record.currentQuestion, 0, m_lastQuestion);
    m_window.panel.setQuestionRange(m_lastQuestion, page, true);
    m_currentQuestion = -1;
    goToQuestion(page);
    // The clock goes on with the page on show: a test whose time was all
    // used finishes here, as at zero.
    m_clock->start();
    const TestState state = m_window.page.testState();
    if (state == TestState::Running || state == TestState::RunningExam)
        writeJournal();
}

void TestRun::refuse(int caption, int text)
{
    m_window.messages.announceMessage(text);
    m_window.messages.showMessageWindow(msg(caption), msg(text));
}

bool TestRun::mayReplaceTest(const ReplaceMessages& messages)
{
    int question = 0;
    switch (m_window.page.testState()) {
    case TestState::RunningExam:
        refuse(58, messages.exam);
        return false;
    case TestState::Ready:
        question = messages.ready;
        break;
    case TestState::Running:
        question = messages.running;
        break;
    case TestState::Finished:
        question = messages.unsaved;
        break;
    default:
        return true;
    }
    m_window.messages.announceMessage(question);
    return m_window.messages.prompts().askYesNo(msg(question));
}

void TestRun::tell(int number)
{
    m_window.messages.announceMessage(number);
    m_window.messages.prompts().inform(msg(number));
}

void TestRun::setTestSettings(std::string settings) { m_testSettings = std::move(settings); }

void TestRun::forgetBank()
{
    m_testSettings.clear();
    m_rules = {};
    m_window.page.setBankRules(m_rules);
    m_questionList.clear();
}

// ------------------------------------------------------------ opening a bank

void TestRun::openBank(const QString& path)
{
    // Extra time is given for one bank: this one, whatever comes of it.
    const int extraPercent = std::exchange(m_pendingExtraPercent, 0);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || file.isDir()) {
        refuse(69, 71);
        return;
    }
    if (!mayReplaceTest({72, 73, 74, 75}))
        return;
    m_extraPercent = extraPercent;

    resetTestData();
    m_bankPath = path;
    if (!readBankIndex()) {
        refuse(78, 79);
        return;
    }
    if (!hasEmbeddedFiles(m_embeddedList)) {
        refuse(76, 77);
        return;
    }
    if (m_rules.versionRefused()) {
        refuse(63, 64);
        return;
    }

    m_window.panel.setAutoPlay(true, true);
    m_window.lock.setMinimiseAllowed(true);
    if (!m_rules.isPreview())
        m_window.files.rememberRecentFile(path);

    if (m_rules.hasPassword()) {
        m_password->setStoredPassword(m_rules.password);
        m_password->setWindowTitle(msg(100) + QStringLiteral(": ") + file.fileName().chopped(std::min<qsizetype>(4, file.fileName().size())));
        m_password->passwordEdit()->clear();
        m_password->open();
        return;
    }
    askUserDetails();
}

bool TestRun::readBankIndex()
{
    const BankIndexResult result = zx::readBankIndex(localPath(m_bankPath));
    if (!result.ok())
        return false;
    m_indexLength = result.index.length;
    m_embeddedList = result.index.fileHeader;
    setTestSettings(result.index.testList);
    m_rules = BankSettings::parse(m_testSettings);
    m_window.page.setBankRules(m_rules);
    m_bankIdentity = {static_cast<std::uint64_t>(std::max<qint64>(0, QFileInfo(m_bankPath).size())),
                      hashBankIndex(result.index.fileHeader, result.index.testList, result.index.questionFileList,
                                    result.index.preTestFileList)};
    m_questionList = result.index.questionFileList;
    m_preTestList = result.index.preTestFileList;
    return true;
}

void TestRun::resetTestData()
{
    m_window.panel.setStartButtonShown(false);
    m_files.clear();
    m_window.reports.setViewItemsEnabled(false);
    forgetBank();
    m_preTestList.clear();
    m_embeddedList.clear();
    m_pageText.clear();
    m_indexLength = 0;
    m_currentQuestion = -1;
    m_lastQuestion = 0;
    m_window.panel.disableTestControls();
    leavePage();
}

void TestRun::askUserDetails()
{
    if (!m_rules.shouldUserEnterDetails) {
        prepareTest();
        return;
    }
    m_details->setLabels(m_rules.userEntryLabels);
    for (int i = 0; i < 3; ++i)
        m_details->edit(i)->clear();
    m_details->open();
}

// ------------------------------------------------------------ assembling

void TestRun::extractEmbeddedFiles()
{
    TProgress* progress = m_window.page.progressWindow();
    if (progress) {
        progress->progressLabel()->setText(msg(80));
        progress->setWindowTitle(msg(81));
        progress->progressBar()->setRange(0, 100);
        progress->progressBar()->setValue(0);
        progress->showCentred();
        progress->repaint();
    }
    m_window.page.workingFolder().clear();
    m_files.setWorkingFolder(localPath(m_window.page.workingFolder().path()));
    if (progress)
        progress->progressLabel()->setText(msg(82));
    m_files.extract(localPath(m_bankPath), m_indexLength, m_embeddedList, m_options.random,
                    [progress](std::int64_t done, std::int64_t total) {
                        if (!progress)
                            return;
                        // The bar counts characters of the list; large lists
                        // are scaled to the bar's integer range.
                        const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
                        progress->progressBar()->setRange(0, 1000);
                        progress->progressBar()->setValue(static_cast<int>(share * 1000));
                        progress->repaint();
                    });
    if (progress)
        progress->hide();
}

void TestRun::prepareTest()
{
    m_window.page.clearStartRequest();
    extractEmbeddedFiles();
    m_lastQuestion = listPageCount(m_preTestList) - 1;

    if (!fitWindowToPages())
        return;
    m_window.page.mainWindow()->repaint();

    if (m_lastQuestion < 0) {
        startTest();
        return;
    }
    m_window.page.setTestState(TestState::Ready);
    // The pre-test pages show the whole time the test will have.
    m_clock->reset(timeAllowance());
    m_window.panel.apply(m_window.panel.planFor(PanelStage::PreTest, m_rules));
    showFirstPage();
}

bool TestRun::fitWindowToPages()
{
    const PageSize size = pageSizeOfQuestionList(m_questionList);
    const QRect desktop = m_options.desktop ? m_options.desktop() : m_window.page.availableDesktop();
    if (desktop.isValid() && (desktop.height() < size.height || desktop.width() < size.width)) {
        tell(103);
        return false;
    }
    m_window.page.setPageSize(size);
    if (desktop.isValid())
        m_window.page.centreOn(desktop);
    return true;
}

void TestRun::resetForResults()
{
    m_window.panel.setStartButtonShown(false);
    m_window.panel.disableTestControls();
    m_window.panel.setAutoPlay(m_window.panel.autoPlayOn(), true);
    m_window.lock.setMinimiseAllowed(true);
    m_files.clear();
    forgetBank();
    m_preTestList.clear();
    m_embeddedList.clear();
    m_pageText.clear();
    m_indexLength = 0;
    m_currentQuestion = -1;
    m_lastQuestion = 0;
    m_resultsMode = ResultsDisplayMode::None;
    m_window.page.setTestState(TestState::ResultsStored);
}

bool TestRun::openBankForReview(const QString& path)
{
    m_bankPath = path;
    // The results keep their own settings: a results file saved again
    // keeps the candidate's details and the test's dates.
    std::string resultsSettings = m_testSettings;
    const bool read = readBankIndex();
    setTestSettings(std::move(resultsSettings));
    if (!read) {
        refuse(78, 79);
        return false;
    }
    if (!hasEmbeddedFiles(m_embeddedList))
        return false;
    extractEmbeddedFiles();
    return true;
}

void TestRun::setQuestionList(std::string list, int lastQuestion)
{
    m_questionList = std::move(list);
    m_lastQuestion = lastQuestion;
}

void TestRun::adoptTestSettings(std::string settings)
{
    setTestSettings(std::move(settings));
    m_rules = BankSettings::parse(m_testSettings);
    m_window.page.setBankRules(m_rules);
}

void TestRun::showFirstPage()
{
    m_window.panel.setQuestionRange(m_lastQuestion, 0, true);
    m_currentQuestion = -1;
    m_window.files.enableResultsCommands(m_rules.allowSaving, m_rules.allowPrinting);
    m_focusNextPage = true;
    goToQuestion(0);
}

void TestRun::enterTest(bool exam)
{
    if (exam) {
        // The exam locks the window until it is finished.
        m_window.page.setTestState(TestState::RunningExam);
        m_window.lock.setLocked(true);
        m_window.lock.showCover(true);
    } else {
        m_window.page.setTestState(TestState::Running);
        if (m_rules.showBackgroundCover)
            m_window.lock.showCover(true);
    }
    m_window.panel.apply(m_window.panel.planFor(PanelStage::Test, m_rules));
}

void TestRun::startTest()
{
    m_window.page.clearStartRequest();
    m_window.panel.setStartButtonShown(false);

    setTestSettings(stampStartDates(m_testSettings, currentLocalTime()));

    // The question pool is read whatever the number of pre-test pages.
    const AssembledQuestions test = assembleQuestions(m_questionList, m_testSettings, m_options.random);
    if (test.lastQuestion < 0) {
        m_window.messages.announceMessage(77);
        m_window.messages.prompts().warn(msg(77));
        m_window.page.setTestState(TestState::NoTest);
        m_window.panel.setQuestionRange(0, 0, false);
        leavePage();
        return;
    }
    m_questionList = test.questionList;
    m_lastQuestion = test.lastQuestion;

    m_window.page.mainWindow()->repaint();
    m_clock->reset(timeAllowance());
    enterTest(m_rules.isExam);
    m_clock->start();

    showFirstPage();
    m_journaling = m_journal->begin();
    writeJournal();
}

void TestRun::releaseCheat()
{
    if (m_cheatHeld)
        CheatButtonMouseUp();
}

void TestRun::setExtraTime(int percent) { m_pendingExtraPercent = std::clamp(percent, 0, maxExtraTimePercent); }

std::optional<TestTiming> TestRun::timing() const
{
    if (!m_clock->timed())
        return std::nullopt;
    return m_clock->timer().timing();
}

} // namespace zx
