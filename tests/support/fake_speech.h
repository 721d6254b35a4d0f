// A voice that only records what it is asked to read, for tests.
#pragma once

#include "media/speech.h"

#include <QList>

namespace zx {

class FakeSpeech : public Speech {
public:
    explicit FakeSpeech(bool available = true) : m_available(available) {}

    bool isAvailable() override { return m_available; }
    void speak(const QStringList& parts, const QString& localeName) override;
    void stop() override;
    bool isSpeaking() const override { return m_speaking; }

    // The service goes away (or comes back), as an engine error would.
    void setAvailable(bool available);
    // The reading came to its end.
    void finish();

    // Each speak() call's parts and locale name, oldest first.
    const QList<QStringList>& spoken() const { return m_spoken; }
    const QStringList& locales() const { return m_locales; }
    int stops() const { return m_stops; }

private:
    bool m_available;
    bool m_speaking = false;
    QList<QStringList> m_spoken;
    QStringList m_locales;
    int m_stops = 0;
};

} // namespace zx
