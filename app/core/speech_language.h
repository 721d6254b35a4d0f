// The language a page is read aloud in: the interface language, named by
// its language file ("English (UK)", "German"), as a locale name ("en_GB",
// "de_DE") that a speech engine can look a voice up by.
#pragma once

#include <string>
#include <string_view>

namespace zx {

// The locale of a language file's name: the known names in English or in
// their own language, with or without a country in brackets, in any case.
// Empty when the name is not known (the speech engine's default voice
// then reads).
std::string speechLocaleOf(std::string_view languageName);

} // namespace zx
