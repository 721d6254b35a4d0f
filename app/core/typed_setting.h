// Reading user settings whose stored type matters.  The settings file keeps
// every value as text; a boolean counts only when it was stored as an
// integer, otherwise its default stays.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zx {

// stored is the value's text, or nothing when the value is missing.
// An integer (optional sign, digits only) gives value != 0; anything else,
// "true" included, gives the default.
bool settingBoolean(const std::optional<std::string>& stored, bool defaultValue);

// The text a boolean is stored as: "1" or "0".
std::string settingBooleanText(bool value);

} // namespace zx
