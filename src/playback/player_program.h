#pragma once

#include "util/argv_split.h"

#include <string>
#include <string_view>

namespace zuv {

// The name every player command line begins with; the process runner finds the program.
inline constexpr std::string_view kPlayerProgramName = "mplayer";

// A file path as an argument of a player command line: quoted when spaced, its quotes and the
// backslashes before them escaped so the path reaches the player whole (file names here may
// hold quotes), and a relative path that begins with "-" led by "./" so the player does not
// take the file for an option.
inline std::string PlayerFileArgument(const std::string& path, bool alwaysQuote = false)
{
    if (!path.empty() && path.front() == '-')
        return QuoteArgument("./" + path, alwaysQuote);
    return QuoteArgument(path, alwaysQuote);
}

} // namespace zuv
