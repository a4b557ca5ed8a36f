#include "platform/handover_channel.h"

#include "platform/handover_block.h"
#include "platform/local_socket.h"
#include "platform/posix/handover_message.h"

#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zuv::platform {

std::string HandoverAddress(const std::string& name)
{
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + name;
}

namespace {

// The role's lock beside each address, held open by this process.
std::map<std::string, int>& HeldRoles()
{
    static std::map<std::string, int> roles;
    return roles;
}

} // namespace

bool TakeListeningRole(const std::string& address)
{
    if (address.empty() || HeldRoles().count(address) != 0)
        return true;
    const std::string path = address + ".role";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    struct stat info
    {};
    // Without a lock file of ours there is nothing to agree on: as before, the socket decides.
    if (fd < 0)
        return true;
    if (::fstat(fd, &info) != 0 || info.st_uid != ::getuid()) {
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    HeldRoles()[address] = fd;
    return true;
}

bool HoldsListeningRole(const std::string& address)
{
    return HeldRoles().count(address) != 0;
}

void ReleaseListeningRole(const std::string& address)
{
    const auto held = HeldRoles().find(address);
    if (held == HeldRoles().end())
        return;
    ::close(held->second); // closing releases the lock
    HeldRoles().erase(held);
}

std::optional<HandoverConnection> HandoverConnection::Connect(const std::string& address)
{
    if (address.empty())
        return std::nullopt;
    const int socket = ConnectToLocalSocket(address);
    if (socket < 0)
        return std::nullopt;
    // Where the folder is open to others, another user may listen first: never hand them files.
    if (!PeerIsSameUser(socket)) {
        CloseDescriptor(socket);
        return std::nullopt;
    }
    return HandoverConnection(socket);
}

HandoverConnection::HandoverConnection(HandoverConnection&& other) noexcept
    : m_handle(other.m_handle)
{
    other.m_handle = -1;
}

HandoverConnection::~HandoverConnection()
{
    CloseDescriptor(static_cast<int>(m_handle));
}

std::optional<std::uint32_t> HandoverConnection::Ask(std::uint32_t message,
                                                     Clock::time_point deadline)
{
    const int socket = static_cast<int>(m_handle);
    const auto bytes = EncodeHandoverNumber(message);
    if (!SendAll(socket, bytes.data(), bytes.size(), deadline))
        return std::nullopt;
    unsigned char reply[4];
    if (!ReceiveAll(socket, reply, sizeof reply, deadline))
        return std::nullopt;
    return DecodeHandoverNumber(reply);
}

} // namespace zuv::platform
