// A read-only rich-text view of a report: the page area's size, a vertical
// scroll bar only, and the report's paragraphs in their formats.  The view
// keeps the report it shows, which is what results files store.
#pragma once

#include "results/core/report_document.h"

#include <QTextEdit>

#include <cstddef>
#include <vector>

class QPagedPaintDevice;
class QTextDocument;

namespace zx {

class ReportView : public QTextEdit {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent = nullptr);

    // Empties the view and writes `report` into it.
    void setReport(ReportDocument report);
    const ReportDocument& report() const { return m_report; }

private:
    ReportDocument m_report;
};

// Font sizes of reports are points at 96 dots per inch.  A size read from
// a file is held between 1 and maxReportPointSize points, so that no text
// is too large to lay out on a page.
inline constexpr int maxReportPointSize = 72;
int reportPixelSize(int points);

// How font sizes are given: in pixels for a screen (points at 96 dots per
// inch, whatever the screen says), in points for a printer or a PDF.
enum class ReportMedium { Screen, Paper };

// Appends the paragraphs of `report` to `document` at its end; with
// `newPage` the report starts on a new page when printed.  An empty
// document takes the first paragraph into its first block.
void appendReport(QTextDocument& document, const ReportDocument& report, bool newPage = false,
                  ReportMedium medium = ReportMedium::Screen);

// Limits of a printed report: longer reports are refused before they are
// laid out, and a layout of more pages is not printed.
inline constexpr std::size_t maxPrintedCharacters = 4'000'000;
inline constexpr std::size_t maxPrintedParagraphs = 100'000;
inline constexpr int maxPrintedPages = 2000;

// Prints the reports one after the other, each from a new page, in points
// with 2 cm margins, on the device's paintable area.  False (with `error`)
// when they are beyond the limits above (or `maxPages`); nothing is
// printed then.
bool printReports(const std::vector<const ReportDocument*>& reports, QPagedPaintDevice& device, QString* error,
                  int maxPages = maxPrintedPages);

} // namespace zx
