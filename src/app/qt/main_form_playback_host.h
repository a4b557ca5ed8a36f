#pragma once

#include "playback/playback_host.h"

namespace zuv {

class PlaybackControl;
class TZUVMainForm;

// The main window as playback sees it: its options with the loop switch, its playlist and
// selection, Start and Stop, the error box, the result window and the countdown. It creates the
// window's playback control and wires Start, Stop, the player's output and the screen saver switch.
class MainFormPlaybackHost : public PlaybackHost
{
public:
    // After the window's settings dialog, result window and countdown window exist.
    explicit MainFormPlaybackHost(TZUVMainForm& form);
    // Ends the playback control (and a running player) before the windows it reports to.
    ~MainFormPlaybackHost() override;
    MainFormPlaybackHost(const MainFormPlaybackHost&) = delete;
    MainFormPlaybackHost& operator=(const MainFormPlaybackHost&) = delete;

    PlaybackControl* Playback() const { return m_playback; }

    RunOptions CurrentOptions() const override;
    const Playlist& PlaylistItems() const override;
    int SelectedPlaylistItem() const override;
    void SelectPlaylistItem(int row) override;
    bool StartEnabled() const override;
    void EnableStart(bool on) override;
    void ShowPlayingState(bool on) override;
    void ShowError(const std::string& text) override;
    bool ResultWindowVisible() const override;
    void ShowResultWindow() override;
    void ClearResult() override;
    void AddResultLine(const std::string& line) override;
    bool RunCountdown(int seconds) override;
    void PowerOff() override;
    void CloseMainWindow() override;
    bool WindowsReleased() const override;

private:
    TZUVMainForm& m_form;
    PlaybackControl* m_playback;
};

} // namespace zuv
