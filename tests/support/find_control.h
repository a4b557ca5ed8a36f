#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace zuv::test {

// A window's control by its object name. A missing one stops the test program at once, so that a
// renamed control fails with its name rather than with a null pointer.
template <class Control>
Control* Find(const QObject* window, const char* name)
{
    auto* control = window->findChild<Control*>(QString::fromLatin1(name));
    if (!control)
        qFatal("No %s named %s", Control::staticMetaObject.className(), name);
    return control;
}

} // namespace zuv::test
