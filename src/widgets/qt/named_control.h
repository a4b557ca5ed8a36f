#pragma once

#include <QString>

namespace zuv {

// Gives a control its designed name, by which the language file's keys, tests and the fit check
// know it.
template <class Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace zuv
