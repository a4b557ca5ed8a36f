#pragma once

#include <string>
#include <system_error>
#include <type_traits>

namespace zuv {

// Conditions of our own, in their own error category so that they never share a number with a
// system code. System failures travel as codes of the system category (platform::SystemError).
enum class ZuvoraError
{
    NoFileType = 1,    // the system knows no file type for an extension and none could be added
    OverriddenDefault, // a setting of higher precedence decides the default application
    TooLarge,          // a file above the size the program reads
    NotText,           // a file that must be text is not
    DuplicateGroup,    // a key file holds a group we edit more than once
    ToolFailed,        // a helper program of the system failed
    CannotRegister,    // the program's path cannot be written where the desktop reads it
    Encrypted,         // an archive member needs a password we do not have
    CannotUnpack,      // an archive member's compression cannot be read
    Damaged,           // an archive member's data is short, too long or fails its check
};

const std::error_category& ZuvoraCategory();
std::error_code make_error_code(ZuvoraError error);

} // namespace zuv

template <>
struct std::is_error_code_enum<zuv::ZuvoraError> : std::true_type
{};

namespace zuv::platform {

// A system error code (errno here, GetLastError on Windows) as an error_code; 0 is no error.
std::error_code SystemError(int code);

// True when the code says that there is no such file (or no folder on its way).
bool IsNotFoundError(const std::error_code& error);

// The one text for a code: the system's own message for system codes, ours for our own.
std::string ErrorMessage(const std::error_code& error);

} // namespace zuv::platform
