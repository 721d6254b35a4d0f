#include "objects/core/typed_answer.h"

#include "tagtext/cp1252.h"
#include "tagtext/decimal.h"
#include "tagtext/tagged_text.h"

#include <array>
#include <climits>

namespace zx {

namespace {

constexpr std::string_view decimalCharacters = "-0123456789.";
constexpr std::string_view wholeCharacters = "-0123456789";
constexpr std::string_view textCharacters =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ !\xA3$%&*()-+=][}{;:'@#~|/?.,";

constexpr int acceptedAnswerSlots = 20;

std::string answerKey(int k) { return "FieldAnswer" + std::to_string(k); }

std::optional<Decimal> acceptedDecimal(std::string_view record, int k)
{
    const std::string value = getTag(record, answerKey(k));
    if (isNoTextMarker(value))
        return std::nullopt;
    const Decimal d = parseDecimal(value);
    if (d == decimalInvalid)
        return std::nullopt;
    return d;
}

std::optional<int> acceptedWhole(std::string_view record, int k)
{
    const std::string value = getTag(record, answerKey(k));
    if (isNoTextMarker(value))
        return std::nullopt;
    return parseWholeNumber(value);
}

template <typename T>
bool inRange(T v, T a, T b)
{
    return (a <= v && v <= b) || (b <= v && v <= a);
}

bool decimalCorrect(std::string_view record, std::string_view answer)
{
    const Decimal v = parseDecimal(answer);
    if (v == decimalInvalid)
        return false;
    if (getTagInt(record, "useRange", 0) == 1) {
        const auto r1 = acceptedDecimal(record, 1);
        const auto r2 = acceptedDecimal(record, 2);
        return r1 && r2 && inRange(v, *r1, *r2);
    }
    for (int k = 1; k <= acceptedAnswerSlots; ++k) {
        const auto a = acceptedDecimal(record, k);
        if (a && *a == v)
            return true;
    }
    return false;
}

bool wholeCorrect(std::string_view record, std::string_view answer)
{
    const auto v = parseWholeNumber(answer);
    if (!v)
        return false;
    if (getTagInt(record, "useRange", 0) == 1) {
        const auto r1 = acceptedWhole(record, 1);
        const auto r2 = acceptedWhole(record, 2);
        return r1 && r2 && inRange(*v, *r1, *r2);
    }
    for (int k = 1; k <= acceptedAnswerSlots; ++k) {
        const auto a = acceptedWhole(record, k);
        if (a && *a == *v)
            return true;
    }
    return false;
}

bool textCorrect(std::string_view record, std::string_view answer)
{
    const std::string lowered = lowerCp1252(answer);
    for (int k = 1; k <= acceptedAnswerSlots; ++k) {
        const std::string accepted = trimText(getTag(record, answerKey(k)));
        if (accepted.empty() || accepted == noTextMarker)
            continue;
        if (lowerCp1252(accepted) == lowered)
            return true;
    }
    return false;
}

} // namespace

FieldKind fieldKindFromRestriction(int editRestriction)
{
    switch (editRestriction) {
    case 1:
        return FieldKind::Decimal;
    case 2:
        return FieldKind::Whole;
    default:
        return FieldKind::Text;
    }
}

int fieldRestriction(std::string_view record) { return getTagInt(record, "editRestriction", 0); }

std::string_view allowedCharacters(int editRestriction)
{
    switch (fieldKindFromRestriction(editRestriction)) {
    case FieldKind::Decimal:
        return decimalCharacters;
    case FieldKind::Whole:
        return wholeCharacters;
    case FieldKind::Text:
        break;
    }
    return textCharacters;
}

bool isAllowedCharacter(int editRestriction, unsigned char c)
{
    return c != 0 && allowedCharacters(editRestriction).find(static_cast<char>(c)) != std::string_view::npos;
}

KeyVerdict filterTypedCharacter(int editRestriction, unsigned char c, std::string_view text, int caret)
{
    if (!isAllowedCharacter(editRestriction, c))
        return KeyVerdict::Ignored;
    if (c == '.' && fieldKindFromRestriction(editRestriction) == FieldKind::Decimal)
        return text.find('.') == std::string_view::npos ? KeyVerdict::Accepted : KeyVerdict::Refused;
    if (c == '-' && editRestriction != 0)
        return caret == 0 && text.find('-') == std::string_view::npos ? KeyVerdict::Accepted : KeyVerdict::Refused;
    return KeyVerdict::Accepted;
}

std::string normaliseAnswer(std::string_view typed)
{
    const std::string trimmed = trimText(typed);
    std::string result;
    result.reserve(trimmed.size());
    for (char c : trimmed) {
        if (c == ' ' && !result.empty() && result.back() == ' ')
            continue;
        result += c;
    }
    return result;
}

bool isNoTextMarker(std::string_view value) { return trimText(value) == noTextMarker; }

std::optional<int> parseWholeNumber(std::string_view text)
{
    long long value = 0;
    if (!parseIntStrict(text, value) || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

bool isTypedAnswerCorrect(std::string_view record, std::string_view normalisedAnswer)
{
    if (normalisedAnswer.empty())
        return false;
    switch (fieldKindFromRestriction(fieldRestriction(record))) {
    case FieldKind::Decimal:
        return decimalCorrect(record, normalisedAnswer);
    case FieldKind::Whole:
        return wholeCorrect(record, normalisedAnswer);
    case FieldKind::Text:
        break;
    }
    return textCorrect(record, normalisedAnswer);
}

std::string reportedAnswer(std::string_view record, std::string_view typed)
{
    const std::string a = normaliseAnswer(typed);
    switch (fieldKindFromRestriction(fieldRestriction(record))) {
    case FieldKind::Decimal:
        return a;
    case FieldKind::Whole:
        if (const auto v = parseWholeNumber(a))
            return std::to_string(*v);
        return a;
    case FieldKind::Text:
        break;
    }
    return lowerCp1252(a);
}

std::string expectedAnswerText(std::string_view record)
{
    // The range is shown for every restriction but 0, also for the free-text
    // values other than 0 that mark as text (harmless: Cheat shows what the
    // author typed into the two range slots).
    if (fieldRestriction(record) != 0 && getTagInt(record, "useRange", 0) == 1) {
        auto shown = [](std::string value) { return value == noTextMarker ? std::string("(nothing)") : value; };
        return shown(getTag(record, "FieldAnswer1")) + " to " + shown(getTag(record, "FieldAnswer2"));
    }
    for (int k = 1; k <= acceptedAnswerSlots; ++k) {
        std::string value = getTag(record, answerKey(k));
        if (value != noTextMarker)
            return value;
    }
    return {};
}

} // namespace zx
