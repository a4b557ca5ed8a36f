#pragma once

#include <Qt>

class QPoint;
class QWidget;

namespace zuv {

// What a program may do with its own top-level windows depends on the desktop: on Wayland the
// compositor alone places and stacks them and hands out the focus. There these requests are
// left out instead of being sent, so that nothing warns; the windows work on without them.

// True where the desktop places, stacks and activates the windows itself (Wayland).
bool DesktopManagesWindows();

// Moves a top-level window's outer frame to `topLeft`.
void PlaceWindow(QWidget& window, const QPoint& topLeft);

// Keeps a window above the others, or lets it go back among them, without hiding it, moving it
// or taking the focus. windowFlags() tells the state asked for everywhere.
void SetStaysOnTop(QWidget& window, bool on);

// Raises a window and gives it the focus.
void BringToFront(QWidget& window);

// Escape closes the window while it is the active one, as users expect of secondary windows.
void CloseOnEscape(QWidget& window);

// The window type of the program's secondary windows. A tool window keeps its owner's access
// keys working while it is active, so a letter both use would act in neither; a dialog's access
// keys act in it alone.
Qt::WindowFlags SecondaryWindowType();

} // namespace zuv
