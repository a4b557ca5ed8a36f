#include "platform/environment.h"
#include "platform/screen_saver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QVariantMap>

namespace zuv::platform {

namespace {

constexpr int kCallTimeoutMs = 1000;
constexpr uint kInhibitIdle = 8;

// Without a session bus none is started: a connection of no bus, never connected.
QDBusConnection SessionBus()
{
    return SessionBusExists() ? QDBusConnection::sessionBus()
                              : QDBusConnection(QStringLiteral("zuvora-no-session-bus"));
}

bool ServiceRuns(const QDBusConnection& bus, const QString& name)
{
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(name);
}

} // namespace

struct ScreenSaverInhibitor::State
{
    bool inhibited = false;
    QString portalRequest; // object path of the portal's inhibition, when it granted one
    uint screenSaverCookie = 0;
    bool viaScreenSaver = false;
};

ScreenSaverInhibitor::ScreenSaverInhibitor() : m_state(std::make_unique<State>()) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    Release();
}

bool ScreenSaverInhibitor::Inhibited() const
{
    return m_state->inhibited;
}

void ScreenSaverInhibitor::Inhibit()
{
    if (m_state->inhibited)
        return;
    m_state->inhibited = true;
    QDBusConnection bus = SessionBus();
    const QString portal = QStringLiteral("org.freedesktop.portal.Desktop");
    if (ServiceRuns(bus, portal)) {
        QDBusInterface inhibit(portal, QStringLiteral("/org/freedesktop/portal/desktop"),
                               QStringLiteral("org.freedesktop.portal.Inhibit"), bus);
        inhibit.setTimeout(kCallTimeoutMs);
        const QVariantMap options{{QStringLiteral("reason"), QStringLiteral("Playing a film")}};
        const QDBusReply<QDBusObjectPath> reply =
            inhibit.call(QStringLiteral("Inhibit"), QString(), kInhibitIdle, options);
        if (reply.isValid()) {
            m_state->portalRequest = reply.value().path();
            return;
        }
    }
    const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
    if (ServiceRuns(bus, screenSaver)) {
        QDBusInterface service(screenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                               screenSaver, bus);
        service.setTimeout(kCallTimeoutMs);
        const QDBusReply<uint> reply = service.call(
            QStringLiteral("Inhibit"), QStringLiteral("Zuvora"), QStringLiteral("Playing a film"));
        if (reply.isValid()) {
            m_state->screenSaverCookie = reply.value();
            m_state->viaScreenSaver = true;
        }
    }
}

void ScreenSaverInhibitor::Release()
{
    if (!m_state->inhibited)
        return;
    m_state->inhibited = false;
    QDBusConnection bus = SessionBus();
    if (!m_state->portalRequest.isEmpty()) {
        QDBusInterface request(QStringLiteral("org.freedesktop.portal.Desktop"),
                               m_state->portalRequest,
                               QStringLiteral("org.freedesktop.portal.Request"), bus);
        request.setTimeout(kCallTimeoutMs);
        request.call(QDBus::NoBlock, QStringLiteral("Close"));
        m_state->portalRequest.clear();
    }
    if (m_state->viaScreenSaver) {
        QDBusInterface service(QStringLiteral("org.freedesktop.ScreenSaver"),
                               QStringLiteral("/org/freedesktop/ScreenSaver"),
                               QStringLiteral("org.freedesktop.ScreenSaver"), bus);
        service.call(QDBus::NoBlock, QStringLiteral("UnInhibit"), m_state->screenSaverCookie);
        m_state->viaScreenSaver = false;
    }
}

} // namespace zuv::platform
