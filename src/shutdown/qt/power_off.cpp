#include "shutdown/qt/power_off.h"

#include "platform/power.h"
#include "platform/system_utils.h"
#include "util/argv_split.h"

namespace zuv {

namespace {

// Long enough for a power-off or suspend command to report a refusal, short enough that the
// window does not seem to hang when the command keeps running.
constexpr std::chrono::milliseconds kCommandWait{5000};

} // namespace

int PowerOff()
{
    const std::string command = GetEnvVar("ZUVORA_POWEROFF_COMMAND");
    if (!command.empty())
        return platform::RunPowerOffCommand(SplitArguments(command), kCommandWait);
    return platform::RequestSystemPowerOff();
}

} // namespace zuv
