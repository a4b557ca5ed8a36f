#pragma once

#include <string_view>

namespace zuv {

// The name every player command line begins with; the process runner finds the program.
inline constexpr std::string_view kPlayerProgramName = "mplayer";

} // namespace zuv
