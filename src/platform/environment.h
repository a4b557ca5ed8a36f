#pragma once

#include <string>
#include <string_view>

namespace zuv::platform {

// The value of an environment variable; empty when it is unset or empty.
std::string EnvironmentValue(std::string_view name);

} // namespace zuv::platform
