#pragma once

namespace zuv {

// Powers the machine off: runs the command in ZUVORA_POWEROFF_COMMAND when it is set (a user may
// prefer suspend), otherwise asks the login manager. Returns platform::kPowerOffAccepted,
// kPowerOffNotPermitted or kPowerOffFailed; a refusal is not shown to the user.
int PowerOff();

} // namespace zuv
