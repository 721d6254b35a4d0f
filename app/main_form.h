// The main window: an assembly of parts, each with one job (window/ and
// app/): the window around the page (PageWindow), the control panel, the
// report area, the messages, keyboard navigation, the exam lock, the File
// and Options menus with reading aloud, the language menu and the start-up
// sequence.  The window itself keeps the menu bar, the Help menu, the
// hints under the pointer and the close question.
//
// The test run, the results run and the start-up actions are given only
// the parts they use (app/controller_windows.h).  The object names of the
// controls (File1, SaveResults1, FinishButton, questionSlider, ...) are the
// keys by which language files address them: they must not change.
#pragma once

#include "app/desktop_windows.h"
#include "app/shell_paths.h"
#include "media/sound_player.h"
#include "media/speech.h"
#include "objects/core/test_state.h"
#include "window/settings_store.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;

namespace zx {

class ControlPanel;
class ExamLock;
class FileMenu;
class KeyboardNavigation;
class LanguageMenu;
class Messages;
class OptionsMenu;
class PageWindow;
class ReadAloud;
class ReportArea;
class StartupSequence;
class TAboutBox;
class THelp;

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
    // Shows a control's hint at a screen point for the given milliseconds;
    // null gives QToolTip.
    std::function<void(const QPoint& at, const QString& hint, QWidget* control, int ms)> showHint;
    // The titles of every program's top-level windows; null gives the
    // desktop's own list (desktop_windows.h).
    WindowTitleSource desktopWindowTitles;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(ShellOptions options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- the parts
    PageWindow& pageWindow() { return *m_page; }
    ControlPanel& controlPanel() { return *m_panel; }
    ReportArea& reportArea() { return *m_reports; }
    Messages& messages() { return *m_messages; }
    KeyboardNavigation& keyboard() { return *m_keyboard; }
    ExamLock& examLock() { return *m_lock; }
    FileMenu& fileMenu() { return *m_files; }
    OptionsMenu& optionsMenu() { return *m_options; }
    ReadAloud& readAloud() { return *m_reader; }
    LanguageMenu& language() { return *m_language; }
    StartupSequence& startup() { return *m_startup; }
    THelp* helpWindow() const { return m_help; }
    TAboutBox* aboutBox() const { return m_about; }
    SettingsStore& settings() { return m_settings; }
    const ShellPaths& paths() const { return m_paths; }

    // ---- shorthands for the most asked
    TestState testState() const;
    void setTestState(TestState state);
    QString currentMessageKey() const;

    // Local-bank mode: the Open and Reopen items and the web items go, and
    // with `resultsStoredAutomatically` Save Results too.
    void enterLocalBankMode(bool resultsStoredAutomatically);

    static constexpr int hintHidePauseMs = 7000;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildMenus();
    QAction* action(const char* objectName) const;
    bool FormCloseQuery();
    void FormClose();
    void webJump(int index);

    ShellPaths m_paths;
    SettingsStore m_settings;
    std::function<void(const QPoint&, const QString&, QWidget*, int)> m_showHint;
    std::function<void()> m_exitApplication;
    bool m_closingForGood = false;

    PageWindow* m_page = nullptr;
    ControlPanel* m_panel = nullptr;
    ReportArea* m_reports = nullptr;
    Messages* m_messages = nullptr;
    KeyboardNavigation* m_keyboard = nullptr;
    ExamLock* m_lock = nullptr;
    FileMenu* m_files = nullptr;
    OptionsMenu* m_options = nullptr;
    ReadAloud* m_reader = nullptr;
    LanguageMenu* m_language = nullptr;
    StartupSequence* m_startup = nullptr;
    THelp* m_help = nullptr;
    TAboutBox* m_about = nullptr;
    std::vector<QAction*> m_webItems;
};

} // namespace zx
