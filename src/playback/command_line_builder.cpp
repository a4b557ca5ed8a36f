#include "playback/command_line_builder.h"

#include "playback/mpv_dialect.h"
#include "playback/player_program.h"
#include "util/number_format.h"
#include "util/text_utils.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zuv {

namespace {

// What the equalizer gives when its gains were never set: ten flat bands.
constexpr std::string_view kFlatBandValues = "0:0:0:0:0:0:0:0:0:0";

void DropTrailingComma(std::string& list)
{
    if (!list.empty() && list.back() == ',')
        list.pop_back();
}

// Takes the user's own filter value out of the text; it starts the list.
std::string StartFilterList(std::string& text, std::string_view option)
{
    std::string list = TakeOptionValue(text, option);
    if (!list.empty())
        list += ',';
    return list;
}

std::string ExtraStereoMultiplier(int position)
{
    return FormatDecimal(position * 0.1);
}

void AppendAudioPlugins(std::string& text, const Options& options, int volume, int extraStereo)
{
    std::string list = "list=";
    if (options.CustomVolume)
        list += "volume,";
    if (options.Normalize)
        list += "volnorm,";
    if (options.ExtraStereo)
        list += "extrastereo";
    DropTrailingComma(list);
    if (options.CustomVolume)
        list += ":volume=" + FormatInteger(volume);
    if (options.ExtraStereo)
        list += ":mul=" + ExtraStereoMultiplier(extraStereo);
    text += " -aop \"" + list + '"';
}

// The name of one entry of a filter list: the text before its "=".
std::string_view FilterName(std::string_view entry)
{
    return entry.substr(0, entry.find('='));
}

std::vector<std::string> SplitFilterList(const std::string& list)
{
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        entries.push_back(list.substr(start, comma - start));
        if (comma == std::string::npos)
            return entries;
        start = comma + 1;
    }
}

bool HasFilter(const std::vector<std::string>& entries, std::string_view name)
{
    return std::any_of(entries.begin(), entries.end(),
                       [name](const std::string& entry) { return FilterName(entry) == name; });
}

std::string JoinFilterList(const std::vector<std::string>& entries)
{
    std::string list;
    for (std::size_t i = 0; i < entries.size(); ++i)
        list += (i == 0 ? "" : ",") + entries[i];
    return list;
}

// MPlayer 1.5 allows one volume filter per list, so our gain is added (gains in dB add) to the
// user's own volume filter, whose further settings stay. A user gain that is not a number stands
// as typed and ours is left out. False when the user's list has no volume filter.
bool MergeVolumeGain(std::vector<std::string>& entries, std::string_view gain)
{
    constexpr double kLowestGain = -200.0;
    constexpr double kHighestGain = 60.0;
    constexpr std::string_view kPrefix = "volume=";
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [](const std::string& e) { return FilterName(e) == "volume"; });
    if (entry == entries.end())
        return false;
    const std::size_t valueStart = std::min(entry->size(), kPrefix.size());
    const std::size_t valueEnd = std::min(entry->find(':', valueStart), entry->size());
    const std::string_view value =
        std::string_view(*entry).substr(valueStart, valueEnd - valueStart);
    const std::optional<double> own = value.empty() ? 0.0 : ParseDecimal(value);
    if (own) {
        const double sum =
            std::clamp(*own + ParseDecimal(gain).value_or(0.0), kLowestGain, kHighestGain);
        *entry = std::string(kPrefix) + FormatDecimal(std::round(sum * 100.0) / 100.0) +
                 entry->substr(valueEnd);
    }
    return true;
}

void AppendAudioFilters(std::string& text, const Options& options, int volume, int extraStereo,
                        PlayerDialect dialect)
{
    const std::string user = TakeOptionValue(text, "-af");
    std::vector<std::string> own;
    if (!user.empty())
        own = SplitFilterList(user);
    // The player refuses a filter named twice in one list: what the user typed wins.
    std::string added;
    bool merged = false;
    if (dialect == PlayerDialect::Current) {
        // The plug-ins' effects as filters, in the plug-ins' order.
        if (options.CustomVolume) {
            const std::string gain = VolumeFilterGain(volume);
            merged = MergeVolumeGain(own, gain);
            if (!merged)
                added += "volume=" + gain + ',';
        }
        if (options.Normalize && !HasFilter(own, "volnorm"))
            added += "volnorm,";
        if (options.ExtraStereo && !HasFilter(own, "extrastereo"))
            added += "extrastereo=" + ExtraStereoMultiplier(extraStereo) + ',';
    }
    if (options.EQ && !HasFilter(own, "equalizer")) {
        added += "equalizer=";
        // A value that would split into more arguments counts as none (DropUnusableValues).
        added += IsOneArgument(options.EQSettings) ? options.EQSettings : kFlatBandValues;
        added += ',';
    }
    if (options.EmulateSubwoofer && !HasFilter(own, "sub"))
        added += "sub,";
    std::string list = merged ? JoinFilterList(own) : user;
    if (!list.empty())
        list += ',';
    list += added;
    DropTrailingComma(list);
    if (!list.empty())
        text += " -af " + list;
}

void AppendVideoFilters(std::string& text, const Options& options, const std::string& mediaPath,
                        ScreenSize screen, const ProbeFunction& probe, PlayerDialect dialect)
{
    const bool current = dialect == PlayerDialect::Current;
    std::string list = StartFilterList(text, "-vf");
    if (options.GraphicEq)
        list += "eq,";
    // MPlayer 1.5 has no yuy2 filter; its format filter goes last, as pp takes planar input only.
    if (options.ForceYUY2 && !current)
        list += "yuy2,";
    if (options.PostProcessing)
        list += "pp,";
    bool cropped = false;
    if ((options.Expand || options.PanScan) && probe) {
        const std::optional<std::string> report = probe(mediaPath);
        const std::optional<PictureSize> size =
            report ? PictureSizeFromReport(*report) : std::nullopt;
        if (size) {
            PictureSize picture = *size;
            std::string crop;
            if (options.PanScan) {
                const int strength = ClampToRange(options.PanScanValue, kPanScanValueRange);
                if (const auto width = PanScanCropWidth(picture, screen, strength)) {
                    crop = "crop=" + FormatInteger(*width) + ',';
                    picture.width = *width;
                }
            }
            // Expand works on the cropped picture but stands before the crop in the list.
            if (options.Expand) {
                if (const auto expanded = ExpandSize(picture, screen)) {
                    list += "expand=" + FormatInteger(expanded->width) + ':' +
                            FormatInteger(expanded->height) + ',';
                }
            }
            list += crop;
            cropped = !crop.empty();
        }
    }
    if (current) {
        // The format filter converts nothing: the scale before it converts to YUY2, the one
        // after it to what an output without YUY2 takes. MPlayer 1.5's x11 output crashes on a
        // cropped planar picture, which that last scale converts in the chain instead.
        if (options.ForceYUY2)
            list += "scale,format=yuy2,";
        if (options.ForceYUY2 || cropped)
            list += "scale,";
    }
    DropTrailingComma(list);
    if (!list.empty())
        text += " -vf " + list;
    if (options.PostProcessing)
        text += " -autoq 10";
}

} // namespace

std::string BuildOptionsText(const Options& options, bool loop, const std::string& mediaPath,
                             ScreenSize screen, const ProbeFunction& probe, PlayerDialect dialect)
{
    if (IsMpv(dialect))
        return BuildMpvOptionsText(options, loop, mediaPath, screen, probe, dialect);
    // Positions as the controls hold them, whatever the record was filled with.
    const int volume = ClampToRange(options.Volume, kVolumeRange);
    const int extraStereo = ClampToRange(options.ExtraStereoVal, kExtraStereoValRange);

    std::string text;
    text.reserve(256);
    if (!options.Parameters.empty())
        text += ' ' + options.Parameters;
    if (options.Fullscreen)
        text += " -fs";
    if (options.Idx)
        text += " -idx";
    if (options.Double)
        text += " -double";
    if (options.dri)
        text += " -dr";
    if (loop)
        text += " -loop 0";

    const bool audioPlugins = options.CustomVolume || options.Normalize || options.ExtraStereo;
    if (audioPlugins && dialect == PlayerDialect::Classic)
        AppendAudioPlugins(text, options, volume, extraStereo);
    if (options.EQ || options.EmulateSubwoofer || options.CustomAC3Mixing ||
        (audioPlugins && dialect == PlayerDialect::Current))
        AppendAudioFilters(text, options, volume, extraStereo, dialect);

    // A count without a matching entry in the channel list chooses nothing: the player refuses 0.
    if (options.SetChannels && ChannelEntryIndex(options.Channels) >= 0)
        text += " -channels " + FormatInteger(options.Channels);
    if (options.GraphicEq || options.ForceYUY2 || options.PostProcessing || options.Expand ||
        options.PanScan)
        AppendVideoFilters(text, options, mediaPath, screen, probe, dialect);
    if (options.OnTop)
        text += " -ontop";
    if (!options.Font.empty()) {
        // The font path is always quoted, the code page never; the code page only goes with a font.
        text += " -font " + PlayerFileArgument(options.Font, true);
        if (IsOneArgument(options.SubCp))
            text += " -subcp " + options.SubCp;
    }
    if (options.SetFontScale) {
        const double scale = SubFontScaleFromPosition(SubFontScalePosition(options.FontScale));
        text += " -subfont-text-scale " + FormatDecimal(scale);
    }
    if (options.SubfontOutline)
        text += " -subfont-outline " +
                FormatInteger(ClampToRange(options.SubfontOutlineValue, kSubfontOutlineValueRange));
    if (options.SubfontBlur)
        text += " -subfont-blur " +
                FormatInteger(ClampToRange(options.SubfontBlurValue, kSubfontBlurValueRange));
    return text;
}

std::string PlayerArguments(const std::string& mediaPath, const std::string& subtitlePath,
                            const std::string& optionsText)
{
    std::string arguments = PlayerFileArgument(mediaPath);
    if (!subtitlePath.empty())
        arguments += " -sub " + PlayerFileArgument(subtitlePath);
    arguments += optionsText;
    return arguments;
}

std::string PlayerCommandLine(const std::string& mediaPath, const std::string& subtitlePath,
                              const std::string& optionsText)
{
    return std::string(kPlayerProgramName) + ' ' +
           PlayerArguments(mediaPath, subtitlePath, optionsText);
}

} // namespace zuv
