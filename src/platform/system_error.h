#pragma once

#include <string>

namespace zuv::platform {

// The system's message text for an error code, or empty when it has none.
std::string SystemErrorMessage(int code);

// The error code of the last failed system call on this thread.
int LastSystemError();

} // namespace zuv::platform
