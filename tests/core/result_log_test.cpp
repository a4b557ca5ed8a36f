#include "playback/result_log.h"

#include <gtest/gtest.h>

using namespace zuv;

namespace {

struct ControlCase
{
    const char* name;
    std::string written;
    std::string shown;
};

class TerminalControls : public testing::TestWithParam<ControlCase>
{};

TEST_P(TerminalControls, AreTakenOutAndTheTextStays)
{
    EXPECT_EQ(WithoutTerminalControls(GetParam().written), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TerminalControls,
    testing::Values(
        // The player's status line ends by clearing the rest of the terminal line.
        ControlCase{"StatusLine", "A:   1.2 V:   1.2 A-V:  0.000 ct:  0.000 \x1b[J",
                    "A:   1.2 V:   1.2 A-V:  0.000 ct:  0.000 "},
        ControlCase{"Colours", "\x1b[1;31mred\x1b[0m plain", "red plain"},
        ControlCase{"PrivateModes", "\x1b[?25lhidden cursor\x1b[?25h", "hidden cursor"},
        ControlCase{"TitleByBell",
                    "\x1b]0;title\x07"
                    "after",
                    "after"},
        ControlCase{"TitleByStringEnd", "\x1b]2;title\x1b\\after", "after"},
        ControlCase{"CharacterSet", "\x1b(Bascii", "ascii"},
        ControlCase{"ShortEscape",
                    "a\x1b"
                    "7b\x1b"
                    "8c",
                    "abc"},
        ControlCase{"UnfinishedAtTheEnd", "text\x1b[12;", "text"},
        ControlCase{"UnfinishedTitle", "text\x1b]0;never ends", "text"},
        ControlCase{"LoneEscape", "text\x1b", "text"},
        ControlCase{"OtherControlsButTab",
                    std::string("a\x07"
                                "b\x08"
                                "c\td\x00"
                                "e\x7f",
                                10),
                    "abc\tde\x7f"},
        ControlCase{"Utf8Untouched", "\xc3\xa1rv\xc3\xadz \xe2\x80\x93 \xc5\x91",
                    "\xc3\xa1rv\xc3\xadz \xe2\x80\x93 \xc5\x91"},
        ControlCase{"BracketWithoutEscape", "[J and ]0; stay", "[J and ]0; stay"}),
    [](const testing::TestParamInfo<ControlCase>& tested) {
        return std::string(tested.param.name);
    });

std::vector<std::string> Numbered(int from, int to)
{
    std::vector<std::string> lines;
    for (int n = from; n <= to; ++n)
        lines.push_back("line " + std::to_string(n));
    return lines;
}

// Applies each change to a plain list of lines as the window does to its text.
class WindowCopy
{
public:
    void Apply(const ResultLog::Change& change, const ResultLog& log)
    {
        if (change.first)
            m_lines.push_back(*change.first);
        const std::size_t newestStart = m_notice ? 2 : 1;
        ASSERT_LE(newestStart + change.removed, m_lines.size() + (m_lines.empty() ? 1 : 0));
        m_lines.erase(m_lines.begin() + std::ptrdiff_t(std::min(newestStart, m_lines.size())),
                      m_lines.begin() +
                          std::ptrdiff_t(std::min(newestStart + change.removed, m_lines.size())));
        if (change.noticeChanged) {
            if (m_notice)
                m_lines[1] = log.Notice();
            else
                m_lines.insert(m_lines.begin() + 1, log.Notice());
            m_notice = true;
        }
        m_lines.insert(m_lines.end(), change.added.begin(), change.added.end());
    }
    std::vector<std::string> m_lines;
    bool m_notice = false;
};

TEST(ResultLog, KeepsTheFirstLineAndTheNewestWithinItsLimits)
{
    struct Step
    {
        std::vector<std::string> lines;
        std::vector<std::string> shown;
    };
    struct Case
    {
        const char* name;
        ResultLog::Limits limits;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases{
        {"UnderTheLimits",
         {4, 1000, 100},
         {{{"commandline"}, {"commandline"}},
          {Numbered(1, 3),
           {
               "commandline",
               "line 1",
               "line 2",
               "line 3",
           }}}},
        {"CountLimitDropsTheOldest",
         {3, 1000, 100},
         {{{"commandline", "line 1", "line 2"}, {"commandline", "line 1", "line 2"}},
          {Numbered(3, 5),
           {"commandline", "... 2 older lines left out ...", "line 3", "line 4", "line 5"}},
          {Numbered(6, 6),
           {"commandline", "... 3 older lines left out ...", "line 4", "line 5", "line 6"}}}},
        {"ByteLimitDropsTheOldest",
         {100, 14, 100},
         {{{"cmd", "line 1", "line 2", "line 3"},
           {"cmd", "... 1 older lines left out ...", "line 2", "line 3"}}}},
        {"BatchLargerThanTheLimitsKeepsItsNewest",
         {2, 1000, 100},
         {{{"cmd"}, {"cmd"}},
          {Numbered(1, 2), {"cmd", "line 1", "line 2"}},
          {Numbered(3, 9), {"cmd", "... 7 older lines left out ...", "line 8", "line 9"}}}},
        {"LongLinesAreCutBetweenCharacters",
         {100, 1000, 4},
         {{{"cmd", "abcdefghij",
            "abc\xc3\xa1"
            "d"},
           {"cmd", "abcd", "efgh", "ij", "abc",
            "\xc3\xa1"
            "d"}}}},
        {"LineAboveTheByteLimitLeavesOnlyItsEnd",
         {100, 10, 4},
         {{{"cmd", "abcdefghijkl"}, {"cmd", "... 1 older lines left out ...", "efgh", "ijkl"}}}},
        {"ControlsAreTakenOut",
         {100, 1000, 100},
         {{{"cmd \x1b[J", "status\x1b[J"}, {"cmd ", "status"}}}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ResultLog log(test.limits);
        WindowCopy window;
        for (const Step& step : test.steps) {
            window.Apply(log.Add(step.lines), log);
            EXPECT_EQ(log.Lines(), step.shown);
            EXPECT_EQ(window.m_lines, step.shown);
        }
        log.Clear();
        EXPECT_TRUE(log.Lines().empty());
        EXPECT_EQ(log.Add({"cmd"}).first, std::optional<std::string>("cmd"));
    }
}

TEST(ResultLog, FloodStaysWithinTheByteLimit)
{
    ResultLog log;
    log.Add({"commandline"});
    const std::vector<std::string> batch(40000, std::string(100, 'y'));
    for (int n = 0; n < 50; ++n)
        log.Add(batch);
    const std::vector<std::string> lines = log.Lines();
    std::size_t bytes = 0;
    for (const std::string& line : lines)
        bytes += line.size() + 1;
    EXPECT_LE(lines.size(), 10002u);
    EXPECT_LE(bytes, 2u * 1024 * 1024 + 100);
    EXPECT_EQ(log.LeftOut() + lines.size() - 2, 50u * 40000);
}

} // namespace
