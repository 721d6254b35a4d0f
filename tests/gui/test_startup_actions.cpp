// The end of the start-up sequence and the hand-over of a later start, in
// the window: the verbs, the file-type warning, the start-up bank file and
// local-bank mode with its results folder.
#include "test_run_fixture.h"

#include "objects/zx_field.h"
#include "results/core/results_file.h"
#include "results/core/rtf_writer.h"
#include "tagtext/stored_file.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace zx::test {

class StartupActionsTest : public TestRunFixture {
protected:
    QString resultsFile(const QString& name)
    {
        ReportDocument report;
        report.paragraphs.push_back({Alignment::Centre, {{"Results of Ann", {}}}, {}});
        ResultsFileContent content;
        content.detailedRtf = writeRtf(report);
        content.testSettings = "<showResults>1</showResults>";
        const QString path = m_dir.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(writeStoredFile(buildResultsContent(content), localPath(path)));
        return path;
    }
    QString bankInProgramFolder()
    {
        const QString bank = makeBank("<version>1</version><BankPassword>0</BankPassword><showResults>1</showResults>",
                                      {page("One")});
        const QString beside = m_program + QStringLiteral("/class 3b.zxb");
        EXPECT_TRUE(QFile::copy(bank, beside));
        return beside;
    }
    void startUp(std::vector<std::string> args = {}) { emit m_form->startup().startupFinished(args); }
    bool visible(const char* item) const { return menuItem(*m_form, QString::fromLatin1(item))->isVisible(); }
};

TEST_F(StartupActionsTest, VerbsOpenAndPrintResultsAndRefuseToPrintBanks)
{
    const QString bank = makeBank("<version>1</version><BankPassword>0</BankPassword>", {page("One")});
    startUp({"printShellCall", localPath(bank)});
    EXPECT_EQ(m_informs, QStringList{QStringLiteral("Banks cannot be printed.")});
    EXPECT_EQ(m_form->testState(), TestState::NoTest);

    startUp({"openShellCall", localPath(resultsFile(QStringLiteral("ann.zxr")))});
    ASSERT_NE(m_form->reportArea().report(ReportKind::Detailed), nullptr);
    EXPECT_EQ(m_form->reportArea().report(ReportKind::Detailed)->plainText(), "Results of Ann\n");

    // Handed over by a later start: printed, and the window stays.
    int printed = 0;
    m_form->messages().prompts().choosePrinter = [&](QPrinter&) {
        ++printed;
        return false; // the print dialog was cancelled
    };
    m_startup->handoff({"printShellCall", localPath(resultsFile(QStringLiteral("bob.zxr")))});
    EXPECT_EQ(printed, 1);
    EXPECT_TRUE(m_form->isVisible());
    // A file that went away in between changes nothing.
    m_startup->handoff({"openShellCall", localPath(m_dir.path() + QStringLiteral("/gone.zxb"))});
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    // Verbs are exact: no other start-up step runs after one.
    startUp({"OpenShellCall", localPath(bank)});
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
}

TEST_F(StartupActionsTest, FileTypeWarningAtMostOncePerUser)
{
    m_playerOpensBanks = false;
    startUp();
    EXPECT_EQ(m_warnings, QStringList{QStringLiteral("message 104")});
    EXPECT_FALSE(m_form->settings().readBoolean(QStringLiteral("registryWarningNeeded"), true));
    startUp();
    EXPECT_EQ(m_warnings.size(), 1);

    m_form->settings().writeBoolean(QStringLiteral("registryWarningNeeded"), true);
    m_playerOpensBanks = true;
    startUp();
    EXPECT_EQ(m_warnings.size(), 1);
    EXPECT_FALSE(m_form->settings().readBoolean(QStringLiteral("registryWarningNeeded"), true));
}

TEST_F(StartupActionsTest, StartupBankFileOpensItsBankInsteadOfLocalBankMode)
{
    bankInProgramFolder();
    const QString other = makeBank("<version>1</version><BankPassword>0</BankPassword>", {page("Other")});
    ASSERT_TRUE(writeStoredFile("<f>" + localPath(other) + "</f>", localPath(m_program + QStringLiteral("/ZXX.txt"))));
    startUp();
    EXPECT_EQ(m_run->bankPath(), other);
    EXPECT_FALSE(QFileInfo::exists(m_program + QStringLiteral("/ZXX.txt")));
    EXPECT_TRUE(visible("FileOpenItem"));
}

TEST_F(StartupActionsTest, LocalBankModeStoresResultsBesideTheProgramOnce)
{
    const QString bank = bankInProgramFolder();
    ASSERT_TRUE(QFile::copy(bank, m_program + QStringLiteral("/later.ZXB.txt")));
    const QString results = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(results));
    startUp();
    EXPECT_EQ(m_run->bankPath(), bank);
    EXPECT_FALSE(visible("FileOpenItem"));
    EXPECT_FALSE(m_form->fileMenu().reopenMenu()->menuAction()->isVisible());
    EXPECT_FALSE(visible("SaveResults1"));
    EXPECT_FALSE(visible("zxWebJump2"));
    EXPECT_EQ(m_results->resultsFolder(), results);
    EXPECT_TRUE(QFileInfo::exists(results + QStringLiteral("test.txt")));

    m_answerYes = true;
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    EXPECT_EQ(QDir(results).entryList({QStringLiteral("r*.zxr")}).size(), 1);
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
}

TEST_F(StartupActionsTest, LocalBankModeWithoutAUsableResultsFolder)
{
    bankInProgramFolder();
    // No results folder: Save Results stays, the missing folder is kept.
    startUp();
    EXPECT_TRUE(visible("SaveResults1"));
    EXPECT_FALSE(visible("FileOpenItem"));
    EXPECT_EQ(m_results->resultsFolder(), m_dir.path() + QStringLiteral("/ZXResults/"));

    // A folder that cannot take the test file: message 98, no folder.
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/ZXResults/test.txt/blocked")));
    m_answerYes = false; // neither the journal of the first start nor a new bank
    startUp();
    EXPECT_TRUE(m_informs.contains(QStringLiteral("message 98")));
    EXPECT_TRUE(m_results->resultsFolder().isEmpty());
}

TEST_F(StartupActionsTest, ATestTakenUpAgainKeepsTheRestOfTheStartUp)
{
    const QString bank = bankInProgramFolder();
    const QString results = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(results));
    startUp();
    ASSERT_EQ(m_form->testState(), TestState::Running);
    // The player stops; the next start takes the test up again.
    restart();
    m_answerYes = true;
    m_questions.clear();
    startUp({"openShellCall", localPath(bank)});
    ASSERT_EQ(m_form->testState(), TestState::Running);
    ASSERT_EQ(m_questions.size(), 1); // the resume: the same bank is not opened again
    EXPECT_TRUE(m_questions.first().startsWith(QStringLiteral("message 109")));

    // Without a verb: local-bank mode with its results folder.
    restart();
    m_questions.clear();
    startUp();
    ASSERT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(m_questions.size(), 1);
    EXPECT_EQ(m_results->resultsFolder(), results);
    EXPECT_FALSE(visible("FileOpenItem"));
    EXPECT_FALSE(visible("SaveResults1"));
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    EXPECT_EQ(QDir(results).entryList({QStringLiteral("r*.zxr")}).size(), 1);
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
}

TEST_F(StartupActionsTest, AFinishedLocalBankTestTakenUpAgainStoresItsResults)
{
    bankInProgramFolder();
    const QString results = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(results + QStringLiteral("test.txt/blocked"))); // cannot be stored now
    startUp();
    m_answerYes = true;
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    ASSERT_TRUE(QDir(results + QStringLiteral("test.txt")).removeRecursively());
    restart();
    startUp();
    EXPECT_EQ(QDir(results).entryList({QStringLiteral("r*.zxr")}).size(), 1);
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
}

} // namespace zx::test
