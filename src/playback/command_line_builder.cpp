#include "playback/command_line_builder.h"

#include "playback/player_program.h"
#include "util/number_format.h"
#include "util/text_utils.h"

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

void AppendAudioFilters(std::string& text, const Options& options, int volume, int extraStereo,
                        PlayerDialect dialect)
{
    std::string list = StartFilterList(text, "-af");
    if (dialect == PlayerDialect::Current) {
        // The plug-ins' effects as filters, in the plug-ins' order.
        if (options.CustomVolume)
            list += "volume=" + VolumeFilterGain(volume) + ',';
        if (options.Normalize)
            list += "volnorm,";
        if (options.ExtraStereo)
            list += "extrastereo=" + ExtraStereoMultiplier(extraStereo) + ',';
    }
    if (options.EQ) {
        list += "equalizer=";
        list += options.EQSettings.empty() ? kFlatBandValues : options.EQSettings;
        list += ',';
    }
    if (options.EmulateSubwoofer)
        list += "sub,";
    DropTrailingComma(list);
    if (!list.empty())
        text += " -af " + list;
}

void AppendVideoFilters(std::string& text, const Options& options, const std::string& mediaPath,
                        ScreenSize screen, const ProbeFunction& probe)
{
    std::string list = StartFilterList(text, "-vf");
    if (options.GraphicEq)
        list += "eq,";
    if (options.ForceYUY2)
        list += "yuy2,";
    if (options.PostProcessing)
        list += "pp,";
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
        }
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

    if (options.SetChannels) {
        // A count without a matching entry in the channel list is written as 0.
        text += " -channels " +
                FormatInteger(ChannelsFromEntryIndex(ChannelEntryIndex(options.Channels)));
    }
    if (options.GraphicEq || options.ForceYUY2 || options.PostProcessing || options.Expand ||
        options.PanScan)
        AppendVideoFilters(text, options, mediaPath, screen, probe);
    if (options.OnTop)
        text += " -ontop";
    if (!options.Font.empty()) {
        // The font path is always quoted, the code page never; the code page only goes with a font.
        text += " -font " + PlayerFileArgument(options.Font, true);
        if (!options.SubCp.empty())
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
