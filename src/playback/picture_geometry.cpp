#include "playback/picture_geometry.h"

#include "playback/player_program.h"
#include "util/ini_document.h"
#include "util/text_utils.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace zuv {

namespace {

// Aspect ratios are compared as single-precision values: 4/3 rounds slightly up, which is what
// makes a 720 x 576 picture expand to 769 and not 768.
float AspectRatio(int width, int height)
{
    return static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
}

bool IsUsable(PictureSize picture, ScreenSize screen)
{
    return picture.width > 0 && picture.height > 0 && screen.width > 0 && screen.height > 0;
}

// Products and quotients of the single-precision ratios, in extended precision so that the
// product of a 32-bit size and a float is exact.
std::optional<int> ToPixels(long double value)
{
    if (!(value >= 0) || value > static_cast<long double>(INT_MAX))
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> ParsePixels(const std::string& text)
{
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value <= 0)
        return std::nullopt;
    return value;
}

} // namespace

std::string ProbeCommandLine(const std::string& mediaPath)
{
    return std::string(kPlayerProgramName) + " -frames 0 -vo null -ao null -identify " +
           PlayerFileArgument(mediaPath);
}

std::vector<std::string> ReadIdentifyReport(std::string_view output)
{
    std::vector<std::string> report;
    for (const std::string_view line : SplitLines(output)) {
        if (line.starts_with("ID_"))
            report.emplace_back(line);
    }
    return report;
}

std::optional<std::string> LookUpReportValue(const std::vector<std::string>& report,
                                             std::string_view name)
{
    for (const std::string& line : report) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos &&
            EqualsIgnoreCase(std::string_view(line).substr(0, equals), name))
            return line.substr(equals + 1);
    }
    return std::nullopt;
}

std::optional<PictureSize> PictureSizeFromReport(std::string_view output)
{
    const std::vector<std::string> report = ReadIdentifyReport(output);
    const auto widthText = LookUpReportValue(report, "ID_VIDEO_WIDTH");
    const auto heightText = LookUpReportValue(report, "ID_VIDEO_HEIGHT");
    if (!widthText || !heightText)
        return std::nullopt;
    const auto width = ParsePixels(*widthText);
    const auto height = ParsePixels(*heightText);
    if (!width || !height)
        return std::nullopt;
    return PictureSize{*width, *height};
}

std::optional<PictureSize> ExpandSize(PictureSize picture, ScreenSize screen)
{
    if (!IsUsable(picture, screen))
        return std::nullopt;
    const float pictureRatio = AspectRatio(picture.width, picture.height);
    const float screenRatio = AspectRatio(screen.width, screen.height);
    if (screenRatio == pictureRatio)
        return std::nullopt;
    if (screenRatio > pictureRatio) {
        // Narrower than the screen: widen.
        const auto width =
            ToPixels(std::ceil(static_cast<long double>(picture.height) * screenRatio));
        if (!width)
            return std::nullopt;
        return PictureSize{*width, picture.height};
    }
    // Wider than the screen: make it taller, to an even height.
    auto height = ToPixels(std::floor(static_cast<long double>(picture.width) / screenRatio));
    if (!height)
        return std::nullopt;
    if (*height % 2 != 0)
        --*height;
    // A picture only a rounding error wider than the screen would be made shorter (2 x 1 even to
    // 2 x 0): there is nothing to add.
    if (*height < picture.height)
        return std::nullopt;
    return PictureSize{picture.width, *height};
}

std::optional<int> PanScanCropWidth(PictureSize picture, ScreenSize screen, int strength)
{
    if (strength <= 0 || !IsUsable(picture, screen))
        return std::nullopt;
    if (strength > 99)
        strength = 99;
    const float pictureRatio = AspectRatio(picture.width, picture.height);
    const float screenRatio = AspectRatio(screen.width, screen.height);
    if (!(screenRatio < pictureRatio))
        return std::nullopt;
    // The width the picture would have at the screen's ratio with its own height.
    const auto screenWidth =
        ToPixels(std::ceil(static_cast<long double>(picture.height) * screenRatio));
    if (!screenWidth)
        return std::nullopt;
    const std::int64_t excess = std::int64_t{picture.width} - *screenWidth;
    return static_cast<int>(picture.width - excess * strength / 100);
}

} // namespace zuv
