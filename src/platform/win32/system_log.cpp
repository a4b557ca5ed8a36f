#include "platform/system_log.h"

#include "platform/win32/windows_headers.h"

#include <cstdio>
#include <string>

namespace zuv::platform {

void ReportUnattended(const std::string& text)
{
    std::fprintf(stderr, "zuvora: %s\n", text.c_str());
    std::fflush(stderr);
    const HANDLE log = ::RegisterEventSourceA(nullptr, "Zuvora");
    if (!log)
        return;
    const char* strings[1] = {text.c_str()};
    ::ReportEventA(log, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
    ::DeregisterEventSource(log);
}

} // namespace zuv::platform
