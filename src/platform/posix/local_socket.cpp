#include "platform/local_socket.h"

#include "platform/posix/descriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace zuv::platform {

namespace {

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until the descriptor is ready for `events`, at most until the deadline.
bool WaitFor(int descriptor, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        pollfd entry{descriptor, events, 0};
        const int ready = ::poll(&entry, 1, RemainingMs(deadline));
        if (ready > 0)
            return true;
        if (ready == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
}

} // namespace

int ListenOnLocalSocket(const std::string& path)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return -1;
    const auto answered = [&path] {
        const int probe = ConnectToLocalSocket(path);
        if (probe < 0)
            return false;
        ::close(probe);
        return true;
    };
    // Processes that listen on the path at the same time take turns, so that none replaces a
    // socket that another has bound and not yet listened on. A crashed process's turn ends with
    // it. Without the lock file a moment's wait stands in for the turn.
    Descriptor turn(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    const bool ownTurn = turn.get() >= 0 && ::flock(turn.get(), LOCK_EX) == 0;
    if (answered()) {
        errno = EADDRINUSE;
        return -1;
    }
    Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0)
        return -1;
    const auto bind = [&] {
        return ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    };
    // A free path is taken without removing anything, so of two processes that try at once only
    // one gets it. A file is replaced only when nobody answers on it twice, a moment apart: the
    // other process may have bound it just now and be about to listen.
    if (!bind()) {
        if (errno != EADDRINUSE)
            return -1;
        if (!ownTurn)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (answered()) {
            errno = EADDRINUSE;
            return -1;
        }
        ::unlink(path.c_str());
        if (!bind())
            return -1;
    }
    // No access for others before anyone may connect (the folder is the user's own as well).
    if (::chmod(path.c_str(), 0600) != 0 || ::listen(fd.get(), 16) != 0)
        return -1;
    return fd.release();
}

int ConnectToLocalSocket(const std::string& path)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return -1;
    Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        return -1;
    while (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINTR)
            return -1;
    }
    return fd.release();
}

int AcceptLocalConnection(int listeningDescriptor)
{
    return ::accept4(listeningDescriptor, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
}

bool SendAll(int descriptor, const void* data, std::size_t size,
             std::chrono::steady_clock::time_point deadline)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t sent = ::send(descriptor, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes += sent;
            size -= static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (!WaitFor(descriptor, POLLOUT, deadline))
            return false;
    }
    return true;
}

bool ReceiveAll(int descriptor, void* data, std::size_t size,
                std::chrono::steady_clock::time_point deadline)
{
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::recv(descriptor, bytes, size, MSG_DONTWAIT);
        if (got > 0) {
            bytes += got;
            size -= static_cast<std::size_t>(got);
            continue;
        }
        if (got == 0) {
            errno = ECONNRESET;
            return false;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (!WaitFor(descriptor, POLLIN, deadline))
            return false;
    }
    return true;
}

long ReceiveAvailable(int descriptor, void* data, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::recv(descriptor, data, size, MSG_DONTWAIT);
        if (got >= 0 || errno != EINTR)
            return static_cast<long>(got);
    }
}

void CloseDescriptor(int descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
}

} // namespace zuv::platform
