#include "results/report_pdf.h"

#include "objects/qt_text.h"
#include "results/core/results_file.h"
#include "results/core/rtf_reader.h"
#include "tagtext/replacing_file.h"
#include "tagtext/stored_file.h"
#include "window/report_view.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>

#include <cstdio>

namespace zx {

std::vector<ReportDocument> reportsOnShow(const ResultsFileContent& content)
{
    const ResultsDisplayMode mode = ResultsSettings::parse(content.testSettings).displayMode();
    std::vector<const std::string*> order;
    switch (mode) {
    case ResultsDisplayMode::None:
        break;
    case ResultsDisplayMode::SummaryOnly:
        order = {&content.summaryRtf};
        break;
    case ResultsDisplayMode::DetailedOnly:
        order = {&content.detailedRtf};
        break;
    case ResultsDisplayMode::BothSummaryFirst:
        order = {&content.summaryRtf, &content.detailedRtf};
        break;
    case ResultsDisplayMode::BothDetailedFirst:
        order = {&content.detailedRtf, &content.summaryRtf};
        break;
    }
    std::vector<ReportDocument> reports;
    for (const std::string* rtf : order)
        if (rtf->size() > 5)
            reports.push_back(readRtf(*rtf));
    return reports;
}

bool writeReportsPdf(const std::vector<ReportDocument>& reports, const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = path + QStringLiteral(": ") + why;
        return false;
    };
    // A link is never written through: it may lead anywhere.
    if (QFileInfo(path).isSymLink())
        return fail(QStringLiteral("is a symbolic link; the PDF is not written through it"));

    // The whole PDF is made in memory, then written beside the target and
    // renamed over it once it is complete on the disk: an earlier file of
    // that name is never left half written.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(QStringLiteral("Results"));
        std::vector<const ReportDocument*> shown;
        for (const ReportDocument& report : reports)
            shown.push_back(&report);
        QString why;
        if (!printReports(shown, writer, &why))
            return fail(why);
    }
    if (!pdf.startsWith("%PDF-") || !pdf.trimmed().endsWith("%%EOF"))
        return fail(QStringLiteral("the PDF could not be made"));
    ReplacingFile file(localPath(path), clockSeededRandom());
    if (!file.write(pdf.constData(), static_cast<std::size_t>(pdf.size())) || !file.commit())
        return fail(QString::fromLocal8Bit(file.error().data(), static_cast<qsizetype>(file.error().size())));
    return true;
}

int runPrintPdfMode(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: zxexam --print-pdf OUT.pdf RESULTS.zxr\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = pathFromLocal(argv[2]);
    const QString input = pathFromLocal(argv[3]);
    auto fail = [](const QString& text) {
        std::fprintf(stderr, "zxexam: %s\n", text.toLocal8Bit().constData());
        return 1;
    };
    if (!QFileInfo(input).isFile())
        return fail(input + QStringLiteral(": no such results file"));
    const ResultsFileContent content = parseResultsContent(readStoredFile(localPath(input)));
    if (content.version >= firstRefusedResultsVersion)
        return fail(input + QStringLiteral(": made for a newer version of the player"));
    const std::vector<ReportDocument> reports = reportsOnShow(content);
    if (reports.empty())
        return fail(input + QStringLiteral(": the results file shows no report (or is no results file)"));
    QString error;
    if (!writeReportsPdf(reports, output, &error))
        return fail(error);
    std::printf("%s written\n", argv[2]);
    return 0;
}

} // namespace zx
