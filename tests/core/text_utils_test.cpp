#include "util/text_utils.h"

#include <gtest/gtest.h>

using namespace zuv;

TEST(QuoteIfSpaced, QuotesOnlyTextWithASpace)
{
    EXPECT_EQ(QuoteIfSpaced("/films/a.avi"), "/films/a.avi");
    EXPECT_EQ(QuoteIfSpaced("/films/Egy film.avi"), "\"/films/Egy film.avi\"");
    EXPECT_EQ(QuoteIfSpaced(""), "");
    EXPECT_EQ(QuoteIfSpaced("\"a b\""), "\"\"a b\"\"");
    EXPECT_EQ(QuoteIfSpaced("a\tb"), "a\tb"); // a tab is no space
}

TEST(TakeOptionValue, TakesValueAndLeavesBlanks)
{
    std::string parameters = "-fs -af volume=5 -nosound";
    EXPECT_EQ(TakeOptionValue(parameters, "-af"), "volume=5");
    EXPECT_EQ(parameters, "-fs  -nosound");
}

TEST(TakeOptionValue, MissingOptionChangesNothing)
{
    std::string parameters = "-fs -vf flip";
    EXPECT_EQ(TakeOptionValue(parameters, "-af"), "");
    EXPECT_EQ(parameters, "-fs -vf flip");
}

TEST(TakeOptionValue, OptionAtTheEndIsRemovedWithEmptyValue)
{
    std::string parameters = "-fs -af";
    EXPECT_EQ(TakeOptionValue(parameters, "-af"), "");
    EXPECT_EQ(parameters, "-fs ");
    parameters = "-fs -af ";
    EXPECT_EQ(TakeOptionValue(parameters, "-af"), "");
    EXPECT_EQ(parameters, "-fs ");
}

TEST(TakeOptionValue, SkipsSeveralBlanksAndRemovesThem)
{
    std::string parameters = "-af    sub -fs";
    EXPECT_EQ(TakeOptionValue(parameters, "-af"), "sub");
    EXPECT_EQ(parameters, " -fs");
}

TEST(TakeOptionValue, MatchesOnlyTheWholeOption)
{
    // Inside a longer option ("-afm" picks the audio codec family) it is not the filter option.
    std::string parameters = "-afm ffmpeg -vfm x -af sub";
    EXPECT_EQ(TakeOptionValue(parameters, "-af"), "sub");
    EXPECT_EQ(parameters, "-afm ffmpeg -vfm x ");
    EXPECT_EQ(TakeOptionValue(parameters, "-vf"), "");
    EXPECT_EQ(parameters, "-afm ffmpeg -vfm x ");
    std::string glued = "-afvolume=3 x";
    EXPECT_EQ(TakeOptionValue(glued, "-af"), "");
    EXPECT_EQ(glued, "-afvolume=3 x");
}

TEST(TakeOptionValue, OnlyTheFirstOccurrenceIsTaken)
{
    std::string parameters = "-vf a -vf b";
    EXPECT_EQ(TakeOptionValue(parameters, "-vf"), "a");
    EXPECT_EQ(parameters, " -vf b");
}

TEST(SplitFirst, CutsFieldsUntilExhausted)
{
    std::string list = "Alacsony,Normál alatt,Normál";
    EXPECT_EQ(SplitFirst(list, ","), "Alacsony");
    EXPECT_EQ(SplitFirst(list, ","), "Normál alatt");
    EXPECT_EQ(SplitFirst(list, ","), "Normál");
    EXPECT_EQ(list, "");
    EXPECT_EQ(SplitFirst(list, ","), "");
}

TEST(SplitFirst, EmptyFieldsStay)
{
    std::string list = ",a,";
    EXPECT_EQ(SplitFirst(list, ","), "");
    EXPECT_EQ(SplitFirst(list, ","), "a");
    EXPECT_EQ(list, "");
}

TEST(SplitCommandLine, QuotedProgramAndFile)
{
    const auto arguments = SplitCommandLine("\"/usr/bin/zuvora\" \"/films/a.avi\"");
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[0], "/usr/bin/zuvora");
    EXPECT_EQ(arguments[1], "/films/a.avi");
}

TEST(SplitCommandLine, QuotedArgumentWithBlanksStaysTogether)
{
    const auto arguments = SplitCommandLine(
        "\"/opt/my apps/zuvora\" \"/films/Egy film.avi\" -start \"say \"hi\"there now\"");
    ASSERT_EQ(arguments.size(), 4u);
    EXPECT_EQ(arguments[0], "/opt/my apps/zuvora");
    EXPECT_EQ(arguments[1], "/films/Egy film.avi");
    EXPECT_EQ(arguments[2], "-start");
    EXPECT_EQ(arguments[3], "say \"hi\"there now"); // inner quotes not before a blank stay
}

TEST(SplitCommandLine, UnclosedQuoteCutsAtSpaces)
{
    const auto arguments = SplitCommandLine("zuvora \"a b");
    ASSERT_EQ(arguments.size(), 3u);
    EXPECT_EQ(arguments[1], "\"a");
    EXPECT_EQ(arguments[2], "b");
}

TEST(SplitCommandLine, AdjacentSpacesGiveEmptyEntriesThatSurviveDropping)
{
    auto arguments = SplitCommandLine("zuvora  a.avi");
    ASSERT_EQ(arguments.size(), 3u);
    EXPECT_EQ(arguments[1], "");
    DropProgramAndSwitches(arguments);
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[0], "");
    EXPECT_EQ(arguments[1], "a.avi");
}

TEST(SplitCommandLine, LoneQuoteBecomesEmptyAndTabsAreTrimmed)
{
    const auto arguments = SplitCommandLine("z \" \ta\t");
    ASSERT_EQ(arguments.size(), 3u);
    EXPECT_EQ(arguments[1], "");
    EXPECT_EQ(arguments[2], "a");
    EXPECT_TRUE(SplitCommandLine("").empty());
}

TEST(DropProgramAndSwitches, RemovesProgramAndSwitchesWhereverTheyStand)
{
    std::vector<std::string> arguments{"zuvora", "-fs", "a.avi", "/min", "b.avi", "/start"};
    DropProgramAndSwitches(arguments);
    EXPECT_EQ(arguments, (std::vector<std::string>{"a.avi", "b.avi"}));
    std::vector<std::string> paths{"zuvora", "/films/a.avi", "/START", "/", "/a.b", "-"};
    DropProgramAndSwitches(paths);
#ifdef _WIN32
    // Every argument that begins with a slash is a switch.
    EXPECT_TRUE(paths.empty());
#else
    // Absolute paths are no switches here; a slash and a bare word is.
    EXPECT_EQ(paths, (std::vector<std::string>{"/films/a.avi", "/", "/a.b"}));
#endif
    std::vector<std::string> none;
    DropProgramAndSwitches(none);
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(IsSwitch(""));
}

TEST(ReplaceAll, ReplacesEveryOccurrence)
{
    std::string text = "%s and %s";
    ReplaceAll(text, "%s", "30");
    EXPECT_EQ(text, "30 and 30");
}

TEST(ReplaceAll, EndsWhenTheReplacementHoldsThePattern)
{
    std::string text = "a%eb%e";
    ReplaceAll(text, "%e", "[%e]");
    EXPECT_EQ(text, "a[%e]b[%e]");
    std::string dots = ".avi;.mpg";
    ReplaceAll(dots, ".", "*.");
    EXPECT_EQ(dots, "*.avi;*.mpg");
}

TEST(ReplaceAll, EmptyPatternChangesNothing)
{
    std::string text = "abc";
    ReplaceAll(text, "", "x");
    EXPECT_EQ(text, "abc");
}

TEST(CommandProgramPath, TakesTheProgramOfAnOpenCommand)
{
    EXPECT_EQ(CommandProgramPath("  \"C:\\Program Files\\zuv.exe\" \"%L\"  "),
              "C:\\Program Files\\zuv.exe");
    EXPECT_EQ(CommandProgramPath("C:\\x\\player.exe /play \"%1\""), "C:\\x\\player.exe");
    EXPECT_EQ(CommandProgramPath("\"C:\\Program Files\\zuv.exe %L"), "");
    EXPECT_EQ(CommandProgramPath("player.exe"), "player.exe");
    EXPECT_EQ(CommandProgramPath(""), "");
}

TEST(PathParts, SplitsAtTheLastSeparator)
{
    EXPECT_EQ(FolderPart("/films/a.avi"), "/films/");
    EXPECT_EQ(FolderPart("a.avi"), "");
    EXPECT_EQ(FileNamePart("/films/a.avi"), "a.avi");
    EXPECT_EQ(FileNamePart("/films/"), "");
    EXPECT_EQ(ExtensionPart("/films/a.b.SRT"), ".SRT");
    EXPECT_EQ(ExtensionPart("/fil.ms/readme"), "");
    EXPECT_EQ(ExtensionPart("movie."), ".");
}

TEST(LetterCase, ComparesAsciiWithoutCase)
{
    EXPECT_TRUE(EqualsIgnoreCase("Volume", "vOLUME"));
    EXPECT_FALSE(EqualsIgnoreCase("Volume", "Volume "));
    EXPECT_TRUE(StartsWithIgnoreCase("C:\\Filmek\\a.avi", "c:\\fi"));
    EXPECT_EQ(ToUpperAscii("árvíz ab"), "áRVíZ AB");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
}
