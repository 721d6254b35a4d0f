// Draggable items built by the page builder on a plain offscreen page,
// moved with real pointer events: drops on targets, the overlap rule, the
// page's placement limit, the glide, marks, Cheat and the finished states.
// The glide's steps are recorded, never waited for.
#include "objects/core/score_tally.h"
#include "objects/image_control.h"
#include "objects/zx_drag.h"
#include "tagtext/tagged_text.h"
#include "test_page_objects_fixture.h"
#include "testrun/page_builder.h"

#include <QApplication>
#include <QPushButton>

namespace zx::testing {
namespace {

// Targets 0 and 1 touch along y = 90; 2 is large; 3 is small.
const char* const fourTargets = "0,first,1,100,50,120,40;1,second,0,100,90,120,40;2,,0.5,0,200,400,200;3,,0,300,100,4,4;";

class AnswerDragTest : public PageObjectsTest {
protected:
    // A text-button item of 20 x 20 at its home.
    static std::string item(int left, int top, const std::string& extra = {}, const char* targets = fourTargets)
    {
        return "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Item</DragName><DragLeft>" + std::to_string(left)
               + "</DragLeft><DragTop>" + std::to_string(top)
               + "</DragTop><DragWidth>20</DragWidth><DragHeight>20</DragHeight><targets>" + targets
               + "</targets><DragMarkIfNotSelected>0</DragMarkIfNotSelected>" + extra + "</zxDrag>";
    }

    PageBuilder& build(const std::string& page, TestState state = TestState::Running)
    {
        PageContext c = context();
        c.announceRefusal = [this](int number) { m_refusals.push_back(number); };
        c.glideStep = [this](QWidget* moved) {
            m_steps.push_back({moved->x(), moved->y()});
            if (m_leaveOnStep && m_builder) {
                m_leaveOnStep = false;
                m_builder->leavePage();
            }
        };
        m_builder.reset();
        m_builder = std::make_unique<PageBuilder>(m_page.get(), c);
        save(filled(4, 4, Qt::green), "tick.bmp");
        m_builder->loadTickAndCross("<tickFileAbs>tick.bmp</tickFileAbs>");
        m_builder->buildPage(page, state);
        showPage();
        m_steps.clear();
        return *m_builder;
    }

    // Presses on the item at 5, 5 from its top-left corner, moves it so
    // that its top-left corner is at `to` and releases it there.
    void dragTo(zxDrag* drag, QPoint to)
    {
        QWidget* target = drag->visual();
        const QPoint grab(5, 5);
        QTest::mousePress(target, Qt::LeftButton, {}, grab);
        const QPoint from = target->pos() + grab;
        const QPoint end = to + grab;
        for (const QPoint& at : {from + (end - from) / 2, end})
            QTest::mouseMove(target, target->mapFrom(m_page.get(), at));
        QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(m_page.get(), end));
    }
    static QPoint at(const zxDrag* drag) { return drag->visual()->pos(); }

    std::unique_ptr<PageBuilder> m_builder;
    std::vector<int> m_refusals;
    std::vector<Position> m_steps;
    bool m_leaveOnStep = false;
};

TEST_F(AnswerDragTest, DropsSnapToTheFirstTargetHit)
{
    PageBuilder& page = build(item(10, 10));
    zxDrag* drag = page.drag(0);
    ASSERT_NE(drag, nullptr);
    ASSERT_NE(drag->button(), nullptr);
    EXPECT_EQ(drag->button()->text(), QStringLiteral("Item"));
    EXPECT_EQ(drag->button()->geometry(), QRect(10, 10, 20, 20));

    dragTo(drag, {150, 80}); // touches targets 0 and 1: the lower index wins
    EXPECT_EQ(at(drag), QPoint(150, 60));
    EXPECT_EQ(drag->placedIndex(), 0);
    EXPECT_EQ(drag->currentMark(), 100);
    EXPECT_EQ(m_steps.back(), (Position{150, 60})) << "the item glides there";

    dragTo(drag, {80, 100}); // its right edge touches target 1's left edge
    EXPECT_EQ(drag->placedIndex(), 1);
    EXPECT_EQ(at(drag), QPoint(150, 100));

    dragTo(drag, {50, 250}); // inside the large target
    EXPECT_EQ(drag->placedIndex(), 2);
    EXPECT_EQ(at(drag), QPoint(190, 290));

    dragTo(drag, {295, 95}); // around the small one
    EXPECT_EQ(drag->placedIndex(), 3);
    EXPECT_EQ(at(drag), QPoint(292, 92));

    dragTo(drag, {500, 420}); // nowhere: home again
    EXPECT_EQ(drag->placedIndex(), -1);
    EXPECT_EQ(at(drag), QPoint(10, 10));
    EXPECT_EQ(getTag(drag->writeAnswer(), "userAnswer"), "-1");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the drag cursor is gone";
}

TEST_F(AnswerDragTest, ItemKeepsThePointWhereItWasTaken)
{
    PageBuilder& page = build(item(10, 10));
    QWidget* visual = page.drag(0)->visual();
    QTest::mousePress(visual, Qt::LeftButton, {}, QPoint(15, 4));
    const QPoint pointer(215, 154);
    QTest::mouseMove(visual, visual->mapFrom(m_page.get(), pointer));
    EXPECT_EQ(at(page.drag(0)), QPoint(200, 150)) << "the point taken stays under the pointer";
    QTest::mouseRelease(visual, Qt::LeftButton, {}, visual->mapFrom(m_page.get(), pointer));
    EXPECT_EQ(at(page.drag(0)), QPoint(10, 10)) << "no target there: home again";
}

TEST_F(AnswerDragTest, OverlapRefusedSendsTheItemHome)
{
    PageBuilder& page = build("<numSelections>2</numSelections>" + item(10, 10, "<dragCanIntersect>0</dragCanIntersect>")
                              + item(10, 40, "<dragCanIntersect>0</dragCanIntersect>"));
    dragTo(page.drag(0), {150, 60});
    dragTo(page.drag(1), {150, 100});
    EXPECT_EQ(page.drag(1)->placedIndex(), 1);
    EXPECT_EQ(page.placementQueue().count(), 2);

    dragTo(page.drag(1), {150, 60}); // target 0's centre is taken by the first item
    EXPECT_EQ(page.drag(1)->placedIndex(), -1);
    EXPECT_EQ(at(page.drag(1)), QPoint(10, 40));
    EXPECT_FALSE(page.placementQueue().contains(1));
    EXPECT_EQ(getTag(page.drag(1)->writeAnswer(), "userAnswer"), "-1");

    // Without the rule items may lie on each other.
    build(item(10, 10) + item(10, 40));
    dragTo(m_builder->drag(0), {150, 60});
    dragTo(m_builder->drag(1), {150, 60});
    EXPECT_EQ(m_builder->drag(1)->placedIndex(), 0);
}

TEST_F(AnswerDragTest, PlacementLimitOfOneAndTwo)
{
    PageBuilder& page = build("<numSelections>1</numSelections>" + item(10, 10, "<userAnswer>2</userAnswer>") + item(10, 40));
    EXPECT_EQ(at(page.drag(0)), QPoint(190, 290)) << "the stored answer puts the item back";
    EXPECT_TRUE(page.placementQueue().contains(0));
    dragTo(page.drag(1), {150, 60});
    EXPECT_EQ(page.drag(0)->placedIndex(), -1);
    EXPECT_EQ(at(page.drag(0)), QPoint(10, 10));
    EXPECT_EQ(page.drag(0)->record().find("<userAnswer>"), std::string::npos) << "its answer is removed";
    EXPECT_EQ(page.placementQueue().at(0), 1);
    EXPECT_EQ(page.placementQueue().count(), 1);

    build("<numSelections>2</numSelections>" + item(10, 10) + item(10, 40) + item(10, 70));
    dragTo(m_builder->drag(0), {150, 60});
    dragTo(m_builder->drag(1), {150, 100});
    dragTo(m_builder->drag(2), {50, 250});
    EXPECT_EQ(m_builder->drag(0)->placedIndex(), -1) << "the item placed longest ago goes home";
    EXPECT_EQ(m_builder->drag(1)->placedIndex(), 1);
    EXPECT_EQ(m_builder->drag(2)->placedIndex(), 2);
}

TEST_F(AnswerDragTest, GlideStepsFromOriginToHundredFifty)
{
    save(filled(20, 10, Qt::blue), "item.bmp");
    save(filled(20, 10, Qt::yellow), "over.bmp");
    save(filled(24, 12, Qt::red), "down.bmp");
    PageBuilder& page = build("<zxDrag><dragFilePathAbs>item.bmp</dragFilePathAbs><dragOverFilePathAbs>over.bmp"
                              "</dragOverFilePathAbs><dragDownFilePathAbs>down.bmp</dragDownFilePathAbs>"
                              "<targets>0,,1,300,300,40,40;</targets></zxDrag>");
    zxDrag* drag = page.drag(0);
    ASSERT_NE(drag->picture(), nullptr);
    EXPECT_EQ(drag->picture()->geometry(), QRect(0, 0, 20, 10));
    EXPECT_EQ(getTag(drag->record(), "DragWidth"), "24") << "the last picture's size is written";
    EXPECT_FALSE(drag->overPicture()->isVisible());

    ASSERT_TRUE(drag->moveTo(100, 50));
    ASSERT_EQ(m_steps.size(), 101u);
    EXPECT_EQ(m_steps, glidePath({0, 0}, {100, 50}));
    EXPECT_EQ(m_steps[1], (Position{1, 0})) << "half a pixel rounds to the even neighbour";
    EXPECT_EQ(m_steps[3], (Position{3, 2}));
    EXPECT_EQ(m_steps[5], (Position{5, 2}));
    EXPECT_EQ(at(drag), QPoint(100, 50));
    EXPECT_EQ(drag->overPicture()->pos(), QPoint(100, 50));
    EXPECT_EQ(drag->dragPicture()->pos(), QPoint(100, 50));

    // Hovering shows the pointer-over picture; the bare window hides it.
    QTest::mouseMove(drag->picture(), QPoint(3, 3));
    EXPECT_TRUE(drag->overPicture()->isVisible());
    page.pointerOverWindow();
    EXPECT_FALSE(drag->overPicture()->isVisible());

    // A move along one axis jumps at once.
    m_steps.clear();
    drag->moveTo(100, 400);
    EXPECT_EQ(m_steps.size(), 2u);
}

TEST_F(AnswerDragTest, MarksAndCheatLeaveTheAnswerAlone)
{
    PageBuilder& page = build("<numSelections>1</numSelections>" + item(10, 10) + item(10, 40));
    dragTo(page.drag(0), {150, 100}); // target 1, mark 0

    ScoreTally totals;
    page.drag(0)->markAnswer(page.tickImage(), nullptr, totals);
    page.drag(1)->markAnswer(page.tickImage(), nullptr, totals);
    EXPECT_EQ(totals, (ScoreTally{0, 200, 0, 0}));
    ASSERT_NE(page.drag(0)->markPicture(), nullptr);
    EXPECT_EQ(page.drag(0)->markPicture()->pos(), QPoint(150, 100)) << "visual left + width - 20, top";
    EXPECT_TRUE(page.drag(0)->markPicture()->picture().isNull()) << "a cross (none loaded here)";
    EXPECT_EQ(page.drag(1)->markPicture(), nullptr);

    // Cheat: both go to their best target whatever the limit; release puts
    // back the candidate's placement.
    page.placementQueue().clear();
    for (int i = 0; i < 2; ++i)
        page.drag(i)->moveTo(page.drag(i)->home().x, page.drag(i)->home().y);
    for (int i = 0; i < 2; ++i)
        page.drag(i)->showAnswer();
    EXPECT_EQ(at(page.drag(0)), QPoint(150, 60));
    EXPECT_EQ(at(page.drag(1)), QPoint(150, 60));
    EXPECT_EQ(page.drag(0)->placedIndex(), 1);
    EXPECT_EQ(page.placementQueue().count(), 0);
    page.placementQueue().clear();
    for (int i = 0; i < 2; ++i)
        page.drag(i)->restoreAnswer();
    EXPECT_EQ(at(page.drag(0)), QPoint(150, 100));
    EXPECT_EQ(at(page.drag(1)), QPoint(10, 40));
    EXPECT_TRUE(page.placementQueue().contains(0));
}

TEST_F(AnswerDragTest, FinishedTestAndLeavingMidDrag)
{
    PageBuilder& page = build(item(10, 10, "<userAnswer>0</userAnswer>"), TestState::ResultsStored);
    dragTo(page.drag(0), {300, 300});
    EXPECT_EQ(at(page.drag(0)), QPoint(150, 60)) << "no dragging once the test is finished";
    EXPECT_EQ(m_refusals, std::vector<int>{83});

    // The page is left while an item is held: the cursor comes back and
    // the queues forget the page.
    build("<numSelections>1</numSelections>" + item(10, 10));
    QTest::mousePress(m_builder->drag(0)->visual(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    m_builder->leavePage();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(m_builder->dragCount(), 0);

    // ... or while it glides: the glide stops without touching the item.
    build("<numSelections>1</numSelections>" + item(10, 10));
    m_leaveOnStep = true;
    dragTo(m_builder->drag(0), {150, 80});
    EXPECT_EQ(m_builder->dragCount(), 0);
    EXPECT_EQ(m_builder->placementQueue().count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace zx::testing
