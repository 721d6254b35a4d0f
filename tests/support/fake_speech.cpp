#include "tests/support/fake_speech.h"

namespace zx {

void FakeSpeech::speak(const QStringList& parts, const QString& localeName)
{
    if (!m_available)
        return;
    m_spoken << parts;
    m_locales << localeName;
    m_speaking = !parts.isEmpty();
    changed();
}

void FakeSpeech::stop()
{
    ++m_stops;
    if (m_speaking) {
        m_speaking = false;
        changed();
    }
}

void FakeSpeech::setAvailable(bool available)
{
    m_available = available;
    if (!available)
        m_speaking = false;
    changed();
}

void FakeSpeech::finish()
{
    m_speaking = false;
    changed();
}

} // namespace zx
