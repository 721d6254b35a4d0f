// A candidate without a mouse: the sample test taken from its first page to
// its results with keys alone, the keys answering through the pointer's
// own rules (selection and placement limits, the refusal once finished),
// the shortcuts only where their buttons are, and the reading order that
// Tab follows.
#include "test_run_fixture.h"

#include "app/core/keyboard_map.h"
#include "app/core/reading_order.h"
#include "app/help_window.h"
#include "objects/field_edit.h"
#include "objects/focus_ring.h"
#include "objects/zx_button.h"
#include "objects/zx_drag.h"
#include "objects/zx_field.h"
#include "objects/zx_picture.h"
#include "tagtext/tagged_text.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace zx::test {

class KeyboardTest : public TestRunFixture {
protected:
    void SetUp() override
    {
        TestRunFixture::SetUp();
        activate();
    }
    // The window takes the keyboard back (the progress window of opening a
    // bank may have had it).
    void activate()
    {
        QApplication::setActiveWindow(m_form.get());
        m_form->activateWindow();
        processEvents();
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    // A key pressed and released on whatever has the focus.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = focused();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k, mods);
    }
    // Tab until `control` has the focus; false when it never does.
    bool tabTo(const QWidget* control)
    {
        for (int i = 0; i < 20 && focused() != control; ++i)
            key(Qt::Key_Tab);
        return focused() == control;
    }
    zxPicture* startPicture()
    {
        PageBuilder& page = m_run->page();
        for (int i = 0; i < PageBuilder::pictureCapacity; ++i)
            if (page.picture(i) && page.picture(i)->startsTheTest())
                return page.picture(i);
        return nullptr;
    }
    std::string stored(int question, const char* kind, int index = 0) const
    {
        std::string page = getTag(m_run->questionList(), "questionFile" + std::to_string(question));
        for (int i = 0; i < index; ++i)
            page = deleteTag(page, kind);
        return getTag(getTag(page, kind), "userAnswer");
    }
};

TEST_F(KeyboardTest, SampleTestFromFirstPageToResultsWithKeysOnly)
{
    m_run->openBank(sampleBank());
    ASSERT_EQ(m_form->testState(), TestState::Ready);
    activate();
    PageBuilder& page = m_run->page();

    // The pre-test pages: Page Down, then End to the last one, where the
    // start picture is reached by Tab and started by Space.
    key(Qt::Key_PageDown);
    EXPECT_EQ(m_run->currentQuestion(), 1);
    key(Qt::Key_End);
    ASSERT_EQ(m_run->currentQuestion(), m_run->lastQuestion());
    zxPicture* start = startPicture();
    ASSERT_TRUE(start && start->normalImage());
    ASSERT_TRUE(tabTo(start->normalImage()));
    ASSERT_NE(page.focusRing(), nullptr);
    EXPECT_EQ(page.focusRing()->target(), start->normalImage());
    key(Qt::Key_Space);
    m_form->repaint();
    processEvents();
    ASSERT_EQ(m_form->testState(), TestState::Running);
    ASSERT_EQ(m_run->currentQuestion(), 0);

    // Question 1 (one choice allowed): the page's first button has the
    // focus; choosing Venus after Mars clears Mars, as a click would.
    ASSERT_EQ(page.buttonCount(), 3);
    ASSERT_EQ(focused(), page.button(0)->picture(1));
    key(Qt::Key_Space);
    EXPECT_EQ(page.button(0)->state(), 1);
    key(Qt::Key_Tab);
    ASSERT_EQ(focused(), page.button(1)->picture(1));
    key(Qt::Key_Space);
    EXPECT_EQ(page.button(0)->state(), 0);
    EXPECT_EQ(page.button(1)->state(), 1);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    key(Qt::Key_Space);
    EXPECT_EQ(page.button(0)->state(), 1);
    EXPECT_EQ(page.button(1)->state(), 0);
    // Mark: a tick beside Mars.
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_NE(page.button(0)->markPicture(), nullptr);

    // Question 2: a field.  Only the characters of the field get in.
    key(Qt::Key_PageDown);
    ASSERT_EQ(m_run->currentQuestion(), 1);
    ASSERT_EQ(page.fieldCount(), 1);
    ASSERT_EQ(focused(), page.field(0)->box());
    QTest::keyClicks(focused(), QStringLiteral("Su<n"));
    EXPECT_EQ(page.field(0)->box()->text(), QStringLiteral("Sun"));

    // Question 5: true or false (Ctrl+Right from a button; in a field it
    // moves the caret by a word).
    key(Qt::Key_PageDown);
    key(Qt::Key_PageDown);
    ASSERT_EQ(m_run->currentQuestion(), 3);
    ASSERT_EQ(focused(), page.button(0)->picture(1));
    key(Qt::Key_Right, Qt::ControlModifier);
    ASSERT_EQ(m_run->currentQuestion(), 4);
    ASSERT_EQ(focused(), page.button(0)->picture(1));
    key(Qt::Key_T);
    EXPECT_EQ(page.button(0)->state(), 1);
    key(Qt::Key_T); // true stays true
    EXPECT_EQ(page.button(0)->state(), 1);
    key(Qt::Key_Tab);
    key(Qt::Key_Right);
    EXPECT_EQ(page.button(1)->state(), 2);
    key(Qt::Key_Space);
    EXPECT_EQ(page.button(1)->state(), 0);
    key(Qt::Key_F);
    EXPECT_EQ(page.button(1)->state(), 2);

    // Question 7: the Sun is picked up, shown on the first target and put
    // down there, gliding as a dropped item does.
    key(Qt::Key_PageDown);
    key(Qt::Key_PageDown);
    ASSERT_EQ(m_run->currentQuestion(), 6);
    ASSERT_EQ(page.dragCount(), 1);
    zxDrag* sun = page.drag(0);
    ASSERT_EQ(focused(), sun->visual());
    key(Qt::Key_Space);
    EXPECT_TRUE(sun->isHeldByKeyboard());
    key(Qt::Key_Right);
    const DragTarget& centre = sun->targets().at(0);
    EXPECT_EQ(sun->visual()->pos(), QPoint(centre.left + centre.width / 2 - 20, centre.top + centre.height / 2 - 20));
    EXPECT_EQ(page.focusRing()->target(), sun->visual());
    EXPECT_TRUE(page.focusRing()->geometry().contains(sun->visual()->geometry()));
    key(Qt::Key_Return);
    EXPECT_FALSE(sun->isHeldByKeyboard());
    EXPECT_EQ(sun->placedIndex(), 0);

    // Finish: confirmed, scored, the results shown.
    m_answerYes = true;
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_EQ(stored(0, "zxButton"), "1");
    EXPECT_EQ(stored(1, "zxField"), "Sun");
    EXPECT_EQ(stored(4, "zxButton", 0), "1");
    EXPECT_EQ(stored(4, "zxButton", 1), "2");
    EXPECT_EQ(stored(6, "zxDrag"), "0");

    // Looking back at a finished question: every answering key is refused
    // as a press of the pointer is, and nothing changes.
    activate();
    key(Qt::Key_PageDown);
    ASSERT_EQ(m_run->currentQuestion(), 1);
    ASSERT_TRUE(tabTo(page.button(0)->picture(1)));
    const int informs = static_cast<int>(m_informs.size());
    key(Qt::Key_Space);
    EXPECT_EQ(page.button(0)->state(), 1);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x83"));
    EXPECT_EQ(m_informs.size(), informs + 1);
}

TEST_F(KeyboardTest, AFinishedFieldRefusesTheKeysItGets)
{
    m_run->openBank(sampleBank());
    m_run->startTest();
    activate();
    questionSlider(*m_form)->setValue(1);
    PageBuilder& page = m_run->page();
    page.field(0)->box()->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(focused(), QStringLiteral("Sun"));
    m_answerYes = true;
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    activate();
    questionSlider(*m_form)->setValue(2); // question 2, after the results page
    ASSERT_EQ(focused(), page.field(0)->box());

    // Typing, caret keys and the keys of buttons that are gone reach the
    // field and are refused, one message for each key pressed (Ctrl
    // included); the text stays.
    const qsizetype informs = m_informs.size();
    for (const auto& [k, mods] : {std::pair{Qt::Key_A, Qt::NoModifier}, std::pair{Qt::Key_Home, Qt::NoModifier},
                                  std::pair{Qt::Key_M, Qt::ControlModifier}, std::pair{Qt::Key_H, Qt::ControlModifier}})
        key(k, mods);
    EXPECT_EQ(m_informs.size(), informs + 6);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x83"));
    EXPECT_EQ(page.field(0)->box()->text(), QStringLiteral("Sun"));
    // The slider's keys still move through the finished test.
    key(Qt::Key_PageDown);
    EXPECT_EQ(m_run->currentQuestion(), 3);
    EXPECT_EQ(m_informs.size(), informs + 6);
}

TEST_F(KeyboardTest, KeysKeepTheLimitsOfThePointer)
{
    m_run->openBank(sampleBank());
    m_run->startTest();
    PageBuilder& page = m_run->page();

    // Question 4 allows two choices: keys and clicks share one queue.
    questionSlider(*m_form)->setValue(3);
    ASSERT_EQ(page.buttonCount(), 4);
    page.button(0)->picture(1)->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    key(Qt::Key_Space);
    EXPECT_EQ(page.button(0)->state(), 0);
    EXPECT_EQ(getTag(page.button(0)->record(), "userAnswer"), "0");
    EXPECT_EQ(page.button(1)->state(), 1);
    EXPECT_EQ(page.button(2)->state(), 1);
    QTest::mouseClick(page.button(3)->picture(1), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(page.button(1)->state(), 0);
    page.button(0)->picture(1)->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Space);
    EXPECT_EQ(page.button(2)->state(), 0);
    EXPECT_EQ(page.button(3)->state(), 1);
    EXPECT_EQ(page.button(0)->state(), 1);

    // Question 9: the left box is taken, so Venus put down there glides
    // home, as when released there by the pointer; Escape sends Mars home.
    questionSlider(*m_form)->setValue(8);
    ASSERT_EQ(page.dragCount(), 4);
    zxDrag* mars = page.drag(0);
    zxDrag* venus = page.drag(2);
    mars->visual()->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Space);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    ASSERT_EQ(mars->placedIndex(), 0);
    venus->visual()->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Space);
    key(Qt::Key_Tab); // Tab steps through the targets while the item is held
    EXPECT_EQ(focused(), venus->visual());
    key(Qt::Key_Enter);
    EXPECT_EQ(venus->placedIndex(), -1);
    EXPECT_EQ(venus->visual()->pos(), QPoint(80, 230));
    // A held item that loses the focus goes back where it was.
    key(Qt::Key_Space);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_Tab, Qt::ShiftModifier); // the previous target
    mars->visual()->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(venus->isHeldByKeyboard());
    EXPECT_EQ(venus->visual()->pos(), QPoint(80, 230));
    EXPECT_EQ(venus->placedIndex(), -1);
    key(Qt::Key_Escape);
    EXPECT_EQ(mars->placedIndex(), -1);
    EXPECT_EQ(mars->visual()->pos(), QPoint(80, 130));
    EXPECT_EQ(page.placementQueue().count(), 0);
}

TEST_F(KeyboardTest, CheatIsHeldWhileItsKeyIsHeld)
{
    m_run->openBank(sampleBank());
    m_run->startTest();
    questionSlider(*m_form)->setValue(1);
    PageBuilder& page = m_run->page();
    page.field(0)->box()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focused(), page.field(0)->box());
    QTest::keyClicks(focused(), QStringLiteral("Moon"));
    QSignalSpy down(&m_form->controlPanel(), &ControlPanel::CheatButtonMouseDown);
    QSignalSpy up(&m_form->controlPanel(), &ControlPanel::CheatButtonMouseUp);

    QTest::keyPress(focused(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(down.count(), 1);
    EXPECT_TRUE(panelButton(*m_form, "CheatButton")->isDown());
    EXPECT_EQ(page.field(0)->box()->text(), QStringLiteral("Sun"));
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_H, Qt::ControlModifier, QStringLiteral("h"), true);
    QApplication::sendEvent(focused(), &repeat);
    EXPECT_EQ(down.count(), 1);
    // Let go of Ctrl first: the answers stay until H is let go.
    QTest::keyRelease(focused(), Qt::Key_Control);
    EXPECT_EQ(up.count(), 0);
    QTest::keyRelease(focused(), Qt::Key_H);
    EXPECT_EQ(up.count(), 1);
    EXPECT_FALSE(panelButton(*m_form, "CheatButton")->isDown());
    EXPECT_EQ(page.field(0)->box()->text(), QStringLiteral("Moon"));
}

TEST_F(KeyboardTest, AnExamOffersNoMarkOrCheatKey)
{
    m_run->openBank(packed(QStringLiteral("exam")));
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    activate();
    QSignalSpy mark(&m_form->controlPanel(), &ControlPanel::MarkButClick);
    QSignalSpy cheat(&m_form->controlPanel(), &ControlPanel::CheatButtonMouseDown);
    QSignalSpy finish(&m_form->controlPanel(), &ControlPanel::FinishButtonClick);
    EXPECT_FALSE(m_form->keyboard().keyCommandAvailable(KeyCommand::Mark));
    EXPECT_FALSE(m_form->keyboard().keyCommandAvailable(KeyCommand::Cheat));
    EXPECT_TRUE(m_form->keyboard().keyCommandAvailable(KeyCommand::Finish));
    EXPECT_TRUE(m_form->keyboard().keyCommandAvailable(KeyCommand::NextQuestion));

    ASSERT_EQ(focused(), m_run->page().button(0)->picture(1));
    key(Qt::Key_M, Qt::ControlModifier);
    QTest::keyPress(focused(), Qt::Key_H, Qt::ControlModifier);
    QTest::keyRelease(focused(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(mark.count(), 0);
    EXPECT_EQ(cheat.count(), 0);
    key(Qt::Key_PageDown);
    EXPECT_EQ(m_run->currentQuestion(), 1);

    // Finish asks first; answering no keeps the exam going.
    m_answerYes = false;
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(finish.count(), 1);
    EXPECT_EQ(m_form->testState(), TestState::RunningExam);

    // Before a bank is opened, and after the test, nothing is offered.
    m_answerYes = true;
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_FALSE(m_form->keyboard().keyCommandAvailable(KeyCommand::Finish));
}

TEST_F(KeyboardTest, TabWalksThePageInReadingOrderThenThePanel)
{
    // Out of order in the page text: a field low on the page, a button
    // beside the text that names it, an item on the left of that row.
    const std::string items =
        "<zxText><feedback>0</feedback><textLeft>80</textLeft><textTop>100</textTop><textWidth>200</textWidth>"
        "<textHeight>24</textHeight><zxString>Mercury</zxString></zxText>"
        "<zxField><FieldLeft>40</FieldLeft><FieldTop>300</FieldTop><FieldWidth>100</FieldWidth><FieldHeight>20</FieldHeight>"
        "<FieldAnswer1>x</FieldAnswer1></zxField>"
        "<zxButton><buttonType>0</buttonType><ButtonName>B1</ButtonName><buttonLeft>40</buttonLeft><buttonTop>102</buttonTop>"
        "<s1>pic.bmp</s1><buttonMarkIfSelected>1</buttonMarkIfSelected></zxButton>"
        "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Item</DragName><DragLeft>10</DragLeft><DragTop>110</DragTop>"
        "<DragWidth>20</DragWidth><DragHeight>20</DragHeight><targets>0,A,1,300,300,40,40;</targets></zxDrag>";
    m_run->openBank(makeBank("<version>1</version><allowMarking>1</allowMarking>", {page("Question", items)}, {}, [](const QString& media) {
        QImage picture(24, 24, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.save(media + QStringLiteral("/pic.bmp"));
    }));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    PageBuilder& page = m_run->page();
    ASSERT_EQ(page.buttonCount(), 1);
    const std::vector<QWidget*> expected{page.drag(0)->visual(), page.button(0)->picture(1), page.field(0)->box()};
    EXPECT_EQ(page.focusOrder(), expected);
    const std::vector<QWidget*> cycle = m_form->keyboard().tabCycle();
    ASSERT_GT(cycle.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), cycle.begin()));
    // The panel follows from left to right; Mark and Cheat are there in a
    // practice test.
    for (std::size_t i = expected.size() + 1; i < cycle.size(); ++i)
        EXPECT_LT(cycle[i - 1]->x(), cycle[i]->x());
    EXPECT_NE(std::find(cycle.begin(), cycle.end(), panelButton(*m_form, "MarkButton")), cycle.end());

    // Tab from the last control comes round to the first.
    cycle.back()->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), cycle.front());
    // A click gives the focus but no ring; Tab shows it.
    EXPECT_EQ(page.focusRing()->target(), cycle.front());
    QTest::mouseClick(page.field(0)->box(), Qt::LeftButton);
    EXPECT_EQ(focused(), page.field(0)->box());
    EXPECT_EQ(page.focusRing()->target(), nullptr);
}

TEST_F(KeyboardTest, ReadingOrderAndLabels)
{
    // Rows by top edge (a box a little lower joins its row), left to right.
    const PageBox boxes[] = {{300, 100, 50, 20}, {40, 104, 50, 20}, {40, 20, 600, 40}, {40, 200, 10, 10}, {10, 140, 10, 10}};
    EXPECT_EQ(readingOrder(boxes), (std::vector<std::size_t>{2, 1, 0, 4, 3}));
    EXPECT_TRUE(readingOrder({}).empty());

    // The nearest text on its side of an object on its line: a button's
    // after it, a field's before it; a text above (the question, a hint)
    // names nothing.
    const PageBox texts[] = {{40, 20, 600, 30}, {95, 122, 200, 24}, {300, 120, 100, 24}, {60, 190, 200, 20},
                             {400, 300, 60, 20}, {580, 300, 100, 20}};
    const auto right = LabelSide::Right;
    const auto left = LabelSide::Left;
    EXPECT_EQ(labelOf({60, 120, 24, 24}, texts, right), std::optional<std::size_t>(1));
    EXPECT_EQ(labelOf({60, 120, 24, 24}, texts, left), std::nullopt);
    EXPECT_EQ(labelOf({470, 298, 100, 24}, texts, left), std::optional<std::size_t>(4));
    EXPECT_EQ(labelOf({470, 298, 100, 24}, texts, right), std::optional<std::size_t>(5));
    EXPECT_EQ(labelOf({60, 215, 80, 20}, texts, right), std::nullopt);
    EXPECT_EQ(labelOf({700, 122, 20, 20}, texts, left, 200), std::nullopt);
    EXPECT_EQ(labelOf({60, 150, 24, 24}, texts, right), std::nullopt); // a line too far down

    // The slider keys stop at the ends.
    EXPECT_EQ(questionSliderTarget(KeyCommand::NextQuestion, 12, 12), 12);
    EXPECT_EQ(questionSliderTarget(KeyCommand::PreviousQuestion, 0, 12), 0);
    EXPECT_EQ(questionSliderTarget(KeyCommand::LastQuestion, 3, 12), 12);
    EXPECT_EQ(questionSliderTarget(KeyCommand::FirstQuestion, 3, 12), 0);
    EXPECT_EQ(questionSliderTarget(KeyCommand::Mark, 3, 12), 3);
}

TEST_F(KeyboardTest, HelpListsEveryKeyByItsName)
{
    const auto lines = m_form->keyboard().keyboardHelp();
    auto line = [&](const QString& keys) {
        for (const auto& [k, name] : lines)
            if (k == keys)
                return name;
        return QString();
    };
    EXPECT_EQ(line(QStringLiteral("Tab, Shift+Tab")), QStringLiteral("message 111"));
    EXPECT_EQ(line(QStringLiteral("PgDown, Ctrl+Right")), QStringLiteral("message 112"));
    EXPECT_EQ(line(QStringLiteral("Home, End")), QStringLiteral("message 114"));
    EXPECT_EQ(line(QStringLiteral("T, Left / F, Right / Space")), QStringLiteral("message 116"));
    EXPECT_EQ(line(QStringLiteral("Ctrl+M")), panelButton(*m_form, "MarkButton")->text().remove(QLatin1Char('&')));
    EXPECT_EQ(line(QStringLiteral("F3")), QStringLiteral("message 119"));
    EXPECT_TRUE(m_form->helpWindow()->keyList()->text().contains(QStringLiteral("Ctrl+H")));
}

} // namespace zx::test
