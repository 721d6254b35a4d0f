// Tagged text: "<key>value</key>" elements in single-byte (Windows-1252)
// strings.  The operations are plain searches with fixed rules: the first
// open mark and the first close mark of a key win, nothing is escaped, and
// nothing here ever fails or throws.
#pragma once

#include <string>
#include <string_view>

namespace zx {

// Removes the characters with codes 0 to 32 at both ends.
std::string trimText(std::string_view text);

// text.find(pattern, from), many times faster on tagged text, where "<" is
// everywhere (the library's find stops at every first character).
std::size_t findText(std::string_view text, std::string_view pattern, std::size_t from = 0);

// The value between the first "<key>" and the first "</key>", exactly as
// stored; empty when either mark is missing or the close mark comes first.
std::string getTag(std::string_view text, std::string_view key);

// getTag converted as a decimal integer with an optional sign; an empty
// value, any other character or a value out of range gives `defaultValue`.
int getTagInt(std::string_view text, std::string_view key, int defaultValue);

// Removes the first element of `key` and the white space around it.
std::string deleteTag(std::string_view text, std::string_view key);

// Writes "<key>value</key> " at the front, after removing the first
// element of `key` that was there.
std::string setTag(std::string_view text, std::string_view key, std::string_view value);

// "<key>value</key>", nothing around it.
std::string makeElement(std::string_view key, std::string_view value);

// Keeps the characters of the plain set (letters, digits, space and
// !£$%&*()-+=][}{;:'@#~\|/?.,><_), folds repeated spaces and trims.
std::string filterPlainText(std::string_view text);

// Fixed-point hundredths: "12.345" -> 1234, "-1.5" -> -150.
int parseHundredths(std::string_view text);
// 1234 -> "12.34", 5 -> "0.05", -150 -> "-1.50".
std::string formatHundredths(int hundredths);
// formatHundredths with up to `zerosToDrop` trailing zeros dropped, then a
// trailing "." dropped: (1250, 2) -> "12.5", (1200, 2) -> "12".
std::string formatHundredthsTrimmed(int hundredths, int zerosToDrop);

// Line breaks of a text (CR LF, CR or LF) as single LF, as widgets and
// plain-text output want them.
std::string withLfBreaks(std::string_view text);

// Decimal integer conversion used by getTagInt: optional sign and digits
// only.  Returns false when the text is anything else or out of range.
bool parseIntStrict(std::string_view text, long long& value);

} // namespace zx
