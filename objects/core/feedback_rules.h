// Which feedback panels (<zxFeedback> records) a marked page shows for its
// score, best and worst (hundredths).
//
// Criteria (`FeedbackCriteria`, default 0):
//   0 score = best        1 score = worst
//   2 score = FeedbackScoreMatch
//   3 FeedbackScoreMin <= score <= FeedbackScoreMax, bounds in either order
//   4 only when nothing else was shown      5 always      other: never
// Two passes in slot order.  First pass: every matching feedback shows;
// but when the page's `ShowAllFeedbackMatches` is 0 (the default), once one
// has shown only criterion-5 feedbacks show as well.  Second pass, only
// when the first showed nothing: every criterion-4 feedback shows.  So a
// criterion-5 feedback keeps every criterion-4 one hidden.
// When the bank settings' `ShowFeedback` is exactly "0" marking leaves the
// feedback panels alone: none is hidden, none is shown.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace zx {

struct FeedbackCriterion {
    int criterion = 0;
    int scoreMatch = 0; // hundredths
    int scoreMin = 0;
    int scoreMax = 0;

    static FeedbackCriterion fromRecord(std::string_view record);

    // The decision of one feedback in pass 0 (first) or 1 (second).
    bool matches(int score, int worst, int best, int pass) const;
};

// "ShowFeedback" of the bank settings is not exactly "0".
bool feedbackEnabled(std::string_view bankSettings);
// getTagInt(pageRecord, "ShowAllFeedbackMatches", 0) != 0.
bool showAllFeedbackMatches(std::string_view pageRecord);

struct FeedbackChoice {
    // False when feedback is switched off: the caller touches no panel.
    bool touchPanels = false;
    // The slots to show, in the order they are shown (their sounds play in
    // this order).  Every other panel is hidden.
    std::vector<int> shown;
};

// `slots` holds the page's 20 feedback slots (an empty optional is a free
// slot); the result names slots by their position in `slots`.
FeedbackChoice chooseFeedback(std::span<const std::optional<FeedbackCriterion>> slots, int score, int worst,
                              int best, bool showAll);
FeedbackChoice chooseFeedback(std::string_view bankSettings, std::string_view pageRecord,
                              std::span<const std::optional<FeedbackCriterion>> slots, int score, int worst,
                              int best);

} // namespace zx
