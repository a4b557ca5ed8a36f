#include "platform/handover_channel.h"

#include "platform/handover_block.h"
#include "platform/local_socket.h"
#include "platform/posix/handover_message.h"

namespace zuv::platform {

std::string HandoverAddress(const std::string& name)
{
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + name;
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
