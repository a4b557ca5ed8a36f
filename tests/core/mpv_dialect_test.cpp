#include "platform/fonts.h"
#include "playback/command_line_builder.h"
#include "playback/mpv_dialect.h"
#include "util/argv_split.h"

#include <functional>
#include <gtest/gtest.h>

using namespace zuv;

namespace {

constexpr ScreenSize kScreen{1024, 768};
constexpr char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

ProbeFunction Picture(int width, int height)
{
    return [=](const std::string&) {
        return std::optional<std::string>("ID_VIDEO_WIDTH=" + std::to_string(width) +
                                          "\nID_VIDEO_HEIGHT=" + std::to_string(height) + "\n");
    };
}

Options AllOff()
{
    Options options;
    options.Double = false;
    options.SubCp.clear();
    return options;
}

std::string Mpv(const Options& options, bool loop = false, ProbeFunction probe = Picture(160, 64),
                PlayerDialect dialect = PlayerDialect::Mpv)
{
    return BuildOptionsText(options, loop, "m.avi", kScreen, probe, dialect);
}

} // namespace

TEST(MpvDialect, EachOptionInMpvForm)
{
    struct Case
    {
        const char* name;
        std::function<void(Options&)> set;
        const char* text;
    };
    const Case cases[] = {
        {"nothing", [](Options&) {}, ""},
        {"double buffering has no form", [](Options& o) { o.Double = true; }, ""},
        {"fullscreen, index, direct rendering, on top",
         [](Options& o) { o.Fullscreen = o.Idx = o.dri = o.OnTop = true; },
         " --fs --index=recreate --vd-lavc-dr=yes --ontop"},
        {"volume 100 is the plug-in's 244/256",
         [](Options& o) { o.CustomVolume = true, o.Volume = 100; }, " --af=lavfi=[volume=244/256]"},
        {"volume 15 is silence", [](Options& o) { o.CustomVolume = true, o.Volume = 15; },
         " --af=lavfi=[volume=0]"},
        {"volume above the bar is its end",
         [](Options& o) { o.CustomVolume = true, o.Volume = 999; },
         " --af=lavfi=[volume=4048/256]"},
        {"audio effects in the plug-ins' order",
         [](Options& o) {
             o.CustomVolume = o.Normalize = o.ExtraStereo = o.EmulateSubwoofer = true;
             o.Volume = 16, o.ExtraStereoVal = 25;
         },
         " --af=lavfi=[volume=1/256],lavfi=[dynaudnorm],lavfi=[extrastereo=m=2.5],lavfi=[pan=5.1|"
         "FL=FL|FR=FR|FC=FC|LFE=0.5*FL+0.5*FR|BL=BL|BR=BR,lowpass=f=60:c=LFE]"},
        {"flat equalizer adds nothing", [](Options& o) { o.EQ = true; }, ""},
        {"equalizer bands that are not numbers stay flat",
         [](Options& o) { o.EQ = true, o.EQSettings = "x:1.5:::::::y:-12"; },
         " --af=lavfi=[equalizer=f=62.5:t=o:w=3:g=1.5,equalizer=f=16000:t=o:w=3:g=-12]"},
        {"channels", [](Options& o) { o.SetChannels = true, o.Channels = 6; },
         " --audio-channels=6"},
        {"channels without a list entry", [](Options& o) { o.SetChannels = true, o.Channels = 9; },
         ""},
        {"video switches, the format last",
         [](Options& o) { o.GraphicEq = o.ForceYUY2 = o.PostProcessing = true; },
         " --vf=lavfi=[eq],lavfi=[pp],format=yuyv422"},
        {"expand", [](Options& o) { o.Expand = true; },
         " --vf=lavfi=[pad=160:118:(ow-iw)/2:(oh-ih)/2]"},
        {"pan-scan 50 crops an even 124", [](Options& o) { o.PanScan = true, o.PanScanValue = 50; },
         " --vf=lavfi=[crop=124]"},
        {"pan-scan 0 cuts nothing", [](Options& o) { o.PanScan = true, o.PanScanValue = 0; }, ""},
        {"pan-scan, then expand of the cut picture",
         [](Options& o) { o.PanScan = o.Expand = true, o.PanScanValue = 49; },
         " --vf=lavfi=[crop=124],lavfi=[pad=124:92:(ow-iw)/2:(oh-ih)/2]"},
        {"text scale, outline, blur at the ends",
         [](Options& o) {
             o.SetFontScale = o.SubfontOutline = o.SubfontBlur = true;
             o.FontScale = 6, o.SubfontOutlineValue = -3, o.SubfontBlurValue = 99;
         },
         " --sub-scale=1.714 --sub-border-size=0 --sub-blur=8"},
        {"code page goes with a font only", [](Options& o) { o.SubCp = "cp1250"; }, ""},
        {"own lists first, other parameters stay",
         [](Options& o) {
             o.Parameters = "--af=lavfi=[volume=2] --speed=2 --vf=flip";
             o.Normalize = o.GraphicEq = true;
         },
         " --speed=2 --af=lavfi=[volume=2],lavfi=[dynaudnorm] --vf=flip,lavfi=[eq]"},
        {"own list alone stays where the options put theirs",
         [](Options& o) { o.Parameters = "--vf=flip --fs"; }, " --fs --vf=flip"},
    };
    for (const Case& c : cases) {
        Options options = AllOff();
        c.set(options);
        EXPECT_EQ(Mpv(options), c.text) << c.name;
    }
}

TEST(MpvDialect, LoopAndProbeLessRuns)
{
    Options options = AllOff();
    options.Expand = options.PanScan = true;
    EXPECT_EQ(Mpv(options, true, {}), " --loop-file=inf");
    EXPECT_EQ(Mpv(options, false, [](const std::string&) { return std::nullopt; }), "");
}

TEST(MpvDialect, FontByFamilyWithItsFolderWhereMpvTakesOne)
{
    // The family comes from fontconfig, which Windows has not.
    if (platform::FontFamilyOfFile(kFont).empty())
        GTEST_SKIP() << "no fontconfig font at " << kFont;
    Options options = AllOff();
    options.Font = kFont;
    options.SubCp = "latin2";
    EXPECT_EQ(Mpv(options), " --sub-font=\"DejaVu Sans\" --sub-codepage=latin2");
    EXPECT_EQ(Mpv(options, false, {}, PlayerDialect::MpvFontFolder),
              " --sub-font=\"DejaVu Sans\" --sub-fonts-dir=\"/usr/share/fonts/truetype/dejavu/\" "
              "--sub-codepage=latin2");
    // Not a font: no family to name, the code page still goes.
    options.Font = "/etc/hostname";
    EXPECT_EQ(Mpv(options), " --sub-codepage=latin2");
}

TEST(MpvDialect, CommandLinesSplitIntoTheRightArguments)
{
    EXPECT_EQ(
        SplitArguments(RunCommandLine(PlayerDialect::Mpv, "-a b.avi", "x y.srt,z.srt", " --fs")),
        (std::vector<std::string>{"mpv", "./-a b.avi", "--sub-file=x y.srt", "--sub-file=z.srt",
                                  "--fs"}));
    EXPECT_EQ(RunCommandLine(PlayerDialect::Current, "a.avi", "s.srt", " -fs"),
              "mplayer a.avi -sub s.srt -fs");
    EXPECT_EQ(SplitArguments(MpvProbeCommandLine("a b.avi")),
              (std::vector<std::string>{"mpv", "--frames=1", "--vo=null", "--ao=null",
                                        "--term-playing-msg=ID_VIDEO_WIDTH=${width}\\n"
                                        "ID_VIDEO_HEIGHT=${height}\\nID_LENGTH=${=duration}",
                                        "a b.avi"}));
}

TEST(MpvDialect, VersionAndFontFolderFromItsAnswers)
{
    std::vector<std::string> asked;
    const auto capture = [&](const std::string& line) -> std::optional<std::string> {
        asked.push_back(line);
        if (line == "mpv --version")
            return "mpv 0.36.0 Copyright \xc2\xa9 2000-2023 mpv/MPlayer/mplayer2 projects\n";
        return " --sub-font                       String\n --sub-fonts-dir                  "
               "String\n";
    };
    const PlayerInfo info = ReadMpvInfo(capture);
    EXPECT_EQ(info.version, "0.36.0");
    EXPECT_EQ(info.dialect, PlayerDialect::MpvFontFolder);
    EXPECT_EQ(asked, (std::vector<std::string>{"mpv --version", "mpv --list-options"}));
    EXPECT_EQ(MpvDialectFromOptionList(" --sub-font  String\n --sub-fonts-dirx\n"),
              PlayerDialect::Mpv);
    EXPECT_EQ(MpvVersionFromBanner("MPlayer 1.5 (C)"), "");
    const PlayerInfo missing = ReadMpvInfo([](const std::string&) { return std::nullopt; });
    EXPECT_EQ(missing.version, "");
}
