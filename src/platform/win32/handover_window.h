#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zuv::platform {

// The single-instance hand-over on Windows: the running copy owns a hidden top-level window of
// the main window's class; a second copy finds it by that class and sends it the hand-over
// messages, each answered with a number.

// Receiver: the window, created on the calling thread, whose message loop (Qt's as well) then
// delivers the messages to `answer` one at a time. Messages below WM_APP take their ordinary
// course.
class HandoverWindow
{
public:
    using Answer = std::function<std::uint32_t(std::uint32_t message)>;

    // None when the class cannot be registered or the window not made.
    static std::unique_ptr<HandoverWindow> Create(const std::string& className, Answer answer);
    ~HandoverWindow();
    HandoverWindow(const HandoverWindow&) = delete;
    HandoverWindow& operator=(const HandoverWindow&) = delete;

    std::uintptr_t Handle() const { return m_window; }

    // The window procedure's work, for the procedure that the system calls.
    static std::intptr_t DispatchFor(void* window, unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam);

private:
    HandoverWindow() = default;

    std::uintptr_t m_window = 0;
    std::string m_className;
    Answer m_answer;
};

// Sender: the first top-level window of the class (the title is not compared); 0 when none.
std::uintptr_t FindHandoverWindow(const std::string& className);

// Sends the message with both parameters 0 and waits for the answer; none when the window is
// gone or does not answer within `timeoutMs` (a hung copy never hangs the sender).
std::optional<std::uint32_t> SendHandoverMessage(std::uintptr_t window, std::uint32_t message,
                                                 int timeoutMs);

} // namespace zuv::platform
