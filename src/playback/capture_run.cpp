#include "playback/capture_run.h"

#include "platform/process.h"
#include "playback/player_launch.h"

#include <cstring>

namespace zuv {

namespace {

constexpr std::size_t kCaptureBlockBytes = 4095;

} // namespace

std::optional<std::string> CaptureRun(const std::string& commandLine,
                                      const std::string& programFolder, const CaptureLimits& limits)
{
    auto prepared =
        PreparePlayerLaunch(commandLine, PlayerFolderOrDefault(programFolder), /*priority*/ 2);
    if (!std::holds_alternative<platform::ProcessLaunch>(prepared))
        return std::nullopt;
    platform::ChildProcess process;
    if (process.Start(std::get<platform::ProcessLaunch>(prepared)).failed())
        return std::nullopt;

    using Clock = platform::ChildProcess::Clock;
    const Clock::time_point endOfRun = Clock::now() + limits.totalTime;
    std::string output;
    char block[kCaptureBlockBytes];
    bool killed = false;
    for (;;) {
        const auto read = process.Read(block, sizeof block, endOfRun);
        if (read.timedOut) {
            process.Kill();
            killed = true;
            break;
        }
        if (read.size == 0)
            break;
        // The block counts only up to a zero byte in it.
        const std::size_t length = ::strnlen(block, read.size);
        if (output.size() + length > limits.maxOutputBytes) {
            output.append(block, limits.maxOutputBytes - output.size());
            process.Kill();
            killed = true;
            break;
        }
        output.append(block, length);
    }
    if (!killed && !process.WaitForExit(std::min(Clock::now() + limits.exitWait, endOfRun)))
        process.Kill();
    process.WaitForExit();
    return output;
}

CaptureFunction PlayerCaptureFunction(std::string programFolder)
{
    return [programFolder = std::move(programFolder)](const std::string& commandLine) {
        return CaptureRun(commandLine, programFolder);
    };
}

} // namespace zuv
