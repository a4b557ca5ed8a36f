#pragma once

#include <string>

namespace zuv::platform {

// Reports an error where it outlives the program when nobody is there to read a message box:
// standard error, and the system log (syslog; the application event log on Windows).
void ReportUnattended(const std::string& text);

} // namespace zuv::platform
