#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace zuv::platform {

// The control socket of a player we start (mpv's --input-ipc-server): the player listens, we
// connect. Where the desktop has no media controls to drive the player (Windows) there is none.

// A path for the socket `name` in a folder that only this user can reach (the runtime folder
// the hand-over's socket lives in); empty where there is none or the path would be too long for
// a socket.
std::string PlayerSocketPath(const std::string& name);

// Connects to the player listening at `path`; -1 when nobody listens there yet, or when the one
// listening is another user.
int ConnectToPlayerSocket(const std::string& path);

// Reads what is there without waiting: the number of bytes, 0 when the player has closed, -1
// when nothing waits (or another error, with errno set).
long ReadPlayerSocket(int socket, void* data, std::size_t size);
// Writes all of `data` before `deadline`; false when the player is gone or does not take it.
bool WritePlayerSocket(int socket, const std::string& data,
                       std::chrono::steady_clock::time_point deadline);
void ClosePlayerSocket(int socket);

} // namespace zuv::platform
