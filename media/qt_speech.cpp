#include "media/qt_speech.h"

#include <QLocale>
#include <QTextToSpeech>

namespace zx {

QtSpeech::~QtSpeech()
{
    delete m_engine.data();
}

QTextToSpeech* QtSpeech::engine()
{
    if (!m_tried) {
        m_tried = true;
        if (QTextToSpeech::availableEngines().isEmpty()) {
            m_failed = true;
            return nullptr;
        }
        m_engine = new QTextToSpeech;
        QObject::connect(m_engine.data(), &QTextToSpeech::stateChanged, m_engine.data(),
                         [this](QTextToSpeech::State state) {
                             if (state == QTextToSpeech::Error)
                                 failed();
                             else
                                 changed();
                         });
        QObject::connect(m_engine.data(), &QTextToSpeech::errorOccurred, m_engine.data(), [this] { failed(); });
        if (m_engine->state() == QTextToSpeech::Error)
            m_failed = true;
    }
    return m_failed ? nullptr : m_engine.data();
}

bool QtSpeech::isAvailable() { return engine() != nullptr; }

void QtSpeech::useVoiceOf(const QString& localeName)
{
    if (localeName.isEmpty())
        return;
    const QLocale wanted(localeName);
    const QList<QLocale> locales = m_engine->availableLocales();
    if (locales.contains(wanted)) {
        m_engine->setLocale(wanted);
        return;
    }
    for (const QLocale& locale : locales) {
        if (locale.language() == wanted.language()) {
            m_engine->setLocale(locale);
            return;
        }
    }
}

void QtSpeech::speak(const QStringList& parts, const QString& localeName)
{
    QTextToSpeech* tts = engine();
    if (!tts)
        return;
    tts->stop();
    useVoiceOf(localeName);
    // One text, each part a sentence of its own, so the voice pauses
    // between them.
    QStringList sentences;
    for (const QString& part : parts) {
        QString sentence = part.simplified();
        if (sentence.isEmpty())
            continue;
        if (!QStringLiteral(".!?:;").contains(sentence.back()))
            sentence += QLatin1Char('.');
        sentences << sentence;
    }
    if (!sentences.isEmpty())
        tts->say(sentences.join(QLatin1Char('\n')));
}

void QtSpeech::stop()
{
    if (m_engine && !m_failed)
        m_engine->stop();
}

bool QtSpeech::isSpeaking() const
{
    return m_engine && !m_failed && m_engine->state() == QTextToSpeech::Speaking;
}

void QtSpeech::failed()
{
    if (m_failed)
        return;
    m_failed = true;
    changed();
}

} // namespace zx
