#include "mpris/qt/mpris_adaptors.h"

#include "mpris/file_uri.h"
#include "playback/playlist.h"

#include <QDBusConnection>
#include <QMetaObject>

namespace zuv {

namespace {

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList TextList(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const std::string& text : texts)
        list << QString::fromStdString(text);
    return list;
}

QVariantMap MetadataMap(const std::optional<MediaMetadata>& metadata)
{
    QVariantMap map;
    if (!metadata)
        return map;
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(QString::fromStdString(metadata->trackId))));
    if (!metadata->url.empty())
        map.insert(QStringLiteral("xesam:url"), QString::fromStdString(metadata->url));
    map.insert(QStringLiteral("xesam:title"), QString::fromStdString(metadata->title));
    if (metadata->length)
        map.insert(QStringLiteral("mpris:length"),
                   QVariant::fromValue(qlonglong(*metadata->length)));
    return map;
}

QString StatusText(const MediaProperties& properties)
{
    if (!properties.playing)
        return QStringLiteral("Stopped");
    return properties.paused ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

// The call is answered first; what it asks for is done when the event loop comes back here.
template <typename Action>
void Later(QObject* context, Action action)
{
    QMetaObject::invokeMethod(context, std::move(action), Qt::QueuedConnection);
}

} // namespace

QVariant MediaPropertyValue(const std::string& name, const MediaProperties& properties)
{
    if (name == "SupportedMimeTypes")
        return TextList(properties.supportedMimeTypes);
    if (name == "PlaybackStatus")
        return StatusText(properties);
    if (name == "CanPlay")
        return properties.canPlay;
    if (name == "CanGoNext")
        return properties.canGoNext;
    if (name == "CanGoPrevious")
        return properties.canGoPrevious;
    if (name == "Metadata")
        return MetadataMap(properties.metadata);
    if (name == "CanPause")
        return properties.canPause;
    if (name == "CanSeek")
        return properties.canSeek;
    if (name == "Volume")
        return properties.volume;
    return {};
}

MprisRootAdaptor::MprisRootAdaptor(QObject* object, MediaControl& control)
    : QDBusAbstractAdaptor(object), m_control(control)
{}

QString MprisRootAdaptor::Identity() const
{
    return Text(kMediaIdentity);
}

QString MprisRootAdaptor::DesktopEntry() const
{
    return Text(kMediaDesktopEntry);
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const
{
    return TextList(m_control.Properties().supportedMimeTypes);
}

void MprisRootAdaptor::Raise()
{
    Later(this, [this] { m_control.Raise(); });
}

void MprisRootAdaptor::Quit()
{
    Later(this, [this] { m_control.Quit(); });
}

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, MediaControl& control)
    : QDBusAbstractAdaptor(object), m_control(control)
{}

QString MprisPlayerAdaptor::PlaybackStatus() const
{
    return StatusText(m_control.Properties());
}

double MprisPlayerAdaptor::Volume() const
{
    return m_control.Properties().volume;
}

void MprisPlayerAdaptor::SetVolume(double volume)
{
    Later(this, [this, volume] { m_control.SetVolume(volume); });
}

qlonglong MprisPlayerAdaptor::Position() const
{
    return m_control.Position();
}

bool MprisPlayerAdaptor::CanPause() const
{
    return m_control.Properties().canPause;
}

bool MprisPlayerAdaptor::CanSeek() const
{
    return m_control.Properties().canSeek;
}

void MprisPlayerAdaptor::Pause()
{
    Later(this, [this] { m_control.Pause(); });
}

void MprisPlayerAdaptor::Seek(qlonglong offset)
{
    Later(this, [this, offset] { m_control.Seek(offset); });
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position)
{
    Later(this, [this, track = trackId.path().toStdString(), position] {
        m_control.SetPosition(track, position);
    });
}

QVariantMap MprisPlayerAdaptor::Metadata() const
{
    return MetadataMap(m_control.Properties().metadata);
}

bool MprisPlayerAdaptor::CanGoNext() const
{
    return m_control.Properties().canGoNext;
}

bool MprisPlayerAdaptor::CanGoPrevious() const
{
    return m_control.Properties().canGoPrevious;
}

bool MprisPlayerAdaptor::CanPlay() const
{
    return m_control.Properties().canPlay;
}

void MprisPlayerAdaptor::Next()
{
    Later(this, [this] { m_control.Next(); });
}

void MprisPlayerAdaptor::Previous()
{
    Later(this, [this] { m_control.Previous(); });
}

void MprisPlayerAdaptor::PlayPause()
{
    Later(this, [this] { m_control.PlayPause(); });
}

void MprisPlayerAdaptor::Stop()
{
    Later(this, [this] { m_control.Stop(); });
}

void MprisPlayerAdaptor::Play()
{
    Later(this, [this] { m_control.Play(); });
}

void MprisPlayerAdaptor::OpenUri(const QString& uri, const QDBusMessage& message)
{
    const std::optional<std::string> path = PathOfFileUri(uri.toStdString());
    if (!path) {
        message.setDelayedReply(true);
        QDBusConnection::sessionBus().send(message.createErrorReply(
            QDBusError::NotSupported, QStringLiteral("Only local files (file:) can be opened")));
        return;
    }
    if (const std::string refusal = RefusalOfName(*path); !refusal.empty()) {
        message.setDelayedReply(true);
        QDBusConnection::sessionBus().send(
            message.createErrorReply(QDBusError::InvalidArgs, QString::fromStdString(refusal)));
        return;
    }
    Later(this, [this, file = *path] { m_control.OpenFile(file); });
}

} // namespace zuv
