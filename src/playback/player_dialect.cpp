#include "playback/player_dialect.h"

#include "playback/player_program.h"
#include "util/number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zuv {

namespace {

constexpr std::string_view kBannerStart = "MPlayer ";
constexpr std::string_view kBannerCopyright = " (C)";
constexpr int kSilentVolumeBelow = 16;
constexpr int kLoudestVolume = 255;
constexpr double kSilenceDecibels = -200.0;

// Calls `visit` with every line of the output (CR, LF and CR LF end a line) until it returns true.
template <typename Visit>
void ForEachLine(std::string_view output, Visit visit)
{
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = output.size();
        if (visit(output.substr(start, end - start)))
            return;
        start = end + 1;
    }
}

// The first two blank-separated words of a line.
std::pair<std::string_view, std::string_view> FirstTwoWords(std::string_view line)
{
    std::string_view words[2];
    std::size_t pos = 0;
    for (std::string_view& word : words) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find_first_of(" \t", pos), line.size());
        word = line.substr(pos, end - pos);
        pos = end;
    }
    return {words[0], words[1]};
}

} // namespace

std::string OptionListCommandLine()
{
    return std::string(kPlayerProgramName) + " -list-options";
}

std::string PlayerVersionFromBanner(std::string_view output)
{
    std::string version;
    ForEachLine(output, [&](std::string_view line) {
        if (!line.starts_with(kBannerStart))
            return false;
        const std::size_t copyright = line.find(kBannerCopyright, kBannerStart.size());
        if (copyright == std::string_view::npos)
            return false;
        version = line.substr(kBannerStart.size(), copyright - kBannerStart.size());
        return true;
    });
    return version;
}

PlayerDialect DialectFromOptionList(std::string_view output)
{
    PlayerDialect dialect = PlayerDialect::Classic;
    ForEachLine(output, [&](std::string_view line) {
        const auto [name, type] = FirstTwoWords(line);
        if (name != "aop")
            return false;
        if (type == "Print")
            dialect = PlayerDialect::Current;
        return true;
    });
    return dialect;
}

PlayerInfo ReadPlayerInfo(const CaptureFunction& capture)
{
    const std::optional<std::string> output = capture(OptionListCommandLine());
    if (!output)
        return {};
    return {PlayerVersionFromBanner(*output), DialectFromOptionList(*output)};
}

int RenderedVolumeFactor(double decibels)
{
    // The player keeps the gain and its level in single precision.
    if (static_cast<float>(decibels) <= static_cast<float>(kSilenceDecibels))
        return 0;
    const auto level = static_cast<float>(
        std::pow(10.0, static_cast<double>(static_cast<float>(decibels)) / 20.0));
    return static_cast<int>(255.0 * static_cast<double>(level));
}

std::string VolumeFilterGain(int volume)
{
    if (volume < kSilentVolumeBelow)
        return FormatDecimal(kSilenceDecibels);
    volume = std::min(volume, kLoudestVolume);
    const std::int64_t cube = std::int64_t{volume} * volume * volume;
    const auto pluginFactor = static_cast<int>(cube >> 12);
    // In hundredths of a dB, so that raising it step by step adds no rounding error.
    auto hundredths =
        static_cast<long>(std::lround(2000.0 * std::log10(static_cast<double>(cube) / (1 << 20))));
    while (RenderedVolumeFactor(hundredths / 100.0) < pluginFactor)
        ++hundredths;
    return FormatDecimal(hundredths / 100.0);
}

} // namespace zuv
