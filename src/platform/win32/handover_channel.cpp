#include "platform/handover_channel.h"

#include "platform/win32/windows_headers.h"

#include <algorithm>

namespace zuv::platform {

namespace {

// The running copy's hidden window; its message loop (Qt's as well) delivers the messages one
// at a time. Messages below WM_APP take their ordinary course.
class WindowListener final : public HandoverListener
{
public:
    static std::unique_ptr<WindowListener> Create(const std::string& className, Answer answer);
    ~WindowListener() override;

    void Hold(bool) override {}

private:
    WindowListener() = default;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    std::string m_className;
    Answer m_answer;
};

LRESULT CALLBACK WindowListener::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP && message <= 0xBFFF) {
        auto* self = reinterpret_cast<WindowListener*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self || !self->m_answer)
            return 0;
        return static_cast<LRESULT>(self->m_answer(message).value_or(0));
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

std::unique_ptr<WindowListener> WindowListener::Create(const std::string& className, Answer answer)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className.c_str();
    if (!::RegisterClassA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    std::unique_ptr<WindowListener> self(new WindowListener);
    self->m_className = className;
    self->m_answer = std::move(answer);
    // Top-level (FindWindowA does not see message-only windows) and never shown.
    self->m_window = ::CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), "Zuvora", WS_POPUP, 0,
                                       0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!self->m_window)
        return nullptr;
    ::SetWindowLongPtrA(self->m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self.get()));
    return self;
}

WindowListener::~WindowListener()
{
    if (m_window) {
        ::SetWindowLongPtrA(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);
    }
    ::UnregisterClassA(m_className.c_str(), ::GetModuleHandleA(nullptr));
}

} // namespace

std::string HandoverAddress(const std::string& name)
{
    return name;
}

// The first top-level window of the class; the title is not compared.
std::optional<HandoverConnection> HandoverConnection::Connect(const std::string& address)
{
    if (address.empty())
        return std::nullopt;
    const HWND window = ::FindWindowA(address.c_str(), nullptr);
    if (!window)
        return std::nullopt;
    return HandoverConnection(reinterpret_cast<std::intptr_t>(window));
}

HandoverConnection::HandoverConnection(HandoverConnection&& other) noexcept
    : m_handle(other.m_handle)
{
    other.m_handle = 0;
}

HandoverConnection::~HandoverConnection() = default;

// Both parameters are 0.
std::optional<std::uint32_t> HandoverConnection::Ask(std::uint32_t message,
                                                     Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(reinterpret_cast<HWND>(m_handle), message, 0, 0,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               static_cast<UINT>(std::max<long long>(0, left)), &result))
        return std::nullopt;
    return static_cast<std::uint32_t>(result);
}

std::unique_ptr<HandoverListener> HandoverListener::Listen(const std::string& address,
                                                           Answer answer)
{
    if (address.empty())
        return nullptr;
    return WindowListener::Create(address, std::move(answer));
}

bool TakeListeningRole(const std::string&)
{
    return true;
}

void ReleaseListeningRole(const std::string&) {}

bool HoldsListeningRole(const std::string&)
{
    return true;
}

} // namespace zuv::platform
