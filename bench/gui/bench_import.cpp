// `zxbank import` of a 1,000-question Moodle XML file with 100 pictures
// (PNG, converted on import), into a source folder: the whole run with
// layout, measuring and pictures, against parsing the same XML alone.
// Counters: ms per question, and the ratio of the import to the parse.
#include "tools/bankimport/bank_import.h"
#include "tools/bankimport/qt_import_media.h"
#include "tools/bankimport/xml_source.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <sstream>

namespace {

std::string pngBase64()
{
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(QColor(30, 90, 160));
    QPainter p(&image);
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(100, 40, 120, 120);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toBase64().toStdString();
}

std::string moodleFile(int questions, int pictures)
{
    const std::string picture = pngBase64();
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
    for (int i = 0; i < questions; ++i) {
        if (i % 100 == 0)
            out << "<question type=\"category\"><category><text>$course$/top/Part " << i / 100
                << "</text></category></question>\n";
        const bool withPicture = pictures > 0 && i % (questions / pictures) == 0;
        out << "<question type=\"multichoice\"><name><text>Question " << i << "</text></name>"
            << "<questiontext format=\"html\"><text><![CDATA[<p>Question number <b>" << i
            << "</b>: which of these answers is the right one? Some more words make the text wrap on the page "
               "as real questions do.</p>";
        if (withPicture)
            out << "<p><img src=\"@@PLUGINFILE@@/picture" << i << ".png\"></p>";
        out << "]]></text>";
        if (withPicture)
            out << "<file name=\"picture" << i << ".png\" path=\"/\" encoding=\"base64\">" << picture << "</file>";
        out << "</questiontext><generalfeedback format=\"html\"><text>General feedback " << i
            << ".</text></generalfeedback><defaultgrade>1</defaultgrade><single>true</single>";
        for (int a = 0; a < 4; ++a)
            out << "<answer fraction=\"" << (a == 0 ? 100 : 0) << "\" format=\"html\"><text><![CDATA[<p>Answer " << a
                << " of question " << i << "</p>]]></text><feedback format=\"html\"><text>Feedback " << a
                << "</text></feedback></answer>";
        out << "</question>\n";
    }
    out << "</quiz>\n";
    return out.str();
}

void BM_ImportMoodle1000Questions100Pictures(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string source = (dir.path() + "/questions.xml").toStdString();
    const std::string xml = moodleFile(1000, 100);
    std::ofstream(source, std::ios::binary) << xml;
    zx::import::QtTextMeasurer measurer;
    zx::import::QtImportMedia media;
    double importSeconds = 0, parseSeconds = 0;
    int run = 0;
    for (auto _ : state) {
        zx::import::ImportOptions options;
        options.sources = {source};
        options.folder = true;
        options.output = (dir.path() + "/out" + QString::number(run++)).toStdString();
        std::ostringstream report, errors;
        const auto start = std::chrono::steady_clock::now();
        const int status = zx::import::runImport(options, measurer, media, report, errors);
        const auto imported = std::chrono::steady_clock::now();
        std::string error;
        const zx::import::XmlDoc doc = zx::import::parseXml(xml, error);
        const auto parsed = std::chrono::steady_clock::now();
        if (status != 0 || !doc)
            state.SkipWithError(errors.str().c_str());
        importSeconds += std::chrono::duration<double>(imported - start).count();
        parseSeconds += std::chrono::duration<double>(parsed - imported).count();
    }
    state.counters["ms_per_question"] = importSeconds * 1000.0 / (1000.0 * static_cast<double>(state.iterations()));
    state.counters["ratio_to_xml_parse"] = parseSeconds > 0 ? importSeconds / parseSeconds : 0;
}
BENCHMARK(BM_ImportMoodle1000Questions100Pictures)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
