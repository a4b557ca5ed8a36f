#pragma once

#include <string>

namespace zuv {

// The player's key-binding file that the settings dialog opens for editing: "mplayer/input.conf"
// in the program folder when one lies there; otherwise the file the player itself reads on this
// system, "~/.mplayer/input.conf", which is made (as a copy of the system's "/etc/mplayer/
// input.conf", else empty) when it does not exist yet, so that the editor has a file to open.
std::string KeyBindingFile(const std::string& programFolder, const std::string& homeFolder,
                           const std::string& systemFile = "/etc/mplayer/input.conf");

} // namespace zuv
