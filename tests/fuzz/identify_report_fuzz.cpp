// The player's identify report and the picture geometry worked out from it: no crash, no
// undefined arithmetic, and sizes that stay within sense for any size the report gives.
#include "fuzz_check.h"
#include "playback/picture_geometry.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

using zuv::PictureSize;
using zuv::ScreenSize;

namespace {

// How far a size's ratio is from the screen's, relative to the screen's.
long double RatioError(PictureSize size, ScreenSize screen)
{
    const long double ratio = static_cast<long double>(size.width) / size.height;
    const long double target = static_cast<long double>(screen.width) / screen.height;
    return std::fabs(ratio / target - 1);
}

void CheckGeometry(PictureSize picture, ScreenSize screen)
{
    const auto expanded = zuv::ExpandSize(picture, screen);
    if (expanded) {
        FUZZ_CHECK(expanded->width > 0 && expanded->height > 0);
        // One side stays, the other grows (never shrinks) to about the screen's ratio.
        FUZZ_CHECK(expanded->width == picture.width || expanded->height == picture.height);
        FUZZ_CHECK(expanded->width >= picture.width && expanded->height >= picture.height);
        if (expanded->width == picture.width && expanded->height != picture.height)
            FUZZ_CHECK(expanded->height % 2 == 0);
        // Single-precision ratios, a pixel of rounding and the even height allowed.
        const int shorter = std::min(expanded->width, expanded->height);
        FUZZ_CHECK(RatioError(*expanded, screen) <= 1e-6L + 3.0L / shorter);
    }
    // Same ratio as the screen: nothing to expand.
    if (picture.width == screen.width && picture.height == screen.height)
        FUZZ_CHECK(!expanded);

    std::optional<int> previous;
    for (const int strength : {-1, 0, 1, 33, 50, 98, 99, 100, INT_MAX}) {
        const auto crop = zuv::PanScanCropWidth(picture, screen, strength);
        if (strength <= 0) {
            FUZZ_CHECK(!crop);
            continue;
        }
        if (!crop)
            continue;
        // Cutting never widens, never cuts everything, and cuts more the stronger it is.
        FUZZ_CHECK(*crop > 0 && *crop <= picture.width);
        if (previous)
            FUZZ_CHECK(*crop <= *previous);
        previous = crop;
    }
    FUZZ_CHECK(zuv::PanScanCropWidth(picture, screen, 100) ==
               zuv::PanScanCropWidth(picture, screen, 99));
}

int ParseOr(std::string_view text, int fallback)
{
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : fallback;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view output = zuv::fuzz::InputText(data, size);
    const std::string_view beforeNul = output.substr(0, output.find('\0'));

    const std::vector<std::string> report = zuv::ReadIdentifyReport(output);
    for (const std::string& line : report) {
        FUZZ_CHECK(line.starts_with("ID_"));
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
        FUZZ_CHECK(beforeNul.find(line) != std::string_view::npos);
    }

    const auto picture = zuv::PictureSizeFromReport(output);
    if (!picture)
        return 0;
    FUZZ_CHECK(picture->width > 0 && picture->height > 0);
    FUZZ_CHECK(ParseOr(zuv::LookUpReportValue(report, "id_video_width").value(), 0) ==
               picture->width);
    FUZZ_CHECK(ParseOr(zuv::LookUpReportValue(report, "ID_VIDEO_HEIGHT").value(), 0) ==
               picture->height);

    // Common screens, extreme ones, the picture's own size and its sides swapped, and a screen
    // the report may name (ID_FUZZ_SCREEN_WIDTH/HEIGHT, to let the fuzzer steer it).
    std::vector<ScreenSize> screens{{1920, 1080}, {1280, 1024}, {800, 600},   {3840, 1600},
                                    {1, 1},       {1, INT_MAX}, {INT_MAX, 1}, {INT_MAX, INT_MAX},
                                    {0, 1080},    {1920, -1}};
    screens.push_back({picture->width, picture->height});
    screens.push_back({picture->height, picture->width});
    const auto screenWidth = zuv::LookUpReportValue(report, "ID_FUZZ_SCREEN_WIDTH");
    const auto screenHeight = zuv::LookUpReportValue(report, "ID_FUZZ_SCREEN_HEIGHT");
    if (screenWidth && screenHeight)
        screens.push_back({ParseOr(*screenWidth, 1), ParseOr(*screenHeight, 1)});

    for (const ScreenSize& screen : screens) {
        if (screen.width <= 0 || screen.height <= 0) {
            FUZZ_CHECK(!zuv::ExpandSize(*picture, screen));
            FUZZ_CHECK(!zuv::PanScanCropWidth(*picture, screen, 50));
            continue;
        }
        CheckGeometry(*picture, screen);
    }
    return 0;
}
