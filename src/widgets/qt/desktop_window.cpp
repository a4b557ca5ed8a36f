#include "widgets/qt/desktop_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

namespace zuv {

namespace {

// Openbox maps a frameless window inside a frame window of its own, and Qt 6.4 on X11 now and
// then takes the window's place inside that frame, (0, 0), for its place on the screen (seen in
// about one show in three). Drop-down lists then open at the screen's corner and screen readers
// give wrong places. Until the window has shown at the place it was given, it is put back there;
// later moves are the window manager's or the user's and are kept.
class PlaceKeeper : public QObject
{
public:
    explicit PlaceKeeper(QWindow& window) : QObject(&window) {}

    void Keep(const QPoint& place)
    {
        m_place = place;
        parent()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Move && event->type() != QEvent::Expose)
            return false;
        auto* window = static_cast<QWindow*>(watched);
        if (window->position() != m_place)
            window->setPosition(m_place);
        else if (window->isExposed())
            window->removeEventFilter(this);
        return false;
    }

private:
    QPoint m_place;
};

void KeepPlaceUntilShown(QWidget& window, const QPoint& topLeft)
{
    QWindow* handle = window.windowHandle();
    if (!handle || !window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return;
    auto* keeper = handle->findChild<PlaceKeeper*>(QString(), Qt::FindDirectChildrenOnly);
    if (!keeper)
        keeper = new PlaceKeeper(*handle);
    keeper->Keep(topLeft);
}

} // namespace

bool DesktopManagesWindows()
{
    static const bool wayland =
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return wayland;
}

void PlaceWindow(QWidget& window, const QPoint& topLeft)
{
    if (DesktopManagesWindows())
        return;
    window.move(topLeft);
    KeepPlaceUntilShown(window, topLeft);
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

void CloseOnEscape(QWidget& window)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &window, &QWidget::close);
}

Qt::WindowFlags SecondaryWindowType()
{
    return Qt::Dialog;
}

} // namespace zuv
