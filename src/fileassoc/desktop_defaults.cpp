#include "fileassoc/desktop_defaults.h"

#include "fileassoc/key_file_text.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "util/text_utils.h"

#include <optional>
#include <set>
#include <utility>

namespace zuv {

namespace {

constexpr std::string_view kAddedGroup = "Added Associations";
constexpr std::string_view kRemovedGroup = "Removed Associations";
constexpr std::string_view kCacheGroup = "MIME Cache";

// The mimeapps.list files in order of precedence.
std::vector<std::string> MimeAppsFiles(const DesktopFolders& folders)
{
    std::vector<std::string> files;
    const auto addMimeApps = [&](const std::string& folder) {
        for (const std::string& desktop : folders.currentDesktops)
            files.push_back(folder + desktop + "-mimeapps.list");
        files.push_back(folder + "mimeapps.list");
    };
    for (const std::string& folder : folders.ConfigSearchPath())
        addMimeApps(folder);
    for (const std::string& folder : folders.DataSearchPath())
        addMimeApps(folder + "applications/");
    return files;
}

} // namespace

std::vector<std::string> SplitDesktopList(std::string_view value)
{
    std::vector<std::string> items;
    std::string rest(value);
    while (!rest.empty()) {
        std::string item = Trim(SplitFirst(rest, ";"));
        if (!item.empty())
            items.push_back(std::move(item));
    }
    return items;
}

bool IsMissingFileError(const std::error_code& error)
{
    return platform::IsNotFoundError(error);
}

std::string FindDesktopFile(const DesktopFolders& folders, std::string_view desktopId)
{
    if (desktopId.empty() || desktopId.find('/') != std::string_view::npos)
        return {};
    // "vendor-app.desktop" may lie in applications/vendor/app.desktop (and deeper).
    std::vector<std::string> relativePaths{std::string(desktopId)};
    std::string nested(desktopId);
    for (std::size_t dash = nested.find('-'); dash != std::string::npos;
         dash = nested.find('-', dash + 1)) {
        nested[dash] = '/';
        relativePaths.push_back(nested);
    }
    for (const std::string& folder : folders.DataSearchPath()) {
        for (const std::string& relative : relativePaths) {
            const std::string path = folder + "applications/" + relative;
            if (platform::FileExists(path))
                return path;
        }
    }
    return {};
}

DefaultApplication FindDefaultApplication(const DesktopFolders& folders, std::string_view mimeType)
{
    DefaultApplication found;
    const std::string userFile =
        folders.configHome.empty() ? std::string() : folders.configHome + "mimeapps.list";
    const auto read = [&](const std::string& path) -> std::optional<std::string> {
        const platform::FileContent file = platform::ReadWholeFile(path, kMaxMimeAppsListBytes);
        if (file.ok())
            return file.data;
        // Only the file we write must be readable; a broken system file is skipped.
        if (path == userFile && !IsMissingFileError(file.error) && !found.error) {
            found.error = file.error;
            found.errorFile = path;
        }
        return std::nullopt;
    };
    std::vector<std::pair<std::string, std::string>> lists;
    for (const std::string& path : MimeAppsFiles(folders)) {
        if (auto text = read(path))
            lists.emplace_back(path, std::move(*text));
    }
    if (found.error)
        return found;

    // The first installed entry of a list that `removed` does not take away.
    const std::set<std::string>* removed = nullptr;
    const auto pick = [&](const std::string& listFile, const std::string& text,
                          std::string_view group) {
        const auto value = KeyFileValue(text, group, mimeType);
        if (!value)
            return false;
        for (const std::string& desktopId : SplitDesktopList(*value)) {
            if (removed && removed->contains(desktopId))
                continue;
            std::string desktopFile = FindDesktopFile(folders, desktopId);
            if (desktopFile.empty())
                continue; // not installed: the next one counts
            found.desktopId = desktopId;
            found.desktopFile = std::move(desktopFile);
            found.listFile = listFile;
            return true;
        }
        return false;
    };

    // The same file of every data folder, in precedence order.
    const auto pickInDataFolders = [&](std::string_view fileName, std::string_view group) {
        for (const std::string& folder : folders.DataSearchPath()) {
            const std::string path = folder + "applications/" + std::string(fileName);
            if (const auto text = read(path); text && pick(path, *text, group))
                return true;
        }
        return false;
    };

    for (const auto& [path, text] : lists) {
        if (pick(path, text, kDefaultsGroup))
            return found;
    }
    if (pickInDataFolders("defaults.list", kDefaultsGroup))
        return found;
    std::set<std::string> removedIds;
    removed = &removedIds;
    for (const auto& [path, text] : lists) {
        for (std::string& id :
             SplitDesktopList(KeyFileValue(text, kRemovedGroup, mimeType).value_or("")))
            removedIds.insert(std::move(id));
        if (pick(path, text, kAddedGroup))
            return found;
    }
    pickInDataFolders("mimeinfo.cache", kCacheGroup);
    return found;
}

} // namespace zuv
