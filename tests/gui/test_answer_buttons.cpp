// Choice and true/false buttons built by the page builder on a plain
// offscreen page: pointer events on their pictures, the page's selection
// limit, the layer they are shown in, marking, Cheat and the finished
// states.
#include "objects/core/score_tally.h"
#include "objects/image_control.h"
#include "objects/zx_button.h"
#include "objects/zx_text.h"
#include "tagtext/tagged_text.h"
#include "test_page_objects_fixture.h"
#include "testrun/page_builder.h"

#include <QLabel>

namespace zx::testing {
namespace {

class AnswerButtonTest : public PageObjectsTest {
protected:
    void SetUp() override
    {
        PageObjectsTest::SetUp();
        save(filled(30, 30, Qt::white), "s1.bmp");
        save(filled(30, 30, Qt::yellow), "s2.bmp");
        save(filled(30, 30, Qt::blue), "s3.bmp");
        for (int n = 1; n <= 7; ++n)
            save(filled(100, 30, QColor(n * 30, 0, 0)), ("tf" + std::to_string(n) + ".bmp").c_str());
        save(filled(4, 4, Qt::green), "tick.bmp");
        save(filled(4, 4, Qt::red), "cross.bmp");
        write("click.wav", QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16));
    }

    static std::string choice(int left, int top, const char* selectedMark = "1", const std::string& extra = {})
    {
        return "<zxButton><buttonType>0</buttonType><buttonLeft>" + std::to_string(left) + "</buttonLeft><buttonTop>"
               + std::to_string(top) + "</buttonTop><s1>s1.bmp</s1><s2>s2.bmp</s2><s3>s3.bmp</s3>"
               + "<ButtonSound1>click.wav</ButtonSound1><buttonMarkIfSelected>" + selectedMark
               + "</buttonMarkIfSelected><buttonMarkIfNotSelected>0</buttonMarkIfNotSelected>" + extra + "</zxButton>";
    }
    static std::string trueFalse(const std::string& extra = {})
    {
        std::string r = "<zxButton><buttonType>1</buttonType><buttonLeft>200</buttonLeft><buttonTop>100</buttonTop>";
        for (int n = 1; n <= 7; ++n)
            r += "<tf" + std::to_string(n) + ">tf" + std::to_string(n) + ".bmp</tf" + std::to_string(n) + ">";
        return r + "<ButtonSound2>click.wav</ButtonSound2><buttonMarkIfSelected>0</buttonMarkIfSelected>" + extra
               + "</zxButton>";
    }

    PageBuilder& build(const std::string& page, TestState state = TestState::Running)
    {
        PageContext c = context();
        c.announceRefusal = [this](int number) { m_refusals.push_back(number); };
        m_builder = std::make_unique<PageBuilder>(m_page.get(), c);
        m_builder->loadTickAndCross("<tickFileAbs>tick.bmp</tickFileAbs><crossFileAbs>cross.bmp</crossFileAbs>");
        m_builder->buildPage(page, state);
        showPage();
        return *m_builder;
    }
    // A click at a page point on whatever picture lies on top there.
    void clickPage(int x, int y) { clickAt(QPoint(x, y)); }

    std::vector<int> selectedSlots() const
    {
        std::vector<int> queued;
        for (int i = 0; i < SelectionQueue::capacity && m_builder->selectionQueue().at(i) != SelectionQueue::empty; ++i)
            queued.push_back(m_builder->selectionQueue().at(i));
        return queued;
    }

    std::unique_ptr<PageBuilder> m_builder;
    std::vector<int> m_refusals;
};

TEST_F(AnswerButtonTest, TrueFalseHalvesOnAHundredPixelPicture)
{
    PageBuilder& page = build(trueFalse());
    zxButton* button = page.button(0);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->halfWidth(), 50);
    EXPECT_EQ(button->picture(1)->geometry(), QRect(200, 100, 100, 30));

    clickPage(250, 110); // X = 50
    EXPECT_EQ(button->state(), 1);
    EXPECT_TRUE(button->picture(4)->isVisible());
    EXPECT_EQ(m_played, std::vector<std::string>{path("click.wav")}) << "the sound of becoming true";
    clickPage(251, 110); // X = 51: straight from true to false
    EXPECT_EQ(button->state(), 2);
    EXPECT_FALSE(button->picture(4)->isVisible());
    EXPECT_TRUE(button->picture(5)->isVisible());
    clickPage(299, 110); // false again clears the answer
    EXPECT_EQ(button->state(), 0);
    EXPECT_FALSE(button->picture(5)->isVisible());

    // Hovering: the right half shows tf3, the left half hides it.
    QTest::mouseMove(button->picture(1), QPoint(80, 10));
    EXPECT_TRUE(button->picture(2)->isVisible());
    EXPECT_TRUE(button->picture(3)->isVisible());
    page.pointerOverWindow();
    EXPECT_FALSE(button->picture(2)->isVisible());
    EXPECT_FALSE(button->picture(3)->isVisible());
}

TEST_F(AnswerButtonTest, ChoiceSoundsOnlyWhenSelected)
{
    PageBuilder& page = build(choice(10, 10));
    clickPage(15, 15);
    EXPECT_EQ(page.button(0)->state(), 1);
    EXPECT_EQ(m_played, std::vector<std::string>{path("click.wav")});
    clickPage(15, 15); // pressing the selected button clears it without a sound
    EXPECT_EQ(page.button(0)->state(), 0);
    EXPECT_EQ(m_played.size(), 1u);
}

TEST_F(AnswerButtonTest, SelectionLimitOfOneAndTwo)
{
    const std::string three = choice(10, 10) + choice(10, 50) + choice(10, 90);

    // Two: A, B, C leaves B and C; A's record says not selected.
    PageBuilder& page = build("<numSelections>2</numSelections>" + three);
    clickPage(15, 15);
    clickPage(15, 55);
    clickPage(15, 95);
    EXPECT_EQ(page.button(0)->state(), 0);
    EXPECT_FALSE(page.button(0)->picture(3)->isVisible());
    EXPECT_EQ(getTag(page.button(0)->record(), "userAnswer"), "0");
    EXPECT_EQ(selectedSlots(), (std::vector<int>{2, 1}));
    // Deselecting B and selecting A leaves C and A.
    clickPage(15, 55);
    clickPage(15, 15);
    EXPECT_EQ(page.button(1)->state(), 0);
    EXPECT_EQ(page.button(2)->state(), 1);
    EXPECT_EQ(page.button(0)->state(), 1);
    EXPECT_EQ(selectedSlots(), (std::vector<int>{0, 2}));

    // One: a radio group.
    build("<numSelections>1</numSelections>" + three);
    clickPage(15, 15);
    clickPage(15, 95);
    EXPECT_EQ(m_builder->button(0)->state(), 0);
    EXPECT_EQ(m_builder->button(2)->state(), 1);

    // None: any number.
    build(three);
    clickPage(15, 15);
    clickPage(15, 55);
    clickPage(15, 95);
    EXPECT_EQ(m_builder->button(0)->state() + m_builder->button(1)->state() + m_builder->button(2)->state(), 3);
    EXPECT_TRUE(selectedSlots().empty());

    // Stored answers fill the queue again when the page is built.
    build("<numSelections>2</numSelections>" + choice(10, 10, "1", "<userAnswer>1</userAnswer>") + choice(10, 50)
          + choice(10, 90, "1", "<userAnswer>1</userAnswer>"));
    EXPECT_EQ(selectedSlots(), (std::vector<int>{2, 0}));
    clickPage(15, 55);
    EXPECT_EQ(m_builder->button(0)->state(), 0) << "the oldest stored selection goes";
}

TEST_F(AnswerButtonTest, CreatedOnlyWhenValidAndShownInTheirLayer)
{
    // A record without a mark for being selected makes no button; a short
    // element ends the buttons; pre-test pages have none.
    PageBuilder& page = build(choice(10, 10) + "<zxButton><buttonType>1</buttonType>" + std::string(40, ' ')
                              + "</zxButton>" + choice(10, 50) + "<zxButton>short</zxButton>" + choice(10, 90));
    EXPECT_EQ(page.buttonCount(), 2);
    build(choice(10, 10), TestState::Ready);
    EXPECT_EQ(m_builder->buttonCount(), 0);

    // Within a layer: shape < button < text; a lower layer lies on top.
    const std::string text5 = "<zxText><feedback>0</feedback><TextLayer>5</TextLayer><textLeft>20</textLeft>"
                              "<textTop>20</textTop><textWidth>10</textWidth><textHeight>10</textHeight>"
                              "<zxString>T</zxString></zxText>";
    const std::string shape5 = "<zxShape><feedback>0</feedback><ShapeLayer>5</ShapeLayer><ShapeLeft>0</ShapeLeft>"
                               "<ShapeTop>0</ShapeTop><ShapeWidth>60</ShapeWidth><ShapeHeight>60</ShapeHeight></zxShape>";
    const std::string text6 = "<zxText><feedback>0</feedback><TextLayer>6</TextLayer><textLeft>0</textLeft>"
                              "<textTop>30</textTop><textWidth>10</textWidth><textHeight>10</textHeight>"
                              "<zxString>U</zxString></zxText>";
    build(text5 + text6 + shape5 + choice(5, 5, "1", "<ButtonLayer>5</ButtonLayer>"));
    EXPECT_EQ(m_page->childAt(25, 25), m_builder->text(0)->label()) << "text above the button";
    EXPECT_EQ(m_page->childAt(8, 8), m_builder->button(0)->picture(1)) << "button above the shape";
    EXPECT_EQ(m_page->childAt(8, 33), m_builder->button(0)->picture(1)) << "layer 5 above layer 6";
}

TEST_F(AnswerButtonTest, MarksCheatAndAnswerRecords)
{
    PageBuilder& page = build(choice(10, 10) + choice(10, 50, "0") + trueFalse(
        "<buttonMarkIfTrueSelected>1</buttonMarkIfTrueSelected><buttonMarkIfFalseSelected>1</buttonMarkIfFalseSelected>"
        "<userAnswer>7</userAnswer>"));
    clickPage(15, 15);
    clickPage(15, 55);
    EXPECT_TRUE(page.button(0)->picture(3)->isVisible());

    ScoreTally totals;
    for (int i = 0; i < 3; ++i)
        page.button(i)->markAnswer(page.tickImage(), page.crossImage(), totals);
    EXPECT_EQ(totals, (ScoreTally{200, 200, 0, 0})) << "a stored 7 reads as false";
    ASSERT_NE(page.button(0)->markPicture(), nullptr);
    EXPECT_EQ(page.button(0)->markPicture()->geometry(), QRect(25, 41, 4, 4));
    EXPECT_EQ(page.button(0)->markPicture()->picture().pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(page.button(1)->markPicture()->picture().pixel(1, 1), qRgb(255, 0, 0)) << "equal marks: a cross";

    // Cheat: the correct pictures; a tie of true and false shows false.
    for (int i = 0; i < 3; ++i)
        page.button(i)->showAnswer();
    EXPECT_TRUE(page.button(0)->picture(3)->isVisible());
    EXPECT_FALSE(page.button(1)->picture(3)->isVisible());
    EXPECT_TRUE(page.button(2)->picture(5)->isVisible());
    EXPECT_EQ(page.button(1)->state(), 1) << "the answer itself stays";
    page.button(1)->applyState();
    EXPECT_TRUE(page.button(1)->picture(3)->isVisible());

    const std::string saved = page.pageTextWithAnswers(choice(10, 10) + choice(10, 50, "0") + trueFalse());
    EXPECT_EQ(saved.find("<zxButton>"), 0u) << "the old elements are gone, the new ones appended";
    EXPECT_EQ(getTagInt(getTag(saved, "zxButton"), "userAnswer", -9), 1);
    const std::string third = getTag(deleteTag(deleteTag(saved, "zxButton"), "zxButton"), "zxButton");
    EXPECT_EQ(getTag(third, "userAnswer"), "2") << "what the button showed is what it stores";
    EXPECT_EQ(saved.substr(saved.size() - 13), "</zxButton>\r\n");
}

TEST_F(AnswerButtonTest, FinishedTestRefusesPresses)
{
    PageBuilder& page = build(choice(10, 10, "1", "<userAnswer>1</userAnswer>") + trueFalse(), TestState::Finished);
    clickPage(15, 15);
    clickPage(260, 110);
    EXPECT_EQ(page.button(0)->state(), 1);
    EXPECT_EQ(page.button(1)->state(), 0);
    EXPECT_EQ(m_refusals, (std::vector<int>{83, 83}));
    EXPECT_TRUE(m_played.empty());
}

} // namespace
} // namespace zx::testing
