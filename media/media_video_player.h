// The video player over Qt Multimedia (GStreamer): a QVideoWidget with a
// small bar of controls below it (play/pause and position), shown unless
// showControls(false) hides it.  The media player and the audio output
// are made on the first open, so a page whose video is never opened never
// touches the audio or video system.  Errors are silent: a file that does
// not play leaves the window black and calls the failure handler.
#pragma once

#include "media/video_player.h"

#include <QPointer>

#include <memory>

class QAudioOutput;
class QMediaPlayer;
class QObject;
class QSlider;
class QToolButton;
class QVideoWidget;
class QWidget;

namespace zx {

class MediaVideoPlayer : public VideoPlayer {
public:
    MediaVideoPlayer();
    ~MediaVideoPlayer() override;

    QWidget* widget(QWidget* parent) override;
    bool open(const QString& path) override;
    void seekToStart() override;
    void play() override;
    void stop() override;
    void showControls(bool on) override;

private:
    void makePlayer();
    void reportFailure();
    void updateControls();

    QPointer<QWidget> m_window;
    QPointer<QVideoWidget> m_video;
    QPointer<QWidget> m_bar;
    QPointer<QToolButton> m_playButton;
    QPointer<QSlider> m_position;
    std::unique_ptr<QObject> m_guard; // receiver of queued calls; dies with the player
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    bool m_controls = true;
    bool m_failed = false;
};

} // namespace zx
