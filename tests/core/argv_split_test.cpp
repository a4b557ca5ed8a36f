#include "util/argv_split.h"

#include <gtest/gtest.h>

using zuv::SplitArguments;
using Arguments = std::vector<std::string>;

TEST(SplitArguments, BlanksSeparateAndQuotesGroup)
{
    EXPECT_EQ(SplitArguments("mplayer \"/films/Egy film.avi\" -sub /films/film.srt"),
              (Arguments{"mplayer", "/films/Egy film.avi", "-sub", "/films/film.srt"}));
    EXPECT_EQ(SplitArguments("  a\t\tb  "), (Arguments{"a", "b"}));
    EXPECT_TRUE(SplitArguments("   ").empty());
}

TEST(SplitArguments, QuotesInsideAnArgumentJoinItsParts)
{
    EXPECT_EQ(SplitArguments("-font \"/usr/share/fonts/a b.ttf\" -aop \"list=volume:volume=128\""),
              (Arguments{"-font", "/usr/share/fonts/a b.ttf", "-aop", "list=volume:volume=128"}));
    EXPECT_EQ(SplitArguments("a\"b c\"d"), (Arguments{"ab cd"}));
    EXPECT_EQ(SplitArguments("\"\" x"), (Arguments{"", "x"}));
    EXPECT_EQ(SplitArguments("\"unclosed quote"), (Arguments{"unclosed quote"}));
}

TEST(SplitArguments, BackslashesAreLiteralUnlessBeforeAQuote)
{
    EXPECT_EQ(SplitArguments("C:\\WINDOWS\\Fonts\\arial.ttf"),
              (Arguments{"C:\\WINDOWS\\Fonts\\arial.ttf"}));
    EXPECT_EQ(SplitArguments("a\\\\\\\"b"), (Arguments{"a\\\"b"}));   // 3 backslashes + quote
    EXPECT_EQ(SplitArguments("\"a\\\\\" b"), (Arguments{"a\\", "b"})); // 2 backslashes + quote
    EXPECT_EQ(SplitArguments("\"say \"\"hi\"\"\""), (Arguments{"say \"hi\""}));
}
