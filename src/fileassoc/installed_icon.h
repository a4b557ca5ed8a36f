#pragma once

#include "fileassoc/desktop_folders.h"

#include <string>
#include <vector>

namespace zuv {

// The program's icon as installed for the desktop: the hicolor pictures of the sizes that window
// managers and task bars show, smallest first, from the first data folder that holds any (the
// user's own before the system's). Empty when none is installed (a program run from where it was
// built, or on Windows, where the program file carries its icon).
//
// Looked up by path rather than through an icon theme: reading the theme's index for one picture
// costs about a megabyte of memory and milliseconds at every start.
std::vector<std::string> InstalledIconFiles(const DesktopFolders& folders);

} // namespace zuv
