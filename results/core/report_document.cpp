#include "results/core/report_document.h"

namespace zx {

std::string Paragraph::text() const
{
    std::string out;
    for (const TextRun& run : runs)
        out += run.text;
    return out;
}

std::string ReportDocument::plainText() const
{
    std::string out;
    for (const Paragraph& paragraph : paragraphs) {
        out += paragraph.text();
        out += '\n';
    }
    return out;
}

void normalise(Paragraph& paragraph)
{
    std::vector<TextRun> joined;
    for (TextRun& run : paragraph.runs) {
        if (run.text.empty())
            continue;
        if (!joined.empty() && joined.back().format == run.format)
            joined.back().text += run.text;
        else
            joined.push_back(std::move(run));
    }
    paragraph.runs = std::move(joined);
}

void normalise(ReportDocument& document)
{
    for (Paragraph& paragraph : document.paragraphs)
        normalise(paragraph);
}

} // namespace zx
