// Finishing a test through the real window: the confirmation, the lifted
// exam lock, the reports by display mode, the View items, the results page
// at slider position 0 and the finished questions after it.
#include "test_run_fixture.h"

#include "window/back_cover_window.h"
#include "window/message_form.h"
#include "objects/field_edit.h"
#include "objects/zx_field.h"
#include "window/report_view.h"
#include "tagtext/tagged_text.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace zx::test {

namespace {

std::string settingsWith(const std::string& extra)
{
    return "<version>1</version><BankPassword>0</BankPassword><testName>Planets</testName>" + extra;
}

} // namespace

class FinishTest : public TestRunFixture {
protected:
    // Opens a two-question bank with these settings and answers the first
    // question right.
    void startTest(const std::string& extra)
    {
        m_run->openBank(makeBank(settingsWith(extra), {fieldQuestionPage("Red planet?", "Mars"), fieldQuestionPage("Ringed?", "Saturn")}));
        ASSERT_TRUE(m_form->testState() == TestState::Running || m_form->testState() == TestState::RunningExam);
        QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("mars"));
    }
    void finish(bool yes = true)
    {
        m_answerYes = yes;
        QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    }
    bool viewShown(ReportKind kind) const { return m_form->reportArea().reportVisible(kind); }
    bool viewExists(ReportKind kind) const { return m_form->reportArea().report(kind) != nullptr; }
    QAction* item(const char* name) const { return menuItem(*m_form, QString::fromLatin1(name)); }
};

TEST_F(FinishTest, NoKeepsTheTestAndYesScoresTheStoredAnswers)
{
    startTest("<showResults>1</showResults><showResultsSummary>1</showResultsSummary>");
    finish(false);
    EXPECT_EQ(m_questions, QStringList{QStringLiteral("message 23")});
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_TRUE(panelButton(*m_form, "FinishButton")->isEnabled());
    EXPECT_FALSE(viewExists(ReportKind::Detailed));

    finish();
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_FALSE(panelButton(*m_form, "FinishButton")->isEnabled());
    EXPECT_FALSE(autoPlayBox(*m_form)->isChecked());
    EXPECT_FALSE(questionSlider(*m_form)->isEnabled());
    // The answer typed on the page on show was saved before scoring.
    EXPECT_EQ(getTag(getTag(m_run->questionList(), "questionFile0"), "userAnswer"), "mars");
    EXPECT_EQ(getTag(m_run->testSettings(), "testEndDate"), "20261206143005");
    ASSERT_TRUE(m_results->lastScore());
    EXPECT_EQ(m_results->lastScore()->total.score, 200);
    EXPECT_EQ(m_results->lastScore()->total.items, 2);
    // Mode 4: the detailed report first, both View items offered.
    EXPECT_TRUE(viewShown(ReportKind::Detailed));
    EXPECT_TRUE(viewExists(ReportKind::Summary));
    EXPECT_FALSE(viewShown(ReportKind::Summary));
    EXPECT_TRUE(item("DetailedResults1")->isEnabled() && item("DetailedResults1")->isChecked());
    EXPECT_FALSE(item("ResultsSummary1")->isChecked());
    const std::string detailed = m_form->reportArea().report(ReportKind::Detailed)->plainText();
    EXPECT_NE(detailed.find("Planets\n"), std::string::npos);
    EXPECT_NE(detailed.find("message 97 1: Red planet?\n"), std::string::npos);
    EXPECT_NE(detailed.find("message 31 2.00 message 41 4.00\n"), std::string::npos);
    // Nothing was viewable and a report is shown: no end message.
    EXPECT_FALSE(m_form->messages().messageForm()->isVisible());

    item("ResultsSummary1")->trigger();
    EXPECT_TRUE(viewShown(ReportKind::Summary));
    EXPECT_FALSE(viewShown(ReportKind::Detailed));
    EXPECT_TRUE(item("ResultsSummary1")->isChecked());
    EXPECT_FALSE(item("DetailedResults1")->isChecked());
    item("ResultsSummary1")->trigger(); // a second click keeps the tick
    EXPECT_TRUE(item("ResultsSummary1")->isChecked());
}

TEST_F(FinishTest, AnExamIsUnlockedByFinishing)
{
    startTest("<isExam>1</isExam><showResults>1</showResults>");
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    EXPECT_FALSE(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(m_form->close());
    finish();
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_TRUE(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(item("FileOpenItem")->isEnabled());
    EXPECT_TRUE(item("FileExitItem")->isEnabled());
    EXPECT_TRUE(item("zxWebJump4")->isEnabled());
    EXPECT_FALSE(m_form->examLock().coverWindow()->isVisible());
    // Mode 2: the detailed report alone, no View items.
    EXPECT_TRUE(viewShown(ReportKind::Detailed));
    EXPECT_FALSE(viewExists(ReportKind::Summary));
    EXPECT_FALSE(item("ResultsSummary1")->isEnabled());
    item("ResultsSummary1")->trigger(); // one view: nothing happens
    EXPECT_TRUE(viewShown(ReportKind::Detailed));
    EXPECT_TRUE(m_form->close());
}

TEST_F(FinishTest, AnotherBankTakesTheReportOffTheScreenEvenWhenRefused)
{
    startTest("<showResults>1</showResults>");
    finish();
    ASSERT_TRUE(viewShown(ReportKind::Detailed));
    // A bank of a later version is refused after the page was left.
    m_run->openBank(packed(QStringLiteral("version2")));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x64"));
    EXPECT_FALSE(viewShown(ReportKind::Detailed));
    EXPECT_FALSE(viewShown(ReportKind::Summary));
}

TEST_F(FinishTest, DisplayModesChooseTheViewsAndTheViewItems)
{
    struct Case {
        const char* settings;
        bool detailed, summary, summaryShown, itemsOn;
    };
    const Case cases[] = {
        {"<showResults>0</showResults><showResultsSummary>1</showResultsSummary>", false, true, true, false},
        {"<showResults>1</showResults><showResultsSummary>1</showResultsSummary>"
         "<ResultsSummaryPriority>1</ResultsSummaryPriority>", true, true, true, true},
        {"<showResults>2</showResults><showResultsSummary>1</showResultsSummary>", false, false, false, false},
    };
    for (const Case& c : cases) {
        startTest(c.settings);
        finish();
        EXPECT_EQ(viewExists(ReportKind::Detailed), c.detailed) << c.settings;
        EXPECT_EQ(viewExists(ReportKind::Summary), c.summary) << c.settings;
        EXPECT_EQ(viewShown(ReportKind::Summary), c.summaryShown) << c.settings;
        EXPECT_EQ(item("ResultsSummary1")->isEnabled(), c.itemsOn) << c.settings;
    }
    // The last case shows no report and offers no question: message 54.
    EXPECT_TRUE(m_form->messages().messageForm()->isVisible());
    EXPECT_EQ(m_form->messages().messageForm()->windowTitle(), QStringLiteral("message 53"));
    EXPECT_EQ(m_form->messages().messageForm()->messageText(), QStringLiteral("message 54"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x54"));
}

TEST_F(FinishTest, FinishedQuestionsFollowTheResultsPage)
{
    startTest("<showResults>1</showResults><allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>");
    m_frameWaits.clear();
    finish();
    EXPECT_EQ(m_form->messages().messageForm()->messageText(), QStringLiteral("message 55"));
    EXPECT_FALSE(m_frameWaits.isEmpty()); // the attention frame around the slider
    QScrollBar* slider = questionSlider(*m_form);
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(slider->maximum(), 2);
    EXPECT_EQ(slider->value(), 0);
    EXPECT_FALSE(panelButton(*m_form, "FinishButton")->isEnabled());

    slider->setValue(1);
    EXPECT_FALSE(viewShown(ReportKind::Detailed));
    ASSERT_NE(m_run->page().field(0), nullptr);
    FieldEdit* box = m_run->page().field(0)->box();
    EXPECT_EQ(box->text(), QStringLiteral("mars"));
    // A finished page shows its marking and takes no answer.
    EXPECT_TRUE(m_run->page().tickImage() != nullptr);
    QTest::keyClicks(box, QStringLiteral("x"));
    EXPECT_EQ(box->text(), QStringLiteral("mars"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x83"));

    slider->setValue(2);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QString());
    slider->setValue(0);
    EXPECT_TRUE(viewShown(ReportKind::Detailed));
    EXPECT_EQ(m_run->currentQuestion(), -1);
    EXPECT_EQ(m_run->page().fieldCount(), 0);
}

TEST_F(FinishTest, WithoutAReportTheQuestionsStartAtZero)
{
    startTest("<allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>");
    finish();
    EXPECT_FALSE(viewExists(ReportKind::Detailed));
    EXPECT_EQ(questionSlider(*m_form)->maximum(), 1);
    ASSERT_NE(m_run->page().field(0), nullptr);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("mars"));
}

} // namespace zx::test
