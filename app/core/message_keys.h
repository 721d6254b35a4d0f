// Message keys and the sound files that speak them.
#pragma once

#include <string>
#include <string_view>

namespace zx {

// A key names a sound file inside the sound folder only when it is a plain
// name: not empty, no folder separators, no zero byte, not "." or "..".
bool isPlainSoundKey(std::string_view key);

// The key of a message number: 104 -> "x104".
std::string messageKey(int number);

} // namespace zx
