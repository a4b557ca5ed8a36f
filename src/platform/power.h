#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace zuv::platform {

// Answers of a power-off request.
inline constexpr int kPowerOffAccepted = 0;
inline constexpr int kPowerOffNotPermitted = 1; // access denied or not authorised
inline constexpr int kPowerOffFailed = 2;

// Asks the login manager (logind over the system bus) to power the machine off, without asking
// the user for authorisation.
int RequestSystemPowerOff();

// Runs a program in place of the power-off, never through a shell. Accepted when it ends with
// status 0 within `wait`, or is still running then (a suspend command may only return after the
// machine wakes up again); failed when it cannot be started or ends otherwise.
int RunPowerOffCommand(const std::vector<std::string>& arguments, std::chrono::milliseconds wait);

} // namespace zuv::platform
