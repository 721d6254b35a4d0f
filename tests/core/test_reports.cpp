#include "app/core/language_file.h"
#include "results/core/finish_test.h"
#include "results/core/report_writer.h"
#include "tagtext/tagged_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

using namespace zx;

const ReportLabels labels{[](int n) { return "x" + std::to_string(n); }};
const std::string rule(reportRuleLine);

std::string el(const std::string& key, const std::string& value) { return makeElement(key, value); }

std::string questionList(const std::vector<std::string>& records)
{
    std::string list;
    for (std::size_t i = 0; i < records.size(); ++i)
        list += el("questionFile" + std::to_string(i), records[i]);
    return list;
}

std::vector<std::string> lines(const ReportDocument& document)
{
    std::vector<std::string> out;
    for (const Paragraph& paragraph : document.paragraphs)
        out.push_back(paragraph.text());
    return out;
}

std::vector<std::string> slice(const std::vector<std::string>& all, std::size_t from, std::size_t count)
{
    return {all.begin() + static_cast<std::ptrdiff_t>(from),
            all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), from + count))};
}

std::string choiceButton(int answer, const std::string& selected, const std::string& notSelected,
                         const std::string& extra = {})
{
    return el("zxButton", "<buttonType>0</buttonType><userAnswer>" + std::to_string(answer) + "</userAnswer>"
                              + el("buttonMarkIfSelected", selected) + el("buttonMarkIfNotSelected", notSelected)
                              + extra);
}

FinishedTest finish(const std::string& settings, const std::vector<std::string>& records)
{
    return finishTest(settings, questionList(records), static_cast<int>(records.size()) - 1, labels);
}

const std::string dates = "<testStartDisplayDate>start</testStartDisplayDate><testEndDisplayDate>end</testEndDisplayDate>";

TEST(Reports, HeadingsAndTheTotalsInsertedIntoThem)
{
    // Score 12.50 of 25.00 from two buttons.
    const std::string q = choiceButton(1, "12.5", "0") + choiceButton(0, "12.5", "0");
    const FinishedTest bare = finish(dates + "<testName>0</testName><ExaminerName>0</ExaminerName>", {q});
    const auto d = lines(bare.detailed);
    EXPECT_EQ(slice(d, 0, 15), (std::vector<std::string>{"x91", "", "x31 12.50 x41 25.00", "", "x44 50.00 %", "",
                                                         "x45 2", "", "", "x89 start", "x90 end", "", rule, "", ""}));
    // Inserted lines take the format found where they go: the score line
    // that of the empty heading lines, the items line the small italics of
    // the date block.
    const Paragraph& scoreLine = bare.detailed.paragraphs[2];
    EXPECT_EQ(scoreLine.runs.at(0).format, (CharFormat{"Arial", 10, true, false}));
    EXPECT_EQ(bare.detailed.paragraphs[6].runs.at(0).format, (CharFormat{"Arial", 8, false, true}));
    EXPECT_EQ(bare.detailed.paragraphs[0].runs.at(0).format, (CharFormat{"Arial", 12, true, false}));
    for (const Paragraph& paragraph : bare.detailed.paragraphs)
        EXPECT_EQ(paragraph.alignment, Alignment::Centre);
    EXPECT_EQ(lines(bare.summary), (std::vector<std::string>{"x91", "", "x89 start", "x90 end", "",
                                                              "x31 12.5 x41 25", "", "x44 50 %", "", "x45 2", "",
                                                              rule, ""}));
    EXPECT_EQ(bare.summary.paragraphs[5].runs.at(0).format, (CharFormat{"Arial", 10, true, false}));

    // No testName key at all: an empty title line and the totals two lines
    // further down.
    EXPECT_EQ(slice(lines(finish(dates + "<ExaminerName>0</ExaminerName>", {q}).detailed), 0, 5),
              (std::vector<std::string>{"", "", "x91", "", "x31 12.50 x41 25.00"}));

    // Everything in the heading.
    const std::string full = dates + "<testName>Quiz</testName><ExaminerName>Ann</ExaminerName>"
                             "<creationDisplayDate>today</creationDisplayDate><shouldUserEnterDetails>1</shouldUserEnterDetails>"
                             "<userEntryLabel1>Name</userEntryLabel1><userDetails1>Bo</userDetails1>"
                             "<userEntryLabel2>Class</userEntryLabel2><userEntryLabel3>Id</userEntryLabel3><userDetails3>7</userDetails3>";
    const FinishedTest all = finish(full, {q});
    EXPECT_EQ(slice(lines(all.detailed), 0, 19),
              (std::vector<std::string>{"Quiz", "", "x92 Ann", "x93 today", "", "x91", "", "Name: Bo", "Class: ", "Id: 7",
                                        "", "x31 12.50 x41 25.00", "", "x44 50.00 %", "", "x45 2", "", "", "x89 start"}));
    EXPECT_EQ(all.detailed.paragraphs[3].runs.at(0).format, (CharFormat{"Arial", 8, false, true}));
    EXPECT_EQ(slice(lines(all.summary), 0, 9),
              (std::vector<std::string>{"x92 Ann", "x93 today", "", "x91", "", "Name: Bo", "Class: ", "Id: 7", ""}));
}

TEST(Reports, QuestionAndObjectLines)
{
    const std::string record =
        "<ResultsText>Capitals</ResultsText><error>Bad</error>"
        + choiceButton(1, "2", "0", "<ButtonName>Red</ButtonName><buttonResultsText>-empty45646-</buttonResultsText>")
        + el("zxButton", "<buttonType>1</buttonType><ButtonName>-empty45646-</ButtonName><buttonMarkIfTrueSelected>1"
                         "</buttonMarkIfTrueSelected><buttonMarkIfFalseSelected>-1</buttonMarkIfFalseSelected>")
        + el("zxField", "<editRestriction>2</editRestriction><userAnswer> +007 </userAnswer><FieldAnswer1>7</FieldAnswer1>"
                        "<FieldMarkIfCorrect>1</FieldMarkIfCorrect><FieldResultsText>Type it</FieldResultsText>")
        + el("zxField", "<editRestriction>2</editRestriction><userAnswer>  seven   up </userAnswer><FieldName>N</FieldName>")
        + el("zxDrag", "<userAnswer>0</userAnswer><targets>0,Kennel,2,0,0,10,10;</targets><DragName>Dog</DragName>"
                       "<DragResultsText>-empty45646-</DragResultsText>")
        + el("zxButton", "<buttonType>4</buttonType><ButtonName>Odd</ButtonName>..........");
    const std::vector<std::string> expected = {
        "x97 1: Capitals", "Bad", "",
        "x96: Red", "x24", "x31 2.00", "",
        "x95", "", "x26", "x31 0.00", "",
        "",
        "x32 ", "Type it", "x35 7", "x31 1.00", "",
        "x32 N", "", "x35 seven up", "x31 0.00", "",
        "x37: Dog", "x38 Kennel", "x31 2.00", "",
        "x39 5.00 x40 6.00", "", "", "",
        "x97 2: ", "", // no objects: heading and empty line, no footer
        "x97 3", "",   // ResultsText marker
    };
    const std::string settings = dates + "<testName>0</testName><ExaminerName>0</ExaminerName>";
    const std::vector<std::string> records = {record, "<error>no</error> text", "<ResultsText>-empty45646-</ResultsText>",
                                              "0123456789"};
    const FinishedTest plain = finish(settings + "<VerboseResults>2</VerboseResults>", records);
    EXPECT_EQ(slice(lines(plain.detailed), 15, expected.size()), expected);
    EXPECT_EQ(lines(plain.detailed).size(), 15 + expected.size());
    EXPECT_EQ(plain.detailed.paragraphs[15].runs.at(0).format.bold, true);
    EXPECT_EQ(plain.detailed.paragraphs[18].runs.at(0).format.italic, true);
    EXPECT_EQ(plain.detailed.paragraphs[19].runs.at(0).format, (CharFormat{"Arial", 10, false, false}));

    const FinishedTest verbose = finish(settings + "<VerboseResults>1</VerboseResults>", records);
    const auto v = lines(verbose.detailed);
    EXPECT_EQ(slice(v, 18, 6), (std::vector<std::string>{"x96: Red", "x24", "x29 2.00", "x30 0.00", "x31 2.00", ""}));
    EXPECT_EQ(verbose.detailed.paragraphs[20].runs.at(0).format.pointSize, 8);
    EXPECT_EQ(verbose.detailed.paragraphs[22].runs.at(0).format.pointSize, 10);
    EXPECT_EQ(v.size(), 15 + expected.size() + 2 * 5);
}

TEST(Reports, EachVerdictAndFieldKindHasItsOwnLabel)
{
    auto trueFalse = [](int answer) {
        return el("zxButton", "<buttonType>1</buttonType><ButtonName>-empty45646-</ButtonName>"
                              "<buttonResultsText>-empty45646-</buttonResultsText><userAnswer>"
                                  + std::to_string(answer) + "</userAnswer><buttonMarkIfTrueSelected>1"
                                  "</buttonMarkIfTrueSelected>");
    };
    auto field = [](const char* restriction, const char* answer) {
        return el("zxField", std::string("<editRestriction>") + restriction + "</editRestriction><userAnswer>" + answer
                                 + "</userAnswer><FieldName>-empty45646-</FieldName>"
                                   "<FieldResultsText>-empty45646-</FieldResultsText>");
    };
    const std::string record = "<ResultsText>-empty45646-</ResultsText>"
                               + choiceButton(0, "1", "0",
                                              "<ButtonName>-empty45646-</ButtonName>"
                                              "<buttonResultsText>-empty45646-</buttonResultsText>")
                               + trueFalse(1)
                               + trueFalse(2) + field("1", "2.5") + field("0", "   ") + field("3", "word");
    const auto d = lines(finish(dates + "<testName>0</testName><ExaminerName>0</ExaminerName>", {record}).detailed);
    const std::vector<std::string> expected = {
        "x97 1", "",
        "x96", "x25", "x31 0.00", "",  // a choice left unselected
        "x95", "x27", "x31 1.00", "",  // true
        "x95", "x28", "x31 0.00", "",  // false
        "x33", "x35 2.5", "x31 0.00", "",   // decimal
        "x34", "x35", "x31 0.00", "",       // text, not answered: the label alone
        "x34", "x35 word", "x31 0.00", "",  // any other restriction is text
        "x39 1.00 x40 3.00"};
    EXPECT_EQ(slice(d, 15, expected.size()), expected);
}

TEST(Reports, TheTotalsGoWhereTheHeadingLeavesRoomForThem)
{
    // Every combination of test name, examiner and candidate's details: the
    // positions the verifier reads are those the writer used.
    const std::string q = choiceButton(1, "1", "0");
    for (int mask = 0; mask < 8; ++mask) {
        std::string settings = dates;
        settings += mask & 1 ? "<testName>T</testName>" : "<testName>0</testName>";
        settings += mask & 2 ? "<ExaminerName>E</ExaminerName>" : "<ExaminerName>0</ExaminerName>";
        if (mask & 4)
            settings += "<shouldUserEnterDetails>1</shouldUserEnterDetails>";
        const ResultsSettings parsed = ResultsSettings::parse(settings);
        const auto d = lines(finish(settings, {q}).detailed);
        const std::size_t at = detailedTotalsLine(parsed);
        ASSERT_LT(detailedHeadingRuleLine(parsed), d.size());
        EXPECT_EQ(d[at], "x31 1.00 x41 1.00") << mask;
        EXPECT_EQ(d[at + 2], "x44 100.00 %") << mask;
        EXPECT_EQ(d[at + 4], "x45 1") << mask;
        EXPECT_EQ(d[detailedHeadingRuleLine(parsed)], rule) << mask;
        EXPECT_EQ(std::count(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(detailedHeadingRuleLine(parsed)), rule),
                  0)
            << mask;
    }
}

TEST(Reports, PercentagesAndCategories)
{
    const std::string base = dates + "<testName>0</testName><ExaminerName>0</ExaminerName><zxCategories>"
                             "<zxCategory>Algebra</zxCategory><zxCategory>Empty</zxCategory></zxCategories>";
    // Score 2, best 4, worst 1.
    const std::vector<std::string> records = {"<Categories><cat>Algebra</cat></Categories>" + choiceButton(1, "3", "2")
                                              + choiceButton(1, "-1", "1")};
    const FinishedTest baseline = finish(base + "<UseMinimumAsPercentageBaseline>1</UseMinimumAsPercentageBaseline>", records);
    const auto d = lines(baseline.detailed);
    EXPECT_EQ(d[4], "x42 1.00 x43 33.33 %");
    EXPECT_EQ(slice(d, d.size() - 20, 20),
              (std::vector<std::string>{"x39 2.00 x40 4.00", "", "", "", "", rule, "", "x46", "", "x47 Algebra",
                                        "x49 2.00 x40 4.00", "x42 1.00 x43 33.33 %", "x50 2", "", "x47 Empty", "x48",
                                        "", "", "x51", "x52"}));
    EXPECT_EQ(slice(lines(baseline.summary), 5, 4),
              (std::vector<std::string>{"x31 2 x41 4", "", "x42 1 x43 33.33 %", ""}));
    EXPECT_EQ(lines(finish(base, records).summary)[7], "x44 50 %");

    // No best at all: "0 %" in both reports; no categories: no section.
    const FinishedTest zero = finish(dates + "<testName>0</testName><ExaminerName>0</ExaminerName>", {choiceButton(1, "0", "0")});
    EXPECT_EQ(lines(zero.detailed)[4], "x44 0 %");
    EXPECT_EQ(lines(zero.summary)[7], "x44 0 %");
    EXPECT_EQ(lines(zero.detailed).back(), "");

    // The summary shows score and percentage only for exactly 1.
    const FinishedTest hidden = finish(base + "<ShowScore>0</ShowScore><ShowPercentage>2</ShowPercentage>", records);
    EXPECT_EQ(slice(lines(hidden.summary), 5, 4), (std::vector<std::string>{"x45 2", "", rule, ""}));
}

TEST(Reports, FormatsOfTheCategorySectionAndAfterTheHeading)
{
    const std::string settings = dates + "<testName>0</testName><ExaminerName>0</ExaminerName><zxCategories>"
                                 "<zxCategory>Algebra</zxCategory></zxCategories>";
    const FinishedTest finished =
        finish(settings, {"<Categories><cat>Algebra</cat></Categories>" + choiceButton(1, "1", "0")});
    const std::vector<Paragraph>& p = finished.detailed.paragraphs;
    const auto d = lines(finished.detailed);
    const auto at = [&](const std::string& text) {
        return static_cast<std::size_t>(std::find(d.begin(), d.end(), text) - d.begin());
    };
    const CharFormat plain{"Arial", 10, false, false};
    const CharFormat bold{"Arial", 10, true, false};
    const CharFormat italic{"Arial", 10, false, true};
    // The empty line after the heading's rule line sets the body's format.
    EXPECT_EQ(p.at(detailedHeadingRuleLine(ResultsSettings::parse(settings)) + 2).endFormat, bold);
    EXPECT_EQ(p.at(at("x46")).runs.at(0).format, bold);
    EXPECT_EQ(p.at(at("x47 Algebra")).runs.at(0).format, italic);
    EXPECT_EQ(p.at(at("x49 1.00 x40 1.00")).runs.at(0).format, plain);
    EXPECT_EQ(p.at(at("x51")).runs.at(0).format, bold);
    EXPECT_EQ(p.at(at("x52")).runs.at(0).format, plain);

    // A category's lowest mark and percentage are its own, not the test's.
    const FinishedTest two = finish(settings + "<UseMinimumAsPercentageBaseline>1</UseMinimumAsPercentageBaseline>",
                                    {"<Categories><cat>Algebra</cat></Categories>" + choiceButton(1, "1", "-1"),
                                     choiceButton(0, "2", "-3")});
    const auto t = lines(two.detailed);
    EXPECT_EQ(t.at(4), "x42 -4.00 x43 28.57 %");
    const std::size_t algebra = static_cast<std::size_t>(std::find(t.begin(), t.end(), "x47 Algebra") - t.begin());
    EXPECT_EQ(slice(t, algebra, 4), (std::vector<std::string>{"x47 Algebra", "x49 1.00 x40 1.00",
                                                               "x42 -1.00 x43 100.00 %", "x50 1"}));
}

TEST(Reports, DisplayRules)
{
    // Each comparison at, below and above its threshold.
    const struct {
        const char* comparison;
        bool below, at, above;
    } comparisons[] = {{"=", false, true, false},  {"!=", true, false, true}, {"<", true, false, false},
                       {">", false, false, true},  {"<=", true, true, false}, {"=>", false, true, true},
                       {">=", false, false, false}, {"", false, false, false}};
    for (const auto& c : comparisons) {
        EXPECT_EQ(displayRuleHolds(c.comparison, 499, 500), c.below) << c.comparison;
        EXPECT_EQ(displayRuleHolds(c.comparison, 500, 500), c.at) << c.comparison;
        EXPECT_EQ(displayRuleHolds(c.comparison, 501, 500), c.above) << c.comparison;
    }

    TestScore score;
    score.total = {250, 500, 0, 3};
    score.percentage = {5000, true};
    score.categories = {{"Algebra", {100, 100, 0, 1}, {10000, true}}, {"Empty", {}, {}}};
    struct Case {
        const char* what;
        std::vector<DisplayRule> rules;
        std::vector<std::string> fired;
    };
    const Case cases[] = {
        {"the first rule for a category wins",
         {{1, "Algebra", 1, "=", 100, "a1"}, {1, "Algebra", 0, ">", 0, "a2"}, {1, "", 0, "=", 2, "no"},
          {1, "Other", 0, "<", 3, "test"}},
         {"a1", "test"}},
        {"a rule that does not fire does not block the next",
         {{1, "Algebra", 0, "!=", 1, "no"}, {0, "Algebra", 0, "=", 1, "off"}, {1, "Algebra", 0, "<=", 1, "a"}},
         {"a"}},
        {"=< and >= never fire, => is greater or equal",
         {{1, "x", 1, "=<", 50, "no"}, {1, "y", 1, ">=", 50, "no"}, {1, "z", 1, "=>", 50, "z"}, {1, "w", 1, " =", 50, "no"}},
         {"z"}},
        {"a category without items compares percentage 0", {{1, "Empty", 1, "=", 0, "e"}}, {"e"}},
        {"thresholds are not wrapped", {{1, "", 0, ">", INT_MAX, "no"}, {1, "t", 0, ">", INT_MIN, "t"}}, {"t"}},
        {"category texts are compared whole, whatever they hold",
         {{1, "a</uCat><uCat>Algebra", 0, "=>", 0, "joined"}, {1, "Algebra", 0, "=>", 0, "algebra"},
          {1, "Alg", 0, "=>", 0, "part"}},
         {"joined", "algebra", "part"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firedRuleTexts(c.rules, score), c.fired) << c.what;

    // Through the settings text: oScore '1.5' reads as 0; texts go into the
    // summary after the totals, each followed by an empty line.
    const std::string rules = "<displayRules><dRule><oEnabled>1</oEnabled><oCat>none</oCat><oComp>=</oComp>"
                              "<oScore>1.5</oScore><oText>Zero</oText></dRule><dRule><oEnabled>1</oEnabled>"
                              "<oCat>none</oCat><oComp>=</oComp><oText>Twice</oText></dRule></displayRules>";
    const auto summary = lines(finish(dates + rules, {choiceButton(0, "1", "0")}).summary);
    EXPECT_EQ(slice(summary, summary.size() - 4, 4), (std::vector<std::string>{rule, "", "Zero", ""}));
}

TEST(Reports, DisplayModes)
{
    using M = ResultsDisplayMode;
    const M expected[3][3][2] = {
        {{M::None, M::None}, {M::SummaryOnly, M::SummaryOnly}, {M::None, M::None}},
        {{M::DetailedOnly, M::DetailedOnly}, {M::BothDetailedFirst, M::BothSummaryFirst}, {M::None, M::None}},
        {{M::None, M::None}, {M::None, M::None}, {M::None, M::None}},
    };
    for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 3; ++s)
            for (int p = 0; p < 2; ++p) {
                EXPECT_EQ(resultsDisplayMode(r, s, p), expected[r][s][p]) << r << s << p;
                const std::string settings = "<showResults>" + std::to_string(r) + "</showResults><showResultsSummary>"
                                             + std::to_string(s) + "</showResultsSummary><ResultsSummaryPriority>"
                                             + std::to_string(p) + "</ResultsSummaryPriority>";
                EXPECT_EQ(finishTest(settings, "", -1, labels).displayMode, expected[r][s][p]);
            }
    const ResultsSettings defaults = ResultsSettings::parse("");
    EXPECT_EQ(defaults.displayMode(), M::None);
    EXPECT_FALSE(defaults.finishedQuestionViewing());
    EXPECT_EQ(defaults.showScore, 1);
    EXPECT_TRUE(defaults.hasTestName()); // missing is not "0"
}

TEST(Reports, TextsAndEndDates)
{
    // Language texts are Windows-1252 with CR LF breaks; a line stays one
    // paragraph and comes out as UTF-8.
    LanguageTexts texts;
    texts.messages[91] = "R\xE9sultats\r\nfinaux";
    texts.messages[97] = "Q\rn";
    const ReportLabels language = ReportLabels::fromLanguage(texts);
    const FinishedTest finished = finishTest("<testName>Caf\xE9\n</testName><ExaminerName>0</ExaminerName>",
                                             questionList({"<ResultsText>a\r\n\r\nb</ResultsText>......"}), 0, language);
    const auto d = lines(finished.detailed);
    EXPECT_EQ(d[0], "Caf\xC3\xA9 ");
    EXPECT_EQ(d[2], "R\xC3\xA9sultats finaux");
    EXPECT_EQ(d[d.size() - 2], "Q n 1: a  b");

    const LocalTime now{2026, 12, 6, 14, 30, 5, "Sunday", "December"};
    const std::string stamped = stampEndDates("<testEndDate>old</testEndDate><x>1</x>", now);
    EXPECT_EQ(getTag(stamped, "testEndDate"), "20261206143005");
    EXPECT_EQ(getTag(stamped, "testEndDisplayDate"), "2:30 pm, Sunday 6 December, 2026");
    EXPECT_EQ(getTag(stamped, "x"), "1");
    EXPECT_EQ(stamped.find("old"), std::string::npos);
}

} // namespace
