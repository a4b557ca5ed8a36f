#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace zuv::platform {

// The shared block through which a second copy hands its command line to the running copy. The
// sender creates it exclusively, readable by its own user only; the receiver copies the text out;
// the sender removes it after the reply.

// The per-user name of the block.
std::string HandoverBlockName();

// Creates the block holding `text` and a terminating zero. A block left over by a crashed sender
// is replaced.
std::error_code CreateHandoverBlock(const std::string& name, std::string_view text);

// The zero-terminated text of the block. Fails when the block does not exist, is not our user's,
// is larger than `maxSize` (ZuvoraError::TooLarge), or holds no terminating zero.
struct HandoverBlockText
{
    std::string text;
    std::error_code error;
};
HandoverBlockText ReadHandoverBlock(const std::string& name, std::size_t maxSize);

void RemoveHandoverBlock(const std::string& name);

// Serialises hand-overs of concurrent second copies: held from the query until the block is
// removed. Per user, like the block's name. Released when the object is destroyed or the process
// dies.
class HandoverLock
{
public:
    // Waits at most `timeoutMs` for the lock; none when it cannot be had.
    static std::optional<HandoverLock> Acquire(int timeoutMs);
    HandoverLock(HandoverLock&& other) noexcept;
    HandoverLock& operator=(HandoverLock&&) = delete;
    HandoverLock(const HandoverLock&) = delete;
    ~HandoverLock();

private:
#ifdef _WIN32
    explicit HandoverLock(void* mutex) : m_mutex(mutex) {}
    void* m_mutex; // a named mutex, owned by this thread
#else
    explicit HandoverLock(int fd) : m_fd(fd) {}
    int m_fd;
#endif
};

#ifndef _WIN32
// The local socket of the hand-over; on Windows the running copy is found by its window instead.

// A per-user folder for the socket that only this user can reach.
std::string RuntimeFolder();

// True when the peer of a connected local socket runs as this user.
bool PeerIsSameUser(long long socketDescriptor);
#endif

} // namespace zuv::platform
