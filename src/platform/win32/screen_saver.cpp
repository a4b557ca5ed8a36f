#include "platform/screen_saver.h"

#include "platform/win32/system_command_filter.h"
#include "platform/win32/windows_headers.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

namespace zuv::platform {

// While inhibited, the screen saver and monitor power-off commands that reach the program's
// windows are answered as handled; the system is also told that the display is in use, since
// newer Windows starts the screen saver without asking the windows.
struct ScreenSaverInhibitor::State : QAbstractNativeEventFilter
{
    bool inhibited = false;

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
}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    Release();
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(m_state.get());
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
