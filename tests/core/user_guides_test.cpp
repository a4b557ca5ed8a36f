#include "playback/command_line_builder.h"
#include "util/ini_document.h"
#include "util/text_encoding.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <support/test_support.h>
#include <vector>

using namespace zuv;

namespace {

const char* const kGuides[] = {"zuv_enu.txt", "zuv_hun.txt"};

std::string Guide(const char* name)
{
    const auto text = test::ReadFile(std::string(ZUVORA_DOCS_DIR) + "/" + name);
    EXPECT_TRUE(text) << name;
    return text.value_or("");
}

std::size_t CodePoints(std::string_view line)
{
    std::size_t count = 0;
    for (const char c : line)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// The numbers of the chapter headings: a line "<n>. <title>" underlined with dashes.
std::vector<int> ChapterNumbers(const std::vector<std::string_view>& lines)
{
    std::vector<int> numbers;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string_view next = lines[i + 1];
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line.front())) ||
            next.size() != CodePoints(line) || next.find_first_not_of('-') != std::string::npos)
            continue;
        numbers.push_back(std::stoi(std::string(line)));
    }
    return numbers;
}

} // namespace

// The readme button opens these in a plain text viewer: UTF-8, at most 100 characters a line,
// and the Hungarian guide has the English one's chapters.
TEST(UserGuides, PlainTextWithTheSameChapters)
{
    std::vector<std::vector<int>> chapters;
    for (const char* name : kGuides) {
        const std::string text = Guide(name);
        EXPECT_TRUE(IsValidUtf8(text)) << name;
        EXPECT_EQ(text.find('\r'), std::string::npos) << name;
        const std::vector<std::string_view> lines = SplitLines(text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string_view line = lines[i];
            EXPECT_LE(CodePoints(line), 100u) << name << ":" << i + 1;
            EXPECT_EQ(line.find('\t'), std::string::npos) << name << ":" << i + 1;
            EXPECT_TRUE(line.empty() || line.back() != ' ') << name << ":" << i + 1;
        }
        chapters.push_back(ChapterNumbers(lines));
        ASSERT_FALSE(chapters.back().empty()) << name;
        for (std::size_t i = 0; i < chapters.back().size(); ++i)
            EXPECT_EQ(chapters.back()[i], static_cast<int>(i) + 1) << name;
    }
    EXPECT_EQ(chapters[0], chapters[1]);
}

// The worked example of the command line chapter is what the builder makes of its options.
TEST(UserGuides, CommandLineExampleMatchesTheBuilder)
{
    Options options;
    options.Parameters = "-speed 1.5 -vf flip";
    options.Fullscreen = true;
    options.Double = true;
    options.CustomVolume = true;
    options.Volume = 128;
    options.Normalize = true;
    options.ExtraStereo = true;
    options.ExtraStereoVal = 25;
    options.EmulateSubwoofer = true;
    options.SetChannels = true;
    options.Channels = 2;
    options.PostProcessing = true;
    options.Expand = true;
    options.PanScan = true;
    options.PanScanValue = 49;
    options.OnTop = true;
    options.Font = "/usr/share/fonts/x.ttf";
    options.SubCp = "latin2";
    options.SetFontScale = true;
    options.FontScale = 1.8;
    options.SubfontOutline = true;
    options.SubfontOutlineValue = 2;
    options.SubfontBlur = true;
    options.SubfontBlurValue = 2;
    const std::string media = "/films/A film.avi";
    const ProbeFunction probe = [](const std::string&) {
        return std::optional<std::string>("ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=304\n");
    };
    const std::string expected = PlayerCommandLine(
        media, "/films/film.srt",
        BuildOptionsText(options, false, media, {1024, 768}, probe, PlayerDialect::Current));

    for (const char* name : kGuides) {
        const std::string text = Guide(name);
        const std::vector<std::string_view> lines = SplitLines(text);
        std::string example;
        for (const std::string_view line : lines) {
            if (example.empty() && !line.starts_with("    mplayer \"/films/"))
                continue;
            if (!line.starts_with("    "))
                break;
            if (!example.empty())
                example += ' ';
            example += line.substr(4);
        }
        EXPECT_EQ(example, expected) << name;
    }
}
