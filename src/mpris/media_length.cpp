#include "mpris/media_length.h"

#include "playback/picture_geometry.h"

#include <charconv>
#include <cmath>

namespace zuv {

namespace {

constexpr std::string_view kLengthName = "ID_LENGTH";
// A year is no film's length; past it the number is garbage.
constexpr double kMaxSeconds = 365.0 * 24 * 3600;

} // namespace

std::optional<std::int64_t> LengthFromSeconds(std::string_view seconds)
{
    double value = 0;
    const char* end = seconds.data() + seconds.size();
    const auto [stop, error] =
        std::from_chars(seconds.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end || !std::isfinite(value) || value <= 0 ||
        value > kMaxSeconds)
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround(value * 1'000'000));
}

std::optional<std::int64_t> LengthFromIdentifyOutput(std::string_view output)
{
    const std::optional<std::string> value =
        LookUpReportValue(ReadIdentifyReport(output), kLengthName);
    return value ? LengthFromSeconds(*value) : std::nullopt;
}

std::optional<std::int64_t> LengthFromPlayerLines(const std::vector<std::string>& lines)
{
    std::optional<std::int64_t> length;
    for (const std::string& line : lines) {
        const std::string_view text = line;
        if (text.size() > kLengthName.size() && text.starts_with(kLengthName) &&
            text[kLengthName.size()] == '=') {
            if (const auto found = LengthFromSeconds(text.substr(kLengthName.size() + 1)))
                length = found;
        }
    }
    return length;
}

} // namespace zuv
