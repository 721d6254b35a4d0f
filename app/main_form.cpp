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
#include "app/core/speech_language.h"
#include "media/qt_speech.h"
#include "objects/answer_keys.h"
#include "objects/page_accessibility.h"
#include "objects/qt_text.h"
#include "objects/zx_object.h"
#include "results/report_view.h"
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
#include <QKeyEvent>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
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
    , m_desktopWindowTitles(options.desktopWindowTitles ? std::move(options.desktopWindowTitles)
                                                        : WindowTitleSource(desktopWindowTitles))
    , m_exitApplication(std::move(options.exitApplication))
    , m_printer(std::make_unique<QPrinter>())
    , m_speech(std::move(options.speech))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Exam"));
    m_prompts = UserPrompts::messageBoxes(this);
    m_prompts.chooseResultsFile = [this] {
        if (m_saveDialog->exec() != QDialog::Accepted || m_saveDialog->selectedFiles().isEmpty())
            return QString();
        return m_saveDialog->selectedFiles().first();
    };
    m_prompts.choosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_currentLanguage = pathFromLocal(defaultLanguageName);

    buildMenus();
    buildControlPanel();
    buildShortcuts();
    setPageSize(640, 480);
    if (m_speech)
        m_speech->setChangeHandler([this] { refreshReadAloud(); });

    m_messageForm = new TMessageForm(this);
    m_progress = new TProgress(this);
    m_help = new THelp(this);
    m_about = new TAboutBox(m_paths.programFolder, this);
    // The backdrop has no owner window, so the window manager never keeps
    // it above the main window.
    m_cover = std::make_unique<TBackCoverWindow>(nullptr);
    connect(m_help, &THelp::announce, this, qOverload<const QString&>(&TMainForm::announceMessage));
    connect(m_help, &THelp::playAudio, this, &TMainForm::playAudioFile);
    refreshKeyboardHelp();
    connect(m_cover.get(), &TBackCoverWindow::bringMainToFront, this, [this] {
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
            &QAction::triggered, this, &TMainForm::SaveResults1Click);
    file->addSeparator();
    connect(addItem(file, "PrintSetup1", QStringLiteral("Print Setup..."),
                    QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P)),
            &QAction::triggered, this, &TMainForm::PrintSetup1Click);
    connect(addItem(file, "Print1", QStringLiteral("Print..."), QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, &TMainForm::Print1Click);
    file->addSeparator();
    connect(addItem(file, "FileExitItem", QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    QMenu* results = menuBar()->addMenu(QStringLiteral("&Results"));
    results->setObjectName(QStringLiteral("View1"));
    // The View items carry a tick that only ResultsToggle sets: the tick Qt
    // flips on a click is put back before the click is announced.
    for (const bool summary : {true, false}) {
        QAction* item = addItem(results, summary ? "ResultsSummary1" : "DetailedResults1",
                                summary ? QStringLiteral("Show Results Summary") : QStringLiteral("Show Detailed Results"));
        item->setCheckable(true);
        item->setEnabled(false);
        connect(item, &QAction::triggered, this, [this, item, summary](bool checked) {
            item->setChecked(!checked);
            emit ResultsToggle(summary);
        });
    }

    m_languageMenu = menuBar()->addMenu(QStringLiteral("Language"));
    m_languageMenu->setObjectName(QStringLiteral("LangChoices"));
    m_languageMenu->menuAction()->setVisible(false);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    QAction* subtitles = addItem(options, "Subtitles", QStringLiteral("Subtitles"));
    subtitles->setCheckable(true);
    connect(subtitles, &QAction::triggered, this, &TMainForm::SubtitlesItemClick);
    QAction* audio = addItem(options, "AudioMessages", QStringLiteral("Audio Messages"));
    audio->setCheckable(true);
    connect(audio, &QAction::triggered, this, &TMainForm::AudioMessagesClick);
    // Reading aloud stays with the candidate in an exam too.
    QAction* readAloud = addItem(options, "ReadAloud", QStringLiteral("Read Page Aloud"),
                                 QKeySequence::fromString(QString::fromStdString(keyBinding(KeyCommand::ReadAloud).keys.front()),
                                                          QKeySequence::PortableText));
    readAloud->setShortcutContext(Qt::ApplicationShortcut);
    connect(readAloud, &QAction::triggered, this, &TMainForm::ReadAloudItemClick);
    // Whether a voice answers is asked when the menu opens, so a program
    // that never reads aloud never starts a speech service.
    connect(options, &QMenu::aboutToShow, this, &TMainForm::refreshReadAloud);

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
    // The page keeps the focus between its controls (a page left, a page
    // without controls), also while another window is in front; Tab goes
    // on to the page's controls from there.  A click leaves it alone.
    m_pageArea->setFocusPolicy(Qt::TabFocus);

    m_controlPanel = new QFrame(m_central);
    m_controlPanel->setObjectName(QStringLiteral("ControlPanel"));
    m_controlPanel->setFrameShape(QFrame::Panel);
    m_controlPanel->setFrameShadow(QFrame::Raised);
    m_controlPanel->setAutoFillBackground(true);

    m_autoPlay = new QCheckBox(QStringLiteral("Auto Play"), m_controlPanel);
    m_autoPlay->setObjectName(QStringLiteral("AutoPlay"));
    m_autoPlay->setChecked(true);
    connect(m_autoPlay, &QCheckBox::clicked, this, &TMainForm::AutoPlayClick);

    m_questionSlider = new QScrollBar(Qt::Horizontal, m_controlPanel);
    m_questionSlider->setObjectName(QStringLiteral("questionSlider"));
    m_questionSlider->setRange(0, 0);
    m_questionSlider->setPageStep(1);
    m_questionSlider->setEnabled(false);
    m_questionSlider->setFocusPolicy(Qt::TabFocus);
    connect(m_questionSlider, &QScrollBar::valueChanged, this, &TMainForm::questionSliderScroll);

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, m_controlPanel);
        b->setObjectName(QString::fromLatin1(name));
        // Reached by Tab; a click leaves the focus where it was.
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    m_startButton = button("StartButton", QStringLiteral("Start"));
    m_startButton->setEnabled(false);
    m_startButton->hide();
    connect(m_startButton, &QPushButton::clicked, this, &TMainForm::StartButtonClick);
    m_finishButton = button("FinishButton", QStringLiteral("Finish"));
    m_markButton = button("MarkButton", QStringLiteral("Mark"));
    m_cheatButton = button("CheatButton", QStringLiteral("Cheat"));
    m_helpButton = button("HelpButton", QStringLiteral("Help"));
    m_finishButton->setEnabled(false);
    m_markButton->setEnabled(false);
    m_cheatButton->setEnabled(false);
    connect(m_helpButton, &QPushButton::clicked, this, &TMainForm::Help2Click);
    connect(m_finishButton, &QPushButton::clicked, this, &TMainForm::FinishButtonClick);
    connect(m_markButton, &QPushButton::clicked, this, &TMainForm::MarkButClick);
    connect(m_cheatButton, &QPushButton::pressed, this, &TMainForm::CheatButtonMouseDown);
    connect(m_cheatButton, &QPushButton::released, this, &TMainForm::CheatButtonMouseUp);
    connect(m_helpButton, &QPushButton::released, this, &TMainForm::CheatButtonMouseUp);
}

void TMainForm::setPageSize(int width, int height)
{
    const int pageHeight = std::max(0, height - controlPanelHeight);
    m_central->setFixedSize(width, height);
    m_pageArea->setGeometry(0, 0, width, pageHeight);
    m_controlPanel->setGeometry(0, pageHeight, width, controlPanelHeight);
    for (ReportKind kind : {ReportKind::Detailed, ReportKind::Summary})
        if (ReportView* view = viewOf(kind))
            view->setGeometry(m_pageArea->geometry());
    // Until a bank is open the panel keeps the arrangement of no bank.
    if (m_testState == TestState::NoTest)
        applyControlPanel(planFor(PanelStage::NoBank, {}));
    // The window wraps the menu bar and this client area exactly.
    adjustSize();
}

void TMainForm::centreOn(const QRect& desktop)
{
    QRect frame = frameGeometry();
    frame.moveCenter(desktop.center());
    move(frame.topLeft());
}

QRect TMainForm::availableDesktop() const
{
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        return s->availableGeometry();
    return {};
}

// ---------------------------------------------------------------- control panel

ControlPanelPlan TMainForm::planFor(PanelStage stage, const BankSettings& rules) const
{
    return planControlPanel(m_controlPanel->width(), stage, rules);
}

void TMainForm::placeControl(QWidget* control, const PanelControl& place)
{
    control->setGeometry(place.left, place.top, place.width, place.height);
    control->setVisible(place.visible);
}

void TMainForm::applyControlPanel(const ControlPanelPlan& plan)
{
    placeControl(m_autoPlay, plan.autoPlay);
    placeControl(m_helpButton, plan.help);
    placeControl(m_finishButton, plan.finish);
    placeControl(m_markButton, plan.mark);
    placeControl(m_cheatButton, plan.cheat);
    m_finishButton->setEnabled(plan.finish.enabled);
    m_markButton->setEnabled(plan.mark.enabled);
    m_cheatButton->setEnabled(plan.cheat.enabled);
    if (plan.cheatCaption > 0)
        m_cheatButton->setText(message(plan.cheatCaption));
    // The slider's enabled state goes with the question range; the Start
    // button shows only on the last pre-test page.
    m_questionSlider->setGeometry(plan.slider.left, plan.slider.top, plan.slider.width, plan.slider.height);
    m_startButton->setGeometry(plan.start.left, plan.start.top, plan.start.width, plan.start.height);
}

void TMainForm::disableTestControls()
{
    for (QWidget* control : {static_cast<QWidget*>(m_finishButton), static_cast<QWidget*>(m_markButton),
                             static_cast<QWidget*>(m_cheatButton), static_cast<QWidget*>(m_questionSlider)})
        control->setEnabled(false);
}

void TMainForm::setQuestionRange(int maximum, int position, bool enabled)
{
    const QSignalBlocker quiet(m_questionSlider);
    m_questionSlider->setMaximum(maximum);
    m_questionSlider->setValue(position);
    m_questionSlider->setEnabled(enabled);
}

void TMainForm::setQuestionSliderEnabled(bool enabled) { m_questionSlider->setEnabled(enabled); }

void TMainForm::setStartButtonShown(bool shown)
{
    m_startButton->setEnabled(shown);
    m_startButton->setVisible(shown);
    if (shown)
        m_startButton->raise();
}

void TMainForm::frameStartButton(const zxObject& service)
{
    const QPoint at = m_startButton->mapTo(this, QPoint(0, 0));
    service.attentionFrame(at.x(), at.y(), this, m_startButton->height(), m_startButton->width());
}

void TMainForm::frameQuestionSlider(const zxObject& service)
{
    const QRect r = m_questionSlider->geometry();
    service.attentionFrame(r.x(), r.y(), m_controlPanel, r.height(), r.width());
}

void TMainForm::setAutoPlay(bool checked, bool enabled)
{
    m_autoPlay->setChecked(checked);
    m_autoPlay->setEnabled(enabled);
}

bool TMainForm::autoPlayOn() const { return m_autoPlay->isChecked(); }

void TMainForm::setMinimiseAllowed(bool allowed)
{
    if (windowFlags().testFlag(Qt::WindowMinimizeButtonHint) == allowed)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowMinimizeButtonHint, allowed);
    if (visible)
        show();
}

void TMainForm::setExamLock(bool locked)
{
    action("FileOpenItem")->setEnabled(!locked);
    action("FileExitItem")->setEnabled(!locked);
    for (const char* web : {"zxWebJump1", "zxWebJump2", "zxWebJump3", "zxWebJump4"})
        action(web)->setEnabled(!locked);
    setMinimiseAllowed(!locked);
}

void TMainForm::showCover(bool shown)
{
    if (shown)
        m_cover->showCover();
    else
        m_cover->hide();
}

void TMainForm::enableResultsCommands(bool saving, bool printing)
{
    action("SaveResults1")->setEnabled(saving);
    action("PrintSetup1")->setEnabled(printing);
    action("Print1")->setEnabled(printing);
}

void TMainForm::setViewItemsEnabled(bool enabled)
{
    action("ResultsSummary1")->setEnabled(enabled);
    action("DetailedResults1")->setEnabled(enabled);
}

void TMainForm::setViewChecks(bool summaryChecked, bool detailedChecked)
{
    action("ResultsSummary1")->setChecked(summaryChecked);
    action("DetailedResults1")->setChecked(detailedChecked);
}

bool TMainForm::summaryItemChecked() const { return action("ResultsSummary1")->isChecked(); }

void TMainForm::setAutoPlayChecked(bool checked) { m_autoPlay->setChecked(checked); }

// ---------------------------------------------------------------- report views

QPointer<ReportView>& TMainForm::viewOf(ReportKind kind)
{
    return kind == ReportKind::Detailed ? m_detailedView : m_summaryView;
}

ReportView* TMainForm::viewOf(ReportKind kind) const
{
    return kind == ReportKind::Detailed ? m_detailedView.data() : m_summaryView.data();
}

void TMainForm::setReport(ReportKind kind, ReportDocument report)
{
    QPointer<ReportView>& view = viewOf(kind);
    if (!view) {
        view = new ReportView(m_central);
        view->setObjectName(kind == ReportKind::Detailed ? QStringLiteral("DetailedResultsView")
                                                         : QStringLiteral("ResultsSummaryView"));
        presentAsDocument(view);
        view->setAccessibleName(message(91));
        view->hide();
    }
    view->setGeometry(m_pageArea->geometry());
    view->setReport(std::move(report));
}

void TMainForm::destroyReport(ReportKind kind)
{
    QPointer<ReportView>& view = viewOf(kind);
    delete view.data();
    view = nullptr;
}

const ReportDocument* TMainForm::report(ReportKind kind) const
{
    const ReportView* view = viewOf(kind);
    return view ? &view->report() : nullptr;
}

bool TMainForm::reportVisible(ReportKind kind) const
{
    const ReportView* view = viewOf(kind);
    return view && view->isVisible();
}

void TMainForm::showReport(ReportKind kind)
{
    const ReportKind other = kind == ReportKind::Detailed ? ReportKind::Summary : ReportKind::Detailed;
    if (ReportView* hidden = viewOf(other))
        hidden->hide();
    if (ReportView* shown = viewOf(kind)) {
        shown->setGeometry(m_pageArea->geometry());
        shown->show();
        shown->raise();
    }
}

void TMainForm::hideReports()
{
    for (ReportKind kind : {ReportKind::Detailed, ReportKind::Summary})
        if (ReportView* view = viewOf(kind))
            view->hide();
}

void TMainForm::applyResultsDisplay(const ResultsDisplayPlan& plan)
{
    auto apply = [this](ReportKind kind, ViewAction what) {
        switch (what) {
        case ViewAction::Destroy:
            destroyReport(kind);
            break;
        case ViewAction::Hide:
            if (ReportView* view = viewOf(kind))
                view->hide();
            break;
        case ViewAction::Show:
            if (ReportView* view = viewOf(kind)) {
                view->setGeometry(m_pageArea->geometry());
                view->show();
                view->raise();
            }
            break;
        }
    };
    apply(ReportKind::Detailed, plan.detailed);
    apply(ReportKind::Summary, plan.summary);
    setViewItemsEnabled(plan.viewItemsEnabled);
    if (plan.setChecks)
        setViewChecks(plan.summaryChecked, plan.detailedChecked);
}

void TMainForm::printShownReport(QPrinter& printer)
{
    printer.setDocName(QStringLiteral("Results"));
    for (ReportKind kind : {ReportKind::Summary, ReportKind::Detailed}) {
        if (ReportView* view = viewOf(kind); view && view->isVisible()) {
            // Printed from the report itself, with its sizes in points.
            QTextDocument paper;
            appendReport(paper, view->report(), false, ReportMedium::Paper);
            paper.print(&printer);
            return;
        }
    }
    // No report on show: an image of the window, as large as the page
    // allows.
    const QPixmap image = grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawPixmap(0, 0, image);
    painter.end();
}

void TMainForm::enterLocalBankMode(bool resultsStoredAutomatically)
{
    for (const char* web : {"zxWebJump1", "zxWebJump2", "zxWebJump3", "zxWebJump4"})
        action(web)->setVisible(false);
    action("FileOpenItem")->setVisible(false);
    m_reopenMenu->menuAction()->setVisible(false);
    if (resultsStoredAutomatically)
        action("SaveResults1")->setVisible(false);
}

void TMainForm::requestStart()
{
    m_startRequested = true;
    update();
}

QAction* TMainForm::action(const char* objectName) const
{
    return findChild<QAction*>(QString::fromLatin1(objectName));
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
    return widgetText(m_texts.message(number));
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
    return action("Subtitles")->isChecked();
}

bool TMainForm::audioMessagesOn() const
{
    return action("AudioMessages")->isChecked();
}

void TMainForm::announceMessage(int number)
{
    announceMessage(QString::fromStdString(messageKey(number)));
}

void TMainForm::announceMessage(const QString& key)
{
    m_currentMessageKey = key;
    if (audioMessagesOn())
        playMessageAudio(key);
}

void TMainForm::playMessageAudio(const QString& key)
{
    if (!isPlainSoundKey(key.toStdString()))
        return;
    const QString base = soundFolder() + QLatin1Char('/') + key;
    QString file;
    if (QFileInfo(base + QStringLiteral(".mp3")).isFile())
        file = base + QStringLiteral(".mp3");
    else if (QFileInfo(base + QStringLiteral(".wav")).isFile())
        file = base + QStringLiteral(".wav");
    else
        return;
    if (mediaHeaderMatches(localPath(file)))
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
    const std::string key = hintMessageKey(m_texts.hints, qStringToCp1252(hint));
    if (!key.empty())
        m_currentMessageKey = QString::fromStdString(key);
}

// ---------------------------------------------------------------- language

bool TMainForm::chooseLanguage()
{
    const QString folder = m_paths.programFolder + QStringLiteral("/ExLang");
    m_languageFiles = listLanguageFiles(localPath(folder));
    std::optional<std::string> stored;
    if (const auto choice = m_settings.readString(QStringLiteral("langchoice")))
        stored = localPath(*choice);
    const LanguageDecision decision = decideLanguage(m_languageFiles, stored);
    if (decision.missing) {
        m_prompts.warn(QString::fromUtf8(missingLanguageWarning.data(), static_cast<qsizetype>(missingLanguageWarning.size())));
        m_closingForGood = true;
        if (m_exitApplication)
            m_exitApplication();
        else
            QCoreApplication::exit(0);
        return false;
    }
    m_currentLanguage = pathFromLocal(decision.current);
    m_languageMenu->clear();
    m_languageMenu->menuAction()->setVisible(decision.showMenu);
    if (decision.showMenu) {
        for (const LanguageFileEntry& entry : m_languageFiles) {
            const QString name = pathFromLocal(entry.name);
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
    const auto path = languageFilePath(localPath(folder), m_languageFiles, localPath(m_currentLanguage));
    if (!loadLanguageFile(path, m_texts))
        return;
    LanguageWindows windows;
    windows.mainForm = this;
    windows.help = m_help;
    windows.userDetails = m_userDetailsDialog;
    windows.password = m_passwordDialog;
    windows.aboutBox = m_about;
    applyLanguage(m_texts, windows);
    m_questionSlider->setAccessibleName(message(97));
    m_pageArea->setAccessibleName(message(97));
    refreshKeyboardHelp();
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
            if (!entry.empty() && !QFileInfo::exists(pathFromLocal(entry)))
                entry.clear();
    rebuildReopenMenu();
    action("Subtitles")->setChecked(m_settings.readBoolean(QStringLiteral("Subtitles"), false));
    action("AudioMessages")
        ->setChecked(m_settings.readBoolean(QStringLiteral("AudioMessages"), false));
}

void TMainForm::rememberRecentFile(const QString& path)
{
    m_recent.remember(localPath(path));
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
        QAction* item = m_reopenMenu->addAction(literalCaption(pathFromLocal(entry.caption)));
        item->setData(entry.index);
        const int index = entry.index;
        if (entry.kind == RecentKind::Bank) {
            item->setObjectName(QStringLiteral("RecentBank%1").arg(index));
            connect(item, &QAction::triggered, this, [this, index] { emit openBankRequested(pathFromLocal(m_recent.banks[index])); });
        } else {
            item->setObjectName(QStringLiteral("RecentResult%1").arg(index));
            connect(item, &QAction::triggered, this,
                    [this, index] { emit openResultsRequested(pathFromLocal(m_recent.results[index])); });
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
    switch (recentKindOf(localPath(path))) {
    case RecentKind::Bank:
        emit openBankRequested(path);
        break;
    case RecentKind::Results:
        emit openResultsRequested(path);
        break;
    case RecentKind::None:
        break;
    }
}

void TMainForm::SubtitlesItemClick(bool checked)
{
    m_settings.writeBoolean(QStringLiteral("Subtitles"), checked);
    emit SubtitlesClick();
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
    if (!handoff)
        return;
    // The later start is answered at once; the verbs run afterwards.
    const Handoff copy = *handoff;
    QTimer::singleShot(0, this, [this, copy] { emit alreadyRunningHandoff(copy); });
}

// ---------------------------------------------------------------- start-up

void TMainForm::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    FormPaint();
}

void TMainForm::FormPaint()
{
    // A page object asked for the test to start; the start itself may
    // show windows, which a paint handler must not do: it runs right after.
    if (m_startRequested) {
        m_startRequested = false;
        QTimer::singleShot(0, this, &TMainForm::StartButtonClick);
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
    // Other programs' windows (the bank editor, its preview) and our own.
    QStringList titles = m_desktopWindowTitles();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != m_about && window->isVisible())
            titles << window->windowTitle();
    return anyTitleMatches(titles, {message(14), message(19)});
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
        action("AudioMessages")->setEnabled(false);
        action("TellMeAudio1")->setEnabled(false);
    }

    m_hintsShown = true;
    HintStyle::install(hintPauseMs);

    wait(splashPauseMs);
    if (splash)
        m_about->endSplash();
    m_startupDone = true;

    emit startupFinished(m_commandLine);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (cheatKey(watched, event))
        return true;
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (watched == m_questionSlider || watched == m_markButton || watched == m_finishButton
            || watched == m_cheatButton)
            refreshShortcuts();
        break;
    case QEvent::WindowDeactivate:
        if (watched == this)
            releaseCheatKey();
        break;
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

// ---------------------------------------------------------------- keyboard

void TMainForm::buildShortcuts()
{
    // Tab, Cheat, the help keys and reading aloud are handled elsewhere:
    // these keys work the slider and the buttons as the pointer does.
    for (const KeyBinding& binding : windowKeyBindings()) {
        switch (binding.command) {
        case KeyCommand::NextQuestion:
        case KeyCommand::PreviousQuestion:
        case KeyCommand::FirstQuestion:
        case KeyCommand::LastQuestion:
        case KeyCommand::Mark:
        case KeyCommand::Finish:
            break;
        default:
            continue;
        }
        for (const std::string& key : binding.keys) {
            auto* shortcut = new QShortcut(QKeySequence::fromString(QString::fromStdString(key), QKeySequence::PortableText),
                                           this);
            shortcut->setContext(Qt::WindowShortcut);
            shortcut->setAutoRepeat(binding.command != KeyCommand::Mark && binding.command != KeyCommand::Finish);
            const KeyCommand command = binding.command;
            connect(shortcut, &QShortcut::activated, this, [this, command] { runKeyCommand(command); });
            m_shortcuts.emplace_back(command, shortcut);
        }
    }
    refreshShortcuts();
}

bool TMainForm::keyCommandAvailable(KeyCommand command) const
{
    auto live = [this](const QWidget* control) { return control->isVisibleTo(this) && control->isEnabled(); };
    switch (command) {
    case KeyCommand::NextQuestion:
    case KeyCommand::PreviousQuestion:
    case KeyCommand::FirstQuestion:
    case KeyCommand::LastQuestion:
        return live(m_questionSlider);
    case KeyCommand::Mark:
        return live(m_markButton);
    case KeyCommand::Finish:
        return live(m_finishButton);
    case KeyCommand::Cheat:
        return live(m_cheatButton);
    case KeyCommand::ReadAloud:
        return action("ReadAloud")->isEnabled();
    case KeyCommand::Help:
    case KeyCommand::TellMe:
    case KeyCommand::NextControl:
    case KeyCommand::PreviousControl:
        return true;
    }
    return false;
}

void TMainForm::refreshShortcuts()
{
    for (auto& [command, shortcut] : m_shortcuts)
        shortcut->setEnabled(keyCommandAvailable(command));
}

void TMainForm::runKeyCommand(KeyCommand command)
{
    if (!keyCommandAvailable(command))
        return;
    switch (command) {
    case KeyCommand::Mark:
        m_markButton->click();
        break;
    case KeyCommand::Finish:
        m_finishButton->click();
        break;
    default:
        // The slider moves as under the pointer, and its move announces
        // questionSliderScroll.
        m_questionSlider->setValue(
            questionSliderTarget(command, m_questionSlider->value(), m_questionSlider->maximum()));
        break;
    }
}

bool TMainForm::cheatKey(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != this)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    static const QKeyCombination cheat =
        QKeySequence::fromString(QString::fromStdString(keyBinding(KeyCommand::Cheat).keys.front()),
                                 QKeySequence::PortableText)[0];
    if (key->key() != cheat.key())
        return false;
    if (event->type() == QEvent::KeyRelease) {
        // The key may be let go before or after its modifier.
        if (!m_cheatKeyHeld)
            return false;
        if (!key->isAutoRepeat())
            releaseCheatKey();
        return true;
    }
    if ((key->modifiers() & ~Qt::KeypadModifier) != cheat.keyboardModifiers())
        return false;
    if (m_cheatKeyHeld)
        return true; // the key repeats while it is held
    if (!keyCommandAvailable(KeyCommand::Cheat))
        return false;
    // Held as the button is held under the pointer.
    m_cheatKeyHeld = true;
    m_cheatButton->setDown(true);
    emit CheatButtonMouseDown();
    return true;
}

void TMainForm::releaseCheatKey()
{
    if (!m_cheatKeyHeld)
        return;
    m_cheatKeyHeld = false;
    m_cheatButton->setDown(false);
    emit CheatButtonMouseUp();
}

void TMainForm::setPageFocusOrder(const std::vector<QWidget*>& controls, bool takeFocus)
{
    m_pageFocus.assign(controls.begin(), controls.end());
    if (!takeFocus)
        return;
    for (QWidget* control : controls) {
        if (control->isVisibleTo(this) && control->isEnabled()) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    m_pageArea->setFocus(Qt::OtherFocusReason);
}

bool TMainForm::focusIsOnPage() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this)
        focus = focusWidget();
    return focus && (focus == m_pageArea || m_pageArea->isAncestorOf(focus));
}

std::vector<QWidget*> TMainForm::tabCycle() const
{
    auto takesTab = [this](QWidget* control) {
        return control && control->isVisibleTo(this) && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus);
    };
    std::vector<QWidget*> cycle;
    for (const QPointer<QWidget>& control : m_pageFocus)
        if (takesTab(control.data()))
            cycle.push_back(control.data());
    for (ReportKind kind : {ReportKind::Summary, ReportKind::Detailed})
        if (ReportView* view = viewOf(kind); takesTab(view))
            cycle.push_back(view);
    std::vector<QWidget*> panel;
    for (QWidget* control : {static_cast<QWidget*>(m_autoPlay), static_cast<QWidget*>(m_helpButton),
                             static_cast<QWidget*>(m_questionSlider), static_cast<QWidget*>(m_startButton),
                             static_cast<QWidget*>(m_cheatButton), static_cast<QWidget*>(m_markButton),
                             static_cast<QWidget*>(m_finishButton)})
        if (takesTab(control))
            panel.push_back(control);
    std::stable_sort(panel.begin(), panel.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    cycle.insert(cycle.end(), panel.begin(), panel.end());
    return cycle;
}

bool TMainForm::focusNextPrevChild(bool next)
{
    QWidget* current = focusWidget();
    // A page control that goes away (its page is left, the start picture
    // is clicked) leaves the focus on the page: Tab starts again at the
    // page's first control, and the next page takes the focus.
    if (current && current != m_pageArea && m_pageArea->isAncestorOf(current) && !current->isVisible()) {
        m_pageArea->setFocus(Qt::OtherFocusReason);
        return true;
    }
    const std::vector<QWidget*> cycle = tabCycle();
    if (cycle.empty())
        return QMainWindow::focusNextPrevChild(next);
    const auto at = std::find(cycle.begin(), cycle.end(), current);
    const int count = static_cast<int>(cycle.size());
    int index = next ? 0 : count - 1;
    if (at != cycle.end())
        index = (static_cast<int>(at - cycle.begin()) + (next ? 1 : -1) + count) % count;
    cycle[static_cast<std::size_t>(index)]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

// ---------------------------------------------------------------- reading aloud

Speech& TMainForm::speech()
{
    if (!m_speech) {
        m_speech = std::make_unique<QtSpeech>();
        m_speech->setChangeHandler([this] { refreshReadAloud(); });
    }
    return *m_speech;
}

void TMainForm::setSpeech(std::unique_ptr<Speech> speech)
{
    m_speech = std::move(speech);
    if (m_speech)
        m_speech->setChangeHandler([this] { refreshReadAloud(); });
    refreshReadAloud();
}

void TMainForm::refreshReadAloud()
{
    action("ReadAloud")->setEnabled(speech().isAvailable());
}

void TMainForm::ReadAloudItemClick()
{
    Speech& voice = speech();
    if (voice.isSpeaking()) {
        voice.stop();
        return;
    }
    if (!voice.isAvailable()) {
        refreshReadAloud();
        return;
    }
    // A report on show is read as it stands, paragraph by paragraph.
    for (ReportKind kind : {ReportKind::Summary, ReportKind::Detailed}) {
        if (ReportView* view = viewOf(kind); view && view->isVisible()) {
            readAloud(view->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts));
            return;
        }
    }
    emit ReadAloudClick();
}

void TMainForm::readAloud(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    const std::string locale = speechLocaleOf(qStringToCp1252(m_currentLanguage));
    speech().speak(texts, QString::fromStdString(locale));
}

// ---------------------------------------------------------------- keyboard help

QList<QPair<QString, QString>> TMainForm::keyboardHelp() const
{
    auto keyName = [](const QKeySequence& key) { return key.toString(QKeySequence::NativeText); };
    auto captionOf = [this](const std::string& name) {
        const QString objectName = QString::fromStdString(name);
        QString caption;
        if (const QAction* item = findChild<QAction*>(objectName))
            caption = item->text();
        else if (const auto* button = findChild<QPushButton*>(objectName))
            caption = button->text();
        return caption.remove(QLatin1Char('&'));
    };
    QList<QPair<QString, QString>> lines;
    auto addWindowLines = [&](bool tabKeys) {
        QString keys;
        const KeyBinding* group = nullptr;
        auto flush = [&] {
            if (group)
                lines.append({keys, group->message > 0 ? message(group->message) : captionOf(group->captionOf)});
            group = nullptr;
            keys.clear();
        };
        for (const KeyBinding& binding : windowKeyBindings()) {
            const bool isTab = binding.command == KeyCommand::NextControl || binding.command == KeyCommand::PreviousControl;
            if (isTab != tabKeys)
                continue;
            // Neighbours named by the same text share a line.
            if (!group || binding.message != group->message || binding.captionOf != group->captionOf)
                flush();
            for (const std::string& key : binding.keys)
                keys += (keys.isEmpty() ? QString() : QStringLiteral(", "))
                        + keyName(QKeySequence::fromString(QString::fromStdString(key), QKeySequence::PortableText));
            group = &binding;
        }
        flush();
    };
    addWindowLines(true);
    // The answering keys of each kind of object, grouped by what they do
    // in the order the line's text names it.
    const std::pair<AnswerObject, int> objects[] = {
        {AnswerObject::Choice, 115}, {AnswerObject::TrueFalse, 116}, {AnswerObject::Item, 117}};
    for (const auto& [object, text] : objects) {
        QList<AnswerKey> meanings;
        QStringList groups;
        for (const AnswerKeyBinding& binding : answerKeyBindings()) {
            if (binding.object != object)
                continue;
            const QString key = keyName(QKeySequence(binding.key == Qt::Key_Backtab ? QKeyCombination(Qt::SHIFT, Qt::Key_Tab)
                                                                                    : QKeyCombination(binding.key)));
            qsizetype at = meanings.indexOf(binding.meaning);
            if (at < 0) {
                meanings.append(binding.meaning);
                groups.append(key);
            } else {
                groups[at] += QStringLiteral(", ") + key;
            }
        }
        lines.append({groups.join(QStringLiteral(" / ")), message(text)});
    }
    addWindowLines(false);
    return lines;
}

void TMainForm::refreshKeyboardHelp()
{
    m_help->setKeyList(keyboardHelp());
}

// ---------------------------------------------------------------- closing

bool TMainForm::FormCloseQuery()
{
    switch (decideClose(m_testState, m_bankRules)) {
    case CloseDecision::Close:
        return true;
    case CloseDecision::RefuseExam:
        announceMessage(16);
        showMessageWindow(message(15), message(16));
        return false;
    case CloseDecision::AskRunning:
        announceMessage(17);
        return m_prompts.askYesNo(message(17));
    case CloseDecision::AskUnsavedResults:
        announceMessage(18);
        return m_prompts.askYesNo(message(18));
    }
    return true;
}

void TMainForm::FormClose()
{
    emit FormClosing();
    destroyReport(ReportKind::Detailed);
    destroyReport(ReportKind::Summary);
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
