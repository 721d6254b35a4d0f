#include "objects/core/answer_marks.h"
#include "objects/core/choice_rules.h"
#include "objects/core/drag_targets.h"
#include "objects/core/page_marks.h"
#include "objects/core/score_tally.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace zx;

namespace {

const std::string paris = "<FieldAnswer1>Paris</FieldAnswer1><FieldMarkIfCorrect>1</FieldMarkIfCorrect>"
                          "<FieldMarkIfIncorrect>0</FieldMarkIfIncorrect><FieldMarkIfNotSelected>0</FieldMarkIfNotSelected>";

std::string choice(const std::string& selected, const std::string& notSelected)
{
    return "<buttonType>0</buttonType><buttonMarkIfSelected>" + selected + "</buttonMarkIfSelected>"
        + "<buttonMarkIfNotSelected>" + notSelected + "</buttonMarkIfNotSelected>";
}

std::string trueFalse(const std::string& t, const std::string& f, const std::string& x)
{
    return "<buttonType>1</buttonType><buttonMarkIfSelected>x</buttonMarkIfSelected><buttonMarkIfTrueSelected>" + t
        + "</buttonMarkIfTrueSelected><buttonMarkIfFalseSelected>" + f
        + "</buttonMarkIfFalseSelected><buttonMarkIfNoTFSelection>" + x + "</buttonMarkIfNoTFSelection>";
}

const std::string dragTen = "<targets>0,Top,1,100,50,120,40;1,Bottom,0,100,120,120,40;2,,0,300,50,50,50;</targets>"
                            "<DragMarkIfNotSelected>0</DragMarkIfNotSelected>";

} // namespace

TEST(AnswerMarks, Field)
{
    const ObjectMarks right = markField(paris, "  paris  ");
    EXPECT_EQ(right.score, 100);
    EXPECT_EQ(right.best, 100);
    EXPECT_EQ(right.worst, 0);
    EXPECT_EQ(right.verdict, AnswerVerdict::Answered);
    EXPECT_EQ(right.answerText, "paris");
    EXPECT_EQ(right.sign(), MarkSign::Tick);

    EXPECT_EQ(markField(paris, "par  is").sign(), MarkSign::Cross);

    const ObjectMarks empty = markField(paris, "  ");
    EXPECT_EQ(empty.score, 0);
    EXPECT_EQ(empty.verdict, AnswerVerdict::NotAnswered);
    EXPECT_EQ(empty.sign(), MarkSign::None);

    const std::string negative = "<FieldMarkIfCorrect>2</FieldMarkIfCorrect><FieldMarkIfNotSelected>-0.5</FieldMarkIfNotSelected>";
    const ObjectMarks unanswered = markField(negative, "");
    EXPECT_EQ(unanswered.score, -50);
    EXPECT_EQ(unanswered.best, 200);
    EXPECT_EQ(unanswered.worst, -50);

    // All three marks equal: an answered field always shows a cross.
    const std::string equal = "<FieldAnswer1>a</FieldAnswer1><FieldMarkIfCorrect>1</FieldMarkIfCorrect>"
                              "<FieldMarkIfIncorrect>1</FieldMarkIfIncorrect><FieldMarkIfNotSelected>1</FieldMarkIfNotSelected>";
    EXPECT_EQ(markField(equal, "a").sign(), MarkSign::Cross);

    // The stored form marks the record's userAnswer the same way.
    const ObjectMarks stored = markStoredField("<userAnswer> PARIS </userAnswer>" + paris);
    EXPECT_EQ(stored.score, 100);
}

TEST(AnswerMarks, ChoiceButton)
{
    const ObjectMarks selected = markButton(choice("1", "0"), 1);
    EXPECT_EQ(selected.score, 100);
    EXPECT_EQ(selected.best, 100);
    EXPECT_EQ(selected.worst, 0);
    EXPECT_EQ(selected.verdict, AnswerVerdict::Selected);
    EXPECT_EQ(selected.sign(), MarkSign::Tick);

    const ObjectMarks cleared = markButton(choice("1", "0"), 0);
    EXPECT_EQ(cleared.score, 0);
    EXPECT_EQ(cleared.verdict, AnswerVerdict::NotSelected);
    EXPECT_EQ(cleared.sign(), MarkSign::None);

    EXPECT_EQ(markButton(choice("0", "0"), 1).sign(), MarkSign::Cross);

    const ObjectMarks stored = markStoredButton("<userAnswer>1</userAnswer>" + choice("2", "0"));
    EXPECT_EQ(stored.score, 200);
    EXPECT_EQ(stored.best, 200);
    EXPECT_EQ(stored.worst, 0);

    // An unknown type marks nothing; a stray stored value is not "selected".
    const ObjectMarks unknown = markButton("<buttonType>3</buttonType><buttonMarkIfSelected>5</buttonMarkIfSelected>", 1);
    EXPECT_EQ(unknown.best, 0);
    EXPECT_EQ(unknown.verdict, AnswerVerdict::None);
    EXPECT_EQ(unknown.sign(), MarkSign::None);
    EXPECT_EQ(storedButtonState("<userAnswer>2</userAnswer>" + choice("1", "0")), 0);
}

TEST(AnswerMarks, TrueFalseButton)
{
    const ObjectMarks falseAnswer = markButton(trueFalse("1", "0", "0"), 2);
    EXPECT_EQ(falseAnswer.score, 0);
    EXPECT_EQ(falseAnswer.best, 100);
    EXPECT_EQ(falseAnswer.worst, 0);
    EXPECT_EQ(falseAnswer.verdict, AnswerVerdict::FalseSelected);
    EXPECT_EQ(falseAnswer.sign(), MarkSign::Cross);

    const ObjectMarks none = markStoredButton("<userAnswer>0</userAnswer>" + trueFalse("1", "-1", "0"));
    EXPECT_EQ(none.score, 0);
    EXPECT_EQ(none.best, 100);
    EXPECT_EQ(none.worst, -100);
    EXPECT_EQ(none.verdict, AnswerVerdict::NoSelection);

    EXPECT_EQ(markButton(trueFalse("1", "0", "0"), 1).verdict, AnswerVerdict::TrueSelected);
    EXPECT_EQ(storedButtonState("<userAnswer>-4</userAnswer>" + trueFalse("1", "0", "0")), 2);

    // Cheat: true wins only when strictly above false; a tie goes to false.
    const ButtonCheatView t = buttonCheatView(trueFalse("1", "0", "0"));
    EXPECT_TRUE(t.showTrue);
    EXPECT_FALSE(t.showFalse);
    const ButtonCheatView tie = buttonCheatView(trueFalse("1", "1", "0"));
    EXPECT_FALSE(tie.showTrue);
    EXPECT_TRUE(tie.showFalse);
    const ButtonCheatView neither = buttonCheatView(trueFalse("0", "0", "1"));
    EXPECT_FALSE(neither.showTrue || neither.showFalse);
    EXPECT_TRUE(buttonCheatView(choice("1", "0")).showSelected);
    EXPECT_FALSE(buttonCheatView(choice("0", "0")).showSelected);
}

TEST(AnswerMarks, TrueFalseHalves)
{
    const int half = trueFalseHalfWidth(100);
    EXPECT_EQ(trueFalseValueAt(50, half), 1);
    EXPECT_EQ(trueFalseValueAt(51, half), 2);
    EXPECT_EQ(trueFalseHalfWidth(2), 50); // an empty or tiny picture keeps the default
    EXPECT_EQ(trueFalseHalfWidth(101), 50);

    EXPECT_EQ(trueFalseStateAfterRelease(0, 1), 1);
    EXPECT_EQ(trueFalseStateAfterRelease(1, 2), 2);
    EXPECT_EQ(trueFalseStateAfterRelease(2, 2), 0);
}

TEST(AnswerMarks, DragTargetsList)
{
    const DragTargets only5("5,a,2,10,10,50,50;120,b,1,0,0,1,1;");
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(only5.isDefined(i), i == 5) << i;
    EXPECT_EQ(only5.at(5).name, "a");
    EXPECT_EQ(only5.at(5).mark(), 200);

    EXPECT_FALSE(DragTargets("3,Box,2,0,0,0,0;").isDefined(3)); // left = width and top = height

    // Defaults for unreadable fields, the later entry of an index wins, a
    // rest without ";" ends the list.
    const DragTargets d("x,,1,a,b,c,d;7,one,1,1,1,5,5;7,two,3,1,2,5,5;8,,1,1,1,9,9");
    EXPECT_TRUE(d.isDefined(0));
    EXPECT_EQ(d.at(0).width, 100);
    EXPECT_EQ(d.at(0).height, 40);
    EXPECT_EQ(d.at(7).name, "two");
    EXPECT_EQ(d.at(7).top, 2);
    EXPECT_FALSE(d.isDefined(8));
    EXPECT_FALSE(d.isDefined(-1));
    EXPECT_FALSE(d.isDefined(100));
    const DragTargets shortEntry("1,a;");
    EXPECT_TRUE(shortEntry.isDefined(1));
    EXPECT_EQ(shortEntry.at(1).width, 100);
    EXPECT_EQ(shortEntry.at(1).mark(), 0);
}

TEST(AnswerMarks, DragItem)
{
    const ObjectMarks onBest = markDrag(dragTen, 0);
    EXPECT_EQ(onBest.score, 100);
    EXPECT_EQ(onBest.best, 100);
    EXPECT_EQ(onBest.worst, 0);
    EXPECT_EQ(onBest.verdict, AnswerVerdict::DroppedOn);
    EXPECT_EQ(onBest.answerText, "Top");
    EXPECT_EQ(onBest.sign(), MarkSign::Tick);

    EXPECT_EQ(markDrag(dragTen, 1).sign(), MarkSign::Cross);

    const ObjectMarks home = markStoredDrag(dragTen);
    EXPECT_EQ(home.score, 0);
    EXPECT_EQ(home.verdict, AnswerVerdict::NotDropped);
    EXPECT_EQ(home.sign(), MarkSign::None);

    // A stored index naming an undefined target counts as not placed.
    const ObjectMarks undefinedTarget = markStoredDrag("<userAnswer>3</userAnswer>" + dragTen);
    EXPECT_EQ(undefinedTarget.verdict, AnswerVerdict::NotDropped);
    EXPECT_EQ(undefinedTarget.sign(), MarkSign::None);

    // The not-placed mark takes part in best and worst.
    const ObjectMarks wide = markDrag("<targets>0,,1,0,0,10,10;</targets><DragMarkIfNotSelected>-2</DragMarkIfNotSelected>", -1);
    EXPECT_EQ(wide.score, -200);
    EXPECT_EQ(wide.best, 100);
    EXPECT_EQ(wide.worst, -200);
}

TEST(AnswerMarks, PageSums)
{
    const std::string item = "<targets>0,,1,100,50,120,40;1,,0,100,120,120,40;</targets>"
                             "<DragMarkIfNotSelected>0</DragMarkIfNotSelected>";
    const FieldAnswer fields[] = {{paris, "Paris"}};
    const std::string button = choice("2", "0");
    const ButtonAnswer buttons[] = {{button, 0}};
    const DragAnswer drags[] = {{item, -1}};
    const PageMarks page = markPage(fields, buttons, drags);
    EXPECT_EQ(page.totals.score, 100);
    EXPECT_EQ(page.totals.best, 400);
    EXPECT_EQ(page.totals.worst, 0);
    EXPECT_EQ(page.totals.items, 3);
    EXPECT_EQ(page.fields[0].sign(), MarkSign::Tick);
    EXPECT_EQ(page.buttons[0].sign(), MarkSign::None);
    EXPECT_EQ(page.drags[0].sign(), MarkSign::None);

    // Marking again gives the same; an empty page gives zeros.
    EXPECT_EQ(markPage(fields, buttons, drags).totals, page.totals);
    EXPECT_EQ(markPage({}, {}, {}).totals, ScoreTally{});
}

TEST(AnswerMarks, TallySumsSaturate)
{
    ScoreTally t;
    ObjectMarks big;
    big.score = INT_MAX;
    big.worst = INT_MIN;
    t.add(big);
    t.add(big);
    EXPECT_EQ(t.score, INT_MAX);
    EXPECT_EQ(t.worst, INT_MIN);
    ScoreTally question{300, 400, 100, 2};
    ScoreTally test;
    test.add(question);
    test.add(question);
    EXPECT_EQ(test, (ScoreTally{600, 800, 200, 4}));
}
