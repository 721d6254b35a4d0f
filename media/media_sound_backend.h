// The sound device over Qt Multimedia (GStreamer).  The media player is
// made on the first open, so a program that never plays a sound never
// touches the audio system.
#pragma once

#include "media/sound_backend.h"

class QMediaPlayer;
class QAudioOutput;

namespace zx {

class MediaSoundBackend : public SoundBackend {
public:
    MediaSoundBackend();
    ~MediaSoundBackend() override;

    bool open(const QString& path, const QString& alias, QString& error) override;
    bool close(QString& error) override;
    bool play(QString& error) override;
    bool stop(QString& error) override;
    bool seekToStart(QString& error) override;
    SoundMode mode() const override;

private:
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    bool m_open = false;
};

} // namespace zx
