#include "testrun/core/test_timer.h"

#include "tagtext/tagged_text.h" // parseIntStrict

#include <algorithm>
#include <cstdio>

namespace zx {

std::int64_t TimeAllowance::seconds() const
{
    if (!timed())
        return 0;
    const std::int64_t extra = std::clamp(extraPercent, 0, maxExtraTimePercent);
    return (std::int64_t{limitMinutes} * 60 * (100 + extra) + 99) / 100;
}

TestTimer::TestTimer(TimeAllowance allowance, std::int64_t usedMs, std::int64_t notRunningMs)
    : m_allowance(allowance),
      m_allowedMs(allowance.seconds() * 1000),
      m_usedMs(std::max<std::int64_t>(usedMs, 0)),
      m_notRunningMs(std::max<std::int64_t>(notRunningMs, 0))
{
    if (timed())
        m_usedMs = std::min(m_usedMs, m_allowedMs);
}

void TestTimer::start(std::int64_t nowMs)
{
    m_lastReadingMs = nowMs;
    m_running = true;
}

TimerEvent TestTimer::update(std::int64_t nowMs)
{
    if (!m_running)
        return TimerEvent::None;
    // Readings far apart in either direction cannot overflow the step.
    std::int64_t step = 0;
    if (nowMs > m_lastReadingMs)
        step = static_cast<std::int64_t>(std::min<std::uint64_t>(
            static_cast<std::uint64_t>(nowMs) - static_cast<std::uint64_t>(m_lastReadingMs), INT64_MAX));
    m_lastReadingMs = nowMs;
    if (step > longestStepMs) {
        addNotRunning(step);
        step = 0;
    }
    const std::int64_t before = remainingMs();
    m_usedMs += step;
    if (!timed())
        return TimerEvent::None;
    m_usedMs = std::min(m_usedMs, m_allowedMs);
    const std::int64_t after = remainingMs();
    if (after <= 0 && !m_timeUp) {
        m_timeUp = true;
        return TimerEvent::TimeUp;
    }
    if (before > lastWarningMs && after <= lastWarningMs)
        return TimerEvent::OneMinuteLeft;
    if (before > firstWarningMs && after <= firstWarningMs)
        return TimerEvent::FiveMinutesLeft;
    return TimerEvent::None;
}

void TestTimer::stop(std::int64_t nowMs)
{
    update(nowMs);
    m_running = false;
}

void TestTimer::addNotRunning(std::int64_t ms)
{
    if (ms > 0)
        m_notRunningMs = ms > INT64_MAX - m_notRunningMs ? INT64_MAX : m_notRunningMs + ms;
}

std::int64_t TestTimer::remainingMs() const { return timed() ? std::max<std::int64_t>(m_allowedMs - m_usedMs, 0) : 0; }

std::int64_t TestTimer::secondsLeft() const { return (remainingMs() + 999) / 1000; }

TestTiming TestTimer::timing() const
{
    TestTiming t;
    t.limitMinutes = m_allowance.limitMinutes;
    t.extraPercent = m_allowance.timed() ? std::clamp(m_allowance.extraPercent, 0, maxExtraTimePercent) : 0;
    t.secondsAllowed = m_allowance.seconds();
    t.secondsUsed = m_usedMs / 1000;
    t.secondsNotRunning = m_notRunningMs / 1000;
    // Used time only reaches the allowance when it ran out (also for a run
    // taken up again after that).
    t.timeRanOut = m_timeUp || (timed() && m_usedMs >= m_allowedMs);
    return t;
}

TimeJournal TestTimer::journal() const
{
    return {m_usedMs, m_notRunningMs, m_lastReadingMs, timed() ? std::clamp(m_allowance.extraPercent, 0, maxExtraTimePercent) : 0};
}

JournalFields timeJournalFields(const TimeJournal& time)
{
    return {{"timeUsedMs", std::to_string(time.usedMs)},
            {"timeNotRunningMs", std::to_string(time.notRunningMs)},
            {"timeAtMs", std::to_string(time.atMs)},
            {"extraTimePercent", std::to_string(time.extraPercent)}};
}

std::optional<TimeJournal> readTimeJournal(const JournalFields& fields)
{
    TimeJournal time;
    bool used = false;
    for (const auto& [name, text] : fields) {
        long long value = 0;
        if (!parseIntStrict(text, value))
            value = 0;
        if (name == "timeUsedMs") {
            time.usedMs = std::max(0LL, value);
            used = true;
        } else if (name == "timeNotRunningMs") {
            time.notRunningMs = std::max(0LL, value);
        } else if (name == "timeAtMs") {
            time.atMs = value;
        } else if (name == "extraTimePercent") {
            time.extraPercent = static_cast<int>(std::clamp(value, 0LL, static_cast<long long>(maxExtraTimePercent)));
        }
    }
    if (!used)
        return std::nullopt;
    return time;
}

TestTimer resumedTimer(TimeAllowance allowance, const TimeJournal& time, std::int64_t nowMs)
{
    TestTimer timer(allowance, time.usedMs, time.notRunningMs);
    // A clock set back since gives no gap.
    if (nowMs > time.atMs)
        timer.addNotRunning(static_cast<std::int64_t>(std::min<std::uint64_t>(
            static_cast<std::uint64_t>(nowMs) - static_cast<std::uint64_t>(time.atMs), INT64_MAX)));
    return timer;
}

std::string formatTimeLeft(std::int64_t seconds)
{
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    char text[48];
    if (s > 3600)
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                      static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(s / 60),
                      static_cast<long long>(s % 60));
    return text;
}

} // namespace zx
