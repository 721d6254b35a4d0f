#include "window/report_view.h"

#include "objects/qt_text.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPagedPaintDevice>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace zx {

namespace {

QTextCharFormat charFormat(const CharFormat& format, ReportMedium medium)
{
    QTextCharFormat out;
    QFont font(utf8ToQString(format.fontName));
    if (medium == ReportMedium::Screen)
        font.setPixelSize(reportPixelSize(format.pointSize));
    else
        font.setPointSize(std::clamp(format.pointSize, 1, maxReportPointSize));
    font.setBold(format.bold);
    font.setItalic(format.italic);
    out.setFont(font);
    return out;
}

Qt::Alignment alignmentOf(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Left:
        return Qt::AlignLeft;
    case Alignment::Centre:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Justify:
        return Qt::AlignJustify;
    }
    return Qt::AlignLeft;
}

} // namespace

int reportPixelSize(int points)
{
    return static_cast<int>(std::lround(std::clamp(points, 1, maxReportPointSize) * 96.0 / 72.0));
}

ReportView::ReportView(QWidget* parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
}

void appendReport(QTextDocument& document, const ReportDocument& report, bool newPage, ReportMedium medium)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    bool first = document.isEmpty();
    for (const Paragraph& paragraph : report.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(alignmentOf(paragraph.alignment));
        if (newPage) {
            block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            newPage = false;
        }
        const QTextCharFormat mark = charFormat(paragraph.endFormat, medium);
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(mark);
            first = false;
        } else {
            cursor.insertBlock(block, mark);
        }
        for (const TextRun& run : paragraph.runs)
            cursor.insertText(utf8ToQString(run.text), charFormat(run.format, medium));
    }
}

void ReportView::setReport(ReportDocument report)
{
    m_report = std::move(report);
    clear();
    appendReport(*document(), m_report);
    moveCursor(QTextCursor::Start);
}

bool printReports(const std::vector<const ReportDocument*>& reports, QPagedPaintDevice& device, QString* error,
                  int maxPages)
{
    auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    std::size_t characters = 0;
    std::size_t paragraphs = 0;
    for (const ReportDocument* report : reports) {
        paragraphs += report->paragraphs.size();
        for (const Paragraph& paragraph : report->paragraphs)
            for (const TextRun& run : paragraph.runs)
                characters += run.text.size();
    }
    if (characters > maxPrintedCharacters || paragraphs > maxPrintedParagraphs)
        return refuse(QStringLiteral("the report is too long to print (%1 characters in %2 lines)")
                          .arg(characters)
                          .arg(paragraphs));

    QTextDocument paper;
    bool first = true;
    for (const ReportDocument* report : reports) {
        appendReport(paper, *report, !first, ReportMedium::Paper);
        first = false;
    }
    // Laid out in points (a device of 72 dots per inch), where even a long
    // report stays within the layout's coordinates, and counted before a
    // page is printed; printing scales the pages onto the device's.
    QImage points(1, 1, QImage::Format_Mono);
    points.setDotsPerMeterX(2835);
    points.setDotsPerMeterY(2835);
    paper.documentLayout()->setPaintDevice(&points);
    const QRectF page = device.pageLayout().paintRect(QPageLayout::Point);
    if (page.width() < 200 || page.height() < 200)
        return refuse(QStringLiteral("the page is too small to print the report on"));
    paper.setPageSize(page.size());
    QTextFrameFormat frame = paper.rootFrame()->frameFormat();
    frame.setMargin(2 / 2.54 * 72); // 2 cm
    paper.rootFrame()->setFrameFormat(frame);
    const int pages = paper.pageCount();
    if (pages > maxPages)
        return refuse(QStringLiteral("the report would take %1 pages (at most %2 are printed)").arg(pages).arg(maxPages));
    paper.print(&device);
    return true;
}

} // namespace zx
