#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The length of a media file in microseconds from the player's "ID_LENGTH=" value in seconds
// ("61.50"); none when the value is not a plain positive number or is absurdly large.
std::optional<std::int64_t> LengthFromSeconds(std::string_view seconds);

// The length the identify output of the size probe reports; none when it reports none.
std::optional<std::int64_t> LengthFromIdentifyOutput(std::string_view output);

// The length the last "ID_LENGTH=" line among the player's output lines reports (the player
// prints it when asked to identify, which the user may do in the parameters); none when no line
// reports one.
std::optional<std::int64_t> LengthFromPlayerLines(const std::vector<std::string>& lines);

} // namespace zuv
