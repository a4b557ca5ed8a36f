#include "widgets/markup_layout.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace zuv;

namespace {

// Fixed character widths: 6 px, 7 px in bold; one UTF-8 character counts once.
class FixedMeasurer : public TextMeasurer
{
public:
    int height = 13;
    int boldHeight = 13;

    int TextWidth(std::string_view text, const MarkupStyle& style) const override
    {
        int characters = 0;
        for (const char c : text) {
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
                ++characters;
        }
        return characters * (style.bold ? 7 : 6);
    }
    int TextHeight(const MarkupStyle& style) const override
    {
        return style.bold ? boldHeight : height;
    }
};

std::string LineText(const MarkupLine& line)
{
    std::string text;
    for (const MarkupRun& run : line.runs)
        text += run.text;
    return text;
}

MarkupLayout Lay(std::string_view text, int width = 242, int height = 41)
{
    return LayOutMarkup(text, {0, 0, width, height}, FixedMeasurer());
}

} // namespace

TEST(MarkupLayout, CountdownTextIsCentredWithBoldNumber)
{
    const auto layout =
        Lay("<p align=\"center\"><br>A számítógép leáll <b>30</b> másodperc múlva</p>");
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_TRUE(layout.lines[0].runs.empty());
    EXPECT_EQ(layout.lines[0].height, 13);
    EXPECT_EQ(layout.lines[0].alignment, MarkupAlignment::Center);

    const MarkupLine& second = layout.lines[1];
    EXPECT_EQ(LineText(second), "A számítógép leáll 30 másodperc múlva");
    // 19 + 16 normal characters at 6 px, "30" in bold at 7 px.
    EXPECT_EQ(second.width, 35 * 6 + 2 * 7);
    EXPECT_EQ(second.x, (242 - second.width) / 2);
    EXPECT_EQ(second.y, 13);
    const auto number = std::find_if(second.runs.begin(), second.runs.end(),
                                     [](const MarkupRun& run) { return run.text == "30"; });
    ASSERT_NE(number, second.runs.end());
    EXPECT_TRUE(number->style.bold);
    EXPECT_FALSE(second.runs.back().style.bold);
    EXPECT_EQ(number->x, second.x + 19 * 6);
}

TEST(MarkupLayout, AlignmentAppliesToTheLineBeingBuilt)
{
    const auto layout = Lay("ab<p align=\"RIGHT\">cd<br>ef<p align=left>gh");
    ASSERT_EQ(layout.lines.size(), 2u);
    // The tag changes the line it stands in and does not break it.
    EXPECT_EQ(LineText(layout.lines[0]), "abcd");
    EXPECT_EQ(layout.lines[0].x, 242 - 24);
    // An attribute without double quotes has no value: the tag changes nothing.
    EXPECT_EQ(LineText(layout.lines[1]), "efgh");
    EXPECT_EQ(layout.lines[1].x, 242 - 24);
}

TEST(MarkupLayout, CentreIsRoundedDown)
{
    const auto layout = Lay("<p align=\"center\">abc", 100);
    EXPECT_EQ(layout.lines[0].x, 41);                             // (100 - 18) / 2
    const auto wide = Lay("<p align=\"center\">abcdefghijk", 65); // 66 px in 65
    EXPECT_EQ(wide.lines[0].x, -1);
}

TEST(MarkupLayout, EntitiesAndUnknownAmpersandSequences)
{
    EXPECT_EQ(LineText(Lay("a&lt;b").lines[0]), "a<b");
    EXPECT_EQ(LineText(Lay("&gt;&amp;&quot;").lines[0]), ">&\"");
    // An unknown sequence stays, and so does every later one in the same word ...
    EXPECT_EQ(LineText(Lay("&lt;&nbsp;&lt; &lt;").lines[0]), "<&nbsp;&lt; <");
    EXPECT_EQ(LineText(Lay("AT&T&amp;").lines[0]), "AT&T&amp;");
    // ... but a tag ends the word.
    EXPECT_EQ(LineText(Lay("&x;<b>&lt;").lines[0]), "&x;<");
    // Measured as resolved: one character.
    EXPECT_EQ(Lay("&lt;").lines[0].width, 6);
}

TEST(MarkupLayout, UnsupportedTagsDrawNothingAndDoNotBreak)
{
    const auto layout = Lay("one <i>two</i> <font color=\"red\">x<br/>y<br >z<p>w<B >v<a>u");
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(LineText(layout.lines[0]), "one two xyzwvu");
    for (const MarkupRun& run : layout.lines[0].runs) {
        EXPECT_EQ(run.style, MarkupStyle());
        EXPECT_FALSE(run.link);
    }
}

TEST(MarkupLayout, TagNamesIgnoreCase)
{
    const auto layout = Lay("<B>a</b><U>b</U>c<BR>d");
    ASSERT_EQ(layout.lines.size(), 2u);
    const auto& runs = layout.lines[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_TRUE(runs[0].style.bold);
    EXPECT_TRUE(runs[1].style.underline);
    EXPECT_FALSE(runs[1].style.bold);
    EXPECT_EQ(runs[2].style, MarkupStyle());
}

TEST(MarkupLayout, UnclosedTagEndsTheText)
{
    const auto layout = Lay("before <b after");
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(LineText(layout.lines[0]), "before ");
    EXPECT_EQ(layout.lines[0].width, 36); // the trailing blank is not counted
    // A tag runs to the next ">", wherever that is.
    EXPECT_EQ(LineText(Lay("a<b c<br>d").lines[0]), "ad");
}

TEST(MarkupLayout, BlanksAreKeptAsWritten)
{
    const auto layout = Lay("  a  b ");
    EXPECT_EQ(LineText(layout.lines[0]), "  a  b ");
    EXPECT_EQ(layout.lines[0].width, 6 * 6);
}

TEST(MarkupLayout, EmptyTextIsOneLineAndTrailingBreakAddsNone)
{
    const auto empty = Lay("");
    ASSERT_EQ(empty.lines.size(), 1u);
    EXPECT_EQ(AutoSizeOf(empty), (MarkupSize{6, 19}));
    EXPECT_EQ(Lay("a<br>").lines.size(), 1u);
    EXPECT_EQ(Lay("a</p><br>").lines.size(), 2u);
}

TEST(MarkupLayout, WordsWrapWhenTheLineWouldReachTheWidth)
{
    // "aaa bbb" is 42 px: it stays in 43 px but wraps in 42 (the width must stay below).
    EXPECT_EQ(Lay("aaa bbb", 43).lines.size(), 1u);
    const auto wrapped = Lay("aaa bbb", 42);
    ASSERT_EQ(wrapped.lines.size(), 2u);
    EXPECT_EQ(LineText(wrapped.lines[0]), "aaa ");
    EXPECT_EQ(wrapped.lines[0].width, 18);
    EXPECT_EQ(LineText(wrapped.lines[1]), "bbb");
}

TEST(MarkupLayout, WordWiderThanTheAreaStaysOnItsLine)
{
    const auto layout = Lay("a bbbbbbbbbb c", 30, 100);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(LineText(layout.lines[0]), "a bbbbbbbbbb ");
    EXPECT_EQ(LineText(layout.lines[1]), "c");
}

TEST(MarkupLayout, LineHeightIsTheTallestFontAndAtLeastTheStartFont)
{
    FixedMeasurer measurer;
    measurer.boldHeight = 16;
    const auto layout = LayOutMarkup("a<b>b<br>c</b>d<br>e", {0, 0, 200, 100}, measurer);
    ASSERT_EQ(layout.lines.size(), 3u);
    EXPECT_EQ(layout.lines[0].height, 16);
    EXPECT_EQ(layout.lines[1].height, 16); // starts in bold
    EXPECT_EQ(layout.lines[2].height, 13);
    EXPECT_EQ(layout.lines[2].y, 32);
}

TEST(MarkupLayout, StopsWhenTheNextLineWouldNotFit)
{
    // Three lines of 13 px fit in 39 px; in 38 the third is not laid out.
    EXPECT_EQ(Lay("a<br>b<br>c<br>d", 100, 39).lines.size(), 3u);
    EXPECT_EQ(Lay("a<br>b<br>c<br>d", 100, 38).lines.size(), 2u);
    // The first line is laid out even in an area too low for it.
    EXPECT_EQ(Lay("a<br>b", 100, 5).lines.size(), 1u);
}

TEST(MarkupLayout, AutoSizingDoesNotWrapAndSizesToTheText)
{
    // Two lines of 13 px, the widest 150 px (25 characters).
    const auto layout =
        LayOutMarkup("aaaaaaaaaa aaaaaaaaaa aaa<br>bbbb", {0, 0, 20, 10}, FixedMeasurer(), true);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(layout.widestLine, 150);
    EXPECT_EQ(AutoSizeOf(layout), (MarkupSize{156, 32}));
}

TEST(MarkupLayout, AutoSizingAlignsWithinTheWidestLine)
{
    const auto layout = LayOutMarkup("<p align=\"center\">aaaaaa<br>aa<br><p align=\"right\">a",
                                     {0, 0, 10, 10}, FixedMeasurer(), true);
    ASSERT_EQ(layout.lines.size(), 3u);
    EXPECT_EQ(layout.lines[0].x, 0);
    EXPECT_EQ(layout.lines[1].x, 12);
    EXPECT_EQ(layout.lines[2].x, 30);
}

TEST(MarkupLayout, LinksAreColouredUnderlinedAndHitTested)
{
    const auto layout = Lay(
        "E-Mail: <a href=\"mailto:anna@example.org\">anna</a> x<br><b>w<a href=\"page\">y</a>z");
    ASSERT_EQ(layout.lines.size(), 2u);
    const auto& runs = layout.lines[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[1].text, "anna");
    EXPECT_EQ(runs[1].style, (MarkupStyle{false, true, true}));
    EXPECT_EQ(runs[1].link, "mailto:anna@example.org");
    // "</a>" ends the underline and brings back the colour from before the link.
    EXPECT_EQ(runs[2].style, MarkupStyle());
    EXPECT_FALSE(runs[2].link);
    const auto& bold = layout.lines[1].runs;
    EXPECT_EQ(bold[2].style, (MarkupStyle{true, false, false}));

    // "anna" spans x 48..71 on the first line, which is 13 px high.
    EXPECT_EQ(LinkAt(layout, 48, 0), "mailto:anna@example.org");
    EXPECT_EQ(LinkAt(layout, 71, 12), "mailto:anna@example.org");
    EXPECT_FALSE(LinkAt(layout, 47, 5));
    EXPECT_FALSE(LinkAt(layout, 72, 5));
    EXPECT_FALSE(LinkAt(layout, 50, 13));
    EXPECT_EQ(LinkAt(layout, 8, 13), "page");
    EXPECT_FALSE(LinkAt(layout, 8, 26));
}

TEST(MarkupLayout, NestedLinkRestoresTheLinkColour)
{
    const auto layout = Lay("<a href=\"a\">x<a href=\"b\">y</a>z");
    const auto& runs = layout.lines[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].link, "b");
    EXPECT_TRUE(runs[2].style.link);
    EXPECT_FALSE(runs[2].style.underline);
    EXPECT_FALSE(runs[2].link);
}

TEST(MarkupLayout, AttributeValueNeedsItsOwnName)
{
    // "xhref" is not "href"; the value is taken between the first two quotes after "href=".
    auto layout = Lay("<a xhref=\"no\">a</a><a title=\"t\" href = \"yes\" >b</a>");
    const auto& runs = layout.lines[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_FALSE(runs[0].link);
    EXPECT_EQ(runs[1].link, "yes");
}
