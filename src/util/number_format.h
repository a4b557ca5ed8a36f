#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zuv {

// Numbers in texts never follow the user's locale: "." is the decimal separator everywhere.

// The shortest general form with at most `significantDigits` digits: 2.5, 1, 0.3.
std::string FormatDecimal(double value, int significantDigits = 15);

// Decimal, with a minus sign for negatives and no grouping.
std::string FormatInteger(long long value);

// A signed 32-bit whole number: decimal with an optional sign, or hexadecimal after "0x"/"0X".
// Anything else (blanks, letters, overflow, empty) is not a number.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// A decimal number with "." as separator and an optional exponent; no blanks, no "inf"/"nan".
std::optional<double> ParseDecimal(std::string_view text);

} // namespace zuv
