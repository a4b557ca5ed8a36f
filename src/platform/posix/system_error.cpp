#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

namespace zuv::platform {

std::string SystemErrorMessage(int code)
{
    if (code == 0)
        return {};
    char buffer[256] = {};
    // GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text ? std::string(text) : std::string();
}

int LastSystemError()
{
    return errno;
}

} // namespace zuv::platform
