#include "playback/player_launch.h"

#include "platform/folders.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "util/argv_split.h"

namespace zuv {

std::variant<platform::ProcessLaunch, platform::ProcessStartError>
PreparePlayerLaunch(const std::string& commandLine, const std::string& programFolder,
                    int priorityPosition)
{
    platform::ProcessLaunch launch;
    launch.arguments = SplitArguments(commandLine);
    if (launch.arguments.empty())
        return platform::ProcessStartError{platform::ProcessStartStep::CreateProcess,
                                           platform::SystemError(platform::kErrorFileNotFound)};
    const platform::ProgramLocation program =
        platform::FindProgram(launch.arguments.front(), programFolder);
    if (program.error)
        return platform::ProcessStartError{platform::ProcessStartStep::CreateProcess,
                                           program.error};
    launch.executablePath = program.path;
    launch.workingFolder = programFolder;
    launch.priorityPosition = priorityPosition;
    return launch;
}

std::string PlayerFolderOrDefault(const std::string& programFolder)
{
    return programFolder.empty() ? platform::ProgramFolder() : programFolder;
}

} // namespace zuv
