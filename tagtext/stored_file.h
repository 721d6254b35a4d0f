// Stored files: every file of the system is tagged text; all but ".txt"
// files are stored scrambled in two substitution layers.  On disk a
// scrambled file is 317 bytes longer than its content (17-byte marker and
// 300-byte per-file key inside the outer layer).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zx {

inline constexpr std::string_view storedFileMarker = "zx5676fgverfile01";
inline constexpr std::size_t perFileKeyLength = 300;
inline constexpr std::size_t storedFileOverhead = 317; // marker + per-file key

// Column of the substitution key grid from the lower-cased extension:
// ".zxl" 1, ".zxs" 2, ".zxb" 3, ".zxr" 4, ".zxc" 5, anything else 0.
int storedFileColumn(std::string_view path);
// ".txt" files (any case) are plain and never scrambled.
bool isPlainTextPath(std::string_view path);
// Lower-cased extension with its dot ("" when the name has none).
std::string lowerExtension(std::string_view path);

// Running-key substitution over the base alphabet.  Characters outside it
// are left alone; an empty key leaves the text unchanged.
std::string substituteForward(std::string_view text, std::string_view key);
std::string substituteBackward(std::string_view text, std::string_view key);

// Source of random numbers for the per-file key and the outer key choice.
using RandomSource = std::function<std::uint32_t()>;
// A generator seeded from the clock and the system's entropy.
RandomSource clockSeededRandom();

// Scrambles content for the file-type column.  The two-argument form draws
// from a generator seeded from the clock and the system's entropy.
std::string scrambleText(std::string_view content, int column);
std::string scrambleText(std::string_view content, int column, const RandomSource& random);
// Reverse of scrambleText.  A text that is no stored text gives unreadable
// (or, when shorter than 317 bytes, empty) content; never throws.
std::string unscrambleText(std::string_view stored, int column);

// Writes content (scrambled unless ".txt") to path through a temporary
// file in the same folder that is renamed over the target, so an earlier
// file survives any failure.  True when the new file is in place.
bool writeStoredFile(std::string_view content, const std::string& path);
bool writeStoredFile(std::string_view content, const std::string& path, const RandomSource& random);
// The same, giving the system's reason in `error` when the file could not
// be written.
bool writeStoredFile(std::string_view content, const std::string& path, const RandomSource& random,
                     std::string* error);
// Reads the whole file, keeps the bytes before the first zero byte and
// unscrambles them unless ".txt".  A missing or unreadable file gives "".
std::string readStoredFile(const std::string& path);
// The same for a file of at most `maxBytes`; a larger file is not read
// (nullopt), so a wrong or hostile file cannot take the memory.
std::optional<std::string> readStoredFile(const std::string& path, std::uintmax_t maxBytes);

// Header check before a picture, sound or video file is used: false only
// when the file opens and its first bytes do not fit its extension.
bool mediaHeaderMatches(const std::string& path);

// The name to use, relative to the bank's folder, for a file name stored
// (with "\" separators) in a results file.
std::string locateRelativeFile(const std::string& bankPath, const std::string& storedName);

} // namespace zx
