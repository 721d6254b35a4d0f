// The pages a finished test scores when the caller does not name the last
// one: those before the first page missing from the list.
#include "results/core/results_settings.h"
#include "results/core/scoring.h"
#include "tagtext/tagged_text.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

TEST(ScoringList, APageAfterAGapIsNoPartOfTheTest)
{
    const std::string button = makeElement(
        "zxButton", "<buttonType>0</buttonType><userAnswer>1</userAnswer><buttonMarkIfSelected>1</buttonMarkIfSelected>"
                    "<buttonMarkIfNotSelected>0</buttonMarkIfNotSelected>");
    // Page 2 is missing (a damaged list): page 3 was never part of the test.
    const std::string list = makeElement("questionFile0", button) + makeElement("questionFile1", button)
                             + makeElement("questionFile3", button + button);
    const TestScore score = scoreTest(ResultsSettings{}, list);
    EXPECT_EQ(score.questions.size(), 2u);
    EXPECT_EQ(score.total.score, 200);
    EXPECT_EQ(score.total.best, 200);
}

} // namespace
} // namespace zx
