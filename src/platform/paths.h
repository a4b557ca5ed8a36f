#pragma once

#include <string_view>

namespace zuv::platform {

// Characters that end the folder part of a path ("\" and ":" on Windows, "/" here).
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "\\:";
inline constexpr char kPreferredSeparator = '\\';
#else
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr char kPreferredSeparator = '/';
#endif

} // namespace zuv::platform
