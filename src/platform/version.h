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

// The version this program was built with.
FixedFileVersion BuildVersion();

// The version information of a program file, or none when it has none. On this system only the
// running executable carries one: the version it was built with.
std::optional<FixedFileVersion> ReadFixedFileVersion(const std::string& path);

} // namespace zuv::platform
