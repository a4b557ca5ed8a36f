#include "platform/environment.h"

#include <cstdlib>
#include <sys/stat.h>

namespace zuv::platform {

std::string EnvironmentValue(std::string_view name)
{
    const char* value = std::getenv(std::string(name).c_str());
    return value ? std::string(value) : std::string();
}

namespace {

// An address of no transport libdbus knows: connecting fails at once, nothing is launched.
constexpr const char* kNoSessionBus = "disabled:";

} // namespace

bool SessionBusExists()
{
    const std::string address = EnvironmentValue("DBUS_SESSION_BUS_ADDRESS");
    if (!address.empty())
        return address != kNoSessionBus;
    const std::string runtime = EnvironmentValue("XDG_RUNTIME_DIR");
    struct stat info
    {};
    return !runtime.empty() && ::stat((runtime + "/bus").c_str(), &info) == 0 &&
           S_ISSOCK(info.st_mode);
}

void KeepSessionBusUnlaunched()
{
    if (!SessionBusExists())
        ::setenv("DBUS_SESSION_BUS_ADDRESS", kNoSessionBus, 1);
}

} // namespace zuv::platform
