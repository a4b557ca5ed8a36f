#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zuv::platform {

// The channel between a second copy and the running copy: numbered messages, each answered with
// a number, one at a time. What the numbers mean is the program's business. On Windows the
// running copy owns a hidden top-level window of a class named after its main window and the
// messages are window messages; elsewhere it listens on a local socket, reachable by this user
// only, where each message and each reply is a 32-bit little-endian number.

// Where the receiver called `name` is found: on Windows the window class `name`; elsewhere the
// socket `name` in the user's runtime folder (empty when there is no private folder for it).
std::string HandoverAddress(const std::string& name);

// Of the copies that find nobody listening at `address`, exactly one takes the role of the
// receiver; the others hand over to it once it listens. True when this process holds the role
// (from now on, until released or the process ends: the system lets go of it with the process),
// false while another process holds it. Always true on Windows, where the window is the role.
bool TakeListeningRole(const std::string& address);
void ReleaseListeningRole(const std::string& address);
// True when this process took the role (always on Windows).
bool HoldsListeningRole(const std::string& address);

// Sender: the link to a running receiver.
class HandoverConnection
{
public:
    using Clock = std::chrono::steady_clock;

    // None when nobody listens at `address` (no running copy, a stale socket), or when the one
    // listening there is another user.
    static std::optional<HandoverConnection> Connect(const std::string& address);
    HandoverConnection(HandoverConnection&& other) noexcept;
    HandoverConnection& operator=(HandoverConnection&&) = delete;
    HandoverConnection(const HandoverConnection&) = delete;
    ~HandoverConnection();

    // Sends `message` and waits for its reply until `deadline`; none when the receiver is gone or
    // did not answer in time (a hung copy never hangs the sender).
    std::optional<std::uint32_t> Ask(std::uint32_t message, Clock::time_point deadline);

private:
    explicit HandoverConnection(std::intptr_t handle) : m_handle(handle) {}
    std::intptr_t m_handle; // the socket, or the window
};

// Receiver: answers the messages on the thread that made it, one at a time, through that
// thread's event loop (on POSIX systems it watches its socket with Qt and is built into the
// window library). A message that `answer` does not know (none) ends that sender's connection
// where there is one, and is answered 0 otherwise.
class HandoverListener
{
public:
    using Answer = std::function<std::optional<std::uint32_t>(std::uint32_t message)>;

    // None when another process already listens at `address` or holds the listening role (see
    // TakeListeningRole; the listener holds it while it lives), or the listener cannot be made;
    // a socket left by a crashed copy is replaced.
    static std::unique_ptr<HandoverListener> Listen(const std::string& address, Answer answer);
    virtual ~HandoverListener() = default;

    // While held, senders wait unanswered and their messages stay queued; once released they are
    // served in the order they came, from the event loop. A message box's own loop serves none
    // while held, on Windows as well.
    virtual void Hold(bool on) = 0;

protected:
    HandoverListener() = default;
};

} // namespace zuv::platform
