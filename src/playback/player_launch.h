#pragma once

#include "platform/process.h"

#include <string>
#include <variant>

namespace zuv {

// Turns a player command line text ("mplayer " followed by the arguments) into what starts the
// process: the arguments split by the Microsoft C runtime rules, the program looked up in
// `programFolder` first and then on PATH, and `programFolder` as the working folder. The first
// argument stays the name as written. Gives the failed start when the program cannot be found.
std::variant<platform::ProcessLaunch, platform::ProcessStartError>
PreparePlayerLaunch(const std::string& commandLine, const std::string& programFolder,
                    int priorityPosition);

// The folder to run the player in: `programFolder` itself, or the program folder when empty.
std::string PlayerFolderOrDefault(const std::string& programFolder);

} // namespace zuv
