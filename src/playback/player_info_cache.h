#pragma once

#include "playback/capture.h"
#include "playback/player_dialect.h"

#include <functional>
#include <future>

namespace zuv {

// The player's version and dialect, asked once per program run. The question runs in the
// background from start-up so that the first window does not wait for the player; whoever needs
// the answer before it is there waits for it.
class PlayerInfoCache
{
public:
    // Starts asking the player; `ready` runs on the asking thread once the answer is there.
    void Start(CaptureFunction capture, std::function<void(const PlayerInfo&)> ready = {});
    // Uses a known answer (tests, or a player that must not be asked).
    void Set(PlayerInfo info);
    // The answer, waiting for it when needed; Classic with no version before any Start.
    PlayerInfo Get();

private:
    std::shared_future<PlayerInfo> m_info;
};

} // namespace zuv
