#pragma once

#include "playback/capture.h"
#include "playback/player_dialect.h"

#include <functional>
#include <future>
#include <optional>

namespace zuv {

// The player's version and dialect, asked once per program run and again when the player choice
// changes. The question runs in the
// background so that no window waits for the player; whoever needs the answer before it is there
// waits for it.
class PlayerInfoCache
{
public:
    // Starts asking the player; `ready` runs on the asking thread once the answer is there.
    void Start(CaptureFunction capture, std::function<void(const PlayerInfo&)> ready = {});
    // Remembers the question without asking it yet, so that starting the player does not compete
    // with the program's own start-up: Launch asks it in the background, and Get asks it first
    // when nobody has.
    void Defer(CaptureFunction capture, std::function<void(const PlayerInfo&)> ready = {});
    void Launch();
    bool Deferred() const { return m_deferred.has_value(); }
    // Uses a known answer (tests, or a player that must not be asked).
    void Set(PlayerInfo info);
    // The stored player choice that the next question asks about.
    void Choose(int storedChoice) { m_choice = storedChoice; }
    // The answer, waiting for it when needed; Classic with no version before any Start.
    PlayerInfo Get();
    // The answer for a choice: a changed choice asks the player again (and tells `ready`).
    PlayerInfo Get(int storedChoice);

private:
    struct Question
    {
        CaptureFunction capture;
        std::function<void(const PlayerInfo&)> ready;
    };

    std::optional<Question> m_deferred;
    std::optional<Question> m_asked; // kept for asking again after the choice changed
    std::shared_future<PlayerInfo> m_info;
    int m_choice = 0;
    int m_answeredChoice = 0;
};

} // namespace zuv
