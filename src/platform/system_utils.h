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

// The file the install step leaves in the program folder of an installed copy.
inline constexpr char kInstalledMarkerName[] = "installed";
// True when the program folder (with its trailing separator) is shared by the users of the
// system: the install step marked it, or it belongs to another user. The program then reads its
// files there (a package's or an administrator's defaults) but writes them to the profile folder
// only, so that one user's settings and file names never reach the others.
bool IsSharedProgramFolder(const std::string& programFolder);

// True when the file lies directly in HomeFolder (not in a sub-folder); letter case is ignored.
bool IsInHomeFolder(const std::string& path);
// True when the file lies directly in `folder` (with its trailing separator); case is ignored.
bool IsDirectlyInFolder(const std::string& path, const std::string& folder);

} // namespace zuv
