#include "media/media_sound_backend.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace zx {

MediaSoundBackend::MediaSoundBackend() = default;

MediaSoundBackend::~MediaSoundBackend()
{
    if (m_player)
        m_player->stop();
    delete m_player;
    delete m_output;
}

bool MediaSoundBackend::open(const QString& path, const QString& /*alias*/, QString& error)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        error = QStringLiteral("The specified file cannot be found or read: ") + path;
        return false;
    }
    if (!m_player) {
        m_player = new QMediaPlayer;
        m_output = new QAudioOutput;
        m_player->setAudioOutput(m_output);
    }
    m_player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (m_player->error() != QMediaPlayer::NoError) {
        error = m_player->errorString();
        m_player->setSource(QUrl());
        return false;
    }
    m_open = true;
    return true;
}

bool MediaSoundBackend::close(QString& error)
{
    if (!m_open) {
        error = QStringLiteral("No sound is open.");
        return false;
    }
    m_player->stop();
    m_player->setSource(QUrl());
    m_open = false;
    return true;
}

bool MediaSoundBackend::play(QString& error)
{
    if (!m_open) {
        error = QStringLiteral("No sound is open.");
        return false;
    }
    m_player->play();
    return true;
}

bool MediaSoundBackend::stop(QString& error)
{
    if (!m_open) {
        error = QStringLiteral("No sound is open.");
        return false;
    }
    m_player->stop();
    return true;
}

bool MediaSoundBackend::seekToStart(QString& error)
{
    if (!m_open) {
        error = QStringLiteral("No sound is open.");
        return false;
    }
    m_player->setPosition(0);
    return true;
}

SoundMode MediaSoundBackend::mode() const
{
    if (!m_open || !m_player || m_player->error() != QMediaPlayer::NoError)
        return SoundMode::None;
    return m_player->playbackState() == QMediaPlayer::PlayingState ? SoundMode::Playing : SoundMode::Stopped;
}

} // namespace zx
