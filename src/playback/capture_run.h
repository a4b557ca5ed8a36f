#pragma once

#include "playback/capture.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace zuv {

// Bounds of a capture run, so that a player that hangs or floods never freezes the caller.
struct CaptureLimits
{
    std::size_t maxOutputBytes = 16 * 1024 * 1024; // more output is cut off, the player killed
    std::chrono::milliseconds totalTime{20'000};   // then the player is killed
    std::chrono::milliseconds exitWait{1'000};     // after the output has ended
};

// Runs a player command line ("mplayer " followed by the arguments) to its end at normal
// priority, in `programFolder` (empty: the program folder), where the player is also looked for
// first. Gives everything it printed, or none when it could not be started. The output is read
// in blocks of at most 4095 bytes, and a zero byte cuts off the rest of its block. A player still
// running after the limits is killed and reaped; the exit code is not looked at.
std::optional<std::string> CaptureRun(const std::string& commandLine,
                                      const std::string& programFolder = {},
                                      const CaptureLimits& limits = {});

// CaptureRun in the program folder, for whoever asks the player something.
CaptureFunction PlayerCaptureFunction(std::string programFolder = {});

} // namespace zuv
