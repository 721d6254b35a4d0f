#include "tagtext/cp1252.h"

#include <array>

namespace zx {

namespace {

// Code points of the bytes 0x80 to 0x9F; the unassigned ones keep their
// C1 control code point.
constexpr std::array<char32_t, 32> highControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};


} // namespace

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return highControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> unicodeToCp1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < highControls.size(); ++i)
        if (highControls[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::u32string cp1252ToUtf32(std::string_view bytes)
{
    std::u32string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out += cp1252ToUnicode(static_cast<unsigned char>(c));
    return out;
}

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes)
        appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::u32string utf8ToUtf32(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char32_t>(lead);
            ++i;
            continue;
        }
        // Only the shortest form of a scalar value is a character: the lead
        // bytes C0, C1 and F5-FF never start one, and the range of the
        // second byte rules out overlong forms (after E0, F0), surrogates
        // (after ED) and values above U+10FFFF (after F4).
        int extra = 0;
        char32_t cp = 0;
        unsigned char secondLow = 0x80;
        unsigned char secondHigh = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0)
                secondLow = 0xA0;
            else if (lead == 0xED)
                secondHigh = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
            if (lead == 0xF0)
                secondLow = 0x90;
            else if (lead == 0xF4)
                secondHigh = 0x8F;
        }
        bool valid = extra > 0 && utf8.size() - i > static_cast<std::size_t>(extra);
        for (int k = 1; valid && k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            const unsigned char low = k == 1 ? secondLow : 0x80;
            const unsigned char high = k == 1 ? secondHigh : 0xBF;
            if (next < low || next > high)
                valid = false;
            else
                cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            // One replacement for this byte; the bytes after it are read
            // again on their own, so each byte of a bad sequence counts once.
            out += U'\uFFFD';
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        out += cp;
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8, char replacement)
{
    std::string out;
    out.reserve(utf8.size());
    for (const char32_t cp : utf8ToUtf32(utf8)) {
        if (auto byte = unicodeToCp1252(cp))
            out += static_cast<char>(*byte);
        else
            out += replacement;
    }
    return out;
}


unsigned char lowerCp1252(unsigned char byte)
{
    if (byte >= 'A' && byte <= 'Z')
        return static_cast<unsigned char>(byte + 32);
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)
        return static_cast<unsigned char>(byte + 32);
    switch (byte) {
    case 0x8A: return 0x9A; // Š
    case 0x8C: return 0x9C; // Œ
    case 0x8E: return 0x9E; // Ž
    case 0x9F: return 0xFF; // Ÿ
    default: return byte;
    }
}

std::string lowerCp1252(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(lowerCp1252(static_cast<unsigned char>(c)));
    return out;
}

} // namespace zx
