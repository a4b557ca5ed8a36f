#include "platform/system_log.h"

#include <cstdio>
#include <syslog.h>

namespace zuv::platform {

void ReportUnattended(const std::string& text)
{
    std::fprintf(stderr, "zuvora: %s\n", text.c_str());
    std::fflush(stderr);
    ::openlog("zuvora", LOG_PID, LOG_USER);
    ::syslog(LOG_ERR, "%s", text.c_str());
    ::closelog();
}

} // namespace zuv::platform
