#pragma once

#include <string>
#include <vector>

namespace zuv {

// The freedesktop base folders, each with a trailing "/". Relative paths in the variables are
// ignored, as the base directory rules require.
struct DesktopFolders
{
    std::string dataHome;                     // $XDG_DATA_HOME, else ~/.local/share
    std::vector<std::string> dataDirs;        // $XDG_DATA_DIRS, else /usr/local/share:/usr/share
    std::string configHome;                   // $XDG_CONFIG_HOME, else ~/.config
    std::vector<std::string> configDirs;      // $XDG_CONFIG_DIRS, else /etc/xdg
    std::vector<std::string> currentDesktops; // $XDG_CURRENT_DESKTOP, lower case

    static DesktopFolders FromEnvironment();

    // The data home (when known) followed by the data dirs: the search order of shared data.
    std::vector<std::string> DataSearchPath() const;
    std::vector<std::string> ConfigSearchPath() const;
};

} // namespace zuv
