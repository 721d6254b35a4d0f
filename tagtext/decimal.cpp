#include "tagtext/decimal.h"

#include "tagtext/tagged_text.h"

#include <string>

namespace zx {

Decimal parseDecimal(std::string_view text)
{
    if (text.empty())
        return decimalInvalid;
    // Leading zeros of the text, at most 19, but never the last one of "0".
    for (int i = 0; i < 19 && !text.empty() && text[0] == '0' && text != "0"; ++i)
        text.remove_prefix(1);

    std::string kept;
    bool hasPoint = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            kept += c;
        } else if (c == '-') {
            if (kept.empty())
                kept += c;
        } else if (c == '.') {
            if (!hasPoint) {
                kept += c;
                hasPoint = true;
            }
        }
        if (kept.size() > 18)
            return decimalInvalid;
    }
    if (!hasPoint)
        kept += '.';
    kept += "000000000000";
    const std::size_t point = kept.find('.');
    kept.resize(point + 13);
    kept.erase(point, 1);

    std::string_view digits = kept;
    for (int i = 0; i < 19; ++i) {
        if (digits.empty())
            return decimalInvalid;
        if (digits[0] != '0')
            break;
        if (digits == "0")
            return 0;
        digits.remove_prefix(1);
    }
    if (digits.empty())
        return decimalInvalid;
    long long value = 0;
    if (digits[0] == '+' || !parseIntStrict(digits, value))
        return decimalInvalid;
    return value;
}

Decimal getTagDecimal(std::string_view record, std::string_view key)
{
    return parseDecimal(getTag(record, key));
}

} // namespace zx
