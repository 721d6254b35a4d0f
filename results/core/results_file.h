// The content of a results file (".zxr", stored scrambled): six tagged
// elements written in this order with nothing between them - the detailed
// report and the summary as rich text, the bank's absolute path and its
// path relative to the results file, the test settings and the question
// list with the candidate's answers.  A reader looks each key up anywhere
// in the content (first occurrence).
#pragma once

#include "testrun/core/test_assembly.h" // LocalTime

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

    bool operator==(const ResultsFileContent&) const = default;
};

// "<resultsRTF>...</resultsRTF><resultsSummaryRTF>...</resultsSummaryRTF>
// <bankPathAbs>...</bankPathAbs><bankPathRel>...</bankPathRel>
// <testSettings>...</testSettings><qList>...</qList>"; each rich text is
// cut at its first zero byte.
std::string buildResultsContent(const ResultsFileContent& content);
ResultsFileContent parseResultsContent(std::string_view content);

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
