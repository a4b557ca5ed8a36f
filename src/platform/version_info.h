#pragma once

#include "platform/version.h"

#include <string>

namespace zuv {

// "major.minor", with ".release" when `withRelease`, and " b" for a pre-release build.
std::string FormatFileVersionNumber(const platform::FixedFileVersion& version, bool withRelease);

// The version number of a program file, or empty when the file has no version information.
std::string FileVersionNumber(const std::string& path, bool withRelease);

// A named text of a program file's version information ("FileVersion"), or empty.
std::string FileVersionValue(const std::string& path, const std::string& name);

} // namespace zuv
