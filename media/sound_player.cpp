#include "media/sound_player.h"

#include "media/media_sound_backend.h"

#include <QMessageBox>
#include <QRandomGenerator>

namespace zx {

SoundPlayer::SoundPlayer(std::unique_ptr<SoundBackend> backend, bool showErrors)
    : m_backend(backend ? std::move(backend) : std::make_unique<MediaSoundBackend>())
    , m_showErrors(showErrors)
{
    m_errorSink = [](const QString& text) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("MCI Error"), text.left(256), QMessageBox::Ok);
        box.exec();
    };
}

SoundPlayer::~SoundPlayer()
{
    if (m_deviceId != 0) {
        stop();
        close();
    }
}

bool SoundPlayer::check(bool ok, const QString& error)
{
    if (!ok && m_showErrors && m_errorSink)
        m_errorSink(error);
    return ok;
}

void SoundPlayer::open(const QString& path)
{
    close();
    const QString alias = QStringLiteral("alias") + QString::number(QRandomGenerator::global()->bounded(10000000));
    QString error;
    if (check(m_backend->open(path, alias, error), error)) {
        ++m_deviceId;
        m_open = true;
    }
}

void SoundPlayer::play()
{
    if (!m_open)
        return;
    QString error;
    if (isPlaying())
        check(m_backend->stop(error), error);
    error.clear();
    check(m_backend->seekToStart(error), error);
    error.clear();
    check(m_backend->play(error), error);
}

void SoundPlayer::stop()
{
    if (!isPlaying())
        return;
    QString error;
    check(m_backend->stop(error), error);
}

void SoundPlayer::close()
{
    if (!m_open)
        return;
    m_open = false;
    QString error;
    check(m_backend->close(error), error);
}

SoundMode SoundPlayer::mode() const
{
    return m_open ? m_backend->mode() : SoundMode::None;
}

bool SoundPlayer::query(SoundQuery kind) const
{
    const SoundMode m = mode();
    switch (kind) {
    case SoundQuery::Open:
        return m == SoundMode::Open || m == SoundMode::Playing || m == SoundMode::Stopped;
    case SoundQuery::Playing:
        return m == SoundMode::Playing || m == SoundMode::Stopped;
    case SoundQuery::Stopped:
        return m == SoundMode::Stopped;
    }
    return false;
}

} // namespace zx
