// The player a video object plays its file in: a child window that opens
// one file, goes back to its start, plays and stops.  The real one plays
// through Qt Multimedia (MediaVideoPlayer); tests use FakeVideoPlayer.
// Destroying a player stops and closes it and removes its window.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zx {

class VideoPlayer {
public:
    virtual ~VideoPlayer() = default;

    // The player's window, made on the first call as a child of `parent`;
    // later calls move it to `parent` when it lives elsewhere.  The caller
    // places it; the window may be destroyed with its parent.
    virtual QWidget* widget(QWidget* parent) = 0;
    // Opens the file; false when the player cannot play it.  Errors are
    // never shown to the user.
    virtual bool open(const QString& path) = 0;
    virtual void seekToStart() = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    // Shows or hides the player's own play and position controls.
    virtual void showControls(bool on) = 0;

    // Called, later and from the event loop, when a file that open()
    // accepted turns out not to play.  The handler may destroy the player.
    void setFailureHandler(std::function<void()> handler) { m_onFailure = std::move(handler); }

protected:
    std::function<void()> m_onFailure;
};

} // namespace zx
