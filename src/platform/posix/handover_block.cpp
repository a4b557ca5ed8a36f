#include "platform/handover_block.h"

#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/posix/descriptor.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zuv::platform {

namespace {

int WriteBlock(int fd, std::string_view text)
{
    const std::size_t size = text.size() + 1;
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0)
        return errno;
    void* view = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED)
        return errno;
    std::memcpy(view, text.data(), text.size());
    static_cast<char*>(view)[text.size()] = '\0';
    ::munmap(view, size);
    return 0;
}

} // namespace

std::string HandoverBlockName()
{
    return "/zuv-ipc-" + std::to_string(::getuid());
}

int CreateHandoverBlock(const std::string& name, std::string_view text)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        Descriptor fd(::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd.get() >= 0) {
            const int error = WriteBlock(fd.get(), text);
            if (error != 0)
                ::shm_unlink(name.c_str());
            return error;
        }
        if (errno != EEXIST)
            return errno;
        // Left over by a sender that died while holding the hand-over lock.
        ::shm_unlink(name.c_str());
    }
    return EEXIST;
}

HandoverBlockText ReadHandoverBlock(const std::string& name, std::size_t maxSize)
{
    HandoverBlockText result;
    Descriptor fd(::shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0));
    if (fd.get() < 0) {
        result.error = errno;
        return result;
    }
    struct stat info
    {};
    if (::fstat(fd.get(), &info) != 0) {
        result.error = errno;
        return result;
    }
    if (info.st_uid != ::getuid() || (info.st_mode & 0077) != 0) {
        result.error = EPERM;
        return result;
    }
    if (info.st_size <= 0 || static_cast<unsigned long long>(info.st_size) > maxSize) {
        result.error = info.st_size <= 0 ? ENODATA : EFBIG;
        return result;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd.get(), 0);
    if (view == MAP_FAILED) {
        result.error = errno;
        return result;
    }
    const char* data = static_cast<const char*>(view);
    const void* nul = std::memchr(data, '\0', size);
    if (nul)
        result.text.assign(data, static_cast<const char*>(nul));
    else
        result.error = EBADMSG;
    ::munmap(view, size);
    return result;
}

void RemoveHandoverBlock(const std::string& name)
{
    ::shm_unlink(name.c_str());
}

std::optional<HandoverLock> HandoverLock::Acquire(int timeoutMs)
{
    // Beside the block, in the same per-user name space: senders that reach different running
    // copies (another runtime folder) still share the one block name, so they must share the lock.
    const std::string name = HandoverBlockName() + ".lock";
    const int fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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
    folder = TempFolder() + "zuvora-" + std::to_string(::getuid()) + "/";
    ::mkdir(folder.c_str(), 0700);
    struct stat info
    {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return {};
    if ((info.st_mode & 0077) != 0)
        ::chmod(folder.c_str(), 0700);
    return folder;
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
