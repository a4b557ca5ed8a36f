#include "app/qt/handover.h"

#include "platform/file_system.h"
#include "platform/handover_block.h"

#ifdef _WIN32
#include "app/windows_handover.h"
#include "platform/win32/handover_window.h"
#else
#include "platform/local_socket.h"

#include <QPointer>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <chrono>
#include <optional>
#endif

namespace zuv {

#ifdef _WIN32

std::string HandoverSocketPath()
{
    return kHandoverWindowClass;
}

bool HandOverToRunningCopy(const std::string& commandLine, int timeoutMs)
{
    return HandOverToWindow(kHandoverWindowClass, commandLine, timeoutMs);
}

HandoverServer::HandoverServer(std::function<bool()> acceptsFiles,
                               std::function<bool()> receiveFiles, QObject* parent)
    : QObject(parent), m_acceptsFiles(std::move(acceptsFiles)),
      m_receiveFiles(std::move(receiveFiles))
{}

HandoverServer::~HandoverServer() = default;

// The window's messages arrive through the UI thread's message loop, one at a time.
bool HandoverServer::Listen(const std::string& className)
{
    if (className.empty() || m_window)
        return false;
    m_window = platform::HandoverWindow::Create(className, [this](std::uint32_t message) {
        switch (message) {
        case kHandoverQuery:
            return std::uint32_t(m_acceptsFiles && m_acceptsFiles() ? 1 : 0);
        case kHandoverFiles:
            return std::uint32_t(m_receiveFiles && m_receiveFiles() ? 1 : 0);
        default:
            return std::uint32_t(0);
        }
    });
    return m_window != nullptr;
}

void HandoverServer::Hold(bool) {}

#else

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kSocketName[] = "TZUVMainForm";
// A reply is written to a peer that waits for it; it never takes longer than this.
constexpr std::chrono::milliseconds kReplyTime{1000};

std::array<unsigned char, 4> Encode(std::uint32_t number)
{
    return {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
}

std::uint32_t Decode(const unsigned char* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

// Sends one message and waits for its reply.
std::optional<std::uint32_t> Ask(int socket, std::uint32_t message, Clock::time_point deadline)
{
    const auto bytes = Encode(message);
    if (!platform::SendAll(socket, bytes.data(), bytes.size(), deadline))
        return std::nullopt;
    unsigned char reply[4];
    if (!platform::ReceiveAll(socket, reply, sizeof reply, deadline))
        return std::nullopt;
    return Decode(reply);
}

} // namespace

struct HandoverServer::Connection
{
    QSocketNotifier notifier;
    std::vector<unsigned char> pending; // bytes of a message not complete yet

    explicit Connection(int descriptor) : notifier(descriptor, QSocketNotifier::Read) {}
};

std::string HandoverSocketPath()
{
    const std::string folder = platform::RuntimeFolder();
    return folder.empty() ? std::string() : folder + kSocketName;
}

bool HandOverToRunningCopy(const std::string& commandLine, int timeoutMs)
{
    const std::string path = HandoverSocketPath();
    if (path.empty())
        return false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const int socket = platform::ConnectToLocalSocket(path);
    if (socket < 0)
        return false; // nobody listens: no running copy, or a stale socket
    // Where the folder is open to others, another user may listen first: never hand them files.
    if (!platform::PeerIsSameUser(socket)) {
        platform::CloseDescriptor(socket);
        return false;
    }
    const auto remaining = [&] {
        return int(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    };
    bool taken = false;
    // Concurrent second copies hand over one after the other.
    if (auto lock = platform::HandoverLock::Acquire(std::max(0, remaining()))) {
        const auto accepts = Ask(socket, kHandoverQuery, deadline);
        const std::string block = platform::HandoverBlockName();
        if (accepts && *accepts != 0 && platform::CreateHandoverBlock(block, commandLine) == 0) {
            const auto reply = Ask(socket, kHandoverFiles, deadline);
            platform::RemoveHandoverBlock(block);
            taken = reply && *reply != 0;
        }
    }
    platform::CloseDescriptor(socket);
    return taken;
}

HandoverServer::HandoverServer(std::function<bool()> acceptsFiles,
                               std::function<bool()> receiveFiles, QObject* parent)
    : QObject(parent), m_acceptsFiles(std::move(acceptsFiles)),
      m_receiveFiles(std::move(receiveFiles))
{}

HandoverServer::~HandoverServer()
{
    // Each notifier goes before its descriptor is closed.
    for (auto& [descriptor, connection] : m_connections) {
        connection.reset();
        platform::CloseDescriptor(descriptor);
    }
    m_connections.clear();
    delete m_listenNotifier;
    if (m_listening >= 0) {
        platform::CloseDescriptor(m_listening);
        platform::RemoveFile(m_path);
    }
}

bool HandoverServer::Listen(const std::string& path)
{
    if (path.empty() || m_listening >= 0)
        return false;
    m_listening = platform::ListenOnLocalSocket(path);
    if (m_listening < 0)
        return false;
    m_path = path;
    m_listenNotifier = new QSocketNotifier(m_listening, QSocketNotifier::Read, this);
    m_listenNotifier->setEnabled(!m_held);
    connect(m_listenNotifier, &QSocketNotifier::activated, this,
            &HandoverServer::AcceptConnections);
    return true;
}

void HandoverServer::Hold(bool on)
{
    m_held = on;
    // Unaccepted copies wait in the socket's backlog; the notifiers fire again once enabled.
    if (m_listenNotifier)
        m_listenNotifier->setEnabled(!on);
    for (auto& [descriptor, connection] : m_connections)
        connection->notifier.setEnabled(!on);
}

void HandoverServer::AcceptConnections()
{
    for (int descriptor = platform::AcceptLocalConnection(m_listening); descriptor >= 0;
         descriptor = platform::AcceptLocalConnection(m_listening)) {
        // The folder is private, but a peer of another user is never answered.
        if (!platform::PeerIsSameUser(descriptor)) {
            platform::CloseDescriptor(descriptor);
            continue;
        }
        auto connection = std::make_unique<Connection>(descriptor);
        connect(&connection->notifier, &QSocketNotifier::activated, this,
                [this, descriptor] { ReadMessages(descriptor); });
        m_connections[descriptor] = std::move(connection);
    }
}

void HandoverServer::ReadMessages(int descriptor)
{
    auto found = m_connections.find(descriptor);
    if (found == m_connections.end())
        return;
    unsigned char buffer[64];
    const long got = platform::ReceiveAvailable(descriptor, buffer, sizeof buffer);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
        Drop(descriptor);
        return;
    }
    if (got < 0)
        return;
    std::vector<unsigned char> messages = std::move(found->second->pending);
    messages.insert(messages.end(), buffer, buffer + got);
    // A reply may open a message box whose event loop serves this socket again meanwhile, so
    // the connection is looked up afresh after every reply.
    const QPointer<HandoverServer> self(this);
    std::size_t used = 0;
    for (; used + 4 <= messages.size(); used += 4) {
        std::uint32_t reply = 0;
        switch (Decode(messages.data() + used)) {
        case kHandoverQuery:
            reply = m_acceptsFiles && m_acceptsFiles() ? 1 : 0;
            break;
        case kHandoverFiles:
            reply = m_receiveFiles && m_receiveFiles() ? 1 : 0;
            break;
        default:
            Drop(descriptor); // not ours
            return;
        }
        if (!self || !m_connections.count(descriptor))
            return;
        const auto bytes = Encode(reply);
        if (!platform::SendAll(descriptor, bytes.data(), bytes.size(), Clock::now() + kReplyTime)) {
            Drop(descriptor);
            return;
        }
    }
    found = m_connections.find(descriptor);
    if (found != m_connections.end())
        found->second->pending.assign(messages.begin() + long(used), messages.end());
}

void HandoverServer::Drop(int descriptor)
{
    if (m_connections.erase(descriptor) > 0)
        platform::CloseDescriptor(descriptor);
}

#endif

} // namespace zuv
