#include "testrun/core/journal.h"
#include "tagtext/tagged_text.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include <unistd.h>

using namespace zx;

namespace {

JournalRecord sampleRecord()
{
    JournalRecord r;
    r.bankPath = "/home/ann/banks/Planets 3b.zxb";
    r.bank = {123456, 0xfeedbeefcafe1234ull};
    r.testSettings = "<isExam>1</isExam><userDetails1>Ann</userDetails1>";
    r.questionList = "<questionFile1><userAnswer></userAnswer></questionFile1> "
                     "<questionFile0>q0 <zxField><userAnswer></userAnswer></zxField>\r\n</questionFile0>";
    r.lastQuestion = 1;
    r.currentQuestion = 1;
    r.state = TestState::RunningExam;
    r.passwordAccepted = true;
    r.savedAt = "2:30 pm, Sunday 6 December, 2026";
    return r;
}

std::mt19937 engine(7);
RandomSource seeded() { return [] { return static_cast<std::uint32_t>(engine()); }; }

} // namespace

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string answerOf(const JournalRecord& r, int question)
{
    return getTag(getTag(r.questionList, "questionFile" + std::to_string(question)), "userAnswer");
}

std::string pageWith(const std::string& answer)
{
    return "q <zxField><userAnswer>" + answer + "</userAnswer></zxField>\r\n";
}

// write(2) that fails as a full disk does once `full` is set: the first
// call writes a few bytes of what it is given, later ones write nothing.
struct FullDisk {
    bool full = false;
    int calls = 0;
    WriteCall call()
    {
        return [this](int fd, const void* data, std::size_t size) -> ssize_t {
            if (!full)
                return ::write(fd, data, size);
            if (calls++ == 0)
                return ::write(fd, data, std::min<std::size_t>(size, 9));
            errno = ENOSPC;
            return -1;
        };
    }
};

} // namespace

TEST(Journal, EveryGoodEntryIsReadAroundADamagedOne)
{
    zx::testing::TempFolder dir("zx-journal");
    Journal journal(dir.path(), seeded());
    ASSERT_TRUE(journal.writeBase(sampleRecord()));
    // The first entry alone.
    ASSERT_TRUE(journal.appendPage(1, pageWith("first"), 1, "2:31 pm"));
    JournalRead read = journal.read();
    EXPECT_EQ(read.logEntries, 1u);
    EXPECT_EQ(answerOf(read.record, 1), "first");
    EXPECT_EQ(read.record.savedAt, "2:31 pm");

    const auto one = std::filesystem::file_size(journal.logPath());
    ASSERT_TRUE(journal.appendPage(0, pageWith("damaged"), 0, "2:32 pm"));
    const auto two = std::filesystem::file_size(journal.logPath());
    ASSERT_TRUE(journal.appendPage(0, pageWith("third"), 1, "2:33 pm"));
    std::string log = readAll(journal.logPath());
    // One byte of the second entry's page changes: that entry alone is lost.
    log[(one + two) / 2] ^= 0x20;
    writeAll(journal.logPath(), log);
    read = journal.read();
    EXPECT_EQ(read.logEntries, 2u);
    EXPECT_EQ(answerOf(read.record, 1), "first");
    EXPECT_EQ(answerOf(read.record, 0), "third");
    EXPECT_EQ(read.record.currentQuestion, 1);

    // A torn entry in the middle (a write cut short) and garbage lines.
    log = readAll(journal.logPath());
    writeAll(journal.logPath(), log.substr(0, one) + log.substr(one, 30) + "\nzxe 1 2 3\nzxe \n" + log.substr(two));
    read = journal.read();
    EXPECT_EQ(read.logEntries, 2u);
    EXPECT_EQ(answerOf(read.record, 0), "third");
    // Garbage in front of the first entry.
    writeAll(journal.logPath(), "xx\n" + log);
    EXPECT_EQ(journal.read().logEntries, 2u);
}

TEST(Journal, AFailedWriteLeavesTheJournalAsItWas)
{
    zx::testing::TempFolder dir("zx-journal");
    FullDisk disk;
    Journal journal(dir.path(), seeded(), disk.call());
    JournalRecord record = sampleRecord();
    ASSERT_TRUE(journal.writeBase(record));
    ASSERT_TRUE(journal.appendPage(1, pageWith("kept"), 1, "2:31 pm"));
    const std::string log = readAll(journal.logPath());

    disk.full = true;
    EXPECT_FALSE(journal.appendPage(0, pageWith("lost"), 0, "2:32 pm"));
    EXPECT_EQ(disk.calls, 2); // a few bytes went out, then the disk was full
    EXPECT_EQ(readAll(journal.logPath()), log); // cut back to its last entry
    EXPECT_FALSE(journal.appendPage(0, pageWith("lost"), 0, "2:32 pm"));
    // A new base that cannot be written leaves the old base and its log.
    record.questionList = "<questionFile0>q</questionFile0>";
    EXPECT_FALSE(journal.writeBase(record));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.folder()), {}), 2); // no temporary file left
    JournalRead read = journal.read();
    EXPECT_EQ(read.record.questionList.find("<questionFile0>q</questionFile0>"), std::string::npos);
    EXPECT_EQ(answerOf(read.record, 1), "kept");

    // Space again: later entries are read.
    disk.full = false;
    ASSERT_TRUE(journal.appendPage(0, pageWith("later"), 0, "2:33 pm"));
    read = journal.read();
    EXPECT_EQ(read.logEntries, 2u);
    EXPECT_EQ(answerOf(read.record, 0), "later");
    EXPECT_EQ(answerOf(read.record, 1), "kept");
}

TEST(Journal, ALogLeftFromAnOlderBaseIsNeverApplied)
{
    zx::testing::TempFolder dir("zx-journal");
    Journal journal(dir.path(), seeded());
    JournalRecord record = sampleRecord();
    ASSERT_TRUE(journal.writeBase(record));
    ASSERT_TRUE(journal.appendPage(1, pageWith("old"), 0, "2:31 pm"));
    const std::string oldLog = readAll(journal.logPath());
    const std::uint64_t oldGeneration = journal.read().generation;

    // The player stopped after the new base's rename, before the log was
    // emptied.
    record = journal.read().record;
    record.questionList = setTag(record.questionList, "questionFile1", pageWith("new"));
    ASSERT_TRUE(journal.writeBase(record));
    writeAll(journal.logPath(), oldLog);
    JournalRead read = journal.read();
    EXPECT_NE(read.generation, oldGeneration);
    EXPECT_EQ(read.logEntries, 0u);
    EXPECT_EQ(read.record, record);
    EXPECT_EQ(answerOf(read.record, 1), "new");
    // Entries of the new base after the old ones still count.
    ASSERT_TRUE(journal.appendPage(0, pageWith("newer"), 1, "2:35 pm"));
    read = journal.read();
    EXPECT_EQ(read.logEntries, 1u);
    EXPECT_EQ(answerOf(read.record, 0), "newer");
    EXPECT_EQ(answerOf(read.record, 1), "new");
}

TEST(Journal, BaseFieldsOfOtherVersionsAreKept)
{
    JournalRecord record = sampleRecord();
    record.otherFields = {{"timeLimit", "3600"}, {"note", "a\nb c"}};
    const std::string content = journalBaseContent(record, 77);
    std::uint64_t generation = 0;
    EXPECT_EQ(parseJournalBase(content, &generation), record);
    EXPECT_EQ(generation, 77u);
    // Unknown fields anywhere are read past; known ones must all be there
    // once each.
    std::string moved = content;
    moved.insert(moved.find("bank "), "extra 2\nxy\n");
    const auto read = parseJournalBase(moved);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->otherFields.front(), (std::pair<std::string, std::string>{"extra", "xy"}));
    EXPECT_EQ(read->questionList, record.questionList);
    EXPECT_FALSE(parseJournalBase(content + "bank 1\nx\n"));
    std::string noGeneration = content;
    noGeneration.erase(noGeneration.find("generation "), std::string("generation 2\n77\n").size());
    EXPECT_FALSE(parseJournalBase(noGeneration));
    // A journal of the earlier format does not fit and is set aside.
    std::string earlier = journalBaseContent(sampleRecord(), 1);
    earlier.replace(0, 12, "zxjournal 1\n");
    EXPECT_FALSE(parseJournalBase(earlier));
}

TEST(Journal, OnePlayerAtATimeHoldsTheFolder)
{
    zx::testing::TempFolder dir("zx-journal");
    auto first = std::make_unique<Journal>(dir.path(), seeded());
    Journal second(dir.path(), seeded());
    EXPECT_EQ(first->takeLock(), JournalLock::Taken);
    EXPECT_EQ(first->takeLock(), JournalLock::Taken);
    EXPECT_EQ(second.takeLock(), JournalLock::HeldElsewhere);
    first.reset(); // the first player ends
    EXPECT_EQ(second.takeLock(), JournalLock::Taken);
    Journal nowhere(dir.path() + "/missing", seeded());
    EXPECT_EQ(nowhere.takeLock(), JournalLock::Failed);
}

TEST(Journal, HealthAsksForABaseAfterAFailureAndTellsOnceWhenItKeepsFailing)
{
    using Notice = JournalHealth::Notice;
    JournalHealth health;
    EXPECT_EQ(health.written(true, false), Notice::None);
    EXPECT_FALSE(health.baseDue());
    EXPECT_EQ(health.written(false, false), Notice::None);
    EXPECT_TRUE(health.baseDue());
    EXPECT_EQ(health.written(true, false), Notice::None); // an entry does not replace the base due
    EXPECT_TRUE(health.baseDue());
    EXPECT_EQ(health.written(false, true), Notice::None);
    EXPECT_EQ(health.written(false, true), Notice::None);
    EXPECT_EQ(health.written(false, true), Notice::Failing); // three in a row
    EXPECT_EQ(health.written(false, true), Notice::None);    // told once
    EXPECT_EQ(health.written(true, true), Notice::Recovered);
    EXPECT_FALSE(health.baseDue());
    EXPECT_EQ(health.written(true, false), Notice::None);
}

TEST(Journal, BaseAndLogGiveTheLatestAnswers)
{
    zx::testing::TempFolder dir("zx-journal");
    Journal journal(dir.path(), seeded());
    EXPECT_EQ(journal.read().status, JournalStatus::None);

    const JournalRecord base = sampleRecord();
    ASSERT_TRUE(journal.writeBase(base));
    JournalRead read = journal.read();
    ASSERT_EQ(read.status, JournalStatus::Ok);
    EXPECT_EQ(read.record, base);
    // Nothing of the bank's pages lies on disk as plain text.
    std::ifstream in(journal.basePath(), std::ios::binary);
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(stored.find("questionFile"), std::string::npos);

    ASSERT_TRUE(journal.appendPage(0, "q0 <zxField><userAnswer>ma</userAnswer></zxField>\r\n", 0, "2:31 pm"));
    ASSERT_TRUE(journal.appendPage(0, "q0 <zxField><userAnswer>mars</userAnswer></zxField>\r\n", 0, "2:32 pm"));
    ASSERT_TRUE(journal.appendPage(-1, "", 1, "2:33 pm"));
    read = journal.read();
    ASSERT_EQ(read.status, JournalStatus::Ok);
    EXPECT_EQ(read.logEntries, 3u);
    EXPECT_EQ(getTag(getTag(read.record.questionList, "questionFile0"), "userAnswer"), "mars");
    EXPECT_EQ(read.record.currentQuestion, 1);
    EXPECT_EQ(read.record.savedAt, "2:33 pm");

    // The entry being written when the power went is left out.
    const auto size = std::filesystem::file_size(journal.logPath());
    ASSERT_TRUE(journal.appendPage(0, "q0 <zxField><userAnswer>venus</userAnswer></zxField>\r\n", 0, "2:34 pm"));
    std::filesystem::resize_file(journal.logPath(), size + 40);
    read = journal.read();
    EXPECT_EQ(read.logEntries, 3u);
    EXPECT_EQ(getTag(getTag(read.record.questionList, "questionFile0"), "userAnswer"), "mars");

    // A new base takes in the log and empties it.
    ASSERT_TRUE(journal.writeBase(read.record));
    EXPECT_EQ(journal.logSize(), 0u);
    EXPECT_EQ(journal.read().record, read.record);

    ASSERT_TRUE(journal.setAside("20261206143005"));
    EXPECT_EQ(journal.read().status, JournalStatus::None);
    EXPECT_TRUE(std::filesystem::exists(dir.folder() / "journal-kept-20261206143005.zxj"));
}

TEST(Journal, DamagedJournalsReadAsUnreadableNeverCrash)
{
    zx::testing::TempFolder dir("zx-journal");
    Journal journal(dir.path(), seeded());
    const std::string content = journalBaseContent(sampleRecord(), 1);
    ASSERT_TRUE(parseJournalBase(content));
    for (std::size_t cut = 0; cut < content.size(); cut += 7)
        EXPECT_FALSE(parseJournalBase(content.substr(0, cut))) << cut;
    std::string wild = content;
    wild.replace(wild.find("state 1\n3"), 9, "state 1\n9");
    EXPECT_FALSE(parseJournalBase(wild));
    EXPECT_FALSE(parseJournalBase("zxjournal 2\nsize 99999999999999999999\n"));

    std::ofstream(journal.basePath(), std::ios::binary) << "garbage";
    EXPECT_EQ(journal.read().status, JournalStatus::Unreadable);
    // Log entries naming pages the test does not have stop the replay.
    JournalRecord r = sampleRecord();
    std::string log;
    EXPECT_EQ(applyJournalLog(r, "E 5\nxxxxx\nE 99999999999\nzxe 0 0 1\nx\n", 4, 0), 0u);
    EXPECT_EQ(r, sampleRecord());
    EXPECT_NE(hashBankIndex("a", "b", "", ""), hashBankIndex("ab", "", "", ""));
}

TEST(Journal, NumbersAtTheirLimitsAndFilesThatCannotBeOpened)
{
    // The largest and smallest values a base holds read back; one beyond
    // does not.
    JournalRecord r = sampleRecord();
    r.lastQuestion = 0;
    r.currentQuestion = -1;
    EXPECT_EQ(parseJournalBase(journalBaseContent(r, 0)), r);
    r.lastQuestion = 100000;
    r.currentQuestion = 100001;
    EXPECT_EQ(parseJournalBase(journalBaseContent(r, 18446744073709551615ull)), r);
    r.lastQuestion = 100001;
    EXPECT_FALSE(parseJournalBase(journalBaseContent(r, 1)));
    r.lastQuestion = 100000;
    r.currentQuestion = 100002;
    EXPECT_FALSE(parseJournalBase(journalBaseContent(r, 1)));
    r.currentQuestion = -2;
    EXPECT_FALSE(parseJournalBase(journalBaseContent(r, 1)));
    // A field whose length runs one byte past its value.
    std::string content = journalBaseContent(sampleRecord(), 1);
    content.replace(content.find("saved 32\n"), 9, "saved 33\n");
    EXPECT_FALSE(parseJournalBase(content));

    // Log entries: the page after the last (the results) is a place to be,
    // one further is not; a page beyond the test is passed over.
    JournalRecord base = sampleRecord(); // questions 0 and 1
    const RandomSource random = seeded();
    std::string log = journalLogEntry(5, -1, "", 2, "a", 4, random);
    JournalRecord applied = base;
    EXPECT_EQ(applyJournalLog(applied, log, 4, 5), 1u);
    EXPECT_EQ(applied.currentQuestion, 2);
    log += journalLogEntry(5, -1, "", 3, "b", 4, random) + journalLogEntry(5, 2, pageWith("x"), 0, "c", 4, random)
           + journalLogEntry(5, -2, "", 0, "d", 4, random);
    applied = base;
    EXPECT_EQ(applyJournalLog(applied, log, 4, 5), 1u);
    EXPECT_EQ(applied.savedAt, "a");
    EXPECT_EQ(applied.questionList, base.questionList);
    // Another generation, or another scrambling, gives nothing.
    EXPECT_EQ(applyJournalLog(applied, log, 4, 6), 0u);
    EXPECT_EQ(applyJournalLog(applied, log, 5, 5), 0u);

    // The files are scrambled in the results files' column.
    zx::testing::TempFolder dir("zx-journal");
    Journal journal(dir.path(), seeded());
    ASSERT_TRUE(journal.writeBase(sampleRecord()));
    EXPECT_EQ(parseJournalBase(unscrambleText(readAll(journal.basePath()), 4)), sampleRecord());
    // A folder that has gone: nothing can be written, nothing is read.
    Journal gone(dir.path() + "/gone", seeded());
    EXPECT_FALSE(gone.writeBase(sampleRecord()));
    EXPECT_FALSE(gone.appendPage(0, "x", 0, "now"));
    EXPECT_EQ(gone.read().status, JournalStatus::None);
    EXPECT_EQ(gone.logSize(), 0u);
}
