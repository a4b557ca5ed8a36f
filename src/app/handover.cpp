#include "app/handover.h"

#include "platform/handover_block.h"
#include "platform/handover_channel.h"
#include "util/argv_split.h"
#include "util/text_utils.h"

#include <algorithm>
#include <thread>

namespace zuv {

std::string HandoverAddress()
{
    return platform::HandoverAddress(kHandoverWindowClass);
}

bool HandOverToRunningCopy(const std::string& commandLine, int timeoutMs,
                           const std::string& address)
{
    using Clock = std::chrono::steady_clock;
    const auto timeout = std::chrono::milliseconds(std::max(0, timeoutMs));
    // A copy that holds the role but does not listen yet is starting: it is waited for longer.
    const auto startingDeadline = Clock::now() + timeout * 4;
    for (;;) {
        const auto deadline = std::min(Clock::now() + timeout, startingDeadline);
        // None: no running copy, a stale socket, or a stranger's.
        if (auto connection = platform::HandoverConnection::Connect(address)) {
            bool answered = false;
            if (HandOverThrough(
                    [&](std::uint32_t message, Clock::time_point until) {
                        return connection->Ask(message, until);
                    },
                    commandLine, deadline, &answered))
                return true;
            // It said no; silence means it ended (crashed) meanwhile.
            if (answered)
                return false;
        }
        // Nobody to take the files: of the copies that find none, one takes its place.
        if (platform::TakeListeningRole(address))
            return false;
        if (Clock::now() >= startingDeadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool HandOverThrough(const HandoverAsk& ask, const std::string& commandLine,
                     std::chrono::steady_clock::time_point deadline, bool* answered)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const auto lock = platform::HandoverLock::Acquire(int(std::max<long long>(0, left.count())));
    if (!lock)
        return false;
    const auto accepts = ask(WM_HANDOVER_QUERY, deadline);
    if (answered)
        *answered = accepts.has_value();
    if (!accepts || *accepts == 0)
        return false;
    const std::string block = platform::HandoverBlockName();
    if (platform::CreateHandoverBlock(block, commandLine))
        return false;
    const auto reply = ask(WM_HANDOVER_FILES, deadline);
    if (answered)
        *answered = reply.has_value();
    platform::RemoveHandoverBlock(block);
    return reply && *reply != 0;
}

std::optional<std::uint32_t> AnswerHandover(std::uint32_t message, const HandoverReplies& replies)
{
    // A reply that cannot be had (no settings yet, say) is a no.
    const auto ask = [](const std::function<bool()>& reply) {
        return std::uint32_t(reply && reply() ? 1 : 0);
    };
    switch (message) {
    case WM_HANDOVER_QUERY:
        return ask(replies.acceptsFiles);
    case WM_HANDOVER_FILES:
        return ask(replies.receiveFiles);
    default:
        return std::nullopt;
    }
}

std::string JoinCommandLine(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) {
        if (&argument != &arguments.front())
            text += ' ';
        text += QuoteArgument(argument);
    }
    return text;
}

std::vector<std::string> HandedOverFiles(std::string_view blockText)
{
    if (const std::size_t nul = blockText.find('\0'); nul != std::string_view::npos)
        blockText = blockText.substr(0, nul);
    // Not split at every blank: that cuts a name whose quote is followed by a blank.
    std::vector<std::string> arguments = SplitArguments(blockText);
    DropProgramAndSwitches(arguments);
    return arguments;
}

} // namespace zuv
