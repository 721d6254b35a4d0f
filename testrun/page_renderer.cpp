#include "testrun/page_renderer.h"

#include "app/core/control_panel_plan.h"
#include "objects/qt_text.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "testrun/core/bank_settings.h"
#include "testrun/core/embedded_files.h"
#include "testrun/page_builder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <random>

namespace zx {

namespace {

QImage renderPage(const std::string& pageText, TestState state, QSize area, const EmbeddedFiles& files)
{
    QWidget surface;
    surface.setAttribute(Qt::WA_DontShowOnScreen);
    surface.resize(area);
    PageContext context;
    context.resolveBankFile = [&files](const std::string& name) { return files.resolve(name); };
    context.testState = [state] { return state; };
    context.wait = [](int) {};
    PageBuilder page(&surface, context);
    page.loadTickAndCross(pageText);
    page.buildPage(pageText, state);

    QImage image(area, QImage::Format_ARGB32);
    QColor colour = Qt::white;
    if (auto c = colourFromRecordText(getTag(pageText, "bgColour"), surface.palette(), Qt::white))
        colour = *c;
    image.fill(colour);
    {
        QPainter painter(&image);
        page.paintBackground(painter);
    }
    // The objects are drawn over the background, without the surface's own
    // fill.
    surface.setAutoFillBackground(false);
    surface.setAttribute(Qt::WA_NoSystemBackground);
    surface.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    page.leavePage();
    return image;
}

} // namespace

RenderReport renderBankPages(const QString& bankPath, const QString& outputFolder)
{
    RenderReport report;
    const BankIndexResult bank = readBankIndex(localPath(bankPath));
    if (!bank.ok()) {
        report.error = bankPath + QStringLiteral(": ") + QString::fromStdString(bankReadErrorText(bank.error));
        return report;
    }
    if (!hasEmbeddedFiles(bank.index.fileHeader)) {
        report.error = bankPath + QStringLiteral(": the bank holds no embedded files");
        return report;
    }
    if (!QDir().mkpath(outputFolder)) {
        report.error = outputFolder + QStringLiteral(": cannot be created");
        return report;
    }
    QTemporaryDir work; // private (0700), removed at the end
    if (!work.isValid()) {
        report.error = QStringLiteral("cannot make a working folder");
        return report;
    }
    EmbeddedFiles files(localPath(work.path()));
    std::mt19937 engine(1);
    files.extract(localPath(bankPath), bank.index.length, bank.index.fileHeader,
                  [&engine] { return static_cast<std::uint32_t>(engine()); });

    const PageSize size = pageSizeOfQuestionList(bank.index.questionFileList);
    const QSize area(size.width, size.height - controlPanelHeight);

    auto renderList = [&](const std::string& list, TestState state, const char* prefix, int& count) {
        const NumberedTags pages(list, "questionFile", maxListPages);
        const int total = listPageCount(list);
        for (int k = 0; k < total; ++k) {
            const QImage image = renderPage(pages.value(k), state, area, files);
            const QString name = QStringLiteral("%1%2.png").arg(QLatin1String(prefix)).arg(k, 2, 10, QLatin1Char('0'));
            if (!image.save(QDir(outputFolder).filePath(name), "PNG")) {
                report.error = QDir(outputFolder).filePath(name) + QStringLiteral(": cannot be written");
                return false;
            }
            ++count;
        }
        return true;
    };
    if (!renderList(bank.index.preTestFileList, TestState::Ready, "pre-", report.preTestPages))
        return report;
    if (!renderList(bank.index.questionFileList, TestState::Running, "q", report.questionPages))
        return report;
    report.ok = true;
    return report;
}

int runRenderPagesMode(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: zxexam --render-pages OUT_DIR BANK.zxb\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const RenderReport report = renderBankPages(pathFromLocal(argv[3]), pathFromLocal(argv[2]));
    if (!report.ok) {
        std::fprintf(stderr, "zxexam: %s\n", report.error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%d pre-test and %d question pages rendered into %s\n", report.preTestPages, report.questionPages,
                argv[2]);
    return 0;
}

} // namespace zx
