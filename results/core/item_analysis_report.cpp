#include "results/core/item_analysis_report.h"

#include <algorithm>
#include <cmath>

namespace zx {

namespace {

std::string number(double value, int decimals) { return formatDecimal(value, decimals); }
std::string optionalNumber(const std::optional<double>& value, int decimals)
{
    return value ? formatDecimal(*value, decimals) : std::string();
}
std::string count(std::size_t value) { return std::to_string(value); }
std::string questionLabel(int index) { return "Q" + std::to_string(static_cast<long long>(index) + 1); }

std::string joined(const std::vector<std::string>& parts, const std::string& between)
{
    std::string out;
    for (std::size_t k = 0; k < parts.size(); ++k)
        out += (k ? between : "") + parts[k];
    return out;
}

// Flagged questions first, each group in question order.
std::vector<const QuestionStatistics*> flaggedFirst(const TestStatistics& statistics)
{
    std::vector<const QuestionStatistics*> order;
    for (const QuestionStatistics& q : statistics.questions)
        order.push_back(&q);
    std::stable_partition(order.begin(), order.end(), [](const QuestionStatistics* q) { return q->flagged(); });
    return order;
}

// ------------------------------------------------------------------ table

class TableWriter {
public:
    explicit TableWriter(TableFormat format)
        : m_separator(format == TableFormat::Csv ? ',' : '\t')
        , m_rowEnd(format == TableFormat::Csv ? "\r\n" : "\n")
    {
    }
    // Text cells pass through spreadsheetText, numbers as they are.
    void row(const std::vector<std::string>& cells, const std::vector<bool>& isText = {})
    {
        for (std::size_t k = 0; k < cells.size(); ++k) {
            if (k)
                m_out += m_separator;
            const bool text = k < isText.size() && isText[k];
            m_out += tableField(text ? spreadsheetText(cells[k]) : cells[k], m_separator);
        }
        m_out += m_rowEnd;
    }
    void blank() { m_out += m_rowEnd; }
    std::string take() { return std::move(m_out); }

private:
    char m_separator;
    std::string m_rowEnd;
    std::string m_out;
};

} // namespace

std::string writeStatisticsTable(const TestStatistics& s, TableFormat format)
{
    TableWriter t(format);
    t.row({"Measure", "Value"});
    t.row({"Test", s.testName}, {false, true});
    t.row({"Bank", s.bankName}, {false, true});
    t.row({"Candidates", count(s.candidates)});
    t.row({"Files left out", count(s.leftOut.size())});
    t.row({"Questions", count(s.questions.size())});
    t.row({"Mean", number(s.mean, 2)});
    t.row({"Standard deviation", number(s.sd, 2)});
    t.row({"Median", number(s.median, 2)});
    t.row({"Lowest", number(s.lowest, 2)});
    t.row({"Highest", number(s.highest, 2)});
    t.row({"Best possible", number(s.best, 2)});
    t.row({"Mean percentage", number(s.meanPercentage, 2)});
    t.row({"Cronbach's alpha", optionalNumber(s.alpha, 3)});
    t.row({"Standard error of measurement", optionalNumber(s.sem, 2)});
    t.blank();

    t.row({"Question", "Text", "Candidates", "Mean", "Best", "Facility", "Standard deviation", "Discrimination",
           "Flags"});
    for (const QuestionStatistics& q : s.questions)
        t.row({questionLabel(q.index), q.text, count(q.candidates), number(q.mean, 2), number(q.best, 2),
               optionalNumber(q.facility, 3), number(q.sd, 2), optionalNumber(q.discrimination, 3),
               joined(q.flags, "; ")},
              {false, true, false, false, false, false, false, false, true});
    t.blank();

    t.row({"Question", "Button", "Kind", "Option", "Keyed", "Chosen", "Proportion", "Mean total", "Flag"});
    for (const QuestionStatistics& q : s.questions)
        for (const OptionStatistics& o : q.options)
            t.row({questionLabel(q.index), std::to_string(o.objectOrdinal + 1), o.buttonType == 1 ? "true/false" : "choice",
                   o.option, o.keyed ? "yes" : "no", count(o.chosen), number(o.proportion, 3),
                   o.chosen ? number(o.meanTotal, 2) : std::string(), o.flagged ? "mean total above the keyed answer" : ""},
                  {false, false, false, true});
    t.blank();

    t.row({"Question", "Field", "Name", "Answer", "Count"});
    for (const QuestionStatistics& q : s.questions)
        for (const FieldStatistics& f : q.fields) {
            for (const TypedAnswerCount& a : f.answers)
                t.row({questionLabel(q.index), std::to_string(f.objectOrdinal + 1), f.objectName, a.answer,
                       count(a.count)},
                      {false, false, true, true});
            if (f.blank)
                t.row({questionLabel(q.index), std::to_string(f.objectOrdinal + 1), f.objectName, "(no answer)",
                       count(f.blank)},
                      {false, false, true, false});
        }
    t.blank();

    t.row({"Category", "Candidates", "Mean score", "Mean best", "Mean percentage", "Mean items"});
    for (const CategoryStatistics& c : s.categories)
        t.row({c.name, count(c.candidates), number(c.meanScore, 2), number(c.meanBest, 2),
               number(c.meanPercentage, 2), number(c.meanItems, 2)},
              {true});
    t.blank();

    t.row({"Total from", "Total to", "Candidates"});
    for (const DistributionBin& b : s.distribution)
        t.row({number(b.from, 2), number(b.to, 2), count(b.count)});
    return t.take();
}

std::string htmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
            if ((static_cast<unsigned char>(c) < 32 && c != '\t' && c != '\n') || c == 127)
                out += ' ';
            else
                out += c;
        }
    }
    return out;
}

namespace {

// ------------------------------------------------------------------ charts

const char* const colourPlain = "#4a78b5";
const char* const colourFlagged = "#c8402f";
const char* const colourZone = "#f6e3df";

std::string px(double value) { return formatDecimal(value, 1); }

// Ticks for 0 .. top: a step of 1, 2 or 5 times a power of ten giving at
// most 6 ticks.
double tickStep(double top)
{
    if (top <= 0)
        return 1;
    const double raw = top / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= raw)
            return std::max(1.0, f * power);
    return std::max(1.0, 10 * power);
}

std::string svgOpen(int width, int height, const std::string& title)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(width) + " "
           + std::to_string(height) + "\" role=\"img\" aria-label=\"" + htmlText(title)
           + "\" font-family=\"sans-serif\" font-size=\"12\"><title>" + htmlText(title) + "</title>\n";
}

std::string svgText(double x, double y, const std::string& text, const std::string& extra = {})
{
    return "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\"" + extra + ">" + htmlText(text) + "</text>\n";
}

std::string svgLine(double x1, double y1, double x2, double y2, const std::string& style)
{
    return "<line x1=\"" + px(x1) + "\" y1=\"" + px(y1) + "\" x2=\"" + px(x2) + "\" y2=\"" + px(y2) + "\" " + style
           + "/>\n";
}

std::string svgRect(double x, double y, double w, double h, const std::string& fill, const std::string& title = {})
{
    std::string r = "<rect x=\"" + px(x) + "\" y=\"" + px(y) + "\" width=\"" + px(std::max(0.0, w)) + "\" height=\""
                    + px(std::max(0.0, h)) + "\" fill=\"" + fill + "\"";
    if (title.empty())
        return r + "/>\n";
    return r + "><title>" + htmlText(title) + "</title></rect>\n";
}

std::string distributionChart(const TestStatistics& s)
{
    const int width = 640, height = 260;
    const double left = 44, right = 12, top = 14, bottom = 40;
    const double plotW = width - left - right, plotH = height - top - bottom;
    std::size_t most = 0;
    for (const DistributionBin& b : s.distribution)
        most = std::max(most, b.count);
    const double step = tickStep(static_cast<double>(most));
    const double yTop = std::max(step, std::ceil(static_cast<double>(most) / step) * step);
    std::string svg = svgOpen(width, height, "Distribution of the candidates' totals");
    for (double v = 0; v <= yTop + 1e-9; v += step) {
        const double y = top + plotH - v / yTop * plotH;
        svg += svgLine(left, y, left + plotW, y, "stroke=\"#ddd\"");
        svg += svgText(left - 6, y + 4, number(v, 0), " text-anchor=\"end\"");
    }
    const std::size_t bins = s.distribution.size();
    const double barW = bins ? plotW / static_cast<double>(bins) : plotW;
    const bool wholeMarks = !s.distribution.empty() && s.distribution.front().to - s.distribution.front().from == 1.0;
    const std::size_t labelEvery = std::max<std::size_t>(1, (bins + 19) / 20);
    for (std::size_t k = 0; k < bins; ++k) {
        const DistributionBin& b = s.distribution[k];
        const double h = static_cast<double>(b.count) / yTop * plotH;
        const double x = left + static_cast<double>(k) * barW;
        const std::string range = wholeMarks ? number(b.from, 0) : number(b.from, 2) + " to " + number(b.to, 2);
        svg += svgRect(x + 1, top + plotH - h, barW - 2, h, colourPlain,
                       range + ": " + count(b.count) + (b.count == 1 ? " candidate" : " candidates"));
        if (k % labelEvery == 0)
            svg += svgText(x + (wholeMarks ? barW / 2 : 0), top + plotH + 14, number(b.from, wholeMarks ? 0 : 1),
                           " text-anchor=\"middle\"");
    }
    if (!wholeMarks && bins)
        svg += svgText(left + plotW, top + plotH + 14, number(s.distribution.back().to, 1), " text-anchor=\"middle\"");
    svg += svgLine(left, top + plotH, left + plotW, top + plotH, "stroke=\"#333\"");
    svg += svgText(left + plotW / 2, height - 6, "total marks", " text-anchor=\"middle\"");
    svg += svgText(12, top + plotH / 2, "candidates",
                   " text-anchor=\"middle\" transform=\"rotate(-90 12 " + px(top + plotH / 2) + ")\"");
    return svg + "</svg>\n";
}

std::string scatterChart(const TestStatistics& s)
{
    const int width = 640, height = 420;
    const double left = 48, right = 16, top = 14, bottom = 42;
    const double plotW = width - left - right, plotH = height - top - bottom;
    auto xOf = [&](double facility) { return left + std::clamp(facility, 0.0, 1.0) * plotW; };
    auto yOf = [&](double discrimination) { return top + (1 - std::clamp(discrimination, -1.0, 1.0)) / 2 * plotH; };
    std::string svg = svgOpen(width, height, "Facility against discrimination, one point per question");
    // Zones of the flags.
    svg += svgRect(xOf(0), yOf(1), xOf(lowFacility) - xOf(0), plotH, colourZone);
    svg += svgRect(xOf(highFacility), yOf(1), xOf(1) - xOf(highFacility), plotH, colourZone);
    svg += svgRect(xOf(0), yOf(lowDiscrimination), plotW, yOf(-1) - yOf(lowDiscrimination), colourZone);
    for (int k = 0; k <= 10; k += 2) {
        const double f = k / 10.0;
        svg += svgLine(xOf(f), top, xOf(f), top + plotH, "stroke=\"#ccc\"");
        svg += svgText(xOf(f), top + plotH + 14, number(f, 1), " text-anchor=\"middle\"");
    }
    for (int k = -10; k <= 10; k += 5) {
        const double d = k / 10.0;
        svg += svgLine(left, yOf(d), left + plotW, yOf(d), k == 0 ? "stroke=\"#666\"" : "stroke=\"#ccc\"");
        svg += svgText(left - 6, yOf(d) + 4, number(d, 1), " text-anchor=\"end\"");
    }
    svg += "<rect x=\"" + px(left) + "\" y=\"" + px(top) + "\" width=\"" + px(plotW) + "\" height=\"" + px(plotH)
           + "\" fill=\"none\" stroke=\"#333\"/>\n";
    for (const QuestionStatistics& q : s.questions) {
        if (!q.facility || !q.discrimination)
            continue;
        const double x = xOf(*q.facility), y = yOf(*q.discrimination);
        const std::string colour = q.flagged() ? colourFlagged : colourPlain;
        svg += "<circle cx=\"" + px(x) + "\" cy=\"" + px(y) + "\" r=\"4\" fill=\"" + colour + "\"><title>"
               + htmlText(questionLabel(q.index) + ": facility " + number(*q.facility, 3) + ", discrimination "
                          + number(*q.discrimination, 3))
               + "</title></circle>\n";
        // Labels near the right edge go to the left of their point.
        const bool leftSide = x > left + plotW - 30;
        svg += svgText(leftSide ? x - 6 : x + 6, y - 5, questionLabel(q.index),
                       std::string(leftSide ? " text-anchor=\"end\"" : "") + " fill=\"" + colour + "\"");
    }
    svg += svgText(left + plotW / 2, height - 8, "facility (share of the marks got)", " text-anchor=\"middle\"");
    svg += svgText(13, top + plotH / 2, "discrimination",
                   " text-anchor=\"middle\" transform=\"rotate(-90 13 " + px(top + plotH / 2) + ")\"");
    return svg + "</svg>\n";
}

std::string questionBars(const TestStatistics& s)
{
    const int width = 640, height = 240;
    const double left = 40, right = 10, top = 12, bottom = 46;
    const double plotW = width - left - right, plotH = height - top - bottom;
    std::string svg = svgOpen(width, height, "Facility of each question");
    auto yOf = [&](double f) { return top + (1 - std::clamp(f, 0.0, 1.0)) * plotH; };
    for (int k = 0; k <= 10; k += 2) {
        const double f = k / 10.0;
        svg += svgLine(left, yOf(f), left + plotW, yOf(f), "stroke=\"#ddd\"");
        svg += svgText(left - 6, yOf(f) + 4, number(f, 1), " text-anchor=\"end\"");
    }
    const std::size_t n = s.questions.size();
    const double barW = n ? plotW / static_cast<double>(n) : plotW;
    const std::size_t labelEvery = std::max<std::size_t>(1, (n + 39) / 40);
    for (std::size_t k = 0; k < n; ++k) {
        const QuestionStatistics& q = s.questions[k];
        const double x = left + static_cast<double>(k) * barW;
        const double f = q.facility.value_or(0);
        svg += svgRect(x + barW * 0.15, yOf(f), barW * 0.7, yOf(0) - yOf(f), q.flagged() ? colourFlagged : colourPlain,
                       questionLabel(q.index) + ": facility " + optionalNumber(q.facility, 3) + ", discrimination "
                           + optionalNumber(q.discrimination, 3));
        if (k % labelEvery == 0) {
            const double cx = x + barW / 2, cy = top + plotH + 10;
            svg += svgText(cx, cy, questionLabel(q.index),
                           " text-anchor=\"end\" transform=\"rotate(-60 " + px(cx) + " " + px(cy) + ")\"");
        }
    }
    svg += svgLine(left, yOf(lowFacility), left + plotW, yOf(lowFacility), "stroke=\"#999\" stroke-dasharray=\"4 3\"");
    svg += svgLine(left, yOf(highFacility), left + plotW, yOf(highFacility), "stroke=\"#999\" stroke-dasharray=\"4 3\"");
    svg += svgLine(left, yOf(0), left + plotW, yOf(0), "stroke=\"#333\"");
    return svg + "</svg>\n";
}

// ------------------------------------------------------------------ page

const char* const pageStyle = R"(
body { font-family: "DejaVu Sans", "Liberation Sans", Arial, sans-serif; margin: 2em auto; max-width: 60em;
       padding: 0 1em; color: #222; line-height: 1.4; }
h1 { font-size: 1.6em; margin-bottom: 0.2em; }
h2 { font-size: 1.25em; border-bottom: 1px solid #bbb; padding-bottom: 0.2em; margin-top: 1.8em; }
h3 { font-size: 1.05em; margin: 0 0 0.3em 0; }
.meta { color: #555; margin-top: 0; }
table { border-collapse: collapse; margin: 0.4em 0 0.8em 0; }
th, td { border: 1px solid #ccc; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
.summary th { background: #f2f2f2; font-weight: normal; }
.question { border: 1px solid #ccc; border-radius: 4px; padding: 0.6em 0.8em; margin: 0.8em 0; }
.question.flagged { border-color: #c8402f; border-left-width: 6px; }
.flags { color: #a02a1c; margin: 0.3em 0; padding-left: 1.2em; }
.keyed { font-weight: bold; }
tr.drawn td { background: #f6e3df; }
figure { margin: 1em 0; }
figcaption { color: #555; font-size: 0.9em; }
svg { width: 100%; max-width: 52em; height: auto; display: block; }
@page { margin: 15mm; }
@media print {
  body { margin: 0; max-width: none; font-size: 10pt; }
  .question, figure, table { break-inside: avoid; }
  h2 { break-after: avoid; }
}
)";

std::string cell(const std::string& text, bool numeric = false)
{
    return numeric ? "<td class=\"n\">" + htmlText(text) + "</td>" : "<td>" + htmlText(text) + "</td>";
}

std::string summaryRow(const std::string& name, const std::string& value)
{
    return "<tr><th>" + htmlText(name) + "</th>" + cell(value, true) + "</tr>\n";
}

std::string questionBlock(const QuestionStatistics& q)
{
    std::string html = std::string("<div class=\"question") + (q.flagged() ? " flagged" : "") + "\" id=\"q"
                       + std::to_string(static_cast<long long>(q.index) + 1) + "\">\n<h3>" + questionLabel(q.index)
                       + (q.text.empty() ? "" : ": " + htmlText(q.text)) + "</h3>\n";
    if (q.flagged()) {
        html += "<ul class=\"flags\">\n";
        for (const std::string& flag : q.flags)
            html += "<li>" + htmlText(flag) + "</li>\n";
        html += "</ul>\n";
    }
    html += "<table><tr><th class=\"n\">Candidates</th><th class=\"n\">Mean</th><th class=\"n\">Best</th>"
            "<th class=\"n\">Facility</th><th class=\"n\">SD</th><th class=\"n\">Discrimination</th></tr>\n<tr>"
            + cell(count(q.candidates), true) + cell(number(q.mean, 2), true) + cell(number(q.best, 2), true)
            + cell(optionalNumber(q.facility, 3), true) + cell(number(q.sd, 2), true)
            + cell(optionalNumber(q.discrimination, 3), true) + "</tr></table>\n";
    if (!q.options.empty()) {
        html += "<table><tr><th>Button</th><th>Option</th><th>Keyed</th><th class=\"n\">Chosen</th>"
                "<th class=\"n\">Proportion</th><th class=\"n\">Mean total</th></tr>\n";
        for (const OptionStatistics& o : q.options) {
            html += std::string("<tr") + (o.flagged ? " class=\"drawn\"" : "") + ">"
                    + cell(std::to_string(o.objectOrdinal + 1) + (o.buttonType == 1 ? " (true/false)" : ""), false)
                    + (o.keyed ? "<td class=\"keyed\">" + htmlText(o.option) + "</td>" : cell(o.option))
                    + cell(o.keyed ? "yes" : "no") + cell(count(o.chosen), true) + cell(number(o.proportion, 3), true)
                    + cell(o.chosen ? number(o.meanTotal, 2) : "", true) + "</tr>\n";
        }
        html += "</table>\n";
    }
    for (const FieldStatistics& f : q.fields) {
        html += "<table><tr><th>Typed answer" + (f.objectName.empty() ? "" : " (" + htmlText(f.objectName) + ")")
                + "</th><th class=\"n\">Count</th></tr>\n";
        for (const TypedAnswerCount& a : f.answers)
            html += "<tr>" + cell(a.answer) + cell(count(a.count), true) + "</tr>\n";
        if (f.blank)
            html += "<tr><td><i>no answer</i></td>" + cell(count(f.blank), true) + "</tr>\n";
        html += "</table>\n";
    }
    return html + "</div>\n";
}

} // namespace

std::string writeStatisticsPage(const TestStatistics& s)
{
    const std::string title = "Item analysis" + (s.testName.empty() ? std::string() : ": " + s.testName);
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + htmlText(title)
                       + "</title>\n<style>" + pageStyle + "</style>\n</head>\n<body>\n<h1>" + htmlText(title)
                       + "</h1>\n<p class=\"meta\">";
    std::vector<std::string> meta;
    if (!s.bankName.empty())
        meta.push_back("Bank " + s.bankName);
    meta.push_back(count(s.candidates) + (s.candidates == 1 ? " candidate" : " candidates"));
    meta.push_back(count(s.questions.size()) + (s.questions.size() == 1 ? " question" : " questions"));
    if (!s.leftOut.empty())
        meta.push_back(count(s.leftOut.size()) + " files of other tests left out");
    html += htmlText(joined(meta, " \xc2\xb7 ")) + "</p>\n";

    html += "<h2>The test</h2>\n<table class=\"summary\">\n";
    html += summaryRow("Mean", number(s.mean, 2)) + summaryRow("Standard deviation", number(s.sd, 2))
            + summaryRow("Median", number(s.median, 2)) + summaryRow("Lowest", number(s.lowest, 2))
            + summaryRow("Highest", number(s.highest, 2)) + summaryRow("Best possible", number(s.best, 2))
            + summaryRow("Mean percentage", number(s.meanPercentage, 2))
            + summaryRow("Cronbach's alpha", s.alpha ? number(*s.alpha, 3) : "not available")
            + summaryRow("Standard error of measurement", s.sem ? number(*s.sem, 2) : "not available");
    html += "</table>\n";

    std::size_t flagged = 0;
    for (const QuestionStatistics& q : s.questions)
        flagged += q.flagged() ? 1 : 0;
    html += "<h2>Questions to look at</h2>\n";
    if (flagged == 0) {
        html += "<p>No question is flagged.</p>\n";
    } else {
        html += "<table><tr><th>Question</th><th>Why</th></tr>\n";
        for (const QuestionStatistics& q : s.questions)
            if (q.flagged())
                html += "<tr><td><a href=\"#q" + std::to_string(static_cast<long long>(q.index) + 1) + "\">"
                        + questionLabel(q.index) + "</a></td>" + cell(joined(q.flags, "; ")) + "</tr>\n";
        html += "</table>\n";
    }

    html += "<h2>Charts</h2>\n<figure>\n" + distributionChart(s)
            + "<figcaption>How many candidates got each total.</figcaption>\n</figure>\n<figure>\n" + scatterChart(s)
            + "<figcaption>Each question by its facility and discrimination; questions in the shaded zones are "
              "flagged (red).</figcaption>\n</figure>\n<figure>\n"
            + questionBars(s)
            + "<figcaption>Facility of each question in order, flagged questions in red; dashed lines at "
            + number(lowFacility, 1) + " and " + number(highFacility, 1) + ".</figcaption>\n</figure>\n";

    html += "<h2>Questions</h2>\n";
    for (const QuestionStatistics* q : flaggedFirst(s))
        html += questionBlock(*q);

    if (!s.categories.empty()) {
        html += "<h2>Categories</h2>\n<table><tr><th>Category</th><th class=\"n\">Candidates</th>"
                "<th class=\"n\">Mean score</th><th class=\"n\">Mean best</th><th class=\"n\">Mean percentage</th>"
                "<th class=\"n\">Mean items</th></tr>\n";
        for (const CategoryStatistics& c : s.categories)
            html += "<tr>" + cell(c.name) + cell(count(c.candidates), true) + cell(number(c.meanScore, 2), true)
                    + cell(number(c.meanBest, 2), true) + cell(number(c.meanPercentage, 2), true)
                    + cell(number(c.meanItems, 2), true) + "</tr>\n";
        html += "</table>\n";
    }

    if (!s.leftOut.empty()) {
        html += "<h2>Files left out</h2>\n<p>These files belong to another test:</p>\n<ul>\n";
        for (const LeftOutFile& file : s.leftOut)
            html += "<li>" + htmlText(file.file) + " (" + htmlText(testDescription(file.testName, file.bankName))
                    + ")</li>\n";
        html += "</ul>\n";
    }

    html += "<h2>How to read this</h2>\n<ul>\n"
            "<li><b>Facility</b>: the share of the question's marks the candidates got (0 to 1). Under "
            + number(lowFacility, 1) + " the question was very hard, over " + number(highFacility, 1)
            + " very easy; either way it tells little about who knows more.</li>\n"
              "<li><b>Discrimination</b>: how well the question separates strong from weak candidates, as the "
              "correlation of its score with the total of the other questions (-1 to 1). Under "
            + number(lowDiscrimination, 1)
            + " it separates them poorly; below 0 the weaker candidates did better on it than the stronger ones, "
              "which often means a wrong key or an ambiguous question.</li>\n"
              "<li><b>Choices</b>: how many candidates chose each button and the mean total of those who did. "
              "A wrong option chosen by candidates with a higher mean total than the keyed answer is worth a "
              "look: the key may be wrong.</li>\n"
              "<li><b>Cronbach's alpha</b>: how consistently the questions measure the same thing (up to 1; 0.7 "
              "or more is usual for a class test). <b>Standard error of measurement</b>: how many marks a "
              "candidate's total may differ from their true level by chance.</li>\n</ul>\n";
    return html + "</body>\n</html>\n";
}

} // namespace zx
