// zxresults stats on a published data set: the LSAT section 6 responses of
// 1000 candidates to five items (Bock & Lieberman, 1970), each candidate a
// results file of a five-question test with one true/false or choice
// button per question.  The expected values were worked out once,
// independently of this code, from the response pattern counts.
#include "tests/core/results_file_maker.h"
#include "tests/core/zxresults_runner.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#ifdef ZX_ZXRESULTS_PATH

using namespace zx;

namespace {

// Response pattern (items 1..5, 1 = correct) -> candidates.
const std::map<std::string, int> lsatPatterns = {
    {"00000", 3},  {"00001", 6},  {"00010", 2},   {"00011", 11}, {"00100", 1},  {"00101", 1},  {"00110", 3},
    {"00111", 4},  {"01000", 1},  {"01001", 8},   {"01010", 0},  {"01011", 16}, {"01100", 0},  {"01101", 3},
    {"01110", 2},  {"01111", 15}, {"10000", 10},  {"10001", 29}, {"10010", 14}, {"10011", 81}, {"10100", 3},
    {"10101", 28}, {"10110", 15}, {"10111", 80},  {"11000", 16}, {"11001", 56}, {"11010", 21}, {"11011", 173},
    {"11100", 11}, {"11101", 61}, {"11110", 28},  {"11111", 298}};

// Items 1-3 are true/false buttons keyed True (a wrong answer is False),
// items 4-5 choice buttons to be selected (a wrong answer leaves them).
std::string lsatQuestion(int item, bool correct)
{
    const std::string text = "<ResultsText>Item " + std::to_string(item + 1) + "</ResultsText>";
    if (item < 3)
        return text
               + makeElement("zxButton", "<buttonType>1</buttonType><ButtonName>Statement</ButtonName><userAnswer>"
                                             + std::string(correct ? "1" : "2")
                                             + "</userAnswer><buttonMarkIfTrueSelected>1</buttonMarkIfTrueSelected>"
                                               "<buttonMarkIfFalseSelected>0</buttonMarkIfFalseSelected>"
                                               "<buttonMarkIfNoTFSelection>0</buttonMarkIfNoTFSelection>");
    return text
           + makeElement("zxButton", "<buttonType>0</buttonType><ButtonName>Right</ButtonName><userAnswer>"
                                         + std::string(correct ? "1" : "0")
                                         + "</userAnswer><buttonMarkIfSelected>1</buttonMarkIfSelected>"
                                           "<buttonMarkIfNotSelected>0</buttonMarkIfNotSelected>");
}

using zx::testing::fileText;
using zx::testing::Outcome;

// The rows of one section of the CSV: the lines after the header line
// `header` up to the blank line.
std::vector<std::string> section(const std::string& csv, const std::string& header)
{
    std::vector<std::string> rows;
    std::size_t at = csv.find(header + "\r\n");
    if (at == std::string::npos)
        return rows;
    at += header.size() + 2;
    for (std::size_t end; (end = csv.find("\r\n", at)) != std::string::npos && end > at; at = end + 2)
        rows.push_back(csv.substr(at, end - at));
    return rows;
}

class ZxResultsStats : public ::testing::Test {
protected:
    Outcome run(const std::string& arguments)
    {
        return zx::testing::runProgram(ZX_ZXRESULTS_PATH, arguments, m_temp.path("out"), m_temp.path("err"));
    }
    std::string path(const std::string& name) const { return m_temp.path(name); }
    std::string quoted(const std::string& name) const { return "'" + m_temp.path(name) + "'"; }

    // One results file per candidate in `folder`.
    void writeLsat(const std::string& folder, const std::string& testName = "LSAT 6")
    {
        std::filesystem::create_directories(path(folder));
        const std::string settings = "<testName>" + testName + "</testName><showResults>1</showResults>";
        int candidate = 0;
        for (const auto& [pattern, count] : lsatPatterns) {
            std::vector<std::string> records;
            for (int item = 0; item < 5; ++item)
                records.push_back(lsatQuestion(item, pattern[static_cast<std::size_t>(item)] == '1'));
            const ResultsFileContent content = zx::testing::finishedContent(settings, records);
            for (int k = 0; k < count; ++k) {
                const std::string name = folder + "/r" + std::to_string(10000 + candidate++) + ".zxr";
                ASSERT_TRUE(zx::testing::storeResults(content, path(name)));
            }
        }
        ASSERT_EQ(candidate, 1000);
    }

    zx::testing::TempFolder m_temp{"zx-results-stats"};
};

} // namespace

TEST_F(ZxResultsStats, LsatFacilitiesAndAlphaMatchTheIndependentFigures)
{
    writeLsat("lsat");
    const Outcome stats = run("stats " + quoted("lsat"));
    ASSERT_EQ(stats.status, 0) << stats.err;
    EXPECT_EQ(stats.err, "");

    const std::vector<std::string> test = section(stats.out, "Measure,Value");
    const std::vector<std::string> expectedTest = {
        "Test,LSAT 6", "Bank,quiz.zxb", "Candidates,1000", "Files left out,0", "Questions,5", "Mean,3.82",
        "Standard deviation,1.04", "Median,4.00", "Lowest,0.00", "Highest,5.00", "Best possible,5.00",
        "Mean percentage,76.38", "Cronbach's alpha,0.295", "Standard error of measurement,0.87"};
    EXPECT_EQ(test, expectedTest);

    // Facility and corrected item-total correlation of each item.
    const std::vector<std::string> questions = section(
        stats.out, "Question,Text,Candidates,Mean,Best,Facility,Standard deviation,Discrimination,Flags");
    const std::vector<std::string> expectedQuestions = {
        "Q1,Item 1,1000,0.92,1.00,0.924,0.27,0.113,facility 0.924 over 0.9: very easy; discrimination 0.113 under "
        "0.2: it hardly separates strong from weak candidates",
        "Q2,Item 2,1000,0.71,1.00,0.709,0.45,0.153,discrimination 0.153 under 0.2: it hardly separates strong from "
        "weak candidates",
        "Q3,Item 3,1000,0.55,1.00,0.553,0.50,0.173,discrimination 0.173 under 0.2: it hardly separates strong from "
        "weak candidates",
        "Q4,Item 4,1000,0.76,1.00,0.763,0.43,0.144,discrimination 0.144 under 0.2: it hardly separates strong from "
        "weak candidates",
        "Q5,Item 5,1000,0.87,1.00,0.870,0.34,0.122,discrimination 0.122 under 0.2: it hardly separates strong from "
        "weak candidates"};
    EXPECT_EQ(questions, expectedQuestions);

    // Choices: True/False of the true/false items, the choice button of the
    // others; the mean totals of those who chose them (3.9264, 2.5132,
    // 4.1271, 3.9931 worked out with the facilities).
    const std::vector<std::string> options =
        section(stats.out, "Question,Button,Kind,Option,Keyed,Chosen,Proportion,Mean total,Flag");
    ASSERT_EQ(options.size(), 8u);
    EXPECT_EQ(options[0], "Q1,1,true/false,True,yes,924,0.924,3.93,");
    EXPECT_EQ(options[1], "Q1,1,true/false,False,no,76,0.076,2.51,");
    EXPECT_EQ(options[6], "Q4,1,choice,Right,yes,763,0.763,4.13,");
    EXPECT_EQ(options[7], "Q5,1,choice,Right,yes,870,0.870,3.99,");

    const std::vector<std::string> distribution = section(stats.out, "Total from,Total to,Candidates");
    const std::vector<std::string> expectedDistribution = {"0.00,1.00,3",   "1.00,2.00,20",  "2.00,3.00,85",
                                                           "3.00,4.00,237", "4.00,5.00,357", "5.00,6.00,298"};
    EXPECT_EQ(distribution, expectedDistribution);
}

TEST_F(ZxResultsStats, FilesOfAnotherTestAreReportedAndLeftOut)
{
    writeLsat("class");
    const std::string settings = "<testName>Other</testName>";
    ASSERT_TRUE(zx::testing::storeResults(
        zx::testing::finishedContent(settings, {zx::testing::choiceButton(1, "1", "0")}), path("class/a-other.zxr")));
    std::ofstream(path("class/b-broken.zxr")) << "broken";

    const Outcome stats = run("stats --tsv " + quoted("class"));
    EXPECT_EQ(stats.status, 3); // the broken file
    EXPECT_NE(stats.out.find("Candidates\t1000\n"), std::string::npos) << stats.out.substr(0, 400);
    EXPECT_NE(stats.out.find("Files left out\t1\n"), std::string::npos);
    EXPECT_NE(stats.err.find(path("class/a-other.zxr") + ": left out: test \"Other\" of quiz.zxb, while most files "
                                                         "are of test \"LSAT 6\" of quiz.zxb\n"),
              std::string::npos)
        << stats.err;
    EXPECT_NE(stats.err.find(path("class/b-broken.zxr") + ": too short"), std::string::npos) << stats.err;

    EXPECT_EQ(run("stats --html").status, 2);
    EXPECT_EQ(run("stats --csv --tsv " + quoted("class")).status, 2);
    EXPECT_EQ(run("stats " + quoted("class/b-broken.zxr")).status, 3);
}

TEST_F(ZxResultsStats, PageRendersItsChartsInABrowser)
{
    writeLsat("lsat", "LSAT <6> & \"more\"");
    const Outcome stats = run("stats --html " + quoted("page.html") + " " + quoted("lsat"));
    ASSERT_EQ(stats.status, 0) << stats.err;
    EXPECT_EQ(stats.out, ""); // no table unless asked for
    const std::string page = fileText(path("page.html"));
    EXPECT_NE(page.find("<title>Item analysis: LSAT &lt;6&gt; &amp; &quot;more&quot;</title>"), std::string::npos);
    // Nothing from the network, no script: the only address is the SVG
    // name space.
    std::string offline = page;
    for (std::size_t at; (at = offline.find("http://www.w3.org/2000/svg")) != std::string::npos;)
        offline.erase(at, 26);
    EXPECT_EQ(offline.find("http"), std::string::npos);
    EXPECT_EQ(offline.find("<script"), std::string::npos);
    // Every question is flagged, each with its point in the scatter chart.
    for (const char* label : {">Q1</text>", ">Q2</text>", ">Q3</text>", ">Q4</text>", ">Q5</text>"})
        EXPECT_NE(page.find(label), std::string::npos) << label;

    const Outcome csvToo = run("stats --csv --html " + quoted("page2.html") + " " + quoted("lsat"));
    EXPECT_EQ(csvToo.status, 0);
    EXPECT_EQ(csvToo.out.rfind("Measure,Value\r\n", 0), 0u);
    EXPECT_EQ(fileText(path("page2.html")), page);
    // ZX_KEEP_STATS_PAGE=FOLDER keeps the page and its screenshot to look at.
    const char* keep = std::getenv("ZX_KEEP_STATS_PAGE");
    const std::string kept = keep && *keep ? std::string(keep) : m_temp.path();
    if (kept != m_temp.path())
        std::filesystem::copy_file(path("page.html"), kept + "/page.html",
                                   std::filesystem::copy_options::overwrite_existing);

    if (std::system("command -v chromium >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "chromium is not installed (./setup.sh installs it)";
    // The bars and points of the charts (blue, flagged red) and the shaded
    // zones of the scatter chart must be drawn.
    const std::string check = "python3 '" ZX_SOURCE_DIR "/tests/html/page_renders.py' " + quoted("page.html") + " '"
                              + kept + "/page.png' '#4a78b5' '#c8402f' '#f6e3df' >" + quoted("render.log")
                              + " 2>&1";
    const int rendered = std::system(check.c_str());
    EXPECT_EQ(zx::testing::exitStatus(rendered), 0) << fileText(path("render.log"));
}

#endif
