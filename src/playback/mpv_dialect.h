#pragma once

#include "options/options.h"
#include "playback/capture.h"
#include "playback/picture_geometry.h"
#include "playback/player_dialect.h"

#include <string>
#include <string_view>

namespace zuv {

// mpv's forms of the options. The same Options record gives the same picture and the same sound
// as with MPlayer where mpv has a way to do it; double buffering (mpv always has it) and MPlayer's
// automatic post-processing quality have no mpv form. The priority is the process's own (nice).

inline constexpr std::string_view kMpvProgramName = "mpv";

// The option text for mpv, as BuildOptionsText gives it for MPlayer: the user's own parameters
// first, their --af= and --vf= lists merged with the ones the options build.
std::string BuildMpvOptionsText(const Options& options, bool loop, const std::string& mediaPath,
                                ScreenSize screen, const ProbeFunction& probe,
                                PlayerDialect dialect);

// The media path, each subtitle of the comma-joined list as its own --sub-file, the options.
std::string MpvArguments(const std::string& mediaPath, const std::string& subtitlePaths,
                         const std::string& optionsText);

// The arguments and the whole command line in the dialect's player.
std::string RunArguments(PlayerDialect dialect, const std::string& mediaPath,
                         const std::string& subtitlePaths, const std::string& optionsText);
std::string RunCommandLine(PlayerDialect dialect, const std::string& mediaPath,
                           const std::string& subtitlePaths, const std::string& optionsText);

// mpv's probe: one frame decoded into nothing, the size and length printed as MPlayer's identify
// lines, so that one reader serves both players.
std::string MpvProbeCommandLine(const std::string& mediaPath);

// The probe in the dialect's player.
ProbeFunction MakeDialectProbe(PlayerDialect dialect, CaptureFunction capture);

// The lavfi volume of a position 0 to 255: the classic plug-in's factor ((V^3) >> 12) / 256,
// which mpv's float filter renders exactly, as an expression ("244/256"; "0" below 16).
std::string MpvVolumeFactor(int volume);

// The ten bands of MPlayer's equalizer (31.25 Hz to 16 kHz, gains in dB joined with ":") as a
// chain of lavfi peak filters; empty when every gain is 0 or none is a number.
std::string MpvEqualizerChain(std::string_view bands);

// mpv's --sub-scale for MPlayer's text scale: MPlayer's default 3.5 is mpv's default size 1.
std::string MpvSubScale(double mplayerScale);

// mpv's answers: the version of "mpv 0.35.1 Copyright ..." (empty without it), and whether its
// option list knows --sub-fonts-dir.
std::string MpvVersionFromBanner(std::string_view output);
PlayerDialect MpvDialectFromOptionList(std::string_view output);
PlayerInfo ReadMpvInfo(const CaptureFunction& capture);

} // namespace zuv
