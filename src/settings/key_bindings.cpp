#include "settings/key_bindings.h"

#include "platform/file_system.h"
#include "util/path_syntax.h"

namespace zuv {

namespace {

// The system's key bindings are a few kilobytes.
constexpr std::size_t kMaxBindingsBytes = 1024 * 1024;

} // namespace

std::string KeyBindingFile(const std::string& programFolder, const std::string& homeFolder,
                           const std::string& systemFile)
{
    const std::string ownFile = programFolder + "mplayer/input.conf";
    if (platform::FileExists(ownFile) || homeFolder.empty())
        return ownFile;
    std::string home = homeFolder;
    if (kPathSeparators.find(home.back()) == std::string::npos)
        home += kPreferredSeparator;
    const std::string playerFile = home + ".mplayer/input.conf";
    if (!platform::FileExists(playerFile)) {
        const platform::FileContent defaults =
            platform::ReadWholeFile(systemFile, kMaxBindingsBytes);
        platform::WriteFileAtomically(playerFile, defaults.ok() ? defaults.data : std::string());
    }
    return playerFile;
}

} // namespace zuv
