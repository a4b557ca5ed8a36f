#include "playback/picture_geometry.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace zuv;

namespace zuv {
void PrintTo(const PictureSize& size, std::ostream* out)
{
    *out << size.width << "x" << size.height;
}
} // namespace zuv

namespace {

struct GeometryRow
{
    ScreenSize screen;
    PictureSize picture;
    int strength;
    std::optional<int> cropWidth;
    std::optional<PictureSize> expanded;
};

} // namespace

TEST(PictureGeometry, WorkedRows)
{
    const GeometryRow rows[] = {
        {{1024, 768}, {720, 304}, 49, 567, PictureSize{567, 424}},
        {{1024, 768}, {720, 304}, 99, 410, PictureSize{410, 306}},
        {{1024, 768}, {720, 304}, 1, 717, PictureSize{717, 536}},
        {{1024, 768}, {640, 480}, 49, std::nullopt, std::nullopt},
        {{1024, 768}, {720, 576}, 0, std::nullopt, PictureSize{769, 576}},
        {{1280, 1024}, {640, 480}, 49, 621, PictureSize{621, 496}},
        {{1920, 1080}, {640, 480}, 49, std::nullopt, PictureSize{854, 480}},
    };
    for (const GeometryRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.picture.width << "x" << row.picture.height << " on "
                                        << row.screen.width << "x" << row.screen.height);
        const auto crop = PanScanCropWidth(row.picture, row.screen, row.strength);
        EXPECT_EQ(crop, row.cropWidth);
        PictureSize cropped = row.picture;
        if (crop)
            cropped.width = *crop;
        EXPECT_EQ(ExpandSize(cropped, row.screen), row.expanded);
    }
}

TEST(PictureGeometry, NonsenseSizesBuildNothing)
{
    const ScreenSize screen{1024, 768};
    EXPECT_FALSE(ExpandSize({0, 304}, screen));
    EXPECT_FALSE(ExpandSize({720, 0}, screen));
    EXPECT_FALSE(ExpandSize({-720, 304}, screen));
    EXPECT_FALSE(ExpandSize({720, 304}, {1024, 0}));
    EXPECT_FALSE(PanScanCropWidth({720, 0}, screen, 49));
    EXPECT_FALSE(PanScanCropWidth({720, 304}, {0, 768}, 49));
    EXPECT_FALSE(PanScanCropWidth({720, 304}, screen, -5));
    // A result that no 32-bit size can hold is no result either.
    EXPECT_FALSE(ExpandSize({1, 2000000000}, {100000, 1}));
    EXPECT_FALSE(ExpandSize({2000000000, 1}, {1, 100000}));
    // A very wide picture does not overflow the crop arithmetic.
    EXPECT_EQ(PanScanCropWidth({2000000000, 1000}, screen, 99), 20001321);
}

TEST(PictureGeometry, ExpandNeverShrinksTheHeight)
{
    // Both are wider than 16:9 by less than a pixel of height; evening the height would cut it.
    EXPECT_FALSE(ExpandSize({1920, 1079}, {1920, 1080}));
    EXPECT_FALSE(ExpandSize({2, 1}, {1920, 1080}));
    // An even height of exactly the picture's stays a result.
    EXPECT_EQ(ExpandSize({1921, 1080}, {1920, 1080}), (PictureSize{1921, 1080}));
}

TEST(IdentifyReport, KeepsOnlyUpperCaseIdLines)
{
    const std::string output = "MPlayer UNKNOWN-12 (C) 2000-2023 MPlayer Team\r\n"
                               "ID_VIDEO_ID=0\r\n"
                               "VIDEO:  [I420]  720x304\r\n"
                               "id_video_width=640\r\n"
                               "ID_VIDEO_WIDTH=720\r"
                               "\n\n"
                               "ID_VIDEO_HEIGHT=304\r"
                               " ID_LENGTH=1\n"
                               "ID_EXIT=EOF";
    const std::vector<std::string> expected = {"ID_VIDEO_ID=0", "ID_VIDEO_WIDTH=720",
                                               "ID_VIDEO_HEIGHT=304", "ID_EXIT=EOF"};
    EXPECT_EQ(ReadIdentifyReport(output), expected);
    EXPECT_EQ(PictureSizeFromReport(output), (PictureSize{720, 304}));
}

TEST(IdentifyReport, ZeroByteEndsTheText)
{
    using namespace std::string_literals;
    const std::string output = "ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=304\0\nID_EXIT=EOF\n"s;
    EXPECT_EQ(ReadIdentifyReport(output).size(), 2u);
    EXPECT_EQ(ReadIdentifyReport("ID_VIDEO_WIDTH=7\0"s + "20"),
              std::vector<std::string>{"ID_VIDEO_WIDTH=7"});
}

TEST(IdentifyReport, LookUpIgnoresCaseAndTakesTheFirst)
{
    const std::vector<std::string> report = {"ID_Video_Width=640", "ID_VIDEO_WIDTH=720",
                                             "ID_TITLE=a=b", "ID_EMPTY=", "ID_NOVALUE"};
    EXPECT_EQ(LookUpReportValue(report, "ID_VIDEO_WIDTH"), "640");
    EXPECT_EQ(LookUpReportValue(report, "id_title"), "a=b");
    EXPECT_EQ(LookUpReportValue(report, "ID_EMPTY"), "");
    EXPECT_FALSE(LookUpReportValue(report, "ID_NOVALUE"));
    EXPECT_FALSE(LookUpReportValue(report, "ID_VIDEO"));
}

TEST(IdentifyReport, SizeNeedsTwoPositiveDecimalIntegers)
{
    EXPECT_FALSE(PictureSizeFromReport("ID_VIDEO_WIDTH=720\n"));
    EXPECT_FALSE(PictureSizeFromReport("ID_AUDIO_ID=0\nID_EXIT=EOF\n"));
    EXPECT_FALSE(PictureSizeFromReport("id_video_width=720\nID_VIDEO_HEIGHT=304\n"));
    for (const char* width : {"0", "-720", "abc", "", "720px", " 720", "0x2D0", "99999999999"}) {
        const std::string output =
            std::string("ID_VIDEO_WIDTH=") + width + "\nID_VIDEO_HEIGHT=304\n";
        EXPECT_FALSE(PictureSizeFromReport(output)) << width;
    }
    EXPECT_FALSE(PictureSizeFromReport("ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=0\n"));
    // The first of two width lines counts.
    EXPECT_EQ(
        PictureSizeFromReport("ID_VIDEO_WIDTH=640\nID_VIDEO_HEIGHT=480\nID_VIDEO_WIDTH=720\n"),
        (PictureSize{640, 480}));
}

TEST(IdentifyReport, RealPlayerOutput)
{
    const auto output = test::ReadFile(test::TestDataPath("player/identify_720x304.txt"));
    ASSERT_TRUE(output);
    EXPECT_EQ(PictureSizeFromReport(*output), (PictureSize{720, 304}));
}

TEST(Probe, RunsTheIdentifyCommandLine)
{
    EXPECT_EQ(ProbeCommandLine("/films/a.avi"),
              "mplayer -frames 0 -vo null -ao null -identify /films/a.avi");
    std::vector<std::string> commandLines;
    const ProbeFunction probe = MakeProbe([&](const std::string& commandLine) {
        commandLines.push_back(commandLine);
        return std::optional<std::string>("ID_VIDEO_WIDTH=1\n");
    });
    EXPECT_EQ(probe("/films/Egy film.avi"), "ID_VIDEO_WIDTH=1\n");
    EXPECT_EQ(commandLines,
              std::vector<std::string>{
                  "mplayer -frames 0 -vo null -ao null -identify \"/films/Egy film.avi\""});
}
