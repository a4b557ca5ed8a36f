#pragma once

#include <memory>

namespace zuv::platform {

// Keeps the screen saver and screen blanking away while the player runs: through the desktop
// portal, else the session's screen saver service; silently nothing where neither runs.
class ScreenSaverInhibitor
{
public:
    ScreenSaverInhibitor();
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    // Idempotent: a second Inhibit while inhibited does nothing.
    void Inhibit();
    void Release();
    bool Inhibited() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace zuv::platform
