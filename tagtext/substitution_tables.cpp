#include "tagtext/substitution_tables.h"

#include "tagtext/stored_file.h"
#include "tagtext/substitution_data.h"

namespace zx {

const SubstitutionTables& SubstitutionTables::instance()
{
    static const SubstitutionTables tables;
    return tables;
}

std::string_view SubstitutionTables::storedBaseAlphabet() { return substitution_data::baseAlphabet; }
std::string_view SubstitutionTables::storedEntry(int index) { return substitution_data::keyTable[index]; }
std::string_view SubstitutionTables::startupKey() { return substitution_data::startupKey; }

SubstitutionTables::SubstitutionTables()
    : m_base(substitution_data::baseAlphabet)
{
    for (int i = 0; i < keyTableSize; ++i)
        m_entries[static_cast<std::size_t>(i)] = substitution_data::keyTable[i];

    // Key byte -> alphabet: the byte at 1-based position p of the base
    // selects entry 35 + p; any other byte selects entry 35.
    m_keyAlphabet.fill(0);
    for (std::size_t p = 0; p < m_base.size(); ++p)
        m_keyAlphabet[static_cast<unsigned char>(m_base[p])] = static_cast<std::uint8_t>(p + 1);

    for (int a = 0; a < keyTableSize - firstAlphabetEntry; ++a) {
        auto& forward = m_forward[static_cast<std::size_t>(a)];
        auto& backward = m_backward[static_cast<std::size_t>(a)];
        for (int b = 0; b < 256; ++b) {
            forward[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
            backward[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
        }
        const std::string& alphabet = m_entries[static_cast<std::size_t>(firstAlphabetEntry + a)];
        for (std::size_t p = 0; p < m_base.size() && p < alphabet.size(); ++p) {
            forward[static_cast<unsigned char>(m_base[p])] = static_cast<std::uint8_t>(alphabet[p]);
        }
        // Backward: the first occurrence of a byte in the alphabet wins.
        for (std::size_t p = alphabet.size(); p-- > 0;) {
            if (p < m_base.size())
                backward[static_cast<unsigned char>(alphabet[p])] = static_cast<std::uint8_t>(m_base[p]);
        }
    }

    // Start-up step, once per run: the file keys of columns 0 to 4 are
    // replaced by their own forward substitution with the start-up key.
    // Column 5 (and 6) keys are used as stored.
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column <= 4; ++column) {
            std::string& key = m_entries[static_cast<std::size_t>(column + columns * row)];
            key = substituteWith(*this, key, startupKey(), true);
        }
    }
}

} // namespace zx
