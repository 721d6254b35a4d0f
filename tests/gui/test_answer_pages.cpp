// Answers on a real main window through the test run: what the candidate
// does on a page is written into the question list when the page is left
// and comes back when the page is shown again.
#include "test_run_fixture.h"

#include "objects/zx_button.h"
#include "objects/zx_drag.h"
#include "objects/zx_field.h"
#include "tagtext/tagged_text.h"
#include "tools/bankpack/bank_packer.h"
#include "testrun/page_builder.h"
#include "testrun/test_run.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include <random>

namespace zx::test {

namespace {

const std::string answerPage =
    "<windowSize>3</windowSize><numSelections>1</numSelections>"
    "<zxText><feedback>0</feedback><zxString>Which planet is red?</zxString></zxText>"
    "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth><FieldHeight>20</FieldHeight>"
    "<editRestriction>0</editRestriction><userAnswer></userAnswer><FieldAnswer1>Mars</FieldAnswer1></zxField>\r\n"
    "<zxButton><buttonType>0</buttonType><buttonLeft>40</buttonLeft><buttonTop>100</buttonTop><s1>s1.bmp</s1>"
    "<s3>s3.bmp</s3><buttonMarkIfSelected>0</buttonMarkIfSelected><userAnswer>0</userAnswer></zxButton>\r\n"
    "<zxButton><buttonType>0</buttonType><buttonLeft>40</buttonLeft><buttonTop>140</buttonTop><s1>s1.bmp</s1>"
    "<s3>s3.bmp</s3><buttonMarkIfSelected>1</buttonMarkIfSelected><userAnswer>0</userAnswer></zxButton>\r\n"
    "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Red</DragName><DragLeft>300</DragLeft><DragTop>40</DragTop>"
    "<DragWidth>40</DragWidth><DragHeight>20</DragHeight><targets>0,Mars,1,300,200,80,40;</targets></zxDrag>\r\n";

} // namespace

class AnswerPagesTest : public TestRunFixture {
protected:
    QString makeBank(const std::vector<std::string>& questions)
    {
        return TestRunFixture::makeBank("<version>1</version><BankPassword>0</BankPassword>", questions, {},
                                        [](const QString& media) {
                                            QImage picture(24, 24, QImage::Format_RGB32);
                                            picture.fill(Qt::white);
                                            EXPECT_TRUE(picture.save(media + QStringLiteral("/s1.bmp")));
                                            picture.fill(Qt::blue);
                                            EXPECT_TRUE(picture.save(media + QStringLiteral("/s3.bmp")));
                                        });
    }
    static int countOf(const std::string& text, const std::string& what)
    {
        int n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
};

TEST_F(AnswerPagesTest, AnswersSurviveLeavingAndComingBack)
{
    m_run->openBank(makeBank({answerPage, "<windowSize>3</windowSize><zxText><zxString>Two</zxString></zxText>"}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    ASSERT_EQ(m_run->currentQuestion(), 0);
    PageBuilder& page = m_run->page();
    ASSERT_EQ(page.fieldCount(), 1);
    ASSERT_EQ(page.buttonCount(), 2);
    ASSERT_EQ(page.dragCount(), 1);

    // Type, choose and drop.
    QTest::keyClicks(page.field(0)->box(), QStringLiteral("Mars"));
    ImageControl* second = page.button(1)->picture(1);
    ASSERT_EQ(second->size(), QSize(24, 24));
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(3, 3));
    QWidget* item = page.drag(0)->visual();
    QTest::mousePress(item, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(item, QPoint(12, 182));
    QTest::mouseRelease(item, Qt::LeftButton, {}, item->mapFromParent(QPoint(312, 202)));
    ASSERT_EQ(page.drag(0)->placedIndex(), 0);

    m_run->goToQuestion(1);
    const std::string stored = getTag(m_run->questionList(), "questionFile0");
    EXPECT_EQ(stored.rfind("<windowSize>3</windowSize>", 0), 0u) << "the page keeps what is not an answer";
    EXPECT_EQ(countOf(stored, "<zxButton>"), 2);
    EXPECT_EQ(countOf(stored, "<zxField>"), 1);
    EXPECT_EQ(countOf(stored, "<zxDrag>"), 1);
    EXPECT_LT(stored.find("<zxField>"), stored.find("<zxButton>")) << "fields, then buttons, then items";
    EXPECT_LT(stored.rfind("<zxButton>"), stored.find("<zxDrag>"));
    EXPECT_EQ(stored.substr(stored.size() - 11), "</zxDrag>\r\n");
    EXPECT_EQ(getTag(getTag(stored, "zxField"), "userAnswer"), "Mars");
    EXPECT_EQ(getTag(getTag(stored, "zxDrag"), "userAnswer"), "0");
    EXPECT_EQ(getTag(getTag(deleteTag(stored, "zxButton"), "zxButton"), "userAnswer"), "1");
    EXPECT_EQ(page.fieldCount() + page.buttonCount() + page.dragCount(), 0);

    m_run->goToQuestion(0);
    ASSERT_EQ(page.fieldCount(), 1);
    EXPECT_EQ(page.field(0)->box()->text(), QStringLiteral("Mars"));
    EXPECT_EQ(page.button(0)->state(), 0);
    EXPECT_EQ(page.button(1)->state(), 1);
    EXPECT_TRUE(page.button(1)->picture(3)->isVisible());
    EXPECT_TRUE(page.selectionQueue().contains(1));
    EXPECT_EQ(page.drag(0)->placedIndex(), 0);
    EXPECT_EQ(page.drag(0)->visual()->pos(), QPoint(320, 210));
    EXPECT_TRUE(page.placementQueue().contains(0));

    // The radio group still works on the rebuilt page, and a second round
    // trip stores the change without piling up elements.
    QTest::mouseClick(page.button(0)->picture(1), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(page.button(1)->state(), 0);
    m_run->goToQuestion(1);
    m_run->goToQuestion(0);
    EXPECT_EQ(page.button(0)->state(), 1);
    EXPECT_EQ(page.button(1)->state(), 0);
    EXPECT_EQ(countOf(getTag(m_run->questionList(), "questionFile0"), "<zxButton>"), 2);
}

TEST_F(AnswerPagesTest, ShortButtonElementDoesNotHideTheButtonsOnTheNextVisit)
{
    // A short element ends the reading of buttons: only A is built.  On
    // leaving, it is put back after the buttons' records, so A comes back.
    auto button = [](int top, int answer) {
        return "<zxButton><buttonType>0</buttonType><buttonLeft>40</buttonLeft><buttonTop>" + std::to_string(top)
               + "</buttonTop><s1>s1.bmp</s1><s3>s3.bmp</s3><buttonMarkIfSelected>1</buttonMarkIfSelected>"
                 "<userAnswer>"
               + std::to_string(answer) + "</userAnswer></zxButton>\r\n";
    };
    const std::string shortElement = "<zxButton>0123456789</zxButton>";
    const std::string question = "<windowSize>3</windowSize>" + button(100, 1) + shortElement + "\r\n" + button(140, 0);
    m_run->openBank(makeBank({question, "<windowSize>3</windowSize><zxText><zxString>Two</zxString></zxText>"}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    PageBuilder& page = m_run->page();
    ASSERT_EQ(page.buttonCount(), 1);
    EXPECT_EQ(page.button(0)->state(), 1);

    for (int round = 0; round < 2; ++round) {
        m_run->goToQuestion(1);
        const std::string stored = getTag(m_run->questionList(), "questionFile0");
        EXPECT_EQ(countOf(stored, "<zxButton>"), 3) << "no element is lost";
        EXPECT_LT(stored.find("<buttonTop>100</buttonTop>"), stored.find(shortElement));
        m_run->goToQuestion(0);
        ASSERT_EQ(page.buttonCount(), 1) << round;
        EXPECT_EQ(getTagInt(page.button(0)->record(), "buttonTop", 0), 100);
        EXPECT_EQ(page.button(0)->state(), 1);
        EXPECT_TRUE(page.button(0)->picture(3)->isVisible());
    }
}

} // namespace zx::test
