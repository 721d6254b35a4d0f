#include "tagtext/tagged_text.h"
#include "testrun/core/bank_settings.h"
#include "testrun/core/journal.h"
#include "testrun/core/test_timer.h"
#include "tests/support/temp_folder.h"

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
    EXPECT_TRUE(over.timing().timeRanOut) << "also before the first reading";
    EXPECT_FALSE(TestTimer(TimeAllowance{1, 0}, minute - 1).timing().timeRanOut);
    EXPECT_FALSE(TestTimer(TimeAllowance{}, 5 * minute).timing().timeRanOut);
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

TEST(TestTimer, TheJournalKeepsTheTimeAndAResumeCountsTheGapAsNotRunning)
{
    const TimeJournal time{95 * second, 2 * second, 1'000'000, 25};
    const JournalFields fields = timeJournalFields(time);
    EXPECT_EQ(fields, (JournalFields{{"timeUsedMs", "95000"},
                                     {"timeNotRunningMs", "2000"},
                                     {"timeAtMs", "1000000"},
                                     {"extraTimePercent", "25"}}));
    EXPECT_EQ(readTimeJournal(fields), time);
    JournalFields mixed = fields;
    mixed.insert(mixed.begin(), {"other", "x"});
    mixed.push_back({"timeUsedMs", "96000"});
    EXPECT_EQ(readTimeJournal(mixed)->usedMs, 96000) << "the last one wins";
    EXPECT_FALSE(readTimeJournal({{"extraTimePercent", "25"}}).has_value());
    EXPECT_EQ(readTimeJournal({{"timeUsedMs", "-5"}, {"timeNotRunningMs", "x"}, {"extraTimePercent", "5000"}}),
              (TimeJournal{0, 0, 0, maxExtraTimePercent}));

    // Taken up ten minutes after the record: 95 s used, the ten minutes
    // are time not running.
    TestTimer timer = resumedTimer(TimeAllowance{10, 25}, time, 1'000'000 + 10 * minute);
    EXPECT_EQ(timer.usedMs(), 95 * second);
    EXPECT_EQ(timer.notRunningMs(), 2 * second + 10 * minute);
    EXPECT_EQ(timer.allowedMs(), 750 * second);
    EXPECT_EQ(resumedTimer(TimeAllowance{10, 0}, time, 0).notRunningMs(), 2 * second) << "clock set back";
    EXPECT_EQ(resumedTimer(TimeAllowance{10, 0}, TimeJournal{0, 0, LLONG_MIN, 0}, LLONG_MAX).notRunningMs(),
              LLONG_MAX);
}

TEST(TestTimer, ItsJournalRecordIsAsOfTheLastReading)
{
    TestTimer timer(TimeAllowance{10, 20}, 30 * second, 4 * second);
    EXPECT_EQ(timer.journal(), (TimeJournal{30 * second, 4 * second, 0, 20}));
    timer.start(5 * minute);
    timer.update(5 * minute + 1500);
    EXPECT_EQ(timer.journal(), (TimeJournal{31500, 4 * second, 5 * minute + 1500, 20}));
    timer.update(9 * minute); // asleep
    timer.stop(9 * minute + 200);
    EXPECT_EQ(timer.journal(), (TimeJournal{31700, 4 * second + 9 * minute - 5 * minute - 1500, 9 * minute + 200, 20}));
    EXPECT_EQ(TestTimer(TimeAllowance{10, 5000}).journal().extraPercent, maxExtraTimePercent);
    EXPECT_EQ(TestTimer(TimeAllowance{10, 0}).journal().extraPercent, 0);
    EXPECT_EQ(TestTimer(TimeAllowance{0, 50}).journal().extraPercent, 0) << "no extra time without a limit";
    EXPECT_EQ(TestTimer(TimeAllowance{0, 50}).timing().extraPercent, 0);
}

TEST(TestTimer, TheEndComesAtTheLastMillisecondAndEveryMillisecondNotRunningCounts)
{
    TestTimer timer(TimeAllowance{30, 0});
    EXPECT_EQ(timer.secondsLeft(), 1800);
    timer.start(0);
    EXPECT_EQ(timer.update(30 * second), TimerEvent::None);
    for (std::int64_t at = 60 * second; at < 30 * minute; at += 60 * second)
        timer.update(at);
    EXPECT_EQ(timer.update(30 * minute - 1), TimerEvent::None);
    EXPECT_EQ(timer.secondsLeft(), 1);
    EXPECT_EQ(timer.update(30 * minute), TimerEvent::TimeUp);
    timer.addNotRunning(1);
    timer.addNotRunning(0);
    EXPECT_EQ(timer.notRunningMs(), 1);
}

TEST(TestTimer, TheTimeTravelsInTheJournalsBaseAndEntries)
{
    zx::testing::TempFolder dir("zx-timer-journal");
    std::uint32_t n = 1;
    Journal journal(dir.path(), [&n] { return n = n * 1103515245u + 12345u; });
    JournalRecord record;
    record.bankPath = "/banks/timed.zxb";
    record.questionList = "<questionFile0>a</questionFile0><questionFile1>b</questionFile1>";
    record.lastQuestion = 1;
    record.passwordAccepted = true;
    record.otherFields = timeJournalFields({10 * second, 0, 1000, 25});
    ASSERT_TRUE(journal.writeBase(record));
    JournalRead read = journal.read();
    EXPECT_EQ(read.record, record) << "the time is a field of the base like any other";
    EXPECT_TRUE(read.entryFields.empty());

    // An answer's entry and a time entry (page -1) carry the time after the
    // page; an entry without it is read as always.
    ASSERT_TRUE(journal.appendPage(0, "<x>1</x>", 0, "now", timeJournalFields({25 * second, 0, 16000, 25})));
    ASSERT_TRUE(journal.appendPage(1, "<x>2</x>", 1, "later"));
    ASSERT_TRUE(journal.appendPage(-1, {}, 1, "later", timeJournalFields({40 * second, 3 * second, 34000, 25})));
    read = journal.read();
    EXPECT_EQ(read.logEntries, 3u);
    EXPECT_EQ(getTag(read.record.questionList, "questionFile0"), "<x>1</x>");
    EXPECT_EQ(getTag(read.record.questionList, "questionFile1"), "<x>2</x>");
    EXPECT_EQ(read.record.currentQuestion, 1) << "a time entry keeps the page on show";
    EXPECT_EQ(read.record.otherFields, record.otherFields);
    ASSERT_EQ(read.entryFields.size(), 8u);
    JournalFieldList all = read.record.otherFields;
    all.insert(all.end(), read.entryFields.begin(), read.entryFields.end());
    EXPECT_EQ(readTimeJournal(all), (TimeJournal{40 * second, 3 * second, 34000, 25}));

    // A damaged last entry gives its time to no one; a reader that asks for
    // no fields gets the same record.
    std::string log;
    {
        std::FILE* f = std::fopen(journal.logPath().c_str(), "rb");
        ASSERT_TRUE(f);
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            log.append(buffer, got);
        std::fclose(f);
    }
    std::string damaged = log;
    damaged[damaged.size() - 10] ^= 0x01;
    JournalRecord applied = record;
    JournalFieldList fields;
    EXPECT_EQ(applyJournalLog(applied, damaged, 4, read.generation, &fields), 2u);
    EXPECT_EQ(readTimeJournal(fields), (TimeJournal{25 * second, 0, 16000, 25}));
    JournalRecord plain = record;
    EXPECT_EQ(applyJournalLog(plain, damaged, 4, read.generation), 2u);
    EXPECT_EQ(plain, applied);
    // Entries of another generation give nothing.
    fields.clear();
    EXPECT_EQ(applyJournalLog(applied, log, 4, read.generation + 1, &fields), 0u);
    EXPECT_TRUE(fields.empty());
}
