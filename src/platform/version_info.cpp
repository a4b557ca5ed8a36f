#include "platform/version_info.h"

#include "util/number_format.h"

namespace zuv {

std::string FormatFileVersionNumber(const platform::FixedFileVersion& version, bool withRelease)
{
    std::string text = FormatInteger(version.fileVersionMS >> 16) + '.' +
                       FormatInteger(version.fileVersionMS & 0xFFFF);
    if (withRelease)
        text += '.' + FormatInteger(version.fileVersionLS >> 16);
    if (version.fileFlags & platform::kVersionFlagPrerelease)
        text += " b";
    return text;
}

std::string FileVersionNumber(const std::string& path, bool withRelease)
{
    const auto version = platform::ReadFixedFileVersion(path);
    return version ? FormatFileVersionNumber(*version, withRelease) : std::string();
}

std::string FileVersionValue(const std::string& path, const std::string& name)
{
    return platform::ReadFileVersionValue(path, name);
}

} // namespace zuv
