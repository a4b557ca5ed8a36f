#include "playback/qt/mpv_control.h"

#include "platform/file_system.h"
#include "platform/player_socket.h"

#include <QSocketNotifier>

#include <cerrno>

namespace zuv {

namespace {

// mpv opens its socket before it loads the file; a run that never opens it (an old mpv, a
// start that failed) is not waited for past this.
constexpr int kConnectTries = 100;
constexpr int kRetryMs = 100;
// mpv's lines are short; a longer one is no answer of mpv's and is dropped.
constexpr std::size_t kMaxLine = 64 * 1024;
// A command that mpv does not take at once is given up: the window never hangs on it.
constexpr auto kSendTimeout = std::chrono::milliseconds(200);

} // namespace

MpvControl::MpvControl(std::string socketPath, QObject* parent)
    : QObject(parent), m_path(std::move(socketPath))
{
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &MpvControl::TryToConnect);
    m_retry.start();
}

MpvControl::~MpvControl()
{
    Disconnect();
    platform::RemoveFile(m_path);
}

void MpvControl::TryToConnect()
{
    m_socket = platform::ConnectToPlayerSocket(m_path);
    if (m_socket < 0) {
        if (++m_tries >= kConnectTries)
            m_retry.stop();
        return;
    }
    m_retry.stop();
    m_notifier = std::make_unique<QSocketNotifier>(m_socket, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &MpvControl::ReadLines);
    Send(m_conversation.Greeting());
}

void MpvControl::Disconnect()
{
    if (m_socket < 0)
        return;
    m_notifier.reset();
    platform::ClosePlayerSocket(m_socket);
    m_socket = -1;
}

void MpvControl::Send(const std::string& text)
{
    if (m_socket < 0)
        return;
    if (!platform::WritePlayerSocket(m_socket, text,
                                     std::chrono::steady_clock::now() + kSendTimeout)) {
        Disconnect();
        emit Changed();
    }
}

void MpvControl::ReadLines()
{
    char chunk[4096];
    const long got = platform::ReadPlayerSocket(m_socket, chunk, sizeof chunk);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return; // nothing after all
    if (got <= 0) {
        // mpv is ending (or the link broke): no more commands.
        Disconnect();
        emit Changed();
        return;
    }
    m_buffer.append(chunk, static_cast<std::size_t>(got));
    bool changed = false;
    bool seeked = false;
    std::size_t end = 0;
    while ((end = m_buffer.find('\n')) != std::string::npos) {
        const MpvNews news = m_conversation.Read(std::string_view(m_buffer).substr(0, end));
        changed = changed || news.changed;
        seeked = seeked || news.seeked;
        m_buffer.erase(0, end + 1);
    }
    if (m_buffer.size() > kMaxLine)
        m_buffer.clear();
    if (changed)
        emit Changed();
    if (seeked)
        emit Seeked();
}

} // namespace zuv
