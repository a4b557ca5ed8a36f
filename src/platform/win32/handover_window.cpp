#include "platform/win32/handover_window.h"

#include "platform/win32/windows_headers.h"

namespace zuv::platform {

namespace {

LRESULT CALLBACK HandoverWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return static_cast<LRESULT>(HandoverWindow::DispatchFor(window, message, wParam, lParam));
}

} // namespace

std::intptr_t HandoverWindow::DispatchFor(void* window, unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam)
{
    const HWND handle = static_cast<HWND>(window);
    if (message >= WM_APP && message <= 0xBFFF) {
        auto* self = reinterpret_cast<HandoverWindow*>(::GetWindowLongPtrA(handle, GWLP_USERDATA));
        if (self && self->m_answer)
            return static_cast<std::intptr_t>(self->m_answer(message));
        return 0;
    }
    return ::DefWindowProcA(handle, message, wParam, lParam);
}

std::unique_ptr<HandoverWindow> HandoverWindow::Create(const std::string& className, Answer answer)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HandoverWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className.c_str();
    if (!::RegisterClassA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    std::unique_ptr<HandoverWindow> self(new HandoverWindow);
    self->m_className = className;
    self->m_answer = std::move(answer);
    // Top-level (FindWindowA does not see message-only windows) and never shown.
    const HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), "Zuvora", WS_POPUP,
                                          0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self.get()));
    self->m_window = reinterpret_cast<std::uintptr_t>(window);
    return self;
}

HandoverWindow::~HandoverWindow()
{
    if (m_window) {
        const HWND window = reinterpret_cast<HWND>(m_window);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ::DestroyWindow(window);
    }
    ::UnregisterClassA(m_className.c_str(), ::GetModuleHandleA(nullptr));
}

std::uintptr_t FindHandoverWindow(const std::string& className)
{
    return reinterpret_cast<std::uintptr_t>(::FindWindowA(className.c_str(), nullptr));
}

std::optional<std::uint32_t> SendHandoverMessage(std::uintptr_t window, std::uint32_t message,
                                                 int timeoutMs)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, 0, 0,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               static_cast<UINT>(std::max(0, timeoutMs)), &result))
        return std::nullopt;
    return static_cast<std::uint32_t>(result);
}

} // namespace zuv::platform
