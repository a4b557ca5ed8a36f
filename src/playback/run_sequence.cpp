#include "playback/run_sequence.h"

#include "archive/subtitle_extraction.h"
#include "lang/language.h"
#include "platform/zuvora_error.h"
#include "playback/capture_run.h"
#include "playback/command_line_builder.h"
#include "playback/mpv_dialect.h"
#include "playback/player_choice.h"
#include "util/argv_split.h"
#include "util/text_utils.h"

namespace zuv {

namespace {

std::string StartErrorMessage(const platform::ProcessStartError& error, PlayerDialect dialect)
{
    // MPlayer's text keeps its designed key; mpv has a key of its own, as the name is inflected
    // in the sentence. Both cases of a player read the same key; only the built-in text differs.
    const bool mpv = IsMpv(dialect);
    const char* key = mpv ? "101" : "100";
    const std::string_view builtIn =
        mpv ? "Nem tudom elindítani az mpv-t!" : "Nem tudom elindítani az MPlayert!";
    std::string message;
    if (error.step == platform::ProcessStartStep::CreatePipe) {
        message = Langunit().GetText("Errors", key, std::string(builtIn) + " (%e)");
        ReplaceAll(message, "%e", "CreatePipe");
    } else {
        message = Langunit().GetText("Errors", key, std::string(builtIn) + "\n\n%e");
        ReplaceAll(message, "%e", platform::ErrorMessage(error.error));
    }
    return message;
}

} // namespace

RunSequence::RunSequence(PlaybackHost& host, PlayerDriver& player)
    : m_host(host), m_player(player), m_probe(MakeProbe(PlayerCaptureFunction()))
{}

void RunSequence::ActionStartExecute()
{
    // Every way of starting comes here (button, Enter, drop, command line, hand-over, restart):
    // a disabled Start, while a player runs or is being started, does nothing.
    if (!m_host.StartEnabled())
        return;
    const Options options = m_host.CurrentOptions().options;
    if (options.Playlist && !m_host.PlaylistItems().Empty()) {
        m_playlistMode = true;
        const int selected = m_host.SelectedPlaylistItem();
        if (selected >= 0) {
            m_playlistIndex = selected;
        } else {
            m_playlistIndex = 0;
            m_host.SelectPlaylistItem(0);
        }
        PlayItem(m_playlistIndex);
        return;
    }
    m_playlistMode = false;
    Play(options.LastFile, options.LastSubFile);
}

bool RunSequence::PlayItem(int row)
{
    const PlaylistItem& item = m_host.PlaylistItems().Item(static_cast<std::size_t>(row));
    // Copies: showing an error box may let the list change underneath.
    return Play(std::string(item.mediaPath), std::string(item.subtitlePath));
}

bool RunSequence::Play(const std::string& mediaPath, const std::string& subtitlePath)
{
    m_restartPending = false;
    if (mediaPath.empty())
        return false;
    m_host.EnableStart(false);

    std::string subtitle = subtitlePath;
    if (!subtitle.empty() && ToUpperAscii(ExtensionPart(subtitle)) == ".ZIP") {
        const SubtitleExtraction extracted = ExtractSubtitle(subtitle);
        if (!extracted.error.empty()) {
            // The film still plays, without its subtitle.
            m_host.ShowError(subtitle + "\n\n" + extracted.error);
        }
        subtitle = extracted.path;
    }

    const RunOptions current = m_host.CurrentOptions();
    const Options& options = current.options;
    m_dialect = m_playerInfo.Get(options.Player).dialect;
    const std::string optionsText = BuildOptionsText(
        options, current.loop, mediaPath, m_player.CurrentScreenSize(),
        IsMpv(m_dialect) ? MakeDialectProbe(m_dialect, PlayerCaptureFunction()) : m_probe,
        m_dialect);

    if (options.ShowResultWindow && !options.ShowResultOnErrorOnly && !m_host.ResultWindowVisible())
        m_host.ShowResultWindow();

    m_began.Reset(PlaybackMarkersFor(m_dialect));
    std::string commandLine = RunCommandLine(m_dialect, mediaPath, subtitle, optionsText);
    // The media keys pause and seek mpv through its socket; not part of the shown command line.
    if (IsMpv(m_dialect)) {
        if (const std::string socket = m_player.NewControlSocket(); !socket.empty())
            commandLine += " --input-ipc-server=" + QuoteArgument(socket);
    }
    const platform::ProcessStartError error =
        m_player.StartPlayer(commandLine, options.MPlayerPriority);
    if (error.failed()) {
        m_host.ShowError(StartErrorMessage(error, m_dialect));
        m_host.EnableStart(true);
        return false;
    }
    m_host.ClearResult();
    m_host.AddResultLine("commandline: \"" +
                         RunArguments(m_dialect, mediaPath, subtitle, optionsText) + '"');
    SetPlayingState(true);
    if (options.DisableScrSaver)
        m_player.KeepScreenSaverAway(true);
    return true;
}

void RunSequence::SetPlayingState(bool on)
{
    m_playing = on;
    m_host.ShowPlayingState(on);
}

void RunSequence::SkipToPlaylistItem(int row)
{
    if (!m_playing || row < 0 || static_cast<std::size_t>(row) >= m_host.PlaylistItems().Count())
        return;
    m_playlistMode = true;
    m_playlistIndex = row - 1;
    m_player.StopPlayer();
}

void RunSequence::ActionStopExecute()
{
    if (!m_playing)
        return;
    m_playlistMode = false;
    m_player.StopPlayer();
}

void RunSequence::ScreenSaverSwitchChanged(bool on)
{
    if (m_playing)
        m_player.KeepScreenSaverAway(on);
}

void RunSequence::PlayerExited(std::optional<int> readCode)
{
    const int exitCode = readCode.value_or(0);
    m_player.KeepScreenSaverAway(false);
    if (m_host.WindowsReleased()) {
        // The program is ending: its windows are gone and nothing follows the run.
        SetPlayingState(false);
        return;
    }
    m_host.AddResultLine(readCode ? "...exited, code: " + std::to_string(*readCode) : "...exited");

    // After Stop (255) the run ended as asked, begun or not.
    if (!IsCleanEnd(exitCode, m_dialect) || (exitCode == 0 && m_began.NeverBegan())) {
        SetPlayingState(false);
        const Options options = m_host.CurrentOptions().options;
        if (options.ShowResultWindow && options.ShowResultOnErrorOnly)
            m_host.ShowResultWindow();
        return;
    }

    if (m_playlistMode) {
        ++m_playlistIndex;
        if (static_cast<std::size_t>(m_playlistIndex) < m_host.PlaylistItems().Count()) {
            m_host.SelectPlaylistItem(m_playlistIndex);
            if (PlayItem(m_playlistIndex))
                return;
            // The next item did not start: no player runs, so the window must not look busy.
            SetPlayingState(false);
            return;
        }
        m_playlistIndex = 0;
        m_host.SelectPlaylistItem(0);
    }
    SetPlayingState(false);

    if (m_restartPending) {
        ActionStartExecute();
        return;
    }
    if (m_host.CurrentOptions().options.Shutdown && m_host.RunCountdown(kShutdownSeconds)) {
        m_host.PowerOff();
        m_host.CloseMainWindow();
    }
}

} // namespace zuv
