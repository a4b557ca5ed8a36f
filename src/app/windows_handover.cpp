#include "app/windows_handover.h"

#include "app/handover_text.h"
#include "platform/handover_block.h"
#include "platform/win32/handover_window.h"

#include <algorithm>
#include <chrono>

namespace zuv {

bool HandOverToWindow(const std::string& className, const std::string& commandLine, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto remaining = [&] {
        return std::max(
            0, int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                       .count()));
    };
    const std::uintptr_t window = platform::FindHandoverWindow(className);
    if (!window)
        return false;
    // Concurrent second copies hand over one after the other: there is one block name.
    const auto lock = platform::HandoverLock::Acquire(remaining());
    if (!lock)
        return false;
    const auto accepts = platform::SendHandoverMessage(window, kHandoverQuery, remaining());
    if (!accepts || *accepts == 0)
        return false;
    const std::string block = platform::HandoverBlockName();
    if (platform::CreateHandoverBlock(block, commandLine) != 0)
        return false;
    const auto reply = platform::SendHandoverMessage(window, kHandoverFiles, remaining());
    platform::RemoveHandoverBlock(block);
    return reply && *reply != 0;
}

} // namespace zuv
