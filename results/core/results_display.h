// What the results page does with the two report views for a results
// display mode: which view is shown, hidden or destroyed, and the state of
// the View menu's two items.  The end of a test and the opening of a
// results file apply the same plan.
#pragma once

#include "results/core/results_settings.h"

namespace zx {

enum class ReportKind { Detailed, Summary };

enum class ViewAction { Show, Hide, Destroy };

struct ResultsDisplayPlan {
    ViewAction detailed = ViewAction::Destroy;
    ViewAction summary = ViewAction::Destroy;
    bool viewItemsEnabled = false;
    // Only when both reports are offered: which View item is ticked.
    bool setChecks = false;
    bool summaryChecked = false;
    bool detailedChecked = false;
};

ResultsDisplayPlan planResultsDisplay(ResultsDisplayMode mode);

// The report the results page shows: the only one in modes 1 and 2; in
// modes 3 and 4 the summary when its View item is ticked, else the
// detailed report.
ReportKind resultsPageReport(ResultsDisplayMode mode, bool summaryItemChecked);

} // namespace zx
