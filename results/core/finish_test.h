// The end of a test, without the window: score the stored answers, write
// both reports and work out which of them the results page shows.  The
// player's Finish and the command-line tools call this.
#pragma once

#include "results/core/report_document.h"
#include "results/core/report_writer.h"
#include "results/core/results_settings.h"
#include "results/core/scoring.h"
#include "testrun/core/test_assembly.h" // LocalTime

#include <string>
#include <string_view>

namespace zx {

struct FinishedTest {
    ResultsSettings settings;
    TestScore score;
    ReportDocument detailed;
    ReportDocument summary;
    ResultsDisplayMode displayMode = ResultsDisplayMode::None;
};

// Scores questionFile0 .. questionFile`lastQuestion` of `questionList` and
// writes the reports.  `testSettings` should already hold the end dates
// (stampEndDates).
FinishedTest finishTest(std::string_view testSettings, std::string_view questionList, int lastQuestion,
                        const ReportLabels& labels);

// The test settings with testEndDate ("yyyymmddhhnnss") and
// testEndDisplayDate ("h:mm am/pm, dddd d mmmm, yyyy") written for `now`.
std::string stampEndDates(std::string_view testSettings, const LocalTime& now);

} // namespace zx
