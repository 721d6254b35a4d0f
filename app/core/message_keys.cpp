#include "app/core/message_keys.h"

namespace zx {

bool isPlainSoundKey(std::string_view key)
{
    if (key.empty() || key == "." || key == "..")
        return false;
    for (char c : key)
        if (c == '/' || c == '\\' || c == '\0')
            return false;
    return true;
}

std::string messageKey(int number)
{
    return "x" + std::to_string(number);
}

} // namespace zx
