#include "results/core/rtf_reader.h"

#include "tagtext/cp1252.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

namespace zx {

namespace {

constexpr std::size_t maxGroupDepth = 1000;
constexpr long long largestParameter = 2147483647;
constexpr int defaultPointSize = 12;
constexpr int smallestPointSize = 1;
constexpr int largestPointSize = 1638;
// Every paragraph and run costs about a hundred bytes however short its
// source (four bytes make a "\\par"), and every run holds its font's name:
// reading stops after this many paragraphs and runs together (a detailed
// report of 500 questions has about 60 000), and font names are cut, so
// that hostile input cannot take memory out of all proportion.
constexpr std::size_t maxElements = 1'000'000;
constexpr std::size_t maxFontNameBytes = 127;
constexpr char32_t replacementCharacter = 0xFFFD;

std::size_t utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

bool isControlCharacter(char32_t c)
{
    return (c < 0x20 && c != '\t') || c == 0x7F;
}

enum class Action : unsigned char {
    Bold,
    Italic,
    Hidden,
    Font,
    FontSize,
    Plain,
    Pard,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustify,
    ParagraphEnd,
    Character,
    Unicode,
    UnicodeSkip,
    Binary,
    DefaultFont,
    FontTable,
    SkipGroup,
};

struct Keyword {
    std::string_view name;
    Action action;
    char32_t character = 0;
};

// Sorted by name.  The destinations listed as SkipGroup are the ones older
// writers put in groups without \*.
constexpr std::array keywords{
    Keyword{"aftnsep", Action::SkipGroup},
    Keyword{"aftnsepc", Action::SkipGroup},
    Keyword{"annotation", Action::SkipGroup},
    Keyword{"b", Action::Bold},
    Keyword{"bin", Action::Binary},
    Keyword{"bullet", Action::Character, 0x2022},
    Keyword{"cell", Action::Character, '\t'},
    Keyword{"colortbl", Action::SkipGroup},
    Keyword{"deff", Action::DefaultFont},
    Keyword{"emdash", Action::Character, 0x2014},
    Keyword{"emspace", Action::Character, 0x2003},
    Keyword{"endash", Action::Character, 0x2013},
    Keyword{"enspace", Action::Character, 0x2002},
    Keyword{"f", Action::Font},
    Keyword{"filetbl", Action::SkipGroup},
    Keyword{"fldinst", Action::SkipGroup},
    Keyword{"fonttbl", Action::FontTable},
    Keyword{"footer", Action::SkipGroup},
    Keyword{"footerf", Action::SkipGroup},
    Keyword{"footerl", Action::SkipGroup},
    Keyword{"footerr", Action::SkipGroup},
    Keyword{"footnote", Action::SkipGroup},
    Keyword{"fs", Action::FontSize},
    Keyword{"ftnsep", Action::SkipGroup},
    Keyword{"ftnsepc", Action::SkipGroup},
    Keyword{"header", Action::SkipGroup},
    Keyword{"headerf", Action::SkipGroup},
    Keyword{"headerl", Action::SkipGroup},
    Keyword{"headerr", Action::SkipGroup},
    Keyword{"i", Action::Italic},
    Keyword{"info", Action::SkipGroup},
    Keyword{"ldblquote", Action::Character, 0x201C},
    Keyword{"line", Action::ParagraphEnd},
    Keyword{"listoverridetable", Action::SkipGroup},
    Keyword{"listtable", Action::SkipGroup},
    Keyword{"lquote", Action::Character, 0x2018},
    Keyword{"ltrmark", Action::Character, 0x200E},
    Keyword{"nestcell", Action::Character, '\t'},
    Keyword{"nestrow", Action::ParagraphEnd},
    Keyword{"nonshppict", Action::SkipGroup},
    Keyword{"object", Action::SkipGroup},
    Keyword{"par", Action::ParagraphEnd},
    Keyword{"pard", Action::Pard},
    Keyword{"pict", Action::SkipGroup},
    Keyword{"plain", Action::Plain},
    Keyword{"pntxta", Action::SkipGroup},
    Keyword{"pntxtb", Action::SkipGroup},
    Keyword{"qc", Action::AlignCentre},
    Keyword{"qd", Action::AlignJustify},
    Keyword{"qj", Action::AlignJustify},
    Keyword{"ql", Action::AlignLeft},
    Keyword{"qmspace", Action::Character, 0x2005},
    Keyword{"qr", Action::AlignRight},
    Keyword{"rdblquote", Action::Character, 0x201D},
    Keyword{"revtbl", Action::SkipGroup},
    Keyword{"row", Action::ParagraphEnd},
    Keyword{"rquote", Action::Character, 0x2019},
    Keyword{"rsidtbl", Action::SkipGroup},
    Keyword{"rtlmark", Action::Character, 0x200F},
    Keyword{"stylesheet", Action::SkipGroup},
    Keyword{"tab", Action::Character, '\t'},
    Keyword{"tc", Action::SkipGroup},
    Keyword{"txe", Action::SkipGroup},
    Keyword{"u", Action::Unicode},
    Keyword{"uc", Action::UnicodeSkip},
    Keyword{"userprops", Action::SkipGroup},
    Keyword{"v", Action::Hidden},
    Keyword{"xe", Action::SkipGroup},
    Keyword{"zwj", Action::Character, 0x200D},
    Keyword{"zwnj", Action::Character, 0x200C},
};

constexpr bool byName(const Keyword& a, const Keyword& b) { return a.name < b.name; }
static_assert(std::is_sorted(keywords.begin(), keywords.end(), byName));

const Keyword* findKeyword(std::string_view name)
{
    const auto found = std::lower_bound(keywords.begin(), keywords.end(), Keyword{name, Action::Bold}, byName);
    return found != keywords.end() && found->name == name ? &*found : nullptr;
}

enum class Destination : unsigned char { Text, FontTable, Skip };

// What a group saves and its closing brace restores.
struct GroupState {
    int font = -1; // number in the font table; -1 the default font
    int points = defaultPointSize;
    bool bold = false;
    bool italic = false;
    bool hidden = false;
    Alignment alignment = Alignment::Left;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;

    bool sameCharacterFormat(const GroupState& other) const
    {
        return font == other.font && points == other.points && bold == other.bold && italic == other.italic;
    }
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isPlainTextByte(char c) { return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class RtfParser {
public:
    explicit RtfParser(std::string_view input) : in(input) {}

    // Reads from the "{" that opens the document.
    RtfReadResult read(std::size_t start)
    {
        pos = start;
        while (pos < in.size() && !done) {
            const char c = in[pos++];
            switch (c) {
            case '{': openGroup(); break;
            case '}': closeGroup(); break;
            case '\\': control(); break;
            case '\r':
            case '\n':
            case '\0': break;
            default:
                --pos;
                text();
                break;
            }
        }
        finishDocument();
        result.isRtf = true;
        return std::move(result);
    }

private:
    std::string_view in;
    std::size_t pos = 0;
    bool done = false;
    RtfReadResult result;

    std::vector<GroupState> groups; // the innermost last
    std::size_t ignoredGroups = 0;  // open groups beyond maxGroupDepth
    int fallbackToSkip = 0;         // characters of the \uN fallback still to skip
    char32_t highSurrogate = 0;     // first half of a \uN pair

    int defaultFont = 0;
    std::map<int, std::string> fonts;
    bool fontEntryOpen = false;
    int fontEntryNumber = 0;
    std::string fontEntryName;

    Paragraph paragraph;
    GroupState lastRunFormat; // valid while the paragraph has runs
    std::size_t elements = 0; // paragraphs and runs made so far

    GroupState& state() { return groups.back(); }

    Destination destination() const
    {
        return ignoredGroups > 0 || groups.empty() ? Destination::Skip : groups.back().destination;
    }

    // ---------------------------------------------------------- structure

    void openGroup()
    {
        fallbackToSkip = 0;
        if (ignoredGroups > 0 || groups.size() >= maxGroupDepth) {
            ++ignoredGroups;
            return;
        }
        const GroupState inherited = groups.empty() ? GroupState{} : groups.back();
        groups.push_back(inherited);
    }

    void closeGroup()
    {
        fallbackToSkip = 0;
        if (ignoredGroups > 0) {
            --ignoredGroups;
            return;
        }
        if (groups.size() <= 1) {
            // The outermost group keeps its state for the last paragraph.
            done = true;
            result.complete = true;
            return;
        }
        if (groups.back().destination == Destination::FontTable)
            finishFontEntry();
        groups.pop_back();
    }

    // Whether the next character is part of a \uN fallback (and so skipped).
    bool skipAsFallback()
    {
        if (fallbackToSkip == 0)
            return false;
        --fallbackToSkip;
        return true;
    }

    // ---------------------------------------------------------- tokens

    // Literal bytes: a stretch of printable ASCII goes into the current run
    // at once when nothing is pending; anything else byte by byte.
    void text()
    {
        if (fallbackToSkip == 0 && highSurrogate == 0 && destination() == Destination::Text && !state().hidden) {
            std::size_t end = pos;
            while (end < in.size() && isPlainTextByte(in[end]))
                ++end;
            if (end > pos) {
                currentRun().append(in.substr(pos, end - pos));
                pos = end;
                return;
            }
        }
        literal(in[pos++]);
    }

    void literal(char c)
    {
        if (skipAsFallback())
            return;
        if (c == ';' && destination() == Destination::FontTable) {
            finishFontEntry();
            return;
        }
        emit(cp1252ToUnicode(static_cast<unsigned char>(c)));
    }

    void control()
    {
        if (pos >= in.size())
            return;
        const char c = in[pos];
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos < in.size() && hexValue(in[pos]) >= 0) {
                value = value * 16 + hexValue(in[pos++]);
                ++digits;
            }
            if (skipAsFallback() || digits == 0)
                return;
            emit(cp1252ToUnicode(static_cast<unsigned char>(value)));
            return;
        }
        if (skipAsFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}': emit(static_cast<unsigned char>(c)); break;
        case '~': emit(0x00A0); break;
        case '_': emit('-'); break;
        case '*':
            if (groups.size() >= 2 && destination() != Destination::Skip)
                state().destination = Destination::Skip;
            break;
        case '\r':
        case '\n':
            if (destination() == Destination::Text)
                endParagraph();
            break;
        default: break; // \- (optional hyphen), \: and the rest
        }
    }

    void controlWord()
    {
        const std::size_t nameStart = pos;
        while (pos < in.size() && isLetter(in[pos]))
            ++pos;
        const std::string_view name = in.substr(nameStart, pos - nameStart);

        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (pos + 1 < in.size() && in[pos] == '-' && isDigit(in[pos + 1])) {
            negative = true;
            ++pos;
        }
        while (pos < in.size() && isDigit(in[pos])) {
            hasParameter = true;
            parameter = std::min(largestParameter, parameter * 10 + (in[pos++] - '0'));
        }
        if (negative)
            parameter = -parameter;
        if (pos < in.size() && in[pos] == ' ')
            ++pos;

        const Keyword* keyword = findKeyword(name);
        if (keyword && keyword->action == Action::Binary && parameter > 0) {
            // \binN: N bytes of binary data, skipped wherever they are.
            pos += static_cast<std::size_t>(std::min<long long>(parameter, static_cast<long long>(in.size() - pos)));
        }
        if (skipAsFallback())
            return;
        if (keyword)
            apply(*keyword, hasParameter, static_cast<int>(parameter));
    }

    void apply(const Keyword& keyword, bool hasParameter, int parameter)
    {
        const Destination where = destination();
        if (where == Destination::Skip)
            return;
        GroupState& s = state();
        const bool on = !hasParameter || parameter != 0;
        switch (keyword.action) {
        case Action::SkipGroup:
            if (groups.size() >= 2)
                s.destination = Destination::Skip;
            return;
        case Action::FontTable:
            if (groups.size() >= 2)
                s.destination = Destination::FontTable;
            return;
        case Action::UnicodeSkip: s.unicodeSkip = hasParameter ? std::max(parameter, 0) : 1; return;
        case Action::Unicode:
            if (hasParameter) {
                unicodeUnit(parameter);
                fallbackToSkip = s.unicodeSkip;
            }
            return;
        case Action::Character: emit(keyword.character); return;
        case Action::Font:
            if (where == Destination::FontTable)
                beginFontEntry(hasParameter ? parameter : 0);
            else
                s.font = hasParameter ? parameter : -1;
            return;
        default: break;
        }
        if (where != Destination::Text)
            return;
        switch (keyword.action) {
        case Action::Bold: s.bold = on; break;
        case Action::Italic: s.italic = on; break;
        case Action::Hidden: s.hidden = on; break;
        case Action::FontSize:
            if (!hasParameter)
                s.points = defaultPointSize;
            else if (parameter > 0)
                s.points = std::clamp((std::min(parameter, 2 * largestPointSize) + 1) / 2, smallestPointSize,
                                      largestPointSize);
            break;
        case Action::Plain:
            s.font = -1;
            s.points = defaultPointSize;
            s.bold = s.italic = s.hidden = false;
            break;
        case Action::Pard:
        case Action::AlignLeft: s.alignment = Alignment::Left; break;
        case Action::AlignCentre: s.alignment = Alignment::Centre; break;
        case Action::AlignRight: s.alignment = Alignment::Right; break;
        case Action::AlignJustify: s.alignment = Alignment::Justify; break;
        case Action::ParagraphEnd: endParagraph(); break;
        case Action::DefaultFont:
            if (hasParameter)
                defaultFont = parameter;
            break;
        default: break;
        }
    }

    // ---------------------------------------------------------- characters

    // One \uN: a UTF-16 unit (N signed), or a code point written whole.
    void unicodeUnit(int parameter)
    {
        long long unit = parameter;
        if (unit < 0)
            unit += 0x10000;
        if (unit < 0 || unit > 0x10FFFF) {
            emit(replacementCharacter);
        } else if (unit >= 0xD800 && unit <= 0xDBFF) {
            flushSurrogate();
            highSurrogate = static_cast<char32_t>(unit);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (highSurrogate != 0) {
                const char32_t joined = 0x10000 + ((highSurrogate - 0xD800) << 10) + (static_cast<char32_t>(unit) - 0xDC00);
                highSurrogate = 0;
                emit(joined);
            } else {
                emit(replacementCharacter);
            }
        } else {
            emit(static_cast<char32_t>(unit));
        }
    }

    void flushSurrogate()
    {
        if (highSurrogate == 0)
            return;
        highSurrogate = 0;
        emit(replacementCharacter);
    }

    void emit(char32_t c)
    {
        flushSurrogate();
        if (isControlCharacter(c))
            return;
        switch (destination()) {
        case Destination::Text:
            if (!state().hidden)
                appendUtf8(currentRun(), c);
            return;
        case Destination::FontTable:
            if (fontEntryOpen && fontEntryName.size() + utf8Length(c) <= maxFontNameBytes)
                appendUtf8(fontEntryName, c);
            return;
        case Destination::Skip: return;
        }
    }

    // The text of the paragraph's last run, a new run when the format has
    // changed since.
    std::string& currentRun()
    {
        const GroupState& s = state();
        if (paragraph.runs.empty() || !s.sameCharacterFormat(lastRunFormat)) {
            paragraph.runs.push_back({std::string(), characterFormat(s)});
            lastRunFormat = s;
            countElement();
        }
        return paragraph.runs.back().text;
    }

    // ---------------------------------------------------------- fonts

    void beginFontEntry(int number)
    {
        if (fontEntryOpen && !fontEntryName.empty())
            finishFontEntry();
        fontEntryOpen = true;
        fontEntryNumber = number;
        fontEntryName.clear();
    }

    void finishFontEntry()
    {
        if (fontEntryOpen)
            fonts.emplace(fontEntryNumber, fontEntryName);
        fontEntryOpen = false;
        fontEntryName.clear();
    }

    std::string fontName(int number) const
    {
        auto found = fonts.find(number < 0 ? defaultFont : number);
        if (found == fonts.end())
            found = fonts.find(defaultFont);
        return found != fonts.end() ? found->second : CharFormat{}.fontName;
    }

    CharFormat characterFormat(const GroupState& s) const
    {
        return {fontName(s.font), s.points, s.bold, s.italic};
    }

    // ---------------------------------------------------------- paragraphs

    void endParagraph()
    {
        flushSurrogate();
        paragraph.alignment = state().alignment;
        paragraph.endFormat = characterFormat(state());
        result.document.paragraphs.push_back(std::move(paragraph));
        paragraph = Paragraph{};
        countElement();
    }

    void countElement()
    {
        if (++elements >= maxElements)
            done = true; // not complete: the rest is not read
    }

    void finishDocument()
    {
        if (groups.empty())
            return;
        flushSurrogate();
        if (!paragraph.runs.empty())
            endParagraph();
    }
};

ReportDocument readPlainText(std::string_view text)
{
    ReportDocument document;
    Paragraph line;
    line.alignment = Alignment::Left;
    const auto endLine = [&] {
        document.paragraphs.push_back(std::move(line));
        line = Paragraph{};
        line.alignment = Alignment::Left;
    };
    for (std::size_t i = 0; i < text.size() && document.paragraphs.size() < maxElements; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endLine();
            continue;
        }
        const char32_t code = cp1252ToUnicode(static_cast<unsigned char>(c));
        if (isControlCharacter(code))
            continue;
        if (line.runs.empty())
            line.runs.emplace_back();
        appendUtf8(line.runs.back().text, code);
    }
    if (!line.runs.empty())
        endLine();
    return document;
}

} // namespace

RtfReadResult readRtfDocument(std::string_view input)
{
    std::size_t start = 0;
    while (start < input.size() &&
           (input[start] == ' ' || input[start] == '\t' || input[start] == '\r' || input[start] == '\n'))
        ++start;
    if (input.substr(start, 5) != "{\\rtf") {
        RtfReadResult result;
        result.document = readPlainText(input);
        return result;
    }
    return RtfParser(input).read(start);
}

ReportDocument readRtf(std::string_view rtf)
{
    return readRtfDocument(rtf).document;
}

} // namespace zx
