// Every option at its ends, and the options that meet in one filter list, built into a command
// line as a Start builds it and played by each installed player (MPlayer in the dialect it
// speaks, and mpv): one table of cases for both.
#include "archive/subtitle_extraction.h"
#include "options/options.h"
#include "playback/capture_run.h"
#include "playback/command_line_builder.h"
#include "playback/mpv_dialect.h"
#include "playback/player_dialect.h"
#include "playback/player_launch.h"
#include "real_player_media.h"
#include "support/test_support.h"
#include "util/text_utils.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace zuv;
using namespace zuv::test;

namespace {

constexpr ScreenSize kScreen{1024, 768};
constexpr char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct PlayerRun
{
    std::string commandLine;
    std::optional<int> exitCode;
    std::string output;
    std::optional<WavInfo> sound;
};

// What a case expects beyond a clean run: the picture size of the video output ("WxH"), the
// channels of the sound, its peak (an inclusive range). Zero and empty mean "not measured".
struct Effect
{
    std::string picture;
    int channels = 0;
    int lowestPeak = -1;
    int highestPeak = -1;
};

struct Case
{
    const char* name;
    std::function<void(Options&)> set;
    Effect effect;
    // Where mpv does what MPlayer does not (its channel option makes the output's count).
    std::optional<Effect> mpvEffect = std::nullopt;
};

// The peak of the tone at a volume position as the classic plug-in played it: ((V^3) >> 12) / 256.
Effect PluginPeak(int volume)
{
    const int factor = (volume * volume * volume) >> 12;
    const int peak = kToneAmplitude * factor / 256;
    return {{}, 2, peak, peak + peak / 500 + 1};
}

// The picture size the filters ask for; a scale filter that ends the list makes an odd width even.
bool SamePicture(const std::string& shown, const std::string& expected)
{
    if (shown == expected)
        return true;
    const int width = std::stoi(expected);
    return width % 2 == 1 &&
           shown == std::to_string(width + 1) + expected.substr(expected.find('x'));
}

// The test runs of each case: once with "mplayer", once with "mpv".
class RealPlayerOptions : public ::testing::TestWithParam<std::string>
{
protected:
    static void SetUpTestSuite()
    {
        s_media = new TempDir;
        WriteFile(s_media->file("Egy film/clip.avi"), ClipBytes());
        WriteFile(s_media->file("clip.srt"), SubtitleBytes());
        WriteFile(s_media->file("font folder/Deja Vu.ttf"), ReadFile(kFont).value_or(""));
    }

    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }

    void SetUp() override
    {
        if (platform::FindProgram(GetParam(), {}).path.empty())
            GTEST_SKIP() << GetParam() << " is not installed";
        const auto known = s_dialects.find(GetParam());
        if (known != s_dialects.end()) {
            m_dialect = known->second;
            return;
        }
        const CaptureFunction capture = PlayerCaptureFunction(s_media->path());
        m_dialect =
            GetParam() == "mpv" ? ReadMpvInfo(capture).dialect : ReadPlayerInfo(capture).dialect;
        s_dialects[GetParam()] = m_dialect;
    }

    bool Mpv() const { return IsMpv(m_dialect); }

    // The options of a first start, with the clip and its subtitle.
    static Options FirstStart() { return Options{}; }

    // Plays the clip to its end, or kills the player after `limit`.
    PlayerRun Play(const Options& options, bool loop, const std::string& subtitle,
                   std::chrono::seconds limit = std::chrono::seconds(60))
    {
        const std::string media = s_media->file("Egy film/clip.avi");
        const std::string optionsText = BuildOptionsText(
            options, loop, media, kScreen,
            MakeDialectProbe(m_dialect, PlayerCaptureFunction(s_media->path())), m_dialect);
        const std::string wav = m_out.file("sound.wav");
        PlayerRun run;
        // Played as fast as it goes into a sound file; a looping player in real time without
        // one, or it would fill the disk until it is killed.
        const std::string output =
            Mpv() ? (loop ? " --vo=null --ao=null"
                          : " --vo=null --ao=pcm --ao-pcm-file=" + wav + " --untimed")
                  : (loop ? " -vo null -ao null"
                          : " -vo null -ao pcm:fast:file=" + wav + " -benchmark");
        run.commandLine = RunCommandLine(m_dialect, media, subtitle, optionsText) + output;
        auto launch =
            PreparePlayerLaunch(run.commandLine, s_media->path(),
                                ClampToRange(options.MPlayerPriority, kMPlayerPriorityRange));
        if (!std::holds_alternative<platform::ProcessLaunch>(launch))
            return run;
        platform::ChildProcess child;
        if (child.Start(std::get<platform::ProcessLaunch>(launch)).failed())
            return run;
        const auto deadline = platform::ChildProcess::Clock::now() + limit;
        char buffer[4096];
        while (true) {
            // A looping player never stops talking: the deadline ends the reading too.
            const auto read = child.Read(buffer, sizeof buffer, deadline);
            if (read.size == 0 || platform::ChildProcess::Clock::now() > deadline)
                break;
            run.output.append(buffer, read.size);
        }
        run.exitCode = child.WaitForExit(deadline);
        if (!run.exitCode) {
            child.Kill();
            child.WaitForExit();
        }
        run.sound = ReadWav(wav);
        return run;
    }

    // The user's own parameters of a case as typed for mpv.
    static std::string MpvParameters(const std::string& typed)
    {
        static const std::map<std::string, std::string> kSame = {
            {"-af volume=3,volnorm,extrastereo=1,equalizer=1:1:1:1:1:1:1:1:1:1,sub -vf flip,eq,pp",
             "--af=lavfi=[volume=3dB],lavfi=[dynaudnorm],lavfi=[extrastereo=m=1],"
             "lavfi=[equalizer=f=1000:t=o:w=3:g=1],lavfi=[lowpass=f=60] "
             "--vf=lavfi=[vflip],lavfi=[eq],lavfi=[pp]"},
            {"-af volume=3", "--af=lavfi=[volume=3dB]"},
            {"-af volnorm,extrastereo", "--af=lavfi=[dynaudnorm],lavfi=[extrastereo]"},
            {"-af equalizer=2:2:2:2:2:2:2:2:2:2,sub",
             "--af=lavfi=[equalizer=f=1000:t=o:w=3:g=2],lavfi=[lowpass=f=60]"},
            {"-af volume=-6", "--af=lavfi=[volume=-6dB]"},
            {"-vf flip", "--vf=lavfi=[vflip]"},
        };
        const auto same = kSame.find(typed);
        return same == kSame.end() ? typed : same->second;
    }

    void Check(const Case& c, const std::string& subtitle = {})
    {
        Options options = FirstStart();
        c.set(options);
        if (Mpv())
            options.Parameters = MpvParameters(options.Parameters);
        const PlayerRun run = Play(options, false, subtitle);
        SCOPED_TRACE(GetParam() + ", " + c.name + ": " + run.commandLine);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(RefusalLines(run.output), std::vector<std::string>());
        const Effect& effect = Mpv() && c.mpvEffect ? *c.mpvEffect : c.effect;
        if (!effect.picture.empty()) {
            EXPECT_TRUE(SamePicture(VideoOutputSize(run.output), effect.picture)) << run.output;
        }
        if (effect.channels || effect.lowestPeak >= 0) {
            ASSERT_TRUE(run.sound) << run.output;
            if (effect.channels) {
                EXPECT_EQ(run.sound->channels, effect.channels);
            }
            if (effect.lowestPeak >= 0) {
                EXPECT_GE(run.sound->peak, effect.lowestPeak);
                EXPECT_LE(run.sound->peak, effect.highestPeak);
            }
        }
    }

    static inline TempDir* s_media = nullptr;
    static inline std::map<std::string, PlayerDialect> s_dialects;
    PlayerDialect m_dialect = PlayerDialect::Classic;
    TempDir m_out;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Players, RealPlayerOptions, ::testing::Values("mplayer", "mpv"),
                         [](const ::testing::TestParamInfo<std::string>& player) {
                             return player.param;
                         });

TEST_P(RealPlayerOptions, FirstStartPlaysTheClipAsItIs)
{
    Check({"first start", [](Options&) {}, {"160x64", 2, kToneAmplitude, kToneAmplitude}});
}

TEST_P(RealPlayerOptions, EachSwitchAlone)
{
    const Case cases[] = {
        {"fullscreen", [](Options& o) { o.Fullscreen = true; }, {"160x64"}},
        {"rebuild index", [](Options& o) { o.Idx = true; }, {"160x64"}},
        {"on top", [](Options& o) { o.OnTop = true; }, {}},
        {"no double buffer, direct rendering",
         [](Options& o) { o.Double = false, o.dri = true; },
         {}},
        {"picture equalizer", [](Options& o) { o.GraphicEq = true; }, {"160x64"}},
        {"YUY2", [](Options& o) { o.ForceYUY2 = true; }, {"160x64"}},
        {"post processing", [](Options& o) { o.PostProcessing = true; }, {"160x64"}},
        {"video switches together",
         [](Options& o) { o.GraphicEq = o.ForceYUY2 = o.PostProcessing = true; },
         {"160x64"}},
        {"lowest priority", [](Options& o) { o.MPlayerPriority = 0; }, {}},
        {"normalize", [](Options& o) { o.Normalize = true; }, {{}, 2}},
        {"custom channel mapping", [](Options& o) { o.CustomAC3Mixing = true; }, {{}, 2}},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST_P(RealPlayerOptions, LoopRepeatsUntilStopped)
{
    // The one-second clip still plays after three seconds.
    const PlayerRun run = Play(FirstStart(), true, {}, std::chrono::seconds(3));
    SCOPED_TRACE(run.commandLine);
    EXPECT_EQ(run.exitCode, std::nullopt) << run.output;
    EXPECT_EQ(RefusalLines(run.output), std::vector<std::string>());
}

TEST_P(RealPlayerOptions, VolumePositions)
{
    for (const int volume : {0, 15}) {
        Check({"silent",
               [volume](Options& o) { o.CustomVolume = true, o.Volume = volume; },
               {{}, 2, 0, 0}});
    }
    for (const int volume : {16, 20, 21, 64, 100, 128, 255}) {
        Check({"audible", [volume](Options& o) { o.CustomVolume = true, o.Volume = volume; },
               PluginPeak(volume)});
    }
}

TEST_P(RealPlayerOptions, ExtraStereoAndChannels)
{
    for (const int position : {0, 1, 25, 50})
        Check({"extra stereo",
               [position](Options& o) { o.ExtraStereo = true, o.ExtraStereoVal = position; },
               {{}, 2}});
    // MPlayer's PCM keeps the clip's two channels whatever is asked (the option only asks the
    // decoder); mpv mixes to the count asked.
    for (const int channels : {1, 2, 4, 6})
        Check({"channels",
               [channels](Options& o) { o.SetChannels = true, o.Channels = channels; },
               {{}, 2},
               Effect{{}, channels}});
    // A hand-edited count that no entry of the list shows.
    Check({"channels 9", [](Options& o) { o.SetChannels = true, o.Channels = 9; }, {{}, 2}});
}

TEST_P(RealPlayerOptions, ExpandAndPanScan)
{
    // The clip is 160 by 64 and the screen 1024 by 768 (4:3).
    Check({"expand", [](Options& o) { o.Expand = true; }, {"160x118"}});
    struct Strength
    {
        int position;
        const char* picture; // the crop width, made even by a scale where one follows
    };
    for (const Strength s :
         {Strength{0, "160x64"}, {1, "160x64"}, {49, "124x64"}, {50, "123x64"}, {99, "87x64"}}) {
        Check({"pan-scan",
               [s](Options& o) { o.PanScan = true, o.PanScanValue = s.position; },
               {s.picture}});
    }
    Check({"pan-scan 49 and expand",
           [](Options& o) { o.PanScan = true, o.PanScanValue = 49, o.Expand = true; },
           {"124x92"}});
}

TEST_P(RealPlayerOptions, SubtitleFonts)
{
    const std::string subtitle = s_media->file("clip.srt");
    const std::string font = s_media->file("font folder/Deja Vu.ttf");
    const Case cases[] = {
        {"font with a blank in its path", [font](Options& o) { o.Font = font; }, {}},
        {"code page iso-8859-2", [font](Options& o) { o.Font = font, o.SubCp = "iso-8859-2"; }, {}},
        {"code page cp1250", [font](Options& o) { o.Font = font, o.SubCp = "cp1250"; }, {}},
        {"code page empty", [font](Options& o) { o.Font = font, o.SubCp.clear(); }, {}},
        {"smallest text, no outline, no blur",
         [](Options& o) {
             o.SetFontScale = o.SubfontOutline = o.SubfontBlur = true;
             o.FontScale = SubFontScaleFromPosition(0);
             o.SubfontOutlineValue = o.SubfontBlurValue = 0;
         },
         {}},
        {"largest text, outline and blur",
         [font](Options& o) {
             o.Font = font;
             o.SetFontScale = o.SubfontOutline = o.SubfontBlur = true;
             o.FontScale = SubFontScaleFromPosition(25);
             o.SubfontOutlineValue = o.SubfontBlurValue = 8;
         },
         {}},
    };
    for (const Case& c : cases)
        Check(c, subtitle);
}

TEST_P(RealPlayerOptions, ZippedSubtitleIsUnpackedAndShown)
{
    WriteFile(m_out.file("subs.zip"), ZipBytes("film.srt", SubtitleBytes()));
    const ScopedEnv temp("TMPDIR", m_out.path());
    const SubtitleExtraction extracted = ExtractSubtitle(m_out.file("subs.zip"));
    ASSERT_EQ(extracted.error, "");
    const PlayerRun run = Play(FirstStart(), false, extracted.path);
    SCOPED_TRACE(run.commandLine);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(RefusalLines(run.output), std::vector<std::string>());
    const std::string shown = Mpv() ? "'" + FileNamePart(extracted.path) + "' (subrip) (external)"
                                    : "SUB: Added subtitle file (1): " + extracted.path;
    EXPECT_NE(run.output.find(shown), std::string::npos) << run.output;
}

TEST_P(RealPlayerOptions, Equalizer)
{
    for (const char* bands :
         {"", "0:0:0:0:0:0:0:0:0:0", "3:2:0:-1.5:0:0:1:2.5:3:4", "12:12:12:12:12:12:12:12:12:12",
          "-12:-12:-12:-12:-12:-12:-12:-12:-12:-12", "-12:12:-12:12:-12:12:-12:12:-12:12"}) {
        Check({"equalizer", [bands](Options& o) { o.EQ = true, o.EQSettings = bands; }, {{}, 2}});
    }
}

TEST_P(RealPlayerOptions, OptionsThatMeetInOneList)
{
    const auto everything = [](Options& o) {
        o.Fullscreen = o.Idx = o.dri = o.GraphicEq = o.ForceYUY2 = o.PostProcessing = true;
        o.Expand = o.PanScan = true;
        o.PanScanValue = 49;
        o.CustomVolume = o.Normalize = o.ExtraStereo = o.SetChannels = true;
        o.EmulateSubwoofer = o.EQ = o.CustomAC3Mixing = o.OnTop = true;
        o.Volume = 128;
        o.Channels = 6;
        o.EQSettings = "1:2:3:4:5:-5:-4:-3:-2:-1";
        o.Font = kFont;
        o.SetFontScale = o.SubfontOutline = o.SubfontBlur = true;
    };
    const Case cases[] = {
        {"everything on", everything, {"124x92", 6}},
        {"own -af and -vf with everything on",
         [everything](Options& o) {
             everything(o);
             o.Parameters = "-af volume=3,volnorm,extrastereo=1,equalizer=1:1:1:1:1:1:1:1:1:1,sub "
                            "-vf flip,eq,pp";
         },
         {"124x92", 6}},
        {"own -af with the volume only",
         [](Options& o) {
             o.Parameters = "-af volume=3";
             o.CustomVolume = true;
             o.Volume = 100;
         },
         {}},
        {"own -af with normalize and extra stereo",
         [](Options& o) {
             o.Parameters = "-af volnorm,extrastereo";
             o.Normalize = o.ExtraStereo = true;
         },
         {{}, 2}},
        {"own -af with equalizer and sub",
         [](Options& o) {
             o.Parameters = "-af equalizer=2:2:2:2:2:2:2:2:2:2,sub";
             o.EQ = o.EmulateSubwoofer = true;
         },
         {}},
        {"own -af moved by the channel mapping alone",
         [](Options& o) {
             o.Parameters = "-af volume=-6";
             o.CustomAC3Mixing = true;
         },
         {}},
        {"own -vf with each video option",
         [](Options& o) {
             o.Parameters = "-vf flip";
             o.GraphicEq = o.ForceYUY2 = o.PostProcessing = o.Expand = o.PanScan = true;
         },
         {"124x92"}},
        {"subwoofer, channels and equalizer",
         [](Options& o) {
             o.EmulateSubwoofer = o.SetChannels = o.EQ = true;
             o.Channels = 6;
             o.EQSettings = "6:6:0:0:0:0:0:0:0:0";
         },
         {{}, 6}},
        {"subwoofer with four channels",
         [](Options& o) {
             o.EmulateSubwoofer = o.SetChannels = true;
             o.Channels = 4;
         },
         {{}, 6},
         Effect{{}, 4}},
    };
    for (const Case& c : cases)
        Check(c, s_media->file("clip.srt"));
}
