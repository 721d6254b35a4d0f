// The teacher's tools on results files: the class list, reading many files
// and checking a file's stored totals against its answers.
#include "results/core/results_batch.h"
#include "results/core/results_table.h"
#include "results/core/results_verify.h"
#include "tests/core/results_file_maker.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace zx;
using zx::testing::choiceButton;
using zx::testing::finishedContent;

namespace {

const std::string dates = "<testStartDate>20261206140000</testStartDate><testEndDate>20261206143005</testEndDate>"
                          "<testStartDisplayDate>2:00 pm</testStartDisplayDate>"
                          "<testEndDisplayDate>2:30 pm</testEndDisplayDate>";

std::string categories(std::initializer_list<const char*> names)
{
    std::string list;
    for (const char* name : names)
        list += makeElement("zxCategory", name);
    return makeElement("zxCategories", list);
}

std::string inCategory(const char* name, const std::string& objects)
{
    return "<Categories><cat>" + std::string(name) + "</cat></Categories>" + objects;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(ResultsTable, ColumnsAreTheUnionOfTheFilesAndCellsStayEmptyWhereAFileHasNone)
{
    const std::string a = dates + "<testName>Quiz</testName><shouldUserEnterDetails>1</shouldUserEnterDetails>"
                          "<userEntryLabel1>Name</userEntryLabel1><userDetails1>M\xfcller, Jo</userDetails1>"
                          "<userEntryLabel2>Class</userEntryLabel2><userDetails2>7b</userDetails2>"
                          + categories({"Algebra", "Geometry"});
    const std::vector<std::string> aRecords = {inCategory("Algebra", choiceButton(1, "2", "0")),
                                               inCategory("Geometry", choiceButton(0, "1", "0")),
                                               "<ResultsText>Read this first</ResultsText>"};
    // No test name, details without the question, a third label, and a
    // category of its own; four questions.
    const std::string b = "<testName>0</testName><testEndDate>2026-12-06</testEndDate>"
                          "<userEntryLabel1>Name</userEntryLabel1><userDetails1>\xc6r\xf8 \"Ace\"</userDetails1>"
                          "<userEntryLabel2>Class</userEntryLabel2>"
                          "<userEntryLabel3>Id</userEntryLabel3><userDetails3>line 1\r\nline 2</userDetails3>"
                          + categories({"Statistics", "Algebra", "Empty"});
    const std::vector<std::string> bRecords = {inCategory("Algebra", choiceButton(1, "1", "0")),
                                               inCategory("Statistics", choiceButton(1, "-0.5", "0")),
                                               choiceButton(1, "1", "0"), choiceButton(0, "1", "0")};

    ResultsTable table;
    table.add(makeResultsRow("ZXResults/a.zxr", finishedContent(a, aRecords)));
    table.add(makeResultsRow("ZXResults/b.zxr", finishedContent(b, bRecords)));

    EXPECT_EQ(table.header(),
              (std::vector<std::string>{"File", "Name", "Class", "Id", "Test", "Started", "Finished", "Score", "Best",
                                        "Worst", "Items", "Percentage", "Statistics score", "Statistics best",
                                        "Algebra score", "Algebra best", "Geometry score", "Geometry best",
                                        "Empty score", "Empty best", "Q1", "Q2", "Q3", "Q4"}));
    EXPECT_EQ(table.cells(0),
              (std::vector<std::string>{"ZXResults/a.zxr", "M\xc3\xbcller, Jo", "7b", "", "Quiz",
                                        "2026-12-06T14:00:00", "2026-12-06T14:30:05", "2.00", "3.00", "0.00", "2",
                                        "66.66", "", "", "2.00", "2.00", "0.00", "1.00", "", "", "2.00", "0.00", "",
                                        ""}));
    // A category without items has empty cells, as its report shows no score.
    EXPECT_EQ(table.cells(1),
              (std::vector<std::string>{"ZXResults/b.zxr", "\xc3\x86r\xc3\xb8 \"Ace\"", "", "line 1\r\nline 2", "", "",
                                        "", "1.50", "3.00", "-0.50", "4", "50.00", "-0.50", "0.00", "1.00", "1.00",
                                        "", "", "", "", "1.00", "-0.50", "1.00", "0.00"}));

    const std::string csv = table.write(TableFormat::Csv);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "File,Name,Class,Id,Test,Started,Finished,Score,Best,Worst,Items,Percentage,Statistics score,"
              "Statistics best,Algebra score,Algebra best,Geometry score,Geometry best,Empty score,Empty best,"
              "Q1,Q2,Q3,Q4");
    EXPECT_NE(csv.find("\r\nZXResults/a.zxr,\"M\xc3\xbcller, Jo\",7b,,Quiz,2026-12-06T14:00:00,"), std::string::npos);
    EXPECT_NE(csv.find("\r\nZXResults/b.zxr,\"\xc3\x86r\xc3\xb8 \"\"Ace\"\"\",,\"line 1\r\nline 2\",,,,1.50,"),
              std::string::npos);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");

    const std::string tsv = table.write(TableFormat::Tsv);
    EXPECT_NE(tsv.find("\nZXResults/a.zxr\tM\xc3\xbcller, Jo\t7b\t\tQuiz\t"), std::string::npos);
    EXPECT_EQ(tsv.find('\r'), tsv.find("line 1\r\nline 2") + 6) << "only the detail's own line break";
}

TEST(ResultsTable, TimedTestsAddTheirTimingColumns)
{
    const std::string settings = dates + "<testName>Quiz</testName>";
    const std::vector<std::string> records = {choiceButton(1, "1", "0")};
    ResultsTable untimed;
    untimed.add(makeResultsRow("u.zxr", finishedContent(settings, records)));
    EXPECT_EQ(untimed.header(), (std::vector<std::string>{"File", "Test", "Started", "Finished", "Score", "Best",
                                                          "Worst", "Items", "Percentage", "Q1"}))
        << "a table of untimed tests is as it always was";

    ResultsFileContent timed = finishedContent(settings, records);
    timed.timing = TestTiming{20, 50, 1800, 1799, 75, true};
    ResultsTable table;
    table.add(makeResultsRow("t.zxr", parseResultsContent(buildResultsContent(timed))));
    table.add(makeResultsRow("u.zxr", finishedContent(settings, records)));
    EXPECT_EQ(table.header(),
              (std::vector<std::string>{"File", "Test", "Started", "Finished", "Time limit (min)", "Extra time (%)",
                                        "Time allowed (s)", "Time used (s)", "Not running (s)", "Time ran out",
                                        "Score", "Best", "Worst", "Items", "Percentage", "Q1"}));
    EXPECT_EQ(table.cells(0), (std::vector<std::string>{"t.zxr", "Quiz", "2026-12-06T14:00:00", "2026-12-06T14:30:05",
                                                        "20", "50", "1800", "1799", "75", "yes", "1.00", "1.00",
                                                        "0.00", "1", "100.00", "1.00"}));
    EXPECT_EQ(table.cells(1), (std::vector<std::string>{"u.zxr", "Quiz", "2026-12-06T14:00:00", "2026-12-06T14:30:05",
                                                        "", "", "", "", "", "", "1.00", "1.00", "0.00", "1", "100.00",
                                                        "1.00"}));
}

TEST(ResultsTable, FieldsDatesAndTextThatCouldRunAsAFormula)
{
    EXPECT_EQ(tableField("plain text", ','), "plain text");
    EXPECT_EQ(tableField("a,b", ','), "\"a,b\"");
    EXPECT_EQ(tableField("a,b", '\t'), "a,b");
    EXPECT_EQ(tableField("a\tb", '\t'), "\"a\tb\"");
    EXPECT_EQ(tableField("say \"hi\"", ','), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(tableField("one\rtwo", ','), "\"one\rtwo\"");

    EXPECT_EQ(spreadsheetText("=HYPERLINK(\"x\")"), "'=HYPERLINK(\"x\")");
    EXPECT_EQ(spreadsheetText("+1"), "'+1");
    EXPECT_EQ(spreadsheetText("@me"), "'@me");
    EXPECT_EQ(spreadsheetText("Ann = top"), "Ann = top");
    EXPECT_EQ(spreadsheetText(""), "");
    // Spreadsheets skip leading spaces; control characters never reach the
    // terminal or the sheet, line breaks stay.
    EXPECT_EQ(spreadsheetText("  =HYPERLINK(\"x\")"), "'  =HYPERLINK(\"x\")");
    EXPECT_EQ(spreadsheetText(" -1"), "' -1");
    EXPECT_EQ(spreadsheetText("   "), "   ");
    EXPECT_EQ(spreadsheetText("\x1b]0;owned\x07" "Ann"), "?]0;owned?Ann");
    EXPECT_EQ(spreadsheetText("\t=1"), "?=1");
    EXPECT_EQ(spreadsheetText("a\rb\r\nc\nd\x7f"), "a?b\r\nc\nd?");
    EXPECT_EQ(printableText("\xc2\x9b" "31m \xc2\xa0\xc3\xa9\xc2"), "?31m \xc2\xa0\xc3\xa9\xc2");
    EXPECT_EQ(printableText("one\ntwo\r\n"), "one?two??");
    EXPECT_EQ(printableText("one\ntwo\r\n", true), "one\ntwo\r\n");

    EXPECT_EQ(isoDateTime("20261206143005"), "2026-12-06T14:30:05");
    // The day must exist in its month.
    EXPECT_EQ(isoDateTime("20260231120000"), "");
    EXPECT_EQ(isoDateTime("20260229000000"), "");
    EXPECT_EQ(isoDateTime("20280229000000"), "2028-02-29T00:00:00");
    EXPECT_EQ(isoDateTime("20000229000000"), "2000-02-29T00:00:00");
    EXPECT_EQ(isoDateTime("21000229000000"), "");
    EXPECT_EQ(isoDateTime("20260430000000"), "2026-04-30T00:00:00");
    EXPECT_EQ(isoDateTime("20260431000000"), "");
    EXPECT_EQ(isoDateTime("20261231235959"), "2026-12-31T23:59:59");
    EXPECT_EQ(isoDateTime("20261200000000"), "");
    EXPECT_EQ(isoDateTime("2026120614300"), "");
    EXPECT_EQ(isoDateTime("20261306143005"), "");
    EXPECT_EQ(isoDateTime("20261206243005"), "");
    EXPECT_EQ(isoDateTime("2026-12-06 1430"), "");

    // A candidate's details reach the table as text, never as a formula.
    const std::string settings = "<shouldUserEnterDetails>1</shouldUserEnterDetails><userEntryLabel1>Name</userEntryLabel1>"
                                 "<userDetails1>=1+1</userDetails1><userDetails2>no label</userDetails2>"
                                 "<userEntryLabel3>Name</userEntryLabel3>";
    ResultsTable table;
    table.add(makeResultsRow("r.zxr", finishedContent(settings, {choiceButton(1, "1", "0")})));
    EXPECT_EQ(table.header().at(1), "Name");
    EXPECT_EQ(table.header().at(2), "Detail 2");
    EXPECT_EQ(table.header().at(3), "Name (2)");
    EXPECT_EQ(table.cells(0).at(1), "'=1+1");
}

TEST(ResultsVerify, TotalsOfTheStoredReportAgainstTheAnswers)
{
    const std::string settings = dates + "<testName>Quiz</testName><ExaminerName>Ann</ExaminerName>"
                                 "<shouldUserEnterDetails>1</shouldUserEnterDetails><userEntryLabel1>Name</userEntryLabel1>"
                                 "<userDetails1>Bo 1.00 2.00</userDetails1>";
    const std::vector<std::string> records = {choiceButton(1, "2", "0"), choiceButton(0, "1", "0")};

    const ResultsFileContent whole = finishedContent(settings, records);
    VerifyResult result = verifyResults(whole);
    EXPECT_EQ(result.outcome, VerifyOutcome::Agrees);
    EXPECT_EQ(result.reported, (ReportTotals{200, 300, std::nullopt, 6666, 2}));
    EXPECT_FALSE(result.fromSummary);

    // Labels are whatever the language says; only the numbers count.
    const ReportLabels other{[](int n) { return "Wert " + std::to_string(n) + " von"; }};
    EXPECT_EQ(verifyResults(finishedContent(settings, records, other)).outcome, VerifyOutcome::Agrees);

    // A mark gained by editing the stored answers.
    ResultsFileContent answers = whole;
    answers.questionList = replaced(answers.questionList, "<userAnswer>0</userAnswer>", "<userAnswer>1</userAnswer>");
    result = verifyResults(answers);
    EXPECT_EQ(result.outcome, VerifyOutcome::Disagrees);
    EXPECT_EQ(result.notes, (std::vector<std::string>{"score 2.00 in the report, 3.00 from the answers",
                                                      "percentage 66.66 in the report, 100.00 from the answers"}));

    // A report edited to show more.
    ResultsFileContent report = whole;
    report.detailedRtf = replaced(report.detailedRtf, "x31 2.00 x41 3.00", "x31 3.00 x41 3.00");
    EXPECT_EQ(verifyResults(report).outcome, VerifyOutcome::Disagrees);
    report.detailedRtf = replaced(whole.detailedRtf, "x45 2", "x45 3");
    EXPECT_EQ(verifyResults(report).notes, (std::vector<std::string>{"items 3 in the report, 2 from the answers"}));

    // Summary only (the detailed report is not stored in that display
    // mode): its trimmed totals are read instead.
    ResultsFileContent summary = finishedContent(settings, records, zx::testing::numberedLabels, false, true);
    result = verifyResults(summary);
    EXPECT_EQ(result.outcome, VerifyOutcome::Agrees);
    EXPECT_TRUE(result.fromSummary);
    EXPECT_EQ(result.reported, (ReportTotals{200, 300, std::nullopt, 6666, 2}));
    summary.questionList = answers.questionList;
    EXPECT_EQ(verifyResults(summary).outcome, VerifyOutcome::Disagrees);
    const std::string itemsOnly = settings + "<ShowScore>0</ShowScore><ShowPercentage>0</ShowPercentage>";
    EXPECT_EQ(verifyResults(finishedContent(itemsOnly, records, zx::testing::numberedLabels, false, true)).reported,
              (ReportTotals{std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2}));

    // The minimum as the baseline adds the lowest mark; no base gives "0 %".
    const std::string baseline = settings + "<UseMinimumAsPercentageBaseline>1</UseMinimumAsPercentageBaseline>";
    result = verifyResults(finishedContent(baseline, {choiceButton(1, "1", "-1"), choiceButton(1, "-2", "0")}));
    EXPECT_EQ(result.outcome, VerifyOutcome::Agrees);
    EXPECT_EQ(result.reported, (ReportTotals{-100, 100, -300, 5000, 2}));
    result = verifyResults(finishedContent(settings, {choiceButton(1, "0", "0")}));
    EXPECT_EQ(result.outcome, VerifyOutcome::Agrees);
    EXPECT_EQ(result.reported.percentage, 0);

    // Nothing to compare with.
    ResultsFileContent none = whole;
    none.detailedRtf.clear();
    none.summaryRtf = "{}";
    result = verifyResults(none);
    EXPECT_EQ(result.outcome, VerifyOutcome::NotVerifiable);
    EXPECT_EQ(result.notes, (std::vector<std::string>{"the file stores no report"}));
    ReportDocument prose;
    prose.paragraphs.push_back({Alignment::Centre, {{"Score: 1.00 of 2.00", {}}}, {}});
    none.detailedRtf = writeRtf(prose);
    EXPECT_EQ(verifyResults(none).outcome, VerifyOutcome::NotVerifiable);
}

TEST(ResultsVerify, ATestNamedLikeTheRuleLineIsStillVerified)
{
    // Only the detailed report is stored, and its first line reads like the
    // rule line that ends the heading.
    const std::string rule(reportRuleLine);
    for (const std::string& more : {std::string(), std::string("<ExaminerName>Ann</ExaminerName>"
                                                                "<shouldUserEnterDetails>1</shouldUserEnterDetails>")}) {
        const std::string settings = dates + "<testName>" + rule + "</testName>" + more;
        const std::vector<std::string> records = {choiceButton(1, "2", "0"), choiceButton(0, "1", "0")};
        const VerifyResult result = verifyResults(
            finishedContent(settings, records, zx::testing::numberedLabels, true, false));
        EXPECT_EQ(result.outcome, VerifyOutcome::Agrees) << more;
        EXPECT_EQ(result.reported, (ReportTotals{200, 300, std::nullopt, 6666, 2}));
    }
}

TEST(ResultsBatch, FoldersGiveTheirResultsFilesAndEachFileIsCheckedOnItsOwn)
{
    zx::testing::TempFolder temp("zx-results-batch");
    namespace fs = std::filesystem;
    fs::create_directories(temp.path("class/sub"));
    fs::create_directories(temp.path("empty"));
    const ResultsFileContent content = finishedContent(dates, {choiceButton(1, "1", "0")});
    for (const char* name : {"class/b.zxr", "class/a.ZXR", "class/sub/c.zxr", "whole.zxr"})
        ASSERT_TRUE(zx::testing::storeResults(content, temp.path(name)));
    std::ofstream(temp.path("class/notes.txt")) << "not results";

    const ResultsFileList list =
        collectResultsFiles({temp.path("class"), temp.path("whole.zxr"), temp.path("missing"), temp.path("empty")});
    EXPECT_EQ(list.files, (std::vector<std::string>{temp.path("class/a.ZXR"), temp.path("class/b.zxr"),
                                                    temp.path("whole.zxr")}));
    EXPECT_EQ(list.errors, (std::vector<std::string>{temp.path("missing") + ": no such file or folder",
                                                     temp.path("empty") + ": the folder holds no results file (.zxr)"}));

    const ResultsFileRead whole = readResultsFile(temp.path("whole.zxr"));
    EXPECT_TRUE(whole.ok()) << whole.error;
    EXPECT_EQ(whole.content.questionList, content.questionList);

    const auto size = fs::file_size(temp.path("whole.zxr"));
    fs::copy_file(temp.path("whole.zxr"), temp.path("cut.zxr"));
    fs::resize_file(temp.path("cut.zxr"), size - 40);
    EXPECT_EQ(readResultsFile(temp.path("cut.zxr")).error,
              "cut short: the question list does not end (the file is incomplete)");
    std::ofstream(temp.path("plain.zxr")) << std::string(400, 'x');
    EXPECT_EQ(readResultsFile(temp.path("plain.zxr")).error, "not a results file, or damaged beyond reading");
    std::ofstream(temp.path("tiny.zxr")) << "tiny";
    EXPECT_EQ(readResultsFile(temp.path("tiny.zxr")).error, "too short for a results file (4 bytes)");
    std::ofstream(temp.path("nothing.zxr")).flush();
    EXPECT_EQ(readResultsFile(temp.path("nothing.zxr")).error, "empty file");
    EXPECT_EQ(readResultsFile(temp.path("gone.zxr")).error, "no such file");
    EXPECT_EQ(readResultsFile(temp.path("class")).error, "not a file");

    ResultsFileContent newer = content;
    newer.testSettings = "<version>2</version>" + newer.testSettings;
    ASSERT_TRUE(zx::testing::storeResults(newer, temp.path("newer.zxr")));
    EXPECT_EQ(readResultsFile(temp.path("newer.zxr")).error, "made for a newer version of the player (version 2)");
}
