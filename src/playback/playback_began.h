#pragma once

#include "playback/player_dialect.h"

#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The lines by which a player says that it began to play and that it is ending. MPlayer exits
// with 0 also when it could not open the file at all, so these lines tell a run that played from
// one that never began.
struct PlaybackMarkers
{
    std::string_view began;    // the start of the line printed when playback begins
    std::string_view farewell; // the start of the line printed as the player ends
};

// The markers of the player that speaks `dialect`.
PlaybackMarkers PlaybackMarkersFor(PlayerDialect dialect);

// Watches the output of one run. A run "never began" when the player said farewell without ever
// saying that playback began; a player silenced by its own options (-really-quiet, -msglevel)
// says neither, and its runs count as begun, as before.
class PlaybackBeganWatch
{
public:
    explicit PlaybackBeganWatch(PlaybackMarkers markers = {}) : m_markers(markers) {}

    // A new run with these markers.
    void Reset(PlaybackMarkers markers);
    void Feed(const std::vector<std::string>& lines);
    void Feed(std::string_view line);

    bool Began() const { return m_began; }
    bool NeverBegan() const { return m_farewell && !m_began; }

private:
    PlaybackMarkers m_markers;
    bool m_began = false;
    bool m_farewell = false;
};

} // namespace zuv
