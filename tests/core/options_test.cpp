#include "options/options.h"
#include "util/number_format.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

using namespace zuv;

TEST(Options, FirstStartDefaultsAreWhatTheControlsShow)
{
    const Options options;
    EXPECT_EQ(SubFontScalePosition(options.FontScale), 10);
    EXPECT_EQ(ChannelEntryIndex(options.Channels), 5);     // the entry "6"
    EXPECT_EQ(SettingsPageIndex(options.SettingsPage), 4); // the Info page
    const Options shown = OptionsAsControlsHold(options);
    EXPECT_EQ(shown.FontScale, options.FontScale);
    EXPECT_EQ(shown.Volume, options.Volume);
    EXPECT_EQ(shown.PanScanValue, options.PanScanValue);
    EXPECT_EQ(shown.Channels, options.Channels);
    EXPECT_EQ(shown.SettingsPage, options.SettingsPage);
}

TEST(Options, TrackBarsTakeTheNearerEnd)
{
    Options options;
    options.Volume = 300;
    options.ExtraStereoVal = -1;
    options.PanScanValue = 100;
    options.MPlayerPriority = -7;
    options.SubfontOutlineValue = 9;
    options.SubfontBlurValue = -2147483647 - 1;
    const Options shown = OptionsAsControlsHold(options);
    EXPECT_EQ(shown.Volume, 255);
    EXPECT_EQ(shown.ExtraStereoVal, 0);
    EXPECT_EQ(shown.PanScanValue, 99);
    EXPECT_EQ(shown.MPlayerPriority, 0);
    EXPECT_EQ(shown.SubfontOutlineValue, 8);
    EXPECT_EQ(shown.SubfontBlurValue, 0);
    EXPECT_EQ(ClampToRange(-5, kVolumeRange), 0);
    EXPECT_EQ(ClampToRange(255, kVolumeRange), 255);
}

TEST(Options, ChannelsAndPageWithoutAChoice)
{
    EXPECT_EQ(ChannelEntryIndex(1), 0);
    EXPECT_EQ(ChannelEntryIndex(6), 5);
    EXPECT_EQ(ChannelEntryIndex(0), -1);
    EXPECT_EQ(ChannelEntryIndex(7), -1);
    EXPECT_EQ(ChannelsFromEntryIndex(-1), 0);
    EXPECT_EQ(ChannelsFromEntryIndex(1), 2);

    EXPECT_EQ(SettingsPageIndex(0), 0);
    EXPECT_EQ(SettingsPageIndex(5), -1);
    EXPECT_EQ(SettingsPageIndex(-1), -1);

    Options options;
    options.Channels = 9;
    options.SettingsPage = 5;
    const Options shown = OptionsAsControlsHold(options);
    EXPECT_EQ(shown.Channels, 0);
    EXPECT_EQ(shown.SettingsPage, -1);
}

TEST(Options, FontScalePositions)
{
    EXPECT_EQ(SubFontScalePosition(3.0), 10);
    EXPECT_EQ(SubFontScalePosition(1.2), 1);
    EXPECT_EQ(SubFontScalePosition(1.0), 0);
    EXPECT_EQ(SubFontScalePosition(0.5), 0);
    EXPECT_EQ(SubFontScalePosition(7.0), 25);
    EXPECT_EQ(SubFontScalePosition(1.1), 1);  // 0.5 rounds up
    EXPECT_EQ(SubFontScalePosition(1.09), 0); // 0.45 rounds down
    EXPECT_EQ(SubFontScalePosition(-1e300), 0);
    EXPECT_EQ(SubFontScalePosition(1e300), 25);
    EXPECT_EQ(SubFontScalePosition(std::numeric_limits<double>::quiet_NaN()), 0);

    // Every position prints as its exact fifth and reads back to itself.
    for (int position = 0; position <= 25; ++position) {
        const double scale = SubFontScaleFromPosition(position);
        std::string expected = std::to_string(1 + position / 5);
        if (position % 5 != 0)
            expected += "." + std::to_string(position % 5 * 2);
        EXPECT_EQ(FormatDecimal(scale), expected) << position;
        EXPECT_EQ(SubFontScalePosition(scale), position);
        EXPECT_EQ(SubFontScalePosition(*ParseDecimal(expected)), position);
    }
}
