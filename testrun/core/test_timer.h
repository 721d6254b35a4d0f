// The clock of a timed test: how long the candidate has (the bank's limit
// with any extra time), how much of it is used, when to warn and when the
// time is up.  Plain arithmetic on clock readings in milliseconds, so the
// window's timer and the tests drive it alike.
//
// Time counts from the start of the test (pre-test pages do not count) in
// steps between two readings.  A step longer than `longestStepMs` (the
// machine asleep, the program stopped) or a clock set back does not count
// against the candidate; the first is recorded as time not running, and so
// is the time between the last journal entry and a resume.
#pragma once

#include "testrun/core/journal.h" // JournalFieldList

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zx {

inline constexpr int maxExtraTimePercent = 1000;

// What one run of a test allows.
struct TimeAllowance {
    int limitMinutes = 0; // 0: no limit
    int extraPercent = 0; // extra time for this candidate, 0 .. maxExtraTimePercent

    bool timed() const { return limitMinutes > 0; }
    // The limit with the extra time, rounded up to a whole second.
    std::int64_t seconds() const;
};

// What a finished (or interrupted) run records about its time.
struct TestTiming {
    int limitMinutes = 0;
    int extraPercent = 0;
    std::int64_t secondsAllowed = 0;
    std::int64_t secondsUsed = 0;
    std::int64_t secondsNotRunning = 0;
    bool timeRanOut = false;

    bool operator==(const TestTiming&) const = default;
};

struct TimeJournal;

enum class TimerEvent {
    None,
    FiveMinutesLeft,
    OneMinuteLeft,
    TimeUp,
};

class TestTimer {
public:
    static constexpr std::int64_t longestStepMs = 60'000;
    static constexpr std::int64_t firstWarningMs = 5 * 60'000;
    static constexpr std::int64_t lastWarningMs = 60'000;
    // How often a running test's time goes into the journal (besides each
    // journalled answer and each warning): a crash loses at most this much
    // counted time, which then counts as time not running.
    static constexpr std::int64_t journalIntervalMs = 15'000;

    TestTimer() = default;
    // A run that has already used `usedMs` (a resumed test).
    explicit TestTimer(TimeAllowance allowance, std::int64_t usedMs = 0, std::int64_t notRunningMs = 0);

    // The first reading; the time until the next one counts.
    void start(std::int64_t nowMs);
    // Counts the time since the last reading and tells what it brings: a
    // warning when the time left passes 5:00 or 1:00 (the later one when a
    // step passes both; none for a mark the run began below), TimeUp once
    // when nothing is left.  Nothing before start or after stop, and
    // nothing but counting for a run without a limit.
    TimerEvent update(std::int64_t nowMs);
    // Counts up to `nowMs` and stops counting.
    void stop(std::int64_t nowMs);
    // Time the program did not run (the gap before a resume).
    void addNotRunning(std::int64_t ms);

    bool running() const { return m_running; }
    bool timed() const { return m_allowance.timed(); }
    bool timeUp() const { return m_timeUp; }
    const TimeAllowance& allowance() const { return m_allowance; }
    std::int64_t allowedMs() const { return m_allowedMs; }
    std::int64_t usedMs() const { return m_usedMs; }
    std::int64_t notRunningMs() const { return m_notRunningMs; }
    std::int64_t remainingMs() const;
    // Whole seconds left, rounded up: 0 only when the time is up.
    std::int64_t secondsLeft() const;
    TestTiming timing() const;
    // The clock's last reading (that of start, update or stop).
    std::int64_t lastReadingMs() const { return m_lastReadingMs; }
    // The journal's record of this run as of the last reading.
    TimeJournal journal() const;

private:
    TimeAllowance m_allowance;
    std::int64_t m_allowedMs = 0;
    std::int64_t m_usedMs = 0;
    std::int64_t m_notRunningMs = 0;
    std::int64_t m_lastReadingMs = 0;
    bool m_running = false;
    bool m_timeUp = false;
};

// What the journal of a test in progress keeps about its time: enough to
// go on after a crash.  `atMs` is the clock when it was written; the time
// from then to the resume did not count and is added to the time not
// running.
struct TimeJournal {
    std::int64_t usedMs = 0;
    std::int64_t notRunningMs = 0;
    std::int64_t atMs = 0;
    int extraPercent = 0;

    bool operator==(const TimeJournal&) const = default;
};

using JournalFields = JournalFieldList;

// The record as named fields: timeUsedMs, timeNotRunningMs, timeAtMs,
// extraTimePercent (decimal).
JournalFields timeJournalFields(const TimeJournal& time);
// The record of `fields` (the last of each name wins); none without
// timeUsedMs.  Numbers that are no numbers or out of range read as 0.
std::optional<TimeJournal> readTimeJournal(const JournalFields& fields);
// The timer of a test taken up again at `nowMs` after `time`.
TestTimer resumedTimer(TimeAllowance allowance, const TimeJournal& time, std::int64_t nowMs);

// Time left as the control panel shows it: "mm:ss" up to an hour
// ("60:00", "04:59"), "hh:mm:ss" above ("01:00:01", "120:00:00" past 99
// hours); negative counts as 0.
std::string formatTimeLeft(std::int64_t seconds);

// The interface messages of a timed test.
inline constexpr int timeLeftNameMessage = 130;   // the display's name: "Time left"
inline constexpr int timeCaptionMessage = 131;    // caption of the messages below
inline constexpr int fiveMinutesLeftMessage = 132;
inline constexpr int oneMinuteLeftMessage = 133;
inline constexpr int timeUpMessage = 134;
inline constexpr int timeLeftHintMessage = 135;   // the display's hint

} // namespace zx
