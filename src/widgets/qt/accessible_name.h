#pragma once

#include <QString>

class QWidget;

namespace zuv {

// Names a control for screen readers after the caption that stands for it on screen (a label or
// a check box beside it) or after a text of the language file; the access-key mark "&" is left
// out. An editable combo box's edit field, which screen readers reach on its own, gets the same
// name. Called again with every change of language.
void NameAfterCaption(QWidget* control, const QString& caption);
// The same with the text of the label or button that stands for the control.
void NameAfter(QWidget* control, const QWidget* caption);

} // namespace zuv
