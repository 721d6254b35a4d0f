#include "results/report_pdf.h"

#include "objects/qt_text.h"
#include "results/core/results_file.h"
#include "results/core/rtf_reader.h"
#include "window/report_view.h"
#include "tagtext/stored_file.h"

#include <QApplication>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QTextDocument>

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
    QTextDocument document;
    bool first = true;
    for (const ReportDocument& report : reports) {
        appendReport(document, report, !first, ReportMedium::Paper);
        first = false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Results"));
    document.print(&printer);
    const QFileInfo written(path);
    if (!written.isFile() || written.size() == 0) {
        if (error)
            *error = path + QStringLiteral(": cannot be written");
        return false;
    }
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
