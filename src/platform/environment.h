#pragma once

#include <string>
#include <string_view>

namespace zuv::platform {

// The value of an environment variable; empty when it is unset or empty.
std::string EnvironmentValue(std::string_view name);

// True where a session bus runs to be connected to: its address is set (and is not the one
// KeepSessionBusUnlaunched sets), or the runtime folder holds its socket. Elsewhere connecting
// would make the D-Bus library start a bus of its own that outlives the program. Never on
// Windows.
bool SessionBusExists();

// Where no session bus exists, none is launched for the program and what it starts: the bus
// address is set to one that leads nowhere (libdbus then fails instead of running dbus-launch).
// Qt on X asks for the bus on its own (a plain QApplication with one window does), so this comes
// before QApplication. Does nothing on Windows.
void KeepSessionBusUnlaunched();

} // namespace zuv::platform
