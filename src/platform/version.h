#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zuv::platform {

// The fixed part of a file's version information.
struct FixedFileVersion
{
    std::uint32_t fileVersionMS = 0; // major << 16 | minor
    std::uint32_t fileVersionLS = 0; // release << 16 | build
    std::uint32_t fileFlags = 0;     // kVersionFlagPrerelease and others
};

inline constexpr std::uint32_t kVersionFlagPrerelease = 2;

// The version this program was built with (the same on every system).
inline FixedFileVersion BuildVersion()
{
    FixedFileVersion version;
    version.fileVersionMS = (ZUVORA_VERSION_MAJOR << 16) | ZUVORA_VERSION_MINOR;
    version.fileVersionLS = ZUVORA_VERSION_PATCH << 16;
    version.fileFlags = ZUVORA_PRERELEASE ? kVersionFlagPrerelease : 0;
    return version;
}

// The version information of a program file, or none when it has none. On Linux only the
// running executable carries one: the version it was built with. On Windows: the fixed part of
// the file's version resource.
std::optional<FixedFileVersion> ReadFixedFileVersion(const std::string& path);

// A named text of a file's version resource ("FileVersion", "ProductName" ...), from the block of
// the resource's first translation; empty when there is none. Linux files carry no such texts.
std::string ReadFileVersionValue(const std::string& path, const std::string& name);

} // namespace zuv::platform
