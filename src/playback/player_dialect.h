#pragma once

#include "playback/capture.h"

#include <string>
#include <string_view>

namespace zuv {

// How the player takes the volume, normalisation and extra-stereo effects. Older players take
// them as audio plug-ins ("-aop"); MPlayer 1.5 removed that option and refuses to start with it,
// so there the same effects go into the audio filter list. mpv has a command line of its own;
// before 0.36 it has no --sub-fonts-dir and refuses to start with it.
enum class PlayerDialect
{
    Classic,
    Current,
    Mpv,
    MpvFontFolder,
};

inline bool IsMpv(PlayerDialect dialect)
{
    return dialect == PlayerDialect::Mpv || dialect == PlayerDialect::MpvFontFolder;
}

struct PlayerInfo
{
    std::string version; // from the banner line; empty when the player is missing
    PlayerDialect dialect = PlayerDialect::Classic;
};

// The command line that makes the player list its options (and print its banner).
std::string OptionListCommandLine();

// The version text of the banner line "MPlayer <version> (C) ...", or empty when there is none.
std::string PlayerVersionFromBanner(std::string_view output);

// Current when the option list shows "aop" as a mere message ("Print"); otherwise Classic.
PlayerDialect DialectFromOptionList(std::string_view output);

// Asks the player once for its option list. A player that cannot be started gives an empty
// version and the Classic dialect.
PlayerInfo ReadPlayerInfo(const CaptureFunction& capture);

// The gain in dB of the volume filter for a volume position of 0 to 255. The classic plug-in
// scaled samples by ((V^3) >> 12) / 256 and was silent below 16. MPlayer 1.5's filter scales
// 16-bit samples by int(255 * 10^(dB/20)) / 256, so anything below -48.13 dB is silence there:
// the gain is the smooth curve V^3 / 2^20, raised until the filter renders at least the plug-in's
// factor. At most two decimals; positions below 16 stay silent (-200).
std::string VolumeFilterGain(int volume);

// MPlayer 1.5's volume filter on 16-bit samples: the factor (out of 256) that a gain renders.
int RenderedVolumeFactor(double decibels);

} // namespace zuv
