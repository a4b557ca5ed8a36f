#include "playback/playback_began.h"

namespace zuv {

namespace {

bool StartsWithMarker(std::string_view line, std::string_view marker)
{
    if (marker.empty())
        return false;
    // The status line before it may end in CR only; blanks before the text are no part of it.
    const std::size_t start = line.find_first_not_of(" \t\r");
    return start != std::string_view::npos && line.substr(start).starts_with(marker);
}

} // namespace

PlaybackMarkers PlaybackMarkersFor(PlayerDialect dialect)
{
    switch (dialect) {
    case PlayerDialect::Classic:
    case PlayerDialect::Current:
        return {"Starting playback...", "Exiting..."};
    case PlayerDialect::Mpv:
    case PlayerDialect::MpvFontFolder:
        // mpv says with its exit code (2) that it could not open or play a file.
        return {};
    }
    return {};
}

void PlaybackBeganWatch::Reset(PlaybackMarkers markers)
{
    m_markers = markers;
    m_began = false;
    m_farewell = false;
}

void PlaybackBeganWatch::Feed(std::string_view line)
{
    if (StartsWithMarker(line, m_markers.began))
        m_began = true;
    else if (StartsWithMarker(line, m_markers.farewell))
        m_farewell = true;
}

void PlaybackBeganWatch::Feed(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        Feed(line);
}

} // namespace zuv
