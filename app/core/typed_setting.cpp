#include "app/core/typed_setting.h"

namespace zx {

bool settingBoolean(const std::optional<std::string>& stored, bool defaultValue)
{
    if (!stored)
        return defaultValue;
    std::string_view text = *stored;
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty() || text.size() > 18)
        return defaultValue;
    bool nonZero = false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return defaultValue;
        nonZero = nonZero || c != '0';
    }
    return nonZero;
}

std::string settingBooleanText(bool value)
{
    return value ? "1" : "0";
}

} // namespace zx
