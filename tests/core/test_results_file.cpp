#include "results/core/results_file.h"
#include "results/core/rtf_writer.h"
#include "tagtext/tagged_text.h"

#include <gtest/gtest.h>

using namespace zx;

TEST(ResultsFile, ContentRoundTripsAndKeepsItsOrder)
{
    ResultsFileContent c;
    c.detailedRtf = std::string("{\\rtf1 a}\0tail", 14);
    c.summaryRtf = "{\\rtf1 b}";
    c.bankPathAbs = "/home/ann/banks/planets.zxb";
    c.bankPathRel = "planets.zxb";
    c.testSettings = "<version>1</version><showResults>1</showResults>";
    c.questionList = "<questionFile0><userAnswer>mars</userAnswer></questionFile0>";
    const std::string text = buildResultsContent(c);
    EXPECT_EQ(text.rfind("<resultsRTF>{\\rtf1 a}</resultsRTF><resultsSummaryRTF>", 0), 0u)
        << "rich text is cut at its first zero byte";
    EXPECT_LT(text.find("<bankPathRel>"), text.find("<testSettings>"));
    EXPECT_LT(text.find("<testSettings>"), text.find("<qList>"));

    const ResultsFileContent back = parseResultsContent(text);
    EXPECT_EQ(back.detailedRtf, "{\\rtf1 a}");
    EXPECT_EQ(back.summaryRtf, c.summaryRtf);
    EXPECT_EQ(back.testSettings, c.testSettings);
    EXPECT_EQ(back.questionList, c.questionList);
    EXPECT_EQ(back.version, 1) << "the version comes with the test settings";

    // Report text holding markup cannot cut the stored report short.
    ReportDocument report;
    report.paragraphs.push_back({Alignment::Centre, {{"</resultsRTF><version>9</version>", {}}}, {}});
    c.detailedRtf = writeRtf(report);
    EXPECT_EQ(parseResultsContent(buildResultsContent(c)).version, 1);
    EXPECT_EQ(parseResultsContent(buildResultsContent(c)).detailedRtf, c.detailedRtf);

    const ResultsFileContent nothing = parseResultsContent(std::string(1 << 20, '<'));
    EXPECT_EQ(nothing.version, 0);
    EXPECT_TRUE(nothing.testSettings.empty());
}

TEST(ResultsFile, NamesOfSavedAndStoredFiles)
{
    EXPECT_EQ(withResultsExtension("/tmp/result.txt"), "/tmp/result.zxr");
    EXPECT_EQ(withResultsExtension("/tmp/result"), "/tmp/result.zxr");
    EXPECT_EQ(withResultsExtension("/tmp/my.results.txt"), "/tmp/my.results.zxr");
    EXPECT_EQ(withResultsExtension("/tmp/v1.2/result"), "/tmp/v1.2/result.zxr");
    EXPECT_EQ(withResultsExtension("a.ZXR"), "a.zxr");

    LocalTime t;
    t.year = 2026, t.month = 12, t.day = 6, t.hour = 14, t.minute = 30, t.second = 5;
    EXPECT_EQ(automaticResultsName("/r/ZXResults/", t, 123, 4711), "/r/ZXResults/r202612061430051234711.zxr");
    EXPECT_EQ(automaticResultsName("", t, 7, 0), "r202612061430050070.zxr");
}
