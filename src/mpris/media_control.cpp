#include "mpris/media_control.h"

#include "mpris/file_uri.h"
#include "mpris/media_length.h"
#include "util/text_utils.h"

#include <algorithm>

namespace zuv {

namespace {

// Track ids are ours; the "/org/mpris" space is reserved.
constexpr std::string_view kTrackIdPrefix = "/org/zuvora/track/";

void NoteChange(std::vector<std::string>& names, bool changed, std::string name)
{
    if (changed)
        names.push_back(std::move(name));
}

} // namespace

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
        metadata.length = m_run.length;
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
    NoteChange(changes.player, now.playing != before.playing, "PlaybackStatus");
    NoteChange(changes.player, now.canPlay != before.canPlay, "CanPlay");
    NoteChange(changes.player, now.canGoNext != before.canGoNext, "CanGoNext");
    NoteChange(changes.player, now.canGoPrevious != before.canGoPrevious, "CanGoPrevious");
    NoteChange(changes.player, now.metadata != before.metadata, "Metadata");
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
    Refresh();
}

void MediaControl::PlayPause()
{
    // The player takes no commands from us: pausing is done in its own window.
    if (!m_host.State().playing)
        Play();
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
