// Reading a journal back after a crash: entries in the stored log format
// as any build of the player writes them, entries that must be passed
// over, and the files' own rights.
#include "testrun/core/journal.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace zx;

namespace {

JournalRecord twoPages()
{
    JournalRecord r;
    r.bankPath = "/home/ann/banks/Planets.zxb";
    r.bank = {4096, 42};
    r.testSettings = "<isExam>1</isExam>";
    r.questionList = "<questionFile0>q0 <userAnswer>base0</userAnswer></questionFile0>"
                     "<questionFile1>q1 <userAnswer>base1</userAnswer></questionFile1>";
    r.lastQuestion = 1;
    r.currentQuestion = 0;
    r.savedAt = "2:30 pm";
    return r;
}

std::string answerOf(const JournalRecord& r, int question)
{
    return getTag(getTag(r.questionList, "questionFile" + std::to_string(question)), "userAnswer");
}

std::string field(std::string_view name, std::string_view value)
{
    return std::string(name) + ' ' + std::to_string(value.size()) + '\n' + std::string(value) + '\n';
}

// One log entry as the log's format stores it: "zxe generation checksum
// length", a line end, the scrambled fields and a line end; the checksum
// is FNV-1a over the generation's eight bytes, lowest first, and the
// stored bytes.
std::string storedEntry(std::uint64_t generation, const std::string& fields)
{
    std::uint32_t seed = 1;
    const std::string bytes = scrambleText(fields, 4, [&seed] { return seed++ * 2654435761u; });
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](unsigned char c) {
        hash ^= c;
        hash *= 1099511628211ull;
    };
    for (int i = 0; i < 8; ++i)
        mix(static_cast<unsigned char>(generation >> (8 * i)));
    for (const char c : bytes)
        mix(static_cast<unsigned char>(c));
    return "zxe " + std::to_string(generation) + ' ' + std::to_string(hash) + ' ' + std::to_string(bytes.size())
           + '\n' + bytes + '\n';
}

std::string pageEntry(std::uint64_t generation, int question, const std::string& answer, int current,
                      const std::string& saved)
{
    return storedEntry(generation, field("question", std::to_string(question)) + field("current", std::to_string(current))
                                       + field("saved", saved)
                                       + field("page", "q <userAnswer>" + answer + "</userAnswer>"));
}

} // namespace

TEST(JournalRecovery, ALogInTheStoredFormatIsReadFromItsFirstEntry)
{
    // The generation is large enough to fill all eight bytes the checksum
    // covers.
    const std::uint64_t generation = 0x8877665544332211ull;
    JournalRecord r = twoPages();
    const std::string log = pageEntry(generation, 1, "first", 1, "2:31 pm") + pageEntry(generation, 0, "second", 0, "2:32 pm");
    EXPECT_EQ(applyJournalLog(r, log, 4, generation), 2u);
    EXPECT_EQ(answerOf(r, 1), "first");
    EXPECT_EQ(answerOf(r, 0), "second");
    EXPECT_EQ(r.currentQuestion, 0);
    EXPECT_EQ(r.savedAt, "2:32 pm");

    // What this player writes is that same format.
    const RandomSource random = [] { return 12345u; };
    JournalRecord written = twoPages();
    EXPECT_EQ(applyJournalLog(written, journalLogEntry(7, 1, "q <userAnswer>w</userAnswer>", 1, "now", 4, random), 4, 7),
              1u);
    JournalRecord byHand = twoPages();
    EXPECT_EQ(applyJournalLog(byHand, pageEntry(7, 1, "w", 1, "now"), 4, 7), 1u);
    EXPECT_EQ(written, byHand);

    // Fields after the page are handed on; a reader that does not ask for
    // them reads past them.
    r = twoPages();
    const std::string withFields = storedEntry(generation, field("question", "0") + field("current", "1")
                                                               + field("saved", "s")
                                                               + field("page", "<userAnswer>newer</userAnswer>")
                                                               + field("timeLeft", "300") + field("note", "a b"));
    JournalFieldList fields;
    EXPECT_EQ(applyJournalLog(r, withFields, 4, generation, &fields), 1u);
    EXPECT_EQ(answerOf(r, 0), "newer");
    EXPECT_EQ(fields, (JournalFieldList{{"timeLeft", "300"}, {"note", "a b"}}));
    JournalRecord plain = twoPages();
    EXPECT_EQ(applyJournalLog(plain, withFields, 4, generation), 1u);
    EXPECT_EQ(plain, r);
}

TEST(JournalRecovery, EntriesThatCannotBeTrustedNeverTouchTheAnswers)
{
    const std::uint64_t generation = 0x0102030405060708ull;
    const JournalRecord base = twoPages();
    const auto applied = [&base](const std::string& log, std::uint64_t g) {
        JournalRecord r = base;
        const std::size_t n = applyJournalLog(r, log, 4, g);
        EXPECT_EQ(answerOf(r, 0), "base0");
        EXPECT_EQ(answerOf(r, 1), "base1");
        return n;
    };
    // An entry without its page (or any other field) would empty a page.
    EXPECT_EQ(applied(storedEntry(generation, field("question", "1") + field("current", "1") + field("saved", "s")),
                      generation),
              0u);
    EXPECT_EQ(applied(storedEntry(generation, field("question", "1") + field("current", "1")
                                                  + field("page", "<userAnswer></userAnswer>")),
                      generation),
              0u);
    EXPECT_EQ(applied(storedEntry(generation, field("question", "1") + field("saved", "s")
                                                  + field("page", "<userAnswer></userAnswer>")),
                      generation),
              0u);
    // Numbers that are none, and pages before the first.
    for (const auto& [question, current] : {std::pair{"x", "1"}, {"1", "y"}, {"-2", "0"}, {"1", "-2"}})
        EXPECT_EQ(applied(storedEntry(generation, field("question", question) + field("current", current)
                                                      + field("saved", "s") + field("page", "<userAnswer></userAnswer>")),
                          generation),
                  0u)
            << question << ' ' << current;
    // An entry of another base, even one differing in the generation's
    // highest byte only.
    const std::string other = pageEntry(generation ^ (0xffull << 56), 1, "", 1, "s");
    EXPECT_EQ(applied(other, generation), 0u);
    // The same entry filed under this generation: its checksum does not fit.
    std::string refiled = other;
    refiled.replace(4, std::to_string(generation ^ (0xffull << 56)).size(), std::to_string(generation));
    EXPECT_EQ(applied(refiled, generation), 0u);
    // A header number with bytes after it.
    std::string junk = pageEntry(generation, 1, "", 1, "s");
    junk.insert(4 + std::to_string(generation).size(), "x");
    EXPECT_EQ(applied(junk, generation), 0u);
}

TEST(JournalRecovery, DamagedBaseNumbersMakeItUnreadable)
{
    const std::string content = journalBaseContent(twoPages(), 9);
    ASSERT_TRUE(parseJournalBase(content));
    for (const char* name : {"generation", "size", "hash", "state", "last", "current"}) {
        // The value gains a byte after its digits.
        std::string damaged = content;
        const std::size_t at = damaged.find(std::string(name) + ' ');
        const std::size_t eol = damaged.find('\n', at);
        const std::size_t length = std::stoul(damaged.substr(at + std::string(name).size() + 1));
        damaged.insert(eol + 1 + length, "x");
        damaged.replace(at, eol - at, std::string(name) + ' ' + std::to_string(length + 1));
        EXPECT_FALSE(parseJournalBase(damaged)) << name;
    }
}

TEST(JournalRecovery, ADeepBankPathWithNothingElseRoundTrips)
{
    JournalRecord r;
    r.bankPath = "/home/ann/" + std::string(2000, 'd') + "/bank.zxb";
    EXPECT_EQ(parseJournalBase(journalBaseContent(r, 3)), r);
}

TEST(JournalRecovery, TheLogAndTheLockStayTheOwnersAlone)
{
    zx::testing::TempFolder dir("zx-journal");
    Journal journal(dir.path(), [] { return 99u; });
    const auto expectPrivate = [](const std::string& path) {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(st.st_mode & 07777, 0600u) << path;
    };
    ASSERT_EQ(journal.takeLock(), JournalLock::Taken);
    expectPrivate(dir.path("journal.lock"));
    // The log a new base starts.
    ASSERT_TRUE(journal.writeBase(twoPages()));
    expectPrivate(journal.logPath());
    ASSERT_TRUE(journal.appendPage(1, "<userAnswer>a</userAnswer>", 1, "now"));
    // A log gone meanwhile is made afresh by the next entry.
    std::filesystem::remove(journal.logPath());
    ASSERT_TRUE(journal.appendPage(0, "<userAnswer>b</userAnswer>", 0, "later"));
    expectPrivate(journal.logPath());
    EXPECT_EQ(journal.read().logEntries, 1u);
}

TEST(JournalRecovery, APlayerStartedWithoutStandardInputStillEmptiesItsLog)
{
    zx::testing::TempFolder dir("zx-journal");
    Journal journal(dir.path(), [] { return 7u; });
    ASSERT_TRUE(journal.writeBase(twoPages()));
    ASSERT_TRUE(journal.appendPage(1, "<userAnswer>a</userAnswer>", 1, "now"));
    ASSERT_GT(journal.logSize(), 0u);
    // Started with its standard input closed, the player's next file opened
    // is number 0.
    const int input = ::dup(0);
    ASSERT_GE(input, 0);
    ::close(0);
    const bool written = journal.writeBase(journal.read().record);
    ::dup2(input, 0);
    ::close(input);
    EXPECT_TRUE(written);
    EXPECT_EQ(journal.logSize(), 0u);
    EXPECT_EQ(answerOf(journal.read().record, 1), "a");
}
