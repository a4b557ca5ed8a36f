#pragma once

#include "options/options.h"
#include "platform/folders.h"
#include "platform/system_utils.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zuv {

// One playlist entry with the four texts the list view shows or keeps.
struct PlaylistItem
{
    std::string caption;      // file name part of the media path ("Média fájl" column)
    std::string subtitleName; // file name part of the subtitle path ("Felirat" column)
    std::string mediaPath;
    std::string subtitlePath; // empty when the item has no subtitle
};

// The longest name (in bytes) taken: the file fields would cut a longer one.
constexpr std::size_t kMaxNameLength = kMaxFieldText;

// Why a file name that arrives (command line, drop, dialog, hand-over, media controls) is not
// taken, empty when it is: the playlist file could not give it back as it is ("|" splits its
// line, CR and LF end it), or the file fields would cut it.
std::string RefusalOfName(std::string_view name);

// Outcome of reading or writing a playlist file.
struct PlaylistFileResult
{
    std::error_code error;
    std::string errorText; // its message, for the error box
    bool ok() const { return !error; }
};

// The ordered list of media files with optional subtitles.
//
// File format: one item per line, media path, "|", subtitle path; lines end with CR LF when
// written and with CR LF, LF or CR when read. Only the first "|" splits, so a subtitle path may
// hold "|" but a media path may not. A line without "|" is a subtitle path alone; an empty line
// is an item with both paths empty. A line end closes a line, so the end of the file after the
// last line end is no further (empty) item: saving and loading again gives the same list.
class Playlist
{
public:
    // Larger files are refused rather than read.
    static constexpr std::size_t kMaxFileSize = 64u * 1024u * 1024u;

    const std::vector<PlaylistItem>& Items() const { return m_items; }
    std::size_t Count() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }
    const PlaylistItem& Item(std::size_t index) const { return m_items.at(index); }

    void AddItem(std::string_view mediaPath, std::string_view subtitlePath);
    // False when there is no such item.
    bool SetItemSubtitle(std::size_t index, std::string_view subtitlePath);
    bool DeleteItem(std::size_t index);
    // Swap with the neighbour and return the item's new index; the first item does not move up
    // nor the last one down (nor an index out of range): the index comes back unchanged.
    std::size_t MoveItemUp(std::size_t index);
    std::size_t MoveItemDown(std::size_t index);
    void Clear() { m_items.clear(); }

    // The item's hint: its media path and, when it has one, a line feed and its subtitle path.
    std::string InfoTip(std::size_t index) const;

    // Appends the file's items. On failure the list is unchanged; a list that does not fit in
    // memory fails as a file too large.
    PlaylistFileResult LoadFile(const std::string& path);
    // Replaces the file with the list, atomically; on failure the old file stays as it was.
    PlaylistFileResult SaveFile(const std::string& path) const;

    // The file format without the file: appends the items of a file's text, and the text of the
    // whole list.
    void LoadText(std::string_view text);
    // Items that would read back otherwise (see RefusalOfName) are left out.
    std::string SaveText() const;

private:
    std::vector<PlaylistItem> m_items;
};

// The playlist kept between runs in "playlist.txt".
//
// The file is looked for in the profile folder first, else in the program folder; that choice
// is remembered for the exit. An empty profile folder means the program folder. A shared program
// folder (an installed copy) is only read: its file gives the first start's list, which is kept
// in the profile folder; without a profile folder nothing is written.
class AutomaticPlaylistFile
{
public:
    static constexpr std::string_view kFileName = "playlist.txt";

    explicit AutomaticPlaylistFile(std::string profileFolder = HomeFolder(),
                                   std::string programFolder = platform::ProgramFolder(),
                                   bool programFolderShared = false);

    // Loads the chosen file into the list when it exists (a missing file is no error).
    PlaylistFileResult Load(Playlist& playlist);

    // At exit: saves a non-empty list to the chosen file; when that fails and the file is not
    // in the profile folder, saves it there instead (which the next start finds first).
    // An empty list deletes the chosen file (or, when a shared program folder holds a list,
    // empties it). A file that could not be loaded may still hold a
    // list: it is never deleted or replaced; a non-empty list goes to the profile folder, and
    // when the file is there, the loading error is answered.
    PlaylistFileResult SaveOrDelete(const Playlist& playlist);

    // The chosen file; after a fallback save, the file in the profile folder.
    const std::string& FilePath() const { return m_filePath; }

private:
    bool IsInProfileFolder(const std::string& path) const;

    std::string m_profileFolder;
    std::string m_filePath;
    std::string m_readPath;   // differs from m_filePath for a shared program folder's defaults
    std::string m_sharedFile; // the shared program folder's file, when there is a profile folder
    bool m_readOnly = false;
    PlaylistFileResult m_loadFailure;
};

} // namespace zuv
