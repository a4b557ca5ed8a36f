#include "playback/player_dialect.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace zuv;

namespace {

std::string ListOptionsOutput()
{
    const auto output = test::ReadFile(test::TestDataPath("player/list_options_1.5.txt"));
    EXPECT_TRUE(output);
    return output.value_or("");
}

} // namespace

TEST(PlayerDialect, OptionListOfMPlayer15IsCurrent)
{
    const std::string output = ListOptionsOutput();
    ASSERT_NE(output.find(" aop "), std::string::npos);
    EXPECT_EQ(DialectFromOptionList(output), PlayerDialect::Current);
}

TEST(PlayerDialect, AopAsARealOptionOrMissingIsClassic)
{
    // An older player lists -aop with a real type.
    std::string older = ListOptionsOutput();
    const std::string printedAop = " aop                  Print";
    const std::size_t aop = older.find(printedAop);
    ASSERT_NE(aop, std::string::npos);
    older.replace(aop, printedAop.size(), " aop                  Object settings list");
    EXPECT_EQ(DialectFromOptionList(older), PlayerDialect::Classic);

    // "aofile" and "list-options" are also printed messages; only "aop" decides.
    EXPECT_EQ(DialectFromOptionList(" aofile               Print           No\r\n"
                                    " list-options         Print           No\r\n"),
              PlayerDialect::Classic);
    EXPECT_EQ(DialectFromOptionList(" aop\n"), PlayerDialect::Classic);
    EXPECT_EQ(DialectFromOptionList("\taop\tPrint\r"), PlayerDialect::Current);
    EXPECT_EQ(DialectFromOptionList(""), PlayerDialect::Classic);
}

TEST(PlayerDialect, VersionFromTheBanner)
{
    // Last line of the option list, first line of a run without arguments.
    EXPECT_EQ(PlayerVersionFromBanner(ListOptionsOutput()), "UNKNOWN-12");
    EXPECT_EQ(PlayerVersionFromBanner("MPlayer UNKNOWN-12 (C) 2000-2023 MPlayer Team\r\n"
                                      "Usage:   mplayer [options] [url|path/]filename\r\n"),
              "UNKNOWN-12");
    EXPECT_EQ(PlayerVersionFromBanner("MPlayer 1.0rc2-4.4.3 (C) 2000-2007 MPlayer Team"),
              "1.0rc2-4.4.3");
    EXPECT_EQ(PlayerVersionFromBanner("MPlayer interrupted by signal 2\n"
                                      "MPlayer SVN-r38001 (C) 2000-2019 MPlayer Team\n"
                                      "MPlayer 9 (C) x\n"),
              "SVN-r38001");
    EXPECT_EQ(PlayerVersionFromBanner("Usage:   mplayer [options]\n  MPlayer 1 (C)\n"), "");
    EXPECT_EQ(PlayerVersionFromBanner(""), "");
}

TEST(PlayerDialect, ReadPlayerInfoAsksOnce)
{
    std::vector<std::string> commandLines;
    const std::string output = ListOptionsOutput();
    const PlayerInfo info = ReadPlayerInfo([&](const std::string& commandLine) {
        commandLines.push_back(commandLine);
        return std::optional<std::string>(output);
    });
    EXPECT_EQ(info.version, "UNKNOWN-12");
    EXPECT_EQ(info.dialect, PlayerDialect::Current);
    EXPECT_EQ(commandLines, std::vector<std::string>{"mplayer -list-options"});
}

TEST(PlayerDialect, MissingPlayerIsClassicWithoutVersion)
{
    const PlayerInfo info =
        ReadPlayerInfo([](const std::string&) { return std::optional<std::string>(); });
    EXPECT_EQ(info.version, "");
    EXPECT_EQ(info.dialect, PlayerDialect::Classic);
}

TEST(PlayerDialect, RenderedVolumeMatchesMPlayer15)
{
    // Measured with MPlayer 1.5 (-af volume=G -ao pcm) on a 16-bit tone: factor out of 256.
    const std::pair<double, int> measured[] = {{-200, 0},   {-48.16, 0}, {-48.14, 0},  {-48.13, 1},
                                               {-42.12, 1}, {-42.11, 2}, {-0.42, 242}, {-0.37, 244},
                                               {0, 255},    {6.02, 509}};
    for (const auto& [decibels, factor] : measured)
        EXPECT_EQ(RenderedVolumeFactor(decibels), factor) << decibels;
}

TEST(PlayerDialect, VolumeGainKeepsEveryAudiblePositionAudible)
{
    EXPECT_EQ(VolumeFilterGain(0), "-200");
    EXPECT_EQ(VolumeFilterGain(15), "-200");
    EXPECT_EQ(VolumeFilterGain(16), "-48.13");
    EXPECT_EQ(VolumeFilterGain(100), "-0.38");
    EXPECT_EQ(VolumeFilterGain(128), "6.06");
    EXPECT_EQ(VolumeFilterGain(255), "24.02");
    EXPECT_EQ(VolumeFilterGain(100000), "24.02"); // beyond the track bar: its end

    // The classic plug-in's factor ((V^3) >> 12) / 256 at least, within 0.01 dB, and louder at
    // each step of the track bar.
    double previous = -200;
    for (int volume = 16; volume <= 255; ++volume) {
        const double gain = std::stod(VolumeFilterGain(volume));
        const int plugin = (volume * volume * volume) >> 12;
        EXPECT_GE(RenderedVolumeFactor(gain), plugin) << volume;
        EXPECT_LT(RenderedVolumeFactor(gain - 0.01), std::max(plugin, 1) + 1) << volume;
        EXPECT_GT(gain, previous) << volume;
        previous = gain;
    }
}
