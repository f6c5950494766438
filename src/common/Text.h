#pragma once
// The page's one text type: UTF-16 code units, as a BSTR holds them, on every platform.
// Conversions to other encodings happen only at the edges (adapters, tests, diagnostics).

#include <cstdint>
#include <string>
#include <string_view>

namespace varkel {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 <-> UTF-16. Invalid input is replaced by U+FFFD rather than rejected: these are only
// used for diagnostics and for literals in tests.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);

// Upper case as the page's comparisons need it: ASCII and Latin-1 letters.
Text UpperCase(TextView text);

// Decimal text of a signed number, with a leading minus sign when negative.
Text DecimalText(std::int64_t value);

// Upper-case hexadecimal digits without leading zeros; negative numbers as their 32-bit
// two's complement.
Text HexText(std::int32_t value);

} // namespace varkel
