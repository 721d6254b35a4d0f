// The journal of a test in progress: what is needed to take the test up
// again after a crash, a kill or a power cut.  A base file holds the whole
// test (bank, settings, question list with the answers, state, page); a
// log beside it collects, in order, the page records written since (a page
// left, or the answers of the page on show while the candidate works).
// Reading applies the log to the base, so what the last complete entry
// says wins; a torn last entry (the moment of the crash) is left out.
//
// Both files are scrambled like the player's other files, so the bank's
// answers never lie on disk as plain text.
#pragma once

#include "objects/core/test_state.h"
#include "tagtext/stored_file.h" // RandomSource

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

    bool operator==(const JournalRecord&) const = default;
};

enum class JournalStatus { None, Ok, Unreadable };

struct JournalRead {
    JournalStatus status = JournalStatus::None;
    JournalRecord record;
    std::size_t logEntries = 0; // log entries applied
};

class Journal {
public:
    // `folder` is private to the user and ends without "/".
    explicit Journal(std::string folder, RandomSource random = {});

    const std::string& basePath() const { return m_base; }
    const std::string& logPath() const { return m_log; }

    // Replaces the base file (atomically) and empties the log.
    bool writeBase(const JournalRecord& record);
    // Appends the record of question `question` (its page text with the
    // answers; -1 for none) and the page on show; flushed to the disk
    // before it returns.
    bool appendPage(int question, std::string_view pageText, int currentQuestion, std::string_view savedAt);
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
};

// The base file's content and its reading, exposed for tests and fuzzing.
std::string journalBaseContent(const JournalRecord& record);
std::optional<JournalRecord> parseJournalBase(std::string_view content);
// Applies the log's entries to `record`; returns how many were complete.
std::size_t applyJournalLog(JournalRecord& record, std::string_view log, int column);

} // namespace zx
