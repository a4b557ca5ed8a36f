#pragma once

#include "playback/picture_geometry.h"
#include "playback/player_info_cache.h"

#include <QObject>
#include <QString>

#include <memory>

namespace zuv {

namespace platform {
class ScreenSaverInhibitor;
}

class PlayerRunner;
class TZUVMainForm;

// Start and Stop of the main window and what follows the end of a run: the next playlist item,
// a restart after a hand-over, or the countdown to the power-off.
class PlaybackControl : public QObject
{
    Q_OBJECT

public:
    explicit PlaybackControl(TZUVMainForm& form);
    ~PlaybackControl() override;

    // Does nothing while Start is disabled (a player runs or is being started).
    void ActionStartExecute();
    void ActionStopExecute();
    // Ends the run; its end goes on with playlist item `row` as it goes on with the next one.
    void SkipToPlaylistItem(int row);
    // Starts one run; false when nothing was started (empty media path or a failed start).
    bool Play(const QString& mediaPath, const QString& subtitlePath);
    void SetPlayingState(bool on);

    bool Playing() const { return m_playing; }
    bool PlaylistMode() const { return m_playlistMode; }
    bool RestartPending() const { return m_restartPending; }
    void SetRestartPending(bool on) { m_restartPending = on; }
    int PlaylistIndex() const { return m_playlistIndex; }

    PlayerInfoCache& PlayerInfo() { return m_playerInfo; }
    PlayerRunner& Runner() { return *m_runner; }
    // Where the picture size comes from (the player in identify mode, unless replaced).
    void SetProbe(ProbeFunction probe) { m_probe = std::move(probe); }
    const ProbeFunction& Probe() const { return m_probe; }
    // The screen the geometry fits the picture to (the primary screen, unless replaced).
    void SetScreenSize(std::optional<ScreenSize> size) { m_screenSize = size; }
    bool ScreenSaverInhibited() const;

private:
    void PlayerExited(int exitCode);
    bool PlayItem(int row);
    ScreenSize CurrentScreenSize() const;

    TZUVMainForm& m_form;
    PlayerRunner* m_runner;
    std::unique_ptr<platform::ScreenSaverInhibitor> m_screenSaver;
    PlayerInfoCache m_playerInfo;
    ProbeFunction m_probe;
    std::optional<ScreenSize> m_screenSize;
    bool m_playing = false;
    bool m_playlistMode = false;
    bool m_restartPending = false;
    int m_playlistIndex = 0;
};

} // namespace zuv
