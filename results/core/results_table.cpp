#include "results/core/results_table.h"

#include "results/core/results_settings.h"
#include "tagtext/cp1252.h"
#include "tagtext/tagged_text.h"

#include <algorithm>

namespace zx {

namespace {

// Adds the names new to `merged`, each just before the next name of
// `names` that `merged` already has (at the end when there is none), so
// that the order each file gives is kept as far as the files agree.
void mergeInOrder(std::vector<std::string>& merged, const std::vector<std::string>& names)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::find(merged.begin(), merged.end(), names[i]) != merged.end())
            continue;
        auto before = merged.end();
        for (std::size_t k = i + 1; k < names.size() && before == merged.end(); ++k)
            before = std::find(merged.begin(), merged.end(), names[k]);
        merged.insert(before, names[i]);
    }
}

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::string percentageCell(const Percentage& percentage)
{
    return percentage.hasBase ? formatHundredths(percentage.hundredths) : "0";
}

} // namespace

std::string isoDateTime(std::string_view stamp)
{
    if (stamp.size() != 14 || !allDigits(stamp))
        return {};
    const int year = number(stamp.substr(0, 4));
    const int month = number(stamp.substr(4, 2));
    const int day = number(stamp.substr(6, 2));
    const int hour = number(stamp.substr(8, 2));
    const int minute = number(stamp.substr(10, 2));
    const int second = number(stamp.substr(12, 2));
    if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
        return {};
    if (day > daysInMonth(year, month))
        return {};
    std::string iso;
    iso.reserve(19);
    iso.append(stamp.substr(0, 4)).append("-").append(stamp.substr(4, 2)).append("-").append(stamp.substr(6, 2));
    iso.append("T").append(stamp.substr(8, 2)).append(":").append(stamp.substr(10, 2)).append(":");
    iso.append(stamp.substr(12, 2));
    return iso;
}

ResultsRow makeResultsRow(std::string file, const ResultsFileContent& content)
{
    ResultsRow row;
    row.file = std::move(file);
    const ResultsSettings settings = ResultsSettings::parse(content.testSettings);
    std::vector<std::string> labels;
    for (std::size_t n = 0; n < settings.userEntryLabels.size(); ++n) {
        const std::string& label = settings.userEntryLabels[n];
        const std::string& value = settings.userDetails[n];
        if (value.empty() && (!settings.hasUserDetails() || label.empty()))
            continue;
        const std::string given = label.empty() ? "Detail " + std::to_string(n + 1) : cp1252ToUtf8(label);
        std::string name = given;
        for (int k = 2; std::find(labels.begin(), labels.end(), name) != labels.end(); ++k)
            name = given + " (" + std::to_string(k) + ")";
        labels.push_back(name);
        row.details.emplace_back(std::move(name), cp1252ToUtf8(value));
    }
    if (settings.hasTestName())
        row.testName = cp1252ToUtf8(settings.testName);
    row.started = isoDateTime(getTag(content.testSettings, "testStartDate"));
    row.finished = isoDateTime(getTag(content.testSettings, "testEndDate"));
    row.timing = content.timing;
    row.score = scoreTest(settings, content.questionList);
    return row;
}

std::string tableField(std::string_view text, char separator)
{
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string printableText(std::string_view utf8, bool keepLineBreaks)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (keepLineBreaks && (c == '\n' || (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n'))) {
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += '?';
        } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80
                   && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            // U+0080..U+009F, the second set of control characters.
            out += '?';
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string spreadsheetText(std::string_view text)
{
    std::string printable = printableText(text, true);
    // Spreadsheets skip leading spaces before they look for a formula.
    const std::size_t first = printable.find_first_not_of(' ');
    if (first != std::string::npos && std::string_view("=+-@").find(printable[first]) != std::string_view::npos)
        printable.insert(0, 1, '\'');
    return printable;
}

void ResultsTable::add(ResultsRow row)
{
    std::vector<std::string> labels;
    for (const auto& detail : row.details)
        labels.push_back(detail.first);
    mergeInOrder(m_detailLabels, labels);

    std::vector<std::string> categories;
    for (const CategoryScore& category : row.score.categories)
        categories.push_back(category.name);
    mergeInOrder(m_categories, categories);

    for (const QuestionScore& question : row.score.questions) {
        if (!question.hasObjects)
            continue;
        const auto at = std::lower_bound(m_questions.begin(), m_questions.end(), question.index);
        if (at == m_questions.end() || *at != question.index)
            m_questions.insert(at, question.index);
    }
    m_timed = m_timed || row.timing.has_value();
    m_rows.push_back(std::move(row));
}

std::vector<std::string> ResultsTable::header() const
{
    std::vector<std::string> names = {"File"};
    for (const std::string& label : m_detailLabels)
        names.push_back(spreadsheetText(label));
    for (const char* name : {"Test", "Started", "Finished"})
        names.emplace_back(name);
    if (m_timed) {
        for (const char* name : {"Time limit (min)", "Extra time (%)", "Time allowed (s)", "Time used (s)",
                                 "Not running (s)", "Time ran out"})
            names.emplace_back(name);
    }
    for (const char* name : {"Score", "Best", "Worst", "Items", "Percentage"})
        names.emplace_back(name);
    for (const std::string& category : m_categories) {
        const std::string name = spreadsheetText(cp1252ToUtf8(category));
        names.push_back(name + " score");
        names.push_back(name + " best");
    }
    for (int index : m_questions)
        names.push_back("Q" + std::to_string(static_cast<long long>(index) + 1));
    return names;
}

std::vector<std::string> ResultsTable::cells(std::size_t index) const
{
    const ResultsRow& row = m_rows.at(index);
    std::vector<std::string> out;
    out.reserve(10 + m_detailLabels.size() + 2 * m_categories.size() + m_questions.size());
    out.push_back(spreadsheetText(row.file));
    for (const std::string& label : m_detailLabels) {
        const auto found = std::find_if(row.details.begin(), row.details.end(),
                                        [&](const auto& detail) { return detail.first == label; });
        out.push_back(found == row.details.end() ? std::string() : spreadsheetText(found->second));
    }
    out.push_back(spreadsheetText(row.testName));
    out.push_back(row.started);
    out.push_back(row.finished);
    if (m_timed) {
        if (const std::optional<TestTiming>& t = row.timing) {
            for (long long n : {static_cast<long long>(t->limitMinutes), static_cast<long long>(t->extraPercent),
                                static_cast<long long>(t->secondsAllowed), static_cast<long long>(t->secondsUsed),
                                static_cast<long long>(t->secondsNotRunning)})
                out.push_back(std::to_string(n));
            out.push_back(t->timeRanOut ? "yes" : "no");
        } else {
            out.insert(out.end(), 6, std::string());
        }
    }
    const ScoreTally& total = row.score.total;
    out.push_back(formatHundredths(total.score));
    out.push_back(formatHundredths(total.best));
    out.push_back(formatHundredths(total.worst));
    out.push_back(std::to_string(total.items));
    out.push_back(percentageCell(row.score.percentage));
    for (const std::string& name : m_categories) {
        const auto found = std::find_if(row.score.categories.begin(), row.score.categories.end(),
                                        [&](const CategoryScore& c) { return c.name == name; });
        const bool scored = found != row.score.categories.end() && found->hasItems();
        out.push_back(scored ? formatHundredths(found->tally.score) : std::string());
        out.push_back(scored ? formatHundredths(found->tally.best) : std::string());
    }
    // The row's questions are in index order, as the table's columns are.
    const std::vector<QuestionScore>& questions = row.score.questions;
    auto next = questions.begin();
    for (int question : m_questions) {
        next = std::lower_bound(next, questions.end(), question,
                                [](const QuestionScore& q, int wanted) { return q.index < wanted; });
        const bool scored = next != questions.end() && next->index == question && next->hasObjects;
        out.push_back(scored ? formatHundredths(next->tally.score) : std::string());
    }
    return out;
}

std::string ResultsTable::write(TableFormat format) const
{
    const char separator = format == TableFormat::Csv ? ',' : '\t';
    const std::string_view rowEnd = format == TableFormat::Csv ? "\r\n" : "\n";
    std::string out;
    auto writeRow = [&](const std::vector<std::string>& row) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (k > 0)
                out += separator;
            out += tableField(row[k], separator);
        }
        out += rowEnd;
    };
    writeRow(header());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        writeRow(cells(i));
    return out;
}

} // namespace zx
