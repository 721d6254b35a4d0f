// Building and leaving a full page: 60 texts, 60 pictures and 60 shapes on
// an offscreen page area of 800 x 573.  One frame is 16 ms.
#include "testrun/page_builder.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string fullPage(const std::string& picture)
{
    std::string page = "<windowSize>1</windowSize><bgColour>clWhite</bgColour>";
    for (int i = 0; i < 60; ++i) {
        const std::string n = std::to_string(i);
        page += "<zxText><feedback>0</feedback><TextLayer>" + std::to_string(i % 10) + "</TextLayer><textLeft>" +
                std::to_string(i * 13 % 700) + "</textLeft><textTop>" + std::to_string(i * 9 % 500) +
                "</textTop><textWidth>120</textWidth><textHeight>20</textHeight><zxFontName>Arial</zxFontName>"
                "<zxFontSize>12</zxFontSize><zxString>Text number " + n + "</zxString></zxText>\r\n";
        page += "<zxPicture><feedback>0</feedback><PictureLayer>" + std::to_string(i % 10) +
                "</PictureLayer><PictureLeft>" + std::to_string(i * 11 % 700) + "</PictureLeft><PictureTop>" +
                std::to_string(i * 7 % 500) + "</PictureTop><picFilePathAbs>" + picture +
                "</picFilePathAbs><picPosition>1</picPosition></zxPicture>\r\n";
        page += "<zxShape><feedback>0</feedback><ShapeLayer>" + std::to_string(i % 10) + "</ShapeLayer><ShapeLeft>" +
                std::to_string(i * 17 % 700) + "</ShapeLeft><ShapeTop>" + std::to_string(i * 5 % 500) +
                "</ShapeTop><ShapeWidth>40</ShapeWidth><ShapeHeight>30</ShapeHeight><ShapeShape>1</ShapeShape>"
                "</zxShape>\r\n";
    }
    return page;
}

void BM_BuildAndLeaveFullPage(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString picture = QDir(dir.path()).filePath(QStringLiteral("pic.bmp"));
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(picture, "BMP");

    QWidget area;
    area.resize(800, 573);
    area.show();
    zx::PageContext context;
    context.wait = [](int) {};
    zx::PageBuilder builder(&area, context);
    const std::string page = fullPage(picture.toStdString());
    for (auto _ : state) {
        builder.loadTickAndCross(page);
        builder.buildPage(page, zx::TestState::Running);
        QCoreApplication::processEvents();
        builder.leavePage();
    }
    state.counters["objects"] = 180;
}

} // namespace

BENCHMARK(BM_BuildAndLeaveFullPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
