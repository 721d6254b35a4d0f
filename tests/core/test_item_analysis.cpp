// The item analysis of a class's results: the measures on values worked out
// by hand, the choices and typed answers, categories, files of several
// tests, and the table and page written from it.
#include "tests/fuzz/entries.h"
#include "results/core/item_analysis_report.h"
#include "tests/core/results_file_maker.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zx;
using zx::testing::choiceButton;

namespace {

std::string field(const std::string& typed)
{
    return makeElement("zxField", "<FieldName>Capital</FieldName><userAnswer>" + typed
                                      + "</userAnswer><FieldAnswer1>paris</FieldAnswer1>"
                                        "<FieldMarkIfCorrect>2</FieldMarkIfCorrect><FieldMarkIfIncorrect>0"
                                        "</FieldMarkIfIncorrect><FieldMarkIfNotSelected>0</FieldMarkIfNotSelected>");
}

std::string named(const std::string& button, const std::string& name)
{
    return makeElement("zxButton", "<ButtonName>" + name + "</ButtonName>" + getTag(button, "zxButton"));
}

// A question of three choice buttons, A keyed; `chosen` is 0, 1 or 2.
std::string choiceQuestion(int chosen, const std::string& categories = {})
{
    return "<ResultsText>Pick one</ResultsText>" + categories + named(choiceButton(chosen == 0, "1", "0"), "A")
           + named(choiceButton(chosen == 1, "0", "0"), "B") + named(choiceButton(chosen == 2, "0", "0"), "C");
}

const std::string settings = "<testName>Quiz</testName><zxCategories><zxCategory>Maps</zxCategory></zxCategories>";

CandidateResponses candidate(const std::vector<std::string>& records, const std::string& testSettings = settings)
{
    return collectResponses(zx::testing::finishedContent(testSettings, records));
}

} // namespace

TEST(ItemMeasures, SpreadCorrelationAndAlphaAgreeWithHandWorkedValues)
{
    // Sample SD of 2, 4, 4, 4, 5, 5, 7, 9: mean 5, squares 32, 32 / 7.
    const Spread spread = spreadOf({2, 4, 4, 4, 5, 5, 7, 9});
    EXPECT_EQ(spread.count, 8u);
    EXPECT_DOUBLE_EQ(spread.mean, 5);
    EXPECT_NEAR(spread.sd, std::sqrt(32.0 / 7), 1e-12);
    // Values far from 0 that differ little lose nothing in two passes.
    const Spread far = spreadOf({1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16});
    EXPECT_NEAR(far.sd, std::sqrt(30.0), 1e-6);
    EXPECT_EQ(spreadOf({3}).sd, 0);
    EXPECT_EQ(spreadOf({}).count, 0u);

    EXPECT_NEAR(*correlation({1, 2, 3, 4}, {2, 4, 6, 8}), 1, 1e-12);
    EXPECT_NEAR(*correlation({1, 2, 3, 4}, {8, 6, 4, 2}), -1, 1e-12);
    // x = 1, 2, 3; y = 1, 3, 2: sxy 1, sxx 2, syy 2.
    EXPECT_NEAR(*correlation({1, 2, 3}, {1, 3, 2}), 0.5, 1e-12);
    EXPECT_FALSE(correlation({1, 1, 1}, {1, 2, 3}));
    EXPECT_FALSE(correlation({1, 2, 3}, {5, 5, 5}));
    EXPECT_FALSE(correlation({1}, {2}));

    // Two questions, three candidates: item variances 1 and 1, totals 0, 2, 4
    // with variance 4: alpha = 2 * (1 - 2 / 4) = 1.
    EXPECT_NEAR(*cronbachAlpha({{0, 0}, {1, 1}, {2, 2}}), 1, 1e-12);
    // Items against each other: totals do not vary.
    EXPECT_FALSE(cronbachAlpha({{0, 1}, {1, 0}}));
    // Item variances 1/3, 1/3, 1/3 (0,0,1,1 / 0,1,0,1 / 0,1,1,1 -> 1/4 . 4/3 ...)
    // worked out: rows 000, 011, 101, 111 -> totals 0, 2, 2, 3, variance 1.5833;
    // item variances 0.3333, 0.3333, 0.25: alpha = 1.5 * (1 - 0.9167 / 1.5833).
    EXPECT_NEAR(*cronbachAlpha({{0, 0, 0}, {0, 1, 1}, {1, 0, 1}, {1, 1, 1}}), 1.5 * (1 - (11.0 / 12) / (19.0 / 12)),
                1e-12);
    EXPECT_FALSE(cronbachAlpha({{1, 2}}));
    EXPECT_FALSE(cronbachAlpha({{1}, {2}}));

    EXPECT_EQ(formatDecimal(-0.0001, 3), "0.000");
    EXPECT_EQ(formatDecimal(-0.25, 2), "-0.25");
    EXPECT_EQ(formatDecimal(2.0 / 3, 3), "0.667");
}

TEST(ItemAnalysis, ChoicesTypedAnswersAndFlagsOfAQuestion)
{
    // Q1: A keyed.  Strong candidates (who got Q2) chose B, weak ones A:
    // B's mean total beats A's, and Q1 correlates negatively with the rest.
    ItemAnalysis analysis;
    const std::vector<std::pair<int, std::string>> people = {{0, "Lyon"}, {0, " lyon "}, {1, "Paris"}, {1, "paris"},
                                                             {1, ""},     {2, "Rome"}};
    for (std::size_t k = 0; k < people.size(); ++k) {
        const int chosen = people[k].first;
        analysis.add("r" + std::to_string(k), candidate({choiceQuestion(chosen), field(people[k].second)}));
    }
    const TestStatistics s = analysis.result();
    ASSERT_EQ(s.questions.size(), 2u);
    EXPECT_EQ(s.candidates, 6u);
    EXPECT_EQ(s.testName, "Quiz");

    const QuestionStatistics& q1 = s.questions[0];
    EXPECT_EQ(q1.text, "Pick one");
    EXPECT_EQ(q1.candidates, 6u);
    EXPECT_NEAR(q1.mean, 2.0 / 6, 1e-12);
    EXPECT_NEAR(*q1.facility, 1.0 / 3, 1e-12);
    ASSERT_EQ(q1.options.size(), 3u);
    EXPECT_TRUE(q1.options[0].keyed);
    EXPECT_FALSE(q1.options[1].keyed);
    EXPECT_EQ(q1.options[0].option, "A");
    EXPECT_EQ(q1.options[1].chosen, 3u);
    EXPECT_NEAR(q1.options[1].proportion, 0.5, 1e-12);
    // Totals: A-choosers 1 + 0 each (they typed Lyon), B-choosers 0 + 2, 0 + 2, 0 + 0.
    EXPECT_NEAR(q1.options[0].meanTotal, 1, 1e-12);
    EXPECT_NEAR(q1.options[1].meanTotal, 4.0 / 3, 1e-12);
    EXPECT_TRUE(q1.options[1].flagged);
    EXPECT_FALSE(q1.options[2].flagged); // Rome: total 0, below the keyed answer's
    EXPECT_FALSE(q1.options[0].flagged);
    ASSERT_TRUE(q1.discrimination);
    EXPECT_LT(*q1.discrimination, 0);
    ASSERT_EQ(q1.flags.size(), 2u);
    EXPECT_EQ(q1.flags[0].rfind("negative discrimination -", 0), 0u) << q1.flags[0];
    EXPECT_EQ(q1.flags[1], "distractor \"B\" drew candidates with a higher mean total (1.33) than the keyed answer (1.00)");

    // Typed answers as the report shows them, most frequent first, the
    // blank one counted apart.
    const QuestionStatistics& q2 = s.questions[1];
    ASSERT_EQ(q2.fields.size(), 1u);
    EXPECT_EQ(q2.fields[0].objectName, "Capital");
    EXPECT_EQ(q2.fields[0].blank, 1u);
    ASSERT_EQ(q2.fields[0].answers.size(), 3u);
    EXPECT_EQ(q2.fields[0].answers[0].answer, "lyon");
    EXPECT_EQ(q2.fields[0].answers[0].count, 2u);
    EXPECT_EQ(q2.fields[0].answers[1].answer, "paris");
    EXPECT_EQ(q2.fields[0].answers[1].count, 2u);
    EXPECT_EQ(q2.fields[0].answers[2].answer, "rome");
    EXPECT_NEAR(*q2.facility, 4.0 / 12, 1e-12);
    EXPECT_TRUE(q2.options.empty());
}

TEST(ItemAnalysis, TotalsDistributionCategoriesAndMissingQuestions)
{
    const std::string cat = "<Categories><cat>Maps</cat></Categories>";
    ItemAnalysis analysis;
    // Totals 1, 1, 0 (and a fourth candidate with the first question only).
    analysis.add("a", candidate({choiceQuestion(0, cat), choiceQuestion(1)}));
    analysis.add("b", candidate({choiceQuestion(1, cat), choiceQuestion(0)}));
    analysis.add("c", candidate({choiceQuestion(2, cat), choiceQuestion(2)}));
    analysis.add("d", candidate({choiceQuestion(0, cat)}));
    const TestStatistics s = analysis.result();
    EXPECT_EQ(s.candidates, 4u);
    EXPECT_NEAR(s.mean, 0.75, 1e-12);
    EXPECT_NEAR(s.median, 1, 1e-12);
    EXPECT_EQ(s.lowest, 0);
    EXPECT_EQ(s.highest, 1);
    EXPECT_EQ(s.best, 2);
    EXPECT_NEAR(s.meanPercentage, (50 + 50 + 0 + 100) / 4.0, 1e-12);
    // Only the three candidates with both questions count in alpha.
    EXPECT_EQ(s.alphaCandidates, 3u);
    ASSERT_EQ(s.questions.size(), 2u);
    EXPECT_EQ(s.questions[0].candidates, 4u);
    EXPECT_EQ(s.questions[1].candidates, 3u);
    // One bin per whole mark from the lowest possible (0) to the best (2).
    ASSERT_EQ(s.distribution.size(), 3u);
    EXPECT_EQ(s.distribution[0].count, 1u);
    EXPECT_EQ(s.distribution[1].count, 3u);
    EXPECT_EQ(s.distribution[2].count, 0u);
    EXPECT_EQ(s.distribution[2].from, 2);

    ASSERT_EQ(s.categories.size(), 1u);
    EXPECT_EQ(s.categories[0].name, "Maps");
    EXPECT_EQ(s.categories[0].candidates, 4u);
    EXPECT_NEAR(s.categories[0].meanScore, 0.5, 1e-12);
    EXPECT_NEAR(s.categories[0].meanBest, 1, 1e-12);
    EXPECT_NEAR(s.categories[0].meanPercentage, 50, 1e-12);
    EXPECT_NEAR(s.categories[0].meanItems, 3, 1e-12);
}

TEST(ItemAnalysis, TheTestMostFilesShareIsAnalysedTheOthersLeftOut)
{
    ItemAnalysis analysis;
    EXPECT_EQ(analysis.result().candidates, 0u);
    const std::string other = "<testName>Other</testName>";
    analysis.add("o1", candidate({choiceQuestion(0)}, other));
    analysis.add("q1", candidate({choiceQuestion(0)}));
    analysis.add("q2", candidate({choiceQuestion(1)}));
    analysis.add("o2", candidate({choiceQuestion(1)}, other));
    analysis.add("q3", candidate({choiceQuestion(1)}));
    TestStatistics s = analysis.result();
    EXPECT_EQ(s.testName, "Quiz");
    EXPECT_EQ(s.candidates, 3u);
    ASSERT_EQ(s.leftOut.size(), 2u);
    EXPECT_EQ(s.leftOut[0].file, "o1");
    EXPECT_EQ(s.leftOut[1].file, "o2");
    EXPECT_EQ(s.leftOut[1].testName, "Other");
    EXPECT_EQ(testDescription(s.leftOut[1].testName, s.leftOut[1].bankName), "test \"Other\" of quiz.zxb");
    EXPECT_EQ(testDescription("", ""), "a test without a name");

    // As many files of each: the first test seen wins.
    ItemAnalysis tie;
    tie.add("o1", candidate({choiceQuestion(0)}, other));
    tie.add("q1", candidate({choiceQuestion(0)}));
    EXPECT_EQ(tie.result().testName, "Other");
}

TEST(ItemAnalysisReport, TableAndPageEscapeWhatTheFilesHold)
{
    ItemAnalysis analysis;
    const std::string evil = "<testName>=cmd|'/c calc'!A0</testName>";
    analysis.add("a", candidate({named(choiceButton(1, "1", "0"), "<script>alert(1)</script>")}, evil));
    analysis.add("b", candidate({named(choiceButton(0, "1", "0"), "<script>alert(1)</script>")}, evil));
    const TestStatistics s = analysis.result();

    const std::string csv = writeStatisticsTable(s, TableFormat::Csv);
    EXPECT_EQ(csv.rfind("Measure,Value\r\nTest,'=cmd|'/c calc'!A0\r\nBank,quiz.zxb\r\nCandidates,2\r\n", 0), 0u)
        << csv;
    EXPECT_NE(csv.find("\r\nQ1,1,choice,<script>alert(1)</script>,yes,1,0.500,1.00,\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n\r\nTotal from,Total to,Candidates\r\n0.00,1.00,1\r\n1.00,2.00,1\r\n"), std::string::npos);
    const std::string tsv = writeStatisticsTable(s, TableFormat::Tsv);
    EXPECT_NE(tsv.find("\nMean\t0.50\n"), std::string::npos);
    EXPECT_EQ(tsv.find('\r'), std::string::npos);

    const std::string page = writeStatisticsPage(s);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.find("<h1>Item analysis: =cmd|&#39;/c calc&#39;!A0</h1>"), std::string::npos);
    EXPECT_EQ(htmlText("a\x01" "b\tc\x7f"), "a b\tc ");
    // Three charts, each a whole SVG element.
    std::size_t charts = 0;
    for (std::size_t at = 0; (at = page.find("<svg ", at)) != std::string::npos; ++at)
        ++charts;
    EXPECT_EQ(charts, 3u);
    EXPECT_EQ(fuzz::itemAnalysis(buildResultsContent(zx::testing::finishedContent(settings, {choiceQuestion(1)}))), "");
}

TEST(ItemAnalysisReport, FlaggedQuestionsComeFirstOnThePage)
{
    ItemAnalysis analysis;
    // Q1 discriminates well, Q2 is answered by everyone (facility 1).
    for (int k = 0; k < 4; ++k)
        analysis.add("r" + std::to_string(k),
                     candidate({choiceQuestion(k < 2 ? 0 : 1), choiceQuestion(0), choiceQuestion(k < 2 ? 0 : 1)}));
    const TestStatistics s = analysis.result();
    ASSERT_EQ(s.questions.size(), 3u);
    const std::string page = writeStatisticsPage(s);
    const std::size_t q1 = page.find("<div class=\"question\" id=\"q1\">");
    const std::size_t q2 = page.find("<div class=\"question flagged\" id=\"q2\">");
    ASSERT_NE(q2, std::string::npos);
    ASSERT_NE(q1, std::string::npos) << "Q1 is not flagged";
    EXPECT_LT(q2, q1);
    EXPECT_NE(page.find("facility 1.000 over 0.9: very easy"), std::string::npos);
}
