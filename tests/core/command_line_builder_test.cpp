#include "playback/command_line_builder.h"
#include "util/argv_split.h"

#include <algorithm>
#include <clocale>
#include <gtest/gtest.h>
#include <locale>

using namespace zuv;

namespace {

constexpr ScreenSize kScreen{1024, 768};

// Answers every probe with a fixed output and remembers what it was asked.
struct FakeProbe
{
    std::optional<std::string> output;
    std::vector<std::string> mediaPaths;

    ProbeFunction Function()
    {
        return [this](const std::string& mediaPath) {
            mediaPaths.push_back(mediaPath);
            return output;
        };
    }
};

std::string PictureReport(int width, int height)
{
    return "MPlayer UNKNOWN-12 (C) 2000-2023 MPlayer Team\nID_VIDEO_WIDTH=" +
           std::to_string(width) + "\nID_VIDEO_HEIGHT=" + std::to_string(height) + "\n";
}

Options AllOff()
{
    Options options;
    options.Double = false;
    options.SubCp.clear();
    return options;
}

Options WorkedExample(const std::string& fontPath)
{
    Options options = AllOff();
    options.Parameters = "-speed 1.5 -vf flip";
    options.Fullscreen = true;
    options.Double = true;
    options.CustomVolume = true;
    options.Volume = 128;
    options.Normalize = true;
    options.ExtraStereo = true;
    options.ExtraStereoVal = 25;
    options.EmulateSubwoofer = true;
    options.SetChannels = true;
    options.Channels = 2;
    options.PostProcessing = true;
    options.PanScan = true;
    options.PanScanValue = 49;
    options.Expand = true;
    options.OnTop = true;
    options.Font = fontPath;
    options.SubCp = "latin2";
    options.SetFontScale = true;
    options.FontScale = SubFontScaleFromPosition(4);
    options.SubfontOutline = true;
    options.SubfontOutlineValue = 2;
    options.SubfontBlur = true;
    options.SubfontBlurValue = 2;
    return options;
}

std::string Build(const Options& options, PlayerDialect dialect = PlayerDialect::Classic,
                  bool loop = false)
{
    FakeProbe probe{PictureReport(720, 304), {}};
    return BuildOptionsText(options, loop, "/films/a.avi", kScreen, probe.Function(), dialect);
}

const char* const kWorkedExampleClassic =
    " -speed 1.5  -fs -double -aop \"list=volume,volnorm,extrastereo:volume=128:mul=2.5\""
    " -af sub -channels 2 -vf flip,pp,expand=567:424,crop=567 -autoq 10 -ontop"
    " -font \"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\" -subcp latin2"
    " -subfont-text-scale 1.8 -subfont-outline 2 -subfont-blur 2";

} // namespace

TEST(CommandLineBuilder, WorkedExampleClassic)
{
    FakeProbe probe{PictureReport(720, 304), {}};
    const std::string media = "/films/Egy film.avi";
    const std::string optionsText =
        BuildOptionsText(WorkedExample("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"), false,
                         media, kScreen, probe.Function(), PlayerDialect::Classic);
    EXPECT_EQ(optionsText, kWorkedExampleClassic);
    EXPECT_EQ(probe.mediaPaths, std::vector<std::string>{media});

    const std::string arguments =
        "\"/films/Egy film.avi\" -sub /films/film.srt" + std::string(kWorkedExampleClassic);
    EXPECT_EQ(PlayerArguments(media, "/films/film.srt", optionsText), arguments);
    EXPECT_EQ(PlayerCommandLine(media, "/films/film.srt", optionsText), "mplayer " + arguments);
}

TEST(CommandLineBuilder, WorkedExampleWithWindowsPaths)
{
    FakeProbe probe{PictureReport(720, 304), {}};
    const std::string media = "C:\\Filmek\\Egy film.avi";
    const std::string optionsText =
        BuildOptionsText(WorkedExample("C:\\WINDOWS\\Fonts\\arial.ttf"), false, media, kScreen,
                         probe.Function(), PlayerDialect::Classic);
    EXPECT_EQ(PlayerCommandLine(media, "C:\\Filmek\\film.srt", optionsText),
              "mplayer \"C:\\Filmek\\Egy film.avi\" -sub C:\\Filmek\\film.srt -speed 1.5  -fs "
              "-double -aop \"list=volume,volnorm,extrastereo:volume=128:mul=2.5\" -af sub "
              "-channels 2 -vf flip,pp,expand=567:424,crop=567 -autoq 10 -ontop -font "
              "\"C:\\WINDOWS\\Fonts\\arial.ttf\" -subcp latin2 -subfont-text-scale 1.8 "
              "-subfont-outline 2 -subfont-blur 2");
}

TEST(CommandLineBuilder, WorkedExampleCurrent)
{
    EXPECT_EQ(Build(WorkedExample("/fonts/a.ttf"), PlayerDialect::Current),
              " -speed 1.5  -fs -double -af volume=6.06,volnorm,extrastereo=2.5,sub -channels 2"
              " -vf flip,pp,expand=567:424,crop=567,scale -autoq 10 -ontop -font \"/fonts/a.ttf\""
              " -subcp latin2 -subfont-text-scale 1.8 -subfont-outline 2 -subfont-blur 2");
}

TEST(CommandLineBuilder, IgnoresADecimalCommaLocale)
{
    struct CommaPoint : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    const std::locale savedGlobal =
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    for (const char* name : {"de_DE.UTF-8", "hu_HU.UTF-8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name))
            break;
    }
    const std::string classic =
        Build(WorkedExample("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    const std::string current = Build(WorkedExample("/f.ttf"), PlayerDialect::Current);
    std::setlocale(LC_ALL, savedC.c_str());
    std::locale::global(savedGlobal);

    EXPECT_EQ(classic, kWorkedExampleClassic);
    EXPECT_NE(current.find("volume=6.06,volnorm,extrastereo=2.5,"), std::string::npos) << current;
}

TEST(CommandLineBuilder, NothingOn)
{
    FakeProbe probe;
    EXPECT_EQ(BuildOptionsText(AllOff(), false, "/films/a.avi", kScreen, probe.Function(),
                               PlayerDialect::Classic),
              "");
    EXPECT_TRUE(probe.mediaPaths.empty());
    EXPECT_EQ(PlayerCommandLine("/films/a.avi", "", ""), "mplayer /films/a.avi");
    EXPECT_EQ(PlayerArguments("/a b/c.avi", "/a b/c.srt", ""),
              "\"/a b/c.avi\" -sub \"/a b/c.srt\"");

    Options blanks = AllOff();
    blanks.Parameters = "   ";
    EXPECT_EQ(Build(blanks), "    ");

    Options loop = AllOff();
    loop.Idx = true;
    loop.dri = true;
    EXPECT_EQ(Build(loop, PlayerDialect::Classic, true), " -idx -dr -loop 0");
}

TEST(CommandLineBuilder, AudioPluginsClassic)
{
    Options options = AllOff();
    options.Normalize = true;
    EXPECT_EQ(Build(options), " -aop \"list=volnorm\"");

    options = AllOff();
    options.ExtraStereo = true;
    options.ExtraStereoVal = 1;
    EXPECT_EQ(Build(options), " -aop \"list=extrastereo:mul=0.1\"");
    options.ExtraStereoVal = 3;
    EXPECT_EQ(Build(options), " -aop \"list=extrastereo:mul=0.3\"");
    options.ExtraStereoVal = 0;
    EXPECT_EQ(Build(options), " -aop \"list=extrastereo:mul=0\"");

    options = AllOff();
    options.CustomVolume = true;
    options.Normalize = true;
    options.Volume = 300; // the track bar shows its end
    EXPECT_EQ(Build(options), " -aop \"list=volume,volnorm:volume=255\"");
    options.Volume = -5;
    EXPECT_EQ(Build(options), " -aop \"list=volume,volnorm:volume=0\"");
}

TEST(CommandLineBuilder, AudioPluginsAsFiltersInCurrent)
{
    Options options = AllOff();
    options.Normalize = true;
    EXPECT_EQ(Build(options, PlayerDialect::Current), " -af volnorm");

    // Plug-in effects follow the user's own value and precede the equalizer and sub-bass.
    options.Parameters = "-af volume=3 -nosound";
    options.CustomVolume = true;
    options.Volume = 64;
    options.ExtraStereo = true;
    options.ExtraStereoVal = 50;
    options.EQ = true;
    options.EQSettings = "12:11.5:0.3:0:-0.1:-0.5:-12:0:0:1";
    options.EmulateSubwoofer = true;
    EXPECT_EQ(Build(options, PlayerDialect::Current),
              "  -nosound -af volume=-9,volnorm,extrastereo=5,"
              "equalizer=12:11.5:0.3:0:-0.1:-0.5:-12:0:0:1,sub");
    EXPECT_EQ(Build(options, PlayerDialect::Classic),
              "  -nosound -aop \"list=volume,volnorm,extrastereo:volume=64:mul=5\""
              " -af volume=3,equalizer=12:11.5:0.3:0:-0.1:-0.5:-12:0:0:1,sub");

    options = AllOff();
    options.CustomVolume = true;
    options.Volume = 10;
    EXPECT_EQ(Build(options, PlayerDialect::Current), " -af volume=-200");
}

TEST(CommandLineBuilder, UserAudioFilterMovesOnlyWhenTheGroupIsEntered)
{
    Options options = AllOff();
    options.Parameters = "-af volume=3 -fs";
    EXPECT_EQ(Build(options), " -af volume=3 -fs");
    options.Normalize = true; // the plug-in fragment does not touch the user's -af
    EXPECT_EQ(Build(options), " -af volume=3 -fs -aop \"list=volnorm\"");

    options = AllOff();
    options.Parameters = "-af volume=3 -fs";
    options.CustomAC3Mixing = true;
    EXPECT_EQ(Build(options), "  -fs -af volume=3");

    // Custom mapping alone and nothing to move: no -af at all.
    options.Parameters = "-fs";
    EXPECT_EQ(Build(options), " -fs");

    // A flat equalizer when its gains were never set.
    options = AllOff();
    options.EQ = true;
    EXPECT_EQ(Build(options), " -af equalizer=0:0:0:0:0:0:0:0:0:0");
}

TEST(CommandLineBuilder, OneFilterOfEachNameWithTheUsersOwnFirst)
{
    Options options = AllOff();
    options.CustomVolume = true;
    options.Volume = 100; // -0.38 dB
    options.Normalize = true;
    options.ExtraStereo = true;
    options.EQ = true;
    options.EQSettings = "1:1:1:1:1:1:1:1:1:1";
    options.EmulateSubwoofer = true;
    struct Case
    {
        const char* own;
        const char* current;
        const char* classic; // after the -aop fragment
    };
    const Case cases[] = {
        {"volume=3", "volume=2.62,volnorm,extrastereo=2.5,equalizer=1:1:1:1:1:1:1:1:1:1,sub",
         "volume=3,equalizer=1:1:1:1:1:1:1:1:1:1,sub"},
        {"volume=3:1,volnorm=2",
         "volume=2.62:1,volnorm=2,extrastereo=2.5,"
         "equalizer=1:1:1:1:1:1:1:1:1:1,sub",
         "volume=3:1,volnorm=2,equalizer=1:1:1:1:1:1:1:1:1:1,sub"},
        {"equalizer=9:9:9:9:9:9:9:9:9:9,sub=60,extrastereo",
         "equalizer=9:9:9:9:9:9:9:9:9:9,sub=60,extrastereo,volume=-0.38,volnorm",
         "equalizer=9:9:9:9:9:9:9:9:9:9,sub=60,extrastereo"},
        // A gain that is not a number stands as typed; ours is left out.
        {"volume=loud", "volume=loud,volnorm,extrastereo=2.5,equalizer=1:1:1:1:1:1:1:1:1:1,sub",
         "volume=loud,equalizer=1:1:1:1:1:1:1:1:1:1,sub"},
        {"volume,subtitle",
         "volume=-0.38,subtitle,volnorm,extrastereo=2.5,"
         "equalizer=1:1:1:1:1:1:1:1:1:1,sub",
         "volume,subtitle,equalizer=1:1:1:1:1:1:1:1:1:1,sub"},
    };
    for (const Case& c : cases) {
        options.Parameters = std::string("-af ") + c.own;
        EXPECT_EQ(Build(options, PlayerDialect::Current), std::string("  -af ") + c.current);
        EXPECT_EQ(
            Build(options),
            std::string("  -aop \"list=volume,volnorm,extrastereo:volume=100:mul=2.5\" -af ") +
                c.classic);
    }

    // The sum stays within what the player takes (-200 to 60 dB).
    options = AllOff();
    options.CustomVolume = true;
    options.Volume = 255;
    options.Parameters = "-af volume=50";
    EXPECT_EQ(Build(options, PlayerDialect::Current), "  -af volume=60");
    options.Volume = 0;
    EXPECT_EQ(Build(options, PlayerDialect::Current), "  -af volume=-150");
    options.Parameters = "-af volume=-100";
    EXPECT_EQ(Build(options, PlayerDialect::Current), "  -af volume=-200");
}

TEST(CommandLineBuilder, Channels)
{
    Options options = AllOff();
    options.SetChannels = true;
    options.Channels = 6;
    EXPECT_EQ(Build(options), " -channels 6");
    options.Channels = 1;
    EXPECT_EQ(Build(options, PlayerDialect::Current), " -channels 1");
    // No entry of the list is chosen: the player would refuse -channels 0.
    for (const int channels : {0, 7, -1}) {
        options.Channels = channels;
        EXPECT_EQ(Build(options), "");
        EXPECT_EQ(Build(options, PlayerDialect::Current), "");
    }
    options.SetChannels = false;
    EXPECT_EQ(Build(options), "");
}

TEST(CommandLineBuilder, VideoFiltersWithoutProbe)
{
    Options options = AllOff();
    options.PostProcessing = true;
    FakeProbe probe{PictureReport(720, 304), {}};
    EXPECT_EQ(BuildOptionsText(options, false, "/a.avi", kScreen, probe.Function(),
                               PlayerDialect::Classic),
              " -vf pp -autoq 10");
    EXPECT_TRUE(probe.mediaPaths.empty());

    options.GraphicEq = true;
    options.ForceYUY2 = true;
    options.Parameters = "-vf flip -fs";
    EXPECT_EQ(Build(options), "  -fs -vf flip,eq,yuy2,pp -autoq 10");
    // MPlayer 1.5 knows no yuy2 filter, and pp refuses packed input: the format goes last.
    EXPECT_EQ(Build(options, PlayerDialect::Current),
              "  -fs -vf flip,eq,pp,scale,format=yuy2,scale -autoq 10");

    // Left where the user typed it when no video option is on.
    options = AllOff();
    options.Parameters = "-vf flip -fs";
    options.OnTop = true;
    EXPECT_EQ(Build(options), " -vf flip -fs -ontop");
}

TEST(CommandLineBuilder, PanScanAndExpand)
{
    const auto build = [](const Options& options, std::optional<std::string> report,
                          ScreenSize screen = kScreen) {
        FakeProbe probe{std::move(report), {}};
        std::string text = BuildOptionsText(options, false, "/a.avi", screen, probe.Function(),
                                            PlayerDialect::Classic);
        EXPECT_EQ(probe.mediaPaths.size(), 1u);
        return text;
    };
    Options expand = AllOff();
    expand.Expand = true;
    EXPECT_EQ(build(expand, PictureReport(640, 480)), ""); // already the screen's ratio
    EXPECT_EQ(build(expand, PictureReport(720, 576)), " -vf expand=769:576");

    Options panScan = AllOff();
    panScan.PanScan = true;
    panScan.PanScanValue = 0;
    EXPECT_EQ(build(panScan, PictureReport(720, 304)), "");
    panScan.PanScanValue = 99;
    EXPECT_EQ(build(panScan, PictureReport(720, 304)), " -vf crop=410");
    panScan.PanScanValue = 150; // the track bar's end
    EXPECT_EQ(build(panScan, PictureReport(720, 304)), " -vf crop=410");

    // With MPlayer 1.5 a scale follows the crop, and the format filter.
    FakeProbe film{PictureReport(720, 304), {}};
    panScan.ForceYUY2 = true;
    panScan.Expand = true;
    EXPECT_EQ(BuildOptionsText(panScan, false, "/a.avi", kScreen, film.Function(),
                               PlayerDialect::Current),
              " -vf expand=410:306,crop=410,scale,format=yuy2,scale");
    panScan.PanScanValue = 0;
    EXPECT_EQ(BuildOptionsText(panScan, false, "/a.avi", kScreen, film.Function(),
                               PlayerDialect::Current),
              " -vf expand=720:538,scale,format=yuy2,scale");
    panScan.ForceYUY2 = false;
    EXPECT_EQ(BuildOptionsText(panScan, false, "/a.avi", kScreen, film.Function(),
                               PlayerDialect::Current),
              " -vf expand=720:538");
    panScan.Expand = false;
    panScan.PanScanValue = 1;
    EXPECT_EQ(BuildOptionsText(panScan, false, "/a.avi", kScreen, film.Function(),
                               PlayerDialect::Current),
              " -vf crop=717,scale");

    // Narrower than the screen: no crop, but expand still widens it.
    Options both = AllOff();
    both.PanScan = true;
    both.PanScanValue = 49;
    both.Expand = true;
    EXPECT_EQ(build(both, PictureReport(640, 480), {1920, 1080}), " -vf expand=854:480");
    EXPECT_EQ(build(both, PictureReport(640, 480), {1280, 1024}), " -vf expand=621:496,crop=621");

    // A failed probe, or a report without a usable size, leaves the filters out.
    both.GraphicEq = true;
    EXPECT_EQ(build(both, std::nullopt), " -vf eq");
    EXPECT_EQ(build(both, std::string("ID_VIDEO_WIDTH=720\n")), " -vf eq");
    EXPECT_EQ(build(both, PictureReport(720, 0)), " -vf eq");
    EXPECT_EQ(BuildOptionsText(both, false, "/a.avi", kScreen, {}, PlayerDialect::Classic),
              " -vf eq");
}

// Stored values that a hostile zuv.ini fills with more arguments: none of them reaches the
// player as an argument of its own; the code page and band values are dropped with a reason.
TEST(CommandLineBuilder, StoredValuesNeverBecomeSeveralArguments)
{
    struct Case
    {
        std::string subCp, eqSettings, font;
        std::size_t reasons;
    };
    const Case cases[] = {
        {"latin2 -dumpfile /home/user/x \"$(id)\"", "", "/f.ttf", 1},
        {"cp\t1250", "0:0:0:0:0:0:0:0:0:0 -dumpfile x", "/f.ttf", 2},
        {"cp\"-dumpfile", "1:1\"", "/f.ttf", 2},
        {"latin2", "", "/fonts/a\" -dumpfile x \"b.ttf", 0},
        {"latin2", "", "/fonts/a\\\" -dumpfile x \\\"b.ttf", 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.subCp + " | " + test.eqSettings + " | " + test.font);
        Options options = AllOff();
        options.SubCp = test.subCp;
        options.EQ = true;
        options.EQSettings = test.eqSettings;
        options.Font = test.font;
        const std::vector<std::string> arguments = SplitArguments(Build(options));
        EXPECT_EQ(std::count(arguments.begin(), arguments.end(), "-dumpfile"), 0);
        const auto font = std::find(arguments.begin(), arguments.end(), "-font");
        ASSERT_NE(font, arguments.end());
        EXPECT_EQ(font[1], test.font);
        EXPECT_EQ(DropUnusableValues(options).size(), test.reasons);
        EXPECT_TRUE(options.SubCp.empty() || IsOneArgument(options.SubCp));
        EXPECT_TRUE(options.EQSettings.empty() || IsOneArgument(options.EQSettings));
    }
}

TEST(CommandLineBuilder, Fonts)
{
    Options options = AllOff();
    options.SubCp = "latin2";
    EXPECT_EQ(Build(options), "");

    options.Font = "/usr/share/fonts/Free Sans.ttf";
    EXPECT_EQ(Build(options), " -font \"/usr/share/fonts/Free Sans.ttf\" -subcp latin2");
    options.Font = "/f.ttf";
    options.SubCp = "";
    EXPECT_EQ(Build(options), " -font \"/f.ttf\"");

    options = AllOff();
    options.SetFontScale = true;
    options.FontScale = SubFontScaleFromPosition(25);
    EXPECT_EQ(Build(options), " -subfont-text-scale 6");
    options.FontScale = SubFontScaleFromPosition(0);
    EXPECT_EQ(Build(options), " -subfont-text-scale 1");
    options.FontScale = 1.7; // the track bar has no such step
    EXPECT_EQ(Build(options), " -subfont-text-scale 1.8");

    options = AllOff();
    options.SubfontOutline = true;
    options.SubfontOutlineValue = 0;
    options.SubfontBlur = true;
    options.SubfontBlurValue = 8;
    EXPECT_EQ(Build(options), " -subfont-outline 0 -subfont-blur 8");
}

TEST(PlayerCommandLine, AwkwardFileNamesReachThePlayerWhole)
{
    Options options;
    options.Double = false;
    options.Font = "/fonts/\"quoted\" font.ttf";
    const std::string optionsText =
        BuildOptionsText(options, false, "-film.avi", {1024, 768}, {}, PlayerDialect::Current);
    const auto arguments =
        SplitArguments(PlayerCommandLine("-film.avi", "/subs/it's \"here\"\tnow.srt", optionsText));
    const std::vector<std::string> expected{"mplayer", "./-film.avi",
                                            "-sub",    "/subs/it's \"here\"\tnow.srt",
                                            "-font",   "/fonts/\"quoted\" font.ttf",
                                            "-subcp",  "latin2"};
    EXPECT_EQ(arguments, expected);
}
