#include "testrun/test_run.h"

#include "app/core/control_panel_plan.h"
#include "app/main_form.h"
#include "app/progress_window.h"
#include "app/working_folder.h"
#include "media/media_video_player.h"
#include "objects/qt_text.h"
#include "objects/zx_object.h"
#include "objects/zx_text.h"
#include "results/core/results_display.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "testrun/core/test_assembly.h"
#include "testrun/page_builder.h"
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

TestRun::TestRun(TMainForm& form, TestRunOptions options)
    : QObject(&form)
    , m_form(form)
    , m_options(std::move(options))
{
    if (!m_options.random)
        m_options.random = clockSeededRandom();

    PageContext context;
    context.resolveBankFile = [this](const std::string& name) { return resolveBankFile(name); };
    context.playAudioFile = [this](const std::string& path) { m_form.playAudioFile(pathFromLocal(path)); };
    context.requestStart = [this] { m_form.requestStart(); };
    context.testState = [this] { return m_form.testState(); };
    context.subtitlesOn = [this] { return m_form.subtitlesOn(); };
    context.wait = m_options.frameWait;
    context.glideStep = m_options.glideStep;
    context.announceRefusal = [this](int number) { tell(number); };
    context.makeVideoPlayer = m_options.makeVideoPlayer
                                  ? m_options.makeVideoPlayer
                                  : std::function<std::unique_ptr<VideoPlayer>()>(
                                        [] { return std::make_unique<MediaVideoPlayer>(); });
    context.autoPlayOn = [this] { return m_form.autoPlayOn(); };
    context.messageText = [this](int number) { return qStringToCp1252(m_form.message(number)); };
    context.answerChanged = [this] { answerChanged(); };
    context.notePageRecord = [this](const std::string& key, const std::string& value) {
        m_pageText = setTag(m_pageText, key, value);
    };
    m_page = std::make_unique<PageBuilder>(m_form.pageArea(), std::move(context));

    m_password = new TPassword(&m_form);
    m_password->setDelay(m_options.passwordDelay);
    m_password->setWrongPasswordNotice([this] { tell(99); });
    connect(m_password, &TPassword::passwordAccepted, this, &TestRun::askUserDetails);
    connect(m_password, &TPassword::passwordCancelled, this, &TestRun::forgetBank);

    m_details = new TUserDetails(&m_form);
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

    m_form.setBankDialogs(m_details, m_password);

    QString journalFolder = m_options.journalFolder;
    if (journalFolder.isEmpty()) {
        const QString state = qEnvironmentVariable("XDG_STATE_HOME");
        journalFolder = (state.startsWith(QLatin1Char('/')) ? state : QDir::homePath() + QStringLiteral("/.local/state"))
                        + QStringLiteral("/zxexam");
    }
    QDir().mkpath(QFileInfo(journalFolder).absolutePath());
    // A folder that is not private to the user is not used: the journal
    // then goes to a fresh private folder beside it.
    m_journal = std::make_unique<Journal>(localPath(WorkingFolder::ensurePrivateFolder(journalFolder)));
    m_journalTimer = new QTimer(this);
    m_journalTimer->setSingleShot(true);
    connect(m_journalTimer, &QTimer::timeout, this, &TestRun::writePendingAnswers);

    connectWindow();
    m_form.pageArea()->installEventFilter(this);
    m_form.pageArea()->setMouseTracking(true);
}

TestRun::~TestRun()
{
    m_page->leavePage();
    if (m_form.pageArea())
        m_form.pageArea()->removeEventFilter(this);
}

void TestRun::connectWindow()
{
    connect(&m_form, &TMainForm::openBankRequested, this, &TestRun::openBank);
    connect(&m_form, &TMainForm::StartButtonClick, this, &TestRun::startTest);
    connect(&m_form, &TMainForm::MarkButClick, this, &TestRun::MarkButClick);
    connect(&m_form, &TMainForm::CheatButtonMouseDown, this, &TestRun::CheatButtonMouseDown);
    connect(&m_form, &TMainForm::CheatButtonMouseUp, this, &TestRun::CheatButtonMouseUp);
    connect(&m_form, &TMainForm::questionSliderScroll, this, &TestRun::questionSliderScroll);
    connect(&m_form, &TMainForm::AutoPlayClick, this, &TestRun::AutoPlayClick);
    connect(&m_form, &TMainForm::SubtitlesClick, this, &TestRun::refreshSubtitles);
    connect(&m_form, &TMainForm::ReadAloudClick, this, &TestRun::ReadAloudClick);
    connect(&m_form, &TMainForm::FormClosing, this, [this] {
        leavePage();
        // Closing was allowed (or confirmed): the test is over.
        m_journaling = false;
        m_journal->clear();
    });
    connect(&m_form, &TMainForm::testStateChanged, this, &TestRun::testStateChanged);
}

QString TestRun::msg(int number) const { return m_form.message(number); }

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
    r.state = m_form.testState();
    // A test only starts once the bank's password was accepted.
    r.passwordAccepted = true;
    r.savedAt = formatDisplayDate(currentLocalTime());
    return r;
}

void TestRun::writeJournal()
{
    if (m_journaling)
        m_journal->writeBase(journalRecord());
}

void TestRun::journalPage(int question, const std::string& pageText)
{
    if (!m_journaling)
        return;
    m_journalTimer->stop();
    m_lastJournalEntry.start();
    m_journal->appendPage(question, question >= 0 ? pageText : std::string(), m_currentQuestion,
                          formatDisplayDate(currentLocalTime()));
    // A long test gathers many entries: now and then the whole test is
    // written anew and the log starts again.
    constexpr std::uint64_t largestLog = 8u * 1024 * 1024;
    if (m_journal->logSize() > largestLog)
        writeJournal();
}

void TestRun::answerChanged()
{
    const TestState state = m_form.testState();
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
    const TestState state = m_form.testState();
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
        // A finished test whose results are not stored yet comes back at
        // its results.
        writeJournal();
        break;
    default:
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
    const JournalRead read = m_journal->read();
    if (read.status == JournalStatus::None)
        return false;
    const std::string stamp = formatDateStamp(currentLocalTime());
    if (read.status == JournalStatus::Unreadable) {
        m_journal->setAside(stamp);
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
        m_journal->setAside(stamp);
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
    m_form.announceMessage(109);
    if (!m_form.prompts().askYesNo(question)) {
        m_journal->setAside(stamp);
        return false;
    }
    resume(record);
    return true;
}

void TestRun::resume(const JournalRecord& record)
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
    m_form.setBankRules(m_rules);
    m_questionList = record.questionList;
    m_lastQuestion = record.lastQuestion;
    fitWindowToPages();
    m_form.setAutoPlay(true, true);
    m_journaling = true;
    if (record.state == TestState::Finished) {
        emit resumedFinished();
        return;
    }
    enterTest(record.state == TestState::RunningExam);
    m_form.enableResultsCommands(m_rules.allowSaving, m_rules.allowPrinting);
    const int page = std::clamp(record.currentQuestion, 0, m_lastQuestion);
    m_form.setQuestionRange(m_lastQuestion, page, true);
    m_currentQuestion = -1;
    goToQuestion(page);
    writeJournal();
}

void TestRun::refuse(int caption, int text)
{
    m_form.announceMessage(text);
    m_form.showMessageWindow(msg(caption), msg(text));
}

bool TestRun::mayReplaceTest(const ReplaceMessages& messages)
{
    int question = 0;
    switch (m_form.testState()) {
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
    m_form.announceMessage(question);
    return m_form.prompts().askYesNo(msg(question));
}

void TestRun::tell(int number)
{
    m_form.announceMessage(number);
    m_form.prompts().inform(msg(number));
}

void TestRun::setTestSettings(std::string settings) { m_testSettings = std::move(settings); }

void TestRun::forgetBank()
{
    m_testSettings.clear();
    m_rules = {};
    m_form.setBankRules(m_rules);
    m_questionList.clear();
}

// ------------------------------------------------------------ opening a bank

void TestRun::openBank(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || file.isDir()) {
        refuse(69, 71);
        return;
    }
    if (!mayReplaceTest({72, 73, 74, 75}))
        return;

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

    m_form.setAutoPlay(true, true);
    m_form.setMinimiseAllowed(true);
    if (!m_rules.isPreview())
        m_form.rememberRecentFile(path);

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
    m_form.setBankRules(m_rules);
    m_bankIdentity = {static_cast<std::uint64_t>(std::max<qint64>(0, QFileInfo(m_bankPath).size())),
                      hashBankIndex(result.index.fileHeader, result.index.testList, result.index.questionFileList,
                                    result.index.preTestFileList)};
    m_questionList = result.index.questionFileList;
    m_preTestList = result.index.preTestFileList;
    return true;
}

void TestRun::resetTestData()
{
    m_form.setStartButtonShown(false);
    m_files.clear();
    m_form.setViewItemsEnabled(false);
    forgetBank();
    m_preTestList.clear();
    m_embeddedList.clear();
    m_pageText.clear();
    m_indexLength = 0;
    m_currentQuestion = -1;
    m_lastQuestion = 0;
    m_form.disableTestControls();
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
    TProgress* progress = m_form.progressWindow();
    if (progress) {
        progress->progressLabel()->setText(msg(80));
        progress->setWindowTitle(msg(81));
        progress->progressBar()->setRange(0, 100);
        progress->progressBar()->setValue(0);
        progress->showCentred();
        progress->repaint();
    }
    m_form.workingFolder().clear();
    m_files.setWorkingFolder(localPath(m_form.workingFolder().path()));
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
    m_form.clearStartRequest();
    extractEmbeddedFiles();
    m_lastQuestion = listPageCount(m_preTestList) - 1;

    if (!fitWindowToPages())
        return;
    m_form.repaint();

    if (m_lastQuestion < 0) {
        startTest();
        return;
    }
    m_form.setTestState(TestState::Ready);
    m_form.applyControlPanel(m_form.planFor(PanelStage::PreTest, m_rules));
    showFirstPage();
}

bool TestRun::fitWindowToPages()
{
    const PageSize size = pageSizeOfQuestionList(m_questionList);
    const QRect desktop = m_options.desktop ? m_options.desktop() : m_form.availableDesktop();
    if (desktop.isValid() && (desktop.height() < size.height || desktop.width() < size.width)) {
        tell(103);
        return false;
    }
    m_form.setPageSize(size);
    if (desktop.isValid())
        m_form.centreOn(desktop);
    return true;
}

void TestRun::resetForResults()
{
    m_form.setStartButtonShown(false);
    m_form.disableTestControls();
    m_form.setAutoPlay(m_form.autoPlayOn(), true);
    m_form.setMinimiseAllowed(true);
    m_files.clear();
    forgetBank();
    m_preTestList.clear();
    m_embeddedList.clear();
    m_pageText.clear();
    m_indexLength = 0;
    m_currentQuestion = -1;
    m_lastQuestion = 0;
    m_resultsMode = ResultsDisplayMode::None;
    m_form.setTestState(TestState::ResultsStored);
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
    m_form.setBankRules(m_rules);
}

void TestRun::showFirstPage()
{
    m_form.setQuestionRange(m_lastQuestion, 0, true);
    m_currentQuestion = -1;
    m_form.enableResultsCommands(m_rules.allowSaving, m_rules.allowPrinting);
    m_focusNextPage = true;
    goToQuestion(0);
}

void TestRun::enterTest(bool exam)
{
    if (exam) {
        // The exam locks the window until it is finished.
        m_form.setTestState(TestState::RunningExam);
        m_form.setExamLock(true);
        m_form.showCover(true);
    } else {
        m_form.setTestState(TestState::Running);
        if (m_rules.showBackgroundCover)
            m_form.showCover(true);
    }
    m_form.applyControlPanel(m_form.planFor(PanelStage::Test, m_rules));
}

void TestRun::startTest()
{
    m_form.clearStartRequest();
    m_form.setStartButtonShown(false);

    setTestSettings(stampStartDates(m_testSettings, currentLocalTime()));

    // The question pool is read whatever the number of pre-test pages.
    const AssembledQuestions test = assembleQuestions(m_questionList, m_testSettings, m_options.random);
    if (test.lastQuestion < 0) {
        m_form.announceMessage(77);
        m_form.prompts().warn(msg(77));
        m_form.setTestState(TestState::NoTest);
        m_form.setQuestionRange(0, 0, false);
        leavePage();
        return;
    }
    m_questionList = test.questionList;
    m_lastQuestion = test.lastQuestion;

    m_form.repaint();
    enterTest(m_rules.isExam);

    showFirstPage();
    m_journaling = true;
    writeJournal();
}

// ------------------------------------------------------------ pages

QDateTime TestRun::now() const { return m_options.clock ? m_options.clock() : QDateTime::currentDateTime(); }

LocalTime TestRun::currentLocalTime() const { return localTimeOf(now()); }

LocalTime TestRun::localTimeOf(const QDateTime& now)
{
    LocalTime time;
    time.year = now.date().year();
    time.month = now.date().month();
    time.day = now.date().day();
    time.hour = now.time().hour();
    time.minute = now.time().minute();
    time.second = now.time().second();
    const QLocale locale;
    time.dayName = qStringToCp1252(locale.dayName(now.date().dayOfWeek(), QLocale::LongFormat));
    time.monthName = qStringToCp1252(locale.monthName(now.date().month(), QLocale::LongFormat));
    return time;
}

bool TestRun::resultsPageInUse() const
{
    const TestState state = m_form.testState();
    return (state == TestState::Finished || state == TestState::ResultsStored)
           && m_resultsMode != ResultsDisplayMode::None;
}

void TestRun::setWindowColour(const QColor& colour)
{
    m_windowColour = colour;
    m_form.pageArea()->update();
}

void TestRun::goToQuestion(int n)
{
    if (n == m_currentQuestion)
        return;
    // Reviewing results with a report: position 0 is the results page and
    // position k shows question k - 1.
    int page = n;
    if (resultsPageInUse()) {
        if (n == 0) {
            leavePage();
            m_form.showReport(resultsPageReport(m_resultsMode, m_form.summaryItemChecked()));
            m_currentQuestion = -1;
            return;
        }
        page = n - 1;
    }
    m_form.hideReports();
    if (page < 0 || page > m_lastQuestion)
        return;
    const TestState state = m_form.testState();
    if (state == TestState::Running || state == TestState::RunningExam) {
        const int left = m_currentQuestion;
        saveAnswersOfPage();
        m_currentQuestion = n;
        journalPage(m_pageText.size() >= 11 ? left : -1, m_pageText);
    }
    m_currentQuestion = n;
    const std::string key = "questionFile" + std::to_string(page);
    m_pageText = getTag(state == TestState::Ready ? m_preTestList : m_questionList, key);

    // A candidate working the page from the keyboard finds the focus on
    // the next page's first control.
    const bool firstPage = std::exchange(m_focusNextPage, false);
    const bool focusOnPage = firstPage || m_form.focusIsOnPage();
    leavePage();
    m_page->loadTickAndCross(m_pageText);
    if (auto colour = colourFromRecordText(getTag(m_pageText, "bgColour"), m_form.palette(), QColor(Qt::white)))
        m_windowColour = *colour;
    m_page->buildPage(m_pageText, state);
    m_form.setPageFocusOrder(m_page->focusOrder(), focusOnPage);
    m_form.pageArea()->update();
    // Reviewing a finished test: every page shows its marking.
    if (state == TestState::Finished || state == TestState::ResultsStored)
        MarkButClick();

    if (m_form.autoPlayOn())
        playQuestionAudio();
    if (page == m_lastQuestion && state == TestState::Ready && !m_page->hasStartTestPicture())
        showStartButton();
}

void TestRun::showStartButton()
{
    const zxObject service(&m_form, {}, m_page->context());
    m_form.frameStartButton(service);
    m_form.setStartButtonShown(true);
}

void TestRun::playQuestionAudio()
{
    const std::string audio = getTag(m_pageText, "questionAudioAbs");
    if (audio == "0" || audio.empty())
        return;
    const std::string path = resolveBankFile(audio);
    if (!QFileInfo::exists(pathFromLocal(path)) || !mediaHeaderMatches(path))
        return;
    m_form.playAudioFile(pathFromLocal(path));
}

void TestRun::saveAnswersOfPage()
{
    if (m_pageText.size() < 11 || m_currentQuestion < 0)
        return;
    m_pageText = m_page->pageTextWithAnswers(m_pageText);
    m_questionList = setTag(m_questionList, "questionFile" + std::to_string(m_currentQuestion), m_pageText);
}

void TestRun::leavePage()
{
    // A question's sound does not outlive its page.
    m_form.soundPlayer().stop();
    m_page->leavePage();
}

std::string TestRun::resolveBankFile(const std::string& storedName) const { return m_files.resolve(storedName); }

void TestRun::revealFeedback(const std::string& code, QWidget* parent) { m_page->revealFeedback(code, parent); }

void TestRun::hideFeedback(const std::string& code) { m_page->hideFeedback(code); }

void TestRun::MarkButClick() { m_page->markPage(m_testSettings); }

void TestRun::CheatButtonMouseDown()
{
    m_cheatHeld = true;
    m_page->showAnswers();
}

void TestRun::CheatButtonMouseUp()
{
    // Help shares the release; each answer object restores only what a
    // press before it changed, so a release without one changes nothing.
    m_page->restoreAnswers();
    m_cheatHeld = false;
}

void TestRun::ReadAloudClick() { m_form.readAloud(m_page->readingTexts()); }

void TestRun::questionSliderScroll(int position) { goToQuestion(position); }

void TestRun::AutoPlayClick()
{
    // The window keeps the flag; the question audio reads the box.
}

void TestRun::fMouseMove() { m_page->pointerOverWindow(); }

void TestRun::refreshSubtitles()
{
    // Subtitle texts come and go with the option; other texts keep their
    // place in the stacking, and texts of a panel that is not revealed stay
    // hidden.
    for (int i = 0; i < PageBuilder::textCapacity; ++i) {
        zxText* text = m_page->text(i);
        if (text && getTagInt(text->record(), "TextIsSubtitle", 0) != 0 &&
            (text->label() || text->feedbackId() == "0"))
            text->showLayer(-1);
    }
}

void TestRun::paintPage(QWidget* area)
{
    QPainter painter(area);
    if (m_windowColour.isValid())
        painter.fillRect(area->rect(), m_windowColour);
    m_page->paintBackground(painter);
}

bool TestRun::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_form.pageArea()) {
        if (event->type() == QEvent::Paint) {
            paintPage(m_form.pageArea());
            return true;
        }
        if (event->type() == QEvent::MouseMove)
            fMouseMove();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zx
