#include "app/main_form.h"

#include "app/about_box.h"
#include "app/back_cover_window.h"
#include "app/help_window.h"
#include "app/hint_style.h"
#include "app/instance_channel.h"
#include "app/language_applier.h"
#include "app/message_form.h"
#include "app/progress_window.h"
#include "app/core/close_query.h"
#include "app/core/message_keys.h"
#include "tagtext/cp1252.h"
#include "tagtext/stored_file.h"
#include "tagtext/substitution_tables.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

namespace zx {

namespace {

// The maker's pages opened by the four web items.
const char* const webAddresses[4] = {
    "https://tallyworks.org/",
    "https://tallyworks.org/support/",
    "https://tallyworks.org/download/",
    "https://tallyworks.org/feedback/",
};

QString fromBytes(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

std::string toBytes(const QString& text)
{
    return text.toStdString();
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Menu captions keep their "&" accelerators; a file or language name is
// shown as it stands.
QString literalCaption(const QString& text)
{
    QString out = text;
    return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

TMainForm::TMainForm(ShellOptions options, QWidget* parent)
    : QMainWindow(parent)
    , m_paths(options.paths)
    , m_settings(options.paths.settingsFile)
    , m_workingFolder(options.paths.workingFolder)
    , m_sound(std::make_unique<SoundPlayer>(std::move(options.soundBackend), false))
    , m_inhibitEnabled(options.inhibitScreenSaver)
    , m_delay(std::move(options.delay))
    , m_exitApplication(std::move(options.exitApplication))
    , m_printer(std::make_unique<QPrinter>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Exam"));
    m_prompts = UserPrompts::messageBoxes(this);
    m_currentLanguage = fromBytes(std::string(defaultLanguageName));

    buildMenus();
    buildControlPanel();
    setPageSize(640, 480);

    m_messageForm = new TMessageForm(this);
    m_progress = new TProgress(this);
    m_help = new THelp(this);
    m_about = new TAboutBox(m_paths.programFolder, this);
    // The backdrop has no owner window, so the window manager never keeps
    // it above the main window.
    m_cover = new TBackCoverWindow(nullptr);
    connect(m_help, &THelp::announce, this, &TMainForm::announceMessage);
    connect(m_help, &THelp::playAudio, this, &TMainForm::playAudioFile);
    connect(m_cover, &TBackCoverWindow::bringMainToFront, this, [this] {
        raise();
        activateWindow();
    });

    // FormCreate: the stored-file tables are built once, before any file
    // is read, and the working folder starts empty.
    SubstitutionTables::instance();
    m_workingFolder.clear();

    qApp->installEventFilter(this);
}

TMainForm::~TMainForm()
{
    if (qApp)
        qApp->removeEventFilter(this);
    delete m_cover;
    m_inhibitor.setInhibited(false);
}

// ---------------------------------------------------------------- building

void TMainForm::buildMenus()
{
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key = {}) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            item->setShortcut(key);
        return item;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    connect(addItem(file, "FileOpenItem", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &TMainForm::FileOpenItemClick);
    m_reopenMenu = file->addMenu(QStringLiteral("Reopen"));
    m_reopenMenu->setObjectName(QStringLiteral("Reopen"));
    m_reopenMenu->menuAction()->setObjectName(QStringLiteral("ReopenItem"));
    connect(addItem(file, "SaveResults1", QStringLiteral("Save Results..."), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, [this] {
                if (m_hooks.saveResults)
                    m_hooks.saveResults();
            });
    file->addSeparator();
    connect(addItem(file, "PrintSetup1", QStringLiteral("Print Setup..."),
                    QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P)),
            &QAction::triggered, this, &TMainForm::PrintSetup1Click);
    connect(addItem(file, "Print1", QStringLiteral("Print..."), QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, [this] {
                if (m_hooks.printResults)
                    m_hooks.printResults();
            });
    file->addSeparator();
    connect(addItem(file, "FileExitItem", QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    QMenu* results = menuBar()->addMenu(QStringLiteral("&Results"));
    results->setObjectName(QStringLiteral("View1"));
    connect(addItem(results, "ResultsSummary1", QStringLiteral("Show Results Summary")), &QAction::triggered, this,
            [this] {
                if (m_hooks.showSummary)
                    m_hooks.showSummary();
            });
    connect(addItem(results, "DetailedResults1", QStringLiteral("Show Detailed Results")), &QAction::triggered,
            this, [this] {
                if (m_hooks.showDetailed)
                    m_hooks.showDetailed();
            });

    m_languageMenu = menuBar()->addMenu(QStringLiteral("Language"));
    m_languageMenu->setObjectName(QStringLiteral("LangChoices"));
    m_languageMenu->menuAction()->setVisible(false);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    QAction* subtitles = addItem(options, "Subtitles", QStringLiteral("Subtitles"));
    subtitles->setCheckable(true);
    connect(subtitles, &QAction::triggered, this, &TMainForm::SubtitlesClick);
    QAction* audio = addItem(options, "AudioMessages", QStringLiteral("Audio Messages"));
    audio->setCheckable(true);
    connect(audio, &QAction::triggered, this, &TMainForm::AudioMessagesClick);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* topics = addItem(help, "Help2", QStringLiteral("Help Topics"), QKeySequence(Qt::Key_F1));
    topics->setShortcutContext(Qt::ApplicationShortcut);
    connect(topics, &QAction::triggered, this, &TMainForm::Help2Click);
    QAction* tellMe = addItem(help, "TellMeAudio1", QStringLiteral("Tell Me (Audio)"), QKeySequence(Qt::Key_F2));
    tellMe->setShortcutContext(Qt::ApplicationShortcut);
    connect(tellMe, &QAction::triggered, this, &TMainForm::tellMeAudio);
    help->addSeparator();
    const char* webNames[4] = {"zxWebJump1", "zxWebJump2", "zxWebJump3", "zxWebJump4"};
    const QString webCaptions[4] = {
        QStringLiteral("Display the Tallyworks Web Page"),
        QStringLiteral("Display the Tallyworks Support and Help Pages"),
        QStringLiteral("Display the Tallyworks Download Page"),
        QStringLiteral("Display the Tallyworks Feedback Web Page"),
    };
    for (int i = 0; i < 4; ++i)
        connect(addItem(help, webNames[i], webCaptions[i]), &QAction::triggered, this, [this, i] { webJump(i); });
    help->addSeparator();
    connect(addItem(help, "HelpAboutItem", QStringLiteral("&About...")), &QAction::triggered, this,
            &TMainForm::HelpAboutItemClick);

    for (QMenu* menu : {file, results, m_languageMenu, options, help, m_reopenMenu})
        connect(menu, &QMenu::hovered, this, [this](QAction* item) {
            const QVariant whole = item->property("zxHint");
            hintChanged(whole.isValid() ? whole.toString() : item->statusTip());
        });

    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    m_openDialog = new QFileDialog(this);
    m_openDialog->setObjectName(QStringLiteral("OpenDialog"));
    m_openDialog->setWindowTitle(QStringLiteral("Open Question Bank..."));
    m_openDialog->setFileMode(QFileDialog::ExistingFile);
    m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_openDialog->setDefaultSuffix(QStringLiteral("zxb"));
    m_openDialog->setNameFilters({QStringLiteral("All Question Formats (*.zxb *.zxr)"),
                                  QStringLiteral("Question Banks (*.zxb)"),
                                  QStringLiteral("Tallyworks Results (*.zxr)")});
    m_openDialog->setDirectory(desktop);
    m_saveDialog = new QFileDialog(this);
    m_saveDialog->setObjectName(QStringLiteral("SaveDialog"));
    m_saveDialog->setWindowTitle(QStringLiteral("Save results as..."));
    m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_saveDialog->setDefaultSuffix(QStringLiteral("zxr"));
    m_saveDialog->setNameFilters({QStringLiteral("Tallyworks Results (*.zxr)")});
    m_saveDialog->setOption(QFileDialog::ReadOnly, false);
    m_saveDialog->setDirectory(desktop);
}

void TMainForm::buildControlPanel()
{
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("MainArea"));
    setCentralWidget(m_central);

    m_pageArea = new QWidget(m_central);
    m_pageArea->setObjectName(QStringLiteral("PageArea"));

    m_controlPanel = new QFrame(m_central);
    m_controlPanel->setObjectName(QStringLiteral("ControlPanel"));
    m_controlPanel->setFrameShape(QFrame::Panel);
    m_controlPanel->setFrameShadow(QFrame::Raised);
    m_controlPanel->setAutoFillBackground(true);

    m_autoPlay = new QCheckBox(QStringLiteral("Auto Play"), m_controlPanel);
    m_autoPlay->setObjectName(QStringLiteral("AutoPlay"));
    m_autoPlay->setChecked(true);
    connect(m_autoPlay, &QCheckBox::clicked, this, [this] { m_autoPlayOn = m_autoPlay->isChecked(); });

    m_questionSlider = new QScrollBar(Qt::Horizontal, m_controlPanel);
    m_questionSlider->setObjectName(QStringLiteral("questionSlider"));
    m_questionSlider->setRange(0, 0);
    m_questionSlider->setPageStep(1);
    m_questionSlider->setEnabled(false);

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, m_controlPanel);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_startButton = button("StartButton", QStringLiteral("Start"));
    m_startButton->setEnabled(false);
    m_startButton->hide();
    connect(m_startButton, &QPushButton::clicked, this, [this] {
        if (m_hooks.startTest)
            m_hooks.startTest();
    });
    m_finishButton = button("FinishButton", QStringLiteral("Finish"));
    m_markButton = button("MarkButton", QStringLiteral("Mark"));
    m_cheatButton = button("CheatButton", QStringLiteral("Cheat"));
    m_helpButton = button("HelpButton", QStringLiteral("Help"));
    m_finishButton->setEnabled(false);
    m_markButton->setEnabled(false);
    m_cheatButton->setEnabled(false);
    connect(m_helpButton, &QPushButton::clicked, this, &TMainForm::Help2Click);
}

void TMainForm::setPageSize(int width, int height)
{
    const int pageHeight = std::max(0, height - controlPanelHeight);
    m_central->setFixedSize(width, height);
    m_pageArea->setGeometry(0, 0, width, pageHeight);
    m_controlPanel->setGeometry(0, pageHeight, width, controlPanelHeight);
    layoutControlPanel();
    // The window wraps the menu bar and this client area exactly.
    adjustSize();
}

void TMainForm::layoutControlPanel()
{
    const int width = m_controlPanel->width();
    const int buttonWidth = 64;
    const int top = 3;
    const int h = controlPanelHeight - 2 * top;
    int right = width - 4;
    for (QPushButton* b : {m_helpButton, m_cheatButton, m_markButton, m_finishButton}) {
        right -= buttonWidth;
        b->setGeometry(right, top, buttonWidth, h);
        right -= 2;
    }
    m_startButton->setGeometry(right - buttonWidth, top, buttonWidth, h);
    m_autoPlay->setGeometry(6, top, 86, h);
    const int sliderLeft = 96;
    const int sliderRight = right - 4;
    m_questionSlider->setGeometry(sliderLeft, top + 2, std::max(20, sliderRight - sliderLeft), h - 4);
}

QAction* TMainForm::action(const QString& objectName) const
{
    return findChild<QAction*>(objectName);
}

// ---------------------------------------------------------------- test state

void TMainForm::setTestState(TestState state)
{
    if (state == m_testState)
        return;
    m_testState = state;
    if (m_inhibitEnabled)
        m_inhibitor.setInhibited(isTestInProgress(state));
    emit testStateChanged(state);
}

// ---------------------------------------------------------------- messages

QString TMainForm::message(int number) const
{
    return LanguageApplier::widgetText(m_texts.message(number));
}

void TMainForm::showMessageWindow(const QString& caption, const QString& text)
{
    m_messageForm->showMessage(caption, text);
}

QString TMainForm::soundFolder() const
{
    return m_paths.programFolder + QStringLiteral("/ExSounds");
}

bool TMainForm::subtitlesOn() const
{
    return action(QStringLiteral("Subtitles"))->isChecked();
}

bool TMainForm::audioMessagesOn() const
{
    return action(QStringLiteral("AudioMessages"))->isChecked();
}

void TMainForm::announceMessage(const QString& key)
{
    m_currentMessageKey = key;
    if (audioMessagesOn())
        playMessageAudio(key);
}

void TMainForm::playMessageAudio(const QString& key)
{
    if (!isPlainSoundKey(toBytes(key)))
        return;
    const QString base = soundFolder() + QLatin1Char('/') + key;
    QString file;
    if (QFileInfo(base + QStringLiteral(".mp3")).isFile())
        file = base + QStringLiteral(".mp3");
    else if (QFileInfo(base + QStringLiteral(".wav")).isFile())
        file = base + QStringLiteral(".wav");
    else
        return;
    if (mediaHeaderMatches(QFile::encodeName(file).toStdString()))
        playAudioFile(file);
}

void TMainForm::playAudioFile(const QString& path)
{
    if (path == QLatin1String("0")) {
        m_sound->stop();
        return;
    }
    m_sound->open(path);
    m_sound->play();
}

void TMainForm::tellMeAudio()
{
    playMessageAudio(m_currentMessageKey);
}

void TMainForm::hintChanged(const QString& hint)
{
    const std::string key = hintMessageKey(m_texts.hints, utf8ToCp1252(hint.toStdString()));
    if (!key.empty())
        m_currentMessageKey = fromBytes(key);
}

// ---------------------------------------------------------------- language

bool TMainForm::chooseLanguage()
{
    const QString folder = m_paths.programFolder + QStringLiteral("/ExLang");
    m_languageFiles = listLanguageFiles(fsPath(folder));
    std::optional<std::string> stored;
    if (const auto choice = m_settings.readString(QStringLiteral("langchoice")))
        stored = toBytes(*choice);
    const LanguageDecision decision = decideLanguage(m_languageFiles, stored);
    if (decision.missing) {
        m_prompts.warn(fromBytes(std::string(missingLanguageWarning)));
        m_closingForGood = true;
        if (m_exitApplication)
            m_exitApplication();
        else
            QCoreApplication::exit(0);
        return false;
    }
    m_currentLanguage = fromBytes(decision.current);
    m_languageMenu->clear();
    m_languageMenu->menuAction()->setVisible(decision.showMenu);
    if (decision.showMenu) {
        for (const LanguageFileEntry& entry : m_languageFiles) {
            const QString name = fromBytes(entry.name);
            QAction* item = m_languageMenu->addAction(literalCaption(name));
            item->setCheckable(true);
            item->setChecked(name == m_currentLanguage);
            item->setData(name);
            connect(item, &QAction::triggered, this, [this, name] { languageChosen(name); });
        }
    }
    loadLanguage();
    return true;
}

void TMainForm::languageChosen(const QString& name)
{
    m_settings.writeString(QStringLiteral("langchoice"), name);
    for (QAction* item : m_languageMenu->actions())
        item->setChecked(item->data().toString() == name);
    m_currentLanguage = name;
    loadLanguage();
}

void TMainForm::loadLanguage()
{
    const QString folder = m_paths.programFolder + QStringLiteral("/ExLang");
    const auto path = languageFilePath(fsPath(folder), m_languageFiles, toBytes(m_currentLanguage));
    if (!loadLanguageFile(path, m_texts))
        return;
    LanguageWindows windows;
    windows.mainForm = this;
    windows.help = m_help;
    windows.userDetails = m_userDetailsDialog;
    windows.password = m_passwordDialog;
    windows.aboutBox = m_about;
    applyLanguage(m_texts, windows);
}

void TMainForm::setBankDialogs(QWidget* userDetails, QWidget* password)
{
    m_userDetailsDialog = userDetails;
    m_passwordDialog = password;
}

// ---------------------------------------------------------------- settings

void TMainForm::readSettings()
{
    m_recent = m_settings.readRecentFiles();
    for (RecentList* list : {&m_recent.banks, &m_recent.results})
        for (std::string& entry : *list)
            if (!entry.empty() && !QFileInfo::exists(fromBytes(entry)))
                entry.clear();
    rebuildReopenMenu();
    action(QStringLiteral("Subtitles"))->setChecked(m_settings.readBoolean(QStringLiteral("Subtitles"), false));
    action(QStringLiteral("AudioMessages"))
        ->setChecked(m_settings.readBoolean(QStringLiteral("AudioMessages"), false));
}

void TMainForm::rememberRecentFile(const QString& path)
{
    m_recent.remember(toBytes(path));
    rebuildReopenMenu();
    saveRecentFiles();
}

void TMainForm::rebuildReopenMenu()
{
    m_reopenMenu->clear();
    for (const ReopenEntry& entry : reopenMenuEntries(m_recent)) {
        if (entry.kind == RecentKind::None) {
            m_reopenMenu->addSeparator();
            continue;
        }
        QAction* item = m_reopenMenu->addAction(literalCaption(fromBytes(entry.caption)));
        item->setData(entry.index);
        const int index = entry.index;
        if (entry.kind == RecentKind::Bank) {
            item->setObjectName(QStringLiteral("RecentBank%1").arg(index));
            connect(item, &QAction::triggered, this, [this, index] { openBank(fromBytes(m_recent.banks[index])); });
        } else {
            item->setObjectName(QStringLiteral("RecentResult%1").arg(index));
            connect(item, &QAction::triggered, this,
                    [this, index] { openResults(fromBytes(m_recent.results[index])); });
        }
    }
}

void TMainForm::saveRecentFiles()
{
    m_settings.writeRecentFiles(m_recent);
}

// ---------------------------------------------------------------- menu commands

void TMainForm::FileOpenItemClick()
{
    if (m_openDialog->exec() != QDialog::Accepted)
        return;
    const QStringList chosen = m_openDialog->selectedFiles();
    if (!chosen.isEmpty())
        openChosenFile(chosen.first());
}

void TMainForm::openChosenFile(const QString& path)
{
    switch (recentKindOf(toBytes(path))) {
    case RecentKind::Bank:
        openBank(path);
        break;
    case RecentKind::Results:
        openResults(path);
        break;
    case RecentKind::None:
        break;
    }
}

void TMainForm::openBank(const QString& path)
{
    if (m_hooks.openBank)
        m_hooks.openBank(path);
}

void TMainForm::openResults(const QString& path)
{
    if (m_hooks.openResults)
        m_hooks.openResults(path);
}

void TMainForm::SubtitlesClick(bool checked)
{
    m_settings.writeBoolean(QStringLiteral("Subtitles"), checked);
    if (m_hooks.subtitlesChanged)
        m_hooks.subtitlesChanged();
}

void TMainForm::AudioMessagesClick(bool checked)
{
    // Turning the messages off also silences whatever plays now.
    if (!checked)
        playAudioFile(QStringLiteral("0"));
    m_settings.writeBoolean(QStringLiteral("AudioMessages"), checked);
}

void TMainForm::PrintSetup1Click()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void TMainForm::HelpAboutItemClick()
{
    m_about->exec();
}

void TMainForm::Help2Click()
{
    m_help->showCentred();
}

void TMainForm::webJump(int index)
{
    if (index >= 0 && index < 4)
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(webAddresses[index])));
}

// ---------------------------------------------------------------- hand-over

void TMainForm::attachInstanceChannel(InstanceChannel* channel)
{
    m_channel = channel;
    if (channel)
        connect(channel, &InstanceChannel::alreadyRunning, this, &TMainForm::handleAlreadyRunning);
}

void TMainForm::handleAlreadyRunning()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (!m_channel)
        return;
    const std::optional<Handoff> handoff = m_channel->takeHandoff();
    if (!handoff || !m_hooks.handoff)
        return;
    // The later start is answered at once; the verbs run afterwards.
    const Handoff copy = *handoff;
    QTimer::singleShot(0, this, [this, copy] {
        if (m_hooks.handoff)
            m_hooks.handoff(copy);
    });
}

// ---------------------------------------------------------------- start-up

void TMainForm::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    FormPaint();
}

void TMainForm::FormPaint()
{
    if (m_hooks.paintBackground) {
        m_hooks.paintBackground();
        if (m_startRequested) {
            m_startRequested = false;
            if (m_hooks.startTest)
                QTimer::singleShot(0, this, [this] {
                    if (m_hooks.startTest)
                        m_hooks.startTest();
                });
        }
    }
    // The start-up sequence shows windows and boxes, which a paint handler
    // must not do itself: it runs right after this paint.
    if (m_firstPaintPending && !m_startQueued) {
        m_startQueued = true;
        QTimer::singleShot(0, this, &TMainForm::startCall);
    }
}

bool TMainForm::splashBlocked() const
{
    const QString x14 = message(14);
    const QString x19 = message(19);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == m_about || !window->isVisible())
            continue;
        const QString title = window->windowTitle();
        if ((!x14.isEmpty() && title == x14) || (!x19.isEmpty() && title == x19))
            return true;
    }
    return false;
}

void TMainForm::wait(int ms)
{
    if (m_delay) {
        m_delay(ms);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::startCall()
{
    if (!m_firstPaintPending)
        return;
    m_firstPaintPending = false;

    if (!chooseLanguage())
        return;
    m_about->setVersionText(message(9));
    m_about->setSecondText(message(11));

    const bool splash = !splashBlocked();
    if (splash)
        m_about->showAsSplash();

    readSettings();

    // No movie control on this platform.
    m_flashAvailable = false;

    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    m_openDialog->setDirectory(desktop);
    m_saveDialog->setDirectory(desktop);

    if (!QFileInfo(soundFolder()).isDir()) {
        action(QStringLiteral("AudioMessages"))->setEnabled(false);
        action(QStringLiteral("TellMeAudio1"))->setEnabled(false);
    }

    m_hintsShown = true;
    HintStyle::install(hintPauseMs);

    wait(splashPauseMs);
    if (splash)
        m_about->endSplash();
    m_startupDone = true;

    if (m_hooks.continueStartup)
        m_hooks.continueStartup(m_commandLine);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            const QVariant whole = widget->property("zxHint");
            const QString hint = whole.isValid() ? whole.toString() : widget->toolTip();
            if (!hint.isEmpty())
                hintChanged(hint);
        }
        break;
    case QEvent::ToolTip:
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            if (!m_hintsShown)
                return true;
            if (!widget->toolTip().isEmpty()) {
                const auto* help = static_cast<QHelpEvent*>(event);
                QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {}, hintHidePauseMs);
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- closing

bool TMainForm::FormCloseQuery()
{
    switch (decideClose(m_testState, m_bankSettings)) {
    case CloseDecision::Close:
        return true;
    case CloseDecision::RefuseExam:
        announceMessage(QStringLiteral("x16"));
        showMessageWindow(message(15), message(16));
        return false;
    case CloseDecision::AskRunning:
        announceMessage(QStringLiteral("x17"));
        return m_prompts.askYesNo(message(17));
    case CloseDecision::AskUnsavedResults:
        announceMessage(QStringLiteral("x18"));
        return m_prompts.askYesNo(message(18));
    }
    return true;
}

void TMainForm::FormClose()
{
    if (m_hooks.leavePage)
        m_hooks.leavePage();
    if (m_hooks.destroyReports)
        m_hooks.destroyReports();
    m_sound->close();
    m_workingFolder.clear();
    m_messageForm->hide();
    m_help->hide();
    m_progress->hide();
    m_cover->hide();
    m_inhibitor.setInhibited(false);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!m_closingForGood && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

} // namespace zx
