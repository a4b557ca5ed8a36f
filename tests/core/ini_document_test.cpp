#include "util/ini_document.h"

#include <gtest/gtest.h>

using zuv::IniDocument;

TEST(IniDocument, ReadsAllLineEndsAndStopsAtNul)
{
    const std::string text("[Main]\r\nA=1\rB=2\nC=3\r\n\0D=4\r\n", 27);
    const IniDocument ini = IniDocument::Parse(text);
    EXPECT_EQ(ini.Value("Main", "A"), "1");
    EXPECT_EQ(ini.Value("Main", "B"), "2");
    EXPECT_EQ(ini.Value("Main", "C"), "3");
    EXPECT_FALSE(ini.Value("Main", "D"));
}

TEST(IniDocument, DropsCommentsEmptyLinesAndLinesBeforeTheFirstHeader)
{
    const IniDocument ini = IniDocument::Parse("X=0\n; note\n\n[Audio]\n;Volume=1\nVolume=80\n");
    EXPECT_EQ(ini.Serialize(), "[Audio]\r\nVolume=80\r\n\r\n");
}

TEST(IniDocument, NamesAreCaseInsensitiveAndTakenExactly)
{
    const IniDocument ini =
        IniDocument::Parse("[audio]\nvolume=80\nVolume=90\nBass = 3\nPath=a;b=c\n[ Font ]\nX=1");
    EXPECT_EQ(ini.Value("Audio", "VOLUME"), "80"); // the first entry wins
    EXPECT_FALSE(ini.Value("Audio", "Bass"));      // its name ends in a blank
    EXPECT_EQ(ini.Value("Audio", "Bass "), " 3");
    EXPECT_EQ(ini.Value("Audio", "Path"), "a;b=c");
    EXPECT_FALSE(ini.Value("Font", "X")); // blanks belong to the section name
    EXPECT_EQ(ini.Value(" Font ", "X"), "1");
    EXPECT_EQ(ini.ReadString("Audio", "Missing", "dflt"), "dflt");
    // Accented letters have their case too.
    EXPECT_EQ(IniDocument::Parse("[Élő Ősz]\nŰrlap=1").Value("ÉLŐ ŐSZ", "űRLAP"), "1");
}

TEST(IniDocument, DuplicateHeadersStaySeparateAndOnlyTheFirstIsSeen)
{
    IniDocument ini = IniDocument::Parse("[Main]\nA=1\n[main]\nA=2\nB=3\n");
    EXPECT_EQ(ini.Value("Main", "A"), "1");
    EXPECT_FALSE(ini.Value("Main", "B"));
    EXPECT_EQ(ini.Serialize(), "[Main]\r\nA=1\r\n\r\n[main]\r\nA=2\r\nB=3\r\n\r\n");
    ini.EraseSection("MAIN");
    EXPECT_EQ(ini.Value("Main", "B"), "3");
}

TEST(IniDocument, SetValueRewritesInPlaceWithTheProgramsSpelling)
{
    IniDocument ini = IniDocument::Parse("[audio]\nvolume=80\nVolume = 70\nEQ=1\n");
    ini.SetValue("Audio", "Volume", "100");
    ini.SetValue("Audio", "Normalize", "0");
    ini.SetValue("Font", "SubCp", "");
    EXPECT_EQ(ini.Serialize(), "[audio]\r\nVolume=100\r\nVolume = 70\r\nEQ=1\r\nNormalize=0\r\n\r\n"
                               "[Font]\r\nSubCp=\r\n\r\n");
}

TEST(IniDocument, SetValueNeverWritesALineBreak)
{
    // A file name holding line breaks must not plant entries or sections in the file.
    IniDocument ini = IniDocument::Parse("[Main]\nLastFile=\nParameters=\n");
    ini.SetValue("Main", "LastFile", "/films/a\nParameters=-dumpfile x\r\n[Video]");
    ini.SetValue("Main", "Language", std::string_view("enu\0[X]", 8));
    const IniDocument reread = IniDocument::Parse(ini.Serialize());
    EXPECT_EQ(reread.Value("Main", "LastFile"), "/films/a");
    EXPECT_EQ(reread.Value("Main", "Parameters"), "");
    EXPECT_EQ(reread.Value("Main", "Language"), "enu");
    EXPECT_EQ(reread.Sections().size(), 1u);
}

TEST(IniDocument, EmptyHeaderAndOddLines)
{
    IniDocument ini = IniDocument::Parse("[]\n=x\n[\nnoequals\n[A]\n");
    EXPECT_EQ(ini.Value("", ""), "x");
    EXPECT_TRUE(ini.HasSection("A"));
    EXPECT_TRUE(IniDocument::Parse("").Empty());
    EXPECT_EQ(IniDocument().Serialize(), "");
}
