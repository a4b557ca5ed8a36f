#pragma once

#include "playback/capture.h"

#include <string>
#include <string_view>

namespace zuv {

// How the player takes the volume, normalisation and extra-stereo effects. Older players take
// them as audio plug-ins ("-aop"); MPlayer 1.5 removed that option and refuses to start with it,
// so there the same effects go into the audio filter list.
enum class PlayerDialect
{
    Classic,
    Current,
};

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

// The gain in dB of the volume filter that matches the classic volume plug-in at a volume
// position of 0 to 255: that plug-in scaled samples by ((V^3) >> 12) / 256. At most two
// decimals; positions below 16 silence the sound (-200).
std::string VolumeFilterGain(int volume);

} // namespace zuv
