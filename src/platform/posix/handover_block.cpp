#include "platform/handover_block.h"

#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/posix/descriptor.h"
#include "platform/zuvora_error.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zuv::platform {

namespace {

int WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t done = ::write(fd, data.data(), data.size());
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(done));
    }
    return 0;
}

} // namespace

// In the user's own runtime folder: a name in /dev/shm could be taken first by anyone, and the
// sticky folder would never let us remove it again.
std::string HandoverBlockName()
{
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + "zuv-ipc";
}

std::error_code CreateHandoverBlock(const std::string& name, std::string_view text)
{
    if (name.empty())
        return SystemError(ENOENT);
    for (int attempt = 0; attempt < 2; ++attempt) {
        Descriptor fd(
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.get() >= 0) {
            std::string block(text);
            block += '\0';
            const int error = WriteAll(fd.get(), block);
            if (error != 0)
                ::unlink(name.c_str());
            return SystemError(error);
        }
        if (errno != EEXIST)
            return SystemError(errno);
        // Left over by a sender that died while holding the hand-over lock.
        ::unlink(name.c_str());
    }
    return SystemError(EEXIST);
}

HandoverBlockText ReadHandoverBlock(const std::string& name, std::size_t maxSize)
{
    HandoverBlockText result;
    Descriptor fd(::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        result.error = SystemError(errno);
        return result;
    }
    struct stat info
    {};
    if (::fstat(fd.get(), &info) != 0) {
        result.error = SystemError(errno);
        return result;
    }
    if (!S_ISREG(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 0077) != 0) {
        result.error = SystemError(EPERM);
        return result;
    }
    if (info.st_size <= 0 || static_cast<unsigned long long>(info.st_size) > maxSize) {
        result.error = info.st_size <= 0 ? SystemError(ENODATA) : ZuvoraError::TooLarge;
        return result;
    }
    std::string data(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    while (filled < data.size()) {
        const ssize_t got = ::read(fd.get(), data.data() + filled, data.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = SystemError(errno);
            return result;
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    const std::size_t nul = data.find('\0');
    if (nul == std::string::npos || nul >= filled)
        result.error = SystemError(EBADMSG);
    else
        result.text = data.substr(0, nul);
    return result;
}

void RemoveHandoverBlock(const std::string& name)
{
    if (!name.empty())
        ::unlink(name.c_str());
}

std::optional<HandoverLock> HandoverLock::Acquire(int timeoutMs)
{
    // Beside the block: senders that write the same block wait for each other.
    const std::string block = HandoverBlockName();
    if (block.empty())
        return std::nullopt;
    const std::string name = block + ".lock";
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return std::nullopt;
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::getuid()) {
        ::close(fd); // not ours: someone else could hold it forever
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return HandoverLock(fd);
}

HandoverLock::HandoverLock(HandoverLock&& other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

HandoverLock::~HandoverLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing releases the lock
}

std::string RuntimeFolder()
{
    std::string folder = EnvironmentValue("XDG_RUNTIME_DIR");
    if (!folder.empty()) {
        if (folder.back() != '/')
            folder += '/';
        return folder;
    }
    // Without a runtime folder: a private folder of our own under the temporary folder.
    return PrivateTempFolder();
}

} // namespace zuv::platform

#include <sys/socket.h>

namespace zuv::platform {

bool PeerIsSameUser(long long socketDescriptor)
{
    struct ucred credentials
    {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &length) != 0)
        return false;
    return credentials.uid == ::getuid();
}

} // namespace zuv::platform
