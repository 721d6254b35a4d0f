// Assembling the test: which questions of the bank are presented, in which
// order and under which numbers, and the start dates written into the bank
// settings.
#pragma once

#include "tagtext/stored_file.h" // RandomSource

#include <string>
#include <string_view>

namespace zx {

inline constexpr int questionPoolSize = 500;
// Random draws that hit an already taken question count too; after this
// many the draw stops.
inline constexpr int maxQuestionDraws = 99999;

struct AssembledQuestions {
    // The question list to present: "<questionFileK>page</questionFileK>"
    // for K = 0 .. lastQuestion (the stored list itself when it is presented
    // as stored).
    std::string questionList;
    int lastQuestion = -1; // -1: the bank has no question
    bool drawn = false;    // a random selection was made
};

// Number of the last available question: the list ends at the first
// number whose page record has 10 characters or fewer (at most 500
// numbers are examined); -1 when there is none.
int lastAvailableQuestion(std::string_view questionList);

// The questions to present for the bank settings `settings`
// (NumberOfQuestions, PresentInRandomOrder).  A random selection is made
// when the order is random or fewer questions than available are asked
// for: the first question drawn gets the highest number, the last one
// number 0, and no question is presented twice.
AssembledQuestions assembleQuestions(std::string_view questionList, std::string_view settings,
                                     const RandomSource& random);

// Broken-down local time (of the test start or end), and the locale's names.
struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    std::string dayName;   // full name of the weekday, e.g. "Sunday"
    std::string monthName; // full name of the month, e.g. "December"
};
using StartTime = LocalTime;

// "yyyymmddhhnnss", e.g. "20261206143005".
std::string formatDateStamp(const LocalTime& time);
// "h:mm am/pm, dddd d mmmm, yyyy", e.g. "2:30 pm, Sunday 6 December, 2026".
std::string formatDisplayDate(const LocalTime& time);

inline std::string formatStartDate(const StartTime& time) { return formatDateStamp(time); }
inline std::string formatStartDisplayDate(const StartTime& time) { return formatDisplayDate(time); }

// The bank settings with testStartDate and testStartDisplayDate written.
std::string stampStartDates(std::string_view settings, const StartTime& time);

} // namespace zx
