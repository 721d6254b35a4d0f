#include "window/report_view.h"

#include "objects/qt_text.h"

#include <QTextBlock>
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
        font.setPointSize(std::clamp(format.pointSize, 1, 3000));
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
    const long long pixels = std::llround(std::max(1, points) * 96.0 / 72.0);
    return static_cast<int>(std::clamp<long long>(pixels, 1, 4000));
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

} // namespace zx
