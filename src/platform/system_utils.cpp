#include "platform/system_utils.h"

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "util/text_utils.h"

namespace zuv {

std::string GetEnvVar(std::string_view name)
{
    return platform::EnvironmentValue(name);
}

std::string HomeFolder()
{
    return platform::ProfileFolder();
}

bool IsSharedProgramFolder(const std::string& programFolder)
{
    return platform::FileExists(programFolder + kInstalledMarkerName) ||
           platform::OwnedByOtherUser(programFolder);
}

ProgramFileFolders DefaultProgramFileFolders()
{
    std::string program = platform::ProgramFolder();
    const bool shared = IsSharedProgramFolder(program);
    return {HomeFolder(), std::move(program), shared};
}

bool IsInHomeFolder(const std::string& path)
{
    return IsDirectlyInFolder(path, HomeFolder());
}

bool IsDirectlyInFolder(const std::string& path, const std::string& folder)
{
    return platform::SamePath(FolderPart(path), folder);
}

} // namespace zuv
