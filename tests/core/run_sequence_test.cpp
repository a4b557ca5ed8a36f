#include "lang/language.h"
#include "platform/zuvora_error.h"
#include "playback/run_sequence.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>

using namespace zuv;

namespace {

// The main window as far as playback sees it, with what it was asked to show.
class FakeHost : public PlaybackHost
{
public:
    RunOptions current;
    Playlist playlist;
    int selected = -1;
    bool startEnabled = true;
    bool playingShown = false;
    bool resultVisible = false;
    int resultShows = 0;
    std::vector<std::string> result; // "<clear>" where the window was cleared
    std::vector<std::string> errors;
    std::vector<int> countdowns;
    bool countdownRunsOut = false;
    bool poweredOff = false;
    bool closed = false;
    bool released = false;

    RunOptions CurrentOptions() const override { return current; }
    const Playlist& PlaylistItems() const override { return playlist; }
    int SelectedPlaylistItem() const override { return selected; }
    void SelectPlaylistItem(int row) override
    {
        selected = (row >= 0 && static_cast<std::size_t>(row) < playlist.Count()) ? row : -1;
    }
    bool StartEnabled() const override { return startEnabled; }
    void EnableStart(bool on) override { startEnabled = on; }
    void ShowPlayingState(bool on) override
    {
        startEnabled = !on;
        playingShown = on;
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    bool ResultWindowVisible() const override { return resultVisible; }
    void ShowResultWindow() override
    {
        resultVisible = true;
        ++resultShows;
    }
    void ClearResult() override { result.push_back("<clear>"); }
    void AddResultLine(const std::string& line) override { result.push_back(line); }
    bool RunCountdown(int seconds) override
    {
        countdowns.push_back(seconds);
        return countdownRunsOut;
    }
    void PowerOff() override { poweredOff = true; }
    void CloseMainWindow() override { closed = true; }
    bool WindowsReleased() const override { return released; }

    bool ResultHas(const std::string& line) const
    {
        return std::find(result.begin(), result.end(), line) != result.end();
    }
};

// A player that starts, or fails to, as told; its end is given by the test.
class FakePlayer : public PlayerDriver
{
public:
    std::vector<std::string> commandLines;
    std::vector<int> priorities;
    std::optional<platform::ProcessStartError> failNext;
    bool stopped = false;
    bool screenSaverAway = false;

    platform::ProcessStartError StartPlayer(const std::string& commandLine,
                                            int priorityPosition) override
    {
        commandLines.push_back(commandLine);
        priorities.push_back(priorityPosition);
        const platform::ProcessStartError error = failNext.value_or(platform::ProcessStartError{});
        failNext.reset();
        return error;
    }
    void StopPlayer() override { stopped = true; }
    ScreenSize CurrentScreenSize() const override { return {1024, 768}; }
    void KeepScreenSaverAway(bool on) override { screenSaverAway = on; }
    std::string NewControlSocket() override { return controlSocket; }
    std::string controlSocket;

    // The media path of each run (the tests use paths without blanks).
    std::vector<std::string> Media() const
    {
        std::vector<std::string> media;
        for (const std::string& line : commandLines) {
            const std::size_t start = line.find(' ') + 1;
            media.push_back(line.substr(start, line.find(' ', start) - start));
        }
        return media;
    }
};

struct Rig
{
    // A playlist of three items (the second with a subtitle), shown or not, and a media field.
    explicit Rig(bool playlistShown = false, int selected = -1)
    {
        sequence.PlayerInfo().Set({"FAKE-1.0", PlayerDialect::Current});
        for (const char* media : {"/f/1.avi", "/f/2.avi", "/f/3.avi"})
            host.playlist.AddItem(media, {});
        host.playlist.SetItemSubtitle(1, "/f/two subs.srt");
        host.current.options.Playlist = playlistShown;
        host.current.options.LastFile = "/f/field.avi";
        host.selected = selected;
    }

    FakeHost host;
    FakePlayer player;
    RunSequence sequence{host, player};
};

} // namespace

TEST(RunSequenceStart, PlaysTheSelectedItemOrTheMediaField)
{
    struct Case
    {
        const char* name;
        bool shown;
        int items;
        int selected;
        const char* field;
        const char* played; // empty: nothing
        const char* subtitle;
        int selectedAfter;
        bool playlistMode;
    };
    const Case cases[] = {
        {"ShownListSelection", true, 3, 1, "/f/field.avi", "/f/2.avi", " -sub \"/f/two subs.srt\"",
         1, true},
        {"ShownListNoSelection", true, 3, -1, "/f/field.avi", "/f/1.avi", nullptr, 0, true},
        {"HiddenList", false, 3, 2, "/f/field.avi", "/f/field.avi", " -sub /f/field.srt", 2, false},
        {"ShownEmptyList", true, 0, -1, "/f/field.avi", "/f/field.avi", " -sub /f/field.srt", -1,
         false},
        {"EmptyField", false, 3, -1, "", "", nullptr, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.shown, c.selected);
        if (c.items == 0)
            rig.host.playlist.Clear();
        rig.host.current.options.LastFile = c.field;
        rig.host.current.options.LastSubFile = "/f/field.srt";
        rig.host.current.options.MPlayerPriority = 4;
        rig.host.result = {"old run"};
        rig.sequence.ActionStartExecute();

        const bool started = *c.played != '\0';
        EXPECT_EQ(rig.player.Media(),
                  started ? std::vector<std::string>{c.played} : std::vector<std::string>{});
        if (started) {
            const std::string& line = rig.player.commandLines.front();
            EXPECT_EQ(line.find(" -sub ") != std::string::npos, c.subtitle != nullptr);
            if (c.subtitle) {
                EXPECT_NE(line.find(c.subtitle), std::string::npos) << line;
            }
            EXPECT_EQ(rig.player.priorities.front(), 4);
            // The old run's text stays until the player has started.
            EXPECT_EQ(rig.host.result,
                      (std::vector<std::string>{"old run", "<clear>",
                                                "commandline: \"" +
                                                    line.substr(line.find(' ') + 1) + '"'}));
        }
        EXPECT_EQ(rig.host.selected, c.selectedAfter);
        EXPECT_EQ(rig.sequence.PlaylistMode(), c.playlistMode);
        EXPECT_EQ(rig.sequence.Playing(), started);
        EXPECT_EQ(rig.host.playingShown, started);
        EXPECT_EQ(rig.host.startEnabled, !started);
        EXPECT_EQ(rig.player.screenSaverAway, started);

        // While a run goes on, Start does nothing.
        rig.sequence.ActionStartExecute();
        EXPECT_EQ(rig.player.commandLines.size(), started ? 1u : 0u);
    }
}

TEST(RunSequenceStart, ShowsTheResultWindowOnlyWhenAskedForAtEveryStart)
{
    struct Case
    {
        bool show;
        bool onlyUnclean;
        bool visible;
        int shows;
    };
    // A visible window is not shown again.
    const Case cases[] = {{true, false, false, 1},
                          {true, false, true, 0},
                          {true, true, false, 0},
                          {false, false, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.show << c.onlyUnclean << c.visible);
        Rig rig;
        rig.host.current.options.ShowResultWindow = c.show;
        rig.host.current.options.ShowResultOnErrorOnly = c.onlyUnclean;
        rig.host.resultVisible = c.visible;
        rig.sequence.ActionStartExecute();
        EXPECT_EQ(rig.host.resultShows, c.shows);
    }
}

TEST(RunSequenceEnd, FollowsTheExitCodeThePlaylistARestartAndTheShutdownSwitch)
{
    struct Case
    {
        const char* name;
        int startAt;                 // the selected item of the shown playlist; -1: the media field
        bool stop;                   // Stop pressed during the run
        bool handover;               // a second copy hands over "/f/new.avi" during the run
        std::optional<int> exitCode; // none: the system could not tell it
        bool onlyUnclean; // the result window after an unclean end only (else at every start)
        bool shutdown;
        bool countdownRunsOut;
        // What follows.
        const char* next; // the media of the run started by the end; empty: none
        int selected;
        bool resultShown; // by the end of the run
        bool countdown;
    };
    const Case cases[] = {
        {"UncleanEndShowsTheResult", -1, false, false, 1, true, true, false, "", -1, true, false},
        {"UncleanEndInThePlaylistStops", 0, false, false, 1, true, true, false, "", 0, true, false},
        {"NegativeCodeIsUnclean", -1, false, false, -1073741819, true, false, false, "", -1, true,
         false},
        {"UncleanEndWithResultAtStart", -1, false, false, 3, false, false, false, "", -1, false,
         false},
        {"CleanEndShowsNothing", -1, false, false, 0, true, false, false, "", -1, false, false},
        {"UnreadCodeIsClean", 0, false, false, std::nullopt, true, true, false, "/f/2.avi", 1,
         false, false},
        {"NextItem", 0, false, false, 0, true, true, false, "/f/2.avi", 1, false, false},
        {"LastItemSelectsTheFirst", 2, false, false, 0, true, true, false, "", 0, false, true},
        {"StopDoesNotAdvance", 1, true, false, 255, true, true, false, "", 1, false, true},
        {"CountdownRunsOut", -1, false, false, 0, true, true, true, "", -1, false, true},
        {"HandoverRestarts", -1, true, true, 255, true, true, false, "/f/new.avi", -1, false,
         false},
        {"HandoverInThePlaylistRestartsAtTheSelection", 1, true, true, 255, true, true, false,
         "/f/2.avi", 1, false, false},
        {"NoRestartAfterAnUncleanEnd", -1, false, true, 1, true, true, false, "", -1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.startAt >= 0, c.startAt);
        Options& options = rig.host.current.options;
        options.ShowResultOnErrorOnly = c.onlyUnclean;
        options.Shutdown = c.shutdown;
        rig.host.countdownRunsOut = c.countdownRunsOut;
        rig.sequence.ActionStartExecute();
        ASSERT_TRUE(rig.sequence.Playing());
        if (c.stop) {
            rig.sequence.ActionStopExecute();
            EXPECT_TRUE(rig.player.stopped);
        }
        if (c.handover) {
            options.LastFile = "/f/new.avi";
            rig.sequence.SetRestartPending(true);
        }
        const int showsBefore = rig.host.resultShows;
        rig.sequence.PlayerExited(c.exitCode);

        const bool next = *c.next != '\0';
        const std::vector<std::string> media = rig.player.Media();
        ASSERT_EQ(media.size(), next ? 2u : 1u);
        if (next) {
            EXPECT_EQ(media.back(), c.next);
        }
        EXPECT_TRUE(rig.host.ResultHas(
            c.exitCode ? "...exited, code: " + std::to_string(*c.exitCode) : "...exited"));
        EXPECT_EQ(rig.host.selected, c.selected);
        if (c.startAt >= 0 && !next) {
            EXPECT_EQ(rig.sequence.PlaylistIndex(), c.stop ? c.startAt : 0);
        }
        EXPECT_EQ(rig.sequence.Playing(), next);
        EXPECT_EQ(rig.host.playingShown, next);
        EXPECT_EQ(rig.host.startEnabled, !next);
        EXPECT_EQ(rig.player.screenSaverAway, next);
        EXPECT_EQ(rig.sequence.RestartPending(), c.handover && !next);
        EXPECT_EQ(rig.host.resultShows > showsBefore, c.resultShown);
        EXPECT_EQ(rig.host.countdowns, c.countdown ? std::vector<int>{30} : std::vector<int>{});
        EXPECT_EQ(rig.host.poweredOff, c.countdown && c.countdownRunsOut);
        EXPECT_EQ(rig.host.closed, c.countdown && c.countdownRunsOut);
    }
}

TEST(RunSequenceEnd, ARunThatNeverBeganIsUnclean)
{
    using Lines = std::vector<std::string>;
    const Lines failed = {"Playing /f/1.avi.", "Failed to open /f/1.avi.", "",
                          "Exiting... (End of file)"};
    const Lines played = {"Starting playback...", "A:   0.9 V:   0.9", "Exiting... (End of file)"};
    struct Case
    {
        const char* name;
        Lines first;  // the output of the first run (playlist item 0)
        int exitCode; // of the first run
        bool stop;    // Stop pressed during the first run
        bool unclean;
    };
    const Case cases[] = {
        {"FailedToOpen", failed, 0, false, true},
        {"Played", played, 0, false, false},
        // An indented marker after the status line still counts.
        {"PlayedAfterAStatusLine", {"  Starting playback...", "Exiting..."}, 0, false, false},
        // A player silenced by its options says nothing either way.
        {"Silent", {}, 0, false, false},
        {"StoppedBeforeItBegan", {"Exiting... (Quit)"}, 255, true, false},
        {"FailedWithItsOwnCode", failed, 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(true, 0);
        Options& options = rig.host.current.options;
        options.Shutdown = true;
        options.ShowResultWindow = options.ShowResultOnErrorOnly = true;
        rig.host.countdownRunsOut = true;
        rig.sequence.ActionStartExecute();
        rig.sequence.SetRestartPending(true);
        rig.sequence.PlayerOutput(c.first);
        if (c.stop)
            rig.sequence.ActionStopExecute();
        rig.sequence.PlayerExited(c.exitCode);

        EXPECT_EQ(rig.host.resultShows, c.unclean ? 1 : 0);
        if (c.unclean) {
            // The playlist stops: no next item, no restart, no countdown.
            EXPECT_EQ(rig.player.Media(), std::vector<std::string>{"/f/1.avi"});
            EXPECT_FALSE(rig.sequence.Playing());
            EXPECT_TRUE(rig.host.countdowns.empty());
            EXPECT_FALSE(rig.host.poweredOff);
        } else {
            EXPECT_EQ(rig.player.Media().size(), 2u);
        }
    }
}

TEST(RunSequenceEnd, EachRunIsJudgedByItsOwnOutput)
{
    Rig rig(true, 0);
    rig.host.current.options.ShowResultWindow = rig.host.current.options.ShowResultOnErrorOnly =
        true;
    rig.sequence.ActionStartExecute();
    rig.sequence.PlayerOutput({"Starting playback...", "Exiting... (End of file)"});
    rig.sequence.PlayerExited(0);
    ASSERT_EQ(rig.player.Media().size(), 2u);
    rig.sequence.PlayerOutput({"Failed to open /f/2.avi.", "Exiting... (End of file)"});
    rig.sequence.PlayerExited(0);
    EXPECT_EQ(rig.player.Media().size(), 2u);
    EXPECT_EQ(rig.host.resultShows, 1);
    EXPECT_EQ(rig.host.selected, 1);
}

TEST(RunSequenceEnd, AfterTheWindowsAreGoneOnlyThePlayingStateEnds)
{
    Rig rig(true, 0);
    rig.host.current.options.Shutdown = true;
    rig.sequence.ActionStartExecute();
    rig.sequence.SetRestartPending(true);
    rig.host.released = true;
    const std::vector<std::string> resultBefore = rig.host.result;
    rig.sequence.PlayerExited(0);
    EXPECT_FALSE(rig.sequence.Playing());
    EXPECT_FALSE(rig.player.screenSaverAway);
    EXPECT_EQ(rig.player.commandLines.size(), 1u);
    EXPECT_EQ(rig.host.result, resultBefore);
    EXPECT_TRUE(rig.host.countdowns.empty());
}

TEST(RunSequenceFailure, AFailedStartSaysWhyAndLeavesStartEnabled)
{
    using platform::ProcessStartStep;
    struct Case
    {
        const char* name;
        ProcessStartStep step;
        int error;
        const char* languageText; // Errors/100 and /101 of a language file; null: built in
        std::string message;
        PlayerDialect dialect = PlayerDialect::Current;
    };
    const Case cases[] = {
        {"Pipe", ProcessStartStep::CreatePipe, 24, nullptr,
         "Nem tudom elindítani az MPlayert! (CreatePipe)"},
        {"Process", ProcessStartStep::CreateProcess, 2, nullptr,
         "Nem tudom elindítani az MPlayert!\n\n" +
             platform::ErrorMessage(platform::SystemError(2))},
        // Every placeholder is replaced, in the language's text.
        {"Translated", ProcessStartStep::CreatePipe, 24, "%e: cannot start (%e)",
         "CreatePipe: cannot start (CreatePipe)"},
        // mpv is named as mpv, from a key of its own.
        {"Mpv", ProcessStartStep::CreateProcess, 2, nullptr,
         "Nem tudom elindítani az mpv-t!\n\n" + platform::ErrorMessage(platform::SystemError(2)),
         PlayerDialect::Mpv},
        {"MpvTranslated", ProcessStartStep::CreatePipe, 24, "(%e)", "[101] (CreatePipe)",
         PlayerDialect::Mpv},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Language language;
        if (c.languageText)
            language.LoadLanguageText("test", std::string("[Errors]\n100=") + c.languageText +
                                                  "\n101=[101] " + c.languageText);
        std::swap(Langunit(), language);
        Rig rig;
        rig.sequence.PlayerInfo().Set({"0.35.1", c.dialect});
        rig.host.result = {"old run"};
        rig.player.failNext = platform::ProcessStartError{c.step, platform::SystemError(c.error)};
        rig.sequence.ActionStartExecute();
        std::swap(Langunit(), language);

        EXPECT_EQ(rig.host.errors, std::vector<std::string>{c.message});
        EXPECT_FALSE(rig.sequence.Playing());
        EXPECT_FALSE(rig.host.playingShown);
        EXPECT_TRUE(rig.host.startEnabled);
        EXPECT_FALSE(rig.player.screenSaverAway);
        EXPECT_EQ(rig.host.result, std::vector<std::string>{"old run"});
    }
}

TEST(RunSequenceFailure, ANextItemThatDoesNotStartLeavesThePlayingState)
{
    for (const bool emptyItem : {true, false}) {
        SCOPED_TRACE(emptyItem ? "item without media" : "player gone");
        Rig rig(true, 0);
        if (emptyItem) {
            rig.host.playlist.Clear();
            rig.host.playlist.AddItem("/f/1.avi", {});
            rig.host.playlist.AddItem("", "/f/only-a-subtitle.srt");
            rig.host.playlist.AddItem("/f/3.avi", {});
        }
        rig.sequence.ActionStartExecute();
        if (!emptyItem)
            rig.player.failNext = platform::ProcessStartError{
                platform::ProcessStartStep::CreateProcess, platform::SystemError(2)};
        rig.sequence.PlayerExited(0);
        EXPECT_EQ(rig.player.commandLines.size(), emptyItem ? 1u : 2u);
        EXPECT_EQ(rig.host.errors.size(), emptyItem ? 0u : 1u);
        EXPECT_EQ(rig.host.selected, 1);
        EXPECT_FALSE(rig.sequence.Playing());
        EXPECT_FALSE(rig.host.playingShown);
        EXPECT_TRUE(rig.host.startEnabled);
        EXPECT_FALSE(rig.player.screenSaverAway);
    }
}

TEST(RunSequenceEnd, MpvRunsInItsOwnFormAndEndsByItsCodes)
{
    // mpv: 4 ends by a signal (clean), 2 and 3 tell of files that failed.
    for (const auto& [code, clean] : {std::pair{4, true}, {2, false}, {3, false}, {0, true}}) {
        Rig rig;
        rig.sequence.PlayerInfo().Set({"0.35.1", PlayerDialect::Mpv});
        rig.host.current.options.CustomVolume = true;
        rig.sequence.ActionStartExecute();
        ASSERT_EQ(rig.player.commandLines.size(), 1u);
        EXPECT_EQ(rig.player.commandLines[0], "mpv /f/field.avi --af=lavfi=[volume=244/256]");
        const int shows = rig.host.resultShows;
        rig.sequence.PlayerExited(code);
        EXPECT_EQ(rig.host.resultShows > shows, !clean) << code;
    }
}

TEST(RunSequenceStart, OnlyMpvGetsTheControlSocketAndTheResultWindowNeverShowsIt)
{
    for (const auto& [dialect, socket, tail] :
         {std::tuple{PlayerDialect::Mpv, "/run/u/zuv mpv",
                     " --input-ipc-server=\"/run/u/zuv mpv\""},
          {PlayerDialect::MpvFontFolder, "", ""},
          {PlayerDialect::Current, "/run/u/s", ""}}) {
        Rig rig;
        rig.sequence.PlayerInfo().Set({"1", dialect});
        rig.player.controlSocket = socket;
        rig.sequence.ActionStartExecute();
        ASSERT_EQ(rig.player.commandLines.size(), 1u);
        const std::string& line = rig.player.commandLines[0];
        EXPECT_EQ(line.substr(line.size() - std::string(tail).size()), tail) << line;
        EXPECT_EQ(line.find("ipc") == std::string::npos, *tail == '\0') << line;
        for (const std::string& shown : rig.host.result)
            EXPECT_EQ(shown.find("ipc"), std::string::npos) << shown;
    }
}
