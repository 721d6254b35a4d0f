// Windows-1252, the byte encoding of all tagged text, and the conversions
// to Unicode that widgets need.  The whole range 0x80-0x9F is mapped; the
// five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to U+0081 etc.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zx {

char32_t cp1252ToUnicode(unsigned char byte);
// The byte for a code point, or nothing when Windows-1252 has none.
std::optional<unsigned char> unicodeToCp1252(char32_t codePoint);

// Appends the UTF-8 form of a code point (up to U+10FFFF).
void appendUtf8(std::string& out, char32_t codePoint);

std::u32string cp1252ToUtf32(std::string_view bytes);
std::string cp1252ToUtf8(std::string_view bytes);
// The code points of UTF-8 text; every byte of an invalid sequence (an
// overlong form, a surrogate, a value above U+10FFFF, a stray or cut byte)
// becomes one U+FFFD.
std::u32string utf8ToUtf32(std::string_view utf8);
// Code points without a byte become `replacement`; invalid UTF-8 sequences
// count as one such code point per byte.
std::string utf8ToCp1252(std::string_view utf8, char replacement = '?');

// Lower case of typed answers: A-Z, the accented capitals 0xC0-0xDE except
// 0xD7 (the multiplication sign), and the capitals of 0x8A, 0x8C, 0x8E, 0x9F.
unsigned char lowerCp1252(unsigned char byte);
std::string lowerCp1252(std::string_view text);

} // namespace zx
