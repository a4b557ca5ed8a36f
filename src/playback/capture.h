#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zuv {

// Runs a command line to its end and returns everything it printed (stdout and stderr joined),
// or none when the program could not be started. Injected wherever the player is asked
// something, so that logic is tested without a real player.
using CaptureFunction = std::function<std::optional<std::string>(const std::string& commandLine)>;

} // namespace zuv
