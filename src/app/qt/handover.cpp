#include "app/qt/handover.h"

#include "platform/handover_channel.h"

namespace zuv {

HandoverServer::HandoverServer(std::function<bool()> acceptsFiles,
                               std::function<bool()> receiveFiles)
    : m_replies{std::move(acceptsFiles), std::move(receiveFiles)}
{}

HandoverServer::~HandoverServer() = default;

bool HandoverServer::Listen(const std::string& address)
{
    if (m_listener)
        return false;
    m_listener = platform::HandoverListener::Listen(
        address, [this](std::uint32_t message) { return AnswerHandover(message, m_replies); });
    if (!m_listener)
        return false;
    // Nothing is served before the event loop runs again, so holding now loses nothing.
    m_listener->Hold(m_held);
    return true;
}

void HandoverServer::Hold(bool on)
{
    m_held = on;
    if (m_listener)
        m_listener->Hold(on);
}

} // namespace zuv
