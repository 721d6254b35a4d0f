#include "testrun/core/journal.h"

#include "tagtext/replacing_file.h"
#include "tagtext/tagged_text.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace zx {

namespace {

constexpr std::string_view baseMagic = "zxjournal 1\n";
constexpr std::string_view entryMagic = "E ";
// The scrambling column of the journal's files (that of results files).
constexpr int journalColumn = 4;
// Largest journal read back; a test's question list holds at most 500
// pages, far less than this.
constexpr std::uint64_t largestJournal = 512ull * 1024 * 1024;

void putField(std::string& out, std::string_view name, std::string_view value)
{
    out += name;
    out += ' ';
    out += std::to_string(value.size());
    out += '\n';
    out += value;
    out += '\n';
}

// Reads "name length\nbytes\n" at `pos`; false when the text ends early or
// the name differs.
bool takeField(std::string_view text, std::size_t& pos, std::string_view name, std::string_view& value)
{
    if (text.substr(pos, name.size()) != name || pos + name.size() >= text.size() || text[pos + name.size()] != ' ')
        return false;
    std::size_t at = pos + name.size() + 1;
    const std::size_t eol = text.find('\n', at);
    if (eol == std::string_view::npos)
        return false;
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + eol, length);
    if (error != std::errc() || end != text.data() + eol || length > text.size() - eol - 1)
        return false;
    at = eol + 1;
    if (at + length >= text.size() || text[at + length] != '\n')
        return false;
    value = text.substr(at, length);
    pos = at + length + 1;
    return true;
}

bool toNumber(std::string_view text, long long& value)
{
    return parseIntStrict(text, value);
}

std::string fileBytes(const std::string& path, std::uint64_t limit)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > limit)
        return {};
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

std::uint64_t hashBankIndex(std::string_view fileHeader, std::string_view testList, std::string_view questionList,
                            std::string_view preTestList)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::string_view part : {fileHeader, testList, questionList, preTestList}) {
        for (const char c : part) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
        hash ^= 0xff; // parts end distinctly
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string journalBaseContent(const JournalRecord& r)
{
    std::string out(baseMagic);
    out.reserve(r.testSettings.size() + r.questionList.size() + r.bankPath.size() + 400);
    putField(out, "bank", r.bankPath);
    putField(out, "size", std::to_string(r.bank.size));
    putField(out, "hash", std::to_string(r.bank.indexHash));
    putField(out, "state", std::to_string(static_cast<int>(r.state)));
    putField(out, "last", std::to_string(r.lastQuestion));
    putField(out, "current", std::to_string(r.currentQuestion));
    putField(out, "password", r.passwordAccepted ? "1" : "0");
    putField(out, "saved", r.savedAt);
    putField(out, "settings", r.testSettings);
    putField(out, "questions", r.questionList);
    return out;
}

std::optional<JournalRecord> parseJournalBase(std::string_view text)
{
    if (text.substr(0, baseMagic.size()) != baseMagic)
        return std::nullopt;
    std::size_t pos = baseMagic.size();
    std::string_view bank, size, hash, state, last, current, password, saved, settings, questions;
    if (!takeField(text, pos, "bank", bank) || !takeField(text, pos, "size", size) || !takeField(text, pos, "hash", hash)
        || !takeField(text, pos, "state", state) || !takeField(text, pos, "last", last)
        || !takeField(text, pos, "current", current) || !takeField(text, pos, "password", password)
        || !takeField(text, pos, "saved", saved) || !takeField(text, pos, "settings", settings)
        || !takeField(text, pos, "questions", questions))
        return std::nullopt;
    JournalRecord r;
    long long n = 0;
    std::uint64_t u = 0;
    if (std::from_chars(size.data(), size.data() + size.size(), u).ec != std::errc())
        return std::nullopt;
    r.bank.size = u;
    if (std::from_chars(hash.data(), hash.data() + hash.size(), u).ec != std::errc())
        return std::nullopt;
    r.bank.indexHash = u;
    if (!toNumber(state, n) || n < static_cast<int>(TestState::Running) || n > static_cast<int>(TestState::Finished))
        return std::nullopt;
    r.state = static_cast<TestState>(n);
    if (!toNumber(last, n) || n < 0 || n > 100000)
        return std::nullopt;
    r.lastQuestion = static_cast<int>(n);
    if (!toNumber(current, n) || n < -1 || n > 100001)
        return std::nullopt;
    r.currentQuestion = static_cast<int>(n);
    r.passwordAccepted = password == "1";
    r.bankPath = std::string(bank);
    r.savedAt = std::string(saved);
    r.testSettings = std::string(settings);
    r.questionList = std::string(questions);
    return r;
}

std::size_t applyJournalLog(JournalRecord& record, std::string_view log, int column)
{
    struct Entry {
        int question;
        std::string page;
    };
    std::vector<Entry> entries;
    std::size_t pos = 0;
    while (pos < log.size()) {
        std::string_view scrambled;
        if (!takeField(log, pos, "E", scrambled))
            break; // a torn last entry
        const std::string entry = unscrambleText(scrambled, column);
        std::size_t at = 0;
        std::string_view question, current, saved, page;
        long long q = 0;
        long long c = 0;
        if (!takeField(entry, at, "question", question) || !takeField(entry, at, "current", current)
            || !takeField(entry, at, "saved", saved) || !takeField(entry, at, "page", page) || !toNumber(question, q)
            || !toNumber(current, c) || q < -1 || q > record.lastQuestion || c < -1 || c > record.lastQuestion + 1)
            break;
        record.currentQuestion = static_cast<int>(c);
        record.savedAt = std::string(saved);
        // Entry -1 only moves to another page.
        if (q >= 0)
            entries.push_back({static_cast<int>(q), std::string(page)});
        else
            entries.push_back({-1, {}});
    }
    // Only the last entry of each page counts; each page is stored once
    // into the (large) list, in the order of those last entries.
    std::vector<std::size_t> last(static_cast<std::size_t>(record.lastQuestion) + 1, entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].question >= 0)
            last[static_cast<std::size_t>(entries[i].question)] = i;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int q = entries[i].question;
        if (q >= 0 && last[static_cast<std::size_t>(q)] == i)
            record.questionList = setTag(record.questionList, "questionFile" + std::to_string(q), entries[i].page);
    }
    return entries.size();
}

Journal::Journal(std::string folder, RandomSource random)
    : m_folder(std::move(folder))
    , m_base(m_folder + "/journal.zxj")
    , m_log(m_folder + "/journal.log")
    , m_random(random ? std::move(random) : clockSeededRandom())
{
}

bool Journal::writeBase(const JournalRecord& record)
{
    const std::string stored = scrambleText(journalBaseContent(record), journalColumn, m_random);
    ReplacingFile file(m_base, m_random);
    if (!file.write(stored.data(), stored.size()) || !file.commit())
        return false;
    // The base now holds everything the log said.
    const int fd = ::open(m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool Journal::appendPage(int question, std::string_view pageText, int currentQuestion, std::string_view savedAt)
{
    std::string entry;
    entry.reserve(pageText.size() + 100);
    putField(entry, "question", std::to_string(question));
    putField(entry, "current", std::to_string(currentQuestion));
    putField(entry, "saved", savedAt);
    putField(entry, "page", pageText);
    std::string line;
    putField(line, "E", scrambleText(entry, journalColumn, m_random));

    const int fd = ::open(m_log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const char* data = line.data();
    std::size_t left = line.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    ok = ::fdatasync(fd) == 0 && ok;
    ::close(fd);
    return ok;
}

std::uint64_t Journal::logSize() const
{
    std::error_code error;
    const auto size = std::filesystem::file_size(m_log, error);
    return error ? 0 : size;
}

JournalRead Journal::read() const
{
    JournalRead result;
    std::error_code error;
    if (!std::filesystem::exists(m_base, error))
        return result;
    result.status = JournalStatus::Unreadable;
    const std::string stored = fileBytes(m_base, largestJournal);
    auto record = parseJournalBase(unscrambleText(stored, journalColumn));
    if (!record)
        return result;
    result.logEntries = applyJournalLog(*record, fileBytes(m_log, largestJournal), journalColumn);
    result.record = std::move(*record);
    result.status = JournalStatus::Ok;
    return result;
}

void Journal::clear()
{
    std::error_code error;
    std::filesystem::remove(m_base, error);
    std::filesystem::remove(m_log, error);
}

bool Journal::setAside(std::string_view stamp)
{
    std::error_code error;
    // Never over an earlier journal kept aside.
    std::string kept = m_folder + "/journal-kept-" + std::string(stamp);
    for (int n = 2; std::filesystem::exists(kept + ".zxj", error) || std::filesystem::exists(kept + ".log", error); ++n)
        kept = m_folder + "/journal-kept-" + std::string(stamp) + "-" + std::to_string(n);
    bool ok = true;
    if (std::filesystem::exists(m_base, error)) {
        std::filesystem::rename(m_base, kept + ".zxj", error);
        ok = !error;
    }
    if (std::filesystem::exists(m_log, error))
        std::filesystem::rename(m_log, kept + ".log", error);
    return ok;
}

} // namespace zx
