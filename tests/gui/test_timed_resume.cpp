// A timed test after a crash, through the real window: the journal keeps
// the time used, the resume goes on from there, the time the player was not
// running is recorded and shown in the results, warnings already given are
// not given again, and a test whose time was all used finishes at once and
// is stored as the bank and local-bank mode say.
#include "timed_test_fixture.h"

#include "objects/field_edit.h"
#include "objects/zx_field.h"
#include "results/core/results_file.h"
#include "tagtext/stored_file.h"
#include "testrun/core/journal.h"

#include <QDir>
#include <QPushButton>
#include <QTest>

namespace zx::test {

namespace {

constexpr std::int64_t second = 1000;

} // namespace

class TimedResumeTest : public TimedTest {
protected:
    QString journalFolder() const { return m_dir.path() + QStringLiteral("/journal"); }
    // The player stops without a Finish; `away` seconds pass before the
    // next start.
    void crash(int away)
    {
        restart();
        m_now = m_now.addSecs(away);
    }
    void type(const char* text)
    {
        QTest::keyClicks(m_run->page().field(0)->box(), QString::fromLatin1(text));
        processEvents(); // the answer's journal entry
    }
    QStringList storedFiles(const QString& folder) const
    {
        return QDir(folder).entryList({QStringLiteral("*.zxr")}, QDir::Files);
    }
    ResultsFileContent stored(const QString& folder) const
    {
        const QStringList files = storedFiles(folder);
        return files.isEmpty() ? ResultsFileContent{}
                               : parseResultsContent(readStoredFile(localPath(folder + files.last())));
    }
    void startUp() { emit m_form->startup().startupFinished({}); }
};

TEST_F(TimedResumeTest, ACrashedExamGoesOnFromTheTimeUsedAndRecordsTheTimeNotRunning)
{
    // Four minutes with half as much again: six.
    m_startup->setExtraTime(50);
    m_startup->continueStartup({"openShellCall", localPath(timedBank(4, "<isExam>1</isExam><showResults>1</showResults>"))});
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    EXPECT_EQ(shown(), QStringLiteral("06:00"));
    runSeconds(5);
    type("mars");
    runSeconds(57);
    ASSERT_EQ(m_form->currentMessageKey(), QStringLiteral("x132"));
    runSeconds(2);

    // Away 100 s: the time since the warning's record (64 s used, 60 s
    // recorded) counts as not running.
    crash(100);
    m_answerYes = true;
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(m_form->testState(), TestState::RunningExam);
    EXPECT_FALSE(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint)) << "still locked";
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("mars"));
    EXPECT_EQ(shown(), QStringLiteral("05:00"));
    EXPECT_EQ(*m_run->timing(), (TestTiming{4, 50, 360, 60, 104, false}));
    EXPECT_EQ(m_run->extraTimePercent(), 50) << "the extra time stays with the test";

    // The time goes into the journal about every 15 s: a second crash
    // loses the 14 s since the last record.
    runSeconds(29);
    EXPECT_NE(m_form->currentMessageKey(), QStringLiteral("x132")) << "the five-minute warning came before";
    EXPECT_EQ(shown(), QStringLiteral("04:31"));
    crash(50);
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(shown(), QStringLiteral("04:45"));
    EXPECT_EQ(*m_run->timing(), (TestTiming{4, 50, 360, 75, 104 + 14 + 50, false}));

    const QString folder = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(folder));
    m_results->setResultsFolder(folder);
    runSeconds(224);
    EXPECT_NE(m_form->currentMessageKey(), QStringLiteral("x132"));
    runSeconds(1);
    EXPECT_EQ(shown(), QStringLiteral("01:00"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x133"));
    runSeconds(60);
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    EXPECT_TRUE(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint)) << "the lock is lifted";
    const ResultsFileContent content = stored(folder);
    EXPECT_EQ(getTag(getTag(content.questionList, "questionFile0"), "userAnswer"), "mars");
    ASSERT_TRUE(content.timing);
    EXPECT_EQ(*content.timing, (TestTiming{4, 50, 360, 360, 168, true}));
    // Over: nothing is offered at the next start.
    crash(10);
    EXPECT_FALSE(m_run->offerResume());
}

TEST_F(TimedResumeTest, AJournalWithoutTheTimeStartsTheClockAfresh)
{
    // As a journal written before timed tests: the base without the time,
    // no entries.
    m_run->openBank(timedBank(6));
    runSeconds(100);
    crash(10);
    {
        Journal journal(localPath(journalFolder()));
        JournalRead read = journal.read();
        ASSERT_EQ(read.status, JournalStatus::Ok);
        EXPECT_FALSE(read.entryFields.empty());
        read.record.otherFields.clear();
        ASSERT_TRUE(journal.writeBase(read.record));
    }
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(shown(), QStringLiteral("06:00"));
    EXPECT_EQ(*m_run->timing(), (TestTiming{6, 0, 360, 0, 0, false}));

    // From now on the journal keeps the time: 15 s recorded of 20.
    runSeconds(20);
    crash(5);
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(shown(), QStringLiteral("05:45"));
    EXPECT_EQ(*m_run->timing(), (TestTiming{6, 0, 360, 15, 10, false}));
}

TEST_F(TimedResumeTest, AFinishedTestTakenUpAgainKeepsItsTime)
{
    m_run->openBank(timedBank(10, "<showResults>1</showResults><allowSaving>1</allowSaving>"));
    runSeconds(30);
    m_answerYes = true;
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    const TestTiming timing{10, 0, 600, 30, 0, false};
    ASSERT_EQ(*m_run->timing(), timing);

    crash(500); // a finished test's clock stands: nothing counts
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    ASSERT_TRUE(m_run->timing());
    EXPECT_EQ(*m_run->timing(), timing);
    const QString file = m_dir.path() + QStringLiteral("/later.zxr");
    ASSERT_TRUE(m_results->writeResultsFile(file));
    EXPECT_EQ(parseResultsContent(readStoredFile(localPath(file))).timing, timing);
}

TEST_F(TimedResumeTest, LocalBankModeStoresATestAtZeroAndOneTakenUpWithNoTimeLeft)
{
    const QString bank = makeBank("<version>1</version><BankPassword>0</BankPassword><showResults>1</showResults>"
                                  "<timeLimitMinutes>1</timeLimitMinutes>",
                                  {fieldQuestionPage("Red planet?", "Mars")});
    ASSERT_TRUE(QFile::copy(bank, m_program + QStringLiteral("/class 3b.zxb")));
    const QString results = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(results));

    // At zero the results are stored beside the program.
    startUp();
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(shown(), QStringLiteral("01:00"));
    runSeconds(60);
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    ASSERT_EQ(storedFiles(results).size(), 1);
    EXPECT_EQ(stored(results).timing, (TestTiming{1, 0, 60, 60, 0, true}));

    // Again, with extra time; the player stops with all the time used
    // (its last record written as the time ran out).
    crash(5);
    m_startup->setExtraTime(50);
    startUp();
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(shown(), QStringLiteral("01:30"));
    type("Mars");
    runSeconds(40);
    crash(300);
    {
        Journal journal(localPath(journalFolder()));
        JournalRead read = journal.read();
        ASSERT_EQ(read.status, JournalStatus::Ok);
        JournalFieldList fields = read.record.otherFields;
        fields.insert(fields.end(), read.entryFields.begin(), read.entryFields.end());
        std::optional<TimeJournal> time = readTimeJournal(fields);
        ASSERT_TRUE(time);
        EXPECT_EQ(time->extraPercent, 50);
        EXPECT_EQ(time->usedMs, 30 * second) << "the record of the one-minute warning";
        time->usedMs = 90 * second;
        time->atMs = m_now.addSecs(-300).toMSecsSinceEpoch();
        read.record.otherFields = timeJournalFields(*time);
        ASSERT_TRUE(journal.writeBase(read.record));
    }
    m_answerYes = true;
    m_questions.clear();
    startUp();
    ASSERT_EQ(m_questions.size(), 1); // the resume: the bank is not opened again
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x134"));
    ASSERT_EQ(storedFiles(results).size(), 2);
    const ResultsFileContent content = stored(results);
    EXPECT_EQ(getTag(getTag(content.questionList, "questionFile0"), "userAnswer"), "Mars");
    EXPECT_EQ(content.timing, (TestTiming{1, 50, 90, 90, 300, true}));
}

} // namespace zx::test
