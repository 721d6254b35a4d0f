#include "app/main_form.h"

#include "app/about_box.h"
#include "app/core/close_query.h"
#include "app/help_window.h"
#include "app/language_menu.h"
#include "app/startup_sequence.h"
#include "media/sound_player.h"
#include "tagtext/substitution_tables.h"
#include "window/control_panel.h"
#include "window/exam_lock.h"
#include "window/file_menu.h"
#include "window/keyboard_navigation.h"
#include "window/message_form.h"
#include "window/messages.h"
#include "window/options_menu.h"
#include "window/page_window.h"
#include "window/read_aloud.h"
#include "window/report_area.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
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

QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key = {})
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
        item->setShortcut(key);
    return item;
}

} // namespace

TMainForm::TMainForm(ShellOptions options, QWidget* parent)
    : QMainWindow(parent)
    , m_paths(options.paths)
    , m_settings(options.paths.settingsFile)
    , m_showHint(std::move(options.showHint))
    , m_exitApplication(std::move(options.exitApplication))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Exam"));
    // FormCreate: the stored-file tables are built once, before any file
    // is read; the working folder starts empty.
    SubstitutionTables::instance();
    m_page = new PageWindow(this, m_paths.workingFolder, options.inhibitScreenSaver);
    auto messageText = [this](int number) { return m_messages->message(number); };
    m_messages = new Messages(this, m_paths.programFolder + QStringLiteral("/ExSounds"), std::move(options.soundBackend),
                              [this] { return m_options && m_options->audioMessagesOn(); });
    m_panel = new ControlPanel(messageText, m_page->central());
    connect(m_page, &PageWindow::pageResized, this, [this](int width, int pageHeight) {
        m_panel->setGeometry(0, pageHeight, width, controlPanelHeight);
        m_reports->followPageArea();
        // Until a bank is open the panel keeps the arrangement of no bank.
        if (m_page->testState() == TestState::NoTest)
            m_panel->apply(m_panel->planFor(PanelStage::NoBank, {}));
    });

    m_help = new THelp(this);
    m_about = new TAboutBox(m_paths.programFolder, this);
    buildMenus();
    m_keyboard = new KeyboardNavigation(this, m_page->pageArea(), *m_panel, *m_reports,
                                        [this] { return m_options->readAloudItem()->isEnabled(); }, messageText);
    std::vector<QAction*> locked = {m_files->openItem(), m_files->exitItem()};
    locked.insert(locked.end(), m_webItems.begin(), m_webItems.end());
    m_lock = new ExamLock(this, std::move(locked));
    m_reader = new ReadAloud(m_options->readAloudItem(), *m_reports, [this] { return m_language->currentLanguage(); },
                             std::move(options.speech), this);
    m_startup = new StartupSequence(this, *m_language, *m_messages, *m_files, *m_options, m_about,
                                    action("TellMeAudio1"), std::move(options.delay));
    if (options.desktopWindowTitles)
        m_startup->setDesktopWindowTitles(std::move(options.desktopWindowTitles));

    UserPrompts& prompts = m_messages->prompts();
    prompts.chooseResultsFile = [this] { return m_files->chooseResultsFile(); };
    prompts.choosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    connect(m_panel, &ControlPanel::HelpButtonClick, m_help, &THelp::showCentred);
    connect(m_help, &THelp::announce, m_messages, qOverload<const QString&>(&Messages::announceMessage));
    connect(m_help, &THelp::playAudio, m_messages, &Messages::playAudioFile);
    m_help->setKeyList(m_keyboard->keyboardHelp());
    connect(m_language, &LanguageMenu::languageLoaded, this, [this] {
        m_panel->setSliderAccessibleName(m_messages->message(97));
        m_page->pageArea()->setAccessibleName(m_messages->message(97));
        m_help->setKeyList(m_keyboard->keyboardHelp());
    });

    m_page->setPageSize(640, 480);
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm()
{
    if (qApp)
        qApp->removeEventFilter(this);
    // The parts that watch every event go first.
    delete m_keyboard;
    delete m_messages;
}

void TMainForm::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    m_files = new FileMenu(file, this, m_settings);

    QMenu* results = menuBar()->addMenu(QStringLiteral("&Results"));
    results->setObjectName(QStringLiteral("View1"));
    QAction* summary = addItem(results, "ResultsSummary1", QStringLiteral("Show Results Summary"));
    QAction* detailed = addItem(results, "DetailedResults1", QStringLiteral("Show Detailed Results"));
    m_reports = new ReportArea(m_page->pageArea(), summary, detailed,
                               [this](int number) { return m_messages->message(number); }, this);

    QMenu* languages = menuBar()->addMenu(QStringLiteral("Language"));
    languages->setObjectName(QStringLiteral("LangChoices"));
    m_language = new LanguageMenu(languages, m_paths.programFolder, m_settings, *m_messages,
                                  LanguageWindows{this, m_help, nullptr, nullptr, m_about}, [this] {
                                      m_closingForGood = true;
                                      if (m_exitApplication)
                                          m_exitApplication();
                                      else
                                          QCoreApplication::exit(0);
                                  });

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    m_options = new OptionsMenu(options, m_settings, [this] { m_messages->playAudioFile(QStringLiteral("0")); });
    // Whether a voice answers is asked when the menu opens, so a program
    // that never reads aloud never starts a speech service.
    connect(options, &QMenu::aboutToShow, this, [this] { m_reader->refresh(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* topics = addItem(help, "Help2", QStringLiteral("Help Topics"), QKeySequence(Qt::Key_F1));
    topics->setShortcutContext(Qt::ApplicationShortcut);
    connect(topics, &QAction::triggered, m_help, &THelp::showCentred);
    QAction* tellMe = addItem(help, "TellMeAudio1", QStringLiteral("Tell Me (Audio)"), QKeySequence(Qt::Key_F2));
    tellMe->setShortcutContext(Qt::ApplicationShortcut);
    connect(tellMe, &QAction::triggered, m_messages, &Messages::tellMeAudio);
    help->addSeparator();
    const char* webNames[4] = {"zxWebJump1", "zxWebJump2", "zxWebJump3", "zxWebJump4"};
    const QString webCaptions[4] = {
        QStringLiteral("Display the Tallyworks Web Page"),
        QStringLiteral("Display the Tallyworks Support and Help Pages"),
        QStringLiteral("Display the Tallyworks Download Page"),
        QStringLiteral("Display the Tallyworks Feedback Web Page"),
    };
    for (int i = 0; i < 4; ++i) {
        m_webItems.push_back(addItem(help, webNames[i], webCaptions[i]));
        connect(m_webItems.back(), &QAction::triggered, this, [this, i] { webJump(i); });
    }
    help->addSeparator();
    connect(addItem(help, "HelpAboutItem", QStringLiteral("&About...")), &QAction::triggered, m_about,
            [this] { m_about->exec(); });

    for (QMenu* menu : {file, results, languages, options, help, m_files->reopenMenu()})
        connect(menu, &QMenu::hovered, this, [this](QAction* item) {
            const QVariant whole = item->property("zxHint");
            m_messages->hintChanged(whole.isValid() ? whole.toString() : item->statusTip());
        });
}

QAction* TMainForm::action(const char* objectName) const
{
    return findChild<QAction*>(QString::fromLatin1(objectName));
}

TestState TMainForm::testState() const { return m_page->testState(); }

void TMainForm::setTestState(TestState state) { m_page->setTestState(state); }

QString TMainForm::currentMessageKey() const { return m_messages->currentMessageKey(); }

void TMainForm::enterLocalBankMode(bool resultsStoredAutomatically)
{
    for (QAction* web : m_webItems)
        web->setVisible(false);
    m_files->hideOpening(resultsStoredAutomatically);
}

void TMainForm::webJump(int index)
{
    if (index >= 0 && index < 4)
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(webAddresses[index])));
}

// ---------------------------------------------------------------- events

void TMainForm::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    // A page object asked for the test to start; the start itself may
    // show windows, which a paint handler must not do: it runs right after.
    if (m_page->startRequested()) {
        m_page->clearStartRequest();
        QTimer::singleShot(0, m_panel, &ControlPanel::StartButtonClick);
    }
    m_startup->windowPainted();
}

bool TMainForm::focusNextPrevChild(bool next)
{
    return m_keyboard->moveFocus(next) || QMainWindow::focusNextPrevChild(next);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && event->type() == QEvent::Enter) {
        const QVariant whole = widget->property("zxHint");
        const QString hint = whole.isValid() ? whole.toString() : widget->toolTip();
        if (!hint.isEmpty())
            m_messages->hintChanged(hint);
    } else if (widget && event->type() == QEvent::ToolTip) {
        if (!m_startup->hintsShown())
            return true;
        if (!widget->toolTip().isEmpty()) {
            const QPoint at = static_cast<QHelpEvent*>(event)->globalPos();
            if (m_showHint)
                m_showHint(at, widget->toolTip(), widget, hintHidePauseMs);
            else
                QToolTip::showText(at, widget->toolTip(), widget, {}, hintHidePauseMs);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- closing

bool TMainForm::FormCloseQuery()
{
    switch (decideClose(m_page->testState(), m_page->bankRules())) {
    case CloseDecision::Close:
        return true;
    case CloseDecision::RefuseExam:
        m_messages->announceMessage(16);
        m_messages->showMessageWindow(m_messages->message(15), m_messages->message(16));
        return false;
    case CloseDecision::AskRunning:
        m_messages->announceMessage(17);
        return m_messages->prompts().askYesNo(m_messages->message(17));
    case CloseDecision::AskUnsavedResults:
        m_messages->announceMessage(18);
        return m_messages->prompts().askYesNo(m_messages->message(18));
    }
    return true;
}

void TMainForm::FormClose()
{
    m_page->close();
    m_reports->destroyReport(ReportKind::Detailed);
    m_reports->destroyReport(ReportKind::Summary);
    m_messages->soundPlayer().close();
    m_messages->messageForm()->hide();
    m_help->hide();
    m_lock->showCover(false);
    m_page->closed();
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
