#include "results/core/results_display.h"

namespace zx {

ResultsDisplayPlan planResultsDisplay(ResultsDisplayMode mode)
{
    ResultsDisplayPlan plan;
    switch (mode) {
    case ResultsDisplayMode::None:
        break;
    case ResultsDisplayMode::SummaryOnly:
        plan.summary = ViewAction::Show;
        break;
    case ResultsDisplayMode::DetailedOnly:
        plan.detailed = ViewAction::Show;
        break;
    case ResultsDisplayMode::BothSummaryFirst:
        plan.detailed = ViewAction::Hide;
        plan.summary = ViewAction::Show;
        plan.viewItemsEnabled = true;
        plan.setChecks = true;
        plan.summaryChecked = true;
        break;
    case ResultsDisplayMode::BothDetailedFirst:
        plan.detailed = ViewAction::Show;
        plan.summary = ViewAction::Hide;
        plan.viewItemsEnabled = true;
        plan.setChecks = true;
        plan.detailedChecked = true;
        break;
    }
    return plan;
}

ReportKind resultsPageReport(ResultsDisplayMode mode, bool summaryItemChecked)
{
    switch (mode) {
    case ResultsDisplayMode::SummaryOnly:
        return ReportKind::Summary;
    case ResultsDisplayMode::DetailedOnly:
        return ReportKind::Detailed;
    default:
        return summaryItemChecked ? ReportKind::Summary : ReportKind::Detailed;
    }
}

} // namespace zx
