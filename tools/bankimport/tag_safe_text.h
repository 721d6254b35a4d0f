// Imported text made safe for tagged records: Windows-1252 bytes with the
// closest plain form of characters that have none, and no "<" that could be
// read as a mark.
#pragma once

#include <string>

namespace zx::import {

// UTF-8 text as Windows-1252 for a tagged record: characters without a
// byte become their closest form or "?", and every "<" that could open a
// mark becomes "‹", so no text can cut a record apart.  `lossy` tells
// whether characters were replaced.
std::string tagSafeText(const std::string& utf8, bool* lossy = nullptr);
// The same for the UTF-8 key of texts that lost characters.
std::string tagSafeUtf8(const std::string& utf8);

} // namespace zx::import
