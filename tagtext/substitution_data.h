// The generated substitution data of stored files (see
// tools/gen_substitution_tables.py).  Strings without zero bytes.
#pragma once

namespace zx::substitution_data {

extern const char* const baseAlphabet;        // 94 characters
extern const char* const startupKey;          // 114 characters
extern const char* const keyTable[130];       // file keys 0-34, alphabets 35-129

} // namespace zx::substitution_data
