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

TEST(PlayerDialect, VolumeGainOfTheClassicPlugin)
{
    EXPECT_EQ(VolumeFilterGain(0), "-200");
    EXPECT_EQ(VolumeFilterGain(15), "-200");
    EXPECT_EQ(VolumeFilterGain(16), "-48.16");
    EXPECT_EQ(VolumeFilterGain(64), "-12.04");
    EXPECT_EQ(VolumeFilterGain(100), "-0.42");
    EXPECT_EQ(VolumeFilterGain(102), "0.1");
    EXPECT_EQ(VolumeFilterGain(128), "6.02");
    EXPECT_EQ(VolumeFilterGain(255), "23.98");
    EXPECT_EQ(VolumeFilterGain(100000), "23.98"); // beyond the track bar: its end
}
