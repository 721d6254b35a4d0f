#include "tools/bankimport/tag_safe_text.h"

#include "tagtext/cp1252.h"

namespace zx::import {

namespace {

// Characters outside Windows-1252 that have a close plain form.
std::string closestForm(char32_t cp)
{
    switch (cp) {
    case 0x2212: return "-";
    case 0x2264: return "<=";
    case 0x2265: return ">=";
    case 0x2260: return "!=";
    case 0x2248: return "~";
    case 0x2192: return "->";
    case 0x2190: return "<-";
    case 0x221E: return "infinity";
    case 0x2009: case 0x200A: case 0x2002: case 0x2003: case 0x202F: return " ";
    case 0x200B: case 0x200C: case 0x200D: case 0xFEFF: return "";
    default: return "?";
    }
}

std::string decodeToCp1252(const std::string& utf8, bool& lossy)
{
    std::string out;
    for (const char32_t cp : utf8ToUtf32(utf8)) {
        if (cp == 0)
            continue;
        const auto byte = unicodeToCp1252(cp);
        if (byte) {
            out += static_cast<char>(*byte);
            continue;
        }
        lossy = true;
        out += closestForm(cp);
    }
    return out;
}

// "<" followed by a letter, "/" or "!" could be read as a mark.
template <typename Replace>
std::string guardMarks(const std::string& text, Replace replacement)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const bool opensMark = text[i] == '<'
                               && (next == '/' || next == '!' || next == '?' || (next >= 'a' && next <= 'z')
                                   || (next >= 'A' && next <= 'Z'));
        if (opensMark)
            out += replacement;
        else
            out += text[i];
    }
    return out;
}

} // namespace

std::string tagSafeText(const std::string& utf8, bool* lossy)
{
    bool replaced = false;
    const std::string bytes = decodeToCp1252(utf8, replaced);
    if (lossy)
        *lossy = replaced;
    return guardMarks(bytes, '\x8B');
}

std::string tagSafeUtf8(const std::string& utf8)
{
    std::string clean;
    for (const char ch : utf8)
        if (ch != '\0')
            clean += ch;
    return guardMarks(clean, "\xE2\x80\xB9");
}

} // namespace zx::import
