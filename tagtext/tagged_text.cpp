#include "tagtext/tagged_text.h"

#include <array>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace zx {

namespace {

bool isTrimmed(unsigned char c) { return c <= 32; }

std::string openMark(std::string_view key)
{
    std::string mark;
    mark.reserve(key.size() + 2);
    mark += '<';
    mark += key;
    mark += '>';
    return mark;
}

std::string closeMark(std::string_view key)
{
    std::string mark;
    mark.reserve(key.size() + 3);
    mark += "</";
    mark += key;
    mark += '>';
    return mark;
}

std::string_view trimView(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isTrimmed(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && isTrimmed(static_cast<unsigned char>(text[e - 1])))
        --e;
    return text.substr(b, e - b);
}

constexpr std::string_view plainCharacters =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ !\xA3$%&*()-+=][}{;:'@#~\\|/?.,><)_";

constexpr std::array<bool, 256> makePlainSet()
{
    std::array<bool, 256> set{};
    for (char c : plainCharacters)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr std::array<bool, 256> plainSet = makePlainSet();

} // namespace

std::string trimText(std::string_view text) { return std::string(trimView(text)); }

bool parseIntStrict(std::string_view text, long long& value)
{
    if (text.empty())
        return false;
    std::size_t start = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        start = 1;
    }
    if (start == text.size())
        return false;
    unsigned long long magnitude = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (ULLONG_MAX - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        if (magnitude > static_cast<unsigned long long>(LLONG_MAX) + 1)
            return false;
        value = magnitude == static_cast<unsigned long long>(LLONG_MAX) + 1 ? LLONG_MIN
                                                                             : -static_cast<long long>(magnitude);
    } else {
        if (magnitude > static_cast<unsigned long long>(LLONG_MAX))
            return false;
        value = static_cast<long long>(magnitude);
    }
    return true;
}

std::size_t findText(std::string_view text, std::string_view pattern, std::size_t from)
{
    if (from > text.size())
        return std::string_view::npos;
    if (pattern.empty())
        return from;
    // An empty view may hold no pointer at all, which memmem must not get.
    if (text.size() - from < pattern.size())
        return std::string_view::npos;
    const void* at = memmem(text.data() + from, text.size() - from, pattern.data(), pattern.size());
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : std::string_view::npos;
}

std::string getTag(std::string_view text, std::string_view key)
{
    const std::string open = openMark(key);
    const std::size_t o = findText(text, open);
    if (o == std::string_view::npos)
        return {};
    const std::size_t c = findText(text, closeMark(key));
    if (c == std::string_view::npos)
        return {};
    const std::size_t start = o + open.size();
    if (c < start)
        return {};
    return std::string(text.substr(start, c - start));
}

int getTagInt(std::string_view text, std::string_view key, int defaultValue)
{
    long long value = 0;
    if (!parseIntStrict(getTag(text, key), value) || value < INT_MIN || value > INT_MAX)
        return defaultValue;
    return static_cast<int>(value);
}

std::string deleteTag(std::string_view text, std::string_view key)
{
    const std::size_t o = text.find(openMark(key));
    const std::string close = closeMark(key);
    if (o == std::string_view::npos || text.find(close) == std::string_view::npos)
        return std::string(text);
    // The text before the open mark, trimmed; the rest starts right after
    // the open mark's "<" when nothing was trimmed, earlier otherwise.
    const std::string_view before = trimView(text.substr(0, o));
    const std::size_t restStart = std::min(before.size() + 1, text.size());
    std::string_view rest = text.substr(restStart);
    const std::size_t c = rest.find(close);
    if (c == std::string_view::npos)
        return std::string(text); // the only close mark lies before the element: nothing to remove
    rest = rest.substr(c + close.size());
    std::string result;
    const std::string_view trimmedRest = trimView(rest);
    result.reserve(before.size() + trimmedRest.size());
    result += before;
    result += trimmedRest;
    return result;
}

std::string makeElement(std::string_view key, std::string_view value)
{
    std::string element;
    element.reserve(2 * key.size() + value.size() + 5);
    element += '<';
    element += key;
    element += '>';
    element += value;
    element += "</";
    element += key;
    element += '>';
    return element;
}

std::string setTag(std::string_view text, std::string_view key, std::string_view value)
{
    std::string result = makeElement(key, value);
    result += ' ';
    result += deleteTag(text, key);
    return result;
}

std::string filterPlainText(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        if (!plainSet[static_cast<unsigned char>(c)])
            continue;
        if (c == ' ' && !kept.empty() && kept.back() == ' ')
            continue; // two spaces in a row fold into one
        kept += c;
    }
    return std::string(trimView(kept));
}

int parseHundredths(std::string_view text)
{
    std::string kept;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == '.')
            kept += c;
        else if (c == '-' && kept.empty())
            kept += c;
    }
    std::size_t dot = kept.find('.');
    if (dot == std::string::npos) {
        kept += '.';
        dot = kept.size() - 1;
    }
    while (kept.size() - dot - 1 < 2)
        kept += '0';
    kept.resize(dot + 3);
    kept.erase(dot, 1);
    long long value = 0;
    if (!parseIntStrict(kept, value) || value < INT_MIN || value > INT_MAX)
        return 0;
    return static_cast<int>(value);
}

std::string formatHundredths(int hundredths)
{
    const long long n = hundredths;
    const bool negative = n < 0;
    std::string s = std::to_string(negative ? -n : n);
    if (s.size() < 2)
        s.insert(0, "0");
    s.insert(s.size() - 2, ".");
    if (s[0] == '.')
        s.insert(0, "0");
    if (negative)
        s.insert(0, "-");
    return s;
}

std::string formatHundredthsTrimmed(int hundredths, int zerosToDrop)
{
    std::string s = formatHundredths(hundredths);
    for (int i = 0; i < zerosToDrop && !s.empty() && s.back() == '0'; ++i)
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    if (s.empty())
        s = "0";
    return s;
}

std::string withLfBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace zx
