#pragma once

#include "playback/capture.h"
#include "playback/player_dialect.h"

#include <functional>
#include <string>
#include <string_view>

namespace zuv {

// The program a stored choice runs. Automatic takes MPlayer when `found("mplayer")`, mpv when
// only `found("mpv")`, and MPlayer when neither is there (its start then fails as always).
// A choice outside the list counts as Automatic.
bool ChoiceRunsMpv(int storedChoice, const std::function<bool(std::string_view program)>& found);

// The same with the programs looked up as a start looks them up: the program folder, then PATH.
bool ChoiceRunsMpv(int storedChoice, const std::string& programFolder);

// Asks the chosen player for its version and dialect.
PlayerInfo AskChosenPlayer(int storedChoice, const CaptureFunction& capture);

// The player's name as captions and the Info page show it.
std::string PlayerName(PlayerDialect dialect);

// Whether a run ended as it should: 0 (mpv's too when its user quits), or 255 after Stop; with
// mpv also 4, its end by a signal or Ctrl+C in its window. mpv's 1 (error at start), 2 (the file
// could not be played) and 3 (some files failed) are unclean ends, as any other code is.
bool IsCleanEnd(int exitCode, PlayerDialect dialect);

} // namespace zuv
