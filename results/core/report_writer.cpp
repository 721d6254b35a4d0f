#include "results/core/report_writer.h"

#include "app/core/language_file.h"
#include "objects/core/typed_answer.h"
#include "tagtext/cp1252.h"
#include "tagtext/tagged_text.h"

#include <algorithm>

namespace zx {

namespace {

std::string F(int hundredths) { return formatHundredths(hundredths); }
std::string T(int hundredths) { return formatHundredthsTrimmed(hundredths, 2); }

// One report line as UTF-8, each line break inside it one space.
std::string reportLineText(std::string_view text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
    });
    if (plain)
        return std::string(text); // the same bytes in UTF-8
    std::string flat;
    flat.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            flat += ' ';
        } else {
            flat += c;
        }
    }
    return cp1252ToUtf8(flat);
}

// "label: name", or the label alone when the name is the no-text marker.
std::string labelled(const std::string& label, std::string_view separator, const std::string& name)
{
    if (name == noTextMarker)
        return label;
    return label + std::string(separator) + name;
}

} // namespace

ReportLabels ReportLabels::fromLanguage(const LanguageTexts& texts)
{
    return {[&texts](int n) { return texts.message(n); }};
}

bool displayRuleHolds(std::string_view comparison, long long value, long long threshold)
{
    if (comparison == "=")
        return value == threshold;
    if (comparison == "!=")
        return value != threshold;
    if (comparison == "<")
        return value < threshold;
    if (comparison == ">")
        return value > threshold;
    if (comparison == "<=")
        return value <= threshold;
    if (comparison == "=>")
        return value >= threshold;
    return false;
}

std::vector<std::string> firedRuleTexts(const std::vector<DisplayRule>& rules, const TestScore& score)
{
    std::vector<std::string> texts;
    // The category texts that have fired, compared whole: a text may hold
    // anything, also what would separate two names in a joined list.
    std::vector<std::string_view> fired;
    for (const DisplayRule& rule : rules) {
        if (rule.enabled == 0)
            continue;
        if (std::find(fired.begin(), fired.end(), rule.category) != fired.end())
            continue;
        const CategoryScore* category = nullptr;
        for (const CategoryScore& c : score.categories) {
            if (c.name == rule.category) {
                category = &c;
                break;
            }
        }
        long long value = 0;
        if (rule.type == 1)
            value = category ? category->percentage.hundredths : score.percentage.hundredths;
        else
            value = category ? category->tally.score : score.total.score;
        // In 64 bits, so that a huge threshold cannot wrap round.
        const long long threshold = static_cast<long long>(rule.threshold) * 100;
        if (!displayRuleHolds(rule.comparison, value, threshold))
            continue;
        fired.push_back(rule.category);
        texts.push_back(rule.text);
    }
    return texts;
}

ReportWriter::Pen::Pen()
{
    format.fontName = "Arial";
    format.pointSize = 12;
    format.bold = true;
    format.italic = false;
}

void ReportWriter::Pen::line(std::string_view text)
{
    Paragraph paragraph;
    paragraph.alignment = Alignment::Centre;
    paragraph.endFormat = format;
    if (!text.empty())
        paragraph.runs.push_back({reportLineText(text), format});
    document.paragraphs.push_back(std::move(paragraph));
}

void ReportWriter::Pen::insertLine(std::size_t position, std::string_view text)
{
    auto& paragraphs = document.paragraphs;
    position = std::min(position, paragraphs.size());
    CharFormat found = format;
    if (position < paragraphs.size()) {
        const Paragraph& there = paragraphs[position];
        found = there.runs.empty() ? there.endFormat : there.runs.front().format;
    } else if (!paragraphs.empty()) {
        found = paragraphs.back().endFormat;
    }
    Paragraph paragraph;
    paragraph.alignment = Alignment::Centre;
    paragraph.endFormat = found;
    if (!text.empty())
        paragraph.runs.push_back({reportLineText(text), found});
    paragraphs.insert(paragraphs.begin() + static_cast<std::ptrdiff_t>(position), std::move(paragraph));
}

ReportWriter::ReportWriter(const ResultsSettings& settings, const ReportLabels& labels)
    : m_settings(settings)
    , m_labels(labels)
{
    writeHeading(m_detailed, true);
    writeHeading(m_summary, false);
}

std::size_t detailedTotalsLine(const ResultsSettings& settings)
{
    std::size_t c = 2;
    if (settings.hasTestName())
        c += 2; // the name and an empty line
    if (settings.hasExaminer())
        c += 3; // the examiner, the creation date, an empty line
    if (settings.hasUserDetails())
        c += 4; // an empty line and the three details
    return c;
}

std::size_t detailedHeadingRuleLine(const ResultsSettings& settings)
{
    // After the totals' position: the items line ends five lines of totals,
    // then two empty lines, the two date lines and one more empty line.
    return detailedTotalsLine(settings) + 10;
}

void ReportWriter::writeHeading(Pen& pen, bool detailed)
{
    const ResultsSettings& s = m_settings;
    if (detailed && s.hasTestName()) {
        pen.line(s.testName);
        pen.blank();
    }
    pen.format.pointSize = 10;
    if (s.hasExaminer()) {
        pen.line(m_labels(92) + " " + s.examinerName);
        pen.format.bold = false;
        pen.format.italic = true;
        pen.format.pointSize = 8;
        pen.line(m_labels(93) + " " + s.creationDisplayDate);
        pen.format.bold = true;
        pen.format.italic = false;
        pen.blank();
    }
    pen.format.pointSize = 12;
    pen.line(m_labels(91));
    pen.format.pointSize = 10;
    if (s.hasUserDetails()) {
        pen.blank();
        for (std::size_t n = 0; n < 3; ++n)
            pen.line(s.userEntryLabels[n] + ": " + s.userDetails[n]);
    }
    if (detailed) {
        pen.blank();
        pen.blank();
        pen.blank();
    }
    pen.format.bold = false;
    pen.format.italic = true;
    pen.format.pointSize = 8;
    pen.blank();
    if (detailed)
        pen.blank();
    pen.line(m_labels(89) + " " + s.testStartDisplayDate);
    pen.line(m_labels(90) + " " + s.testEndDisplayDate);
    pen.blank();
    pen.format.italic = false;
    if (detailed) {
        pen.line(reportRuleLine);
        pen.blank();
        pen.format.pointSize = 10;
        pen.format.bold = true;
        pen.blank();
    } else {
        pen.format.pointSize = 10;
        pen.format.bold = true;
    }
}

void ReportWriter::questionStarted(int index, std::string_view record)
{
    Pen& pen = m_detailed;
    pen.format.bold = true;
    pen.line(labelled(m_labels(97) + " " + std::to_string(static_cast<long long>(index) + 1), ": ",
                      getTag(record, "ResultsText")));
    pen.format.bold = false;
    const std::string error = getTag(record, "error");
    if (error.size() > 2)
        pen.line(error);
    pen.blank();
}

void ReportWriter::writeVerboseAndScore(const ObjectMarks& marks)
{
    Pen& pen = m_detailed;
    if (m_settings.verbose()) {
        pen.format.pointSize = 8;
        pen.line(m_labels(29) + " " + F(marks.best));
        pen.line(m_labels(30) + " " + F(marks.worst));
        pen.format.pointSize = 10;
    }
    pen.line(m_labels(31) + " " + F(marks.score));
}

void ReportWriter::objectScored(int, AnswerKind kind, std::string_view record, const ObjectMarks& marks)
{
    Pen& pen = m_detailed;
    // The object's name line in italics, then its results text unless it
    // has none.
    auto nameLines = [&](const std::string& nameLine, const char* resultsTextKey) {
        pen.format.italic = true;
        pen.line(nameLine);
        pen.format.italic = false;
        const std::string resultsText = getTag(record, resultsTextKey);
        if (resultsText != noTextMarker)
            pen.line(resultsText);
    };

    switch (kind) {
    case AnswerKind::Button: {
        const bool trueFalse = marks.verdict == AnswerVerdict::NoSelection
                               || marks.verdict == AnswerVerdict::TrueSelected
                               || marks.verdict == AnswerVerdict::FalseSelected;
        const bool choice = marks.verdict == AnswerVerdict::Selected || marks.verdict == AnswerVerdict::NotSelected;
        if (choice || trueFalse) {
            nameLines(labelled(m_labels(trueFalse ? 95 : 96), ": ", getTag(record, "ButtonName")),
                      "buttonResultsText");
            int verdictLabel = 25;
            switch (marks.verdict) {
            case AnswerVerdict::Selected: verdictLabel = 24; break;
            case AnswerVerdict::NotSelected: verdictLabel = 25; break;
            case AnswerVerdict::NoSelection: verdictLabel = 26; break;
            case AnswerVerdict::TrueSelected: verdictLabel = 27; break;
            default: verdictLabel = 28; break;
            }
            pen.line(m_labels(verdictLabel));
            writeVerboseAndScore(marks);
        }
        break;
    }
    case AnswerKind::Field: {
        const int restriction = fieldRestriction(record);
        const int label = restriction == 1 ? 33 : restriction == 2 ? 32 : 34;
        nameLines(labelled(m_labels(label), " ", getTag(record, "FieldName")), "FieldResultsText");
        const std::string answer = trimText(marks.answerText);
        pen.line(answer.empty() ? m_labels(35) : m_labels(35) + " " + answer);
        writeVerboseAndScore(marks);
        break;
    }
    case AnswerKind::Drag:
        nameLines(labelled(m_labels(37), ": ", getTag(record, "DragName")), "DragResultsText");
        if (marks.verdict == AnswerVerdict::DroppedOn)
            pen.line(m_labels(38) + " " + marks.answerText);
        else
            pen.line(m_labels(26));
        writeVerboseAndScore(marks);
        break;
    }
    pen.blank();
}

void ReportWriter::questionFinished(const QuestionScore& question)
{
    if (!question.hasObjects)
        return;
    Pen& pen = m_detailed;
    pen.line(m_labels(39) + " " + F(question.tally.score) + " " + m_labels(40) + " " + F(question.tally.best));
    pen.blank();
    pen.blank();
    pen.blank();
}

std::string ReportWriter::percentageLine(int worst, const Percentage& percentage, bool trimmed) const
{
    const std::string text =
        percentage.hasBase ? (trimmed ? T(percentage.hundredths) : F(percentage.hundredths)) + " %" : "0 %";
    if (m_settings.minimumIsBaseline())
        return m_labels(42) + " " + (trimmed ? T(worst) : F(worst)) + " " + m_labels(43) + " " + text;
    return m_labels(44) + " " + text;
}

void ReportWriter::finish(const TestScore& score)
{
    const ScoreTally& total = score.total;

    // Totals into the detailed heading, each line shifting those below it.
    const std::size_t at = detailedTotalsLine(m_settings);
    m_detailed.insertLine(at,
                          m_labels(31) + " " + F(total.score) + " " + m_labels(41) + " " + F(total.best));
    m_detailed.insertLine(at + 2, percentageLine(total.worst, score.percentage, false));
    m_detailed.insertLine(at + 4, m_labels(45) + " " + std::to_string(total.items));

    Pen& summary = m_summary;
    if (m_settings.showScore == 1) {
        summary.line(m_labels(31) + " " + T(total.score) + " " + m_labels(41) + " " + T(total.best));
        summary.blank();
    }
    if (m_settings.showPercentage == 1) {
        summary.line(percentageLine(total.worst, score.percentage, true));
        summary.blank();
    }
    summary.line(m_labels(45) + " " + std::to_string(total.items));
    summary.blank();
    summary.line(reportRuleLine);
    summary.blank();

    if (!score.categories.empty()) {
        Pen& pen = m_detailed;
        pen.format.pointSize = 10;
        pen.blank();
        pen.line(reportRuleLine);
        pen.blank();
        pen.format.bold = true;
        pen.line(m_labels(46));
        pen.format.bold = false;
        pen.blank();
        for (const CategoryScore& category : score.categories) {
            pen.format.italic = true;
            pen.line(m_labels(47) + " " + category.name);
            pen.format.italic = false;
            if (category.hasItems()) {
                pen.line(m_labels(49) + " " + F(category.tally.score) + " " + m_labels(40) + " "
                         + F(category.tally.best));
                pen.line(percentageLine(category.tally.worst, category.percentage, false));
                pen.line(m_labels(50) + " " + std::to_string(category.tally.items));
            } else {
                pen.line(m_labels(48));
            }
            pen.blank();
        }
        pen.blank();
        pen.format.bold = true;
        pen.line(m_labels(51));
        pen.format.bold = false;
        pen.line(m_labels(52));
    }

    for (const std::string& text : firedRuleTexts(m_settings.displayRules, score)) {
        summary.line(text);
        summary.blank();
    }
}

} // namespace zx
