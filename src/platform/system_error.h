#pragma once

#include <string>

#ifndef _WIN32
#include <cerrno>
#endif

namespace zuv::platform {

// The system's message text for an error code, or empty when it has none.
std::string SystemErrorMessage(int code);

// The error code of the last failed system call on this thread.
int LastSystemError();

// The system error codes the program tells apart, by the system's own numbers.
#ifdef _WIN32
inline constexpr int kErrorFileNotFound = 2;     // ERROR_FILE_NOT_FOUND
inline constexpr int kErrorPathNotFound = 3;     // ERROR_PATH_NOT_FOUND
inline constexpr int kErrorAccessDenied = 5;     // ERROR_ACCESS_DENIED
inline constexpr int kErrorInvalidArgument = 87; // ERROR_INVALID_PARAMETER
inline constexpr int kErrorBusy = 170;           // ERROR_BUSY
inline constexpr int kErrorFileTooLarge = 223;   // ERROR_FILE_TOO_LARGE
#else
inline constexpr int kErrorFileNotFound = ENOENT;
inline constexpr int kErrorPathNotFound = ENOTDIR; // a part of the path is no folder
inline constexpr int kErrorAccessDenied = EACCES;
inline constexpr int kErrorInvalidArgument = EINVAL;
inline constexpr int kErrorBusy = EBUSY;
inline constexpr int kErrorFileTooLarge = EFBIG;
#endif

} // namespace zuv::platform
