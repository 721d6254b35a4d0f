// Timed tests through the real window, on the test run's clock moved on by
// the tests: the time left on the control panel, the warnings, the end of
// the time on a question page, in an exam and with automatic storing, a
// held item or Cheat at the end, extra time from the command line and the
// hand-off, and the time record in the results file.
#include "timed_test_fixture.h"

#include "window/message_form.h"
#include "window/time_left_display.h"
#include "objects/field_edit.h"
#include "objects/zx_drag.h"
#include "objects/zx_field.h"
#include "results/core/results_file.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"
#include "testrun/test_clock.h"

#include <QAccessible>
#include <QAction>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace zx::test {

namespace {

// An item with targets A (worth 1) and B, and a field, for the end of the
// time in the middle of a drag or with Cheat held.
const std::string itemPage =
    "<windowSize>1</windowSize>"
    "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth>"
    "<FieldHeight>20</FieldHeight><editRestriction>0</editRestriction><FieldAnswer1>Mars</FieldAnswer1>"
    "<FieldMarkIfCorrect>1</FieldMarkIfCorrect></zxField>\r\n"
    "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Red</DragName><DragLeft>300</DragLeft><DragTop>40</DragTop>"
    "<DragWidth>40</DragWidth><DragHeight>20</DragHeight><DragMarkIfNotSelected>0</DragMarkIfNotSelected>"
    "<targets>0,A,1,300,200,80,40;1,B,0,420,200,80,40;</targets></zxDrag>\r\n";

} // namespace

TEST_F(TimedTest, TheTimeLeftCountsFromTheStartAndWarnsAtFiveAndOneMinute)
{
    m_run->openBank(timedBank(6, {}, {page("Welcome")}));
    ASSERT_EQ(m_form->testState(), TestState::Ready);
    ASSERT_TRUE(display());
    // The pre-test pages show the whole time, which does not run yet.
    EXPECT_TRUE(display()->isVisible());
    EXPECT_EQ(shown(), QStringLiteral("06:00"));
    m_now = m_now.addSecs(600);
    m_run->clock().tick();
    EXPECT_EQ(shown(), QStringLiteral("06:00"));

    QTest::mouseClick(panelButton(*m_form, "StartButton"), Qt::LeftButton);
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(shown(), QStringLiteral("06:00"));
    // Beside Help, the slider after it.
    EXPECT_EQ(display()->x(), panelButton(*m_form, "HelpButton")->geometry().right() + 5);
    EXPECT_GT(questionSlider(*m_form)->x(), display()->geometry().right());
    EXPECT_EQ(display()->accessibleName(), m_form->messages().message(timeLeftNameMessage));
    EXPECT_EQ(display()->toolTip(), m_form->messages().message(timeLeftHintMessage));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(display());
    ASSERT_TRUE(accessible && accessible->valueInterface());
    EXPECT_EQ(accessible->role(), QAccessible::ProgressBar);
    EXPECT_EQ(accessible->text(QAccessible::Name), m_form->messages().message(timeLeftNameMessage));
    EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), 360);

    for (const char* expected : {"05:59", "05:58", "05:57"}) {
        runSeconds(1);
        EXPECT_EQ(shown(), QString::fromLatin1(expected));
    }
    EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), 357);
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("05:57"));
    runSeconds(56);
    EXPECT_EQ(shown(), QStringLiteral("05:01"));
    EXPECT_NE(m_form->currentMessageKey(), QStringLiteral("x132"));
    runSeconds(1);
    EXPECT_EQ(shown(), QStringLiteral("05:00"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x132"));
    EXPECT_TRUE(messages()->isVisible());
    EXPECT_EQ(messages()->windowTitle(), m_form->messages().message(timeCaptionMessage));
    EXPECT_EQ(messages()->messageText(), m_form->messages().message(fiveMinutesLeftMessage));
    EXPECT_EQ(m_form->testState(), TestState::Running) << "a warning only tells";

    m_form->messages().announceMessage(1);
    runSeconds(239);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x1")) << "each warning comes once";
    runSeconds(1);
    EXPECT_EQ(shown(), QStringLiteral("01:00"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x133"));
    EXPECT_EQ(m_form->testState(), TestState::Running);
}

TEST_F(TimedTest, AtZeroAPracticeTestIsFinishedWithoutTheQuestionAndItsAnswersKept)
{
    m_run->openBank(timedBank(1, "<showResults>1</showResults><allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>"));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("mars"));
    runSeconds(59);
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(shown(), QStringLiteral("00:01"));
    runSeconds(1);
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_TRUE(m_questions.isEmpty()) << "no question whether to finish";
    EXPECT_EQ(storedAnswer(0), "mars");
    EXPECT_TRUE(m_form->reportArea().reportVisible(ReportKind::Detailed));
    ASSERT_TRUE(m_results->lastScore());
    EXPECT_EQ(m_results->lastScore()->total.score, 200);
    EXPECT_FALSE(display()->isVisible());
    const std::optional<TestTiming> timing = m_run->timing();
    ASSERT_TRUE(timing);
    EXPECT_EQ(*timing, (TestTiming{1, 0, 60, 60, 0, true}));
    // The message after the end still says why the test ended.
    EXPECT_EQ(messages()->messageText(),
              m_form->messages().message(timeUpMessage) + QStringLiteral("\n\n") + m_form->messages().message(55));

    // Saved by hand, the file carries the record.
    const QString file = m_dir.path() + QStringLiteral("/saved.zxr");
    ASSERT_TRUE(m_results->writeResultsFile(file));
    EXPECT_EQ(parseResultsContent(readStoredFile(localPath(file))).timing, timing);
    // Opened again and saved again, it keeps it.
    ASSERT_TRUE(m_results->loadResultsFile(file));
    const QString again = m_dir.path() + QStringLiteral("/again.zxr");
    ASSERT_TRUE(m_results->writeResultsFile(again));
    EXPECT_EQ(parseResultsContent(readStoredFile(localPath(again))).timing, timing);
}

TEST_F(TimedTest, AtZeroOnALaterPageThePracticeTestOpensAtItsResultsPage)
{
    m_run->openBank(timedBank(1, "<showResults>1</showResults><allowFinishedQuestionViewing>1"
                                 "</allowFinishedQuestionViewing>"));
    questionSlider(*m_form)->setValue(1);
    ASSERT_EQ(m_run->currentQuestion(), 1);
    QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("saturn"));
    runSeconds(60);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_TRUE(m_questions.isEmpty());
    // The results page first, the questions after it.
    EXPECT_TRUE(m_form->reportArea().reportVisible(ReportKind::Detailed));
    EXPECT_EQ(m_run->currentQuestion(), -1);
    QScrollBar* slider = questionSlider(*m_form);
    EXPECT_EQ(slider->maximum(), 2);
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x55"));
    slider->setValue(2);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("saturn"));
    // The clock has stopped: viewing takes as long as it likes.
    runSeconds(600);
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_EQ(*m_run->timing(), (TestTiming{1, 0, 60, 60, 0, true}));
}

TEST_F(TimedTest, AnExamEndsUnlockedAndIsStoredAutomatically)
{
    const QString folder = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(folder));
    m_results->setResultsFolder(folder);
    m_run->openBank(timedBank(2, "<isExam>1</isExam><showResults>1</showResults>"));
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("Mars"));
    runSeconds(30);
    // A gap in the readings (the machine asleep) does not count.
    m_now = m_now.addSecs(3600);
    m_run->clock().tick();
    EXPECT_EQ(shown(), QStringLiteral("01:30"));
    runSeconds(90);
    EXPECT_TRUE(m_questions.isEmpty());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x134"));
    EXPECT_TRUE(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint)) << "the exam lock is lifted";
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("FileExitItem"))->isEnabled());
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    const QStringList stored = QDir(folder).entryList({QStringLiteral("*.zxr")}, QDir::Files);
    ASSERT_EQ(stored.size(), 1);
    const ResultsFileContent content = parseResultsContent(readStoredFile(localPath(folder + stored[0])));
    EXPECT_EQ(getTag(getTag(content.questionList, "questionFile0"), "userAnswer"), "Mars");
    ASSERT_TRUE(content.timing);
    EXPECT_EQ(*content.timing, (TestTiming{2, 0, 120, 120, 3600, true}));
}

TEST_F(TimedTest, AHeldItemOrCheatLosesNothingAtTheEnd)
{
    m_run->openBank(makeBank("<version>1</version><allowCheating>1</allowCheating><timeLimitMinutes>1"
                             "</timeLimitMinutes><showResults>1</showResults>",
                             {itemPage, itemPage}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    PageBuilder& page = m_run->page();
    QTest::keyClicks(page.field(0)->box(), QStringLiteral("Venus"));
    // The item placed on A, then picked up again and carried towards B.
    QWidget* item = page.drag(0)->visual();
    const QPoint grab(5, 5);
    auto moveTo = [&](QPoint to) {
        QTest::mouseMove(item, item->mapFrom(m_form->pageWindow().pageArea(), to + grab));
    };
    QTest::mousePress(item, Qt::LeftButton, {}, grab);
    moveTo({310, 205});
    QTest::mouseRelease(item, Qt::LeftButton, {}, item->mapFrom(m_form->pageWindow().pageArea(), QPoint(310, 205) + grab));
    ASSERT_EQ(page.drag(0)->placedIndex(), 0);
    QTest::mousePress(item, Qt::LeftButton, {}, item->mapFrom(m_form->pageWindow().pageArea(), item->pos() + grab));
    moveTo({430, 205});
    ASSERT_TRUE(page.drag(0)->isDragging());
    // And Cheat held as well.
    QTest::mousePress(panelButton(*m_form, "CheatButton"), Qt::LeftButton);
    ASSERT_EQ(page.field(0)->box()->text(), QStringLiteral("Mars"));

    runSeconds(60);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    const std::string record = getTag(m_run->questionList(), "questionFile0");
    EXPECT_EQ(getTag(getTag(record, "zxField"), "userAnswer"), "Venus");
    EXPECT_EQ(getTag(getTag(record, "zxDrag"), "userAnswer"), "0");
    // The buttons let go after the page is gone: nothing happens.
    QTest::mouseRelease(panelButton(*m_form, "CheatButton"), Qt::LeftButton);
    EXPECT_EQ(m_form->testState(), TestState::Finished);
}

TEST_F(TimedTest, TimeRunningOutWhileFinishAsksFinishesOnce)
{
    m_run->openBank(timedBank(1, "<showResults>1</showResults>"));
    int asked = 0;
    m_form->messages().prompts().askYesNo = [&](const QString&) {
        ++asked;
        runSeconds(60);
        return true;
    };
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x134"));
    EXPECT_TRUE(m_run->timing()->timeRanOut);
}

TEST_F(TimedTest, ExtraTimeFromTheCommandLineAndTheHandoffIsForThatBankOnly)
{
    const QString bank = timedBank(10, "<showResults>1</showResults>");
    m_startup->setExtraTime(50);
    m_startup->continueStartup({"openShellCall", localPath(bank)});
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(shown(), QStringLiteral("15:00"));
    runSeconds(30);
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_EQ(*m_run->timing(), (TestTiming{10, 50, 900, 30, 0, false}));

    // A bank opened later from the menu has no extra time.
    m_run->openBank(bank);
    EXPECT_EQ(shown(), QStringLiteral("10:00"));
    EXPECT_EQ(m_run->extraTimePercent(), 0);

    // A later start's hand-off brings its own.
    m_answerYes = true;
    m_startup->handoff(Handoff{"openShellCall", localPath(bank), 25});
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(shown(), QStringLiteral("12:30"));
    EXPECT_EQ(m_run->timing()->extraPercent, 25);
}

TEST_F(TimedTest, ABankWithoutALimitShowsNoTimeAndStoresNoRecord)
{
    m_run->openBank(makeBank("<version>1</version><showResults>1</showResults>", {fieldQuestionPage("Red planet?", "Mars")}));
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_FALSE(display()->isVisible());
    runSeconds(7200);
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_FALSE(m_run->timing());
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    const QString file = m_dir.path() + QStringLiteral("/plain.zxr");
    ASSERT_TRUE(m_results->writeResultsFile(file));
    const std::string content = readStoredFile(localPath(file));
    EXPECT_EQ(content.find("testTiming"), std::string::npos);
}

} // namespace zx::test
