// Reading aloud: Options/Read Page Aloud (and its key) reads the report on
// show, or asks for the page's texts, in a voice of the interface
// language; pressed again it stops.
#pragma once

#include "media/speech.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;

namespace zx {

class ReportArea;

class ReadAloud : public QObject {
    Q_OBJECT
public:
    // `item` is the menu item (enabled while a voice answers);
    // `language` gives the interface language's name.  A null `voice`
    // gives the Qt TextToSpeech one, made when it is first needed.
    ReadAloud(QAction* item, const ReportArea& reports, std::function<QString()> language,
              std::unique_ptr<Speech> voice, QObject* parent);
    ~ReadAloud() override;

    // Reads `texts` aloud one after another.
    void readAloud(const QStringList& texts);
    Speech& speech();
    // Replaces the voice (tests use a fake one).
    void setSpeech(std::unique_ptr<Speech> voice);
    // Asks the voice whether it answers and enables the item accordingly.
    void refresh();

signals:
    // The item (or its key) while nothing is being read and no report is
    // on show: the test run answers with readAloud.
    void ReadAloudClick();

private:
    void itemClicked();

    QAction* m_item;
    const ReportArea& m_reports;
    std::function<QString()> m_language;
    std::unique_ptr<Speech> m_speech;
};

} // namespace zx
