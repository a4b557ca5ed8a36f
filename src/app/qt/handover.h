#pragma once

#include "app/handover_text.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

#ifdef _WIN32
namespace zuv::platform {
class HandoverWindow;
}
#endif

namespace zuv {

// The single-instance hand-over: a second copy finds the running copy by its main window's
// class name, asks whether it takes files, and hands over its command line through the shared
// block. On Linux the "window" is a per-user local socket named after the class; each message
// and each reply is a 32-bit little-endian number. On Windows it is a hidden window of that
// class, and the messages are window messages.

// The socket path of the running copy, reachable by this user only; empty when there is no
// private folder for it. On Windows: the window class.
std::string HandoverSocketPath();

// Sender: hands the command line over when a running copy takes it. True means the running copy
// took it and this copy ends; false means start normally (no copy running, the copy said no,
// no answer within `timeoutMs`, or the block could not be made).
bool HandOverToRunningCopy(const std::string& commandLine, int timeoutMs = 5000);

// Receiver: answers the two messages on the UI thread, one at a time.
class HandoverServer : public QObject
{
    Q_OBJECT

public:
    // `acceptsFiles` answers the query; `receiveFiles` handles the files message and gives the
    // reply (true = 1).
    HandoverServer(std::function<bool()> acceptsFiles, std::function<bool()> receiveFiles,
                   QObject* parent = nullptr);
    ~HandoverServer() override;

    // Starts listening; a socket left by a crashed copy is replaced. False when another copy
    // already listens or the socket cannot be made.
    bool Listen(const std::string& path = HandoverSocketPath());
    // While held, second copies wait unanswered (their messages stay queued); when released
    // they are served in the order they came. On Windows the window's messages wait in the
    // message queue until the event loop runs, so holding changes nothing there.
    void Hold(bool on);

private:
#ifdef _WIN32
    std::unique_ptr<platform::HandoverWindow> m_window;
#else
    struct Connection;

    void AcceptConnections();
    void ReadMessages(int descriptor);
    void Drop(int descriptor);

    int m_listening = -1;
    std::string m_path;
    QSocketNotifier* m_listenNotifier = nullptr;
    std::map<int, std::unique_ptr<Connection>> m_connections;
    bool m_held = false;
#endif
    std::function<bool()> m_acceptsFiles;
    std::function<bool()> m_receiveFiles;
};

} // namespace zuv
