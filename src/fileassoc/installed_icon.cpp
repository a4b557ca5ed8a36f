#include "fileassoc/installed_icon.h"

#include "platform/file_system.h"

namespace zuv {

std::vector<std::string> InstalledIconFiles(const DesktopFolders& folders)
{
    // The larger installed sizes only cost memory: nothing on a desktop shows a window's own
    // icon bigger than this.
    static constexpr const char* kSizes[] = {"16x16", "32x32", "48x48", "64x64", "128x128"};
    for (const std::string& folder : folders.DataSearchPath()) {
        std::vector<std::string> files;
        for (const char* size : kSizes) {
            std::string file = folder + "icons/hicolor/" + size + "/apps/zuvora.png";
            if (platform::FileExists(file))
                files.push_back(std::move(file));
        }
        if (!files.empty())
            return files;
    }
    return {};
}

} // namespace zuv
