#include "playback/output_line_splitter.h"

#include <gtest/gtest.h>

using namespace zuv;
using Lines = std::vector<std::string>;

namespace {

Lines SplitWhole(std::string_view bytes,
                 std::size_t maxLine = OutputLineSplitter::kDefaultMaxLineBytes)
{
    OutputLineSplitter splitter(maxLine);
    Lines lines;
    splitter.Feed(bytes, lines);
    return lines;
}

// The same bytes fed in two pieces, cut at `cut`.
Lines SplitAt(std::string_view bytes, std::size_t cut, std::size_t maxLine)
{
    OutputLineSplitter splitter(maxLine);
    Lines lines;
    splitter.Feed(bytes.substr(0, cut), lines);
    splitter.Feed(bytes.substr(cut), lines);
    return lines;
}

} // namespace

TEST(OutputLineSplitter, LineFeedsEndLinesAndTheUnfinishedRestIsHeld)
{
    EXPECT_EQ(SplitWhole(""), Lines{});
    EXPECT_EQ(SplitWhole("one\n\nthree\nrest"), (Lines{"one", "", "three"}));
    EXPECT_EQ(SplitWhole("no line end"), Lines{});

    OutputLineSplitter splitter;
    Lines lines;
    splitter.Feed("par", lines);
    splitter.Feed("tial", lines);
    EXPECT_TRUE(lines.empty());
    splitter.Feed(" line\nnext", lines);
    EXPECT_EQ(lines, Lines{"partial line"});
}

TEST(OutputLineSplitter, CarriageReturnLineFeedEndsALineOnce)
{
    EXPECT_EQ(SplitWhole("a\r\nb\r\n\r\n"), (Lines{"a", "b", ""}));
    EXPECT_EQ(SplitWhole("doubled\r\r\n"), Lines{"doubled"});
}

TEST(OutputLineSplitter, RewrittenStatusLineArrivesInItsLastState)
{
    EXPECT_EQ(SplitWhole("A:  1.0 V:  1.0\rA:  2.0 V:  2.0\rA:  3.0\n"), Lines{"A:  3.0"});
    EXPECT_EQ(SplitWhole("status 1\rstatus 2\r\nExiting... (End of file)\n"),
              (Lines{"status 2", "Exiting... (End of file)"}));
    // A rewrite that never gets a line feed is not delivered at all.
    EXPECT_EQ(SplitWhole("done\nA: 1\rA: 2\r"), Lines{"done"});
    EXPECT_EQ(SplitWhole("\rstarts with a return\n"), Lines{"starts with a return"});
}

TEST(OutputLineSplitter, EveryCutOfTheInputGivesTheSameLines)
{
    const std::string bytes = "x\r\nab\rcd\r\r\nA: 1\rA: 22\r\n\r\nlong line here\nz\r\n\rq\n";
    for (const std::size_t maxLine : {std::size_t{4}, OutputLineSplitter::kDefaultMaxLineBytes}) {
        const Lines whole = SplitWhole(bytes, maxLine);
        for (std::size_t cut = 0; cut <= bytes.size(); ++cut)
            EXPECT_EQ(SplitAt(bytes, cut, maxLine), whole) << "cut at " << cut;
        OutputLineSplitter bytewise(maxLine);
        Lines lines;
        for (const char byte : bytes)
            bytewise.Feed(std::string_view(&byte, 1), lines);
        EXPECT_EQ(lines, whole);
    }
    EXPECT_EQ(SplitWhole(bytes), (Lines{"x", "cd", "A: 22", "", "long line here", "z", "q"}));
}

TEST(OutputLineSplitter, CarriageReturnAtTheEndOfABlockAndLineFeedAtTheStartOfTheNext)
{
    OutputLineSplitter splitter;
    Lines lines;
    splitter.Feed("first\r", lines);
    splitter.Feed("\nsecond\r", lines);
    splitter.Feed("third\n", lines);
    EXPECT_EQ(lines, (Lines{"first", "third"}));
}

TEST(OutputLineSplitter, LongLinesAreDeliveredInPiecesOfTheLimit)
{
    EXPECT_EQ(SplitWhole("abcdefghij\n", 4), (Lines{"abcd", "efgh", "ij"}));
    EXPECT_EQ(SplitWhole("abcd\nefgh", 4), Lines{"abcd"});
    // A rewrite starts over before the limit is reached again.
    EXPECT_EQ(SplitWhole("abc\rdefgh\n", 4), (Lines{"defg", "h"}));

    const std::string huge(OutputLineSplitter::kDefaultMaxLineBytes + 10, 'a');
    const Lines lines = SplitWhole(huge + "\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), OutputLineSplitter::kDefaultMaxLineBytes);
    EXPECT_EQ(lines[1], std::string(10, 'a'));
}
