#include "platform/folders.h"

#include "platform/environment.h"
#include "platform/posix/descriptor.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
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
    // A relative TMPDIR would name another folder for a player started in another folder.
    const std::string folder = EnvironmentValue("TMPDIR");
    return WithTrailingSlash(folder.empty() || folder.front() != '/' ? std::string("/tmp")
                                                                     : folder);
}

namespace {

// No other user can rename, remove or replace entries of this folder: it is root's or ours, and
// open to others' writes only when sticky (then nobody else may rename or remove what is ours).
bool OnlyOursToChange(const struct stat& info)
{
    return S_ISDIR(info.st_mode) && (info.st_uid == 0 || info.st_uid == ::getuid()) &&
           ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0);
}

// Opens the absolute, link-free `path` one folder at a time from the root without following
// links, each folder checked with OnlyOursToChange. -1 when a step fails or is not safe.
int OpenFolderNoOneElseCanMove(const std::string& path)
{
    Descriptor dir(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t start = 1;
    for (;;) {
        struct stat info
        {};
        if (dir.get() < 0 || ::fstat(dir.get(), &info) != 0 || !OnlyOursToChange(info))
            return -1;
        while (start < path.size() && path[start] == '/')
            ++start;
        if (start >= path.size())
            return dir.release();
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, end - start);
        dir.reset(::openat(dir.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        start = end;
    }
}

} // namespace

// The name handed on (to the player as -sub, to other copies as the socket's folder) stays ours:
// every folder on the way is one only root or we can change, and ours is 0700, so nobody else
// can swap the folder or anything inside it after the checks.
std::string PrivateTempFolder()
{
    char* resolved = ::realpath(TempFolder().c_str(), nullptr);
    if (!resolved)
        return {};
    std::string parent(resolved);
    std::free(resolved);
    const Descriptor parentFd(OpenFolderNoOneElseCanMove(parent));
    if (parentFd.get() < 0)
        return {};
    const std::string name = "zuvora-" + std::to_string(::getuid());
    if (::mkdirat(parentFd.get(), name.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    // Never through a link planted at the name: the checks below see what was opened.
    const Descriptor folder(
        ::openat(parentFd.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info
    {};
    if (folder.get() < 0 || ::fstat(folder.get(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid())
        return {};
    if ((info.st_mode & 0077) != 0 && ::fchmod(folder.get(), 0700) != 0)
        return {};
    return WithTrailingSlash(parent) + name + "/";
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
