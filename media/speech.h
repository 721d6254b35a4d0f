// A voice that reads texts aloud.  The real one speaks through Qt
// TextToSpeech (QtSpeech); tests use FakeSpeech.  Without a working speech
// service the voice is unavailable and reading does nothing.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace zx {

class Speech {
public:
    virtual ~Speech() = default;

    // Whether a speech service answers.  The first question may start the
    // service; an error it reports later makes the voice unavailable.
    virtual bool isAvailable() = 0;
    // Reads `parts` one after another, stopping whatever was being read.
    // `localeName` ("de_DE") chooses a voice of that language where the
    // service has one; empty keeps the service's own choice.
    virtual void speak(const QStringList& parts, const QString& localeName) = 0;
    virtual void stop() = 0;
    virtual bool isSpeaking() const = 0;

    // Called from the event loop when the voice starts or stops reading or
    // becomes unavailable.
    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

protected:
    void changed()
    {
        if (m_onChange) {
            const auto run = m_onChange;
            run();
        }
    }

private:
    std::function<void()> m_onChange;
};

} // namespace zx
