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
    EXPECT_EQ(SplitArguments("a\\\\\\\"b"), (Arguments{"a\\\"b"}));    // 3 backslashes + quote
    EXPECT_EQ(SplitArguments("\"a\\\\\" b"), (Arguments{"a\\", "b"})); // 2 backslashes + quote
    EXPECT_EQ(SplitArguments("\"say \"\"hi\"\"\""), (Arguments{"say \"hi\""}));
}

TEST(QuoteArgument, SplitsBackToTheSameArgument)
{
    for (const std::string argument :
         {"plain", "with blank", "tab\there", "say \"hi\"", "\"", "a\\b", "trailing\\",
          "trailing blank\\", "q\\\"uote", "\\\\\"", "ünnepi film.avi", ""}) {
        const auto split = SplitArguments("mplayer " + zuv::QuoteArgument(argument) + " x");
        ASSERT_EQ(split.size(), 3u) << argument;
        EXPECT_EQ(split[1], argument);
        EXPECT_EQ(SplitArguments(zuv::QuoteArgument(argument, true)), Arguments{argument});
    }
}

TEST(QuoteArgument, PlainPathsKeepTheQuoteWhenSpacedForm)
{
    EXPECT_EQ(zuv::QuoteArgument("/films/a.avi"), "/films/a.avi");
    EXPECT_EQ(zuv::QuoteArgument("C:\\Filmek\\Egy film.avi"), "\"C:\\Filmek\\Egy film.avi\"");
    EXPECT_EQ(zuv::QuoteArgument("C:\\WINDOWS\\Fonts\\arial.ttf", true),
              "\"C:\\WINDOWS\\Fonts\\arial.ttf\"");
}
