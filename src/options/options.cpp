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

} // namespace zuv
