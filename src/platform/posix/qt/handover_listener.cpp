#include "platform/file_system.h"
#include "platform/handover_block.h"
#include "platform/handover_channel.h"
#include "platform/local_socket.h"
#include "platform/posix/handover_message.h"

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <map>
#include <vector>

namespace zuv::platform {

namespace {

// A reply is written to a peer that waits for it; it never takes longer than this.
constexpr std::chrono::milliseconds kReplyTime{1000};

class SocketListener final : public QObject, public HandoverListener
{
public:
    SocketListener(int listening, std::string path, Answer answer);
    ~SocketListener() override;

    void Hold(bool on) override;

private:
    struct Connection
    {
        QSocketNotifier notifier;
        std::vector<unsigned char> pending; // bytes of a message not complete yet

        explicit Connection(int descriptor) : notifier(descriptor, QSocketNotifier::Read) {}
    };

    void AcceptConnections();
    void ReadMessages(int descriptor);
    void Drop(int descriptor);

    int m_listening;
    std::string m_path;
    Answer m_answer;
    QSocketNotifier m_listenNotifier;
    std::map<int, std::unique_ptr<Connection>> m_connections;
    bool m_held = false;
};

SocketListener::SocketListener(int listening, std::string path, Answer answer)
    : m_listening(listening), m_path(std::move(path)), m_answer(std::move(answer)),
      m_listenNotifier(listening, QSocketNotifier::Read)
{
    connect(&m_listenNotifier, &QSocketNotifier::activated, this,
            &SocketListener::AcceptConnections);
}

SocketListener::~SocketListener()
{
    // Each notifier goes before its descriptor is closed.
    for (auto& [descriptor, connection] : m_connections) {
        connection.reset();
        CloseDescriptor(descriptor);
    }
    m_connections.clear();
    m_listenNotifier.setEnabled(false);
    CloseDescriptor(m_listening);
    RemoveFile(m_path);
    ReleaseListeningRole(m_path);
}

void SocketListener::Hold(bool on)
{
    m_held = on;
    // Unaccepted senders wait in the socket's backlog; the notifiers fire again once enabled.
    m_listenNotifier.setEnabled(!on);
    for (auto& [descriptor, connection] : m_connections)
        connection->notifier.setEnabled(!on);
}

void SocketListener::AcceptConnections()
{
    for (int descriptor = AcceptLocalConnection(m_listening); descriptor >= 0;
         descriptor = AcceptLocalConnection(m_listening)) {
        // The folder is private, but a peer of another user is never answered.
        if (!PeerIsSameUser(descriptor)) {
            CloseDescriptor(descriptor);
            continue;
        }
        auto connection = std::make_unique<Connection>(descriptor);
        connect(&connection->notifier, &QSocketNotifier::activated, this,
                [this, descriptor] { ReadMessages(descriptor); });
        m_connections[descriptor] = std::move(connection);
    }
}

void SocketListener::ReadMessages(int descriptor)
{
    auto found = m_connections.find(descriptor);
    if (found == m_connections.end())
        return;
    unsigned char buffer[64];
    const long got = ReceiveAvailable(descriptor, buffer, sizeof buffer);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
        Drop(descriptor);
        return;
    }
    if (got < 0)
        return;
    std::vector<unsigned char> messages = std::move(found->second->pending);
    messages.insert(messages.end(), buffer, buffer + got);
    // An answer may open a message box whose event loop serves this socket again meanwhile, or
    // end the listener, so the connection is looked up afresh after every answer.
    const QPointer<QObject> self(this);
    std::size_t used = 0;
    for (; used + 4 <= messages.size(); used += 4) {
        const std::optional<std::uint32_t> reply =
            m_answer(DecodeHandoverNumber(messages.data() + used));
        if (!self)
            return;
        if (!reply) {
            Drop(descriptor); // not ours
            return;
        }
        if (!m_connections.count(descriptor))
            return;
        const auto bytes = EncodeHandoverNumber(*reply);
        if (!SendAll(descriptor, bytes.data(), bytes.size(),
                     std::chrono::steady_clock::now() + kReplyTime)) {
            Drop(descriptor);
            return;
        }
    }
    found = m_connections.find(descriptor);
    if (found != m_connections.end())
        found->second->pending.assign(messages.begin() + long(used), messages.end());
}

void SocketListener::Drop(int descriptor)
{
    if (m_connections.erase(descriptor) > 0)
        CloseDescriptor(descriptor);
}

} // namespace

std::unique_ptr<HandoverListener> HandoverListener::Listen(const std::string& address,
                                                           Answer answer)
{
    // A role this process held before (its sender took it, or another listener of ours holds
    // it) stays held when this listener cannot be made.
    const bool heldBefore = HoldsListeningRole(address);
    if (address.empty() || !TakeListeningRole(address))
        return nullptr;
    const int listening = ListenOnLocalSocket(address);
    if (listening < 0) {
        if (!heldBefore)
            ReleaseListeningRole(address);
        return nullptr;
    }
    return std::make_unique<SocketListener>(listening, address, std::move(answer));
}

} // namespace zuv::platform
