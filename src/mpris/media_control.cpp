#include "mpris/media_control.h"

#include "mpris/file_uri.h"
#include "mpris/media_length.h"
#include "util/text_utils.h"

#include <algorithm>
#include <cmath>

namespace zuv {

namespace {

// Track ids are ours; the "/org/mpris" space is reserved.
constexpr std::string_view kTrackIdPrefix = "/org/zuvora/track/";

void NoteChange(std::vector<std::string>& names, bool changed, std::string name)
{
    if (changed)
        names.push_back(std::move(name));
}

std::int64_t Microseconds(double seconds)
{
    // Slightly negative at the start of some files; past any length a film can have: 0.
    if (!(seconds > 0) || seconds > 1e12)
        return 0;
    return static_cast<std::int64_t>(std::llround(seconds * 1e6));
}

} // namespace

PlayerReport PlayerReportOf(const MpvPlayState& state)
{
    PlayerReport report;
    report.paused = state.paused;
    report.position = state.position ? Microseconds(*state.position) : 0;
    report.volume = state.volume / 100.0;
    if (state.duration && Microseconds(*state.duration) > 0)
        report.length = Microseconds(*state.duration);
    report.seekable = state.seekable;
    return report;
}

MediaControl::MediaControl(MediaControlHost& host, MimeTypeLookup mimeTypeOf)
    : m_host(host), m_mimeTypeOf(std::move(mimeTypeOf))
{}

void MediaControl::NoteRun(const MediaState& state)
{
    if (!state.playing || state.runId == m_run.id)
        return;
    m_run = Run{};
    m_run.id = state.runId;
    m_run.trackId = std::string(kTrackIdPrefix) + std::to_string(++m_runCount);
    m_run.mediaPath = state.runMediaPath;
    if (!m_probedMedia.empty() && m_probedMedia == state.runMediaPath)
        m_run.length = m_probedLength;
}

std::optional<int> MediaControl::NeighbourItem(const MediaState& state, int step) const
{
    int current = 0;
    if (state.playing) {
        // A single file has no neighbours.
        if (!state.playlistRun)
            return std::nullopt;
        current = m_run.skipTarget.value_or(state.playlistItem);
    } else {
        if (!state.playlistInUse)
            return std::nullopt;
        // Without a selection Start plays the first item.
        current = std::max(state.playlistItem, 0);
    }
    const int target = current + step;
    if (target < 0 || target >= state.playlistCount)
        return std::nullopt;
    return target;
}

const std::vector<std::string>& MediaControl::MimeTypes(const std::string& fileTypes)
{
    // The lookup reads the shared MIME database: only when the file types have changed.
    if (fileTypes != m_mimeTypesOf) {
        m_mimeTypesOf = fileTypes;
        m_mimeTypes.clear();
        std::string list = fileTypes;
        while (!list.empty()) {
            const std::string extension = Trim(SplitFirst(list, ";"));
            if (extension.empty() || !m_mimeTypeOf)
                continue;
            const std::string type = m_mimeTypeOf(extension);
            if (!type.empty() &&
                std::find(m_mimeTypes.begin(), m_mimeTypes.end(), type) == m_mimeTypes.end())
                m_mimeTypes.push_back(type);
        }
    }
    return m_mimeTypes;
}

MediaProperties MediaControl::PropertiesOf(const MediaState& state)
{
    MediaProperties properties;
    properties.supportedMimeTypes = MimeTypes(state.fileTypes);
    properties.playing = state.playing;
    const bool controlled = state.playing && state.player;
    properties.paused = controlled && state.player->paused;
    properties.canPause = controlled;
    properties.canSeek = controlled && state.player->seekable;
    properties.volume = controlled ? state.player->volume : 1.0;
    const bool somethingToStart = state.playlistInUse || !Trim(state.mediaFile).empty();
    // While a player runs Play does nothing, yet clients send Stop only where CanPlay holds.
    properties.canPlay = state.playing || (state.startEnabled && somethingToStart);
    properties.canGoNext = NeighbourItem(state, 1).has_value();
    properties.canGoPrevious = NeighbourItem(state, -1).has_value();
    if (state.playing) {
        MediaMetadata metadata;
        metadata.trackId = m_run.trackId;
        metadata.url = FileUriOfPath(m_run.mediaPath).value_or(std::string());
        metadata.title = FileNamePart(m_run.mediaPath);
        // The player's own length counts over the probe's.
        metadata.length = controlled && state.player->length ? state.player->length : m_run.length;
        properties.metadata = std::move(metadata);
    }
    return properties;
}

void MediaControl::Refresh()
{
    const MediaState state = m_host.State();
    NoteRun(state);
    MediaProperties now = PropertiesOf(state);
    if (!m_reported) {
        m_reported = std::move(now);
        return;
    }
    const MediaProperties& before = *m_reported;
    MediaPropertyChanges changes;
    NoteChange(changes.root, now.supportedMimeTypes != before.supportedMimeTypes,
               "SupportedMimeTypes");
    NoteChange(changes.player, now.playing != before.playing || now.paused != before.paused,
               "PlaybackStatus");
    NoteChange(changes.player, now.canPlay != before.canPlay, "CanPlay");
    NoteChange(changes.player, now.canGoNext != before.canGoNext, "CanGoNext");
    NoteChange(changes.player, now.canGoPrevious != before.canGoPrevious, "CanGoPrevious");
    NoteChange(changes.player, now.metadata != before.metadata, "Metadata");
    NoteChange(changes.player, now.canPause != before.canPause, "CanPause");
    NoteChange(changes.player, now.canSeek != before.canSeek, "CanSeek");
    NoteChange(changes.player, now.volume != before.volume, "Volume");
    // Noted before anyone hears of it, so that a handler that reads the properties finds no
    // change again.
    m_reported = std::move(now);
    if (m_changed && (!changes.root.empty() || !changes.player.empty()))
        m_changed(*m_reported, changes);
}

const MediaProperties& MediaControl::Properties()
{
    Refresh();
    return *m_reported;
}

void MediaControl::Play()
{
    Refresh();
    const MediaState state = m_host.State();
    if (!state.playing && m_reported->canPlay)
        m_host.Start();
    else if (const auto player = Controlled(); player && player->paused)
        m_host.SetPaused(false);
    Refresh();
}

void MediaControl::PlayPause()
{
    // MPlayer takes no commands from us: it is paused in its own window.
    if (const auto player = Controlled())
        m_host.SetPaused(!player->paused);
    else if (!m_host.State().playing)
        Play();
}

std::optional<PlayerReport> MediaControl::Controlled() const
{
    const MediaState state = m_host.State();
    return state.playing ? state.player : std::nullopt;
}

void MediaControl::Pause()
{
    if (const auto player = Controlled(); player && !player->paused)
        m_host.SetPaused(true);
}

void MediaControl::Seek(std::int64_t offset)
{
    const auto player = Controlled();
    if (!player || !player->seekable)
        return;
    // Past the end the player ends the file and the run goes on as after its end.
    if (player->position + offset < 0)
        m_host.SeekTo(0);
    else
        m_host.SeekBy(offset);
}

void MediaControl::SetPosition(const std::string& trackId, std::int64_t position)
{
    Refresh(); // the track id of a run that has just begun
    const auto player = Controlled();
    if (!player || !player->seekable || trackId != m_run.trackId || position < 0)
        return;
    const std::optional<std::int64_t> length = player->length ? player->length : m_run.length;
    if (length && position > *length)
        return;
    m_host.SeekTo(position);
}

void MediaControl::SetVolume(double volume)
{
    if (Controlled())
        m_host.SetVolume(volume < 0 || volume != volume ? 0.0 : volume);
}

std::int64_t MediaControl::Position() const
{
    const auto player = Controlled();
    return player ? player->position : 0;
}

void MediaControl::PlayerSeeked()
{
    Refresh();
    if (!m_changed || !Controlled())
        return;
    MediaPropertyChanges changes;
    changes.seeked = Position();
    m_changed(*m_reported, changes);
}

void MediaControl::Stop()
{
    if (m_host.State().playing)
        m_host.Stop();
    Refresh();
}

void MediaControl::MoveBy(int step)
{
    Refresh();
    const MediaState state = m_host.State();
    const std::optional<int> target = NeighbourItem(state, step);
    if (!target)
        return;
    if (state.playing) {
        m_run.skipTarget = target;
        m_host.SkipToItem(*target);
    } else {
        // A stopped player stays stopped; Start then plays the item.
        m_host.SelectItem(*target);
    }
    Refresh();
}

void MediaControl::Next()
{
    MoveBy(1);
}

void MediaControl::Previous()
{
    MoveBy(-1);
}

void MediaControl::OpenFile(const std::string& path)
{
    Refresh();
    const MediaState state = m_host.State();
    m_host.SetMediaFile(path);
    if (state.playlistInUse) {
        m_host.AddPlaylistItem(path);
        const int row = state.playlistCount;
        if (state.playing) {
            m_run.skipTarget = row;
            m_host.SkipToItem(row);
        } else {
            m_host.SelectItem(row);
            m_host.Start();
        }
    } else if (state.playing) {
        m_host.StopAndRestart();
    } else {
        m_host.Start();
    }
    Refresh();
}

void MediaControl::PlayerOutput(const std::vector<std::string>& lines)
{
    // The run the lines belong to may not have been seen yet.
    const MediaState state = m_host.State();
    NoteRun(state);
    if (const auto length = LengthFromPlayerLines(lines); length && state.playing)
        m_run.length = length;
    Refresh();
}

void MediaControl::ProbeAnswered(const std::string& mediaPath, std::string_view output)
{
    m_probedMedia = mediaPath;
    m_probedLength = LengthFromIdentifyOutput(output);
}

} // namespace zuv
