#pragma once

#include "app/handover.h"

#include <functional>
#include <memory>
#include <string>

namespace zuv {

namespace platform {
class HandoverListener;
}

// The running copy's end of the hand-over: answers the two messages on the UI thread, one at a
// time, through its event loop.
class HandoverServer
{
public:
    // `acceptsFiles` answers the query; `receiveFiles` handles the files message and gives the
    // reply (true = 1).
    HandoverServer(std::function<bool()> acceptsFiles, std::function<bool()> receiveFiles);
    ~HandoverServer();
    HandoverServer(const HandoverServer&) = delete;
    HandoverServer& operator=(const HandoverServer&) = delete;

    // Starts listening; what a crashed copy left is replaced. False when another copy already
    // listens or the listener cannot be made.
    bool Listen(const std::string& address = HandoverAddress());
    // While held, second copies wait unanswered; when released they are served in the order
    // they came.
    void Hold(bool on);

private:
    HandoverReplies m_replies;
    std::unique_ptr<platform::HandoverListener> m_listener;
    bool m_held = false;
};

} // namespace zuv
