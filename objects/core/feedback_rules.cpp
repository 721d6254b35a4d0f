#include "objects/core/feedback_rules.h"

#include "tagtext/tagged_text.h"

namespace zx {

FeedbackCriterion FeedbackCriterion::fromRecord(std::string_view record)
{
    FeedbackCriterion c;
    c.criterion = getTagInt(record, "FeedbackCriteria", 0);
    c.scoreMatch = parseHundredths(getTag(record, "FeedbackScoreMatch"));
    c.scoreMin = parseHundredths(getTag(record, "FeedbackScoreMin"));
    c.scoreMax = parseHundredths(getTag(record, "FeedbackScoreMax"));
    return c;
}

bool FeedbackCriterion::matches(int score, int worst, int best, int pass) const
{
    switch (criterion) {
    case 0:
        return score == best;
    case 1:
        return score == worst;
    case 2:
        return score == scoreMatch;
    case 3:
        return (scoreMin <= score && score <= scoreMax) || (scoreMax <= score && score <= scoreMin);
    case 4:
        return pass == 1;
    case 5:
        return true;
    default:
        return false;
    }
}

bool feedbackEnabled(std::string_view bankSettings) { return getTag(bankSettings, "ShowFeedback") != "0"; }

bool showAllFeedbackMatches(std::string_view pageRecord)
{
    return getTagInt(pageRecord, "ShowAllFeedbackMatches", 0) != 0;
}

FeedbackChoice chooseFeedback(std::span<const std::optional<FeedbackCriterion>> slots, int score, int worst,
                              int best, bool showAll)
{
    FeedbackChoice choice;
    choice.touchPanels = true;
    bool anyShown = false;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i])
            continue;
        const FeedbackCriterion& c = *slots[i];
        if (!showAll && anyShown && c.criterion != 5)
            continue;
        if (c.matches(score, worst, best, 0)) {
            choice.shown.push_back(static_cast<int>(i));
            anyShown = true;
        }
    }
    if (anyShown)
        return choice;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] && slots[i]->matches(score, worst, best, 1))
            choice.shown.push_back(static_cast<int>(i));
    }
    return choice;
}

FeedbackChoice chooseFeedback(std::string_view bankSettings, std::string_view pageRecord,
                              std::span<const std::optional<FeedbackCriterion>> slots, int score, int worst,
                              int best)
{
    if (!feedbackEnabled(bankSettings))
        return {};
    return chooseFeedback(slots, score, worst, best, showAllFeedbackMatches(pageRecord));
}

} // namespace zx
