#pragma once

#include <string_view>

namespace zuv {

// Characters that end the folder part of a path ("/" here). On Windows "\" and ":", and "/" as
// well: Windows takes it for "\", and Qt's file dialogs give paths written with it.
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "\\:/";
inline constexpr char kPreferredSeparator = '\\';
#else
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr char kPreferredSeparator = '/';
#endif

// Whether a path names its file from a root: on Windows a drive ("C:..."), a share or the root
// of the current drive ("\\..." or "/..."); here a leading "/".
inline constexpr bool IsAbsolutePath(std::string_view path)
{
#ifdef _WIN32
    return (path.size() >= 2 && path[1] == ':') ||
           (!path.empty() && (path.front() == '\\' || path.front() == '/'));
#else
    return !path.empty() && path.front() == '/';
#endif
}

// Whether an argument that begins with "/" is a switch. On Windows it always is; here every
// absolute path begins with "/", so only a bare word such as "/start" counts.
#ifdef _WIN32
inline constexpr bool IsSlashSwitch(std::string_view)
{
    return true;
}
#else
inline constexpr bool IsSlashSwitch(std::string_view argument)
{
    if (argument.size() < 2)
        return false;
    for (const char c : argument.substr(1)) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit)
            return false;
    }
    return true;
}
#endif

} // namespace zuv
