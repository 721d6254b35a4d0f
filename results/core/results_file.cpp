#include "results/core/results_file.h"

#include "tagtext/tagged_text.h"

#include <cstdio>

namespace zx {

namespace {

std::string_view upToZero(std::string_view text)
{
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

} // namespace

std::string buildResultsContent(const ResultsFileContent& c)
{
    std::string out;
    out.reserve(c.detailedRtf.size() + c.summaryRtf.size() + c.testSettings.size() + c.questionList.size()
                + c.bankPathAbs.size() + c.bankPathRel.size() + 200);
    out += makeElement("resultsRTF", upToZero(c.detailedRtf));
    out += makeElement("resultsSummaryRTF", upToZero(c.summaryRtf));
    out += makeElement("bankPathAbs", c.bankPathAbs);
    out += makeElement("bankPathRel", c.bankPathRel);
    out += makeElement("testSettings", c.testSettings);
    out += makeElement("qList", c.questionList);
    return out;
}

ResultsFileContent parseResultsContent(std::string_view content)
{
    ResultsFileContent c;
    c.version = getTagInt(content, "version", 0);
    c.testSettings = getTag(content, "testSettings");
    c.detailedRtf = getTag(content, "resultsRTF");
    c.summaryRtf = getTag(content, "resultsSummaryRTF");
    c.bankPathAbs = getTag(content, "bankPathAbs");
    c.bankPathRel = getTag(content, "bankPathRel");
    c.questionList = getTag(content, "qList");
    return c;
}

std::string withResultsExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    std::string out(path);
    if (dot != std::string_view::npos && dot >= nameStart)
        out.resize(dot);
    return out + ".zxr";
}

std::string automaticResultsName(std::string_view folder, const LocalTime& now, int millisecond, int number)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d%03d", now.year % 10000, now.month % 100,
                  now.day % 100, now.hour % 100, now.minute % 100, now.second % 100, millisecond % 1000);
    return std::string(folder) + "r" + stamp + std::to_string(number) + ".zxr";
}

} // namespace zx
