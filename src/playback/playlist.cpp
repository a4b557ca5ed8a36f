#include "playback/playlist.h"

#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/system_utils.h"
#include "platform/zuvora_error.h"
#include "util/ini_document.h"
#include "util/text_utils.h"

#include <new>
#include <utility>

namespace zuv {

namespace {

PlaylistItem MakeItem(std::string_view mediaPath, std::string_view subtitlePath)
{
    return PlaylistItem{FileNamePart(mediaPath), FileNamePart(subtitlePath), std::string(mediaPath),
                        std::string(subtitlePath)};
}

PlaylistFileResult FileResult(std::error_code error)
{
    PlaylistFileResult result;
    result.error = error;
    result.errorText = platform::ErrorMessage(error);
    if (error == ZuvoraError::TooLarge)
        result.errorText += " (a playlist file may hold at most 64 MiB)";
    return result;
}

std::string WithTrailingSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// The line reads back as the same item.
bool ReadsBackAsItIs(const PlaylistItem& item)
{
    return item.mediaPath.find_first_of("|\r\n") == std::string::npos &&
           item.subtitlePath.find_first_of("\r\n") == std::string::npos;
}

} // namespace

std::string RefusalOfName(std::string_view name)
{
    if (name.find_first_of("|\r\n") != std::string_view::npos)
        return "The name holds a character that the playlist file cannot keep (\"|\" or a line "
               "break): " +
               std::string(name.substr(0, 200));
    if (name.size() > kMaxNameLength)
        return "The name is longer than " + std::to_string(kMaxNameLength) +
               " characters, more than the file fields hold: " + std::string(name.substr(0, 200)) +
               "...";
    return {};
}

void Playlist::AddItem(std::string_view mediaPath, std::string_view subtitlePath)
{
    m_items.push_back(MakeItem(mediaPath, subtitlePath));
}

bool Playlist::SetItemSubtitle(std::size_t index, std::string_view subtitlePath)
{
    if (index >= m_items.size())
        return false;
    m_items[index].subtitleName = FileNamePart(subtitlePath);
    m_items[index].subtitlePath = std::string(subtitlePath);
    return true;
}

bool Playlist::DeleteItem(std::size_t index)
{
    if (index >= m_items.size())
        return false;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

std::size_t Playlist::MoveItemUp(std::size_t index)
{
    if (index == 0 || index >= m_items.size())
        return index;
    std::swap(m_items[index], m_items[index - 1]);
    return index - 1;
}

std::size_t Playlist::MoveItemDown(std::size_t index)
{
    if (index + 1 >= m_items.size())
        return index;
    std::swap(m_items[index], m_items[index + 1]);
    return index + 1;
}

std::string Playlist::InfoTip(std::size_t index) const
{
    const PlaylistItem& item = m_items.at(index);
    if (item.subtitlePath.empty())
        return item.mediaPath;
    return item.mediaPath + '\n' + item.subtitlePath;
}

PlaylistFileResult Playlist::LoadFile(const std::string& path)
{
    try {
        const platform::FileContent content = platform::ReadWholeFile(path, kMaxFileSize);
        if (!content.ok())
            return FileResult(content.error);
        LoadText(content.data);
    } catch (const std::bad_alloc&) {
        // Too large for the memory we may take: as too large by size, the file is kept.
        PlaylistFileResult result{ZuvoraError::TooLarge, {}};
        result.errorText = platform::ErrorMessage(result.error) +
                           " (the list does not fit in the memory the program may use)";
        return result;
    }
    return {};
}

PlaylistFileResult Playlist::SaveFile(const std::string& path) const
{
    return FileResult(platform::WriteFileAtomically(path, SaveText()));
}

void Playlist::LoadText(std::string_view text)
{
    const std::vector<std::string_view> lines = SplitLines(text);
    const std::size_t oldCount = m_items.size();
    try {
        m_items.reserve(oldCount + lines.size());
        for (const std::string_view line : lines) {
            const std::size_t bar = line.find('|');
            if (bar == std::string_view::npos)
                m_items.push_back(MakeItem({}, line));
            else
                m_items.push_back(MakeItem(line.substr(0, bar), line.substr(bar + 1)));
        }
    } catch (...) {
        m_items.resize(oldCount);
        throw;
    }
}

std::string Playlist::SaveText() const
{
    std::string text;
    std::size_t size = 0;
    for (const PlaylistItem& item : m_items)
        size += item.mediaPath.size() + item.subtitlePath.size() + 3;
    text.reserve(size);
    for (const PlaylistItem& item : m_items) {
        if (!ReadsBackAsItIs(item))
            continue;
        text += item.mediaPath;
        text += '|';
        text += item.subtitlePath;
        text += "\r\n";
    }
    return text;
}

AutomaticPlaylistFile::AutomaticPlaylistFile(std::string profileFolder, std::string programFolder,
                                             bool programFolderShared)
    : m_profileFolder(WithTrailingSeparator(std::move(profileFolder)))
{
    programFolder = WithTrailingSeparator(std::move(programFolder));
    if (m_profileFolder.empty()) {
        m_profileFolder = programFolder;
        m_readOnly = programFolderShared;
    }
    m_filePath = m_profileFolder + std::string(kFileName);
    const std::string programFile = programFolder + std::string(kFileName);
    if (programFolderShared && m_filePath != programFile)
        m_sharedFile = programFile;
    m_readPath = m_filePath;
    if (!platform::FileExists(m_filePath)) {
        m_readPath = programFile;
        if (!programFolderShared)
            m_filePath = m_readPath;
    }
}

PlaylistFileResult AutomaticPlaylistFile::Load(Playlist& playlist)
{
    // Anything but a missing file counts, a folder in its place too; but a shared program
    // folder's list that cannot be read is only a missing default.
    PlaylistFileResult result = playlist.LoadFile(m_readPath);
    if (platform::IsNotFoundError(result.error) || m_readPath != m_filePath)
        result = {};
    m_loadFailure = result;
    return result;
}

PlaylistFileResult AutomaticPlaylistFile::SaveOrDelete(const Playlist& playlist)
{
    const bool keepChosenFile = !m_loadFailure.ok();
    if (m_readOnly)
        return playlist.Empty() ? PlaylistFileResult{}
                                : FileResult(platform::SystemError(platform::kErrorAccessDenied));
    if (playlist.Empty()) {
        if (keepChosenFile)
            return {};
        // An empty file keeps the shared program folder's list from coming back at every start.
        if (!m_sharedFile.empty() && platform::FileExists(m_sharedFile))
            return playlist.SaveFile(m_filePath);
        const std::error_code error = platform::RemoveFile(m_filePath);
        return FileResult(error == std::errc::no_such_file_or_directory ? std::error_code()
                                                                        : error);
    }
    PlaylistFileResult result = keepChosenFile ? m_loadFailure : playlist.SaveFile(m_filePath);
    if (result.ok() || IsInProfileFolder(m_filePath))
        return result;
    const std::string fallback = m_profileFolder + std::string(kFileName);
    result = playlist.SaveFile(fallback);
    if (result.ok())
        m_filePath = fallback;
    return result;
}

bool AutomaticPlaylistFile::IsInProfileFolder(const std::string& path) const
{
    // Against the folder this object was given.
    return IsDirectlyInFolder(path, m_profileFolder);
}

} // namespace zuv
