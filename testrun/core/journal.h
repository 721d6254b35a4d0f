// The journal of a test in progress: what is needed to take the test up
// again after a crash, a kill or a power cut.  A base file holds the whole
// test (bank, settings, question list with the answers, state, page); a
// log beside it collects, in order, the page records written since (a page
// left, or the answers of the page on show while the candidate works).
// Reading applies the log to the base, so what the last complete entry
// says wins.
//
// Each log entry carries a checksum and the generation of the base it
// belongs to: a torn or damaged entry (the moment of a crash, a full disk)
// is passed over and the reader goes on at the next good entry, and
// entries left from an earlier base (a crash between writing a new base
// and emptying the log) are never applied over the newer base.  A failed
// append is cut off the log again.
//
// The base is a sequence of named fields; fields this player does not know
// are kept in `otherFields` and written back unchanged, so later additions
// stay readable here.  Log entries likewise may carry fields after the
// page (a timed test's time, see test_timer.h): the reader hands those of
// the entries it applies to the caller, in log order, and otherwise
// ignores them.
//
// One player at a time uses a journal folder: takeLock() holds a lock
// file there for the journal's life.
//
// Both files are scrambled like the player's other files, so the bank's
// answers never lie on disk as plain text.
#pragma once

#include "objects/core/test_state.h"
#include "tagtext/replacing_file.h" // WriteCall
#include "tagtext/stored_file.h"    // RandomSource

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zx {

// What identifies a bank: its size and a hash of its index section.
struct BankIdentity {
    std::uint64_t size = 0;
    std::uint64_t indexHash = 0;
    bool operator==(const BankIdentity&) const = default;
};

// FNV-1a over the parts of a bank's index, in order.
std::uint64_t hashBankIndex(std::string_view fileHeader, std::string_view testList, std::string_view questionList,
                            std::string_view preTestList);

// Named fields in file order.
using JournalFieldList = std::vector<std::pair<std::string, std::string>>;

struct JournalRecord {
    std::string bankPath;
    BankIdentity bank;
    std::string testSettings;
    std::string questionList;
    int lastQuestion = 0;
    int currentQuestion = 0; // slider position
    TestState state = TestState::Running;
    bool passwordAccepted = false;
    std::string savedAt; // display date of the last change
    // Fields of the base this player does not know, in file order (names
    // without spaces or line breaks, other than the fields above).
    JournalFieldList otherFields;

    bool operator==(const JournalRecord&) const = default;
};

enum class JournalStatus { None, Ok, Unreadable };

struct JournalRead {
    JournalStatus status = JournalStatus::None;
    JournalRecord record;
    std::size_t logEntries = 0; // log entries applied
    std::uint64_t generation = 0; // the base's
    // The fields after the page of the entries applied, in log order.
    JournalFieldList entryFields;
};

enum class JournalLock {
    Taken,          // this journal is the folder's only user
    HeldElsewhere,  // another player uses the folder
    Failed,         // the lock file cannot be made
};

class Journal {
public:
    // `folder` is private to the user and ends without "/".  `write`
    // replaces the system's write(2) for both files (tests give failing
    // ones).
    explicit Journal(std::string folder, RandomSource random = {}, WriteCall write = {});
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Takes the lock file "journal.lock" of the folder for this object's
    // life; a second player on the same folder gets HeldElsewhere and must
    // neither read nor change the journal.
    JournalLock takeLock();

    const std::string& basePath() const { return m_base; }
    const std::string& logPath() const { return m_log; }

    // Replaces the base file (atomically, with a new generation) and
    // empties the log.  False when the base could not be written: the
    // previous base and its log then still stand.
    bool writeBase(const JournalRecord& record);
    // Appends the record of question `question` (its page text with the
    // answers; -1 for none) and the page on show to the log of the last
    // base written; flushed to the disk before it returns.  False when it
    // could not be written whole; what was written of it is cut off again.
    // `extra` fields follow the page in the entry.
    bool appendPage(int question, std::string_view pageText, int currentQuestion, std::string_view savedAt,
                    const JournalFieldList& extra = {});
    // Bytes in the log; the caller writes a new base when it grows large.
    std::uint64_t logSize() const;

    JournalRead read() const;
    // Removes both files.
    void clear();
    // Renames both files aside ("journal-kept-<stamp>..."), so an examiner
    // can still recover a test the candidate chose not to continue or that
    // could not be read.
    bool setAside(std::string_view stamp);

private:
    std::string m_folder;
    std::string m_base;
    std::string m_log;
    RandomSource m_random;
    WriteCall m_write;
    std::uint64_t m_generation = 0;
    int m_lockFd = -1;
};

// How the journal's writes are going: after a failed write the next one
// is a whole new base (the entry that failed may have been of another
// page); the examiner is told once writing has failed several times in a
// row, and again when it works once more.
class JournalHealth {
public:
    enum class Notice { None, Failing, Recovered };
    static constexpr int failuresBeforeNotice = 3;

    // Records one write (a base or an entry); what to tell the examiner.
    Notice written(bool ok, bool wasBase);
    // The next write must be a whole base.
    bool baseDue() const { return m_baseDue; }

private:
    int m_failures = 0;
    bool m_baseDue = false;
    bool m_told = false;
};

// The base file's content and its reading, exposed for tests and fuzzing.
std::string journalBaseContent(const JournalRecord& record, std::uint64_t generation);
std::optional<JournalRecord> parseJournalBase(std::string_view content, std::uint64_t* generation = nullptr);
// One log entry of generation `generation` as it is stored.
std::string journalLogEntry(std::uint64_t generation, int question, std::string_view pageText, int currentQuestion,
                            std::string_view savedAt, int column, const RandomSource& random,
                            const JournalFieldList& extra = {});
// Applies the log's good entries of `generation` to `record`; returns how
// many were applied.  The fields after the page of those entries are
// added to `entryFields` when given.
std::size_t applyJournalLog(JournalRecord& record, std::string_view log, int column, std::uint64_t generation,
                            JournalFieldList* entryFields = nullptr);

} // namespace zx
