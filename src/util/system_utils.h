#pragma once

#include <string>
#include <string_view>

namespace zuv {

// The value of an environment variable, or empty when it is unset or empty.
std::string GetEnvVar(std::string_view name);

// The system's message text for an error code, or empty.
std::string SystemErrorText(int code);

// The user's profile folder for the program's files (with a trailing separator), or empty.
std::string HomeFolder();

// True when the file lies directly in HomeFolder (not in a sub-folder); letter case is ignored.
bool IsInHomeFolder(const std::string& path);
// True when the file lies directly in `folder` (with its trailing separator); case is ignored.
bool IsDirectlyInFolder(const std::string& path, const std::string& folder);

} // namespace zuv
