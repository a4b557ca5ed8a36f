#include "platform/folders.h"

#include "platform/environment.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace zuv::platform {

namespace {

std::string WithTrailingSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string g_programFolderOverride;

} // namespace

void SetProgramFolderForTesting(std::string folder)
{
    g_programFolderOverride = WithTrailingSlash(std::move(folder));
}

std::string ProgramFile()
{
    char path[PATH_MAX + 1] = {};
    const ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0)
        return {};
    return std::string(path, static_cast<std::size_t>(length));
}

std::string ProgramFolder()
{
    if (!g_programFolderOverride.empty())
        return g_programFolderOverride;
    const std::string executable = ProgramFile();
    if (executable.empty())
        return "./";
    return executable.substr(0, executable.rfind('/') + 1);
}

std::string CurrentFolder()
{
    char path[PATH_MAX + 1] = {};
    return ::getcwd(path, sizeof path) ? std::string(path) : std::string();
}

std::string TempFolder()
{
    const std::string folder = EnvironmentValue("TMPDIR");
    return WithTrailingSlash(folder.empty() ? std::string("/tmp") : folder);
}

std::string PrivateTempFolder()
{
    const std::string folder = TempFolder() + "zuvora-" + std::to_string(::getuid()) + "/";
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat info
    {};
    // lstat: a link planted at the name is refused, never followed.
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return {};
    if ((info.st_mode & 0077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
        return {};
    return folder;
}

std::string ProfileFolder()
{
    std::string base = EnvironmentValue("XDG_CONFIG_HOME");
    if (base.empty()) {
        const std::string home = EnvironmentValue("HOME");
        if (home.empty())
            return {};
        base = WithTrailingSlash(home) + ".config";
    }
    return WithTrailingSlash(base) + "zuvora/";
}

bool OwnedByOtherUser(const std::string& path)
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 && status.st_uid != ::geteuid();
}

} // namespace zuv::platform
