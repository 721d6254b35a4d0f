#include "window/read_aloud.h"

#include "app/core/speech_language.h"
#include "media/qt_speech.h"
#include "objects/qt_text.h"
#include "window/report_area.h"
#include "window/report_view.h"

#include <QAction>

namespace zx {

ReadAloud::ReadAloud(QAction* item, const ReportArea& reports, std::function<QString()> language,
                     std::unique_ptr<Speech> voice, QObject* parent)
    : QObject(parent)
    , m_item(item)
    , m_reports(reports)
    , m_language(std::move(language))
    , m_speech(std::move(voice))
{
    if (m_speech)
        m_speech->setChangeHandler([this] { refresh(); });
    connect(m_item, &QAction::triggered, this, &ReadAloud::itemClicked);
}

ReadAloud::~ReadAloud() = default;

Speech& ReadAloud::speech()
{
    if (!m_speech) {
        m_speech = std::make_unique<QtSpeech>();
        m_speech->setChangeHandler([this] { refresh(); });
    }
    return *m_speech;
}

void ReadAloud::setSpeech(std::unique_ptr<Speech> voice)
{
    m_speech = std::move(voice);
    if (m_speech)
        m_speech->setChangeHandler([this] { refresh(); });
    refresh();
}

void ReadAloud::refresh() { m_item->setEnabled(speech().isAvailable()); }

void ReadAloud::itemClicked()
{
    Speech& voice = speech();
    if (voice.isSpeaking()) {
        voice.stop();
        return;
    }
    if (!voice.isAvailable()) {
        refresh();
        return;
    }
    // A report on show is read as it stands, paragraph by paragraph.
    if (const ReportView* shown = m_reports.shownView()) {
        readAloud(shown->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts));
        return;
    }
    emit ReadAloudClick();
}

void ReadAloud::readAloud(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    const std::string locale = speechLocaleOf(qStringToCp1252(m_language ? m_language() : QString()));
    speech().speak(texts, QString::fromStdString(locale));
}

} // namespace zx
