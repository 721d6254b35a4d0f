#include "results/core/results_file.h"

#include "tagtext/tagged_text.h"

#include "testrun/core/bank_settings.h" // maxTimeLimitMinutes

#include <algorithm>
#include <climits>
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
    if (c.timing)
        out += timingElement(*c.timing);
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
    c.timing = parseTimingElement(content);
    return c;
}

std::string timingElement(const TestTiming& t)
{
    std::string inner;
    inner += makeElement("timeLimitMinutes", std::to_string(t.limitMinutes));
    inner += makeElement("extraTimePercent", std::to_string(t.extraPercent));
    inner += makeElement("secondsAllowed", std::to_string(t.secondsAllowed));
    inner += makeElement("secondsUsed", std::to_string(t.secondsUsed));
    inner += makeElement("secondsNotRunning", std::to_string(t.secondsNotRunning));
    inner += makeElement("timeRanOut", t.timeRanOut ? "1" : "0");
    return makeElement("testTiming", inner);
}

std::optional<TestTiming> parseTimingElement(std::string_view content)
{
    static constexpr std::string_view listEnd = "</qList>";
    const std::size_t end = content.find(listEnd);
    if (end != std::string_view::npos)
        content.remove_prefix(end + listEnd.size());
    const std::string element = getTag(content, "testTiming");
    if (element.empty())
        return std::nullopt;
    auto number = [&element](std::string_view key, long long high) {
        long long value = 0;
        if (!parseIntStrict(getTag(element, key), value))
            return 0LL;
        return std::clamp(value, 0LL, high);
    };
    TestTiming t;
    t.limitMinutes = static_cast<int>(number("timeLimitMinutes", maxTimeLimitMinutes));
    t.extraPercent = static_cast<int>(number("extraTimePercent", maxExtraTimePercent));
    t.secondsAllowed = number("secondsAllowed", LLONG_MAX);
    t.secondsUsed = number("secondsUsed", LLONG_MAX);
    t.secondsNotRunning = number("secondsNotRunning", LLONG_MAX);
    t.timeRanOut = number("timeRanOut", LLONG_MAX) == 1;
    return t;
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
