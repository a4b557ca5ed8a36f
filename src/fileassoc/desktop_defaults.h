#pragma once

#include "fileassoc/desktop_folders.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zuv {

// How the freedesktop desktops choose the application that opens a MIME type: mimeapps.list,
// defaults.list and mimeinfo.cache in the base folders. Read only; nothing here writes.

// The group of mimeapps.list that names each MIME type's default application.
inline constexpr std::string_view kDefaultsGroup = "Default Applications";

// The largest list file read; a larger user list is an error, a larger system one is skipped.
inline constexpr std::size_t kMaxMimeAppsListBytes = 4 * 1024 * 1024;

// The default application of a MIME type, as the desktop finds it.
struct DefaultApplication
{
    std::string desktopId;   // "vlc.desktop", or empty when there is none
    std::string desktopFile; // where that desktop file is installed
    std::string listFile;    // the mimeapps.list / defaults.list / mimeinfo.cache that named it
    std::error_code error;   // reading the user's own mimeapps.list failed
    std::string errorFile;
};

// What the desktop opens a MIME type with: the first installed entry of "[Default
// Applications]" in the mimeapps.list files in order of precedence (config home, config dirs,
// data home and data dirs, desktop-specific files before the plain ones), then of the
// defaults.list files; else of "[Added Associations]" in the same order, and last of the
// mimeinfo.cache files of the data folders, both without the entries that "[Removed
// Associations]" of that or an earlier list takes away.
DefaultApplication FindDefaultApplication(const DesktopFolders& folders, std::string_view mimeType);

// Where the installed desktop file of an id lies ("vendor-app.desktop" may also be
// applications/vendor/app.desktop); empty when it is not installed.
std::string FindDesktopFile(const DesktopFolders& folders, std::string_view desktopId);

// The items of a ";"-separated list value, trimmed, empty ones left out.
std::vector<std::string> SplitDesktopList(std::string_view value);

// True when a missing file (or folder on its way) caused the error.
bool IsMissingFileError(const std::error_code& error);

} // namespace zuv
