// The substitution tables behind stored files: the 94-character base
// alphabet, 95 substitution alphabets (key table entries 35 to 129) and the
// 35 file keys (entries 0 to 34, a grid of 7 columns by 5 rows), with the
// start-up step applied once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zx {

class SubstitutionTables {
public:
    static constexpr int alphabetLength = 94;
    static constexpr int keyTableSize = 130;
    static constexpr int firstAlphabetEntry = 35;
    static constexpr int fileKeyCount = 35;
    static constexpr int columns = 7;

    // The tables of this run, built on first use.
    static const SubstitutionTables& instance();

    const std::string& baseAlphabet() const { return m_base; }
    // Key table entry 0..129 after the start-up step.
    const std::string& entry(int index) const { return m_entries[static_cast<std::size_t>(index)]; }
    // File key of a column (0..6) and row (0..4): entry column + 7 * row.
    const std::string& fileKey(int column, int row) const { return entry(column + columns * row); }

    // Alphabet index 0..94 selected by a key byte (0 when not in the base).
    std::uint8_t alphabetOfKeyByte(unsigned char keyByte) const { return m_keyAlphabet[keyByte]; }
    // Byte maps of one alphabet: identity outside the base alphabet.
    const std::uint8_t* forwardMap(int alphabet) const { return m_forward[static_cast<std::size_t>(alphabet)].data(); }
    const std::uint8_t* backwardMap(int alphabet) const { return m_backward[static_cast<std::size_t>(alphabet)].data(); }
    // All forward (backward) maps one after the other: alphabet a starts at
    // a * 256.
    const std::uint8_t* forwardMaps() const { return m_forward[0].data(); }
    const std::uint8_t* backwardMaps() const { return m_backward[0].data(); }

    // The raw generated data (before the start-up step), for the checks.
    static std::string_view storedBaseAlphabet();
    static std::string_view storedEntry(int index);
    static std::string_view startupKey();

private:
    SubstitutionTables();

    std::string m_base;
    std::array<std::string, keyTableSize> m_entries;
    std::array<std::uint8_t, 256> m_keyAlphabet{};
    std::array<std::array<std::uint8_t, 256>, keyTableSize - firstAlphabetEntry> m_forward{};
    std::array<std::array<std::uint8_t, 256>, keyTableSize - firstAlphabetEntry> m_backward{};
};

// Forward or backward running-key substitution with the given tables
// (what substituteForward and substituteBackward do with this run's tables).
std::string substituteWith(const SubstitutionTables& tables, std::string_view text, std::string_view key,
                           bool forward);

} // namespace zx
