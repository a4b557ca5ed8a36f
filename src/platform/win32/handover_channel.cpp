#include "platform/handover_channel.h"

#include "platform/win32/windows_headers.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <thread>

namespace zuv::platform {

namespace {

// Sent by the listening thread to the answering window: wParam the hand-over message, lParam the
// Request to fill.
constexpr UINT kAnswerRequest = WM_APP + 1;
// Posted to the answering window when a held request may be answered.
constexpr UINT kAnswerHeld = WM_APP + 2;
constexpr char kAnswerClassName[] = "ZuvoraHandoverAnswer";

struct Request
{
    std::uint32_t message = 0;
    bool held = false; // filled in later; the listening thread waits for `answered`
    LRESULT reply = 0;
};

// A second copy's messages reach a hidden top-level window of the class it looks for. That window
// lives on a thread of its own, so that a message can wait there while the start-up holds the
// hand-over: a window of the UI thread would have to answer at once, even from inside a message
// box that the start-up shows. The messages are answered on the thread that listens, through a
// message-only window of that thread, one at a time as the listening thread receives them.
class WindowListener final : public HandoverListener
{
public:
    static std::unique_ptr<WindowListener> Create(const std::string& className, Answer answer);
    ~WindowListener() override;

    void Hold(bool on) override;

private:
    WindowListener() = default;
    bool Start(const std::string& className);
    void Run(const std::string& className, std::promise<HWND>& created);
    static LRESULT CALLBACK ListenProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static LRESULT CALLBACK AnswerProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT AnswerNow(std::uint32_t message);
    void AnswerHeld();

    // The UI thread's side.
    HWND m_answerWindow = nullptr;
    Answer m_answer;
    bool m_held = false;
    Request* m_heldRequest = nullptr;
    // The listening thread's side.
    std::thread m_thread;
    HWND m_window = nullptr;
    std::string m_className;
    // Signalled when a held request has its reply, or when the listener ends.
    ScopedHandle m_answered;
    std::atomic<bool> m_ending{false};
    std::atomic<bool> m_finished{false};
};

template <class Self>
Self* WindowData(HWND window)
{
    return reinterpret_cast<Self*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK WindowListener::ListenProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    if (message == WM_CLOSE) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    if (message >= WM_APP && message <= 0xBFFF) {
        auto* self = WindowData<WindowListener>(window);
        if (!self || self->m_ending)
            return 0;
        Request request;
        request.message = message;
        // Answered at once unless held; a held one waits here, and its sender with it, until the
        // UI thread answers it or the listener ends.
        const LRESULT reply = ::SendMessageA(self->m_answerWindow, kAnswerRequest, 0,
                                             reinterpret_cast<LPARAM>(&request));
        if (!request.held)
            return reply;
        ::WaitForSingleObject(self->m_answered.Get(), INFINITE);
        return self->m_ending ? 0 : request.reply;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowListener::AnswerProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    auto* self = WindowData<WindowListener>(window);
    if (self && message == kAnswerRequest) {
        auto* request = reinterpret_cast<Request*>(lParam);
        if (self->m_ending)
            return 0;
        if (!self->m_held && !self->m_heldRequest)
            return self->AnswerNow(request->message);
        request->held = true;
        self->m_heldRequest = request;
        return 0;
    }
    if (self && message == kAnswerHeld) {
        self->AnswerHeld();
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT WindowListener::AnswerNow(std::uint32_t message)
{
    return m_answer ? static_cast<LRESULT>(m_answer(message).value_or(0)) : 0;
}

void WindowListener::AnswerHeld()
{
    if (m_held || !m_heldRequest)
        return;
    Request* request = m_heldRequest;
    m_heldRequest = nullptr;
    request->reply = AnswerNow(request->message);
    ::SetEvent(m_answered.Get());
}

void WindowListener::Hold(bool on)
{
    m_held = on;
    // Served from the event loop, as a message that was never held would be.
    if (!on && m_heldRequest)
        ::PostMessageA(m_answerWindow, kAnswerHeld, 0, 0);
}

std::unique_ptr<WindowListener> WindowListener::Create(const std::string& className, Answer answer)
{
    std::unique_ptr<WindowListener> self(new WindowListener);
    self->m_answer = std::move(answer);
    if (!self->Start(className))
        return nullptr;
    return self;
}

bool WindowListener::Start(const std::string& className)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA answerClass{};
    answerClass.lpfnWndProc = AnswerProcedure;
    answerClass.hInstance = instance;
    answerClass.lpszClassName = kAnswerClassName;
    if (!::RegisterClassA(&answerClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    m_answerWindow = ::CreateWindowExA(0, kAnswerClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                       nullptr, instance, nullptr);
    if (!m_answerWindow)
        return false;
    ::SetWindowLongPtrA(m_answerWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_answered.Reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!m_answered.Valid())
        return false;

    std::promise<HWND> created;
    std::future<HWND> window = created.get_future();
    m_thread = std::thread([this, className, &created] { Run(className, created); });
    m_window = window.get();
    return m_window != nullptr;
}

void WindowListener::Run(const std::string& className, std::promise<HWND>& created)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ListenProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className.c_str();
    HWND window = nullptr;
    if (::RegisterClassA(&windowClass) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        m_className = className;
        // Top-level (FindWindowA does not see message-only windows) and never shown.
        window = ::CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), "Zuvora", WS_POPUP, 0, 0, 0,
                                   0, nullptr, nullptr, instance, nullptr);
    }
    if (window)
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    created.set_value(window);
    if (!window) {
        m_finished = true;
        return;
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    ::UnregisterClassA(className.c_str(), instance);
    m_finished = true;
}

WindowListener::~WindowListener()
{
    // A held sender is let go with no answer; then the thread ends with its window.
    m_ending = true;
    m_heldRequest = nullptr;
    if (m_answered.Valid())
        ::SetEvent(m_answered.Get());
    if (m_window)
        ::PostMessageA(m_window, WM_CLOSE, 0, 0);
    // The listening thread may be sending us a request just now: it gets its answer (none) here.
    while (m_thread.joinable() && !m_finished) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_answerWindow) {
        ::SetWindowLongPtrA(m_answerWindow, GWLP_USERDATA, 0);
        ::DestroyWindow(m_answerWindow);
    }
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
