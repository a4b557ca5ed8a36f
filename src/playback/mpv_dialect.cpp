#include "playback/mpv_dialect.h"

#include "platform/fonts.h"
#include "playback/command_line_builder.h"
#include "playback/player_program.h"
#include "util/argv_split.h"
#include "util/number_format.h"
#include "util/text_utils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace zuv {

namespace {

constexpr std::array<std::string_view, 10> kBandHertz = {"31.25", "62.5", "125",  "250",  "500",
                                                         "1000",  "2000", "4000", "8000", "16000"};
// mpv's default text size stands for MPlayer's default text scale.
constexpr double kMPlayerDefaultTextScale = 3.5;
constexpr std::string_view kBannerStart = "mpv ";

// Takes "--name=value" out of the user's text (the first one, a whole word) and gives the value;
// mpv refuses "--af value", so only the "=" form is a filter list.
std::string TakeMpvOption(std::string& text, std::string_view name)
{
    const std::string prefix = "--" + std::string(name) + '=';
    std::size_t start = text.find(prefix);
    while (start != std::string::npos && start != 0 && text[start - 1] != ' ')
        start = text.find(prefix, start + 1);
    if (start == std::string::npos)
        return {};
    const std::size_t valueStart = start + prefix.size();
    const std::size_t end = std::min(text.find(' ', valueStart), text.size());
    std::string value = text.substr(valueStart, end - valueStart);
    // The blank before the option goes with it.
    const std::size_t eraseFrom = start == 0 ? 0 : start - 1;
    text.erase(eraseFrom, end - eraseFrom);
    return value;
}

void AppendList(std::string& text, std::string_view option, std::string user,
                const std::string& own)
{
    if (!user.empty() && !own.empty())
        user += ',';
    user += own;
    if (!user.empty())
        text += " --" + std::string(option) + '=' + user;
}

void AddFilter(std::string& list, const std::string& filter)
{
    if (!list.empty())
        list += ',';
    list += filter;
}

std::string Lavfi(const std::string& graph)
{
    return "lavfi=[" + graph + ']';
}

std::string AudioFilters(const Options& options)
{
    std::string list;
    if (options.CustomVolume)
        AddFilter(list,
                  Lavfi("volume=" + MpvVolumeFactor(ClampToRange(options.Volume, kVolumeRange))));
    if (options.Normalize)
        AddFilter(list, Lavfi("dynaudnorm"));
    if (options.ExtraStereo) {
        const int position = ClampToRange(options.ExtraStereoVal, kExtraStereoValRange);
        AddFilter(list, Lavfi("extrastereo=m=" + FormatDecimal(position * 0.1)));
    }
    if (options.EQ) {
        if (const std::string chain = MpvEqualizerChain(options.EQSettings); !chain.empty())
            AddFilter(list, Lavfi(chain));
    }
    // MPlayer's "sub": the fronts' mix below 60 Hz in the LFE channel of a 5.1 layout; channels
    // the source lacks stay silent.
    if (options.EmulateSubwoofer)
        AddFilter(list, Lavfi("pan=5.1|FL=FL|FR=FR|FC=FC|LFE=0.5*FL+0.5*FR|BL=BL|BR=BR,"
                              "lowpass=f=60:c=LFE"));
    return list;
}

std::string VideoFilters(const Options& options, const std::string& mediaPath, ScreenSize screen,
                         const ProbeFunction& probe)
{
    std::string list;
    if (options.GraphicEq)
        AddFilter(list, Lavfi("eq"));
    if (options.PostProcessing)
        AddFilter(list, Lavfi("pp"));
    if ((options.Expand || options.PanScan) && probe) {
        const std::optional<std::string> report = probe(mediaPath);
        if (const auto size = report ? PictureSizeFromReport(*report) : std::nullopt) {
            PictureSize picture = *size;
            if (options.PanScan) {
                const int strength = ClampToRange(options.PanScanValue, kPanScanValueRange);
                if (auto width = PanScanCropWidth(picture, screen, strength)) {
                    // An odd width becomes even, as MPlayer's closing scale makes it; mpv's crop
                    // would take a column less.
                    *width = std::min(*width + *width % 2, picture.width);
                    AddFilter(list, Lavfi("crop=" + FormatInteger(*width)));
                    picture.width = *width;
                }
            }
            if (options.Expand) {
                if (const auto expanded = ExpandSize(picture, screen)) {
                    AddFilter(list,
                              Lavfi("pad=" + FormatInteger(expanded->width) + ':' +
                                    FormatInteger(expanded->height) + ":(ow-iw)/2:(oh-ih)/2"));
                }
            }
        }
    }
    // Last, as post processing takes planar pictures only.
    if (options.ForceYUY2)
        AddFilter(list, "format=yuyv422");
    return list;
}

void AppendFont(std::string& text, const Options& options, PlayerDialect dialect)
{
    if (options.Font.empty())
        return;
    const std::string family = platform::FontFamilyOfFile(options.Font);
    if (!family.empty())
        text += " --sub-font=" + QuoteArgument(family, true);
    if (dialect == PlayerDialect::MpvFontFolder)
        text += " --sub-fonts-dir=" + QuoteArgument(FolderPart(options.Font), true);
    if (!options.SubCp.empty())
        text += " --sub-codepage=" + options.SubCp;
}

std::optional<double> Gain(std::string_view text)
{
    return text.empty() ? std::optional<double>(0.0) : ParseDecimal(text);
}

} // namespace

std::string BuildMpvOptionsText(const Options& options, bool loop, const std::string& mediaPath,
                                ScreenSize screen, const ProbeFunction& probe,
                                PlayerDialect dialect)
{
    std::string text;
    std::string userAudio;
    std::string userVideo;
    if (!options.Parameters.empty()) {
        text = ' ' + options.Parameters;
        userAudio = TakeMpvOption(text, "af");
        userVideo = TakeMpvOption(text, "vf");
    }
    if (options.Fullscreen)
        text += " --fs";
    if (options.Idx)
        text += " --index=recreate";
    if (options.dri)
        text += " --vd-lavc-dr=yes";
    if (loop)
        text += " --loop-file=inf";
    AppendList(text, "af", userAudio, AudioFilters(options));
    if (options.SetChannels && ChannelEntryIndex(options.Channels) >= 0)
        text += " --audio-channels=" + FormatInteger(options.Channels);
    AppendList(text, "vf", userVideo, VideoFilters(options, mediaPath, screen, probe));
    if (options.OnTop)
        text += " --ontop";
    AppendFont(text, options, dialect);
    if (options.SetFontScale)
        text += " --sub-scale=" +
                MpvSubScale(SubFontScaleFromPosition(SubFontScalePosition(options.FontScale)));
    if (options.SubfontOutline)
        text += " --sub-border-size=" +
                FormatInteger(ClampToRange(options.SubfontOutlineValue, kSubfontOutlineValueRange));
    if (options.SubfontBlur)
        text += " --sub-blur=" +
                FormatInteger(ClampToRange(options.SubfontBlurValue, kSubfontBlurValueRange));
    return text;
}

std::string MpvArguments(const std::string& mediaPath, const std::string& subtitlePaths,
                         const std::string& optionsText)
{
    std::string arguments = PlayerFileArgument(mediaPath);
    std::size_t start = 0;
    while (start < subtitlePaths.size()) {
        const std::size_t end = std::min(subtitlePaths.find(',', start), subtitlePaths.size());
        if (end > start)
            arguments +=
                " --sub-file=" + QuoteArgument(subtitlePaths.substr(start, end - start), false);
        start = end + 1;
    }
    return arguments + optionsText;
}

std::string RunArguments(PlayerDialect dialect, const std::string& mediaPath,
                         const std::string& subtitlePaths, const std::string& optionsText)
{
    return IsMpv(dialect) ? MpvArguments(mediaPath, subtitlePaths, optionsText)
                          : PlayerArguments(mediaPath, subtitlePaths, optionsText);
}

std::string RunCommandLine(PlayerDialect dialect, const std::string& mediaPath,
                           const std::string& subtitlePaths, const std::string& optionsText)
{
    if (!IsMpv(dialect))
        return PlayerCommandLine(mediaPath, subtitlePaths, optionsText);
    return std::string(kMpvProgramName) + ' ' + MpvArguments(mediaPath, subtitlePaths, optionsText);
}

std::string MpvProbeCommandLine(const std::string& mediaPath)
{
    return std::string(kMpvProgramName) +
           " --frames=1 --vo=null --ao=null --term-playing-msg=ID_VIDEO_WIDTH=${width}\\n"
           "ID_VIDEO_HEIGHT=${height}\\nID_LENGTH=${=duration} " +
           PlayerFileArgument(mediaPath);
}

ProbeFunction MakeDialectProbe(PlayerDialect dialect, CaptureFunction capture)
{
    if (!IsMpv(dialect))
        return MakeProbe(std::move(capture));
    return [capture = std::move(capture)](const std::string& mediaPath) {
        return capture(MpvProbeCommandLine(mediaPath));
    };
}

std::string MpvVolumeFactor(int volume)
{
    volume = ClampToRange(volume, kVolumeRange);
    const std::int64_t factor = (std::int64_t{volume} * volume * volume) >> 12;
    return factor == 0 ? "0" : FormatInteger(static_cast<int>(factor)) + "/256";
}

std::string MpvEqualizerChain(std::string_view bands)
{
    std::string chain;
    for (const std::string_view hertz : kBandHertz) {
        const std::size_t colon = std::min(bands.find(':'), bands.size());
        const std::optional<double> gain = Gain(bands.substr(0, colon));
        bands.remove_prefix(std::min(colon + 1, bands.size()));
        if (!gain || *gain == 0.0)
            continue;
        if (!chain.empty())
            chain += ',';
        // Three octaves wide: MPlayer's bands reach far into their neighbours.
        chain += "equalizer=f=" + std::string(hertz) + ":t=o:w=3:g=" + FormatDecimal(*gain);
    }
    return chain;
}

std::string MpvSubScale(double mplayerScale)
{
    return FormatDecimal(std::round(mplayerScale / kMPlayerDefaultTextScale * 1000.0) / 1000.0);
}

std::string MpvVersionFromBanner(std::string_view output)
{
    if (!output.starts_with(kBannerStart))
        return {};
    output.remove_prefix(kBannerStart.size());
    return std::string(output.substr(0, std::min(output.find_first_of(" \r\n"), output.size())));
}

PlayerDialect MpvDialectFromOptionList(std::string_view output)
{
    return output.find(" --sub-fonts-dir ") != std::string_view::npos ? PlayerDialect::MpvFontFolder
                                                                      : PlayerDialect::Mpv;
}

PlayerInfo ReadMpvInfo(const CaptureFunction& capture)
{
    const std::optional<std::string> banner = capture(std::string(kMpvProgramName) + " --version");
    if (!banner)
        return {{}, PlayerDialect::Mpv};
    const std::optional<std::string> list =
        capture(std::string(kMpvProgramName) + " --list-options");
    return {MpvVersionFromBanner(*banner), MpvDialectFromOptionList(list.value_or(""))};
}

} // namespace zuv
