// Display rules of a test whose wrong answers cost marks: what a rule
// compares is the score as marked, whatever the worst mark.
#include "results/core/report_writer.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

TEST(ReportRules, ScoreRulesCompareTheScoreAsMarkedNotFromTheWorst)
{
    TestScore score;
    score.total = {200, 500, -300, 3};
    score.percentage = {6250, true}; // (200 + 300) / (500 + 300): the minimum as baseline
    score.categories = {{"Algebra", {100, 200, -100, 1}, {6666, true}}};
    const std::vector<DisplayRule> rules = {
        // Names that are no category stand for the whole test.
        {1, "Algebra", 0, "=", 2, "algebra two marks"},
        {1, "Algebra", 0, "=", 1, "algebra one mark"},
        {1, "whole", 0, "=", 5, "test five marks"},
        {1, "", 0, "=", 2, "test two marks"},
        {1, "p63", 1, "=>", 63, "test 63 %"},
        {1, "p62", 1, "=>", 62, "test 62 %"},
    };
    EXPECT_EQ(firedRuleTexts(rules, score),
              (std::vector<std::string>{"algebra one mark", "test two marks", "test 62 %"}));
}

} // namespace
} // namespace zx
