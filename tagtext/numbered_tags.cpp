#include "tagtext/numbered_tags.h"

#include <cstring>

namespace zx {

namespace {

int decimalDigits(int value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

NumberedTags::NumberedTags(std::string_view text, std::string_view prefix, int count)
    : m_text(text)
    , m_prefix(prefix)
    , m_open(static_cast<std::size_t>(count > 0 ? count : 0), npos)
    , m_close(static_cast<std::size_t>(count > 0 ? count : 0), npos)
{
    if (!m_open.empty())
        scan();
}

// Every mark of interest starts with "<", so looking at each "<" once finds
// every open and close mark, overlapping ones included.  A mark names a
// number only when the digits after the prefix are the number's own decimal
// form (no leading zeros) and are followed by ">".
void NumberedTags::scan()
{
    const char* const begin = m_text.data();
    const std::size_t size = m_text.size();
    const std::size_t prefixLength = m_prefix.size();
    const int maxDigits = decimalDigits(count() - 1);
    std::size_t found = 0;
    const std::size_t wanted = 2 * m_open.size();

    // The number named by a mark whose key starts at p, or -1.
    auto numberAt = [&](std::size_t p) -> int {
        if (size - p < prefixLength || std::memcmp(begin + p, m_prefix.data(), prefixLength) != 0)
            return -1;
        p += prefixLength;
        const std::size_t digitsStart = p;
        while (p < size && begin[p] >= '0' && begin[p] <= '9' && static_cast<int>(p - digitsStart) <= maxDigits)
            ++p;
        const std::size_t digits = p - digitsStart;
        if (digits == 0 || static_cast<int>(digits) > maxDigits || p >= size || begin[p] != '>')
            return -1;
        if (digits > 1 && begin[digitsStart] == '0')
            return -1;
        int number = 0;
        for (std::size_t i = digitsStart; i < p; ++i)
            number = number * 10 + (begin[i] - '0');
        return number < count() ? number : -1;
    };
    auto record = [&](std::vector<std::size_t>& marks, int number, std::size_t at) {
        std::size_t& slot = marks[static_cast<std::size_t>(number)];
        if (slot == npos) {
            slot = at;
            ++found;
        }
    };

    std::size_t pos = 0;
    while (pos < size && found < wanted) {
        const void* hit = std::memchr(begin + pos, '<', size - pos);
        if (!hit)
            break;
        const std::size_t lt = static_cast<std::size_t>(static_cast<const char*>(hit) - begin);
        pos = lt + 1;
        const int open = numberAt(lt + 1);
        if (open >= 0)
            record(m_open, open, lt);
        if (lt + 1 < size && begin[lt + 1] == '/') {
            const int close = numberAt(lt + 2);
            if (close >= 0)
                record(m_close, close, lt);
        }
    }
}

std::string_view NumberedTags::valueView(int number) const
{
    if (number < 0 || number >= count())
        return {};
    const std::size_t o = m_open[static_cast<std::size_t>(number)];
    const std::size_t c = m_close[static_cast<std::size_t>(number)];
    if (o == npos || c == npos)
        return {};
    const std::size_t start = o + m_prefix.size() + static_cast<std::size_t>(decimalDigits(number)) + 2;
    if (c < start)
        return {};
    return m_text.substr(start, c - start);
}

std::string NumberedTags::value(int number) const
{
    return std::string(valueView(number));
}

} // namespace zx
