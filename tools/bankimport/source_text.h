// Helpers shared by the readers: the bytes of a text source as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace zx::import {

// The text as UTF-8: a byte order mark is dropped; bytes that are no valid
// UTF-8 are read as Windows-1252 (older exports).  Zero bytes are dropped.
std::string sourceToUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);

// Reads a share such as "50", "-33.333" (percent) or "0.5" (fraction)
// given as a fraction of 1; nothing when the text is no number.
bool parseNumber(std::string_view text, double& value);

// Base64 (white space ignored); false on any other character.
bool decodeBase64(std::string_view text, std::string& bytes);

// A-Z as a-z, other bytes as they are.
std::string asciiLower(std::string text);

// "%20" and the like decoded (for picture paths in HTML).
std::string urlDecode(std::string_view text);

// A category path of a source as the bank names it: "$course$/top/A/B"
// gives "A/B"; "top" alone gives "".
std::string categoryName(std::string_view path);

} // namespace zx::import
