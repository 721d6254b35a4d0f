// The journal of the test in progress through the real window: a killed
// player's test is taken up again with its answers, its state and its page;
// journals that do not fit are set aside, never lost.
#include "test_run_fixture.h"

#include "window/back_cover_window.h"
#include "objects/field_edit.h"
#include "window/message_form.h"
#include "objects/zx_drag.h"
#include "objects/zx_field.h"
#include "tagtext/tagged_text.h"

#include <QDir>
#include <QLineEdit>
#include <QEventLoop>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <unistd.h>

namespace zx::test {

namespace {

std::string answerPage(const std::string& question)
{
    return zx::testing::questionPage(
        question,
        "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth><FieldHeight>20</FieldHeight>"
        "<userAnswer></userAnswer><FieldAnswer1>Mars</FieldAnswer1></zxField>\r\n"
        "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName>Red</DragName><DragLeft>300</DragLeft><DragTop>40</DragTop>"
        "<DragWidth>40</DragWidth><DragHeight>20</DragHeight><targets>0,Mars,1,300,200,80,40;</targets></zxDrag>\r\n");
}

const std::string practice = "<version>1</version><BankPassword>0</BankPassword><showResults>1</showResults>";

} // namespace

class JournalTest : public TestRunFixture {
protected:
    QString journalFolder() const
    {
        return qEnvironmentVariableIsSet("ZX_JOURNAL_FOLDER") ? qEnvironmentVariable("ZX_JOURNAL_FOLDER")
                                                              : m_dir.path() + QStringLiteral("/journal");
    }
    void typeAndDrop()
    {
        PageBuilder& page = m_run->page();
        QTest::keyClicks(page.field(0)->box(), QStringLiteral("mars"));
        QWidget* item = page.drag(0)->visual();
        QTest::mousePress(item, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(item, QPoint(12, 182));
        QTest::mouseRelease(item, Qt::LeftButton, {}, item->mapFromParent(QPoint(312, 202)));
        processEvents();
    }
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList keptFiles() const
    {
        return QDir(journalFolder()).entryList({QStringLiteral("journal-kept-*")}, QDir::Files);
    }
};

// Runs only as the child of SurvivesAKillInTheMiddleOfADrag: answers, then
// waits with an item in the hand until it is killed.
TEST_F(JournalTest, ChildAnswersAndWaitsToBeKilled)
{
    const QString bank = qEnvironmentVariable("ZX_JOURNAL_BANK");
    if (bank.isEmpty())
        GTEST_SKIP() << "runs as the child of another test";
    m_run->openBank(bank);
    typeAndDrop();
    QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("!"));
    QWidget* item = m_run->page().drag(0)->visual();
    QTest::mousePress(item, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(item, QPoint(40, 40));
    processEvents();
    QFile ready(journalFolder() + QStringLiteral("/ready"));
    ASSERT_TRUE(ready.open(QIODevice::WriteOnly));
    ready.close();
    QEventLoop().exec();
}

TEST_F(JournalTest, SurvivesAKillInTheMiddleOfADrag)
{
    const QString bank = makeBank(practice, {answerPage("One"), answerPage("Two")});
    // The child is the player that holds the journal until it is killed.
    stopRun();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZX_JOURNAL_FOLDER"), journalFolder());
    env.insert(QStringLiteral("ZX_JOURNAL_BANK"), bank);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=JournalTest.ChildAnswersAndWaitsToBeKilled")});
    ASSERT_TRUE(child.waitForStarted());
    QDir().mkpath(journalFolder());
    QFileSystemWatcher watcher({journalFolder()});
    QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
    for (int round = 0; round < 60 && !QFile::exists(journalFolder() + QStringLiteral("/ready")); ++round)
        changed.wait(1000);
    ASSERT_TRUE(QFile::exists(journalFolder() + QStringLiteral("/ready")));
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished(10000);
    restart();

    m_answerYes = true;
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_TRUE(m_questions.last().startsWith(QStringLiteral("message 109")));
    EXPECT_TRUE(m_questions.last().contains(QFileInfo(bank).fileName()));
    EXPECT_EQ(m_form->testState(), TestState::Running);
    ASSERT_NE(m_run->page().field(0), nullptr);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("mars!"));
    EXPECT_EQ(m_run->page().drag(0)->placedIndex(), 0);
}

TEST_F(JournalTest, AnExamResumesLockedOnItsPage)
{
    m_run->openBank(makeBank(practice + "<isExam>1</isExam>", {answerPage("One"), answerPage("Two")}));
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    typeAndDrop();
    questionSlider(*m_form)->setValue(1);
    QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("venus"));
    processEvents();
    restart(); // as after a crash: nothing was closed

    m_answerYes = true;
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(m_form->testState(), TestState::RunningExam);
    EXPECT_FALSE(m_form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("FileOpenItem"))->isEnabled());
    EXPECT_FALSE(panelButton(*m_form, "MarkButton")->isVisible());
    EXPECT_EQ(m_run->currentQuestion(), 1);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("venus"));
    questionSlider(*m_form)->setValue(0);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("mars"));
}

TEST_F(JournalTest, FinishedTestsResumeAtTheirResultsAndStoringClearsTheJournal)
{
    m_run->openBank(makeBank(practice + "<allowSaving>1</allowSaving>", {answerPage("One")}));
    typeAndDrop();
    m_answerYes = true;
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    const std::string detailed = m_form->reportArea().report(ReportKind::Detailed)->plainText();
    restart();

    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    ASSERT_NE(m_form->reportArea().report(ReportKind::Detailed), nullptr);
    EXPECT_EQ(m_form->reportArea().report(ReportKind::Detailed)->plainText(), detailed);

    m_form->messages().prompts().chooseResultsFile = [this] { return m_dir.path() + QStringLiteral("/r.zxr"); };
    menuItem(*m_form, QStringLiteral("SaveResults1"))->trigger();
    ASSERT_EQ(m_form->testState(), TestState::ResultsStored);
    restart();
    m_questions.clear();
    EXPECT_FALSE(m_run->offerResume());
    EXPECT_TRUE(m_questions.isEmpty());
}

TEST_F(JournalTest, JournalsThatDoNotFitAreSetAsideNotOffered)
{
    // Declined: kept aside for the examiner.
    m_run->openBank(makeBank(practice, {answerPage("One")}));
    typeAndDrop();
    restart();
    m_answerYes = false;
    EXPECT_FALSE(m_run->offerResume());
    EXPECT_EQ(keptFiles().size(), 2);
    EXPECT_FALSE(m_run->offerResume());

    // The bank changed since: not offered.
    const QString bank = makeBank(practice, {answerPage("One")});
    m_run->openBank(bank);
    restart();
    writeFile(bank, "changed");
    m_questions.clear();
    EXPECT_FALSE(m_run->offerResume());
    EXPECT_TRUE(m_questions.isEmpty());
    EXPECT_EQ(keptFiles().size(), 4);

    // Unreadable: set aside with a message.
    writeFile(journalFolder() + QStringLiteral("/journal.zxj"), "truncated");
    EXPECT_FALSE(m_run->offerResume());
    EXPECT_EQ(m_informs.last(), QStringLiteral("message 110"));
    EXPECT_EQ(m_form->testState(), TestState::NoTest);

    // A closing the candidate confirmed ends the test and its journal.
    m_run->openBank(makeBank(practice, {answerPage("One")}));
    m_answerYes = true;
    EXPECT_TRUE(m_form->close());
    EXPECT_FALSE(QFile::exists(journalFolder() + QStringLiteral("/journal.zxj")));
}

TEST_F(JournalTest, AFolderThatIsNotPrivateGivesWayToAPrivateOne)
{
    // A link, and a folder open to others: neither is used, and the
    // journal is never written beside the root folder.
    const QString target = m_dir.path() + QStringLiteral("/target");
    ASSERT_TRUE(QDir().mkpath(target));
    for (const bool link : {true, false}) {
        SCOPED_TRACE(link ? "link" : "open folder");
        stopRun();
        QDir(journalFolder()).removeRecursively();
        if (link) {
            ASSERT_TRUE(QFile::link(target, journalFolder()));
        } else {
            ASSERT_TRUE(QDir().mkpath(journalFolder()));
            QFile::setPermissions(journalFolder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                       | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                       | QFileDevice::ExeOther);
        }
        restart();
        const QString folder = m_run->journalKeeper().folder();
        EXPECT_EQ(folder, m_dir.path() + QStringLiteral("/fallback/zxexam-journal-") + QString::number(::geteuid()));
        EXPECT_EQ(m_run->journalKeeper().availability(), JournalKeeper::Availability::Kept);
        m_run->openBank(makeBank(practice, {answerPage("One")}));
        EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/journal.zxj")));
        EXPECT_TRUE(QDir(target).isEmpty());
        EXPECT_TRUE(QDir(journalFolder()).entryList(QDir::Files).isEmpty());
        EXPECT_TRUE(m_form->messages().messageForm()->messageText().isEmpty());
        // A restart finds the test there again.
        restart();
        m_answerYes = false;
        EXPECT_FALSE(m_run->offerResume());
        EXPECT_TRUE(m_questions.last().startsWith(QStringLiteral("message 109")));
        QFile::remove(journalFolder());
        QDir(journalFolder()).removeRecursively();
        QDir(m_dir.path() + QStringLiteral("/fallback")).removeRecursively();
    }
}

TEST_F(JournalTest, TheExaminerIsToldWhenNoJournalCanBeKept)
{
    // Nowhere to keep it: the wanted folder is a file and the fallbacks
    // cannot be made.
    stopRun();
    QDir(journalFolder()).removeRecursively();
    writeFile(journalFolder(), "a file");
    m_fallbackBase = m_dir.path() + QStringLiteral("/missing/deeper");
    restart();
    EXPECT_EQ(m_run->journalKeeper().availability(), JournalKeeper::Availability::NoFolder);
    EXPECT_TRUE(m_run->journalKeeper().folder().isEmpty());
    EXPECT_FALSE(m_run->offerResume());
    m_run->openBank(makeBank(practice, {answerPage("One")}));
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x121"));
    EXPECT_EQ(m_form->messages().messageForm()->messageText(), m_form->messages().message(121));
    EXPECT_FALSE(m_form->messages().message(121).isEmpty());
    EXPECT_FALSE(QFile::exists(QStringLiteral("/journal.zxj")));
    typeAndDrop();
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("mars"));
}

TEST_F(JournalTest, ASecondPlayerNeitherOffersNorTouchesTheRunningOnesJournal)
{
    m_run->openBank(makeBank(practice, {answerPage("One")}));
    typeAndDrop();
    const QByteArray base = readFile(journalFolder() + QStringLiteral("/journal.zxj"));
    const QByteArray log = readFile(journalFolder() + QStringLiteral("/journal.log"));
    ASSERT_FALSE(base.isEmpty());
    // The first player goes on holding its journal while a second starts.
    Journal first(localPath(journalFolder()));
    stopRun();
    ASSERT_EQ(first.takeLock(), JournalLock::Taken);
    restart();
    EXPECT_EQ(m_run->journalKeeper().availability(), JournalKeeper::Availability::OtherPlayer);
    m_answerYes = false;
    m_questions.clear();
    EXPECT_FALSE(m_run->offerResume());
    EXPECT_TRUE(m_questions.isEmpty());
    m_run->openBank(makeBank(practice, {answerPage("Two")}));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x122"));
    typeAndDrop();
    m_answerYes = true;
    EXPECT_TRUE(m_form->close());
    EXPECT_EQ(readFile(journalFolder() + QStringLiteral("/journal.zxj")), base);
    EXPECT_EQ(readFile(journalFolder() + QStringLiteral("/journal.log")), log);
    EXPECT_TRUE(keptFiles().isEmpty());
}

TEST_F(JournalTest, AFullDiskIsToldAndTheAnswersAreWrittenWhenSpaceComesBack)
{
    m_run->openBank(makeBank(practice, {answerPage("One"), answerPage("Two")}));
    typeAndDrop();
    m_diskFull = true;
    QLineEdit* box = m_run->page().field(0)->box();
    QTest::keyClicks(box, QStringLiteral("x"));
    processEvents();
    questionSlider(*m_form)->setValue(1); // page 0 left while the disk is full
    QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("venus"));
    processEvents();
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x123"));
    EXPECT_EQ(m_form->messages().messageForm()->messageText(), m_form->messages().message(123));
    EXPECT_EQ(m_form->testState(), TestState::Running);

    m_diskFull = false;
    QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("!"));
    processEvents();
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x124"));
    restart();
    m_answerYes = true;
    ASSERT_TRUE(m_run->offerResume());
    EXPECT_EQ(m_run->currentQuestion(), 1);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("venus!"));
    questionSlider(*m_form)->setValue(0);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("marsx"));
}

} // namespace zx::test
