#include "platform/environment.h"

#include <cstdlib>
#include <sys/stat.h>

namespace zuv::platform {

std::string EnvironmentValue(std::string_view name)
{
    const char* value = std::getenv(std::string(name).c_str());
    return value ? std::string(value) : std::string();
}

bool SessionBusExists()
{
    if (!EnvironmentValue("DBUS_SESSION_BUS_ADDRESS").empty())
        return true;
    const std::string runtime = EnvironmentValue("XDG_RUNTIME_DIR");
    struct stat info
    {};
    return !runtime.empty() && ::stat((runtime + "/bus").c_str(), &info) == 0 &&
           S_ISSOCK(info.st_mode);
}

} // namespace zuv::platform
