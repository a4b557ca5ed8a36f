#include "options/options.h"
#include "playback/player_choice.h"
#include "playback/player_info_cache.h"

#include <gtest/gtest.h>

using namespace zuv;

TEST(PlayerChoice, AutomaticTakesMPlayerFirst)
{
    struct Case
    {
        int choice;
        bool mplayerThere;
        bool mpvThere;
        bool runsMpv;
    };
    const Case cases[] = {
        {kPlayerAutomatic, true, true, false},
        {kPlayerAutomatic, false, true, true},
        {kPlayerAutomatic, false, false, false},
        {kPlayerMPlayer, false, true, false},
        {kPlayerMpv, true, false, true},
        {7, false, true, true},
        {-1, true, true, false},
    };
    for (const Case& c : cases) {
        const auto found = [&c](std::string_view program) {
            return program == "mpv" ? c.mpvThere : c.mplayerThere;
        };
        EXPECT_EQ(ChoiceRunsMpv(c.choice, found), c.runsMpv)
            << c.choice << c.mplayerThere << c.mpvThere;
    }
}

TEST(PlayerChoice, CleanEndsOfEachPlayer)
{
    // mpv: 0 played or quit, 1 could not start, 2 the file failed, 3 some failed, 4 a signal.
    const struct
    {
        int code;
        bool mplayer;
        bool mpv;
    } cases[] = {{0, true, true},  {1, false, false}, {2, false, false},  {3, false, false},
                 {4, false, true}, {255, true, true}, {143, false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsCleanEnd(c.code, PlayerDialect::Current), c.mplayer) << c.code;
        EXPECT_EQ(IsCleanEnd(c.code, PlayerDialect::Mpv), c.mpv) << c.code;
    }
}

TEST(PlayerChoice, ChangedChoiceAsksAgain)
{
    std::vector<std::string> asked;
    PlayerInfoCache cache;
    cache.Choose(kPlayerMPlayer);
    cache.Start([&](const std::string& line) -> std::optional<std::string> {
        asked.push_back(line);
        return line == "mpv --version" ? "mpv 0.35.1 Copyright" : "MPlayer 1.5 (C) 2000\n";
    });
    EXPECT_EQ(cache.Get(kPlayerMPlayer).version, "1.5");
    const PlayerInfo mpv = cache.Get(kPlayerMpv);
    EXPECT_EQ(mpv.version, "0.35.1");
    EXPECT_TRUE(IsMpv(mpv.dialect));
    EXPECT_EQ(cache.Get(kPlayerMpv).version, "0.35.1");
    EXPECT_EQ(asked, (std::vector<std::string>{"mplayer -list-options", "mpv --version",
                                               "mpv --list-options"}));
    EXPECT_EQ(PlayerName(mpv.dialect), "mpv");
}
