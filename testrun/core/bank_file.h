// The bank file (.zxb): a scrambled index section (bytes 0 to N - 1, stored
// text of the bank column) followed by the raw bytes of the embedded files.
// The index content starts with N written in 20 characters, followed by the
// elements fileHeader (embedded file list), testList (bank settings),
// questionFileList and preTestFileList.  Embedded file ranges are relative
// to N: a file occupies bytes N + start up to, not including, N + end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

inline constexpr std::size_t bankLengthFieldWidth = 20;
// The first read of a bank: N is found in the first bytes of the file.
inline constexpr std::size_t bankLengthProbeBytes = 500;
// Embedded files are only copied from bank offset 500 on, and only when at
// least this many bytes long.
inline constexpr std::int64_t embeddedFileMinimumOffset = 500;
inline constexpr std::int64_t embeddedFileMinimumSize = 10;
inline constexpr int maxEmbeddedFiles = 2000;
inline constexpr int maxListPages = 500;
// A page record of this length or less ends a question or pre-test list.
inline constexpr std::size_t pageRecordEndLength = 10;

struct BankIndex {
    std::int64_t length = 0;       // N, as the bank states it
    std::uint64_t fileSize = 0;    // bytes in the bank file
    bool truncated = false;        // the file ends before byte N
    std::string fileHeader;        // embedded file list
    std::string testList;          // bank settings
    std::string questionFileList;  // question pages
    std::string preTestFileList;   // pages shown before the test
};

enum class BankReadError {
    None,
    CannotOpen,            // missing or unreadable file
    IndexLengthUnreadable, // N does not convert or is 0 or less
};

struct BankIndexContent {
    BankReadError error = BankReadError::None;
    std::int64_t length = 0;
    std::uint64_t fileSize = 0;
    bool truncated = false;
    std::string content; // the unscrambled index, N field included
};

struct BankIndexResult {
    BankReadError error = BankReadError::None;
    BankIndex index;
    bool ok() const { return error == BankReadError::None; }
};

// A one-line reason for an error ("not a question bank (index length
// unreadable)").
std::string bankReadErrorText(BankReadError error);

// Integer conversion of bank numbers: optional leading spaces, an optional
// sign and decimal digits; anything else, or a value beyond 64 bits, gives
// nothing.
std::optional<std::int64_t> parseBankInteger(std::string_view text);

// N from the unscrambled beginning of an index section: the first 20
// characters converted; 0 when they do not convert.
std::int64_t bankLengthFromContent(std::string_view contentPrefix);

// Reads the index section as the player opens a bank: N from the first 500
// bytes, then bytes 0 to N - 1 (only what the file holds when N lies beyond
// its end), cut at the first zero byte and unscrambled.
BankIndexContent readBankIndexContent(const std::string& path);
// The same, split into the four index elements.
BankIndexResult readBankIndex(const std::string& path);
// Splits an unscrambled index content.
BankIndex splitBankIndex(std::string_view content);

// Number of pages of a list as the player counts them: up to the first
// number whose page record has 10 characters or fewer, at most 500.
int listPageCount(std::string_view list);
class NumberedTags;
// The same on the list's "questionFile" elements already indexed (at least
// maxListPages of them), so that a caller that reads them too scans once.
int listPageCount(const NumberedTags& pages);

// One entry of the embedded file list.
struct EmbeddedFileEntry {
    std::string authorName; // the name pages use for the file
    std::int64_t start = 0; // relative to N
    std::int64_t end = 0;
    friend bool operator==(const EmbeddedFileEntry&, const EmbeddedFileEntry&) = default;
};

// Walks the embedded file list as the extraction does: drop everything up
// to the first "<", the name runs up to the next ">", the value from there
// up to the next "<" ("start,end", each 0 when not a number).  The walk
// ends when 5 characters or fewer remain, when no "<" is left, or after
// maxEmbeddedFiles entries.
std::vector<EmbeddedFileEntry> parseEmbeddedFileList(std::string_view list);

// The bank bytes [from, to) of an entry, when the extraction copies it:
// from = N + start >= 500 and to - from >= 10.  Nothing otherwise (also on
// arithmetic overflow).
struct ByteRange {
    std::int64_t from = 0;
    std::int64_t to = 0;
    std::int64_t size() const { return to - from; }
};
std::optional<ByteRange> embeddedFileRange(const EmbeddedFileEntry& entry, std::int64_t indexLength);

// The working-folder name of embedded file n: "R" + n + the extension of
// the author name (with its dot).
std::string embeddedWorkingName(int n, std::string_view authorName);

// Copies bank bytes [range.from, range.to) to `target` in chunks.  Fails
// (and removes what it wrote) when the bank ends early or any write fails.
bool copyBankRange(const std::string& bankPath, ByteRange range, const std::string& target,
                   std::string* error = nullptr);

} // namespace zx
