#pragma once

#include "options/options.h"
#include "playback/playlist.h"

#include <string>

namespace zuv {

// The options a run reads: the stored record and the loop switch, which is never stored.
struct RunOptions
{
    Options options;
    bool loop = false;
};

// What playback needs of the main window, which holds the options, the playlist and its
// selection, Start and Stop, the error box, the result window and the countdown. Playback decides
// what to play and what follows the end of a run; the window only shows it.
class PlaybackHost
{
public:
    virtual ~PlaybackHost() = default;

    // Every option as the windows hold it at this moment. The record's `Playlist` says whether the
    // playlist is shown, `LastFile` and `LastSubFile` are the media and subtitle fields.
    virtual RunOptions CurrentOptions() const = 0;

    virtual const Playlist& PlaylistItems() const = 0;
    // -1 when no item is selected.
    virtual int SelectedPlaylistItem() const = 0;
    // A row outside the list clears the selection.
    virtual void SelectPlaylistItem(int row) = 0;

    // The Start action: disabled while a player runs or is being started.
    virtual bool StartEnabled() const = 0;
    virtual void EnableStart(bool on) = 0;
    // On: Start disabled, Stop shown, the playlist and its actions disabled; off: the reverse.
    virtual void ShowPlayingState(bool on) = 0;

    // The error box of the main window.
    virtual void ShowError(const std::string& text) = 0;

    virtual bool ResultWindowVisible() const = 0;
    virtual void ShowResultWindow() = 0;
    virtual void ClearResult() = 0;
    virtual void AddResultLine(const std::string& line) = 0;

    // Runs the countdown window modally; true when it ran out, false when the user cancelled.
    virtual bool RunCountdown(int seconds) = 0;
    virtual void PowerOff() = 0;
    // Closes the main window, which ends the program.
    virtual void CloseMainWindow() = 0;

    // True once the program is ending and the windows a run reports to are gone.
    virtual bool WindowsReleased() const = 0;
};

} // namespace zuv
