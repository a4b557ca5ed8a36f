#include "platform/folders.h"

#include "platform/environment.h"
#include "platform/win32/windows_headers.h"

#include <vector>

namespace zuv::platform {

namespace {

std::string WithTrailingSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

std::string g_programFolderOverride;

} // namespace

void SetProgramFolderForTesting(std::string folder)
{
    g_programFolderOverride = WithTrailingSeparator(std::move(folder));
}

std::string ProgramFile()
{
    // A path longer than the buffer is cut and reported with the buffer's full size.
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            return std::string(path.data(), length);
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

std::string ProgramFolder()
{
    if (!g_programFolderOverride.empty())
        return g_programFolderOverride;
    const std::string executable = ProgramFile();
    const std::size_t separator = executable.find_last_of("\\/:");
    if (separator == std::string::npos)
        return ".\\";
    return executable.substr(0, separator + 1);
}

std::string CurrentFolder()
{
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return {};
    std::string folder(size, '\0');
    const DWORD length = ::GetCurrentDirectoryA(size, folder.data());
    if (length == 0 || length >= size)
        return {};
    folder.resize(length);
    return folder;
}

std::string TempFolder()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof path, path);
    if (length == 0 || length > MAX_PATH)
        return ".\\";
    return WithTrailingSeparator(std::string(path, length));
}

std::string PrivateTempFolder()
{
    return TempFolder(); // the user's own already
}

std::string ProfileFolder()
{
    std::string folder = EnvironmentValue("USERPROFILE");
    if (folder.empty())
        folder = EnvironmentValue("HOMEDRIVE") + EnvironmentValue("HOMEPATH");
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

bool OwnedByOtherUser(const std::string&)
{
    // An installed Windows copy is told by the install step's marker alone.
    return false;
}

} // namespace zuv::platform
