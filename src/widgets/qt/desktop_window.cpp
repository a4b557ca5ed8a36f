#include "widgets/qt/desktop_window.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace zuv {

bool DesktopManagesWindows()
{
    static const bool wayland =
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return wayland;
}

void PlaceWindow(QWidget& window, const QPoint& topLeft)
{
    if (!DesktopManagesWindows())
        window.move(topLeft);
}

void SetStaysOnTop(QWidget& window, bool on)
{
    Qt::WindowFlags flags = window.windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // setWindowFlags would hide the window and have it placed anew when shown again; the flag
    // goes to the window that exists instead, and to the next one Qt creates.
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle(); handle && !DesktopManagesWindows())
        handle->setFlags(flags);
}

void BringToFront(QWidget& window)
{
    window.raise();
    if (!DesktopManagesWindows())
        window.activateWindow();
}

} // namespace zuv
