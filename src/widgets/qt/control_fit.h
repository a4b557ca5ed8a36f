#pragma once

#include <QSize>

class QPushButton;
class QWidget;

namespace zuv {

// The room a push button needs for its caption in its own font: the caption with a blank on
// either side, inside the style's frame, and the height of the style's button.
QSize ButtonSizeForCaption(const QPushButton& button);

// Gives a window of fixed size the size its layout asks for with the current font and texts, and
// never less than the size it was drawn with. Run again whenever its texts change.
void FitFixedWindow(QWidget& window, QSize drawn);

} // namespace zuv
