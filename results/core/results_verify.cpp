#include "results/core/results_verify.h"

#include "results/core/report_writer.h"
#include "results/core/rtf_reader.h"
#include "tagtext/tagged_text.h"

#include <algorithm>

namespace zx {

namespace {

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (end > start)
            out.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

bool digitsOnly(std::string_view text, std::size_t least, std::size_t most)
{
    return text.size() >= least && text.size() <= most
           && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A mark as the reports write it: "-12.50" in the detailed report, and
// trimmed ("-12.5", "12") in the summary.
std::optional<int> markValue(std::string_view word, bool trimmed)
{
    std::string_view digits = word;
    if (!digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    const std::size_t dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    if (!digitsOnly(whole, 1, 8))
        return std::nullopt;
    if (dot == std::string_view::npos) {
        if (!trimmed)
            return std::nullopt;
    } else if (!digitsOnly(digits.substr(dot + 1), trimmed ? 1 : 2, 2)) {
        return std::nullopt;
    }
    return parseHundredths(word);
}

// The nearest mark before position `end` of `w`, with its position.
std::optional<std::pair<int, std::size_t>> markBefore(const std::vector<std::string_view>& w, std::size_t end,
                                                      bool trimmed)
{
    for (std::size_t k = end; k-- > 0;)
        if (const auto value = markValue(w[k], trimmed))
            return std::pair{*value, k};
    return std::nullopt;
}

// "<label> score <label> best".
bool readScoreLine(std::string_view line, bool trimmed, ReportTotals& totals)
{
    const auto w = words(line);
    if (w.size() < 2)
        return false;
    const auto best = markValue(w.back(), trimmed);
    const auto score = markBefore(w, w.size() - 1, trimmed);
    if (!best || !score)
        return false;
    totals.best = best;
    totals.score = score->first;
    return true;
}

// "<label> percentage %", or "<label> worst <label> percentage %" with
// the minimum as the baseline; "0 %" when there was no base.
bool readPercentageLine(std::string_view line, bool trimmed, bool minimumIsBaseline, ReportTotals& totals)
{
    const auto w = words(line);
    if (w.size() < 2 || w.back() != "%")
        return false;
    const std::string_view p = w[w.size() - 2];
    const std::optional<int> percentage = p == "0" ? std::optional<int>(0) : markValue(p, trimmed);
    if (!percentage)
        return false;
    if (minimumIsBaseline) {
        const auto worst = markBefore(w, w.size() - 2, trimmed);
        if (!worst)
            return false;
        totals.worst = worst->first;
    }
    totals.percentage = percentage;
    return true;
}

bool readItemsLine(std::string_view line, ReportTotals& totals)
{
    const auto w = words(line);
    long long items = 0;
    if (w.empty() || !digitsOnly(w.back(), 1, 10) || !parseIntStrict(w.back(), items) || items > 2147483647)
        return false;
    totals.items = static_cast<int>(items);
    return true;
}

std::vector<std::string> lines(const ReportDocument& report)
{
    std::vector<std::string> out;
    out.reserve(report.paragraphs.size());
    for (const Paragraph& paragraph : report.paragraphs)
        out.push_back(paragraph.text());
    return out;
}

std::size_t ruleLine(const std::vector<std::string>& text)
{
    return static_cast<std::size_t>(std::find(text.begin(), text.end(), reportRuleLine) - text.begin());
}

void compare(std::vector<std::string>& notes, const char* name, const std::optional<int>& reported, int computed,
             bool marks)
{
    if (!reported || *reported == computed)
        return;
    auto text = [marks](int v) { return marks ? formatHundredths(v) : std::to_string(v); };
    notes.push_back(std::string(name) + " " + text(*reported) + " in the report, " + text(computed)
                    + " from the answers");
}

} // namespace

ReportTotals detailedReportTotals(const ReportDocument& report, const ResultsSettings& settings)
{
    const std::vector<std::string> text = lines(report);
    // The heading's rule line where the settings put it, since a text above
    // it (the test's name) may read the same; else the first rule line.
    std::size_t heading = detailedHeadingRuleLine(settings);
    if (heading >= text.size() || text[heading] != reportRuleLine)
        heading = ruleLine(text);
    for (std::size_t i = 0; i < heading && i + 4 < text.size(); ++i) {
        ReportTotals totals;
        if (readScoreLine(text[i], false, totals)
            && readPercentageLine(text[i + 2], false, settings.minimumIsBaseline(), totals)
            && readItemsLine(text[i + 4], totals))
            return totals;
    }
    return {};
}

ReportTotals summaryReportTotals(const ReportDocument& report, const ResultsSettings& settings)
{
    const std::vector<std::string> text = lines(report);
    const std::size_t rule = ruleLine(text);
    ReportTotals totals;
    if (rule >= text.size() || rule < 2 || !readItemsLine(text[rule - 2], totals))
        return {};
    std::size_t above = rule - 2; // the line above which the next total lies, two lines up
    if (settings.showPercentage == 1) {
        if (above < 2 || !readPercentageLine(text[above - 2], true, settings.minimumIsBaseline(), totals))
            return {};
        above -= 2;
    }
    if (settings.showScore == 1) {
        if (above < 2 || !readScoreLine(text[above - 2], true, totals))
            return {};
    }
    return totals;
}

VerifyResult verifyResults(const ResultsFileContent& content)
{
    VerifyResult result;
    const ResultsSettings settings = ResultsSettings::parse(content.testSettings);
    result.score = scoreTest(settings, content.questionList);

    // As the player loads them: a text of 5 characters or fewer is no report.
    const bool hasDetailed = content.detailedRtf.size() > 5;
    const bool hasSummary = content.summaryRtf.size() > 5;
    if (!hasDetailed && !hasSummary) {
        result.notes.push_back("the file stores no report");
        return result;
    }
    if (hasDetailed)
        result.reported = detailedReportTotals(readRtf(content.detailedRtf), settings);
    if (!result.reported.found() && hasSummary) {
        result.reported = summaryReportTotals(readRtf(content.summaryRtf), settings);
        result.fromSummary = true;
    }
    if (!result.reported.found()) {
        result.notes.push_back("the stored report shows no totals that can be read");
        return result;
    }

    const ScoreTally& total = result.score.total;
    const int percentage = result.score.percentage.hasBase ? result.score.percentage.hundredths : 0;
    compare(result.notes, "score", result.reported.score, total.score, true);
    compare(result.notes, "best", result.reported.best, total.best, true);
    compare(result.notes, "lowest", result.reported.worst, total.worst, true);
    compare(result.notes, "percentage", result.reported.percentage, percentage, true);
    compare(result.notes, "items", result.reported.items, total.items, false);
    result.outcome = result.notes.empty() ? VerifyOutcome::Agrees : VerifyOutcome::Disagrees;
    return result;
}

} // namespace zx
