#include "testrun/core/journal.h"
#include "tagtext/tagged_text.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

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
    const std::string content = journalBaseContent(sampleRecord());
    ASSERT_TRUE(parseJournalBase(content));
    for (std::size_t cut = 0; cut < content.size(); cut += 7)
        EXPECT_FALSE(parseJournalBase(content.substr(0, cut))) << cut;
    std::string wild = content;
    wild.replace(wild.find("state 1\n3"), 9, "state 1\n9");
    EXPECT_FALSE(parseJournalBase(wild));
    EXPECT_FALSE(parseJournalBase("zxjournal 1\nbank 99999999999999999999\n"));

    std::ofstream(journal.basePath(), std::ios::binary) << "garbage";
    EXPECT_EQ(journal.read().status, JournalStatus::Unreadable);
    // Log entries naming pages the test does not have stop the replay.
    JournalRecord r = sampleRecord();
    std::string log;
    EXPECT_EQ(applyJournalLog(r, "E 5\nxxxxx\nE 99999999999\n", 4), 0u);
    EXPECT_EQ(r, sampleRecord());
    EXPECT_NE(hashBankIndex("a", "b", "", ""), hashBankIndex("ab", "", "", ""));
}
