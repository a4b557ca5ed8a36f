#pragma once

#include "options/options.h"
#include "playback/picture_geometry.h"
#include "playback/player_dialect.h"

#include <string>

namespace zuv {

// The argument text that the options give the player: empty, or each option after one blank.
// The user's own parameters come first; a user "-af" or "-vf" value is moved to the front of the
// filter list that the options build. The probe runs (once) only when expand or pan-scan is on.
std::string BuildOptionsText(const Options& options, bool loop, const std::string& mediaPath,
                             ScreenSize screen, const ProbeFunction& probe, PlayerDialect dialect);

// The arguments of a playback run: the media path, the subtitle (when there is one) and the
// options text. This is the text shown as the command line of a run.
std::string PlayerArguments(const std::string& mediaPath, const std::string& subtitlePath,
                            const std::string& optionsText);

// The whole command line: the player's name, one blank and the arguments.
std::string PlayerCommandLine(const std::string& mediaPath, const std::string& subtitlePath,
                              const std::string& optionsText);

} // namespace zuv
