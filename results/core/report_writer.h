// The two results reports of a finished test, written line by line while
// the test is scored: the detailed report (every question and answer
// object with its verdict and marks, the totals, the categories) and the
// summary (the heading, the totals as far as the settings allow, and the
// texts of the display rules that hold).
//
// Every line is one centred paragraph in the character format in force
// when it is written (Arial; size, bold and italic change as the reports
// go).  Labels are the language file's messages by number; they and the
// records' texts are Windows-1252 and are turned into UTF-8 in one place,
// where each line break inside a line (CR LF, CR or LF) becomes one space,
// so that a line stays one paragraph.
#pragma once

#include "results/core/report_document.h"
#include "results/core/results_settings.h"
#include "results/core/scoring.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

struct LanguageTexts;

// The report labels: message n of the language file (Windows-1252).
struct ReportLabels {
    std::function<std::string(int)> message;

    std::string operator()(int n) const { return message ? message(n) : std::string(); }
    // Reads `texts`, which must outlive the labels.
    static ReportLabels fromLanguage(const LanguageTexts& texts);
};

// The rule line of the reports: 73 underscores.
inline constexpr std::string_view reportRuleLine =
    "_________________________________________________________________________";

// Where the totals go into the detailed report's heading: the paragraph
// of the score line; the percentage line follows two and the items line
// four paragraphs later.  Counts the test name, the examiner's lines and
// the candidate's details the settings put above them.
std::size_t detailedTotalsLine(const ResultsSettings& settings);
// The paragraph of the rule line that ends the detailed heading once the
// totals are in.
std::size_t detailedHeadingRuleLine(const ResultsSettings& settings);

// Whether a display rule's comparison holds: "=", "!=", "<", ">", "<=" and
// "=>" (greater or equal); any other text never holds.
bool displayRuleHolds(std::string_view comparison, long long value, long long threshold);

// The texts of the display rules that fire, in rule order: enabled rules
// only, the first rule that fires for one category text wins, a category
// text that names no category means the whole test, and the threshold
// (whole marks or percent) is compared with the score or, for type 1, the
// percentage (0 for a category without items).
std::vector<std::string> firedRuleTexts(const std::vector<DisplayRule>& rules, const TestScore& score);

class ReportWriter final : public ScoringObserver {
public:
    // Starts both reports with their headings.  Keeps references to both
    // arguments.
    ReportWriter(const ResultsSettings& settings, const ReportLabels& labels);

    void questionStarted(int index, std::string_view record) override;
    void objectScored(int index, AnswerKind kind, std::string_view objectRecord, const ObjectMarks& marks) override;
    void questionFinished(const QuestionScore& question) override;

    // After the pass: the totals into both reports, the category section of
    // the detailed report and the display rules into the summary.
    void finish(const TestScore& score);

    const ReportDocument& detailed() const { return m_detailed.document; }
    const ReportDocument& summary() const { return m_summary.document; }
    ReportDocument takeDetailed() { return std::move(m_detailed.document); }
    ReportDocument takeSummary() { return std::move(m_summary.document); }

private:
    // A report being written: the document and the format in force.
    struct Pen {
        ReportDocument document;
        CharFormat format;

        Pen();
        void line(std::string_view text);
        void blank() { line({}); }
        // Inserts a line before paragraph `position`, in the format found there.
        void insertLine(std::size_t position, std::string_view text);
    };

    void writeHeading(Pen& pen, bool detailed);
    void writeVerboseAndScore(const ObjectMarks& marks);
    std::string percentageLine(int worst, const Percentage& percentage, bool trimmed) const;

    const ResultsSettings& m_settings;
    const ReportLabels& m_labels;
    Pen m_detailed;
    Pen m_summary;
};

} // namespace zx
