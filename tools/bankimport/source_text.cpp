#include "tools/bankimport/source_text.h"

#include "tagtext/cp1252.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace zx::import {

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        int follow = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + follow >= bytes.size())
            return false;
        for (int k = 1; k <= follow; ++k) {
            const unsigned char f = static_cast<unsigned char>(bytes[i + k]);
            if ((f & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (f & 0x3F);
        }
        if ((follow == 2 && cp < 0x800) || (follow == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += follow + 1;
    }
    return true;
}

std::string sourceToUtf8(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::string text = isValidUtf8(bytes) ? std::string(bytes) : cp1252ToUtf8(bytes);
    std::erase(text, '\0');
    return text;
}

bool parseNumber(std::string_view text, double& value)
{
    std::string copy(text);
    while (!copy.empty() && (copy.back() == ' ' || copy.back() == '\t' || copy.back() == '\n' || copy.back() == '\r'))
        copy.pop_back();
    std::size_t b = 0;
    while (b < copy.size() && (copy[b] == ' ' || copy[b] == '\t' || copy[b] == '\n' || copy[b] == '\r'))
        ++b;
    copy = copy.substr(b);
    if (copy.empty() || copy.size() > 64)
        return false;
    for (char& ch : copy)
        if (ch == ',')
            ch = '.';
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || errno == ERANGE || !std::isfinite(v))
        return false;
    // strtod also reads hexadecimal and "inf"/"nan": only plain decimals count.
    for (const char ch : copy)
        if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+' || ch == 'e' || ch == 'E'))
            return false;
    value = v;
    return true;
}

bool decodeBase64(std::string_view text, std::string& bytes)
{
    bytes.clear();
    bytes.reserve(text.size() / 4 * 3);
    unsigned buffer = 0;
    int bits = 0;
    bool padding = false;
    for (const char ch : text) {
        int v;
        if (ch >= 'A' && ch <= 'Z')
            v = ch - 'A';
        else if (ch >= 'a' && ch <= 'z')
            v = ch - 'a' + 26;
        else if (ch >= '0' && ch <= '9')
            v = ch - '0' + 52;
        else if (ch == '+' || ch == '-')
            v = 62;
        else if (ch == '/' || ch == '_')
            v = 63;
        else if (ch == '=') {
            padding = true;
            continue;
        } else if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t')
            continue;
        else
            return false;
        if (padding)
            return false;
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return true;
}

std::string asciiLower(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

std::string urlDecode(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string categoryName(std::string_view path)
{
    std::string name(path);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
        name.pop_back();
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front())))
        name.erase(0, 1);
    for (const char* prefix : {"$course$/", "$system$/", "$module$/", "$cat1$/", "$cat2$/", "$cat3$/"})
        if (name.rfind(prefix, 0) == 0)
            name.erase(0, std::string_view(prefix).size());
    if (name.rfind("top/", 0) == 0)
        name.erase(0, 4);
    if (name == "top")
        name.clear();
    return name;
}

} // namespace zx::import
