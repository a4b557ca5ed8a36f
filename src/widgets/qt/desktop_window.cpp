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
    if (!window.isVisible()) {
        // Taken when it is shown next.
        window.setWindowFlags(flags);
        return;
    }
    // setWindowFlags would hide the shown window and show it again without the state (Qt 6.4 on
    // X11, measured with openbox) and have it placed anew; the flag goes to the window as it is.
    window.overrideWindowFlags(flags);
    if (!DesktopManagesWindows())
        window.windowHandle()->setFlags(flags);
}

void BringToFront(QWidget& window)
{
    window.raise();
    if (!DesktopManagesWindows())
        window.activateWindow();
}

} // namespace zuv
