// The start-up sequence run once after the first paint (the language, the
// splash, the settings and recent lists, the hints, the audio commands)
// and the hand-over of a later start's command line.
#pragma once

#include "app/core/handoff_file.h"
#include "app/desktop_windows.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QWidget;

namespace zx {

class FileMenu;
class InstanceChannel;
class LanguageMenu;
class Messages;
class OptionsMenu;
class TAboutBox;

class StartupSequence : public QObject {
    Q_OBJECT
public:
    // `tellMeItem` is disabled with Audio Messages when there is no sound
    // folder; `delay` waits the given milliseconds (null: a real wait).
    StartupSequence(QWidget* window, LanguageMenu& language, Messages& messages, FileMenu& files,
                    OptionsMenu& options, TAboutBox* about, QAction* tellMeItem, std::function<void(int)> delay);

    void setCommandLine(std::vector<std::string> args) { m_commandLine = std::move(args); }
    // Where the splash check reads other programs' window titles (tests);
    // the desktop's own list by default.
    void setDesktopWindowTitles(WindowTitleSource titles) { m_desktopWindowTitles = std::move(titles); }
    // From the window's paint handler: the first paint queues startCall.
    void windowPainted();
    void startCall();
    bool firstPaintPending() const { return m_firstPaintPending; }
    bool startupDone() const { return m_startupDone; }
    bool flashAvailable() const { return m_flashAvailable; }
    bool hintsShown() const { return m_hintsShown; }

    void attachInstanceChannel(InstanceChannel* channel);
    // A later start knocked: the window comes to the front and the
    // command line it left is handed on.
    void handleAlreadyRunning();

    static constexpr int hintPauseMs = 2000;
    static constexpr int splashPauseMs = 300;

signals:
    // The end of the start-up sequence, with the command-line parameters:
    // the verbs, the start-up bank file and local-bank mode follow.
    void startupFinished(const std::vector<std::string>& args);
    // A later start handed over its command line.
    void alreadyRunningHandoff(const zx::Handoff& handoff);

private:
    bool splashBlocked() const;
    void wait(int ms);

    QWidget* m_window;
    LanguageMenu& m_language;
    Messages& m_messages;
    FileMenu& m_files;
    OptionsMenu& m_options;
    TAboutBox* m_about;
    QAction* m_tellMeItem;
    std::function<void(int)> m_delay;
    WindowTitleSource m_desktopWindowTitles = desktopWindowTitles;
    QPointer<InstanceChannel> m_channel;
    std::vector<std::string> m_commandLine;
    bool m_firstPaintPending = true;
    bool m_startQueued = false;
    bool m_startupDone = false;
    bool m_flashAvailable = false;
    bool m_hintsShown = false;
};

} // namespace zx
