#include "app/core/language_file.h"

#include "tagtext/tagged_text.h"

#include <climits>
#include <string_view>

// englishTexts[]: the bytes of "lang/English (UK).txt", written by the build
// (CMakeLists.txt), with a zero byte after them.
#include "english_texts.inc"

namespace zx {

namespace {

const std::string& emptyText()
{
    static const std::string empty;
    return empty;
}

// The first four characters as getTagInt reads a value: -1 when they are
// not a number.
int lineNumber(std::string_view line)
{
    long long value = 0;
    if (!parseIntStrict(line.substr(0, 4), value) || value < INT_MIN || value > INT_MAX)
        return -1;
    return static_cast<int>(value);
}

std::string expandBreaks(std::string_view line)
{
    static constexpr std::string_view marker = "#r#n";
    std::string out;
    out.reserve(line.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = line.find(marker, from);
        if (at == std::string_view::npos) {
            out.append(line.substr(from));
            return out;
        }
        out.append(line.substr(from, at - from));
        out.append("\r\n");
        from = at + marker.size();
    }
}

std::string_view trimView(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    return text.substr(b, e - b);
}

} // namespace

const std::string& LanguageTexts::message(int n) const
{
    if (n < 0 || n >= languageMessageCount)
        return emptyText();
    const std::string& text = messages[static_cast<std::size_t>(n)];
    if (text.empty() && n >= languageFirstOwnMessage)
        return builtInEnglishMessage(n);
    return text;
}

const std::string& builtInEnglishMessage(int n)
{
    static const LanguageTexts english = parseLanguageFile(
        std::string_view(reinterpret_cast<const char*>(englishTexts), sizeof englishTexts - 1));
    if (n < languageFirstOwnMessage || n >= languageMessageCount)
        return emptyText();
    return english.messages[static_cast<std::size_t>(n)];
}

const std::string& LanguageTexts::messageForKey(std::string_view key) const
{
    return message(messageNumberFromKey(key));
}

LanguageLine parseLanguageLine(std::string_view line)
{
    LanguageLine result;
    if (line.size() <= 5)
        return result;
    const int n = lineNumber(line);
    if (n >= languageMessageCount)
        return result;
    const std::string text = expandBreaks(line);
    if (n >= languageFirstMessage) {
        result.kind = LanguageLine::Kind::Message;
        result.number = n;
        result.text = text.substr(5);
        return result;
    }
    const std::size_t first = text.find(' ');
    if (first == std::string::npos)
        return result;
    const std::size_t second = text.find(' ', first + 1);
    if (second == std::string::npos)
        return result;
    result.kind = LanguageLine::Kind::FormText;
    result.formText.control = text.substr(0, first);
    result.formText.property = text.substr(first + 1, second - first - 1);
    result.formText.value = text.substr(second + 1);
    return result;
}

int hintEntryForProperty(std::string_view property)
{
    if (property.find("Hint") == std::string_view::npos)
        return -1;
    long long value = 0;
    const std::string_view rest = property.size() > 4 ? property.substr(4) : std::string_view{};
    if (!parseIntStrict(rest, value))
        value = 0;
    if (value < 0 || value >= languageHintCount)
        return -1;
    return static_cast<int>(value);
}

LanguageTexts parseLanguageFile(std::string_view content, const LanguageTexts& previous)
{
    LanguageTexts texts;
    texts.messages = previous.messages;
    texts.hints = previous.hints;

    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = content.size();
        const std::string_view line = content.substr(pos, end - pos);
        pos = end;
        if (pos < content.size()) {
            if (content[pos] == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n')
                pos += 2;
            else
                pos += 1;
        }

        LanguageLine parsed = parseLanguageLine(line);
        switch (parsed.kind) {
        case LanguageLine::Kind::Ignored:
            break;
        case LanguageLine::Kind::Message:
            texts.messages[static_cast<std::size_t>(parsed.number)] = std::move(parsed.text);
            break;
        case LanguageLine::Kind::FormText: {
            const int hint = hintEntryForProperty(parsed.formText.property);
            if (hint >= 0)
                texts.hints[static_cast<std::size_t>(hint)] = parsed.formText.value;
            texts.formTexts.push_back(std::move(parsed.formText));
            break;
        }
        }
    }
    return texts;
}

std::vector<std::string> splitComboItems(std::string_view value)
{
    std::vector<std::string> items;
    while (value.size() > 2) {
        std::size_t e = value.find('#');
        e = e == std::string_view::npos ? value.size() : e + 1;   // 1-based position
        items.emplace_back(value.substr(0, e - 1));
        value.remove_prefix(e);
    }
    return items;
}

std::vector<std::string> dialogNameFilters(std::string_view filter)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = filter.find('|', from);
        parts.emplace_back(filter.substr(from, bar == std::string_view::npos ? std::string_view::npos
                                                                              : bar - from));
        if (bar == std::string_view::npos)
            break;
        from = bar + 1;
    }
    std::vector<std::string> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        std::string_view rest = parts[i + 1];
        while (!rest.empty()) {
            const std::size_t semi = rest.find(';');
            const std::string_view one = trimView(rest.substr(0, semi));
            if (!one.empty()) {
                if (!patterns.empty())
                    patterns += ' ';
                patterns.append(one);
            }
            if (semi == std::string_view::npos)
                break;
            rest.remove_prefix(semi + 1);
        }
        if (patterns.empty())
            continue;
        std::string name(trimView(parts[i]));
        filters.push_back(name.empty() ? patterns : name + " (" + patterns + ")");
    }
    return filters;
}

std::string_view hintShortPart(std::string_view hint)
{
    return hint.substr(0, hint.find('|'));
}

std::string_view hintLongPart(std::string_view hint)
{
    const std::size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

std::string hintMessageKey(const std::array<std::string, languageHintCount>& hints,
                           std::string_view hint)
{
    const std::string_view h = hintLongPart(hint);
    if (h.size() < 2)
        return {};
    for (int i = 1; i < languageHintCount; ++i) {
        if (hints[static_cast<std::size_t>(i)] == h)
            return "Hint" + std::to_string(i);
    }
    return {};
}

int messageNumberFromKey(std::string_view key)
{
    if (key.size() < 2 || key.size() > 4 || key[0] != 'x')
        return -1;
    int n = 0;
    for (const char c : key.substr(1)) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n < languageMessageCount ? n : -1;
}


} // namespace zx
