#include "mpris/file_uri.h"
#include "mpris/media_control.h"
#include "mpris/media_length.h"

#include <functional>
#include <gtest/gtest.h>

using namespace zuv;

namespace {

using Calls = std::vector<std::string>;

TEST(FileUri, KeepsEveryNameAndRefusesWhatIsNoLocalFile)
{
    for (const std::string path :
         {"/films/Egy film #1?.avi", "/f/\xC3\xA9t\xC3\xA9.mkv", "/a%20b"}) {
        const std::optional<std::string> uri = FileUriOfPath(path);
        ASSERT_TRUE(uri);
        EXPECT_EQ(uri->find_first_of(" #?\xC3"), std::string::npos) << *uri;
        EXPECT_EQ(PathOfFileUri(*uri), path);
    }
    EXPECT_EQ(FileUriOfPath("/a b.avi"), "file:///a%20b.avi");
    EXPECT_EQ(FileUriOfPath("films/a.avi"), std::nullopt);

    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"FILE://localhost/a%2fb", "/a/b"},
        {"file:/a", "/a"},
        {"file:///a.avi#t=10", "/a.avi"},
        {"file://server/a.avi", std::nullopt},
        {"http://localhost/a.avi", std::nullopt},
        {"file://", std::nullopt},
        {"file:a.avi", std::nullopt},
        {"file:///a%2", std::nullopt},
        {"file:///a%zz", std::nullopt},
        {"file:///a%00.avi", std::nullopt},
    };
    for (const auto& [uri, path] : cases)
        EXPECT_EQ(PathOfFileUri(uri), path) << uri;
}

TEST(MediaLength, ReadsThePlayersSecondsAndNothingElse)
{
    EXPECT_EQ(LengthFromSeconds("61.50"), 61'500'000);
    EXPECT_EQ(LengthFromSeconds("0.0000005"), 1);
    for (const char* bad :
         {"", "0", "0.00", "-3", "nan", "inf", "1e3", "12,5", " 5", "5s", "99999999999"})
        EXPECT_EQ(LengthFromSeconds(bad), std::nullopt) << bad;
    EXPECT_EQ(LengthFromPlayerLines({"ID_LENGTH=10.00", "ID_LENGTHS=3", "ID_LENGTH=bad",
                                     "A:   1.0 (01.0) of 9.0 (09.0)", "ID_LENGTH=12.25"}),
              12'250'000);
    EXPECT_EQ(LengthFromPlayerLines({"ID_LENGTH=", "ID_VIDEO_WIDTH=720"}), std::nullopt);
    EXPECT_EQ(LengthFromIdentifyOutput("ID_VIDEO_WIDTH=720\r\nID_LENGTH=7.5\r\n"), 7'500'000);
}

// The main window as a record of what was asked of it.
class FakeWindow : public MediaControlHost
{
public:
    MediaState state;
    Calls calls;

    MediaState State() const override { return state; }
    void Start() override { calls.push_back("Start"); }
    void Stop() override { calls.push_back("Stop"); }
    void StopAndRestart() override { calls.push_back("StopAndRestart"); }
    void SkipToItem(int row) override { calls.push_back("SkipToItem " + std::to_string(row)); }
    void SelectItem(int row) override { calls.push_back("SelectItem " + std::to_string(row)); }
    void SetMediaFile(const std::string& path) override { calls.push_back("SetMediaFile " + path); }
    void AddPlaylistItem(const std::string& path) override { calls.push_back("Add " + path); }
    void Raise() override { calls.push_back("Raise"); }
    void Quit() override { calls.push_back("Quit"); }
    void SetPaused(bool on) override { calls.push_back(on ? "Pause" : "Unpause"); }
    void SeekTo(std::int64_t at) override { calls.push_back("SeekTo " + std::to_string(at)); }
    void SeekBy(std::int64_t by) override { calls.push_back("SeekBy " + std::to_string(by)); }
    void SetVolume(double v) override { calls.push_back("Volume " + std::to_string(v)); }
};

MediaState Idle(std::string mediaFile = "/m/a.avi")
{
    MediaState state;
    state.startEnabled = true;
    state.mediaFile = std::move(mediaFile);
    return state;
}

MediaState IdleWithPlaylist(int count, int selected)
{
    MediaState state = Idle();
    state.playlistInUse = true;
    state.playlistCount = count;
    state.playlistItem = selected;
    return state;
}

MediaState Playing(std::int64_t runId, std::string path, int item = -1, int count = 0)
{
    MediaState state;
    state.playing = true;
    state.runId = runId;
    state.runMediaPath = std::move(path);
    state.mediaFile = "/m/a.avi";
    state.playlistRun = item >= 0;
    state.playlistInUse = count > 0;
    state.playlistItem = item;
    state.playlistCount = count;
    return state;
}

// A run of mpv that takes commands, 30 s long, at 12 s.
MediaState Controlled(std::int64_t runId, bool paused)
{
    MediaState state = Playing(runId, "/m/a.avi");
    state.player = PlayerReport{paused, 12'000'000, 0.5, 30'000'000};
    return state;
}

class MediaControlTest : public ::testing::Test
{
protected:
    FakeWindow window;
    std::vector<std::string> mimeLookups;
    std::vector<MediaPropertyChanges> reported;
    MediaControl control{window, [this](std::string_view extension) {
                             mimeLookups.emplace_back(extension);
                             return extension == ".avi" || extension == ".AVI" ? "video/x-msvideo"
                                    : extension == ".mkv"                      ? "video/x-matroska"
                                                                               : "";
                         }};

    void SetUp() override
    {
        control.SetChangeHandler([this](const MediaProperties&, const MediaPropertyChanges& c) {
            reported.push_back(c);
        });
    }
};

TEST_F(MediaControlTest, EachMethodDoesWhatItsStateAllows)
{
    using Method = void (MediaControl::*)();
    struct Case
    {
        const char* name;
        MediaState state;
        Method method;
        Calls expected;
    };
    MediaState startDisabled = Idle();
    startDisabled.startEnabled = false;
    MediaState hiddenPlaylist = Idle();
    hiddenPlaylist.playlistCount = 3;
    const std::vector<Case> cases = {
        {"play when idle", Idle(), &MediaControl::Play, {"Start"}},
        {"play with nothing to play", Idle(" "), &MediaControl::Play, {}},
        {"play while Start is disabled", startDisabled, &MediaControl::Play, {}},
        {"play while playing", Playing(1, "/m/a.avi"), &MediaControl::Play, {}},
        {"play-pause when idle", Idle(), &MediaControl::PlayPause, {"Start"}},
        {"play-pause while playing", Playing(1, "/m/a.avi"), &MediaControl::PlayPause, {}},
        {"stop while playing", Playing(1, "/m/a.avi"), &MediaControl::Stop, {"Stop"}},
        {"stop when idle", Idle(), &MediaControl::Stop, {}},
        {"next in the playlist", Playing(1, "/m/b", 1, 3), &MediaControl::Next, {"SkipToItem 2"}},
        {"next after the last item", Playing(1, "/m/c", 2, 3), &MediaControl::Next, {}},
        {"previous in the playlist",
         Playing(1, "/m/b", 1, 3),
         &MediaControl::Previous,
         {"SkipToItem 0"}},
        {"previous at the first item", Playing(1, "/m/a", 0, 3), &MediaControl::Previous, {}},
        {"next of a single file", Playing(1, "/m/a.avi", -1, 3), &MediaControl::Next, {}},
        {"next when idle selects", IdleWithPlaylist(3, 1), &MediaControl::Next, {"SelectItem 2"}},
        {"next when idle, none selected",
         IdleWithPlaylist(3, -1),
         &MediaControl::Next,
         {"SelectItem 1"}},
        {"previous when idle, none selected", IdleWithPlaylist(3, -1), &MediaControl::Previous, {}},
        {"next with the playlist hidden", hiddenPlaylist, &MediaControl::Next, {}},
        {"raise", Idle(), &MediaControl::Raise, {"Raise"}},
        {"quit", Playing(1, "/m/a.avi"), &MediaControl::Quit, {"Quit"}},
    };
    // mpv's run pauses and seeks; MPlayer's (above) does nothing of it.
    const std::vector<Case> controlled = {
        {"play-pause while playing", Controlled(1, false), &MediaControl::PlayPause, {"Pause"}},
        {"play-pause while paused", Controlled(1, true), &MediaControl::PlayPause, {"Unpause"}},
        {"play while paused", Controlled(1, true), &MediaControl::Play, {"Unpause"}},
        {"play while playing", Controlled(1, false), &MediaControl::Play, {}},
        {"pause while playing", Controlled(1, false), &MediaControl::Pause, {"Pause"}},
        {"pause while paused", Controlled(1, true), &MediaControl::Pause, {}},
        {"pause of MPlayer", Playing(1, "/m/a.avi"), &MediaControl::Pause, {}},
        {"pause when idle", Idle(), &MediaControl::Pause, {}},
        {"stop while paused", Controlled(1, true), &MediaControl::Stop, {"Stop"}},
    };
    std::vector<Case> all = cases;
    all.insert(all.end(), controlled.begin(), controlled.end());
    std::int64_t runId = 100;
    for (const Case& c : all) {
        window.state = c.state;
        // Each case is a run of its own.
        window.state.runId = ++runId;
        window.calls.clear();
        (control.*c.method)();
        EXPECT_EQ(window.calls, c.expected) << c.name;
    }
}

TEST_F(MediaControlTest, AnOpenedFilePlaysInTheWayOfItsState)
{
    struct Case
    {
        const char* name;
        MediaState state;
        Calls expected;
    };
    const std::vector<Case> cases = {
        {"idle", Idle(), {"SetMediaFile /n.avi", "Start"}},
        {"playing a file", Playing(1, "/m/a.avi"), {"SetMediaFile /n.avi", "StopAndRestart"}},
        {"idle with a playlist",
         IdleWithPlaylist(2, 0),
         {"SetMediaFile /n.avi", "Add /n.avi", "SelectItem 2", "Start"}},
        {"playing a playlist",
         Playing(1, "/m/a", 0, 2),
         {"SetMediaFile /n.avi", "Add /n.avi", "SkipToItem 2"}},
    };
    for (const Case& c : cases) {
        window.state = c.state;
        window.calls.clear();
        control.OpenFile("/n.avi");
        EXPECT_EQ(window.calls, c.expected) << c.name;
    }
}

TEST_F(MediaControlTest, NextPressedTwiceBeforeTheRunEndsMovesTwoItems)
{
    window.state = Playing(7, "/m/a", 0, 3);
    control.Next();
    // The run has not ended yet: the window still reports the item before the target.
    window.state.playlistItem = 0;
    control.Next();
    EXPECT_EQ(window.calls, (Calls{"SkipToItem 1", "SkipToItem 2"}));
    EXPECT_FALSE(control.Properties().canGoNext);
    // The skipped-to run begins: its own position counts again.
    window.state = Playing(8, "/m/c", 2, 3);
    EXPECT_TRUE(control.Properties().canGoPrevious);
    EXPECT_FALSE(control.Properties().canGoNext);
}

TEST_F(MediaControlTest, PropertiesFollowTheWindow)
{
    struct Case
    {
        const char* name;
        MediaState state;
        bool playing, canPlay, canGoNext, canGoPrevious;
    };
    MediaState starting = Idle();
    starting.startEnabled = false;
    const std::vector<Case> cases = {
        {"idle", Idle(), false, true, false, false},
        {"idle, empty media field", Idle(""), false, false, false, false},
        {"starting", starting, false, false, false, false},
        {"idle playlist, nothing selected", IdleWithPlaylist(2, -1), false, true, true, false},
        {"idle playlist, last selected", IdleWithPlaylist(2, 1), false, true, false, true},
        // Clients send Stop only where CanPlay holds.
        {"playing a file", Playing(1, "/m/a.avi"), true, true, false, false},
        {"playing the middle item", Playing(1, "/m/b", 1, 3), true, true, true, true},
    };
    for (const Case& c : cases) {
        window.state = c.state;
        const MediaProperties& p = control.Properties();
        EXPECT_EQ(p.playing, c.playing) << c.name;
        EXPECT_EQ(p.canPlay, c.canPlay) << c.name;
        EXPECT_EQ(p.canGoNext, c.canGoNext) << c.name;
        EXPECT_EQ(p.canGoPrevious, c.canGoPrevious) << c.name;
        EXPECT_EQ(p.metadata.has_value(), c.playing) << c.name;
    }
}

TEST_F(MediaControlTest, EveryRunIsANewTrackAndChangesAreReportedOnce)
{
    window.state = Idle();
    control.Refresh();
    control.Refresh();
    EXPECT_TRUE(reported.empty());

    // The probe told the length of the file that then plays.
    control.ProbeAnswered("/m/a b.avi", "ID_VIDEO_WIDTH=720\nID_LENGTH=90.0\n");
    window.state = Playing(41, "/m/a b.avi");
    control.Refresh();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].player, (std::vector<std::string>{"PlaybackStatus", "Metadata"}));
    const MediaMetadata first = *control.Properties().metadata;
    EXPECT_EQ(first.url, "file:///m/a%20b.avi");
    EXPECT_EQ(first.title, "a b.avi");
    EXPECT_EQ(first.length, 90'000'000);

    // The next run plays another file; no probe ran for it, the player prints the length.
    window.state = Playing(42, "/m/c.avi");
    control.Refresh();
    const MediaMetadata second = *control.Properties().metadata;
    EXPECT_NE(second.trackId, first.trackId);
    EXPECT_EQ(second.trackId.rfind("/org/zuvora/", 0), 0u);
    EXPECT_EQ(second.length, std::nullopt);
    reported.clear();
    control.PlayerOutput({"Playing /m/c.avi.", "ID_LENGTH=5.00"});
    EXPECT_EQ(control.Properties().metadata->length, 5'000'000);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].player, std::vector<std::string>{"Metadata"});
    // The same file again is a run of its own.
    window.state = Playing(43, "/m/c.avi");
    EXPECT_NE(control.Properties().metadata->trackId, second.trackId);

    window.state = Idle();
    control.Refresh();
    EXPECT_EQ(control.Properties().metadata, std::nullopt);
}

TEST_F(MediaControlTest, MimeTypesComeFromTheFileTypesOncePerChange)
{
    window.state = Idle();
    window.state.fileTypes = ".avi; .mkv;;.AVI;.xyz";
    EXPECT_EQ(control.Properties().supportedMimeTypes,
              (std::vector<std::string>{"video/x-msvideo", "video/x-matroska"}));
    control.Refresh();
    EXPECT_EQ(mimeLookups, (std::vector<std::string>{".avi", ".mkv", ".AVI", ".xyz"}));
    reported.clear();
    window.state.fileTypes = ".mkv";
    control.Refresh();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].root, std::vector<std::string>{"SupportedMimeTypes"});
    EXPECT_TRUE(reported[0].player.empty());
}

TEST_F(MediaControlTest, SeekingAndVolumeReachOnlyAPlayerThatTakesCommands)
{
    window.state = Controlled(5, false);
    const std::string track = control.Properties().metadata->trackId;
    struct Case
    {
        const char* name;
        std::function<void()> call;
        Calls expected;
    };
    const std::vector<Case> cases = {
        {"forward", [&] { control.Seek(5'000'000); }, {"SeekBy 5000000"}},
        {"back", [&] { control.Seek(-2'000'000); }, {"SeekBy -2000000"}},
        {"back past the start", [&] { control.Seek(-13'000'000); }, {"SeekTo 0"}},
        // Past the end the player ends the file as it ends at its end.
        {"past the end", [&] { control.Seek(60'000'000); }, {"SeekBy 60000000"}},
        {"set position", [&] { control.SetPosition(track, 10'000'000); }, {"SeekTo 10000000"}},
        {"set position at the end",
         [&] { control.SetPosition(track, 30'000'000); },
         {"SeekTo 30000000"}},
        {"set position past the end", [&] { control.SetPosition(track, 30'000'001); }, {}},
        {"set position before the start", [&] { control.SetPosition(track, -1); }, {}},
        {"set position of another track", [&] { control.SetPosition(track + "0", 1); }, {}},
        {"volume", [&] { control.SetVolume(0.25); }, {"Volume 0.250000"}},
        {"negative volume", [&] { control.SetVolume(-1); }, {"Volume 0.000000"}},
    };
    for (const Case& c : cases) {
        window.calls.clear();
        c.call();
        EXPECT_EQ(window.calls, c.expected) << c.name;
    }
    EXPECT_EQ(control.Position(), 12'000'000);

    window.state = Playing(6, "/m/a.avi");
    window.calls.clear();
    control.Seek(1);
    control.SetPosition(control.Properties().metadata->trackId, 1);
    control.SetVolume(1);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(control.Position(), 0);
}

TEST_F(MediaControlTest, PauseVolumeAndSeeksAreSignalledButNotTheMovingPosition)
{
    window.state = Playing(9, "/m/a.avi");
    control.Refresh();
    EXPECT_FALSE(control.Properties().canPause);
    EXPECT_EQ(control.Properties().volume, 1.0);
    reported.clear();

    // The socket answers: pausing and seeking become possible, the player's length counts.
    window.state = Controlled(9, false);
    control.Refresh();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].player,
              (std::vector<std::string>{"Metadata", "CanPause", "CanSeek", "Volume"}));
    EXPECT_EQ(control.Properties().metadata->length, 30'000'000);

    window.state.player->position = 13'000'000;
    control.Refresh();
    window.state.player->paused = true;
    control.Refresh();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1].player, std::vector<std::string>{"PlaybackStatus"});
    EXPECT_TRUE(control.Properties().paused);

    control.PlayerSeeked();
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[2].seeked, 13'000'000);
    EXPECT_TRUE(reported[2].player.empty());

    // An input that cannot be sought in: pausing stays, seeking goes, and asks do nothing.
    window.state.player->seekable = false;
    control.Refresh();
    ASSERT_EQ(reported.size(), 4u);
    EXPECT_EQ(reported[3].player, std::vector<std::string>{"CanSeek"});
    EXPECT_TRUE(control.Properties().canPause);
    window.calls.clear();
    control.Seek(1'000'000);
    control.SetPosition(control.Properties().metadata->trackId, 1'000'000);
    EXPECT_TRUE(window.calls.empty());

    // The run ends: stopped, never paused.
    window.state = Idle();
    window.state.player = Controlled(9, true).player;
    control.Refresh();
    EXPECT_FALSE(control.Properties().paused);
    EXPECT_FALSE(control.Properties().canPause);
    control.PlayerSeeked();
    EXPECT_FALSE(reported.back().seeked);
}

TEST(PlayerReport, MpvStateInMicrosecondsAndFractions)
{
    MpvPlayState state;
    EXPECT_EQ(PlayerReportOf(state).position, 0);
    EXPECT_EQ(PlayerReportOf(state).length, std::nullopt);
    state = {true, 1.5000004, 130.0, 0.0};
    PlayerReport report = PlayerReportOf(state);
    EXPECT_TRUE(report.paused);
    EXPECT_EQ(report.position, 1'500'000);
    EXPECT_DOUBLE_EQ(report.volume, 1.3);
    EXPECT_EQ(report.length, std::nullopt);
    state = {false, -0.02, 0.0, 7261.25};
    report = PlayerReportOf(state);
    EXPECT_EQ(report.position, 0);
    EXPECT_EQ(report.length, 7'261'250'000);
}

} // namespace
