// The main window: menus, the page area with the control panel below it,
// the test state, the interface texts, the spoken messages, the settings
// and recent lists, the auxiliary windows and the start-up sequence.
//
// The window and the test run meet at one contract: the test run calls the
// window's commands (the "commands" section below) and listens to its
// signals, which announce what the user did and carry the names of the
// window's event handlers (FinishButtonClick, MarkButClick, ...).  The
// window's buttons and menu items stay private to it.
//
// The object names of the controls (File1, SaveResults1, FinishButton,
// questionSlider, ...) are the keys by which language files address them:
// they must not change.
#pragma once

#include "app/desktop_windows.h"
#include "app/core/control_panel_plan.h"
#include "app/core/keyboard_map.h"
#include "app/core/handoff_file.h"
#include "app/core/language_choice.h"
#include "app/core/language_file.h"
#include "app/core/recent_files.h"
#include "objects/core/test_state.h"
#include "testrun/core/bank_settings.h"
#include "app/screen_saver_inhibitor.h"
#include "app/settings_store.h"
#include "app/shell_paths.h"
#include "app/user_prompts.h"
#include "app/working_folder.h"
#include "media/sound_player.h"
#include "media/speech.h"
#include "results/core/report_document.h"
#include "results/core/results_display.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFileDialog;
class QFrame;
class QMenu;
class QPrinter;
class QPushButton;
class QScrollBar;
class QShortcut;

namespace zx {

class InstanceChannel;
class TAboutBox;
class TBackCoverWindow;
class THelp;
class TMessageForm;
class TProgress;
class ReportView;
class zxObject;

struct ShellOptions {
    ShellPaths paths;
    // The message player's device; null gives the Qt Multimedia one.
    std::unique_ptr<SoundBackend> soundBackend;
    // Waits the given milliseconds with the event loop running; null
    // gives the real wait.  Tests pass a function that only records.
    std::function<void(int ms)> delay;
    // Ends the application (after the missing-language warning); null
    // gives QCoreApplication::exit(0).
    std::function<void()> exitApplication;
    bool inhibitScreenSaver = true;
    // The voice that reads pages aloud; null gives the Qt TextToSpeech one,
    // made when it is first needed.
    std::unique_ptr<Speech> speech;
    // The titles of every program's top-level windows; null gives the
    // desktop's own list (desktop_windows.h).
    WindowTitleSource desktopWindowTitles;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(ShellOptions options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- test state
    TestState testState() const { return m_testState; }
    void setTestState(TestState state);

    // ---- commands of the test run
    // The rules of the open bank, for the close query.
    void setBankRules(const BankSettings& rules) { m_bankRules = rules; }
    // Client size below the menu bar: 800 x 600, 1024 x 768 or 640 x 480.
    void setPageSize(int width, int height);
    void setPageSize(PageSize size) { setPageSize(size.width, size.height); }
    // Centres the window on `desktop` (screen coordinates).
    void centreOn(const QRect& desktop);
    // The available area of the screen the window is on.
    QRect availableDesktop() const;
    // Places, shows and enables the panel's controls as the plan says.
    ControlPanelPlan planFor(PanelStage stage, const BankSettings& rules) const;
    void applyControlPanel(const ControlPanelPlan& plan);
    // Disables Finish, Mark, Cheat and the question slider, wherever they are.
    void disableTestControls();
    // The slider's range 0..maximum and its position, set without a page
    // change; `enabled` lets the candidate move it.
    void setQuestionRange(int maximum, int position, bool enabled);
    void setQuestionSliderEnabled(bool enabled);
    // The Start button: hidden and disabled, or shown, enabled, in front.
    void setStartButtonShown(bool shown);
    // Draws the attention frame around the Start button (on the window) or
    // around the question slider (on the control panel) with `service`.
    void frameStartButton(const zxObject& service);
    void frameQuestionSlider(const zxObject& service);
    void setAutoPlay(bool checked, bool enabled);
    bool autoPlayOn() const;
    // An exam locks the window: Open, Exit and the web items disabled, no
    // minimise button.  Unlocking gives them back.
    void setExamLock(bool locked);
    void setMinimiseAllowed(bool allowed);
    // The full-screen cover behind the window.
    void showCover(bool shown);
    // File/Save Results, and File/Print Setup with File/Print.
    void enableResultsCommands(bool saving, bool printing);
    // The two View items: enabled, and which of them is ticked.
    void setViewItemsEnabled(bool enabled);
    void setViewChecks(bool summaryChecked, bool detailedChecked);
    bool summaryItemChecked() const;

    // ---- the two report views, made on need over the page area
    // Empties the view of `kind` (making it first) and writes `report`.
    void setReport(ReportKind kind, ReportDocument report);
    void destroyReport(ReportKind kind);
    // The report a view holds; null when the view does not exist.
    const ReportDocument* report(ReportKind kind) const;
    bool reportVisible(ReportKind kind) const;
    // Shows the view of `kind` in front of the page and hides the other.
    void showReport(ReportKind kind);
    void hideReports();
    // Shows, hides and destroys the views and sets the View items as the
    // plan of a results display mode says (views that do not exist stay
    // so).
    void applyResultsDisplay(const ResultsDisplayPlan& plan);
    // Prints the summary when it is on show, else the detailed report when
    // it is, else an image of the window; the job is called "Results".
    void printShownReport(QPrinter& printer);
    void setAutoPlayChecked(bool checked);

    // Local-bank mode: the Open and Reopen items and the web items go, and
    // with `resultsStoredAutomatically` Save Results too.
    void enterLocalBankMode(bool resultsStoredAutomatically);

    // ---- keyboard and speech
    // The controls of the page on show that take the focus, in reading
    // order: Tab walks them, then the visible report and the control panel
    // from left to right, and starts again.  With `takeFocus` the first of
    // them takes the focus (the page area itself when there is none).
    void setPageFocusOrder(const std::vector<QWidget*>& controls, bool takeFocus);
    // Whether the focus is on the page area or one of its controls.
    bool focusIsOnPage() const;
    // Everything Tab walks now, in order.
    std::vector<QWidget*> tabCycle() const;
    // Whether the key command has a live shortcut now (the button or the
    // slider it works is shown and enabled).
    bool keyCommandAvailable(KeyCommand command) const;
    // Reads `texts` aloud one after another in a voice of the interface
    // language where there is one.
    void readAloud(const QStringList& texts);
    Speech& speech();
    // Replaces the voice (tests use a fake one).
    void setSpeech(std::unique_ptr<Speech> speech);
    // The keys and their names, as the Help window lists them.
    QList<QPair<QString, QString>> keyboardHelp() const;

    // A page object asked for the test to start: the next paint starts it.
    void requestStart();
    bool startRequested() const { return m_startRequested; }
    void clearStartRequest() { m_startRequested = false; }

    // ---- the window's areas
    QWidget* pageArea() const { return m_pageArea; }
    QMenu* reopenMenu() const { return m_reopenMenu; }
    QMenu* languageMenu() const { return m_languageMenu; }
    QFileDialog* openDialog() const { return m_openDialog; }
    QFileDialog* saveDialog() const { return m_saveDialog; }
    QPrinter* printer() const { return m_printer.get(); }

    // ---- auxiliary windows
    TMessageForm* messageForm() const { return m_messageForm; }
    TProgress* progressWindow() const { return m_progress; }
    THelp* helpWindow() const { return m_help; }
    TAboutBox* aboutBox() const { return m_about; }
    TBackCoverWindow* coverWindow() const { return m_cover.get(); }
    void showMessageWindow(const QString& caption, const QString& text);

    // ---- interface texts and spoken messages
    QString message(int number) const;
    const LanguageTexts& texts() const { return m_texts; }
    QString currentLanguage() const { return m_currentLanguage; }
    QString currentMessageKey() const { return m_currentMessageKey; }
    // Makes message `number` (key "x" + number) the current one and speaks
    // it when Audio Messages is on.
    void announceMessage(int number);
    void announceMessage(const QString& key);
    void playMessageAudio(const QString& key);
    void playAudioFile(const QString& path);
    void tellMeAudio();
    // The application's hint changed (pointer over a control or menu item).
    void hintChanged(const QString& hint);
    SoundPlayer& soundPlayer() { return *m_sound; }
    bool subtitlesOn() const;
    bool audioMessagesOn() const;

    // ---- language
    // Finds the language files, decides the language, builds the Language
    // menu and loads it.  False when there is none (the program ends).
    bool chooseLanguage();
    void loadLanguage();
    void languageChosen(const QString& name);
    // The bank's password and details dialogs, reached by the language
    // file after the main and help windows.
    void setBankDialogs(QWidget* userDetails, QWidget* password);

    // ---- settings and recent files
    SettingsStore& settings() { return m_settings; }
    const RecentBanksAndResults& recentFiles() const { return m_recent; }
    void rememberRecentFile(const QString& path);
    void rebuildReopenMenu();
    void saveRecentFiles();
    // Reads the recent lists and options from the store, clearing entries
    // whose files are gone.
    void readSettings();

    // ---- files
    // Opens a bank or a results file by its extension (File/Open).
    void openChosenFile(const QString& path);
    WorkingFolder& workingFolder() { return m_workingFolder; }
    const ShellPaths& paths() const { return m_paths; }
    QString soundFolder() const;

    // ---- start-up and hand-over
    void setCommandLine(std::vector<std::string> args) { m_commandLine = std::move(args); }
    void attachInstanceChannel(InstanceChannel* channel);
    void handleAlreadyRunning();
    void startCall();
    bool firstPaintPending() const { return m_firstPaintPending; }
    bool startupDone() const { return m_startupDone; }
    bool flashAvailable() const { return m_flashAvailable; }
    bool hintsShown() const { return m_hintsShown; }
    bool screenSaverInhibitWanted() const { return m_inhibitor.wantsInhibit(); }

    UserPrompts& prompts() { return m_prompts; }

    static constexpr int hintPauseMs = 2000;
    static constexpr int hintHidePauseMs = 7000;
    static constexpr int splashPauseMs = 300;

signals:
    void testStateChanged(zx::TestState state);

    // ---- what the user did
    void openBankRequested(const QString& path);    // File/Open, Reopen: a ".zxb"
    void openResultsRequested(const QString& path); // File/Open, Reopen: a ".zxr"
    void SaveResults1Click();
    void Print1Click();
    // View/Show Results Summary (summary = true) or Show Detailed Results.
    void ResultsToggle(bool summary);
    void StartButtonClick();    // also when a page asked for the start
    void FinishButtonClick();
    void MarkButClick();
    void CheatButtonMouseDown();
    void CheatButtonMouseUp();  // also the Help button's release
    void questionSliderScroll(int position);
    void AutoPlayClick();
    void SubtitlesClick();
    // Options/Read Page Aloud (or its key) while nothing is being read and
    // no report is on show: the test run answers with readAloud.
    void ReadAloudClick();
    // The window is closing for good: the page is left, the reports go.
    void FormClosing();
    // The end of the start-up sequence, with the command-line parameters:
    // the verbs, the start-up bank file and local-bank mode follow.
    void startupFinished(const std::vector<std::string>& args);
    // A later start handed over its command line.
    void alreadyRunningHandoff(const zx::Handoff& handoff);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildShortcuts();
    void refreshShortcuts();
    void runKeyCommand(KeyCommand command);
    bool cheatKey(QObject* watched, QEvent* event);
    void releaseCheatKey();
    void ReadAloudItemClick();
    void refreshReadAloud();
    void refreshKeyboardHelp();
    void buildMenus();
    void buildControlPanel();
    void placeControl(QWidget* control, const PanelControl& place);
    QPointer<ReportView>& viewOf(ReportKind kind);
    ReportView* viewOf(ReportKind kind) const;
    QAction* action(const char* objectName) const;
    void FormPaint();
    bool FormCloseQuery();
    void FormClose();
    void FileOpenItemClick();
    void SubtitlesItemClick(bool checked);
    void AudioMessagesClick(bool checked);
    void PrintSetup1Click();
    void HelpAboutItemClick();
    void Help2Click();
    void webJump(int index);
    void wait(int ms);
    bool splashBlocked() const;

    ShellPaths m_paths;
    SettingsStore m_settings;
    WorkingFolder m_workingFolder;
    std::unique_ptr<SoundPlayer> m_sound;
    ScreenSaverInhibitor m_inhibitor;
    bool m_inhibitEnabled = true;
    std::function<void(int)> m_delay;
    WindowTitleSource m_desktopWindowTitles;
    std::function<void()> m_exitApplication;
    UserPrompts m_prompts;
    std::unique_ptr<QPrinter> m_printer;
    QPointer<InstanceChannel> m_channel;

    TestState m_testState = TestState::NoTest;
    BankSettings m_bankRules;
    bool m_firstPaintPending = true;
    bool m_startQueued = false;
    bool m_startupDone = false;
    bool m_startRequested = false;
    bool m_flashAvailable = false;
    bool m_hintsShown = false;
    bool m_closingForGood = false;
    std::vector<std::string> m_commandLine;

    LanguageTexts m_texts;
    QString m_currentLanguage;
    std::vector<LanguageFileEntry> m_languageFiles;
    QString m_currentMessageKey;
    RecentBanksAndResults m_recent;

    QWidget* m_central = nullptr;
    QWidget* m_pageArea = nullptr;
    QFrame* m_controlPanel = nullptr;
    QScrollBar* m_questionSlider = nullptr;
    QCheckBox* m_autoPlay = nullptr;
    QPushButton* m_finishButton = nullptr;
    QPushButton* m_markButton = nullptr;
    QPushButton* m_cheatButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_startButton = nullptr;
    QMenu* m_reopenMenu = nullptr;
    QMenu* m_languageMenu = nullptr;
    QFileDialog* m_openDialog = nullptr;
    QFileDialog* m_saveDialog = nullptr;

    TMessageForm* m_messageForm = nullptr;
    TProgress* m_progress = nullptr;
    THelp* m_help = nullptr;
    TAboutBox* m_about = nullptr;
    std::unique_ptr<TBackCoverWindow> m_cover; // a window of its own, no parent
    QPointer<ReportView> m_detailedView;
    QPointer<ReportView> m_summaryView;
    QPointer<QWidget> m_userDetailsDialog;
    QPointer<QWidget> m_passwordDialog;

    std::vector<QPointer<QWidget>> m_pageFocus;
    std::vector<std::pair<KeyCommand, QShortcut*>> m_shortcuts;
    bool m_cheatKeyHeld = false;
    std::unique_ptr<Speech> m_speech;
};

} // namespace zx
