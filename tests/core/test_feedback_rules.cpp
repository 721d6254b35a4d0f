#include "objects/core/feedback_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace zx;

namespace {

using Slots = std::vector<std::optional<FeedbackCriterion>>;

FeedbackCriterion crit(int c, int match = 0, int min = 0, int max = 0) { return {c, match, min, max}; }

std::vector<int> shown(const Slots& slots, int score, int worst, int best, bool showAll = false)
{
    return chooseFeedback(slots, score, worst, best, showAll).shown;
}

} // namespace

TEST(FeedbackRules, ReadsTheRecord)
{
    const FeedbackCriterion c = FeedbackCriterion::fromRecord(
        "<FeedbackCriteria>3</FeedbackCriteria><FeedbackScoreMin>0.8</FeedbackScoreMin>"
        "<FeedbackScoreMax>x</FeedbackScoreMax><FeedbackScoreMatch>1.5</FeedbackScoreMatch>");
    EXPECT_EQ(c.criterion, 3);
    EXPECT_EQ(c.scoreMin, 80);
    EXPECT_EQ(c.scoreMax, 0);
    EXPECT_EQ(c.scoreMatch, 150);
    EXPECT_EQ(FeedbackCriterion::fromRecord("").criterion, 0);
}

TEST(FeedbackRules, ChosenByScore)
{
    // A: full marks, B: 0 to 50, C: when nothing else showed; slot 1 is free.
    const Slots slots = {crit(0), std::nullopt, crit(3, 0, 0, 5000), crit(4)};
    EXPECT_EQ(shown(slots, 10000, 0, 10000), (std::vector<int>{0}));
    EXPECT_EQ(shown(slots, 3000, 0, 10000), (std::vector<int>{2}));
    EXPECT_EQ(shown(slots, 7000, 0, 10000), (std::vector<int>{3}));
    EXPECT_EQ(shown(slots, 5000, 0, 10000), (std::vector<int>{2})); // bounds included
}

TEST(FeedbackRules, FirstMatchOrAllMatches)
{
    const Slots slots = {crit(0), crit(2, 50), crit(5), crit(1)};
    EXPECT_EQ(shown(slots, 50, 0, 50), (std::vector<int>{0, 2}));
    EXPECT_EQ(shown(slots, 50, 0, 50, true), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(showAllFeedbackMatches("<ShowAllFeedbackMatches>1</ShowAllFeedbackMatches>"));
    EXPECT_FALSE(showAllFeedbackMatches("<ShowAllFeedbackMatches>x</ShowAllFeedbackMatches>"));
}

TEST(FeedbackRules, AlwaysPreventsTheFallback)
{
    const Slots slots = {crit(4), crit(5), crit(4), crit(9)};
    EXPECT_EQ(shown(slots, 0, 0, 100), (std::vector<int>{1}));
    const Slots fallbackOnly = {crit(4), crit(0), crit(4), crit(-1)};
    EXPECT_EQ(shown(fallbackOnly, 10, 0, 100), (std::vector<int>{0, 2}));
}

TEST(FeedbackRules, RangeBoundsInEitherOrder)
{
    const FeedbackCriterion reversed = crit(3, 0, 8000, 2000);
    EXPECT_TRUE(reversed.matches(5000, 0, 0, 0));
    EXPECT_TRUE(reversed.matches(8000, 0, 0, 0));
    EXPECT_TRUE(reversed.matches(2000, 0, 0, 0));
    EXPECT_FALSE(reversed.matches(8001, 0, 0, 0));
    EXPECT_FALSE(crit(4).matches(0, 0, 0, 0));
    EXPECT_TRUE(crit(4).matches(0, 0, 0, 1));
}

TEST(FeedbackRules, PageWithoutMarks)
{
    // score = best = worst = 0: criteria 0 and 1 both match, the first wins.
    const Slots slots = {crit(1), crit(0), crit(4)};
    EXPECT_EQ(shown(slots, 0, 0, 0), (std::vector<int>{0}));
    EXPECT_EQ(shown(slots, 0, 0, 0, true), (std::vector<int>{0, 1}));
}

TEST(FeedbackRules, SwitchedOffAndMarkedTwice)
{
    const Slots slots = {crit(0), crit(5)};
    const FeedbackChoice off = chooseFeedback("<ShowFeedback>0</ShowFeedback>", "", slots, 100, 0, 100);
    EXPECT_FALSE(off.touchPanels);
    EXPECT_TRUE(off.shown.empty());

    const FeedbackChoice on = chooseFeedback("<ShowFeedback> 0</ShowFeedback>", "", slots, 100, 0, 100);
    EXPECT_TRUE(on.touchPanels);
    EXPECT_EQ(on.shown, (std::vector<int>{0, 1}));
    // A second marking decides afresh from its own score.
    EXPECT_EQ(chooseFeedback("", "", slots, 100, 0, 100).shown, on.shown);
    const FeedbackChoice lower = chooseFeedback("", "", slots, 40, 0, 100);
    EXPECT_TRUE(lower.touchPanels);
    EXPECT_EQ(lower.shown, (std::vector<int>{1}));
}
