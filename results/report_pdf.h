// Reports as PDF files, without a window: the results file's reports as
// loading it would show them, one after the other on new pages.
#pragma once

#include "results/core/report_document.h"
#include "results/core/results_settings.h"

#include <QString>

#include <vector>

namespace zx {

struct ResultsFileContent;

// The reports a results file shows, in the order its display mode shows
// them (none for mode 0 or a file without report texts).
std::vector<ReportDocument> reportsOnShow(const ResultsFileContent& content);

// Writes the reports into one PDF file; false with `error` set when the
// file cannot be written.
bool writeReportsPdf(const std::vector<ReportDocument>& reports, const QString& path, QString* error);

// zxexam --print-pdf OUT.pdf RESULTS.zxr: 0 when the PDF was written; 1
// with a one-line message when the file cannot be read or shows no report;
// 2 for a wrong command line.
int runPrintPdfMode(int argc, char** argv);

} // namespace zx
