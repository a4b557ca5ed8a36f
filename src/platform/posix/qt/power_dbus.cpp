#include "platform/power.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace zuv::platform {

namespace {

// logind may take a while to ask its inhibitors; the program ends right after anyway.
constexpr int kCallTimeoutMilliseconds = 25000;

} // namespace

int RequestSystemPowerOff()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return kPowerOffFailed;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false; // not interactive: never ask the user for a password
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return kPowerOffAccepted;
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.AccessDenied") ||
        error == QLatin1String("org.freedesktop.DBus.Error.AuthFailed") ||
        error == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"))
        return kPowerOffNotPermitted;
    return kPowerOffFailed;
}

} // namespace zuv::platform
