#pragma once

#include "platform/process.h"
#include "playback/picture_geometry.h"
#include "playback/playback_began.h"
#include "playback/playback_host.h"
#include "playback/player_info_cache.h"

#include <optional>
#include <string>
#include <vector>

namespace zuv {

// The player process and the screen saver, as the run sequence drives them.
class PlayerDriver
{
public:
    virtual ~PlayerDriver() = default;

    // Starts "mplayer ..." at a priority position 0..4; its end arrives as PlayerExited.
    virtual platform::ProcessStartError StartPlayer(const std::string& commandLine,
                                                    int priorityPosition) = 0;
    // Ends the running player (which then exits with 255).
    virtual void StopPlayer() = 0;
    // The screen the picture geometry fits the picture to.
    virtual ScreenSize CurrentScreenSize() const = 0;
    // Keeps the screen saver and screen blanking away, or lets them come again.
    virtual void KeepScreenSaverAway(bool on) = 0;
    // A private socket path for the control socket of the next run's player (mpv), which the
    // driver then talks to; empty: the run takes no commands.
    virtual std::string NewControlSocket() { return {}; }
};

// Start and Stop and what follows the end of a run: the next playlist item, a restart after a
// hand-over, or the countdown to the power-off. Options are read from the host's record at the
// moment of use, so a change in any window counts from the next step on.
class RunSequence
{
public:
    RunSequence(PlaybackHost& host, PlayerDriver& player);

    // Plays the selected playlist item when the playlist is shown and holds items, else the media
    // field. Does nothing while Start is disabled (a player runs or is being started).
    void ActionStartExecute();
    // Only while playing: the end of the run then never moves on to the next item.
    void ActionStopExecute();
    // Ends the run; its end goes on with playlist item `row` as it goes on with the next one.
    // Nothing while no player runs or when the row is not in the playlist.
    void SkipToPlaylistItem(int row);
    // Starts one run; false when nothing was started (empty media path or a failed start).
    bool Play(const std::string& mediaPath, const std::string& subtitlePath);
    void SetPlayingState(bool on);
    // Output lines of the running player, in order.
    void PlayerOutput(const std::vector<std::string>& lines) { m_began.Feed(lines); }
    // The end of a run with the player's exit code (IsCleanEnd tells a clean one), except that a 0
    // from a player that said it ended without ever beginning to play (a missing or unreadable
    // file) is not. A code that could not be read counts as 0 and is not shown.
    void PlayerExited(std::optional<int> exitCode);
    // The screen saver switch counts at once, also in the middle of a run.
    void ScreenSaverSwitchChanged(bool on);

    bool Playing() const { return m_playing; }
    bool PlaylistMode() const { return m_playlistMode; }
    bool RestartPending() const { return m_restartPending; }
    void SetRestartPending(bool on) { m_restartPending = on; }
    int PlaylistIndex() const { return m_playlistIndex; }

    PlayerInfoCache& PlayerInfo() { return m_playerInfo; }
    // Where the picture size comes from (the player in identify mode, unless replaced).
    void SetProbe(ProbeFunction probe) { m_probe = std::move(probe); }
    const ProbeFunction& Probe() const { return m_probe; }

    // The seconds of the countdown before the power-off.
    static constexpr int kShutdownSeconds = 30;

private:
    bool PlayItem(int row);

    PlaybackHost& m_host;
    PlayerDriver& m_player;
    PlayerInfoCache m_playerInfo;
    ProbeFunction m_probe;
    PlaybackBeganWatch m_began;
    bool m_playing = false;
    bool m_playlistMode = false;
    bool m_restartPending = false;
    int m_playlistIndex = 0;
    PlayerDialect m_dialect = PlayerDialect::Classic; // of the last run
};

} // namespace zuv
