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

    // None when another process already listens at `address` or the listener cannot be made; a
    // socket left by a crashed copy is replaced.
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
