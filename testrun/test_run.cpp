#include "testrun/test_run.h"

#include "app/back_cover_window.h"
#include "app/main_form.h"
#include "app/progress_window.h"
#include "media/media_video_player.h"
#include "objects/qt_text.h"
#include "objects/zx_object.h"
#include "objects/zx_text.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "testrun/core/test_assembly.h"
#include "testrun/page_builder.h"
#include "testrun/password_dialog.h"
#include "testrun/user_details_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <chrono>
#include <random>

namespace zx {

namespace {

std::string toBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

void setEnabled(QAction* action, bool on)
{
    if (action)
        action->setEnabled(on);
}

} // namespace

TestRun::TestRun(TMainForm& form, TestRunOptions options)
    : QObject(&form)
    , m_form(form)
    , m_options(std::move(options))
{
    if (!m_options.random)
        m_options.random = clockSeededRandom();

    PageContext context;
    context.resolveBankFile = [this](const std::string& name) { return resolveBankFile(name); };
    context.playAudioFile = [this](const std::string& path) {
        m_form.playAudioFile(QFile::decodeName(QByteArray::fromStdString(path)));
    };
    context.requestStart = [this] { m_form.requestStart(); };
    context.testState = [this] { return m_form.testState(); };
    context.subtitlesOn = [this] { return m_form.subtitlesOn(); };
    context.wait = m_options.frameWait;
    context.glideStep = m_options.glideStep;
    context.announceRefusal = [this](const std::string& key) {
        const QString k = QString::fromStdString(key);
        m_form.announceMessage(k);
        m_form.prompts().inform(m_form.message(k.mid(1).toInt()));
    };
    context.makeVideoPlayer = m_options.makeVideoPlayer
                                  ? m_options.makeVideoPlayer
                                  : std::function<std::unique_ptr<VideoPlayer>()>(
                                        [] { return std::make_unique<MediaVideoPlayer>(); });
    context.autoPlayOn = [this] { return m_form.autoPlayBox()->isChecked(); };
    context.messageText = [this](int number) { return qStringToCp1252(m_form.message(number)); };
    context.notePageRecord = [this](const std::string& key, const std::string& value) {
        m_pageText = setTag(m_pageText, key, value);
    };
    m_page = std::make_unique<PageBuilder>(m_form.pageArea(), std::move(context));

    m_password = new TPassword(&m_form);
    m_password->setDelay(m_options.passwordDelay);
    m_password->setWrongPasswordNotice([this] {
        m_form.announceMessage(QStringLiteral("x99"));
        m_form.prompts().inform(msg(99));
    });
    connect(m_password, &TPassword::passwordAccepted, this, &TestRun::askUserDetails);
    connect(m_password, &TPassword::passwordCancelled, this, [this] {
        m_form.setBankSettings({});
        m_questionList.clear();
    });

    m_details = new TUserDetails(&m_form);
    m_details->setEmptyDetailNotice([this] {
        m_form.announceMessage(QStringLiteral("x84"));
        m_form.prompts().inform(msg(84));
    });
    connect(m_details, &TUserDetails::detailsAccepted, this, [this] {
        const auto details = m_details->details();
        std::string settings = m_form.bankSettings();
        settings = setTag(settings, "userDetails1", details[0]);
        settings = setTag(settings, "userDetails2", details[1]);
        settings = setTag(settings, "userDetails3", details[2]);
        m_form.setBankSettings(settings);
        prepareTest();
    });
    connect(m_details, &TUserDetails::detailsCancelled, this, [this] {
        m_form.setBankSettings({});
        m_questionList.clear();
    });

    m_form.setBankDialogs(m_details, m_password);

    ShellHooks& hooks = m_form.hooks();
    hooks.openBank = [this](const QString& path) { openBank(path); };
    hooks.startTest = [this] { startTest(); };
    hooks.paintBackground = [] {};
    hooks.leavePage = [this] { leavePage(); };
    hooks.subtitlesChanged = [this] { refreshSubtitles(); };
    // "openShellCall BANK.zxb" on the command line, or handed over by a
    // later start, opens the bank.  Results files and printing join these
    // verbs with the results.
    hooks.continueStartup = [this](const std::vector<std::string>& args) {
        if (args.size() >= 2 && args[0] == "openShellCall" && lowerExtension(args[1]) == ".zxb")
            openBank(QFile::decodeName(QByteArray::fromStdString(args[1])));
    };
    hooks.handoff = [this](const Handoff& handoff) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(handoff.path));
        if (handoff.verb == "openShellCall" && lowerExtension(handoff.path) == ".zxb" && QFileInfo::exists(path))
            openBank(path);
    };

    connect(m_form.questionSlider(), &QScrollBar::valueChanged, this, &TestRun::questionSliderScroll);
    connect(m_form.markButton(), &QPushButton::clicked, this, &TestRun::MarkButClick);
    connect(m_form.cheatButton(), &QPushButton::pressed, this, &TestRun::CheatButtonMouseDown);
    connect(m_form.cheatButton(), &QPushButton::released, this, &TestRun::CheatButtonMouseUp);
    connect(m_form.helpButton(), &QPushButton::released, this, &TestRun::CheatButtonMouseUp);
    connect(m_form.autoPlayBox(), &QCheckBox::clicked, this, &TestRun::AutoPlayClick);
    m_form.pageArea()->installEventFilter(this);
    m_form.pageArea()->setMouseTracking(true);
}

TestRun::~TestRun()
{
    m_page->leavePage();
    if (m_form.pageArea())
        m_form.pageArea()->removeEventFilter(this);
}

QString TestRun::msg(int number) const { return m_form.message(number); }

void TestRun::refuse(int caption, int text)
{
    m_form.announceMessage(QStringLiteral("x%1").arg(text));
    m_form.showMessageWindow(msg(caption), msg(text));
}

// ------------------------------------------------------------ opening a bank

void TestRun::openBank(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || file.isDir()) {
        refuse(69, 71);
        return;
    }
    switch (m_form.testState()) {
    case TestState::RunningExam:
        refuse(58, 72);
        return;
    case TestState::Ready:
    case TestState::Running:
    case TestState::Finished: {
        const int number = m_form.testState() == TestState::Ready     ? 73
                           : m_form.testState() == TestState::Running ? 74
                                                                       : 75;
        m_form.announceMessage(QStringLiteral("x%1").arg(number));
        if (!m_form.prompts().askYesNo(msg(number)))
            return;
        break;
    }
    default:
        break;
    }

    resetTestData();
    m_bankPath = path;
    if (!readBankIndex()) {
        refuse(78, 79);
        return;
    }
    if (m_embeddedList.size() <= 4) {
        refuse(76, 77);
        return;
    }
    const std::string settings = m_form.bankSettings();
    if (getTagInt(settings, "version", 0) >= 2) {
        refuse(63, 64);
        return;
    }

    m_form.autoPlayBox()->setChecked(true);
    m_form.autoPlayBox()->setEnabled(true);
    if (!(m_form.windowFlags() & Qt::WindowMinimizeButtonHint)) {
        const bool visible = m_form.isVisible();
        m_form.setWindowFlag(Qt::WindowMinimizeButtonHint, true);
        if (visible)
            m_form.show();
    }
    if (getTagInt(settings, "questionPreview", 0) == 0)
        m_form.rememberRecentFile(path);

    const std::string password = filterPlainText(getTag(settings, "BankPassword"));
    if (!password.empty() && password != "0") {
        m_password->setStoredPassword(getTag(settings, "BankPassword"));
        m_password->setWindowTitle(msg(100) + QStringLiteral(": ") + file.fileName().chopped(std::min<qsizetype>(4, file.fileName().size())));
        m_password->passwordEdit()->clear();
        m_password->open();
        return;
    }
    askUserDetails();
}

bool TestRun::readBankIndex()
{
    const BankIndexResult result = zx::readBankIndex(toBytes(m_bankPath));
    if (!result.ok())
        return false;
    m_indexLength = result.index.length;
    m_embeddedList = result.index.fileHeader;
    m_form.setBankSettings(result.index.testList);
    m_questionList = result.index.questionFileList;
    m_preTestList = result.index.preTestFileList;
    return true;
}

void TestRun::resetTestData()
{
    m_form.startButton()->setEnabled(false);
    m_form.startButton()->hide();
    m_files.clear();
    setEnabled(m_form.action(QStringLiteral("DetailedResults1")), false);
    setEnabled(m_form.action(QStringLiteral("ResultsSummary1")), false);
    m_form.setBankSettings({});
    m_questionList.clear();
    m_preTestList.clear();
    m_embeddedList.clear();
    m_pageText.clear();
    m_indexLength = 0;
    m_currentQuestion = -1;
    m_lastQuestion = 0;
    m_form.cheatButton()->setEnabled(false);
    m_form.markButton()->setEnabled(false);
    m_form.finishButton()->setEnabled(false);
    m_form.questionSlider()->setEnabled(false);
    leavePage();
}

void TestRun::askUserDetails()
{
    const std::string settings = m_form.bankSettings();
    if (getTagInt(settings, "shouldUserEnterDetails", 0) == 0) {
        prepareTest();
        return;
    }
    m_details->setLabels({getTag(settings, "userEntryLabel1"), getTag(settings, "userEntryLabel2"),
                          getTag(settings, "userEntryLabel3")});
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
    m_files.setWorkingFolder(toBytes(m_form.workingFolder().path()));
    if (progress)
        progress->progressLabel()->setText(msg(82));
    m_files.extract(toBytes(m_bankPath), m_indexLength, m_embeddedList, m_options.random,
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

    const int windowSize = getTagInt(getTag(m_questionList, "questionFile0"), "windowSize", 1);
    const QSize size = windowSize == 1 ? QSize(800, 600) : windowSize == 2 ? QSize(1024, 768) : QSize(640, 480);
    QRect desktop;
    if (m_options.desktop) {
        desktop = m_options.desktop();
    } else if (QScreen* screen = m_form.screen() ? m_form.screen() : QGuiApplication::primaryScreen()) {
        desktop = screen->availableGeometry();
    }
    if (desktop.isValid() && (desktop.height() < size.height() || desktop.width() < size.width())) {
        m_form.announceMessage(QStringLiteral("x103"));
        m_form.prompts().inform(msg(103));
        return;
    }
    m_form.setPageSize(size.width(), size.height());
    if (desktop.isValid()) {
        QRect frame = m_form.frameGeometry();
        frame.moveCenter(desktop.center());
        m_form.move(frame.topLeft());
    }
    m_form.repaint();

    if (m_lastQuestion < 0) {
        startTest();
        return;
    }
    m_form.setTestState(TestState::Ready);
    layoutControlPanel(false);
    showFirstPage();
}

void TestRun::showFirstPage()
{
    QScrollBar* slider = m_form.questionSlider();
    slider->blockSignals(true);
    slider->setMaximum(m_lastQuestion);
    slider->setValue(0);
    slider->blockSignals(false);
    m_currentQuestion = -1;
    const std::string settings = m_form.bankSettings();
    setEnabled(m_form.action(QStringLiteral("SaveResults1")), getTagInt(settings, "allowSaving", 0) == 1);
    setEnabled(m_form.action(QStringLiteral("PrintSetup1")), getTagInt(settings, "allowPrinting", 0) == 1);
    setEnabled(m_form.action(QStringLiteral("Print1")), getTagInt(settings, "allowPrinting", 0) == 1);
    slider->setEnabled(true);
    goToQuestion(0);
}

void TestRun::layoutControlPanel(bool enableCheat)
{
    const std::string settings = m_form.bankSettings();
    const int width = m_form.controlPanel()->width();
    const int top = 3;
    const int height = 27 - 2 * top;
    QPushButton* finish = m_form.finishButton();
    QPushButton* mark = m_form.markButton();
    QPushButton* cheat = m_form.cheatButton();
    QPushButton* start = m_form.startButton();

    finish->setGeometry(width - 7 - finish->width(), top, finish->width(), height);
    start->move((width - start->width()) / 2, start->y());
    int leftmost = finish->x();

    const bool exam = getTagInt(settings, "isExam", 0) == 1;
    if (exam) {
        mark->hide();
        cheat->hide();
    } else {
        if (getTagInt(settings, "allowMarking", 0) == 1) {
            mark->setGeometry(finish->x() - 1 - mark->width(), top, mark->width(), height);
            mark->show();
            mark->setEnabled(enableCheat);
            leftmost = mark->x();
        } else {
            mark->hide();
            mark->setEnabled(false);
        }
        int cheatWidth = 0;
        if (getTagInt(settings, "allowCheating", 0) == 1) {
            cheatWidth = 50;
            cheat->setText(msg(94));
        } else if (getTagInt(settings, "ShowAnswer", 0) == 1) {
            cheatWidth = 100;
            cheat->setText(msg(88));
        }
        if (cheatWidth > 0) {
            const int right = mark->isVisibleTo(m_form.controlPanel()) ? mark->x() : finish->x();
            cheat->setGeometry(right - 1 - cheatWidth, top, cheatWidth, height);
            cheat->show();
            cheat->setEnabled(enableCheat);
            leftmost = cheat->x();
        } else {
            cheat->hide();
        }
    }
    // The Help button sits between the auto-play box and the slider, so the
    // right edge is free for Finish, Mark and Cheat.
    QPushButton* help = m_form.helpButton();
    const QRect autoPlay = m_form.autoPlayBox()->geometry();
    help->setGeometry(autoPlay.right() + 4, top, help->width(), height);
    QScrollBar* slider = m_form.questionSlider();
    const int sliderLeft = help->geometry().right() + 5;
    slider->setGeometry(sliderLeft, slider->y(), std::max(10, leftmost - 2 - sliderLeft), slider->height());
}

void TestRun::startTest()
{
    m_form.clearStartRequest();
    m_form.startButton()->setEnabled(false);
    m_form.startButton()->hide();

    const QDateTime now = m_options.clock ? m_options.clock() : QDateTime::currentDateTime();
    StartTime start;
    start.year = now.date().year();
    start.month = now.date().month();
    start.day = now.date().day();
    start.hour = now.time().hour();
    start.minute = now.time().minute();
    start.second = now.time().second();
    const QLocale locale;
    start.dayName = qStringToCp1252(locale.dayName(now.date().dayOfWeek(), QLocale::LongFormat));
    start.monthName = qStringToCp1252(locale.monthName(now.date().month(), QLocale::LongFormat));
    std::string settings = stampStartDates(m_form.bankSettings(), start);
    m_form.setBankSettings(settings);

    // The question pool is read whatever the number of pre-test pages.
    const AssembledQuestions test = assembleQuestions(m_questionList, settings, m_options.random);
    if (test.lastQuestion < 0) {
        m_form.announceMessage(QStringLiteral("x77"));
        m_form.prompts().warn(msg(77));
        m_form.setTestState(TestState::NoTest);
        m_form.questionSlider()->blockSignals(true);
        m_form.questionSlider()->setValue(0);
        m_form.questionSlider()->blockSignals(false);
        m_form.questionSlider()->setEnabled(false);
        leavePage();
        return;
    }
    m_questionList = test.questionList;
    m_lastQuestion = test.lastQuestion;

    m_form.repaint();
    QPushButton* finish = m_form.finishButton();
    finish->move(m_form.controlPanel()->width() - 7 - finish->width(), finish->y());
    finish->setEnabled(getTagInt(settings, "questionPreview", 0) == 0);

    if (getTagInt(settings, "isExam", 0) == 1) {
        m_form.setTestState(TestState::RunningExam);
        setEnabled(m_form.action(QStringLiteral("FileOpenItem")), false);
        setEnabled(m_form.action(QStringLiteral("FileExitItem")), false);
        m_form.markButton()->hide();
        m_form.cheatButton()->hide();
        if (m_form.coverWindow())
            m_form.coverWindow()->showCover();
        if (m_form.windowFlags() & Qt::WindowMinimizeButtonHint) {
            const bool visible = m_form.isVisible();
            m_form.setWindowFlag(Qt::WindowMinimizeButtonHint, false);
            if (visible)
                m_form.show();
        }
        for (int i = 1; i <= 4; ++i)
            setEnabled(m_form.action(QStringLiteral("zxWebJump%1").arg(i)), false);
    } else {
        m_form.setTestState(TestState::Running);
        if (getTagInt(settings, "showBackgroundCover", 0) == 1 && m_form.coverWindow())
            m_form.coverWindow()->showCover();
    }
    layoutControlPanel(true);

    showFirstPage();
}

// ------------------------------------------------------------ pages

void TestRun::goToQuestion(int n)
{
    if (n == m_currentQuestion)
        return;
    // (Results review with the report as page 0 comes with the results.)
    if (n < 0 || n > m_lastQuestion)
        return;
    const TestState state = m_form.testState();
    if (state == TestState::Running || state == TestState::RunningExam)
        saveAnswersOfPage();
    m_currentQuestion = n;
    const std::string key = "questionFile" + std::to_string(n);
    m_pageText = getTag(state == TestState::Ready ? m_preTestList : m_questionList, key);

    leavePage();
    m_page->loadTickAndCross(m_pageText);
    if (auto colour = colourFromRecordText(getTag(m_pageText, "bgColour"), m_form.palette(), QColor(Qt::white)))
        m_windowColour = *colour;
    m_page->buildPage(m_pageText, state);
    m_form.pageArea()->update();
    // Reviewing a finished test: every page shows its marking.
    if (state == TestState::Finished || state == TestState::ResultsStored)
        MarkButClick();

    if (m_form.autoPlayBox()->isChecked())
        playQuestionAudio();
    if (m_form.startButton()->isVisible())
        m_form.startButton()->raise();
    if (n == m_lastQuestion && state == TestState::Ready && !m_page->hasStartTestPicture())
        showStartButton();
}

void TestRun::showStartButton()
{
    QPushButton* start = m_form.startButton();
    zxObject service(&m_form, {}, m_page->context());
    const QPoint at = start->mapTo(&m_form, QPoint(0, 0));
    service.attentionFrame(at.x(), at.y(), &m_form, start->height(), start->width());
    start->setEnabled(true);
    start->show();
    start->raise();
}

void TestRun::playQuestionAudio()
{
    const std::string audio = getTag(m_pageText, "questionAudioAbs");
    if (audio == "0" || audio.empty())
        return;
    const std::string path = resolveBankFile(audio);
    if (!QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(path))) || !mediaHeaderMatches(path))
        return;
    m_form.playAudioFile(QFile::decodeName(QByteArray::fromStdString(path)));
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

void TestRun::MarkButClick() { m_page->markPage(m_form.bankSettings()); }

void TestRun::CheatButtonMouseDown()
{
    m_page->showAnswers();
}

void TestRun::CheatButtonMouseUp()
{
    // Help shares the release; each answer object restores only what a
    // press before it changed, so a release without one changes nothing.
    m_page->restoreAnswers();
}

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
