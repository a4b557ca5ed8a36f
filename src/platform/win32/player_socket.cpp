#include "platform/player_socket.h"

namespace zuv::platform {

// The desktop's media controls are a D-Bus service: nothing on Windows drives the player.

std::string PlayerSocketPath(const std::string&)
{
    return {};
}

int ConnectToPlayerSocket(const std::string&)
{
    return -1;
}

long ReadPlayerSocket(int, void*, std::size_t)
{
    return 0;
}

bool WritePlayerSocket(int, const std::string&, std::chrono::steady_clock::time_point)
{
    return false;
}

void ClosePlayerSocket(int) {}

} // namespace zuv::platform
