#include "results/core/results_settings.h"

#include "results/core/element_sequence.h"
#include "tagtext/tagged_text.h"

namespace zx {

ResultsDisplayMode resultsDisplayMode(int showResults, int showResultsSummary, int resultsSummaryPriority)
{
    if (showResults == 0 && showResultsSummary == 1)
        return ResultsDisplayMode::SummaryOnly;
    if (showResults == 1 && showResultsSummary == 0)
        return ResultsDisplayMode::DetailedOnly;
    if (showResults == 1 && showResultsSummary == 1)
        return resultsSummaryPriority == 1 ? ResultsDisplayMode::BothSummaryFirst
                                           : ResultsDisplayMode::BothDetailedFirst;
    return ResultsDisplayMode::None;
}

std::vector<std::string> parseCategoryList(std::string_view zxCategories)
{
    // Each name is read and removed in turn; an empty element is never
    // removed, so it hides itself and everything after it.
    std::vector<std::string> names;
    ElementSequence elements(zxCategories);
    while (names.size() < static_cast<std::size_t>(maxCategories)) {
        const auto name = elements.take("zxCategory");
        if (!name || name->empty())
            break;
        names.emplace_back(*name);
    }
    return names;
}

std::vector<DisplayRule> parseDisplayRules(std::string_view displayRules)
{
    std::vector<DisplayRule> rules;
    ElementSequence elements(displayRules);
    while (rules.size() < static_cast<std::size_t>(maxDisplayRules)) {
        const auto r = elements.take("dRule");
        if (!r || r->empty())
            break;
        DisplayRule rule;
        rule.enabled = getTagInt(*r, "oEnabled", 0);
        rule.category = getTag(*r, "oCat");
        rule.type = getTagInt(*r, "oType", 0);
        rule.comparison = getTag(*r, "oComp");
        rule.threshold = getTagInt(*r, "oScore", 0);
        rule.text = getTag(*r, "oText");
        rules.push_back(std::move(rule));
    }
    return rules;
}

ResultsSettings ResultsSettings::parse(std::string_view s)
{
    ResultsSettings r;
    r.testName = getTag(s, "testName");
    r.examinerName = getTag(s, "ExaminerName");
    r.creationDisplayDate = getTag(s, "creationDisplayDate");
    r.shouldUserEnterDetails = getTagInt(s, "shouldUserEnterDetails", 0);
    for (int n = 0; n < 3; ++n) {
        const std::string number = std::to_string(n + 1);
        r.userEntryLabels[static_cast<std::size_t>(n)] = getTag(s, "userEntryLabel" + number);
        r.userDetails[static_cast<std::size_t>(n)] = getTag(s, "userDetails" + number);
    }
    r.testStartDisplayDate = getTag(s, "testStartDisplayDate");
    r.testEndDisplayDate = getTag(s, "testEndDisplayDate");
    r.verboseResults = getTagInt(s, "VerboseResults", 0);
    r.showScore = getTagInt(s, "ShowScore", 1);
    r.showPercentage = getTagInt(s, "ShowPercentage", 1);
    r.useMinimumAsPercentageBaseline = getTagInt(s, "UseMinimumAsPercentageBaseline", 0);
    r.displayRules = parseDisplayRules(getTag(s, "displayRules"));
    r.categories = parseCategoryList(getTag(s, "zxCategories"));
    r.showResults = getTagInt(s, "showResults", 0);
    r.showResultsSummary = getTagInt(s, "showResultsSummary", 0);
    r.resultsSummaryPriority = getTagInt(s, "ResultsSummaryPriority", 0);
    r.allowFinishedQuestionViewing = getTagInt(s, "allowFinishedQuestionViewing", 0);
    r.allowSaving = getTagInt(s, "allowSaving", 0);
    r.allowPrinting = getTagInt(s, "allowPrinting", 0);
    return r;
}

} // namespace zx
