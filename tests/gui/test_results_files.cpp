// Results files through the real window: saving, opening again with the
// bank for review, the refusals and questions on the way, automatic
// storing, printing and the command-line PDF.
#include "test_run_fixture.h"

#include "window/message_form.h"
#include "objects/field_edit.h"
#include "objects/zx_field.h"
#include "results/core/results_file.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"
#include "window/report_view.h"

#include <QAction>
#include <QBuffer>
#include <QPdfWriter>
#include <QCheckBox>
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace zx::test {

namespace {

std::string fieldPage(const std::string& question, const std::string& answer)
{
    return zx::testing::questionPage(
        question, "<zxField><FieldLeft>40</FieldLeft><FieldTop>40</FieldTop><FieldWidth>100</FieldWidth>"
                  "<FieldHeight>20</FieldHeight><userAnswer></userAnswer><FieldAnswer1>" + answer +
                  "</FieldAnswer1><FieldMarkIfCorrect>1</FieldMarkIfCorrect></zxField>\r\n");
}

QString pdfText(const QString& pdf)
{
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!extract.waitForFinished(30000))
        return {};
    return QString::fromUtf8(extract.readAllStandardOutput());
}

} // namespace

class ResultsFileTest : public TestRunFixture {
protected:
    void SetUp() override
    {
        TestRunFixture::SetUp();
        m_startup.reset();
        m_results.reset();
        ResultsRunOptions options;
        options.clock = [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 30, 5, 123)); };
        options.storeNumber = [] { return 4711; };
        m_results = std::make_unique<ResultsRun>(resultsRunWindow(*m_form), *m_run, options);
        m_startup = std::make_unique<StartupActions>(startupWindow(*m_form), *m_run, *m_results);
        m_form->messages().prompts().chooseResultsFile = [this] { return m_saveAs; };
    }
    QString startTest(const std::string& extra)
    {
        const QString bank = makeBank("<version>1</version><BankPassword>0</BankPassword><allowSaving>1</allowSaving>"
                                      "<allowPrinting>1</allowPrinting>" + extra,
                                      {fieldPage("Red planet?", "Mars"), fieldPage("Ringed?", "Saturn")});
        m_run->openBank(bank);
        if (m_run->page().field(0))
            QTest::keyClicks(m_run->page().field(0)->box(), QStringLiteral("mars"));
        return bank;
    }
    void finish()
    {
        m_answerYes = true;
        QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    }
    QString save(const QString& name)
    {
        m_saveAs = m_dir.path() + QLatin1Char('/') + name;
        menuItem(*m_form, QStringLiteral("SaveResults1"))->trigger();
        return m_saveAs;
    }
    QString m_saveAs;
};

TEST_F(ResultsFileTest, SavedResultsOpenWithTheSameReportsSettingsAndAnswers)
{
    startTest("<showResults>1</showResults><showResultsSummary>1</showResultsSummary>"
              "<ResultsSummaryPriority>1</ResultsSummaryPriority>");
    finish();
    const ReportDocument detailed = *m_form->reportArea().report(ReportKind::Detailed);
    const ReportDocument summary = *m_form->reportArea().report(ReportKind::Summary);
    const std::string settings = m_run->testSettings();
    const std::string answers = m_run->questionList();

    save(QStringLiteral("result.txt"));
    const QString file = m_dir.path() + QStringLiteral("/result.zxr");
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_FALSE(QFileInfo::exists(m_dir.path() + QStringLiteral("/result.txt")));
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    EXPECT_EQ(m_form->fileMenu().recentFiles().results[0], localPath(file));
    const ResultsFileContent stored = parseResultsContent(readStoredFile(localPath(file)));
    EXPECT_EQ(stored.testSettings, settings);
    EXPECT_EQ(stored.questionList, answers);

    m_form->reportArea().destroyReport(ReportKind::Detailed);
    m_form->reportArea().destroyReport(ReportKind::Summary);
    m_results->loadResultsFile(file);
    ASSERT_NE(m_form->reportArea().report(ReportKind::Detailed), nullptr);
    EXPECT_EQ(*m_form->reportArea().report(ReportKind::Detailed), detailed);
    EXPECT_EQ(*m_form->reportArea().report(ReportKind::Summary), summary);
    EXPECT_EQ(m_run->testSettings(), settings);
    // Mode 3: the summary first, both View items offered, no review.
    EXPECT_TRUE(m_form->reportArea().reportVisible(ReportKind::Summary));
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("ResultsSummary1"))->isChecked());
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("DetailedResults1"))->isEnabled());
    EXPECT_FALSE(questionSlider(*m_form)->isEnabled());
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
}

TEST_F(ResultsFileTest, ABankMovedWithItsResultsIsFoundBesideThem)
{
    const QString bank = startTest("<showResults>1</showResults><allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>");
    finish();
    // Saved beside the bank, then both moved together.
    save(QStringLiteral("answers.zxr"));
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/moved")));
    const QString file = m_dir.path() + QStringLiteral("/moved/answers.zxr");
    ASSERT_TRUE(QFile::rename(m_saveAs, file));
    ASSERT_TRUE(QFile::rename(bank, m_dir.path() + QStringLiteral("/moved/") + QFileInfo(bank).fileName()));

    m_results->loadResultsFile(file);
    EXPECT_EQ(m_run->bankPath(), m_dir.path() + QStringLiteral("/moved/") + QFileInfo(bank).fileName());
    // Mode 2 with review: the detailed report alone, the questions after it.
    EXPECT_TRUE(m_form->reportArea().reportVisible(ReportKind::Detailed));
    EXPECT_EQ(m_form->reportArea().report(ReportKind::Summary), nullptr);
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("ResultsSummary1"))->isEnabled());
    QScrollBar* slider = questionSlider(*m_form);
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(slider->maximum(), 2);
    slider->setValue(1);
    ASSERT_NE(m_run->page().field(0), nullptr);
    EXPECT_EQ(m_run->page().field(0)->box()->text(), QStringLiteral("mars"));
    EXPECT_FALSE(panelButton(*m_form, "FinishButton")->isEnabled());

    // Without the bank the reports still show; the questions cannot.
    QFile::remove(m_run->bankPath());
    m_results->loadResultsFile(file);
    EXPECT_TRUE(m_informs.contains(QStringLiteral("message 70")));
    EXPECT_TRUE(m_form->reportArea().reportVisible(ReportKind::Detailed));
    EXPECT_FALSE(questionSlider(*m_form)->isEnabled());
}

TEST_F(ResultsFileTest, SavingReviewedResultsAgainKeepsTheirSettingsAndBank)
{
    const QString bank = startTest("<showResults>1</showResults><allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>");
    finish();
    const std::string settings = m_run->testSettings();
    ASSERT_FALSE(getTag(settings, "testEndDate").empty());
    const ResultsFileContent first = parseResultsContent(readStoredFile(localPath(save(QStringLiteral("first.zxr")))));

    // Opened for review (the bank's own settings have no end date), then
    // saved again: the file's settings and bank stay.
    m_results->loadResultsFile(m_saveAs);
    ASSERT_TRUE(questionSlider(*m_form)->isEnabled());
    const ResultsFileContent again = parseResultsContent(readStoredFile(localPath(save(QStringLiteral("again.zxr")))));
    EXPECT_EQ(again.testSettings, settings);
    EXPECT_EQ(again.bankPathAbs, first.bankPathAbs);
    EXPECT_EQ(again.questionList, first.questionList);

    // Its bank gone and another bank opened since: the file's paths stay.
    ASSERT_TRUE(QFile::remove(bank));
    startTest("<testName>Other</testName>");
    m_results->loadResultsFile(m_dir.path() + QStringLiteral("/first.zxr"));
    EXPECT_TRUE(m_informs.contains(QStringLiteral("message 70")));
    const ResultsFileContent lost = parseResultsContent(readStoredFile(localPath(save(QStringLiteral("lost.zxr")))));
    EXPECT_EQ(lost.bankPathAbs, first.bankPathAbs);
    EXPECT_EQ(lost.bankPathRel, first.bankPathRel);
    EXPECT_EQ(lost.testSettings, settings);
}

TEST_F(ResultsFileTest, TheNameWrittenIsTheNameAskedAbout)
{
    startTest("<showResults>1</showResults>");
    finish();
    const QString target = m_dir.path() + QStringLiteral("/x.zxr");
    writeFile(target, "keep me");
    // "x.txt" becomes "x.zxr", which the dialog did not ask about.
    m_answerYes = false;
    save(QStringLiteral("x.txt"));
    EXPECT_EQ(m_questions.last(),
              QStringLiteral("A results file of this name already exists. Do you want to replace it?\n\n") + target);
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me")) << "not replaced after No";
    EXPECT_EQ(m_form->testState(), TestState::Finished);

    m_answerYes = true;
    save(QStringLiteral("x.txt"));
    EXPECT_NE(parseResultsContent(readStoredFile(localPath(target))).testSettings, "");
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);

    // The name the dialog asked about is not asked about again.
    const qsizetype asked = m_questions.size();
    save(QStringLiteral("x.zxr"));
    save(QStringLiteral("new.txt"));
    EXPECT_EQ(m_questions.size(), asked);
    EXPECT_TRUE(QFileInfo::exists(m_dir.path() + QStringLiteral("/new.zxr")));
}

TEST_F(ResultsFileTest, AFileTooLargeForResultsIsNotRead)
{
    startTest("<showResults>1</showResults>");
    const QString huge = m_dir.path() + QStringLiteral("/huge.zxr");
    writeFile(huge, "x");
    // 20 GB that take no room on the disk.
    if (!QFile(huge).resize(qint64(20) << 30))
        GTEST_SKIP() << "no sparse files here";
    m_answerYes = true;
    EXPECT_FALSE(m_results->loadResultsFile(huge));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x125"));
    EXPECT_TRUE(m_form->messages().messageForm()->messageText().contains(huge));
    EXPECT_EQ(m_form->testState(), TestState::Running) << "the test on show stays";
}

TEST_F(ResultsFileTest, TheBankIsFoundByItsFullPathAloneAndAListWithoutQuestionsOffersNone)
{
    const QString bank = makeBank("<version>1</version>", {fieldPage("Red planet?", "Mars")});
    const std::string settings = "<showResults>1</showResults><allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>";
    const std::string report = "{\\rtf1 Results\\par}";
    const QString file = m_dir.path() + QStringLiteral("/abs.zxr");
    const std::string questions = "<questionFile0>" + fieldPage("Red planet?", "Mars") + "</questionFile0>";
    ASSERT_TRUE(writeStoredFile(buildResultsContent({report, "", localPath(bank), "", settings, questions, 0, {}}),
                                localPath(file)));
    EXPECT_TRUE(m_results->loadResultsFile(file));
    EXPECT_EQ(m_run->bankPath(), bank);
    EXPECT_TRUE(questionSlider(*m_form)->isEnabled());
    EXPECT_EQ(questionSlider(*m_form)->maximum(), 1);

    // A first record too short for a question: no question to go to.
    ASSERT_TRUE(writeStoredFile(
        buildResultsContent({report, "", localPath(bank), "", settings, "<questionFile0>short</questionFile0>", 0, {}}),
        localPath(file)));
    EXPECT_TRUE(m_results->loadResultsFile(file));
    EXPECT_EQ(m_run->lastQuestion(), -1);
    EXPECT_FALSE(questionSlider(*m_form)->isEnabled());
}

TEST_F(ResultsFileTest, TheAutomaticNameReadsTheClockOnce)
{
    // A clock at the turn of a second: every reading after the first is in
    // the next second.
    int readings = 0;
    m_startup.reset();
    m_results.reset();
    ResultsRunOptions options;
    options.clock = [&readings] {
        return ++readings == 1 ? QDateTime(QDate(2026, 12, 6), QTime(14, 30, 5, 999))
                               : QDateTime(QDate(2026, 12, 6), QTime(14, 30, 6, 0));
    };
    options.storeNumber = [] { return 7; };
    m_results = std::make_unique<ResultsRun>(resultsRunWindow(*m_form), *m_run, options);
    const QString folder = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(folder));
    m_results->setResultsFolder(folder);
    startTest("<showResults>1</showResults>");
    finish();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("r202612061430059997.zxr")});
}

TEST_F(ResultsFileTest, RefusalsAndQuestionsOnTheWay)
{
    // Nothing to save before the end.
    startTest("<showResults>1</showResults>");
    menuItem(*m_form, QStringLiteral("SaveResults1"))->trigger();
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x22"));
    EXPECT_EQ(m_form->messages().messageForm()->windowTitle(), QStringLiteral("message 21"));

    const QString file = m_dir.path() + QStringLiteral("/r.zxr");
    ASSERT_TRUE(writeStoredFile(buildResultsContent({"", "", "", "", "<showResults>1</showResults>", "", 0, {}}), localPath(file)));
    // A practice test asks first; No keeps it running with auto-play off.
    m_answerYes = false;
    m_results->loadResultsFile(file);
    EXPECT_EQ(m_questions.last(), QStringLiteral("message 61"));
    EXPECT_EQ(m_form->testState(), TestState::Running);
    EXPECT_FALSE(autoPlayBox(*m_form)->isChecked());

    m_results->loadResultsFile(m_dir.path() + QStringLiteral("/missing.zxr"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x57"));

    m_answerYes = true;
    m_run->openBank(makeBank("<version>1</version><isExam>1</isExam>", {fieldPage("Q", "A")}));
    ASSERT_EQ(m_form->testState(), TestState::RunningExam);
    m_results->loadResultsFile(file);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x59"));
    EXPECT_EQ(m_form->testState(), TestState::RunningExam);
}

TEST_F(ResultsFileTest, BrokenAndForeignFilesGiveAMessage)
{
    const QString broken = m_dir.path() + QStringLiteral("/broken.zxr");
    const std::vector<std::string> contents = {
        "", "garbage \x01\x02\xff", "<resultsRTF>{\\rtf1{{{{{\\fs99999999999999999 x", std::string(3'000'000, '<'),
    };
    for (const std::string& content : contents) {
        writeFile(broken, content);
        m_results->loadResultsFile(broken);
        EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x68"));
        EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    }
    ASSERT_TRUE(writeStoredFile("<testSettings><version>2</version><showResults>1</showResults></testSettings>",
                                localPath(broken)));
    m_results->loadResultsFile(broken);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x64"));
}

TEST_F(ResultsFileTest, AFailedWriteIsReportedAndKeepsTheResultsUnsaved)
{
    startTest("<showResults>1</showResults>");
    finish();
    save(QStringLiteral("no such folder/result.zxr"));
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_TRUE(m_form->messages().messageForm()->isVisible());
    EXPECT_TRUE(m_form->messages().messageForm()->messageText().contains(QStringLiteral("no such folder/result.zxr")));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x106"));
    // The close query still protects the results.
    m_answerYes = false;
    EXPECT_FALSE(m_form->close());
}

TEST_F(ResultsFileTest, ResultsAreStoredAutomaticallyOncePerRun)
{
    const QString folder = m_dir.path() + QStringLiteral("/ZXResults/");
    ASSERT_TRUE(QDir().mkpath(folder));
    m_results->setResultsFolder(folder);
    startTest("<showResults>1</showResults>");
    finish();
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("r202612061430051234711.zxr")));
    EXPECT_EQ(m_form->testState(), TestState::ResultsStored);
    EXPECT_TRUE(m_results->resultsFolder().isEmpty());

    startTest("<showResults>1</showResults>");
    finish();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(m_form->testState(), TestState::Finished);

    // A folder that cannot be written to: the results stay on screen.
    m_results->setResultsFolder(m_dir.path() + QStringLiteral("/gone/"));
    startTest("<showResults>1</showResults>");
    finish();
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x107"));
    EXPECT_EQ(m_form->testState(), TestState::Finished);
    EXPECT_TRUE(m_form->reportArea().reportVisible(ReportKind::Detailed));
}

TEST(ReportPrinting, AReportBeyondThePageLimitIsNotPrinted)
{
    ReportDocument report;
    for (int i = 0; i < 400; ++i)
        report.paragraphs.push_back({Alignment::Centre, {{"line " + std::to_string(i), {"Arial", 10, false, false}}}, {}});
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    QString error;
    EXPECT_FALSE(printReports({&report}, writer, &error, 5));
    EXPECT_TRUE(error.startsWith(QStringLiteral("the report would take "))) << error.toStdString();
    EXPECT_TRUE(pdf.isEmpty()) << "nothing printed";
    EXPECT_TRUE(printReports({&report}, writer, &error));
    EXPECT_GE(writer.pageLayout().paintRect(QPageLayout::Point).height(), 200);
}

TEST_F(ResultsFileTest, PrintingTheReportOrTheWindowAndThePdfCommand)
{
    const QString pdf = m_dir.path() + QStringLiteral("/print.pdf");
    QString jobName;
    m_form->messages().prompts().choosePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    startTest("<showResults>1</showResults><allowFinishedQuestionViewing>1</allowFinishedQuestionViewing>"
              "<testName>Planets</testName>");
    finish();
    menuItem(*m_form, QStringLiteral("Print1"))->trigger();
    EXPECT_TRUE(m_form->fileMenu().printer()->docName() == QStringLiteral("Results"));
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("Planets")));

    // A question page on show: the window's image is printed.
    QFile::remove(pdf);
    questionSlider(*m_form)->setValue(1);
    menuItem(*m_form, QStringLiteral("Print1"))->trigger();
    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_FALSE(pdfText(pdf).contains(QStringLiteral("Planets")));

    const QString file = save(QStringLiteral("print.zxr"));
    QProcess command;
    command.start(QStringLiteral(ZX_ZXEXAM_PATH),
                  {QStringLiteral("--print-pdf"), m_dir.path() + QStringLiteral("/cmd.pdf"), file});
    ASSERT_TRUE(command.waitForFinished(60000));
    EXPECT_EQ(command.exitCode(), 0) << command.readAllStandardError().toStdString();
    EXPECT_TRUE(pdfText(m_dir.path() + QStringLiteral("/cmd.pdf")).contains(QStringLiteral("Planets")));

    command.start(QStringLiteral(ZX_ZXEXAM_PATH),
                  {QStringLiteral("--print-pdf"), m_dir.path() + QStringLiteral("/x.pdf"), m_dir.path()});
    ASSERT_TRUE(command.waitForFinished(60000));
    EXPECT_EQ(command.exitCode(), 1);
    EXPECT_FALSE(command.readAllStandardError().isEmpty());
}

} // namespace zx::test
