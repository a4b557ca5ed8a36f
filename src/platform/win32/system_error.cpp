#include "platform/system_error.h"

#include "platform/win32/windows_headers.h"

namespace zuv::platform {

std::string SystemErrorMessage(int code)
{
    if (code == 0)
        return {};
    char* buffer = nullptr;
    // The user's default language; the system allocates the text, LocalFree releases it.
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                         static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                         reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length > 0 && buffer)
        text.assign(buffer, length);
    if (buffer)
        ::LocalFree(buffer);
    return text;
}

int LastSystemError()
{
    return static_cast<int>(::GetLastError());
}

} // namespace zuv::platform
