#include "testrun/core/bank_settings.h"
#include "testrun/core/test_timer.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace zx;

namespace {

constexpr std::int64_t second = 1000;
constexpr std::int64_t minute = 60 * second;

// Reads the timer once a second after `now` for `seconds` seconds and
// returns each reading's event that is not None, with the seconds left it
// came at.
std::vector<std::pair<TimerEvent, std::int64_t>> runSeconds(TestTimer& timer, std::int64_t& now, int seconds)
{
    std::vector<std::pair<TimerEvent, std::int64_t>> events;
    for (int i = 0; i < seconds; ++i) {
        now += second;
        if (const TimerEvent e = timer.update(now); e != TimerEvent::None)
            events.emplace_back(e, timer.secondsLeft());
    }
    return events;
}

} // namespace

TEST(TestTimer, TheBankSettingIsReadOnceAndOnlyAWholePositiveNumberSetsALimit)
{
    EXPECT_EQ(BankSettings::parse("").timeLimitMinutes, 0);
    EXPECT_FALSE(BankSettings::parse("<isExam>1</isExam>").isTimed());
    EXPECT_EQ(BankSettings::parse("<timeLimitMinutes>45</timeLimitMinutes>").timeLimitMinutes, 45);
    EXPECT_TRUE(BankSettings::parse("<timeLimitMinutes>1</timeLimitMinutes>").isTimed());
    for (const char* none : {"0", "-5", "ten", "1.5", " 30", ""})
        EXPECT_EQ(BankSettings::parse(std::string("<timeLimitMinutes>") + none + "</timeLimitMinutes>").timeLimitMinutes,
                  0)
            << none;
    EXPECT_EQ(BankSettings::parse("<timeLimitMinutes>2000000000</timeLimitMinutes>").timeLimitMinutes,
              maxTimeLimitMinutes);
}

TEST(TestTimer, AllowanceWithExtraTime)
{
    EXPECT_EQ((TimeAllowance{30, 0}.seconds()), 1800);
    EXPECT_EQ((TimeAllowance{30, 25}.seconds()), 2250);
    EXPECT_EQ((TimeAllowance{1, 1}.seconds()), 61) << "60.6 seconds round up";
    EXPECT_EQ((TimeAllowance{0, 50}.seconds()), 0) << "extra time gives no limit to an untimed test";
    EXPECT_EQ((TimeAllowance{10, -20}.seconds()), 600);
    EXPECT_EQ((TimeAllowance{10, 5000}.seconds()), 600 * 11);
    EXPECT_EQ((TimeAllowance{maxTimeLimitMinutes, maxExtraTimePercent}.seconds()),
              std::int64_t{maxTimeLimitMinutes} * 60 * 11);
}

TEST(TestTimer, CountsDownWarnsOnceAtFiveAndOneMinuteAndEndsOnceAtZero)
{
    TestTimer timer(TimeAllowance{7, 0});
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(timer.update(5 * minute), TimerEvent::None) << "nothing counts before the start";
    std::int64_t now = 1'000'000;
    timer.start(now);
    EXPECT_EQ(timer.secondsLeft(), 420);
    EXPECT_EQ(formatTimeLeft(timer.secondsLeft()), "07:00");
    now += 400;
    timer.update(now);
    EXPECT_EQ(timer.secondsLeft(), 420) << "a part second shows as the whole second still left";
    EXPECT_EQ(formatTimeLeft(timer.secondsLeft()), "07:00");
    now += 600;
    timer.update(now);
    EXPECT_EQ(formatTimeLeft(timer.secondsLeft()), "06:59");

    const auto events = runSeconds(timer, now, 500);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], std::make_pair(TimerEvent::FiveMinutesLeft, std::int64_t{300}));
    EXPECT_EQ(events[1], std::make_pair(TimerEvent::OneMinuteLeft, std::int64_t{60}));
    EXPECT_EQ(events[2], std::make_pair(TimerEvent::TimeUp, std::int64_t{0}));
    EXPECT_TRUE(timer.timeUp());
    EXPECT_EQ(timer.usedMs(), 7 * minute) << "used time stops at the limit";
    EXPECT_EQ(timer.timing(), (TestTiming{7, 0, 420, 420, 0, true}));

    // A test shorter than five minutes starts below the first mark: only
    // the last warning comes.
    TestTimer shortTest(TimeAllowance{5, 0});
    now = 0;
    shortTest.start(now);
    const auto shortEvents = runSeconds(shortTest, now, 300);
    ASSERT_EQ(shortEvents.size(), 2u);
    EXPECT_EQ(shortEvents[0].first, TimerEvent::OneMinuteLeft);
    EXPECT_EQ(shortEvents[1].first, TimerEvent::TimeUp);

    // Reaching a mark exactly gives its warning; a step too long to count
    // gives nothing.
    TestTimer jump(TimeAllowance{6, 0});
    jump.start(0);
    EXPECT_EQ(jump.update(TestTimer::longestStepMs), TimerEvent::FiveMinutesLeft);
    EXPECT_EQ(jump.update(2 * TestTimer::longestStepMs + 1), TimerEvent::None);
    EXPECT_EQ(jump.secondsLeft(), 300);
    jump = TestTimer(TimeAllowance{6, 0}, 4 * minute + 30 * second);
    jump.start(0);
    EXPECT_EQ(jump.update(TestTimer::longestStepMs), TimerEvent::OneMinuteLeft);
    EXPECT_EQ(jump.update(TestTimer::longestStepMs + 1), TimerEvent::None);
}

TEST(TestTimer, AResumeGoesOnFromTheTimeUsedWithoutRepeatingWarnings)
{
    // Used 5:30 of 10 minutes, away for an hour before the resume.
    TestTimer timer(TimeAllowance{10, 0}, 5 * minute + 30 * second, 2 * second);
    timer.addNotRunning(60 * minute);
    timer.addNotRunning(-5 * minute);
    std::int64_t now = 77 * minute;
    timer.start(now);
    EXPECT_EQ(timer.secondsLeft(), 270);
    const auto events = runSeconds(timer, now, 300);
    ASSERT_EQ(events.size(), 2u) << "the five-minute warning was given before";
    EXPECT_EQ(events[0].first, TimerEvent::OneMinuteLeft);
    EXPECT_EQ(events[1].first, TimerEvent::TimeUp);
    EXPECT_EQ(timer.timing(), (TestTiming{10, 0, 600, 600, 3602, true}));

    // A run whose time was all used before the crash ends at the first reading.
    TestTimer over(TimeAllowance{1, 0}, 5 * minute);
    EXPECT_EQ(over.usedMs(), minute);
    over.start(0);
    EXPECT_EQ(over.update(0), TimerEvent::TimeUp);
    EXPECT_EQ(over.update(second), TimerEvent::None);
}

TEST(TestTimer, SleepAndClockChangesDoNotCountAgainstTheCandidate)
{
    TestTimer timer(TimeAllowance{30, 50});
    std::int64_t now = 0;
    timer.start(now);
    runSeconds(timer, now, 10);
    now += TestTimer::longestStepMs; // the longest step still counts
    timer.update(now);
    now += TestTimer::longestStepMs + 1; // asleep
    timer.update(now);
    now -= 10 * minute; // clock set back
    timer.update(now);
    runSeconds(timer, now, 5);
    EXPECT_EQ(timer.usedMs(), 75 * second);
    EXPECT_EQ(timer.notRunningMs(), TestTimer::longestStepMs + 1);
    // Readings at the ends of the range neither overflow nor count.
    timer.update(LLONG_MIN);
    timer.update(LLONG_MAX);
    timer.update(LLONG_MAX);
    EXPECT_EQ(timer.usedMs(), 75 * second);
    EXPECT_EQ(timer.notRunningMs(), LLONG_MAX);

    timer.stop(now);
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(timer.update(now + 10 * minute), TimerEvent::None);
    EXPECT_EQ(timer.usedMs(), 75 * second) << "nothing counts after the stop";
    EXPECT_EQ(timer.timing().secondsAllowed, 2700);
    EXPECT_EQ(timer.timing().extraPercent, 50);
    EXPECT_FALSE(timer.timing().timeRanOut);

    // Without a limit the time is counted, but nothing is ever due.
    TestTimer untimed;
    untimed.start(0);
    EXPECT_EQ(untimed.update(50 * second), TimerEvent::None);
    EXPECT_EQ(untimed.usedMs(), 50 * second);
    EXPECT_EQ(untimed.secondsLeft(), 0);
    EXPECT_FALSE(untimed.timeUp());
}

TEST(TestTimer, TimeLeftIsShownAsMinutesAndSecondsUpToAnHour)
{
    EXPECT_EQ(formatTimeLeft(0), "00:00");
    EXPECT_EQ(formatTimeLeft(-3), "00:00");
    EXPECT_EQ(formatTimeLeft(59), "00:59");
    EXPECT_EQ(formatTimeLeft(299), "04:59");
    EXPECT_EQ(formatTimeLeft(3600), "60:00");
    EXPECT_EQ(formatTimeLeft(3601), "01:00:01");
    EXPECT_EQ(formatTimeLeft(36000 + 61), "10:01:01");
    EXPECT_EQ(formatTimeLeft(120 * 3600), "120:00:00");
    EXPECT_FALSE(formatTimeLeft(LLONG_MAX).empty());
}
