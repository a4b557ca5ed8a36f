#pragma once

#include "playback/mpv_ipc.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The names under which the desktop's media controls (media keys, the panel's player, the lock
// screen) find us on the session bus.
inline constexpr std::string_view kMediaServiceName = "org.mpris.MediaPlayer2.zuvora";
inline constexpr std::string_view kMediaObjectPath = "/org/mpris/MediaPlayer2";
inline constexpr std::string_view kMediaRootInterface = "org.mpris.MediaPlayer2";
inline constexpr std::string_view kMediaPlayerInterface = "org.mpris.MediaPlayer2.Player";
inline constexpr std::string_view kMediaIdentity = "Zuvora";
inline constexpr std::string_view kMediaDesktopEntry = "zuvora";

// What a running player that takes commands (mpv) tells of its run, in the media controls'
// units.
struct PlayerReport
{
    bool paused = false;
    std::int64_t position = 0;          // microseconds
    double volume = 1.0;                // 1.0: the player's 100 %
    std::optional<std::int64_t> length; // microseconds
    bool seekable = true;
};

// mpv's state in those units.
PlayerReport PlayerReportOf(const MpvPlayState& state);

// What the main window tells the media controls at one moment.
struct MediaState
{
    bool playing = false;       // a player runs
    bool startEnabled = false;  // the Start action is enabled
    bool playlistInUse = false; // Start plays from the playlist: it is shown and holds items
    bool playlistRun = false;   // the running player was started from the playlist
    int playlistCount = 0;
    // Playing from the playlist: the item that plays; otherwise the selected item (-1: none).
    int playlistItem = -1;
    std::string mediaFile;    // the media field's text
    std::int64_t runId = 0;   // while playing: different for each run (the player's process)
    std::string runMediaPath; // while playing: the file the run plays
    std::string fileTypes;    // the media file types, ".avi;.mpg;..."
    // While playing, when the player takes commands.
    std::optional<PlayerReport> player;
};

// The main window as the media controls drive it. Each call does its work at once.
class MediaControlHost
{
public:
    virtual ~MediaControlHost() = default;

    virtual MediaState State() const = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // The hand-over's way: the run is stopped and Start runs again when it has ended.
    virtual void StopAndRestart() = 0;
    // Ends the run; its end goes on with playlist item `row` as it goes on with the next one.
    virtual void SkipToItem(int row) = 0;
    virtual void SelectItem(int row) = 0;
    virtual void SetMediaFile(const std::string& path) = 0;
    virtual void AddPlaylistItem(const std::string& path) = 0;
    // Shows and activates the main window.
    virtual void Raise() = 0;
    // Closes the main window: the exit steps store everything.
    virtual void Quit() = 0;
    // Commands to a running player that takes them (State().player is there); positions in
    // microseconds, volume 1.0 for the player's 100 %.
    virtual void SetPaused(bool on) = 0;
    virtual void SeekTo(std::int64_t position) = 0;
    virtual void SeekBy(std::int64_t offset) = 0;
    virtual void SetVolume(double volume) = 0;
};

// The "what plays" of the player interface.
struct MediaMetadata
{
    std::string trackId;                // an object path, new for every run
    std::string url;                    // empty when the path is not absolute
    std::string title;                  // the file name
    std::optional<std::int64_t> length; // microseconds, when the probe or the player told it
    bool operator==(const MediaMetadata&) const = default;
};

// The properties that change while the program runs.
struct MediaProperties
{
    // org.mpris.MediaPlayer2
    std::vector<std::string> supportedMimeTypes;
    // org.mpris.MediaPlayer2.Player
    bool playing = false;
    bool paused = false;
    bool canPlay = false;
    bool canPause = false; // while the player takes commands
    bool canSeek = false;  // the same, where the input can be sought in
    double volume = 1.0;
    bool canGoNext = false;
    bool canGoPrevious = false;
    std::optional<MediaMetadata> metadata; // none while nothing plays
    bool operator==(const MediaProperties&) const = default;
};

// Names of the properties that changed, by interface.
struct MediaPropertyChanges
{
    std::vector<std::string> root;
    std::vector<std::string> player;
    // The position playback goes on from after a seek (the Seeked signal).
    std::optional<std::int64_t> seeked;
};

// What the media controls' methods do in each state of the main window and what their
// properties read; the D-Bus side only translates. Fixed answers (Identity, CanRaise, ...) are
// the D-Bus side's own.
class MediaControl
{
public:
    // The MIME type of a file extension (".avi"); empty when unknown.
    using MimeTypeLookup = std::function<std::string(std::string_view extension)>;
    using ChangeHandler =
        std::function<void(const MediaProperties& now, const MediaPropertyChanges& changes)>;

    MediaControl(MediaControlHost& host, MimeTypeLookup mimeTypeOf);

    // Called with every change that Refresh finds.
    void SetChangeHandler(ChangeHandler handler) { m_changed = std::move(handler); }
    // Reads the window's state and reports what differs from the last report. The first call
    // only takes note.
    void Refresh();
    // The properties now (after a refresh).
    const MediaProperties& Properties();

    void Play();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // Pausing and seeking: only while the player takes commands.
    void Pause();
    // `offset` microseconds from here; a position before the start seeks to the start.
    void Seek(std::int64_t offset);
    // Only for the track that plays, and a position within it.
    void SetPosition(const std::string& trackId, std::int64_t position);
    void SetVolume(double volume);
    // Microseconds into the run; 0 where the player does not tell.
    std::int64_t Position() const;
    // The running player went on from a new position.
    void PlayerSeeked();
    // The file becomes the media file and plays: as the next playlist item when the playlist
    // is in use (the file is added to it), otherwise as the hand-over plays a file.
    void OpenFile(const std::string& path);
    void Raise() { m_host.Raise(); }
    void Quit() { m_host.Quit(); }

    // What the player printed during the current run.
    void PlayerOutput(const std::vector<std::string>& lines);
    // What the size probe answered for a media file, just before a run of it starts.
    void ProbeAnswered(const std::string& mediaPath, std::string_view output);

private:
    struct Run
    {
        std::int64_t id = 0;
        std::string trackId;
        std::string mediaPath;
        std::optional<std::int64_t> length;
        // The playlist item a skip asked for, until the next run begins.
        std::optional<int> skipTarget;
    };

    void NoteRun(const MediaState& state);
    // The report of a player that takes commands; none otherwise.
    std::optional<PlayerReport> Controlled() const;
    std::optional<int> NeighbourItem(const MediaState& state, int step) const;
    void MoveBy(int step);
    MediaProperties PropertiesOf(const MediaState& state);
    const std::vector<std::string>& MimeTypes(const std::string& fileTypes);

    MediaControlHost& m_host;
    MimeTypeLookup m_mimeTypeOf;
    ChangeHandler m_changed;
    std::optional<MediaProperties> m_reported;
    Run m_run;
    std::uint64_t m_runCount = 0;
    std::string m_probedMedia;
    std::optional<std::int64_t> m_probedLength;
    std::optional<std::string> m_mimeTypesOf;
    std::vector<std::string> m_mimeTypes;
};

} // namespace zuv
