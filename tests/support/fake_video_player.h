// A video player that only records what it is asked to do, for tests.
// Every player made from one log writes to it, so a test can read the
// calls after the player itself is gone.
#pragma once

#include "media/video_player.h"

#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

namespace zx {

class FakeVideoPlayer;

struct FakeVideoLog {
    // "widget", "open <path>", "seek", "play", "stop", "controls on",
    // "controls off" and "close" (the player destroyed), in call order.
    QStringList calls;
    // Opens of these paths fail.
    QSet<QString> failingOpens;
    int made = 0;
    int alive = 0;
    // The newest player still alive, or null.
    FakeVideoPlayer* current = nullptr;
};

class FakeVideoPlayer : public VideoPlayer {
public:
    explicit FakeVideoPlayer(std::shared_ptr<FakeVideoLog> log);
    ~FakeVideoPlayer() override;

    // A factory for PageContext::makeVideoPlayer.
    static std::function<std::unique_ptr<VideoPlayer>()> factory(std::shared_ptr<FakeVideoLog> log);

    QWidget* widget(QWidget* parent) override;
    bool open(const QString& path) override;
    void seekToStart() override;
    void play() override;
    void stop() override;
    void showControls(bool on) override;

    // The player finds that its file does not play after all.
    void failLater();

    QWidget* window() const { return m_window.data(); }
    bool playing() const { return m_playing; }
    bool controlsShown() const { return m_controls; }

private:
    std::shared_ptr<FakeVideoLog> m_log;
    QPointer<QWidget> m_window;
    bool m_playing = false;
    bool m_controls = false;
};

} // namespace zx
