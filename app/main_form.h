// The main window: menus, the page area with the 27-pixel control panel
// below it, the test state, the interface texts, the spoken messages, the
// settings and recent lists, the auxiliary windows and the start-up
// sequence.  Opening banks and results files, the test run and the
// reports plug in through ShellHooks.
#pragma once

#include "app/core/handoff_file.h"
#include "app/core/language_choice.h"
#include "app/core/language_file.h"
#include "app/core/recent_files.h"
#include "objects/core/test_state.h"
#include "app/screen_saver_inhibitor.h"
#include "app/settings_store.h"
#include "app/shell_paths.h"
#include "app/user_prompts.h"
#include "app/working_folder.h"
#include "media/sound_player.h"

#include <QMainWindow>
#include <QPointer>

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

namespace zx {

class InstanceChannel;
class TAboutBox;
class TBackCoverWindow;
class THelp;
class TMessageForm;
class TProgress;

// What later parts of the player plug into the window.  Unset hooks do
// nothing.
struct ShellHooks {
    std::function<void(const QString& path)> openBank;     // a ".zxb" was chosen
    std::function<void(const QString& path)> openResults;  // a ".zxr" was chosen
    std::function<void()> saveResults;                     // File/Save Results
    std::function<void()> printResults;                    // File/Print
    std::function<void()> showSummary;                     // Show Results Summary
    std::function<void()> showDetailed;                    // Show Detailed Results
    std::function<void()> startTest;                       // Start button, or a page asked for it
    std::function<void()> paintBackground;                 // the page background, on every paint
    std::function<void()> leavePage;                       // the window closes
    std::function<void()> destroyReports;                  // the window closes
    std::function<void()> subtitlesChanged;                // Options/Subtitles was clicked
    // The end of the start-up sequence: the command-line verbs, the
    // start-up bank file and local-bank mode.  Gets the parameters.
    std::function<void(const std::vector<std::string>& args)> continueStartup;
    // A later start handed over its command line.
    std::function<void(const Handoff& handoff)> handoff;
};

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
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(ShellOptions options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- test state and bank settings
    TestState testState() const { return m_testState; }
    void setTestState(TestState state);
    const std::string& bankSettings() const { return m_bankSettings; }
    void setBankSettings(std::string settings) { m_bankSettings = std::move(settings); }

    // ---- the window's areas
    // Client size below the menu bar: 800 x 600, 1024 x 768 or 640 x 480.
    void setPageSize(int width, int height);
    QWidget* pageArea() const { return m_pageArea; }
    QFrame* controlPanel() const { return m_controlPanel; }
    QScrollBar* questionSlider() const { return m_questionSlider; }
    QCheckBox* autoPlayBox() const { return m_autoPlay; }
    QPushButton* finishButton() const { return m_finishButton; }
    QPushButton* markButton() const { return m_markButton; }
    QPushButton* cheatButton() const { return m_cheatButton; }
    QPushButton* helpButton() const { return m_helpButton; }
    QPushButton* startButton() const { return m_startButton; }
    bool autoPlay() const { return m_autoPlayOn; }
    QAction* action(const QString& objectName) const;
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
    TBackCoverWindow* coverWindow() const { return m_cover; }
    void showMessageWindow(const QString& caption, const QString& text);

    // ---- interface texts and spoken messages
    QString message(int number) const;
    const LanguageTexts& texts() const { return m_texts; }
    QString currentLanguage() const { return m_currentLanguage; }
    QString currentMessageKey() const { return m_currentMessageKey; }
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
    void openChosenFile(const QString& path);
    void openBank(const QString& path);
    void openResults(const QString& path);
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
    void requestStart() { m_startRequested = true; update(); }
    void clearStartRequest() { m_startRequested = false; }
    bool startRequested() const { return m_startRequested; }
    bool hintsShown() const { return m_hintsShown; }
    bool screenSaverInhibitWanted() const { return m_inhibitor.wantsInhibit(); }

    ShellHooks& hooks() { return m_hooks; }
    UserPrompts& prompts() { return m_prompts; }

    static constexpr int controlPanelHeight = 27;
    static constexpr int hintPauseMs = 2000;
    static constexpr int hintHidePauseMs = 7000;
    static constexpr int splashPauseMs = 300;

signals:
    void testStateChanged(zx::TestState state);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControlPanel();
    void layoutControlPanel();
    void FormPaint();
    bool FormCloseQuery();
    void FormClose();
    void FileOpenItemClick();
    void SubtitlesClick(bool checked);
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
    std::function<void()> m_exitApplication;
    UserPrompts m_prompts;
    ShellHooks m_hooks;
    std::unique_ptr<QPrinter> m_printer;
    QPointer<InstanceChannel> m_channel;

    TestState m_testState = TestState::NoTest;
    std::string m_bankSettings;
    bool m_firstPaintPending = true;
    bool m_startQueued = false;
    bool m_startupDone = false;
    bool m_startRequested = false;
    bool m_flashAvailable = false;
    bool m_autoPlayOn = true;
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
    TBackCoverWindow* m_cover = nullptr;
    QPointer<QWidget> m_userDetailsDialog;
    QPointer<QWidget> m_passwordDialog;
};

} // namespace zx
