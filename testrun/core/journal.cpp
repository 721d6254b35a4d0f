#include "testrun/core/journal.h"

#include "tagtext/replacing_file.h"
#include "tagtext/tagged_text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <iterator>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zx {

namespace {

constexpr std::string_view baseMagic = "zxjournal 2\n";
// Every log entry starts a line with this mark.
constexpr std::string_view entryMark = "zxe ";
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

// Reads "name length\nbytes\n" at `pos` whatever its name; false when the
// text ends early or is no field.
bool nextField(std::string_view text, std::size_t& pos, std::string_view& name, std::string_view& value)
{
    const std::size_t space = text.find(' ', pos);
    const std::size_t eol = text.find('\n', pos);
    if (space == std::string_view::npos || eol == std::string_view::npos || space > eol)
        return false;
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(text.data() + space + 1, text.data() + eol, length);
    if (error != std::errc() || end != text.data() + eol || length > text.size() - eol - 1)
        return false;
    const std::size_t at = eol + 1;
    if (at + length >= text.size() || text[at + length] != '\n')
        return false;
    name = text.substr(pos, space - pos);
    value = text.substr(at, length);
    pos = at + length + 1;
    return true;
}

// Reads the field `name` at `pos`.
bool takeField(std::string_view text, std::size_t& pos, std::string_view name, std::string_view& value)
{
    std::size_t at = pos;
    std::string_view found;
    if (!nextField(text, at, found, value) || found != name)
        return false;
    pos = at;
    return true;
}

bool toNumber(std::string_view text, long long& value)
{
    return parseIntStrict(text, value);
}

bool toUnsigned(std::string_view text, std::uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// FNV-1a over the generation's eight bytes and the entry's stored bytes.
std::uint64_t entryChecksum(std::uint64_t generation, std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](unsigned char c) {
        hash ^= c;
        hash *= 1099511628211ull;
    };
    for (int i = 0; i < 8; ++i)
        mix(static_cast<unsigned char>(generation >> (8 * i)));
    for (const char c : bytes)
        mix(static_cast<unsigned char>(c));
    return hash;
}

// Reads the entry at `pos` ("zxe generation checksum length\nbytes\n"):
// false when there is none or it is torn or damaged.
bool readEntry(std::string_view log, std::size_t pos, std::uint64_t& generation, std::string_view& bytes,
               std::size_t& next)
{
    if (log.substr(pos, entryMark.size()) != entryMark)
        return false;
    const std::size_t eol = log.find('\n', pos);
    if (eol == std::string_view::npos)
        return false;
    const std::string_view header = log.substr(pos + entryMark.size(), eol - pos - entryMark.size());
    const std::size_t first = header.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : header.find(' ', first + 1);
    std::uint64_t checksum = 0;
    std::uint64_t length = 0;
    if (second == std::string_view::npos || !toUnsigned(header.substr(0, first), generation)
        || !toUnsigned(header.substr(first + 1, second - first - 1), checksum)
        || !toUnsigned(header.substr(second + 1), length) || length >= log.size() - eol - 1
        || log[eol + 1 + length] != '\n')
        return false;
    bytes = log.substr(eol + 1, length);
    if (entryChecksum(generation, bytes) != checksum)
        return false;
    next = eol + 1 + length + 1;
    return true;
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

std::string journalBaseContent(const JournalRecord& r, std::uint64_t generation)
{
    std::string out(baseMagic);
    out.reserve(r.testSettings.size() + r.questionList.size() + r.bankPath.size() + 400);
    putField(out, "generation", std::to_string(generation));
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
    for (const auto& [name, value] : r.otherFields)
        putField(out, name, value);
    return out;
}

std::optional<JournalRecord> parseJournalBase(std::string_view text, std::uint64_t* generationOut)
{
    if (text.substr(0, baseMagic.size()) != baseMagic)
        return std::nullopt;
    static constexpr std::string_view known[] = {"generation", "bank",     "size",  "hash",     "state",    "last",
                                                 "current",    "password", "saved", "settings", "questions"};
    constexpr std::size_t knownCount = std::size(known);
    std::optional<std::string_view> values[knownCount];
    JournalRecord r;
    std::size_t pos = baseMagic.size();
    while (pos < text.size()) {
        std::string_view name, value;
        if (!nextField(text, pos, name, value))
            return std::nullopt;
        const auto* const k = std::find(std::begin(known), std::end(known), name);
        if (k == std::end(known))
            r.otherFields.emplace_back(name, value);
        else if (values[k - known])
            return std::nullopt; // a field twice
        else
            values[k - known] = value;
    }
    for (const auto& value : values)
        if (!value)
            return std::nullopt;
    const auto field = [&values](std::size_t i) { return *values[i]; };
    long long n = 0;
    std::uint64_t generation = 0;
    if (!toUnsigned(field(0), generation) || !toUnsigned(field(2), r.bank.size)
        || !toUnsigned(field(3), r.bank.indexHash))
        return std::nullopt;
    if (!toNumber(field(4), n) || n < static_cast<int>(TestState::Running) || n > static_cast<int>(TestState::Finished))
        return std::nullopt;
    r.state = static_cast<TestState>(n);
    if (!toNumber(field(5), n) || n < 0 || n > 100000)
        return std::nullopt;
    r.lastQuestion = static_cast<int>(n);
    if (!toNumber(field(6), n) || n < -1 || n > 100001)
        return std::nullopt;
    r.currentQuestion = static_cast<int>(n);
    r.passwordAccepted = field(7) == "1";
    r.bankPath = std::string(field(1));
    r.savedAt = std::string(field(8));
    r.testSettings = std::string(field(9));
    r.questionList = std::string(field(10));
    if (generationOut)
        *generationOut = generation;
    return r;
}

std::string journalLogEntry(std::uint64_t generation, int question, std::string_view pageText, int currentQuestion,
                            std::string_view savedAt, int column, const RandomSource& random,
                            const JournalFieldList& extra)
{
    std::string entry;
    entry.reserve(pageText.size() + 100);
    putField(entry, "question", std::to_string(question));
    putField(entry, "current", std::to_string(currentQuestion));
    putField(entry, "saved", savedAt);
    putField(entry, "page", pageText);
    for (const auto& [name, value] : extra)
        putField(entry, name, value);
    const std::string bytes = scrambleText(entry, column, random);
    std::string line(entryMark);
    line += std::to_string(generation) + ' ' + std::to_string(entryChecksum(generation, bytes)) + ' '
            + std::to_string(bytes.size()) + '\n';
    line += bytes;
    line += '\n';
    return line;
}

std::size_t applyJournalLog(JournalRecord& record, std::string_view log, int column, std::uint64_t generation,
                            JournalFieldList* entryFields)
{
    struct Entry {
        int question;
        std::string page;
    };
    std::vector<Entry> entries;
    std::size_t pos = 0;
    while (pos < log.size()) {
        std::uint64_t entryGeneration = 0;
        std::string_view bytes;
        std::size_t next = 0;
        if (!readEntry(log, pos, entryGeneration, bytes, next)) {
            // Torn or damaged: go on at the next entry.
            const std::size_t mark = log.find(std::string("\n").append(entryMark), pos);
            if (mark == std::string_view::npos)
                break;
            pos = mark + 1;
            continue;
        }
        pos = next;
        if (entryGeneration != generation)
            continue; // left from an earlier base
        const std::string entry = unscrambleText(bytes, column);
        std::size_t at = 0;
        std::string_view question, current, saved, page;
        long long q = 0;
        long long c = 0;
        if (!takeField(entry, at, "question", question) || !takeField(entry, at, "current", current)
            || !takeField(entry, at, "saved", saved) || !takeField(entry, at, "page", page) || !toNumber(question, q)
            || !toNumber(current, c) || q < -1 || q > record.lastQuestion || c < -1 || c > record.lastQuestion + 1)
            continue;
        record.currentQuestion = static_cast<int>(c);
        record.savedAt = std::string(saved);
        // Fields after the page, up to the first that is no field.
        std::string_view name, value;
        while (entryFields && nextField(entry, at, name, value))
            entryFields->emplace_back(name, value);
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

JournalHealth::Notice JournalHealth::written(bool ok, bool wasBase)
{
    if (!ok) {
        m_baseDue = true;
        if (++m_failures < failuresBeforeNotice || m_told)
            return Notice::None;
        m_told = true;
        return Notice::Failing;
    }
    m_failures = 0;
    if (wasBase)
        m_baseDue = false;
    if (!m_told)
        return Notice::None;
    m_told = false;
    return Notice::Recovered;
}

Journal::Journal(std::string folder, RandomSource random, WriteCall write)
    : m_folder(std::move(folder))
    , m_base(m_folder + "/journal.zxj")
    , m_log(m_folder + "/journal.log")
    , m_random(random ? std::move(random) : clockSeededRandom())
    , m_write(write ? std::move(write) : WriteCall(::write))
{
}

Journal::~Journal()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd); // releases the lock
}

JournalLock Journal::takeLock()
{
    if (m_lockFd >= 0)
        return JournalLock::Taken;
    const std::string path = m_folder + "/journal.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return JournalLock::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool elsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return elsewhere ? JournalLock::HeldElsewhere : JournalLock::Failed;
    }
    m_lockFd = fd;
    return JournalLock::Taken;
}

bool Journal::writeBase(const JournalRecord& record)
{
    std::uint64_t generation = (static_cast<std::uint64_t>(m_random()) << 32) | m_random();
    if (generation == m_generation)
        ++generation;
    const std::string stored = scrambleText(journalBaseContent(record, generation), journalColumn, m_random);
    ReplacingFile file(m_base, m_random, m_write);
    if (!file.write(stored.data(), stored.size()) || !file.commit())
        return false;
    m_generation = generation;
    // The base now holds everything the log said; should emptying the log
    // fail, its entries belong to the old generation and are passed over.
    const int fd = ::open(m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

bool Journal::appendPage(int question, std::string_view pageText, int currentQuestion, std::string_view savedAt,
                         const JournalFieldList& extra)
{
    const std::string line =
        journalLogEntry(m_generation, question, pageText, currentQuestion, savedAt, journalColumn, m_random, extra);
    const int fd = ::open(m_log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        ::close(fd);
        return false;
    }
    const char* data = line.data();
    std::size_t left = line.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t written = m_write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    ok = ok && ::fdatasync(fd) == 0;
    if (!ok && ::ftruncate(fd, before.st_size) == 0)
        ::fdatasync(fd); // the log ends at its last good entry again
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
    auto record = parseJournalBase(unscrambleText(stored, journalColumn), &result.generation);
    if (!record)
        return result;
    result.logEntries = applyJournalLog(*record, fileBytes(m_log, largestJournal), journalColumn, result.generation,
                                        &result.entryFields);
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
