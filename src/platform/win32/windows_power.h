#pragma once

namespace zuv::platform {

// The ExitWindowsEx flags of the power-off: EWX_POWEROFF with EWX_FORCEIFHUNG on an NT-family
// Windows (platform id 2) of major version 5 or later, otherwise with EWX_FORCE (also when the
// version cannot be read).
unsigned PowerOffFlags(bool versionKnown, unsigned platformId, unsigned majorVersion);

} // namespace zuv::platform
