#include "results/core/results_file.h"
#include "results/core/rtf_writer.h"
#include "testrun/core/bank_settings.h"
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

TEST(ResultsFile, ATimedTestAddsItsTimingAfterTheSixElements)
{
    ResultsFileContent c;
    c.testSettings = "<version>1</version><timeLimitMinutes>30</timeLimitMinutes>";
    // A page text may hold anything, also a timing element of its own.
    c.questionList = "<questionFile0><testTiming><secondsUsed>1</secondsUsed></testTiming></questionFile0>";
    const std::string untimed = buildResultsContent(c);
    EXPECT_EQ(untimed.find("</qList>") + 8, untimed.size()) << "an untimed test writes the six elements only";
    EXPECT_FALSE(parseResultsContent(untimed).timing.has_value());

    c.timing = TestTiming{30, 25, 2250, 1804, 61, false};
    const std::string text = buildResultsContent(c);
    EXPECT_EQ(text.substr(0, untimed.size()), untimed);
    EXPECT_EQ(text.substr(untimed.size()),
              "<testTiming><timeLimitMinutes>30</timeLimitMinutes><extraTimePercent>25</extraTimePercent>"
              "<secondsAllowed>2250</secondsAllowed><secondsUsed>1804</secondsUsed>"
              "<secondsNotRunning>61</secondsNotRunning><timeRanOut>0</timeRanOut></testTiming>");
    const ResultsFileContent back = parseResultsContent(text);
    EXPECT_EQ(back.timing, c.timing);
    EXPECT_EQ(back.questionList, c.questionList);
    c.timing->timeRanOut = true;
    EXPECT_EQ(parseResultsContent(buildResultsContent(c)).timing, c.timing);

    // Numbers that are no numbers, negative or too large read within range.
    const auto odd = parseTimingElement("<qList></qList><testTiming><timeLimitMinutes>9999999</timeLimitMinutes>"
                                        "<extraTimePercent>-4</extraTimePercent><secondsAllowed>x</secondsAllowed>"
                                        "<secondsUsed>99999999999999999999</secondsUsed><timeRanOut>2</timeRanOut>"
                                        "</testTiming>");
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(*odd, (TestTiming{maxTimeLimitMinutes, 0, 0, 0, 0, false}));
    EXPECT_FALSE(parseTimingElement("<qList></qList><testTiming></testTiming>").has_value());
}
