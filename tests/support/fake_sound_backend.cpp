#include "tests/support/fake_sound_backend.h"

#include <algorithm>

namespace zx {

bool FakeSoundBackend::open(const QString& path, const QString& alias, QString& error)
{
    m_calls << QStringLiteral("open ") + path;
    if (m_failing.contains(path)) {
        error = QStringLiteral("cannot open ") + path;
        return false;
    }
    ++m_openCount;
    m_mostOpen = std::max(m_mostOpen, m_openCount);
    m_open = true;
    m_playing = false;
    m_path = path;
    m_alias = alias;
    return true;
}

bool FakeSoundBackend::close(QString& error)
{
    m_calls << QStringLiteral("close");
    if (!m_open) {
        error = QStringLiteral("not open");
        return false;
    }
    --m_openCount;
    m_open = false;
    m_playing = false;
    return true;
}

bool FakeSoundBackend::play(QString& error)
{
    m_calls << QStringLiteral("play");
    if (!m_open) {
        error = QStringLiteral("not open");
        return false;
    }
    m_playing = true;
    return true;
}

bool FakeSoundBackend::stop(QString& error)
{
    m_calls << QStringLiteral("stop");
    if (!m_open) {
        error = QStringLiteral("not open");
        return false;
    }
    m_playing = false;
    return true;
}

bool FakeSoundBackend::seekToStart(QString& error)
{
    m_calls << QStringLiteral("seek");
    if (!m_open) {
        error = QStringLiteral("not open");
        return false;
    }
    return true;
}

SoundMode FakeSoundBackend::mode() const
{
    if (!m_open)
        return SoundMode::None;
    return m_playing ? SoundMode::Playing : SoundMode::Stopped;
}

} // namespace zx
