#include "platform/player_socket.h"

#include "platform/handover_block.h"
#include "platform/local_socket.h"

#include <sys/un.h>

namespace zuv::platform {

std::string PlayerSocketPath(const std::string& name)
{
    const std::string folder = RuntimeFolder();
    if (folder.empty())
        return {};
    std::string path = folder + name;
    // The player would refuse a longer one.
    if (path.size() >= sizeof(sockaddr_un{}.sun_path))
        return {};
    return path;
}

int ConnectToPlayerSocket(const std::string& path)
{
    if (path.empty())
        return -1;
    const int socket = ConnectToLocalSocket(path);
    if (socket < 0)
        return -1;
    // Where the folder is open to others, someone else may listen first: never obey them.
    if (!PeerIsSameUser(socket)) {
        CloseDescriptor(socket);
        return -1;
    }
    return socket;
}

long ReadPlayerSocket(int socket, void* data, std::size_t size)
{
    return ReceiveAvailable(socket, data, size);
}

bool WritePlayerSocket(int socket, const std::string& data,
                       std::chrono::steady_clock::time_point deadline)
{
    return SendAll(socket, data.data(), data.size(), deadline);
}

void ClosePlayerSocket(int socket)
{
    CloseDescriptor(socket);
}

} // namespace zuv::platform
