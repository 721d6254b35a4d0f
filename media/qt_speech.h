// The voice of Qt TextToSpeech.  The engine is made on first need (so a
// program that never reads aloud never starts a speech service); an engine
// that cannot start, or reports an error later, leaves the voice
// unavailable and the program carries on.
#pragma once

#include "media/speech.h"

#include <QPointer>

class QTextToSpeech;

namespace zx {

class QtSpeech : public Speech {
public:
    QtSpeech() = default;
    ~QtSpeech() override;

    bool isAvailable() override;
    void speak(const QStringList& parts, const QString& localeName) override;
    void stop() override;
    bool isSpeaking() const override;

private:
    QTextToSpeech* engine();
    void useVoiceOf(const QString& localeName);
    void failed();

    QPointer<QTextToSpeech> m_engine;
    bool m_tried = false;
    bool m_failed = false;
};

} // namespace zx
