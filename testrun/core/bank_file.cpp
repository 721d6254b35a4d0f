#include "testrun/core/bank_file.h"

#include "tagtext/numbered_tags.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <vector>

namespace zx {

namespace {

constexpr int bankColumn = 3;
constexpr std::size_t copyChunk = std::size_t{1} << 20;

std::string_view tagValueView(std::string_view text, std::string_view key)
{
    // Same rules as getTag, without copying the big lists twice.
    std::string open = "<";
    open += key;
    open += '>';
    std::string close = "</";
    close += key;
    close += '>';
    const std::size_t o = text.find(open);
    if (o == std::string_view::npos)
        return {};
    const std::size_t c = text.find(close);
    if (c == std::string_view::npos)
        return {};
    const std::size_t start = o + open.size();
    if (c < start)
        return {};
    return text.substr(start, c - start);
}

bool addOverflows(std::int64_t a, std::int64_t b, std::int64_t& sum)
{
    return __builtin_add_overflow(a, b, &sum);
}

} // namespace

std::string bankReadErrorText(BankReadError error)
{
    switch (error) {
    case BankReadError::None:
        return "no error";
    case BankReadError::CannotOpen:
        return "cannot be opened for reading";
    case BankReadError::IndexLengthUnreadable:
        return "not a question bank (index length unreadable)";
    }
    return "unknown error";
}

std::optional<std::int64_t> parseBankInteger(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ')
        ++start;
    long long value = 0;
    if (!parseIntStrict(text.substr(start), value))
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

std::int64_t bankLengthFromContent(std::string_view contentPrefix)
{
    return parseBankInteger(contentPrefix.substr(0, bankLengthFieldWidth)).value_or(0);
}

BankIndexContent readBankIndexContent(const std::string& path)
{
    BankIndexContent result;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = BankReadError::CannotOpen;
        return result;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < 0) {
        result.error = BankReadError::CannotOpen;
        return result;
    }
    result.fileSize = static_cast<std::uint64_t>(end);
    in.seekg(0, std::ios::beg);

    std::string probe(static_cast<std::size_t>(std::min<std::uint64_t>(result.fileSize, bankLengthProbeBytes)), '\0');
    in.read(probe.data(), static_cast<std::streamsize>(probe.size()));
    probe.resize(static_cast<std::size_t>(in.gcount()));
    const std::int64_t length = bankLengthFromContent(unscrambleText(probe, bankColumn));
    if (length <= 0) {
        result.error = BankReadError::IndexLengthUnreadable;
        return result;
    }
    result.length = length;

    // Never trust N for the allocation: a bank cannot hold more than its
    // file size.
    const std::uint64_t wanted = static_cast<std::uint64_t>(length);
    result.truncated = wanted > result.fileSize;
    std::string bytes(static_cast<std::size_t>(std::min(wanted, result.fileSize)), '\0');
    in.clear();
    in.seekg(0, std::ios::beg);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(in.gcount()) < bytes.size()) {
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        result.truncated = true;
    }
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string::npos)
        bytes.resize(zero);
    result.content = unscrambleText(bytes, bankColumn);
    return result;
}

BankIndex splitBankIndex(std::string_view content)
{
    BankIndex index;
    index.length = bankLengthFromContent(content);
    index.fileHeader = std::string(tagValueView(content, "fileHeader"));
    index.testList = std::string(tagValueView(content, "testList"));
    index.questionFileList = std::string(tagValueView(content, "questionFileList"));
    index.preTestFileList = std::string(tagValueView(content, "preTestFileList"));
    return index;
}

BankIndexResult readBankIndex(const std::string& path)
{
    BankIndexResult result;
    BankIndexContent content = readBankIndexContent(path);
    result.error = content.error;
    if (content.error != BankReadError::None)
        return result;
    result.index = splitBankIndex(content.content);
    result.index.length = content.length;
    result.index.fileSize = content.fileSize;
    result.index.truncated = content.truncated;
    return result;
}

int listPageCount(std::string_view list)
{
    return listPageCount(NumberedTags(list, "questionFile", maxListPages));
}

int listPageCount(const NumberedTags& pages)
{
    for (int k = 0; k < maxListPages; ++k) {
        if (pages.valueLength(k) <= pageRecordEndLength)
            return k;
    }
    return maxListPages;
}

std::vector<EmbeddedFileEntry> parseEmbeddedFileList(std::string_view list)
{
    std::vector<EmbeddedFileEntry> entries;
    std::string_view rest = list;
    while (rest.size() > 5 && entries.size() < static_cast<std::size_t>(maxEmbeddedFiles)) {
        // Without a "<" or a ">" no further entry can start; stopping here
        // also guarantees that every step consumes text.
        const std::size_t lt = rest.find('<');
        if (lt == std::string_view::npos)
            break;
        rest.remove_prefix(lt + 1);
        const std::size_t gt = rest.find('>');
        if (gt == std::string_view::npos)
            break;
        EmbeddedFileEntry entry;
        entry.authorName = std::string(rest.substr(0, gt));
        rest.remove_prefix(gt + 1);
        std::string_view value;
        const std::size_t next = rest.find('<');
        if (next == std::string_view::npos) {
            rest = {};
        } else {
            value = rest.substr(0, next);
            rest.remove_prefix(next + 1);
        }
        const std::size_t comma = value.find(',');
        if (comma == std::string_view::npos) {
            entry.start = 0;
            entry.end = parseBankInteger(value).value_or(0);
        } else {
            entry.start = parseBankInteger(value.substr(0, comma)).value_or(0);
            entry.end = parseBankInteger(value.substr(comma + 1)).value_or(0);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<ByteRange> embeddedFileRange(const EmbeddedFileEntry& entry, std::int64_t indexLength)
{
    ByteRange range;
    if (addOverflows(indexLength, entry.start, range.from) || addOverflows(indexLength, entry.end, range.to))
        return std::nullopt;
    if (range.from < embeddedFileMinimumOffset || range.to < range.from
        || range.to - range.from < embeddedFileMinimumSize)
        return std::nullopt;
    return range;
}

std::string embeddedWorkingName(int n, std::string_view authorName)
{
    std::string name = "R" + std::to_string(n);
    const std::size_t dot = authorName.find_last_of(".\\/:");
    if (dot != std::string_view::npos && authorName[dot] == '.') {
        // Only letters and digits of the extension are kept, so a hostile
        // name can never steer the copy out of the working folder.
        name += '.';
        for (char c : authorName.substr(dot + 1)) {
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            if (plain && name.size() < 40)
                name += c;
        }
    }
    return name;
}

bool copyBankRange(const std::string& bankPath, ByteRange range, const std::string& target, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (range.from < 0 || range.to < range.from)
        return fail("invalid byte range");
    std::ifstream in(bankPath, std::ios::binary);
    if (!in)
        return fail(bankPath + ": cannot be opened for reading");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || range.to > static_cast<std::int64_t>(size))
        return fail(bankPath + ": the bank ends before byte " + std::to_string(range.to));
    in.seekg(static_cast<std::streamoff>(range.from), std::ios::beg);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out)
        return fail(target + ": cannot be created");
    std::vector<char> buffer(copyChunk);
    std::int64_t remaining = range.size();
    while (remaining > 0) {
        const auto step = static_cast<std::streamsize>(std::min<std::int64_t>(remaining, copyChunk));
        in.read(buffer.data(), step);
        if (in.gcount() != step)
            break;
        out.write(buffer.data(), step);
        if (!out)
            break;
        remaining -= step;
    }
    out.close();
    if (remaining > 0 || !out) {
        std::remove(target.c_str());
        return fail(remaining > 0 && in.fail() ? bankPath + ": read error" : target + ": write error");
    }
    return true;
}

} // namespace zx
