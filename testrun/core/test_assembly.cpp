#include "testrun/core/test_assembly.h"

#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"

#include <array>
#include <cstdio>
#include <vector>

namespace zx {

namespace {

std::string element(int number, std::string_view page)
{
    return makeElement("questionFile" + std::to_string(number), page);
}

} // namespace

int lastAvailableQuestion(std::string_view questionList)
{
    // Every one of the 500 numbers may hold a question: a full list has
    // 500 questions, the last numbered 499.
    return listPageCount(questionList) - 1;
}

AssembledQuestions assembleQuestions(std::string_view questionList, std::string_view settings,
                                     const RandomSource& random)
{
    AssembledQuestions result;
    const int available = lastAvailableQuestion(questionList);
    if (available < 0)
        return result;

    // 0, a negative count or more than there are: all of them.  Decided on
    // the number as read, so no count can overflow on the way.
    const int asked = getTagInt(settings, "NumberOfQuestions", 0);
    const int count = asked <= 0 || asked > available + 1 ? available : asked - 1;
    result.lastQuestion = count;

    const bool randomOrder = getTagInt(settings, "PresentInRandomOrder", 0) == 1;
    if (!randomOrder && count == available) {
        result.questionList = std::string(questionList);
        return result;
    }

    const NumberedTags pages(questionList, "questionFile", available + 1);
    std::vector<bool> taken(static_cast<std::size_t>(available) + 1, false);
    int remaining = count;
    int draws = 0;
    while (remaining >= 0 && draws <= maxQuestionDraws) {
        const int i = static_cast<int>(random() % static_cast<std::uint32_t>(available + 1));
        ++draws;
        if (taken[static_cast<std::size_t>(i)])
            continue;
        taken[static_cast<std::size_t>(i)] = true;
        result.questionList += element(remaining, pages.valueView(i));
        --remaining;
    }
    // Should the draws ever run out, the remaining numbers are filled from
    // the questions not yet taken, so the numbers stay dense from 0.
    for (int i = 0; remaining >= 0 && i <= available; ++i) {
        if (taken[static_cast<std::size_t>(i)])
            continue;
        taken[static_cast<std::size_t>(i)] = true;
        result.questionList += element(remaining, pages.valueView(i));
        --remaining;
    }
    result.drawn = true;
    return result;
}

std::string formatDateStamp(const LocalTime& t)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buffer;
}

std::string formatDisplayDate(const LocalTime& t)
{
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d %s, ", hour12, t.minute, t.hour < 12 ? "am" : "pm");
    return std::string(buffer) + t.dayName + " " + std::to_string(t.day) + " " + t.monthName + ", " +
           std::to_string(t.year);
}

std::string stampStartDates(std::string_view settings, const StartTime& time)
{
    std::string stamped = setTag(settings, "testStartDate", formatDateStamp(time));
    return setTag(stamped, "testStartDisplayDate", formatDisplayDate(time));
}

} // namespace zx
