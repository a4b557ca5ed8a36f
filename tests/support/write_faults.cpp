#include "support/write_faults.h"

#ifndef _WIN32

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zuv::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    ::getrlimit(RLIMIT_FSIZE, &m_old);
    // Past the limit the write fails instead of the process being killed.
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
}

ImmutableFolder::ImmutableFolder(const std::string& folder)
    : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    m_active = SetFlag(true);
}

ImmutableFolder::~ImmutableFolder()
{
    if (m_active)
        SetFlag(false);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ImmutableFolder::SetFlag(bool on)
{
    int flags = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) != 0)
        return false;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    return ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
}

} // namespace zuv::test

#endif
