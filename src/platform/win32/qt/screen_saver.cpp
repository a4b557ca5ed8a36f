#include "platform/screen_saver.h"

#include "platform/win32/system_command_filter.h"
#include "platform/win32/windows_headers.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QPointer>
#include <QWindow>

#include <commctrl.h>
#include <set>

namespace zuv::platform {

namespace {

constexpr UINT_PTR kSubclassId = 0x5A5553;

bool HasSystemWindows()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QGuiApplication::platformName() == QLatin1String("windows");
}

} // namespace

// While inhibited, the screen saver and monitor power-off commands that reach the program's
// windows are answered as handled; the system is also told that the display is in use, since
// newer Windows starts the screen saver without asking the windows.
// Qt's window procedure runs the native event filters for queued system commands only (its event
// loop filters those); a command sent to a window reaches the window directly, so each top-level
// window of the program is subclassed as well, from its creation on.
struct ScreenSaverInhibitor::State : QAbstractNativeEventFilter, QObject
{
    bool inhibited = false;
    std::set<HWND> subclassed;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data)
    {
        State* state = reinterpret_cast<State*>(data);
        if (SwallowsSystemCommand(message, wParam, state->inhibited))
            return 1;
        if (message == WM_NCDESTROY) {
            ::RemoveWindowSubclass(window, WindowProcedure, kSubclassId);
            state->subclassed.erase(window);
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    void Subclass(QWindow* window)
    {
        if (!window->isTopLevel() || !window->handle())
            return;
        const HWND handle = reinterpret_cast<HWND>(window->winId());
        if (!subclassed.contains(handle) &&
            ::SetWindowSubclass(handle, WindowProcedure, kSubclassId,
                                reinterpret_cast<DWORD_PTR>(this)))
            subclassed.insert(handle);
    }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::PlatformSurface && object->isWindowType() &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceCreated) {
            // The window of the system exists once the event has been handled.
            QWindow* window = static_cast<QWindow*>(object);
            QMetaObject::invokeMethod(
                this,
                [this, window = QPointer<QWindow>(window)] {
                    if (window)
                        Subclass(window);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* windowMessage = static_cast<const MSG*>(message);
        if (!SwallowsSystemCommand(windowMessage->message, windowMessage->wParam, inhibited))
            return false;
        *result = 1;
        return true;
    }
};

ScreenSaverInhibitor::ScreenSaverInhibitor() : m_state(std::make_unique<State>())
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installNativeEventFilter(m_state.get());
    if (HasSystemWindows()) {
        QCoreApplication::instance()->installEventFilter(m_state.get());
        for (QWindow* window : QGuiApplication::topLevelWindows())
            m_state->Subclass(window);
    }
}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    Release();
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(m_state.get());
    for (HWND window : m_state->subclassed)
        ::RemoveWindowSubclass(window, State::WindowProcedure, kSubclassId);
}

bool ScreenSaverInhibitor::Inhibited() const
{
    return m_state->inhibited;
}

void ScreenSaverInhibitor::Inhibit()
{
    if (m_state->inhibited)
        return;
    m_state->inhibited = true;
    ::SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
}

void ScreenSaverInhibitor::Release()
{
    if (!m_state->inhibited)
        return;
    m_state->inhibited = false;
    ::SetThreadExecutionState(ES_CONTINUOUS);
}

} // namespace zuv::platform
