// A read-only rich-text view of a report: the page area's size, a vertical
// scroll bar only, and the report's paragraphs in their formats.  The view
// keeps the report it shows, which is what results files store.
#pragma once

#include "results/core/report_document.h"

#include <QTextEdit>

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

// Font sizes of reports are points at 96 dots per inch.
int reportPixelSize(int points);

// How font sizes are given: in pixels for a screen (points at 96 dots per
// inch, whatever the screen says), in points for a printer or a PDF.
enum class ReportMedium { Screen, Paper };

// Appends the paragraphs of `report` to `document` at its end; with
// `newPage` the report starts on a new page when printed.  An empty
// document takes the first paragraph into its first block.
void appendReport(QTextDocument& document, const ReportDocument& report, bool newPage = false,
                  ReportMedium medium = ReportMedium::Screen);

} // namespace zx
