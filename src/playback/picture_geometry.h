#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

struct PictureSize
{
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size of the primary screen in pixels.
struct ScreenSize
{
    int width = 0;
    int height = 0;
};

// Asks the player about a media file: the identify output text, or none when the player could not
// be started.
using ProbeFunction = std::function<std::optional<std::string>(const std::string& mediaPath)>;

// The player's identify run for a media file: it decodes nothing and only prints the report.
std::string ProbeCommandLine(const std::string& mediaPath);

// A probe that runs the identify command line through a capture function.
template <typename Capture>
ProbeFunction MakeProbe(Capture capture)
{
    return [capture = std::move(capture)](const std::string& mediaPath) {
        return capture(ProbeCommandLine(mediaPath));
    };
}

// The report lines of the identify output: lines end at CR, LF or CR LF, a NUL byte ends the
// text, and only lines that begin with exactly "ID_" are kept, in order.
std::vector<std::string> ReadIdentifyReport(std::string_view output);

// The value after the first "=" of the first line whose name (the text before that "=") equals
// `name` without regard to case; none when no line has that name.
std::optional<std::string> LookUpReportValue(const std::vector<std::string>& report,
                                             std::string_view name);

// The picture size in the identify output; none when the width or height line is missing, or
// either value is not a decimal integer above 0.
std::optional<PictureSize> PictureSizeFromReport(std::string_view output);

// Black bands that give the picture the screen's aspect ratio: the new size, or none when the
// ratios already match, when evening the height would leave it below the picture's (a picture
// wider than the screen by less than a pixel), or when the sizes make no sense.
std::optional<PictureSize> ExpandSize(PictureSize picture, ScreenSize screen);

// The width left after cutting the sides of a picture wider than the screen, by a strength of
// 0 to 99 (per cent of the way to the screen's ratio); none when nothing is cut.
std::optional<int> PanScanCropWidth(PictureSize picture, ScreenSize screen, int strength);

} // namespace zuv
