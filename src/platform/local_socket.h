#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace zuv::platform {

// Stream sockets on a path in the file system, as the single-instance hand-over uses them.
// Every function answers -1 / false on failure, with the system error code in errno.

// Listens on `path`, readable and writable by this user only; the descriptor is non-blocking.
// Fails with EADDRINUSE while another process listens there; a socket file nobody listens on
// (left by a crashed process) is replaced.
int ListenOnLocalSocket(const std::string& path);

// Connects to `path`; the descriptor is blocking. Fails at once when nobody listens there.
int ConnectToLocalSocket(const std::string& path);

// Takes a waiting connection from a listening descriptor (non-blocking; -1 with EAGAIN when
// none waits). The connection is non-blocking as well.
int AcceptLocalConnection(int listeningDescriptor);

// Writes or reads exactly `size` bytes before `deadline`.
bool SendAll(int descriptor, const void* data, std::size_t size,
             std::chrono::steady_clock::time_point deadline);
bool ReceiveAll(int descriptor, void* data, std::size_t size,
                std::chrono::steady_clock::time_point deadline);

// Reads what is there without waiting: the number of bytes, 0 when the peer has closed, -1 with
// errno EAGAIN when nothing waits (or another error).
long ReceiveAvailable(int descriptor, void* data, std::size_t size);

void CloseDescriptor(int descriptor);

} // namespace zuv::platform
