// Checking a results file against itself: the totals written in its stored
// report must be the totals its stored answers give under its stored test
// settings.  A file whose report or answers were edited by hand, or that
// was written under other scoring rules, disagrees.
//
// The totals are read from the report's numbers, never its labels (the
// report is in the language it was written in):
//   - the detailed report: in its heading (before its rule line of
//     underscores, found where the test settings put it, or else the
//     first such line), the first line ending in two marks ("<label> 12.50
//     <label> 25.00": score and best), with the percentage line two lines
//     below it ("... 50.00 %" or "... 0 %"; with the minimum as the
//     baseline the lowest mark comes before it) and the items line two
//     lines further ("<label> 2");
//   - the summary, when the file stores no detailed report or its totals
//     cannot be found: the items line two lines above its rule line and,
//     above that, the percentage and score lines as far as the test
//     settings show them (marks trimmed: "12.5", "25").
// A file without a report, or whose reports hold no totals, cannot be
// verified.
#pragma once

#include "results/core/report_document.h"
#include "results/core/results_file.h"
#include "results/core/results_settings.h"
#include "results/core/scoring.h"

#include <optional>
#include <string>
#include <vector>

namespace zx {

// Totals as a report shows them (hundredths; items as a count).  Only the
// values the report shows are set.
struct ReportTotals {
    std::optional<int> score;
    std::optional<int> best;
    std::optional<int> worst;
    std::optional<int> percentage; // "0 %" reads as 0
    std::optional<int> items;

    bool found() const { return items.has_value(); }
    bool operator==(const ReportTotals&) const = default;
};

ReportTotals detailedReportTotals(const ReportDocument& report, const ResultsSettings& settings);
ReportTotals summaryReportTotals(const ReportDocument& report, const ResultsSettings& settings);

enum class VerifyOutcome { Agrees, Disagrees, NotVerifiable };

struct VerifyResult {
    VerifyOutcome outcome = VerifyOutcome::NotVerifiable;
    bool fromSummary = false; // the totals were read from the summary
    // NotVerifiable: why.  Disagrees: each differing value, e.g.
    // "score 15.00 in the report, 12.00 from the answers".
    std::vector<std::string> notes;
    ReportTotals reported;
    TestScore score; // from the stored answers
};

VerifyResult verifyResults(const ResultsFileContent& content);

} // namespace zx
