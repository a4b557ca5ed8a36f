#include "platform/environment.h"

#include <cstdlib>

namespace zuv::platform {

std::string EnvironmentValue(std::string_view name)
{
    const char* value = std::getenv(std::string(name).c_str());
    return value ? std::string(value) : std::string();
}

} // namespace zuv::platform
