#include "fileassoc/desktop_folders.h"

#include "platform/system_utils.h"
#include "util/text_utils.h"

namespace zuv {

namespace {

std::string AbsoluteFolder(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return {};
    return path.back() == '/' ? path : path + "/";
}

std::vector<std::string> FolderList(const std::string& value, const char* fallback)
{
    std::vector<std::string> folders;
    std::string rest = value.empty() ? fallback : value;
    while (!rest.empty()) {
        const std::string folder = AbsoluteFolder(SplitFirst(rest, ":"));
        if (!folder.empty())
            folders.push_back(folder);
    }
    return folders;
}

std::string HomeBased(const std::string& variable, const char* underHome)
{
    std::string folder = AbsoluteFolder(GetEnvVar(variable));
    if (!folder.empty())
        return folder;
    const std::string home = AbsoluteFolder(GetEnvVar("HOME"));
    return home.empty() ? std::string() : home + underHome;
}

} // namespace

DesktopFolders DesktopFolders::FromEnvironment()
{
    DesktopFolders folders;
    folders.dataHome = HomeBased("XDG_DATA_HOME", ".local/share/");
    folders.dataDirs = FolderList(GetEnvVar("XDG_DATA_DIRS"), "/usr/local/share:/usr/share");
    folders.configHome = HomeBased("XDG_CONFIG_HOME", ".config/");
    folders.configDirs = FolderList(GetEnvVar("XDG_CONFIG_DIRS"), "/etc/xdg");
    std::string desktops = GetEnvVar("XDG_CURRENT_DESKTOP");
    while (!desktops.empty()) {
        const std::string desktop = ToLowerAscii(SplitFirst(desktops, ":"));
        if (!desktop.empty())
            folders.currentDesktops.push_back(desktop);
    }
    return folders;
}

std::vector<std::string> DesktopFolders::DataSearchPath() const
{
    std::vector<std::string> path;
    if (!dataHome.empty())
        path.push_back(dataHome);
    path.insert(path.end(), dataDirs.begin(), dataDirs.end());
    return path;
}

std::vector<std::string> DesktopFolders::ConfigSearchPath() const
{
    std::vector<std::string> path;
    if (!configHome.empty())
        path.push_back(configHome);
    path.insert(path.end(), configDirs.begin(), configDirs.end());
    return path;
}

} // namespace zuv
