#pragma once

class QAction;
class QAbstractButton;

namespace zuv {

// Ties a push button to an action: the button shows the action's caption, is enabled and
// visible with it, and triggers it when clicked.
void LinkButtonToAction(QAbstractButton* button, QAction* action);

} // namespace zuv
