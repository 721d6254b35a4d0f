// The zxresults program as a teacher runs it, on a folder of results files.
#include "app/core/language_file.h"
#include "app/core/language_choice.h"
#include "tests/core/results_file_maker.h"
#include "tests/core/zxresults_runner.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#ifdef ZX_ZXRESULTS_PATH

using namespace zx;
using zx::testing::choiceButton;

namespace {

using zx::testing::fileText;
using zx::testing::Outcome;

class ZxResultsTool : public ::testing::Test {
protected:
    // Runs zxresults with `arguments` (already quoted for the shell).
    Outcome run(const std::string& arguments)
    {
        return zx::testing::runProgram(ZX_ZXRESULTS_PATH, arguments, m_temp.path("out"), m_temp.path("err"));
    }

    std::string path(const std::string& name) const { return m_temp.path(name); }
    std::string quoted(const std::string& name) const { return "'" + m_temp.path(name) + "'"; }

    const std::string settings = "<testName>Quiz</testName><ExaminerName>0</ExaminerName>"
                                 "<shouldUserEnterDetails>1</shouldUserEnterDetails>"
                                 "<userEntryLabel1>Name</userEntryLabel1><userDetails1>M\xfcller</userDetails1>"
                                 "<testEndDate>20261206143005</testEndDate><showResults>1</showResults>"
                                 "<showResultsSummary>1</showResultsSummary>";
    const std::vector<std::string> records = {choiceButton(1, "2", "0"), choiceButton(0, "1", "0")};

    zx::testing::TempFolder m_temp{"zx-results-tool"};
};

} // namespace

TEST_F(ZxResultsTool, TableOfAFolderReportsADamagedFileAndGoesOnWithTheOthers)
{
    std::filesystem::create_directories(path("class"));
    const ResultsFileContent content = zx::testing::finishedContent(settings, records);
    ASSERT_TRUE(zx::testing::storeResults(content, path("class/r1.zxr")));
    ASSERT_TRUE(zx::testing::storeResults(content, path("class/r3.zxr")));
    ASSERT_TRUE(zx::testing::storeResults(content, path("class/r2.zxr")));
    std::filesystem::resize_file(path("class/r2.zxr"), std::filesystem::file_size(path("class/r2.zxr")) / 2);

    Outcome table = run("table " + quoted("class"));
    EXPECT_EQ(table.status, 3);
    EXPECT_EQ(table.err, "zxresults: " + path("class/r2.zxr")
                             + ": cut short: the question list does not end (the file is incomplete)\n");
    const std::string row = ",M\xc3\xbcller,Quiz,,2026-12-06T14:30:05,2.00,3.00,0.00,2,66.66,2.00,0.00\r\n";
    EXPECT_EQ(table.out, "File,Name,Test,Started,Finished,Score,Best,Worst,Items,Percentage,Q1,Q2\r\n" + path("class/r1.zxr")
                             + row + path("class/r3.zxr") + row);

    table = run("table --tsv " + quoted("class/r1.zxr"));
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.substr(0, table.out.find('\n')), "File\tName\tTest\tStarted\tFinished\tScore\tBest\tWorst\tItems"
                                                         "\tPercentage\tQ1\tQ2");

    EXPECT_EQ(run("table").status, 2);
    EXPECT_EQ(run("table --json " + quoted("class")).status, 2);
    EXPECT_EQ(run("table " + quoted("nowhere")).status, 3);
}

TEST_F(ZxResultsTool, VerifyListsTheFileWhoseReportDisagreesWithItsAnswers)
{
    const ResultsFileContent content = zx::testing::finishedContent(settings, records);
    ASSERT_TRUE(zx::testing::storeResults(content, path("good.zxr")));
    ResultsFileContent altered = content;
    const std::size_t answer = altered.questionList.find("<userAnswer>0</userAnswer>");
    ASSERT_NE(answer, std::string::npos);
    altered.questionList.replace(answer, 26, "<userAnswer>1</userAnswer>");
    ASSERT_TRUE(zx::testing::storeResults(altered, path("hand-edited.zxr")));

    Outcome verify = run("verify " + quoted(""));
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out, path("good.zxr") + ": OK\n" + path("hand-edited.zxr")
                              + ": ALTERED: score 2.00 in the report, 3.00 from the answers; "
                                "percentage 66.66 in the report, 100.00 from the answers\n");
    EXPECT_EQ(verify.err, "zxresults: 1 of 2 files altered, 0 not verified\n");

    std::ofstream(path("broken.zxr")) << "broken";
    verify = run("verify " + quoted("good.zxr") + " " + quoted("broken.zxr"));
    EXPECT_EQ(verify.status, 3);
    EXPECT_EQ(verify.out, path("good.zxr") + ": OK\n" + path("broken.zxr")
                              + ": NOT VERIFIED: too short for a results file (6 bytes)\n");
    EXPECT_EQ(run("verify " + quoted("good.zxr")).status, 0);
}

TEST_F(ZxResultsTool, ShowAndReportPrintTheSameForAFileOfTheseRules)
{
    LanguageTexts english;
    ASSERT_TRUE(loadLanguageFile(ZX_BUILD_DIR "/ExLang/English (UK).zxc", english));
    const ReportLabels labels = ReportLabels::fromLanguage(english);
    ASSERT_TRUE(zx::testing::storeResults(zx::testing::finishedContent(settings, records, labels), path("r.zxr")));

    const Outcome show = run("show " + quoted("r.zxr"));
    EXPECT_EQ(show.status, 0) << show.err;
    EXPECT_NE(show.out.find("\nName: M\xc3\xbcller\n"), std::string::npos) << show.out;
    const Outcome report = run("report " + quoted("r.zxr"));
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_EQ(report.out, show.out);
    EXPECT_NE(report.out.find("\nScore: 2.00 out of a possible 3.00\n"), std::string::npos) << report.out;
    EXPECT_NE(report.out.find("\n====================\n"), std::string::npos);

    const Outcome german = run("report --lang german " + quoted("r.zxr"));
    EXPECT_EQ(german.status, 0) << german.err;
    EXPECT_NE(german.out, show.out);
    const Outcome unknown = run("report --lang Klingon " + quoted("r.zxr"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("no language \"Klingon\""), std::string::npos) << unknown.err;
    EXPECT_EQ(run("show " + quoted("missing.zxr")).status, 3);
}

TEST_F(ZxResultsTool, ACandidatesControlCharactersNeverReachTheTerminal)
{
    std::string hostile = settings;
    const std::size_t name = hostile.find("M\xfcller");
    hostile.replace(name, 6, "\x1b[2J\x1b]0;x\x07" "Ann\rBo\x9d" "1m");
    ASSERT_TRUE(zx::testing::storeResults(zx::testing::finishedContent(hostile, records), path("r.zxr")));
    ASSERT_TRUE(zx::testing::storeResults(zx::testing::finishedContent(hostile, records), path("\x1b[31mred.zxr")));
    for (const char* command : {"show ", "report ", "table ", "verify "}) {
        const bool one = command[0] == 's' || command[0] == 'r';
        const Outcome outcome = run(command + quoted(one ? "r.zxr" : "") + (one ? "" : " " + quoted("gone")));
        for (const std::string& text : {outcome.out, outcome.err}) {
            EXPECT_EQ(text.find('\x1b'), std::string::npos) << command << text;
            EXPECT_EQ(text.find('\a'), std::string::npos) << command << text;
            EXPECT_EQ(text.find("\xc2\x9d"), std::string::npos) << command << text;
        }
        // The stored reports (show) hold no control characters at all.
        if (command[0] == 'r' || command[0] == 't') {
            EXPECT_NE(outcome.out.find("?[2J?]0;x?Ann"), std::string::npos) << command << outcome.out;
        }
    }
}

TEST_F(ZxResultsTool, PdfOfEachFileHoldsItsReports)
{
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    LanguageTexts english;
    ASSERT_TRUE(loadLanguageFile(ZX_BUILD_DIR "/ExLang/English (UK).zxc", english));
    const ReportLabels labels = ReportLabels::fromLanguage(english);
    ASSERT_TRUE(zx::testing::storeResults(zx::testing::finishedContent(settings, records, labels), path("r1.zxr")));
    std::ofstream(path("r2.zxr")) << std::string(500, '?');

    const Outcome pdf = run("pdf --out " + quoted("pdf") + " " + quoted("r1.zxr") + " " + quoted("r2.zxr"));
    EXPECT_EQ(pdf.status, 3);
    EXPECT_EQ(pdf.out, path("r1.zxr") + " -> " + path("pdf/r1.pdf") + "\n");
    EXPECT_NE(pdf.err.find(path("r2.zxr") + ": not a results file"), std::string::npos) << pdf.err;
    EXPECT_FALSE(std::filesystem::exists(path("pdf/r2.pdf")));

    const std::string text = "pdftotext -layout " + quoted("pdf/r1.pdf") + " " + quoted("r1.txt");
    ASSERT_EQ(std::system(text.c_str()), 0);
    const std::string pages = fileText(path("r1.txt"));
    for (const char* line : {"Quiz", "Test Results", "Name: M\xc3\xbcller", "Score: 2.00 out of a possible 3.00",
                             "Percentage: 66.66 %", "Question 2", "Score: 2 out of a possible 3", "Percentage: 66.66 %"})
        EXPECT_NE(pages.find(line), std::string::npos) << line << "\n" << pages;
}

TEST_F(ZxResultsTool, PdfNeverWritesThroughALinkNorReportsAFileItCouldNotFinish)
{
    ASSERT_TRUE(zx::testing::storeResults(zx::testing::finishedContent(settings, records), path("r1.zxr")));
    // A file of 24 KB whose lines ask for a font of a million points, and
    // one of 130,000 lines.
    zx::ResultsFileContent giant = zx::testing::finishedContent(settings, records);
    giant.detailedRtf = "{\\rtf1\\ansi";
    for (int i = 0; i < 3000; ++i)
        giant.detailedRtf += "\\fs2000000 W\\par";
    giant.detailedRtf += "}";
    ASSERT_TRUE(zx::testing::storeResults(giant, path("giant.zxr")));
    zx::ResultsFileContent endless = giant;
    endless.detailedRtf = "{\\rtf1\\ansi";
    for (int i = 0; i < 130000; ++i)
        endless.detailedRtf += "x\\par ";
    endless.detailedRtf += "}";
    ASSERT_TRUE(zx::testing::storeResults(endless, path("endless.zxr")));

    std::filesystem::create_directories(path("pdf"));
    std::ofstream(path("victim.txt")) << "keep";
    std::filesystem::create_symlink(path("victim.txt"), path("pdf/r1.pdf"));

    const Outcome pdf = run("pdf --out " + quoted("pdf") + " " + quoted("r1.zxr") + " " + quoted("giant.zxr") + " "
                            + quoted("endless.zxr"));
    EXPECT_EQ(pdf.status, 3);
    EXPECT_EQ(fileText(path("victim.txt")), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink(path("pdf/r1.pdf")));
    EXPECT_NE(pdf.err.find(path("r1.zxr") + ": " + path("pdf/r1.pdf") + ": is a symbolic link"), std::string::npos)
        << pdf.err;
    EXPECT_EQ(pdf.out, path("giant.zxr") + " -> " + path("pdf/giant.pdf") + "\n");
    EXPECT_EQ(fileText(path("pdf/giant.pdf")).substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.err.find(path("endless.zxr") + ": " + path("pdf/endless.pdf") + ": the report is too long"),
              std::string::npos)
        << pdf.err;
    EXPECT_FALSE(std::filesystem::exists(path("pdf/endless.pdf")));

    // A disk that fills up (here: a limit on the size of files) is
    // reported, and the PDF already there stays whole.
    std::ofstream(path("pdf/r1-old.pdf")) << "old";
    std::filesystem::remove(path("pdf/r1.pdf"));
    std::filesystem::rename(path("pdf/r1-old.pdf"), path("pdf/r1.pdf"));
    const std::string full = "trap '' XFSZ; ulimit -f 4; '" ZX_ZXRESULTS_PATH "' pdf --out " + quoted("pdf") + " "
                             + quoted("r1.zxr") + " >/dev/null 2>" + quoted("err");
    EXPECT_EQ(zx::testing::exitStatus(std::system(full.c_str())), 3);
    EXPECT_EQ(fileText(path("pdf/r1.pdf")), "old");
    EXPECT_NE(fileText(path("err")).find(path("r1.zxr") + ": "), std::string::npos) << fileText(path("err"));
}

#endif
