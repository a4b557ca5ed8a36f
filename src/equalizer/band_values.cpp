#include "equalizer/band_values.h"

#include "util/ini_document.h"
#include "util/number_format.h"
#include "util/text_utils.h"

#include <algorithm>
#include <cstdlib>

namespace zuv {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Anything above this is clamped anyway; stops the digit loop from overflowing.
constexpr int kSaturatedMagnitude = 1000;
// Exponents beyond this shift every digit out of (or far into) the clamped range.
constexpr int kExponentLimit = 100000;

} // namespace

std::string FormatBandGain(int position)
{
    // Tenths of a decibel; integer arithmetic keeps every position exact.
    const long long tenths = -static_cast<long long>(position);
    const long long magnitude = std::llabs(tenths);
    std::string text = tenths < 0 ? "-" : "";
    text += FormatInteger(magnitude / 10);
    if (magnitude % 10 != 0) {
        text += '.';
        text += static_cast<char>('0' + magnitude % 10);
    }
    return text;
}

std::string FormatBandValueString(const EqualizerPositions& positions)
{
    std::string text;
    for (std::size_t band = 0; band < positions.size(); ++band) {
        if (band > 0)
            text += ':';
        text += FormatBandGain(positions[band]);
    }
    return text;
}

std::optional<int> ParseBandGain(std::string_view field)
{
    while (!field.empty() && IsBlank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && IsBlank(field.back()))
        field.remove_suffix(1);

    std::size_t pos = 0;
    bool negative = false;
    if (pos < field.size() && (field[pos] == '+' || field[pos] == '-'))
        negative = field[pos++] == '-';

    // All digits of the mantissa, and how many of them stand after the point.
    std::string digits;
    int fractionDigits = 0;
    while (pos < field.size() && IsDigit(field[pos]))
        digits += field[pos++];
    if (pos < field.size() && field[pos] == '.') {
        ++pos;
        while (pos < field.size() && IsDigit(field[pos])) {
            digits += field[pos++];
            ++fractionDigits;
        }
    }
    if (digits.empty())
        return std::nullopt;

    int exponent = 0;
    if (pos < field.size() && (field[pos] == 'e' || field[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < field.size() && (field[pos] == '+' || field[pos] == '-'))
            negativeExponent = field[pos++] == '-';
        if (pos == field.size() || !IsDigit(field[pos]))
            return std::nullopt;
        while (pos < field.size() && IsDigit(field[pos])) {
            exponent = std::min(exponent * 10 + (field[pos] - '0'), kExponentLimit);
            ++pos;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (pos != field.size())
        return std::nullopt;

    // value × 10, cut toward zero, is the digit string up to the point moved one place right
    // (and `exponent` places more): the leading `wholeDigits` digits, padded with zeros.
    const long long wholeDigits =
        static_cast<long long>(digits.size()) - fractionDigits + exponent + 1;
    int magnitude = 0;
    for (long long i = 0; i < wholeDigits && magnitude < kSaturatedMagnitude; ++i) {
        const int digit = i < static_cast<long long>(digits.size()) ? digits[i] - '0' : 0;
        magnitude = std::min(magnitude * 10 + digit, kSaturatedMagnitude);
    }
    const int position = negative ? magnitude : -magnitude;
    return std::clamp(position, kEqualizerMinPosition, kEqualizerMaxPosition);
}

bool ApplyBandValueString(std::string_view text, EqualizerPositions& positions)
{
    if (text.empty())
        return false;
    std::string separated(text);
    ReplaceAll(separated, ":", "\n");
    const std::vector<std::string_view> fields = SplitLines(separated);
    if (fields.size() < positions.size())
        return false;
    for (std::size_t band = 0; band < positions.size(); ++band) {
        const std::optional<int> position = ParseBandGain(fields[band]);
        if (!position)
            break;
        positions[band] = *position;
    }
    return true;
}

} // namespace zuv
