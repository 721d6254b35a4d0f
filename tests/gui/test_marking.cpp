// Marking a question, Cheat and Help, feedback panels and videos on pages
// built by the test run.
#include "test_run_fixture.h"

#include "objects/image_control.h"
#include "objects/zx_button.h"
#include "objects/zx_drag.h"
#include "objects/zx_feedback.h"
#include "objects/zx_field.h"
#include "objects/zx_video.h"
#include "tagtext/tagged_text.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace zx::test {

namespace {

// One field (marks 1 / 0 / 0, answered correctly), one choice button
// (2 / 0, not selected), one item (targets marked 1 and 0, not placed).
const std::string fieldButtonItem =
    "<windowSize>1</windowSize><numSelections>1</numSelections>"
    "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth><FieldHeight>20</FieldHeight>"
    "<editRestriction>0</editRestriction><FieldAnswer1>Mars</FieldAnswer1><userAnswer>mars</userAnswer>"
    "<FieldMarkIfCorrect>1</FieldMarkIfCorrect><FieldMarkIfIncorrect>0</FieldMarkIfIncorrect>"
    "<FieldMarkIfNotSelected>0</FieldMarkIfNotSelected></zxField>\r\n"
    "<zxButton><buttonType>0</buttonType><buttonLeft>40</buttonLeft><buttonTop>100</buttonTop><s1>pic.bmp</s1>"
    "<buttonMarkIfSelected>2</buttonMarkIfSelected><buttonMarkIfNotSelected>0</buttonMarkIfNotSelected>"
    "<userAnswer>0</userAnswer></zxButton>\r\n"
    "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Red</DragName><DragLeft>300</DragLeft><DragTop>40</DragTop>"
    "<DragWidth>40</DragWidth><DragHeight>20</DragHeight><DragMarkIfNotSelected>0</DragMarkIfNotSelected>"
    "<targets>0,A,1,300,200,80,40;1,B,0,420,200,80,40;</targets></zxDrag>\r\n";

std::string feedback(int criterion, const std::string& id, const std::string& extra = {})
{
    return "<zxFeedback><id>" + id + "</id><FeedbackCriteria>" + std::to_string(criterion) +
           "</FeedbackCriteria><FeedbackLeft>500</FeedbackLeft><FeedbackTop>300</FeedbackTop>"
           "<FeedbackWidth>200</FeedbackWidth><FeedbackHeight>100</FeedbackHeight>" + extra + "</zxFeedback>";
}

std::string panelText(const std::string& id, const std::string& text)
{
    return "<zxText><feedback>" + id + "</feedback><zxString>" + text + "</zxString><textLeft>5</textLeft></zxText>";
}

} // namespace

class MarkingTest : public TestRunFixture {
protected:
    void openPages(const std::vector<std::string>& pages, const std::string& settings = "<version>1</version>")
    {
        m_run->openBank(makeBank("<allowMarking>1</allowMarking><allowCheating>1</allowCheating>" + settings, pages));
        ASSERT_EQ(m_form->testState(), TestState::Running);
    }
    bool panelShown(int slot) const
    {
        zxFeedback* f = m_run->page().feedback(slot);
        return f && f->panel() && f->panel()->isVisible();
    }
};

TEST_F(MarkingTest, PageSumsAndTicksOnlyWhereTheBestWasGot)
{
    openPages({fieldButtonItem + feedback(0, "1") + feedback(4, "2")});
    PageBuilder& page = m_run->page();
    ASSERT_EQ(page.fieldCount(), 1);
    ASSERT_EQ(page.buttonCount(), 1);
    ASSERT_EQ(page.dragCount(), 1);
    const ScoreTally first = page.markPage(m_run->testSettings());
    EXPECT_EQ(first.score, 100);
    EXPECT_EQ(first.best, 400);
    EXPECT_EQ(first.worst, 0);
    ASSERT_TRUE(page.field(0)->markPicture());
    EXPECT_TRUE(page.field(0)->markPicture()->isVisible());
    EXPECT_EQ(page.field(0)->markPicture()->picture(), page.tickImage()->picture());
    EXPECT_FALSE(page.button(0)->markPicture() && page.button(0)->markPicture()->isVisible());
    EXPECT_FALSE(page.drag(0)->markPicture() && page.drag(0)->markPicture()->isVisible());
    // Score 1 of 4: criterion 0 does not match, so the criterion-4 panel shows.
    EXPECT_FALSE(panelShown(0));
    EXPECT_TRUE(panelShown(1));

    // The Mark button does the same, again and again.
    QTest::mouseClick(panelButton(*m_form, "MarkButton"), Qt::LeftButton);
    EXPECT_EQ(page.markPage(m_run->testSettings()), first);
    EXPECT_TRUE(panelShown(1));
    EXPECT_FALSE(panelShown(0));
}

TEST_F(MarkingTest, PageWithoutAnswerObjectsMatchesBestAndWorst)
{
    openPages({"<windowSize>1</windowSize>" + feedback(0, "1") + feedback(1, "2") + feedback(4, "3") +
               panelText("1", "well done") + "<ShowAllFeedbackMatches>1</ShowAllFeedbackMatches>"});
    QTest::mouseClick(panelButton(*m_form, "MarkButton"), Qt::LeftButton);
    EXPECT_TRUE(panelShown(0));
    EXPECT_TRUE(panelShown(1));
    EXPECT_FALSE(panelShown(2));
    // The panel's text lies on the panel, at its own position inside it.
    zxText* text = m_run->page().text(0);
    ASSERT_TRUE(text && text->label());
    EXPECT_EQ(text->label()->parentWidget(), m_run->page().feedback(0)->panel());
    EXPECT_EQ(text->label()->x(), 5);
}

TEST_F(MarkingTest, FeedbackSwitchedOffStillMarks)
{
    openPages({fieldButtonItem + feedback(5, "1")}, "<version>1</version><ShowFeedback>0</ShowFeedback>");
    QTest::mouseClick(panelButton(*m_form, "MarkButton"), Qt::LeftButton);
    EXPECT_FALSE(panelShown(0));
    EXPECT_TRUE(m_run->page().field(0)->markPicture()->isVisible());
}

TEST_F(MarkingTest, CheatShowsAnswersAndReleaseGivesEverythingBack)
{
    const std::string twoItems =
        "<windowSize>1</windowSize><numSelections>1</numSelections>"
        "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth>"
        "<FieldHeight>20</FieldHeight><editRestriction>0</editRestriction><FieldAnswer1>Mars</FieldAnswer1>"
        "<FieldMarkIfCorrect>1</FieldMarkIfCorrect></zxField>\r\n"
        "<zxButton><buttonType>0</buttonType><buttonLeft>40</buttonLeft><buttonTop>100</buttonTop><s1>pic.bmp</s1>"
        "<buttonMarkIfSelected>1</buttonMarkIfSelected><userAnswer>0</userAnswer></zxButton>\r\n"
        "<zxButton><buttonType>0</buttonType><buttonLeft>40</buttonLeft><buttonTop>160</buttonTop><s1>pic.bmp</s1>"
        "<buttonMarkIfSelected>0</buttonMarkIfSelected><userAnswer>1</userAnswer></zxButton>\r\n"
        "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>One</DragName><DragLeft>300</DragLeft>"
        "<DragTop>40</DragTop><DragWidth>40</DragWidth><DragHeight>20</DragHeight>"
        "<targets>0,A,1,300,200,80,40;</targets></zxDrag>\r\n"
        "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Two</DragName><DragLeft>360</DragLeft>"
        "<DragTop>40</DragTop><DragWidth>40</DragWidth><DragHeight>20</DragHeight>"
        "<targets>0,B,1,500,200,80,40;</targets></zxDrag>\r\n";
    openPages({twoItems});
    PageBuilder& page = m_run->page();
    QLineEdit* box = page.field(0)->box();
    ASSERT_TRUE(box);
    QTest::keyClicks(box, QStringLiteral("Venus"));
    ASSERT_EQ(box->text(), QStringLiteral("Venus"));
    const std::string before = page.pageTextWithAnswers(m_run->pageText());
    const QPoint firstAt = page.drag(0)->visual()->pos();
    const QPoint secondAt = page.drag(1)->visual()->pos();

    QTest::mousePress(panelButton(*m_form, "CheatButton"), Qt::LeftButton);
    EXPECT_EQ(box->text(), QStringLiteral("Mars"));
    EXPECT_EQ(page.button(0)->state(), 0); // the candidate's state stays
    // Both items sit on their targets while Cheat is held, limit or not.
    EXPECT_EQ(page.drag(0)->visual()->pos(), QPoint(300 + 40 - 20, 200 + 20 - 10));
    EXPECT_EQ(page.drag(1)->visual()->pos(), QPoint(500 + 40 - 20, 200 + 20 - 10));
    EXPECT_GT(m_glideSteps, 0);

    QTest::mouseRelease(panelButton(*m_form, "CheatButton"), Qt::LeftButton);
    EXPECT_EQ(box->text(), QStringLiteral("Venus"));
    EXPECT_EQ(page.button(0)->state(), 0);
    EXPECT_EQ(page.button(1)->state(), 1);
    EXPECT_EQ(page.drag(0)->visual()->pos(), firstAt);
    EXPECT_EQ(page.drag(1)->visual()->pos(), secondAt);
    EXPECT_EQ(page.pageTextWithAnswers(m_run->pageText()), before);

    // Help released without a Cheat press changes nothing.
    QTest::mouseClick(panelButton(*m_form, "HelpButton"), Qt::LeftButton);
    EXPECT_EQ(box->text(), QStringLiteral("Venus"));
    EXPECT_EQ(page.pageTextWithAnswers(m_run->pageText()), before);
}

TEST_F(MarkingTest, FinishedPagesShowTheirMarkingAndRefuseChanges)
{
    openPages({fieldButtonItem + feedback(5, "1"), "<windowSize>1</windowSize>" + panelText("0", "second")});
    questionSlider(*m_form)->setValue(1);
    m_form->setTestState(TestState::Finished);
    questionSlider(*m_form)->setValue(0);
    PageBuilder& page = m_run->page();
    ASSERT_EQ(page.fieldCount(), 1);
    EXPECT_TRUE(page.field(0)->markPicture() && page.field(0)->markPicture()->isVisible());
    EXPECT_TRUE(panelShown(0));
    QTest::keyClicks(page.field(0)->box(), QStringLiteral("x"));
    EXPECT_EQ(page.field(0)->box()->text(), QStringLiteral("mars"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x83"));
}

TEST_F(MarkingTest, VideosStartOnThePageOnlyWithAutoPlayAndAlwaysInAPanel)
{
    const std::string video = "<zxVideo><feedback>0</feedback><videoFilePathAbs>clip.avi</videoFilePathAbs>"
                              "<VideoLeft>10</VideoLeft><VideoTop>10</VideoTop><VideoWidth>160</VideoWidth>"
                              "<VideoHeight>120</VideoHeight><videoAutoStart>1</videoAutoStart></zxVideo>";
    const std::string inPanel = "<zxVideo><feedback>7</feedback><videoFilePathAbs>clip.avi</videoFilePathAbs>"
                                "<VideoWidth>160</VideoWidth><VideoHeight>120</VideoHeight>"
                                "<videoAutoStart>1</videoAutoStart></zxVideo>";
    const std::string flash = "<zxVideo><feedback>0</feedback><videoFilePathAbs>movie.swf</videoFilePathAbs>"
                              "<VideoWidth>160</VideoWidth><VideoHeight>120</VideoHeight></zxVideo>";
    const QString src = m_dir.path() + QStringLiteral("/videos");
    QDir().mkpath(src + QStringLiteral("/pages"));
    QDir().mkpath(src + QStringLiteral("/media"));
    writeFile(src + QStringLiteral("/settings.txt"), "<version>1</version><allowMarking>1</allowMarking>");
    writeFile(src + QStringLiteral("/media/clip.avi"), std::string("RIFF\x10\0\0\0AVI LIST", 16));
    writeFile(src + QStringLiteral("/media/movie.swf"), "FWS0123456789");
    writeFile(src + QStringLiteral("/pages/q00.txt"), "<windowSize>1</windowSize>" + video);
    writeFile(src + QStringLiteral("/pages/q01.txt"), "<windowSize>1</windowSize>" + inPanel + feedback(5, "7"));
    writeFile(src + QStringLiteral("/pages/q02.txt"), "<windowSize>1</windowSize>" + flash);
    writeFile(src + QStringLiteral("/pages/q03.txt"), "<windowSize>1</windowSize>" + video);

    m_run->openBank(packed(src));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(m_videoLog->calls.filter(QStringLiteral("play")).size(), 1);

    questionSlider(*m_form)->setValue(1);
    const int plays = static_cast<int>(m_videoLog->calls.filter(QStringLiteral("play")).size());
    EXPECT_EQ(m_run->page().video(0)->panel(), nullptr); // waits for its panel
    QTest::mouseClick(autoPlayBox(*m_form), Qt::LeftButton);
    ASSERT_FALSE(autoPlayBox(*m_form)->isChecked());
    QTest::mouseClick(panelButton(*m_form, "MarkButton"), Qt::LeftButton);
    EXPECT_EQ(m_videoLog->calls.filter(QStringLiteral("play")).size(), plays + 1);
    EXPECT_EQ(m_run->page().video(0)->panel()->parentWidget(), m_run->page().feedback(0)->panel());
    // Marking again hides the panel first, which closes its video; the
    // panel shown again starts a player of its own.
    const int made = m_videoLog->made;
    QTest::mouseClick(panelButton(*m_form, "MarkButton"), Qt::LeftButton);
    EXPECT_EQ(m_videoLog->made, made + 1);
    EXPECT_EQ(m_videoLog->alive, 1);
    EXPECT_EQ(m_videoLog->calls.mid(m_videoLog->calls.size() - 7, 3), (QStringList{"stop", "close", "widget"}));
    EXPECT_EQ(m_videoLog->calls.filter(QStringLiteral("play")).size(), plays + 2);

    questionSlider(*m_form)->setValue(2);
    EXPECT_EQ(getTag(m_run->pageText(), "videoProblem"), "message 86");
    questionSlider(*m_form)->setValue(3); // auto-play off: no start on the page
    EXPECT_EQ(m_videoLog->calls.filter(QStringLiteral("play")).size(), plays + 2);
    // The note went into the stored page.
    EXPECT_NE(m_run->questionList().find("<videoProblem>message 86</videoProblem>"), std::string::npos);
}

} // namespace zx::test
