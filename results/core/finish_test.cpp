#include "results/core/finish_test.h"

#include "tagtext/tagged_text.h"

namespace zx {

FinishedTest finishTest(std::string_view testSettings, std::string_view questionList, int lastQuestion,
                        const ReportLabels& labels)
{
    FinishedTest finished;
    finished.settings = ResultsSettings::parse(testSettings);
    ReportWriter writer(finished.settings, labels);
    finished.score = scoreTest(finished.settings, questionList, lastQuestion, &writer);
    writer.finish(finished.score);
    finished.detailed = writer.takeDetailed();
    finished.summary = writer.takeSummary();
    finished.displayMode = finished.settings.displayMode();
    return finished;
}

std::string stampEndDates(std::string_view testSettings, const LocalTime& now)
{
    const std::string stamped = setTag(testSettings, "testEndDate", formatDateStamp(now));
    return setTag(stamped, "testEndDisplayDate", formatDisplayDate(now));
}

} // namespace zx
