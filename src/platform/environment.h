#pragma once

#include <string>
#include <string_view>

namespace zuv::platform {

// The value of an environment variable; empty when it is unset or empty.
std::string EnvironmentValue(std::string_view name);

// True where a session bus runs to be connected to: its address is set, or the runtime folder
// holds its socket. Elsewhere connecting would make the D-Bus library start a bus of its own that
// outlives the program. Never on Windows.
bool SessionBusExists();

} // namespace zuv::platform
