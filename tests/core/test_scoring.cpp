#include "results/core/element_sequence.h"
#include "results/core/results_settings.h"
#include "results/core/scoring.h"
#include "tagtext/tagged_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace zx;

std::string el(const std::string& key, const std::string& value) { return makeElement(key, value); }

std::string choiceButton(int answer, const std::string& selected, const std::string& notSelected)
{
    return el("zxButton", "<buttonType>0</buttonType><userAnswer>" + std::to_string(answer) + "</userAnswer>"
                              + el("buttonMarkIfSelected", selected) + el("buttonMarkIfNotSelected", notSelected));
}

std::string trueFalseButton(int answer, const std::string& t, const std::string& f, const std::string& x)
{
    return el("zxButton", "<buttonType>1</buttonType><userAnswer>" + std::to_string(answer) + "</userAnswer>"
                              + el("buttonMarkIfTrueSelected", t) + el("buttonMarkIfFalseSelected", f)
                              + el("buttonMarkIfNoTFSelection", x));
}

std::string field(int restriction, const std::string& answer, const std::string& accepted, int useRange = 0)
{
    return el("zxField", el("editRestriction", std::to_string(restriction)) + el("useRange", std::to_string(useRange))
                             + el("userAnswer", answer) + accepted + el("FieldMarkIfCorrect", "1")
                             + el("FieldMarkIfIncorrect", "-0.5") + el("FieldMarkIfNotSelected", "0"));
}

std::string drag(const std::string& answer, const std::string& targets, const std::string& notDropped)
{
    return el("zxDrag", el("userAnswer", answer) + el("targets", targets) + el("DragMarkIfNotSelected", notDropped));
}

std::string questionList(const std::vector<std::string>& records)
{
    std::string list;
    for (std::size_t i = 0; i < records.size(); ++i)
        list += el("questionFile" + std::to_string(i), records[i]) + "\r\n";
    return list;
}

TestScore scoreOne(const std::string& record, const std::string& settings = {})
{
    return scoreTest(ResultsSettings::parse(settings), questionList({record}), 0);
}

ScoreTally tally(int score, int best, int worst, int items) { return {score, best, worst, items}; }

// Scoring by the letter: each element read with getTag and removed from a
// working copy with deleteTag.
struct LiteralObject {
    AnswerKind kind;
    std::string record;
};
ScoreTally literalQuestion(const std::string& record, std::vector<LiteralObject>& objects)
{
    std::string w = record;
    ScoreTally t;
    int counts[3] = {0, 0, 0};
    const char* keys[3] = {"zxButton", "zxField", "zxDrag"};
    for (int kind = 0; kind < 3; ++kind) {
        for (int n = 0; n < 60; ++n) {
            const std::string v = getTag(w, keys[kind]);
            w = deleteTag(w, keys[kind]);
            if (kind == 0 ? v.size() <= 29 : v.size() < 5) {
                if (kind == 0)
                    continue;
                break;
            }
            ++counts[kind];
            const ObjectMarks m = kind == 0   ? markStoredButton(v)
                                  : kind == 1 ? markStoredField(v)
                                              : markStoredDrag(v);
            t.add(m);
            objects.push_back({static_cast<AnswerKind>(kind), v});
        }
    }
    const int limit = getTagInt(record, "numSelections", 0);
    if (limit > 0) {
        counts[0] = std::min(counts[0], limit);
        counts[2] = std::min(counts[2], limit);
    }
    t.items = counts[0] + counts[1] + counts[2];
    return t;
}

struct Recorder : ScoringObserver {
    std::vector<std::string> events;
    std::vector<LiteralObject> objects;
    void questionStarted(int index, std::string_view) override { events.push_back("q" + std::to_string(index)); }
    void objectScored(int index, AnswerKind kind, std::string_view record, const ObjectMarks&) override
    {
        events.push_back("o" + std::to_string(index) + "." + std::to_string(static_cast<int>(kind)));
        objects.push_back({kind, std::string(record)});
    }
    void questionFinished(const QuestionScore& q) override { events.push_back("f" + std::to_string(q.index)); }
};

TEST(ElementSequence, MatchesGetTagAndDeleteTagOnOddTexts)
{
    // Stray and split marks, white space, short values: every step gives the
    // value, the working text and the "unchanged" answer of the literal way.
    const std::vector<std::string> pieces = {"<a>", "</a>", "<b>", "</b>", " ", "\r\n", "\t\t\t\t\t\t", "x",
                                             "yy",  "<",    "a>",  "/a>",  "</", "<a", "</b", "zzzzzzz"};
    std::mt19937 rng(7);
    for (int round = 0; round < 40000; ++round) {
        std::string text;
        for (int n = static_cast<int>(rng() % 14); n > 0; --n)
            text += pieces[rng() % pieces.size()];
        ElementSequence sequence(text);
        std::string working = text;
        for (int step = 0; step < 8; ++step) {
            const std::string key = rng() % 2 ? "a" : "b";
            const std::string value = getTag(working, key);
            const std::string after = deleteTag(working, key);
            const auto taken = sequence.take(key);
            ASSERT_EQ(taken ? std::string(*taken) : std::string(), value) << text << " step " << step;
            ASSERT_EQ(!taken, after == working) << text << " step " << step;
            ASSERT_EQ(sequence.workingText(), after) << text << " step " << step;
            working = after;
        }
    }
    // Leading white space and a stray close mark: deleteTag copies a piece
    // instead of removing the element; the sequence does the same.
    ElementSequence odd("       </a>x<a>v</a>");
    EXPECT_EQ(odd.take("a").value(), "");
    EXPECT_EQ(odd.workingText(), "</a>xx<a>v</a>");
}

TEST(Scoring, ObjectRules)
{
    struct Case {
        const char* what;
        std::string record;
        ScoreTally expected;
    };
    const std::string targets = "0,A,2,0,0,10,10;1,B,-1,0,0,10,10;150,C,9,0,0,10,10;3,Box,2,0,0,0,0;";
    const std::string shortButton = "<zxButton><buttonType>0</buttonType>xyz</zxButton>"; // 29 characters
    ASSERT_EQ(getTag(shortButton, "zxButton").size(), 29u);
    const Case cases[] = {
        {"one choice button", choiceButton(1, "2", "0"), tally(200, 200, 0, 1)},
        {"true/false, no answer", trueFalseButton(0, "1", "-1", "0"), tally(0, 100, -100, 1)},
        {"true/false, any other answer is false", trueFalseButton(7, "1", "-1", "0"), tally(-100, 100, -100, 1)},
        {"29 characters are no object, the next is read", shortButton + choiceButton(0, "2", "1"),
         tally(100, 200, 100, 1)},
        {"unknown button type counts, marks nothing",
         el("zxButton", "<buttonType>5</buttonType><buttonMarkIfSelected>3</buttonMarkIfSelected>"), tally(0, 0, 0, 1)},
        {"text answer trimmed, spaces reduced, case ignored",
         field(0, "  Paris   France ", el("FieldAnswer1", "x") + el("FieldAnswer2", "y") + el("FieldAnswer3", "paris france")),
         tally(100, 100, -50, 1)},
        {"whole-number range in either order", field(2, "7", el("FieldAnswer1", "10") + el("FieldAnswer2", "5"), 1),
         tally(100, 100, -50, 1)},
        {"outside the range", field(2, "12", el("FieldAnswer1", "10") + el("FieldAnswer2", "5"), 1),
         tally(-50, 100, -50, 1)},
        {"no whole number", field(2, "seven", el("FieldAnswer1", "10") + el("FieldAnswer2", "5"), 1),
         tally(-50, 100, -50, 1)},
        {"decimal -2.50 equals -2.5", field(1, "-2.50", el("FieldAnswer1", "-2.5")), tally(100, 100, -50, 1)},
        {"empty answer", field(0, "   ", el("FieldAnswer1", "a")), tally(0, 100, -50, 1)},
        {"drag not dropped", drag("-1", targets, "0.5"), tally(50, 200, -100, 1)},
        {"drag on a target", drag("0", targets, "0.5"), tally(200, 200, -100, 1)},
        {"drag on an undefined target", drag("3", targets, "0.5"), tally(50, 200, -100, 1)},
        {"drag on index 150", drag("150", targets, "0.5"), tally(50, 200, -100, 1)},
        {"numSelections 1 caps buttons, all are scored",
         "<numSelections>1</numSelections>" + choiceButton(1, "1", "0") + choiceButton(1, "1", "0")
             + choiceButton(0, "1", "0") + choiceButton(1, "1", "0"),
         tally(300, 400, 0, 1)},
        {"numSelections caps drags, never fields",
         "<numSelections>1</numSelections>" + field(0, "a", el("FieldAnswer1", "a")) + field(0, "b", el("FieldAnswer1", "a"))
             + drag("-1", targets, "0") + drag("-1", targets, "0"),
         tally(50, 600, -300, 3)},
        {"field list ends at a short element",
         field(0, "a", el("FieldAnswer1", "a")) + "<zxField>abc</zxField>" + field(0, "a", el("FieldAnswer1", "a")),
         tally(100, 100, -50, 1)},
        {"marks that are no numbers count 0", choiceButton(1, "two", "none"), tally(0, 0, 0, 1)},
    };
    for (const Case& c : cases) {
        const TestScore score = scoreOne(c.record);
        ASSERT_EQ(score.questions.size(), 1u) << c.what;
        EXPECT_EQ(score.questions[0].tally, c.expected) << c.what;
        EXPECT_EQ(score.total, c.expected) << c.what;
    }
}

TEST(Scoring, QuestionsCategoriesAndPercentages)
{
    const std::string settings = "<zxCategories><zxCategory>Algebra</zxCategory><zxCategory>Alg</zxCategory>"
                                 "<zxCategory>Algebra</zxCategory><zxCategory>Unused</zxCategory></zxCategories>";
    const std::string list = questionList({
        "<Categories><cat>Algebra</cat></Categories>" + choiceButton(1, "2", "0"),
        "0123456789",                                    // 10 characters: skipped
        "<Categories><cat>Alg</cat></Categories> text",  // no objects: adds nothing
        choiceButton(0, "1", "-1") + trueFalseButton(1, "1", "0", "0"),
    });
    Recorder recorder;
    const TestScore score = scoreTest(ResultsSettings::parse(settings), list, 3, &recorder);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"q0", "o0.0", "f0", "q2", "f2", "q3", "o3.0", "o3.0", "f3"}));
    ASSERT_EQ(score.questions.size(), 3u);
    EXPECT_EQ(score.questions[1], (QuestionScore{2, {}, false}));
    EXPECT_EQ(score.total, tally(200, 400, -100, 3));
    EXPECT_EQ(score.percentage, (Percentage{5000, true}));
    ASSERT_EQ(score.categories.size(), 4u);
    EXPECT_EQ(score.categories[0].tally, tally(200, 200, 0, 1));
    EXPECT_EQ(score.categories[0].percentage, (Percentage{10000, true}));
    EXPECT_FALSE(score.categories[1].hasItems()); // 'Alg' is not 'Algebra'
    EXPECT_EQ(score.categories[2].tally, score.categories[0].tally);
    EXPECT_EQ(score.categories[3].percentage, Percentage{});

    // The last index comes from the caller; the convenience finds it.
    EXPECT_EQ(scoreTest(ResultsSettings::parse(settings), list, 0).total, tally(200, 200, 0, 1));
    EXPECT_EQ(scoreTest(ResultsSettings::parse(settings), questionList({choiceButton(1, "2", "0")})).total.items, 1);

    // Percentages: the baseline, no base, truncation, negatives and sums
    // far beyond 2147.48 marks.
    EXPECT_EQ(scorePercentage(tally(300, 400, 100, 1), true), (Percentage{6666, true}));
    EXPECT_EQ(scorePercentage(tally(300, 400, 100, 1), false), (Percentage{7500, true}));
    EXPECT_EQ(scorePercentage(tally(0, 0, 0, 0), false), Percentage{});
    EXPECT_EQ(scorePercentage(tally(100, 100, 100, 1), true), Percentage{});
    EXPECT_EQ(scorePercentage(tally(-100, 300, -100, 1), false), (Percentage{-3333, true}));
    EXPECT_EQ(scorePercentage(tally(300000, 400000, 0, 1), false), (Percentage{7500, true}));
    EXPECT_EQ(scorePercentage(tally(INT_MAX, 1, 0, 1), false), (Percentage{INT_MAX, true}));
    EXPECT_EQ(scoreOne("no objects in this record").percentage, Percentage{});
}

TEST(Scoring, SettingsLists)
{
    EXPECT_EQ(parseCategoryList("<zxCategory>A</zxCategory><zxCategory></zxCategory><zxCategory>B</zxCategory>"),
              std::vector<std::string>{"A"});
    std::string many;
    for (int k = 0; k < 31; ++k)
        many += el("zxCategory", " C" + std::to_string(k));
    const auto names = parseCategoryList(many);
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names[29], " C29"); // names are kept exactly

    std::string rules;
    for (int k = 0; k < 51; ++k)
        rules += el("dRule", el("oEnabled", "1") + el("oCat", "c") + el("oType", "1") + el("oComp", "=>")
                                 + el("oScore", k == 0 ? "1.5" : "7") + el("oText", "t" + std::to_string(k)));
    const auto parsed = parseDisplayRules(rules);
    ASSERT_EQ(parsed.size(), 50u);
    EXPECT_EQ(parsed[0], (DisplayRule{1, "c", 1, "=>", 0, "t0"}));
    EXPECT_EQ(parsed[49].text, "t49");
    EXPECT_EQ(parseDisplayRules("<dRule></dRule>" + rules).size(), 0u);
}

TEST(Scoring, SamePassAsReadingAndDeletingEachElement)
{
    // Records mixing real objects with short, nested, stray and split
    // marks: the objects, their order and the tallies equal the literal
    // reading of each element.
    const std::vector<std::string> pieces = {
        choiceButton(1, "2", "0"), trueFalseButton(2, "1", "-1", "0"), field(0, "a", el("FieldAnswer1", "a")),
        drag("0", "0,A,2,0,0,10,10;", "1"), "<zxButton>", "</zxButton>", "<zxField>", "</zxField>", "<zxDrag>",
        "</zxDrag>", "<zxButton>short</zxButton>", "<zxField>ab</zxField>", "   ", "\r\n", "               ",
        "<zxBu", "tton>", "</zxDr", "ag>", "<numSelections>1</numSelections>", "plain text"};
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        std::string record;
        for (int n = static_cast<int>(rng() % 16); n > 0; --n)
            record += pieces[rng() % pieces.size()];
        if (record.size() <= 10)
            continue;
        std::vector<LiteralObject> expectedObjects;
        const ScoreTally expected = literalQuestion(record, expectedObjects);
        Recorder recorder;
        const TestScore score = scoreTest({}, questionList({record}), 0, &recorder);
        ASSERT_EQ(score.questions.size(), 1u) << record;
        ASSERT_EQ(score.questions[0].tally, expected) << record;
        ASSERT_EQ(recorder.objects.size(), expectedObjects.size()) << record;
        for (std::size_t k = 0; k < expectedObjects.size(); ++k) {
            ASSERT_EQ(recorder.objects[k].kind, expectedObjects[k].kind) << record;
            ASSERT_EQ(recorder.objects[k].record, expectedObjects[k].record) << record;
        }
    }
}

TEST(Scoring, BadInputNeverFailsOrHangs)
{
    // Huge records: thousands of open marks without close marks, a stray
    // close mark after a megabyte of white space, 60 objects and more.
    std::string openOnly;
    for (int k = 0; k < 200000; ++k)
        openOnly += "<zxButton><zxField><zxDrag>";
    const std::string stray = std::string(1 << 20, ' ') + "</zxButton>x" + choiceButton(1, "1", "0");
    std::string many;
    for (int k = 0; k < 70; ++k)
        many += choiceButton(1, "1", "0") + field(0, "a", el("FieldAnswer1", "a")) + drag("-1", "", "0");
    const std::string list = questionList({openOnly, stray, many, "<zxButton>" + std::string(50, 'x')});
    const TestScore score = scoreTest({}, list, 3);
    ASSERT_EQ(score.questions.size(), 4u);
    EXPECT_FALSE(score.questions[0].hasObjects);
    EXPECT_FALSE(score.questions[1].hasObjects); // a close before the open reads nothing
    EXPECT_EQ(score.questions[2].tally, tally(12000, 12000, -3000, 180));
    EXPECT_FALSE(score.questions[3].hasObjects); // truncated element

    // A list cut off inside a record, indices past the list, a wild index.
    const std::string cut = list.substr(0, list.find("</questionFile1>") - 5);
    EXPECT_EQ(scoreTest({}, cut, 3).questions.size(), 1u);
    EXPECT_EQ(scoreTest({}, list, INT_MAX).total, score.total);
    EXPECT_TRUE(scoreTest({}, list, -1).questions.empty());
    EXPECT_TRUE(scoreTest({}, "", 499).questions.empty());
}

} // namespace
