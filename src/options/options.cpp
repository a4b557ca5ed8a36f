#include "options/options.h"

#include <algorithm>
#include <cmath>

namespace zuv {

int ClampToRange(int position, TrackBarRange range)
{
    return std::clamp(position, range.minimum, range.maximum);
}

int ChannelEntryIndex(int channels)
{
    return (channels >= 1 && channels <= kChannelEntryCount) ? channels - 1 : -1;
}

int ChannelsFromEntryIndex(int entryIndex)
{
    return (entryIndex >= 0 && entryIndex < kChannelEntryCount) ? entryIndex + 1 : 0;
}

int SettingsPageIndex(int storedPage)
{
    return (storedPage >= 0 && storedPage < kSettingsPageCount) ? storedPage : -1;
}

double SubFontScaleFromPosition(int position)
{
    // Computed from the decimal constant 0.2 so that every step prints as its exact fifth.
    return 1.0 + 0.2 * ClampToRange(position, kFontScalePositionRange);
}

int SubFontScalePosition(double scale)
{
    const double position = std::floor((scale - 1.0) * 5.0 + 0.5);
    // Written so that NaN lands on the lower end as well.
    if (!(position > kFontScalePositionRange.minimum))
        return kFontScalePositionRange.minimum;
    if (position >= kFontScalePositionRange.maximum)
        return kFontScalePositionRange.maximum;
    return static_cast<int>(position);
}

Options OptionsAsControlsHold(Options options)
{
    options.MPlayerPriority = ClampToRange(options.MPlayerPriority, kMPlayerPriorityRange);
    options.SettingsPage = SettingsPageIndex(options.SettingsPage);
    options.PanScanValue = ClampToRange(options.PanScanValue, kPanScanValueRange);
    options.Volume = ClampToRange(options.Volume, kVolumeRange);
    options.ExtraStereoVal = ClampToRange(options.ExtraStereoVal, kExtraStereoValRange);
    options.Channels = ChannelsFromEntryIndex(ChannelEntryIndex(options.Channels));
    options.FontScale = SubFontScaleFromPosition(SubFontScalePosition(options.FontScale));
    options.SubfontOutlineValue =
        ClampToRange(options.SubfontOutlineValue, kSubfontOutlineValueRange);
    options.SubfontBlurValue = ClampToRange(options.SubfontBlurValue, kSubfontBlurValueRange);
    return options;
}

bool IsOneArgument(std::string_view value)
{
    return !value.empty() && value.find_first_of(" \t\"\r\n") == std::string_view::npos;
}

std::vector<std::string> DropUnusableValues(Options& options)
{
    std::vector<std::string> reasons;
    const auto checkLength = [&](std::string& value, const char* what) {
        if (value.size() <= kMaxFieldText)
            return;
        reasons.push_back(std::string(what) + " is left out: at " + std::to_string(value.size()) +
                          " bytes it is longer than the field holds (" +
                          std::to_string(kMaxFieldText) + ")");
        value.clear();
    };
    checkLength(options.Parameters, "The player parameters");
    checkLength(options.LastFile, "The last media file");
    checkLength(options.LastSubFile, "The last subtitle file");
    const auto check = [&](std::string& value, const char* what) {
        if (value.empty() || IsOneArgument(value))
            return;
        reasons.push_back(std::string(what) + " \"" + value.substr(0, 200) +
                          "\" is left out: it would give the player several arguments (only the "
                          "parameters field may hold more)");
        value.clear();
    };
    check(options.SubCp, "The code page");
    check(options.EQSettings, "The equalizer's band values");
    return reasons;
}

} // namespace zuv
