#include "platform/environment.h"

#include "platform/win32/windows_headers.h"

#include <string>

namespace zuv::platform {

std::string EnvironmentValue(std::string_view name)
{
    const std::string variable(name);
    // The first call tells the size with its terminating zero; zero means that it is not set.
    const DWORD size = ::GetEnvironmentVariableA(variable.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::string value(size + 1, '\0');
    const DWORD length = ::GetEnvironmentVariableA(variable.c_str(), value.data(), size + 1);
    // The variable may have changed between the two calls; then it is read as unset.
    if (length == 0 || length > size)
        return {};
    value.resize(length);
    return value;
}

bool SessionBusExists()
{
    return false;
}

void KeepSessionBusUnlaunched() {}

} // namespace zuv::platform
