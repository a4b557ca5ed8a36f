#pragma once

#include <string>
#include <string_view>

namespace zuv {

// The value of an environment variable, or empty when it is unset or empty.
std::string GetEnvVar(std::string_view name);

// The user's profile folder for the program's files (with a trailing separator), or empty.
std::string HomeFolder();

// The file the install step leaves in the program folder of an installed copy.
inline constexpr char kInstalledMarkerName[] = "installed";
// True when the program folder (with its trailing separator) is shared by the users of the
// system: the install step marked it, or it belongs to another user. The program then reads its
// files there (a package's or an administrator's defaults) but writes them to the profile folder
// only, so that one user's settings and file names never reach the others.
bool IsSharedProgramFolder(const std::string& programFolder);

// The two folders of zuv.ini, playlist.txt and equalizer.ini (each with its trailing separator,
// the profile folder empty when there is none) and whether the program folder is shared.
struct ProgramFileFolders
{
    std::string profile;
    std::string program;
    bool programShared = false;
};
// The folders as the environment and the program's place give them now.
ProgramFileFolders DefaultProgramFileFolders();

// True when the file lies directly in HomeFolder (not in a sub-folder).
bool IsInHomeFolder(const std::string& path);
// True when the file lies directly in `folder` (with its trailing separator), its name compared
// as the file system compares names (platform::SamePath). A file that the profile folder holds is
// not written anywhere else when writing it fails.
bool IsDirectlyInFolder(const std::string& path, const std::string& folder);

} // namespace zuv
