#include "playback/player_choice.h"

#include "options/options.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "playback/mpv_dialect.h"
#include "playback/player_program.h"

namespace zuv {

bool ChoiceRunsMpv(int storedChoice, const std::function<bool(std::string_view program)>& found)
{
    if (storedChoice == kPlayerMPlayer)
        return false;
    if (storedChoice == kPlayerMpv)
        return true;
    return !found(kPlayerProgramName) && found(kMpvProgramName);
}

bool ChoiceRunsMpv(int storedChoice, const std::string& programFolder)
{
    return ChoiceRunsMpv(storedChoice, [&programFolder](std::string_view program) {
        return !platform::FindProgram(std::string(program), programFolder).error;
    });
}

PlayerInfo AskChosenPlayer(int storedChoice, const CaptureFunction& capture)
{
    return ChoiceRunsMpv(storedChoice, platform::ProgramFolder()) ? ReadMpvInfo(capture)
                                                                  : ReadPlayerInfo(capture);
}

std::string PlayerName(PlayerDialect dialect)
{
    return IsMpv(dialect) ? "mpv" : "MPlayer";
}

bool IsCleanEnd(int exitCode, PlayerDialect dialect)
{
    constexpr int kStopped = 255;
    constexpr int kMpvSignal = 4;
    if (exitCode == 0 || exitCode == kStopped)
        return true;
    return IsMpv(dialect) && exitCode == kMpvSignal;
}

} // namespace zuv
