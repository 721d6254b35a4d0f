// Results files for the tests of the teacher's tools, made as the player
// makes them at Finish: the test is scored and both reports written by
// finishTest, the reports stored as rich text, the file stored scrambled.
#pragma once

#include "results/core/finish_test.h"
#include "results/core/results_file.h"
#include "results/core/rtf_writer.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <string>
#include <vector>

namespace zx::testing {

// Labels that show their number: "x31", "x41", ...
inline const ReportLabels numberedLabels{[](int n) { return "x" + std::to_string(n); }};

inline std::string choiceButton(int answer, const std::string& ifSelected, const std::string& ifNot)
{
    return makeElement("zxButton", "<buttonType>0</buttonType><userAnswer>" + std::to_string(answer)
                                       + "</userAnswer><buttonMarkIfSelected>" + ifSelected
                                       + "</buttonMarkIfSelected><buttonMarkIfNotSelected>" + ifNot
                                       + "</buttonMarkIfNotSelected>");
}

inline std::string questionList(const std::vector<std::string>& records)
{
    std::string list;
    for (std::size_t i = 0; i < records.size(); ++i)
        list += makeElement("questionFile" + std::to_string(i), records[i]);
    return list;
}

// The content the player stores for a finished test: both reports (or only
// those `withDetailed` / `withSummary` keep, as the display modes do).
inline ResultsFileContent finishedContent(const std::string& settings, const std::vector<std::string>& records,
                                          const ReportLabels& labels = numberedLabels, bool withDetailed = true,
                                          bool withSummary = true)
{
    ResultsFileContent content;
    content.testSettings = settings;
    content.questionList = questionList(records);
    const FinishedTest finished =
        finishTest(settings, content.questionList, static_cast<int>(records.size()) - 1, labels);
    if (withDetailed)
        content.detailedRtf = writeRtf(finished.detailed);
    if (withSummary)
        content.summaryRtf = writeRtf(finished.summary);
    content.bankPathAbs = "/home/teacher/banks/quiz.zxb";
    content.bankPathRel = "quiz.zxb";
    return content;
}

inline bool storeResults(const ResultsFileContent& content, const std::string& path)
{
    return writeStoredFile(buildResultsContent(content), path);
}

} // namespace zx::testing
