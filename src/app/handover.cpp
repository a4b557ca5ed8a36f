#include "app/handover.h"

#include "platform/handover_block.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QtEndian>

namespace zuv {

namespace {

constexpr char kSocketName[] = "TZUVMainForm";

bool WriteNumber(QLocalSocket& socket, quint32 number)
{
    const quint32 wire = qToLittleEndian(number);
    if (socket.write(reinterpret_cast<const char*>(&wire), sizeof wire) != sizeof wire)
        return false;
    return socket.waitForBytesWritten(1000) || socket.bytesToWrite() == 0;
}

std::optional<quint32> ReadNumber(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    while (socket.bytesAvailable() < qint64(sizeof(quint32))) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return std::nullopt;
    }
    quint32 wire = 0;
    socket.read(reinterpret_cast<char*>(&wire), sizeof wire);
    return qFromLittleEndian(wire);
}

// Asks one message and waits for its reply.
std::optional<quint32> Ask(QLocalSocket& socket, quint32 message, const QDeadlineTimer& deadline)
{
    if (!WriteNumber(socket, message))
        return std::nullopt;
    return ReadNumber(socket, deadline);
}

} // namespace

QString HandoverSocketPath()
{
    const std::string folder = platform::RuntimeFolder();
    if (folder.empty())
        return {};
    return QString::fromStdString(folder) + QLatin1String(kSocketName);
}

bool HandOverToRunningCopy(const std::string& commandLine, int timeoutMs)
{
    const QString path = HandoverSocketPath();
    if (path.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false; // nobody listens: no running copy, or a stale socket
    // Concurrent second copies hand over one after the other.
    auto lock = platform::HandoverLock::Acquire(int(deadline.remainingTime()));
    if (!lock)
        return false;
    const auto accepts = Ask(socket, kHandoverQuery, deadline);
    if (!accepts || *accepts == 0)
        return false;
    const std::string block = platform::HandoverBlockName();
    if (platform::CreateHandoverBlock(block, commandLine) != 0)
        return false;
    const auto taken = Ask(socket, kHandoverFiles, deadline);
    platform::RemoveHandoverBlock(block);
    return taken && *taken != 0;
}

HandoverServer::HandoverServer(std::function<bool()> acceptsFiles,
                               std::function<bool()> receiveFiles, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_acceptsFiles(std::move(acceptsFiles)),
      m_receiveFiles(std::move(receiveFiles))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &HandoverServer::AcceptConnection);
}

HandoverServer::~HandoverServer() = default;

bool HandoverServer::Listen(const QString& path)
{
    if (path.isEmpty())
        return false;
    // Listening replaces the socket file, so first make sure no other copy answers there; a
    // socket nobody answers on was left by a crashed copy.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(500))
        return false;
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void HandoverServer::AcceptConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!platform::PeerIsSameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessages(socket); });
        ReadMessages(socket);
    }
}

void HandoverServer::ReadMessages(QLocalSocket* socket)
{
    // A reply may open a message box whose event loop lets the socket go away meanwhile.
    const QPointer<QLocalSocket> guard(socket);
    while (guard && socket->bytesAvailable() >= qint64(sizeof(quint32))) {
        quint32 wire = 0;
        socket->read(reinterpret_cast<char*>(&wire), sizeof wire);
        quint32 reply = 0;
        switch (qFromLittleEndian(wire)) {
        case kHandoverQuery:
            reply = m_acceptsFiles && m_acceptsFiles() ? 1 : 0;
            break;
        case kHandoverFiles:
            reply = m_receiveFiles && m_receiveFiles() ? 1 : 0;
            break;
        default:
            // Not ours: drop the connection.
            socket->abort();
            return;
        }
        if (!guard)
            return;
        const quint32 out = qToLittleEndian(reply);
        socket->write(reinterpret_cast<const char*>(&out), sizeof out);
        socket->flush();
    }
}

} // namespace zuv
