// Exact decimal numbers for typed answers and answer ranges: a signed 64-bit
// count of 10^-12 units.
#pragma once

#include <cstdint>
#include <string_view>

namespace zx {

using Decimal = std::int64_t;

// "No number": 0x8000000000000001.
inline constexpr Decimal decimalInvalid = -9223372036854775807LL;

// Reads a decimal number to twelve places (further places are dropped, not
// rounded).  Characters other than digits, a leading "-" and the first "."
// are skipped; more than 18 kept characters, overflow or an empty text give
// decimalInvalid.
Decimal parseDecimal(std::string_view text);

// parseDecimal(getTag(record, key)).
Decimal getTagDecimal(std::string_view record, std::string_view key);

} // namespace zx
