// The content of a results file (".zxr", stored scrambled): six tagged
// elements written in this order with nothing between them - the detailed
// report and the summary as rich text, the bank's absolute path and its
// path relative to the results file, the test settings and the question
// list with the candidate's answers.  A reader looks each key up anywhere
// in the content (first occurrence).
//
// A timed test adds a seventh element after them, `testTiming`: the time
// limit in minutes, the candidate's extra time in percent, the seconds
// allowed, used and not running, and whether the time ran out.  Readers
// that do not know it ignore it; a test without a limit writes the six
// elements only.
#pragma once

#include "testrun/core/test_assembly.h" // LocalTime
#include "testrun/core/test_timer.h"

#include <optional>

#include <string>
#include <string_view>

namespace zx {

struct ResultsFileContent {
    std::string detailedRtf; // empty when there is no detailed report
    std::string summaryRtf;  // empty when there is no summary
    std::string bankPathAbs;
    std::string bankPathRel;
    std::string testSettings;
    std::string questionList;
    int version = 0; // read only: comes with the test settings from the bank
    std::optional<TestTiming> timing; // a timed test's record

    bool operator==(const ResultsFileContent&) const = default;
};

// "<resultsRTF>...</resultsRTF><resultsSummaryRTF>...</resultsSummaryRTF>
// <bankPathAbs>...</bankPathAbs><bankPathRel>...</bankPathRel>
// <testSettings>...</testSettings><qList>...</qList>"; each rich text is
// cut at its first zero byte; then "<testTiming>...</testTiming>" when the
// content has a timing record.
std::string buildResultsContent(const ResultsFileContent& content);
ResultsFileContent parseResultsContent(std::string_view content);

// "<testTiming><timeLimitMinutes>30</timeLimitMinutes><extraTimePercent>25
// </extraTimePercent><secondsAllowed>2250</secondsAllowed><secondsUsed>
// 1800</secondsUsed><secondsNotRunning>12</secondsNotRunning><timeRanOut>0
// </timeRanOut></testTiming>" (without the line breaks).
std::string timingElement(const TestTiming& timing);
// The timing record of a results content, looked up after the question
// list (whose pages might hold any text); none when the element is missing
// or empty.  Negative or unreadable numbers read as 0.
std::optional<TestTiming> parseTimingElement(std::string_view content);

// Files of this version and newer are made for a later player.
inline constexpr int firstRefusedResultsVersion = 2;

// `path` with its extension (the part from the last "." of the file name)
// replaced by ".zxr", or ".zxr" added when it has none.
std::string withResultsExtension(std::string_view path);

// The name an automatic store uses: folder + "r" + "yyyymmddhhnnsszzz" +
// number (0..9998, plain decimal) + ".zxr", e.g.
// "r202612061430051234711.zxr".  `folder` ends with a separator.
std::string automaticResultsName(std::string_view folder, const LocalTime& now, int millisecond, int number);

} // namespace zx
