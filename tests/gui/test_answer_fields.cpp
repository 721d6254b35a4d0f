// Typed-answer fields on a plain offscreen page: real key events against
// the read-only box, marking, Cheat and the finished states.
#include "objects/core/score_tally.h"
#include "objects/image_control.h"
#include "objects/qt_text.h"
#include "objects/zx_field.h"
#include "tagtext/tagged_text.h"
#include "test_page_objects_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace zx::testing {
namespace {

class AnswerFieldTest : public PageObjectsTest {
protected:
    static std::string record(int restriction, const std::string& extra = {})
    {
        return "<FieldLeft>40</FieldLeft><FieldTop>50</FieldTop><FieldWidth>120</FieldWidth><FieldHeight>24</FieldHeight>"
               "<editRestriction>"
               + std::to_string(restriction) + "</editRestriction>" + extra;
    }
    std::unique_ptr<zxField> make(int restriction, const std::string& extra = {}, TestState state = TestState::Running)
    {
        PageContext c = context();
        c.announceRefusal = [this](int number) { m_refusals.push_back(number); };
        auto field = std::make_unique<zxField>(m_page.get(), record(restriction, extra), c, state);
        showPage();
        field->box()->setFocus();
        return field;
    }
    // A key as a keyboard delivers it: press with its text, then release.
    static void type(QWidget* box, int key, const QString& text, Qt::KeyboardModifiers mods = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(box, &release);
    }
    static void typeText(QWidget* box, const char* text)
    {
        for (const char* c = text; *c; ++c)
            type(box, QChar::fromLatin1(*c).toUpper().unicode(), QString(QChar::fromLatin1(*c)));
    }
    void loadMarks()
    {
        m_tick.setPicture(filled(16, 14, Qt::green));
        m_cross.setPicture(filled(12, 12, Qt::red));
    }

    std::vector<int> m_refusals;
    ImageControl m_tick{nullptr};
    ImageControl m_cross{nullptr};
};

TEST_F(AnswerFieldTest, DecimalFieldTakesOnlyWhatItsKindAllows)
{
    auto field = make(1, "<userAnswer></userAnswer>");
    FieldEdit* box = field->box();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->geometry(), QRect(40, 50, 120, 24));

    typeText(box, "1.2.5");
    EXPECT_EQ(box->text(), QStringLiteral("1.25")) << "a second point is refused";
    typeText(box, "-a");
    EXPECT_EQ(box->text(), QStringLiteral("1.25")) << "'-' only at the start; letters never";
    box->setCursorPosition(0);
    typeText(box, "-");
    EXPECT_EQ(box->text(), QStringLiteral("-1.25"));
    box->setCursorPosition(0);
    typeText(box, "-");
    EXPECT_EQ(box->text(), QStringLiteral("-1.25")) << "only one '-'";
    EXPECT_TRUE(box->isReadOnly()) << "locked again after every key";

    box->end(false);
    type(box, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(box->text(), QStringLiteral("-1.2"));
    EXPECT_TRUE(box->isReadOnly());

    // Delete, paste and cut never change the text.
    box->setCursorPosition(0);
    type(box, Qt::Key_Delete, QString(QChar(0x7F)));
    QApplication::clipboard()->setText(QStringLiteral("999"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    type(box, Qt::Key_V, QStringLiteral("v"), Qt::ControlModifier);
    type(box, Qt::Key_Insert, {}, Qt::ShiftModifier);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    type(box, Qt::Key_X, QStringLiteral("x"), Qt::ControlModifier);
    EXPECT_EQ(box->text(), QStringLiteral("-1.2"));
    EXPECT_TRUE(box->isReadOnly());

    EXPECT_EQ(field->writeAnswer(), "<zxField>" + setTag(record(1, "<userAnswer></userAnswer>"), "userAnswer", "-1.2")
                                        + "</zxField>\r\n");
}

TEST_F(AnswerFieldTest, WholeAndFreeTextSets)
{
    auto whole = make(2);
    typeText(whole->box(), "-4.2");
    EXPECT_EQ(whole->box()->text(), QStringLiteral("-42"));

    auto text = make(0);
    FieldEdit* box = text->box();
    typeText(box, "a-b <\"x>");
    type(box, Qt::Key_sterling, QString(QChar(0xA3)));
    type(box, Qt::Key_E, QString(QChar(0xE9))); // an accented letter is not in the set
    type(box, Qt::Key_unknown, QString(QChar(0x20AC)));
    EXPECT_EQ(box->text(), QString::fromUtf8("a-b x\u00A3")) << "'-' anywhere in free text; no brackets or quotes";
    EXPECT_EQ(getTag(text->writeAnswer(), "userAnswer"), "a-b x\xA3") << "stored as a Windows-1252 byte";

    // Commands held with Control are no typed letters, even where letters
    // are allowed.
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    type(box, Qt::Key_V, QStringLiteral("v"), Qt::ControlModifier);
    box->selectAll();
    type(box, Qt::Key_X, QStringLiteral("x"), Qt::ControlModifier);
    type(box, Qt::Key_Z, QStringLiteral("z"), Qt::ControlModifier);
    EXPECT_EQ(box->text(), QString::fromUtf8("a-b x\u00A3"));
}

TEST_F(AnswerFieldTest, MarkingUsesTheSharedRulesAndKeysClearTheMark)
{
    loadMarks();
    auto field = make(0, "<FieldAnswer1>Paris</FieldAnswer1><FieldMarkIfCorrect>1</FieldMarkIfCorrect>"
                         "<FieldMarkIfIncorrect>-0.5</FieldMarkIfIncorrect><FieldMarkIfNotSelected>0.25</FieldMarkIfNotSelected>");
    ScoreTally totals;
    field->markAnswer(&m_tick, &m_cross, totals);
    EXPECT_EQ(totals, (ScoreTally{25, 100, -50, 0})) << "empty: the not-answered mark";
    EXPECT_EQ(field->markPicture(), nullptr) << "no tick or cross for an empty box";

    field->box()->setText(QStringLiteral("  paris  "));
    totals = {};
    field->markAnswer(&m_tick, &m_cross, totals);
    EXPECT_EQ(totals.score, 100);
    ASSERT_NE(field->markPicture(), nullptr);
    EXPECT_EQ(field->markPicture()->geometry(), QRect(160, 38, 16, 14)) << "right of the box, 12 above its top";
    EXPECT_EQ(field->markPicture()->picture().pixel(0, 0), m_tick.picture().pixel(0, 0));

    // An ignored character keeps the mark; a refused or accepted one clears it.
    auto decimal = make(1, "<userAnswer>1.5</userAnswer><FieldAnswer1>2</FieldAnswer1><FieldMarkIfCorrect>1</FieldMarkIfCorrect>");
    decimal->markAnswer(&m_tick, &m_cross, totals);
    ASSERT_NE(decimal->markPicture(), nullptr);
    EXPECT_EQ(decimal->markPicture()->picture().pixel(0, 0), m_cross.picture().pixel(0, 0));
    typeText(decimal->box(), "x");
    EXPECT_NE(decimal->markPicture(), nullptr);
    typeText(decimal->box(), ".");
    EXPECT_EQ(decimal->markPicture(), nullptr) << "a refused '.' still clears the mark";
    EXPECT_EQ(decimal->box()->text(), QStringLiteral("1.5"));
}

TEST_F(AnswerFieldTest, CheatShowsTheAnswerAndNeverReplacesTheCandidatesText)
{
    auto field = make(0, "<userAnswer>my guess</userAnswer><FieldAnswer1>-empty45646-</FieldAnswer1>"
                         "<FieldAnswer2>Mars</FieldAnswer2>");
    // A release without a press (the Help button) changes nothing.
    field->restoreAnswer();
    EXPECT_EQ(field->box()->text(), QStringLiteral("my guess"));

    field->showAnswer();
    EXPECT_EQ(field->box()->text(), QStringLiteral("Mars"));
    field->showAnswer(); // a second press keeps the candidate's text
    field->restoreAnswer();
    EXPECT_EQ(field->box()->text(), QStringLiteral("my guess"));
    field->box()->setText(QStringLiteral("changed"));
    field->restoreAnswer();
    EXPECT_EQ(field->box()->text(), QStringLiteral("changed")) << "a restore is used once";

    // Leaving the page while the answer is on show keeps the candidate's.
    field->showAnswer();
    EXPECT_EQ(getTag(field->writeAnswer(), "userAnswer"), "changed");

    auto range = make(2, "<useRange>1</useRange><FieldAnswer1>10</FieldAnswer1><FieldAnswer2>-empty45646-</FieldAnswer2>");
    range->showAnswer();
    EXPECT_EQ(range->box()->text(), QStringLiteral("10 to (nothing)"));
}

TEST_F(AnswerFieldTest, FinishedTestRefusesEveryKey)
{
    for (TestState state : {TestState::Finished, TestState::ResultsStored}) {
        m_refusals.clear();
        auto field = make(0, "<userAnswer>kept</userAnswer>", state);
        field->box()->end(false);
        typeText(field->box(), "a");
        type(field->box(), Qt::Key_Backspace, QStringLiteral("\b"));
        EXPECT_EQ(field->box()->text(), QStringLiteral("kept"));
        EXPECT_EQ(m_refusals, (std::vector<int>{83, 83}));
    }
}

} // namespace
} // namespace zx::testing
