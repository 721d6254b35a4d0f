// The keys of a test's settings that decide its scoring, its two results
// reports and what the candidate may do with the results, read once into
// typed values.  Used at the end of a test, when a results file is opened
// and by the command-line tools.
//
// Integers are read with getTagInt (a value such as "1.5" or "yes" gives
// the default), texts with getTag, exactly as stored (Windows-1252).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

// Which reports the results page shows, and which first.
enum class ResultsDisplayMode {
    None = 0,
    SummaryOnly = 1,
    DetailedOnly = 2,
    BothSummaryFirst = 3,
    BothDetailedFirst = 4,
};

// showResults 0 and showResultsSummary 1: SummaryOnly; 1 and 0:
// DetailedOnly; both 1: BothSummaryFirst when resultsSummaryPriority is 1,
// else BothDetailedFirst; any other combination: None.
ResultsDisplayMode resultsDisplayMode(int showResults, int showResultsSummary, int resultsSummaryPriority);

inline constexpr int maxCategories = 30;
inline constexpr int maxDisplayRules = 50;

// One `dRule` element of `displayRules`: when enabled, compares the score
// (or, for type 1, the percentage) of a category or of the whole test with
// a threshold and writes its text into the summary when it holds.
struct DisplayRule {
    int enabled = 0;         // oEnabled; 0 = off
    std::string category;    // oCat; a name that is no category means the whole test
    int type = 0;            // oType; 1 = percentage, anything else = score
    std::string comparison;  // oComp: "=", "!=", "<", ">", "<=", "=>"; others never hold
    int threshold = 0;       // oScore, in whole marks or whole percent
    std::string text;        // oText

    bool operator==(const DisplayRule&) const = default;
};

struct ResultsSettings {
    // Heading of the reports.  "0" in testName and examinerName means none.
    std::string testName;
    std::string examinerName;
    std::string creationDisplayDate;
    int shouldUserEnterDetails = 0;
    std::array<std::string, 3> userEntryLabels;
    std::array<std::string, 3> userDetails;
    std::string testStartDisplayDate;
    std::string testEndDisplayDate;

    // Report content.
    int verboseResults = 0;   // exactly 1 adds each object's best and worst lines
    int showScore = 1;        // exactly 1 shows the score line in the summary
    int showPercentage = 1;   // exactly 1 shows the percentage line in the summary
    int useMinimumAsPercentageBaseline = 0;
    std::vector<DisplayRule> displayRules; // at most 50, in stored order

    // Scoring: the named categories in slot order (at most 30; an empty
    // `zxCategory` element ends the list).
    std::vector<std::string> categories;

    // The results page and what follows the test.
    int showResults = 0;
    int showResultsSummary = 0;
    int resultsSummaryPriority = 0;
    int allowFinishedQuestionViewing = 0;
    int allowSaving = 0;
    int allowPrinting = 0;

    bool hasTestName() const { return testName != "0"; }
    bool hasExaminer() const { return examinerName != "0"; }
    bool hasUserDetails() const { return shouldUserEnterDetails != 0; }
    bool verbose() const { return verboseResults == 1; }
    bool minimumIsBaseline() const { return useMinimumAsPercentageBaseline == 1; }
    bool finishedQuestionViewing() const { return allowFinishedQuestionViewing != 0; }
    ResultsDisplayMode displayMode() const
    {
        return resultsDisplayMode(showResults, showResultsSummary, resultsSummaryPriority);
    }

    static ResultsSettings parse(std::string_view testSettings);
};

// The category names of a `zxCategories` value: up to 30 `zxCategory`
// elements in order, stopping at the first empty one.
std::vector<std::string> parseCategoryList(std::string_view zxCategories);
// The rules of a `displayRules` value: up to 50 `dRule` elements in order,
// stopping at the first empty one.
std::vector<DisplayRule> parseDisplayRules(std::string_view displayRules);

} // namespace zx
