#include "fileassoc/desktop_folders.h"
#include "fileassoc/mime_database.h"
#include "mpris/media_control.h"
#include "mpris/qt/media_control_service.h"
#include "mpris/qt/mpris_adaptors.h"
#include "platform/environment.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace zuv {

namespace {

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

struct MediaControlService::State
{
    // Without a session bus none is started (the D-Bus library would launch one that stays).
    QDBusConnection bus = platform::SessionBusExists()
                              ? QDBusConnection::sessionBus()
                              : QDBusConnection(QStringLiteral("zuvora-no-session-bus"));
    MediaControl* control = nullptr;
    // The object on the bus; the adaptors are its children.
    std::unique_ptr<QObject> object;
    QString serviceName;

    void Announce(std::string_view interfaceName, const std::vector<std::string>& names,
                  const MediaProperties& properties)
    {
        if (names.empty())
            return;
        QVariantMap changed;
        for (const std::string& name : names)
            changed.insert(QString::fromStdString(name), MediaPropertyValue(name, properties));
        QDBusMessage signal = QDBusMessage::createSignal(
            Text(kMediaObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("PropertiesChanged"));
        signal << Text(interfaceName) << changed << QStringList();
        bus.send(signal);
    }
};

MediaControlService::MediaControlService(MediaControl& control) : m_state(std::make_unique<State>())
{
    State& state = *m_state;
    if (!state.bus.isConnected())
        return;
    state.object = std::make_unique<QObject>();
    new MprisRootAdaptor(state.object.get(), control);
    new MprisPlayerAdaptor(state.object.get(), control);
    // The object first, so that whoever sees the name finds it.
    if (!state.bus.registerObject(Text(kMediaObjectPath), state.object.get(),
                                  QDBusConnection::ExportAdaptors)) {
        state.object.reset();
        return;
    }
    // A second copy that runs beside us (one copy only is off) takes a name of its own.
    QString name = Text(kMediaServiceName);
    if (!state.bus.registerService(name)) {
        name += QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
        if (!state.bus.registerService(name)) {
            state.bus.unregisterObject(Text(kMediaObjectPath));
            state.object.reset();
            return;
        }
    }
    state.serviceName = name;
    state.control = &control;
    control.SetChangeHandler(
        [&state](const MediaProperties& now, const MediaPropertyChanges& changes) {
            state.Announce(kMediaRootInterface, changes.root, now);
            state.Announce(kMediaPlayerInterface, changes.player, now);
            if (changes.seeked) {
                QDBusMessage seeked = QDBusMessage::createSignal(
                    Text(kMediaObjectPath), Text(kMediaPlayerInterface), QStringLiteral("Seeked"));
                seeked << qlonglong(*changes.seeked);
                state.bus.send(seeked);
            }
        });
}

MediaControlService::~MediaControlService()
{
    Withdraw();
}

void MediaControlService::Withdraw()
{
    State& state = *m_state;
    if (state.serviceName.isEmpty())
        return;
    state.control->SetChangeHandler({});
    state.bus.unregisterService(state.serviceName);
    state.bus.unregisterObject(Text(kMediaObjectPath));
    state.serviceName.clear();
}

bool MediaControlService::Published() const
{
    return !m_state->serviceName.isEmpty();
}

std::string DesktopMimeTypeOf(std::string_view extension)
{
    return MimeTypeForExtension(DesktopFolders::FromEnvironment(), extension);
}

} // namespace zuv
