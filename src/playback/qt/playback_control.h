#pragma once

#include "playback/picture_geometry.h"
#include "playback/player_info_cache.h"
#include "playback/run_sequence.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>

namespace zuv {

namespace platform {
class ScreenSaverInhibitor;
}

class MpvControl;
class PlaybackHost;
class PlayerRunner;

// Start and Stop of the main window and what follows the end of a run: the next playlist item,
// a restart after a hand-over, or the countdown to the power-off. The sequence itself is
// RunSequence; this owns the player runs and the screen saver and brings the ends of runs to it.
class PlaybackControl : public QObject, private PlayerDriver
{
    Q_OBJECT

public:
    // `host` is the main window's side; it outlives this object.
    PlaybackControl(PlaybackHost& host, QObject* parent);
    ~PlaybackControl() override;

    // Does nothing while Start is disabled (a player runs or is being started).
    void ActionStartExecute() { m_sequence.ActionStartExecute(); }
    void ActionStopExecute() { m_sequence.ActionStopExecute(); }
    // Ends the run; its end goes on with playlist item `row` as it goes on with the next one.
    void SkipToPlaylistItem(int row) { m_sequence.SkipToPlaylistItem(row); }
    // The screen saver switch of the settings; it counts at once, also in the middle of a run.
    void SetScreenSaverSwitch(bool on) { m_sequence.ScreenSaverSwitchChanged(on); }

    bool Playing() const { return m_sequence.Playing(); }
    bool PlaylistMode() const { return m_sequence.PlaylistMode(); }
    bool RestartPending() const { return m_sequence.RestartPending(); }
    void SetRestartPending(bool on) { m_sequence.SetRestartPending(on); }
    int PlaylistIndex() const { return m_sequence.PlaylistIndex(); }

    PlayerInfoCache& PlayerInfo() { return m_sequence.PlayerInfo(); }
    PlayerRunner& Runner() { return *m_runner; }
    // Where the picture size comes from (the player in identify mode, unless replaced).
    void SetProbe(ProbeFunction probe) { m_sequence.SetProbe(std::move(probe)); }
    const ProbeFunction& Probe() const { return m_sequence.Probe(); }
    // The screen the geometry fits the picture to (the primary screen, unless replaced).
    void SetScreenSize(std::optional<ScreenSize> size) { m_screenSize = size; }
    bool ScreenSaverInhibited() const;
    // The running mpv's control socket; none for MPlayer runs and while no player runs.
    MpvControl* PlayerControl() const { return m_playerControl.get(); }

signals:
    // A run's control came or went, or its pause, volume or length changed.
    void PlayerControlChanged();
    // The running player goes on from a new position.
    void PlayerSeeked();

private:
    platform::ProcessStartError StartPlayer(const std::string& commandLine,
                                            int priorityPosition) override;
    void StopPlayer() override;
    ScreenSize CurrentScreenSize() const override;
    void KeepScreenSaverAway(bool on) override;
    std::string NewControlSocket() override;
    void EndPlayerControl();

    PlayerRunner* m_runner;
    std::unique_ptr<platform::ScreenSaverInhibitor> m_screenSaver;
    std::optional<ScreenSize> m_screenSize;
    RunSequence m_sequence;
    std::string m_nextControlSocket;
    int m_controlSockets = 0;
    std::unique_ptr<MpvControl> m_playerControl;
};

} // namespace zuv
