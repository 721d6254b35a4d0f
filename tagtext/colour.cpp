#include "tagtext/colour.h"

#include <array>
#include <cstdio>

namespace zx {

namespace {

struct NamedColour {
    std::string_view name;
    std::uint32_t value;
};

constexpr std::uint32_t sys(int index) { return Colour::systemBase + static_cast<std::uint32_t>(index); }

// The first name of a value is the one colourToText writes.
constexpr std::array<NamedColour, 54> namedColours{{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
    {"clNone", Colour::noneValue}, {"clDefault", Colour::defaultValue},
    {"clScrollBar", sys(0)}, {"clBackground", sys(1)}, {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)}, {"clMenu", sys(4)}, {"clWindow", sys(5)}, {"clWindowFrame", sys(6)},
    {"clMenuText", sys(7)}, {"clWindowText", sys(8)}, {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)}, {"clInactiveBorder", sys(11)}, {"clAppWorkSpace", sys(12)},
    {"clHighlight", sys(13)}, {"clHighlightText", sys(14)}, {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)}, {"clGrayText", sys(17)}, {"clBtnText", sys(18)},
    {"clInactiveCaptionText", sys(19)}, {"clBtnHighlight", sys(20)}, {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)}, {"clInfoText", sys(23)}, {"clInfoBk", sys(24)}, {"clHotLight", sys(26)},
    {"clGradientActiveCaption", sys(27)}, {"clGradientInactiveCaption", sys(28)},
    {"clMenuHighlight", sys(29)}, {"clMenuBar", sys(30)},
    {"clDkGray", 0x808080}, {"clLtGray", 0xC0C0C0},
}};

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A 32-bit integer as the toolkit's integer conversion reads it: optional
// sign, then decimal digits, or "$" / "0x" and hexadecimal digits.
std::optional<std::uint32_t> parseColourNumber(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    bool hex = false;
    if (text[0] == '$') {
        hex = true;
        text.remove_prefix(1);
    } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    for (char c : text) {
        const int d = hex ? hexDigit(c) : ((c >= '0' && c <= '9') ? c - '0' : -1);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * (hex ? 16u : 10u) + static_cast<unsigned>(d);
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
    }
    // Decimal numbers are signed 32-bit; hexadecimal ones may use all 32 bits.
    if (!hex && !negative && magnitude > 0x7FFFFFFFull)
        return std::nullopt;
    if (negative && magnitude > 0x80000000ull)
        return std::nullopt;
    const std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - bits) : bits;
}

} // namespace

std::optional<Colour> colourFromText(std::string_view text)
{
    for (const NamedColour& named : namedColours)
        if (sameText(text, named.name))
            return Colour{named.value};
    if (auto number = parseColourNumber(text))
        return Colour{*number};
    return std::nullopt;
}

std::string colourToText(Colour colour)
{
    for (const NamedColour& named : namedColours)
        if (named.value == colour.value)
            return std::string(named.name);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(colour.value));
    return buffer;
}

} // namespace zx
