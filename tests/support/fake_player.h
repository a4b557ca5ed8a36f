#pragma once

#include "support/test_support.h"

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace zuv::test {

// Writes an executable shell script named `name` (by default the player's name) into `folder`
// and returns its path. Perl (always on Debian) writes exact bytes in single writes.
inline std::string WriteFakePlayer(const std::string& folder, std::string_view body,
                                   std::string_view name = "mplayer")
{
    const std::string path = folder + std::string(name);
    WriteFile(path, "#!/bin/sh\n" + std::string(body) + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

} // namespace zuv::test
