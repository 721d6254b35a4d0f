#include "app/startup_sequence.h"

#include "app/about_box.h"
#include "app/hint_style.h"
#include "app/instance_channel.h"
#include "app/language_menu.h"
#include "window/file_menu.h"
#include "window/messages.h"
#include "window/options_menu.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace zx {

StartupSequence::StartupSequence(QWidget* window, LanguageMenu& language, Messages& messages, FileMenu& files,
                                 OptionsMenu& options, TAboutBox* about, QAction* tellMeItem,
                                 std::function<void(int)> delay)
    : QObject(window)
    , m_window(window)
    , m_language(language)
    , m_messages(messages)
    , m_files(files)
    , m_options(options)
    , m_about(about)
    , m_tellMeItem(tellMeItem)
    , m_delay(std::move(delay))
{
}

void StartupSequence::windowPainted()
{
    // The start-up sequence shows windows and boxes, which a paint handler
    // must not do itself: it runs right after this paint.
    if (m_firstPaintPending && !m_startQueued) {
        m_startQueued = true;
        QTimer::singleShot(0, this, &StartupSequence::startCall);
    }
}

bool StartupSequence::splashBlocked() const
{
    // Other programs' windows (the bank editor, its preview) and our own.
    QStringList titles = m_desktopWindowTitles();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != m_about && window->isVisible())
            titles << window->windowTitle();
    return anyTitleMatches(titles, {m_messages.message(14), m_messages.message(19)});
}

void StartupSequence::wait(int ms)
{
    if (m_delay) {
        m_delay(ms);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void StartupSequence::startCall()
{
    if (!m_firstPaintPending)
        return;
    m_firstPaintPending = false;

    if (!m_language.chooseLanguage())
        return;
    m_about->setVersionText(m_messages.message(9));
    m_about->setSecondText(m_messages.message(11));

    const bool splash = !splashBlocked();
    if (splash)
        m_about->showAsSplash();

    m_files.readRecentFiles();
    m_options.readSettings();

    // No movie control on this platform.
    m_flashAvailable = false;

    m_files.setDialogFolder(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));

    if (!QFileInfo(m_messages.soundFolder()).isDir()) {
        m_options.disableAudioMessages();
        m_tellMeItem->setEnabled(false);
    }

    m_hintsShown = true;
    HintStyle::install(hintPauseMs);

    wait(splashPauseMs);
    if (splash)
        m_about->endSplash();
    m_startupDone = true;

    emit startupFinished(m_commandLine);
}

void StartupSequence::attachInstanceChannel(InstanceChannel* channel)
{
    m_channel = channel;
    if (channel)
        connect(channel, &InstanceChannel::alreadyRunning, this, &StartupSequence::handleAlreadyRunning);
}

void StartupSequence::handleAlreadyRunning()
{
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
    if (!m_channel)
        return;
    const std::optional<Handoff> handoff = m_channel->takeHandoff();
    if (!handoff)
        return;
    // The later start is answered at once; the verbs run afterwards.
    const Handoff copy = *handoff;
    QTimer::singleShot(0, this, [this, copy] { emit alreadyRunningHandoff(copy); });
}

} // namespace zx
