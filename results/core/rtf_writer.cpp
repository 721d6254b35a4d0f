#include "results/core/rtf_writer.h"

#include "tagtext/cp1252.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zx {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;
constexpr int smallestPointSize = 1;
constexpr int largestPointSize = 1638; // \fs3276, the largest size a rich-edit control takes

// The code point of the UTF-8 sequence at `i`, moving `i` past it.  A byte
// that does not begin a valid, shortest sequence of a scalar value gives
// U+FFFD and moves on by that one byte.
char32_t nextCodePoint(std::string_view text, std::size_t& i)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t extra = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = lead & 0x07;
        smallest = 0x10000;
    } else {
        ++i;
        return replacementCharacter;
    }
    if (text.size() - i <= extra) {
        ++i;
        return replacementCharacter;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return replacementCharacter;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++i;
        return replacementCharacter;
    }
    i += extra + 1;
    return codePoint;
}

class RtfOutput {
public:
    std::string out;

    // A control word; literal text after it needs a space as delimiter.
    void word(std::string_view name)
    {
        out += name;
        pendingDelimiter = true;
    }
    void word(std::string_view name, int parameter)
    {
        out += name;
        appendNumber(parameter);
        pendingDelimiter = true;
    }
    // Bytes that end any control word before them (a control symbol, a
    // line break).
    void raw(std::string_view bytes)
    {
        out += bytes;
        pendingDelimiter = false;
    }
    void literal(char c)
    {
        if (pendingDelimiter)
            out += ' ';
        pendingDelimiter = false;
        out += c;
    }

    // UTF-8 text as RTF text; `inFontTable` also escapes ";", which ends a
    // font name there.
    void text(std::string_view utf8, bool inFontTable)
    {
        std::size_t i = 0;
        while (i < utf8.size()) {
            const char32_t c = nextCodePoint(utf8, i);
            if (c == '\t') {
                word("\\tab");
            } else if (c < 0x20 || c == 0x7F) {
                // Control characters have no place in a report line.
            } else if (c == '\\' || c == '{' || c == '}') {
                const char symbol[2] = {'\\', static_cast<char>(c)};
                raw({symbol, 2});
            } else if (c == '<' || (c == ';' && inFontTable)) {
                hexByte(static_cast<unsigned char>(c));
            } else if (c < 0x80) {
                literal(static_cast<char>(c));
            } else if (const auto byte = unicodeToCp1252(c)) {
                hexByte(*byte);
            } else if (c > 0xFFFF) {
                const char32_t offset = c - 0x10000;
                unicodeUnit(0xD800 + (offset >> 10));
                unicodeUnit(0xDC00 + (offset & 0x3FF));
            } else {
                unicodeUnit(c);
            }
        }
    }

private:
    bool pendingDelimiter = false;

    void appendNumber(int value)
    {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        out.append(digits, result.ptr);
    }
    void hexByte(unsigned char byte)
    {
        static constexpr char hexDigits[] = "0123456789abcdef";
        const char escaped[4] = {'\\', '\'', hexDigits[byte >> 4], hexDigits[byte & 0xF]};
        raw({escaped, 4});
    }
    // \uN with N as a signed 16-bit number, then "?" for readers that skip
    // the one fallback character \uc1 announces.
    void unicodeUnit(char32_t unit)
    {
        out += "\\u";
        appendNumber(unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
        raw("?");
    }
};

// The character format as written: the font's number in the font table and
// the size in half-points.
struct WrittenFormat {
    int font = -1;
    int halfPoints = -1;
    bool bold = false;
    bool italic = false;
};

} // namespace

std::string writeRtf(const ReportDocument& document)
{
    // The font table: distinct names in order of first use by text or by a
    // paragraph mark.
    std::vector<std::string_view> fontNames;
    std::unordered_map<std::string_view, int> fontNumbers;
    const auto addFont = [&](const std::string& name) {
        if (fontNumbers.emplace(name, static_cast<int>(fontNames.size())).second)
            fontNames.push_back(name);
    };
    std::size_t textSize = 0;
    for (const Paragraph& paragraph : document.paragraphs) {
        for (const TextRun& run : paragraph.runs) {
            if (!run.text.empty())
                addFont(run.format.fontName);
            textSize += run.text.size();
        }
        addFont(paragraph.endFormat.fontName);
    }
    const CharFormat defaultFormat;
    if (fontNames.empty())
        fontNames.push_back(defaultFormat.fontName);

    RtfOutput rtf;
    rtf.out.reserve(256 + textSize + textSize / 8 + document.paragraphs.size() * 16);
    rtf.raw("{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang2057{\\fonttbl");
    for (std::size_t n = 0; n < fontNames.size(); ++n) {
        rtf.raw("{");
        rtf.word("\\f", static_cast<int>(n));
        rtf.word("\\fnil\\fcharset0");
        rtf.text(fontNames[n], true);
        rtf.literal(';');
        rtf.raw("}");
    }
    rtf.raw("}\r\n{\\*\\generator zxexam;}");
    rtf.word("\\viewkind4\\uc1");
    rtf.raw(" \r\n");

    WrittenFormat written;
    const auto writeFormat = [&](const CharFormat& format) {
        const int font = fontNumbers.at(format.fontName);
        const int halfPoints = 2 * std::clamp(format.pointSize, smallestPointSize, largestPointSize);
        if (format.bold != written.bold)
            rtf.word(format.bold ? "\\b" : "\\b0");
        if (format.italic != written.italic)
            rtf.word(format.italic ? "\\i" : "\\i0");
        if (font != written.font)
            rtf.word("\\f", font);
        if (halfPoints != written.halfPoints)
            rtf.word("\\fs", halfPoints);
        written = {font, halfPoints, format.bold, format.italic};
    };

    bool first = true;
    Alignment alignment = Alignment::Left;
    for (const Paragraph& paragraph : document.paragraphs) {
        if (first || paragraph.alignment != alignment) {
            rtf.word("\\pard");
            switch (paragraph.alignment) {
            case Alignment::Left: break;
            case Alignment::Centre: rtf.word("\\qc"); break;
            case Alignment::Right: rtf.word("\\qr"); break;
            case Alignment::Justify: rtf.word("\\qj"); break;
            }
            alignment = paragraph.alignment;
            first = false;
        }
        for (const TextRun& run : paragraph.runs) {
            if (run.text.empty())
                continue;
            writeFormat(run.format);
            rtf.text(run.text, false);
        }
        writeFormat(paragraph.endFormat);
        rtf.word("\\par");
        rtf.raw("\r\n");
    }
    rtf.raw("}\r\n");
    return std::move(rtf.out);
}

} // namespace zx
