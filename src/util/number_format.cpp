#include "util/number_format.h"

#include <charconv>
#include <cmath>

namespace zuv {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string FormatDecimal(double value, int significantDigits)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, significantDigits);
    std::string text(buffer, result.ptr);
    if (text == "-0")
        text = "0";
    return text;
}

std::string FormatInteger(long long value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t value = 0;
        const auto digits = text.substr(2);
        const auto result =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (result.ec != std::errc() || result.ptr != digits.data() + digits.size())
            return std::nullopt;
        return static_cast<std::int32_t>(value);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !IsDigit(text.front()))
        return std::nullopt;
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<double> ParseDecimal(std::string_view text)
{
    // Validate the shape first: from_chars would also take "inf", "nan" and hex floats.
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    const std::size_t numberStart = pos;
    std::size_t digits = 0;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        if (pos == text.size() || !IsDigit(text[pos]))
            return std::nullopt;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
    }
    if (pos != text.size())
        return std::nullopt;
    double value = 0;
    const auto number = text.substr(numberStart);
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return text.front() == '-' ? -value : value;
}

} // namespace zuv
