#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zuv::platform {

// Result of reading a whole file: no error on success.
struct FileContent
{
    std::string data;
    std::error_code error;
    bool ok() const { return !error; }
};

// Reads a regular file whole. A file larger than `maxBytes` is refused with ZuvoraError::TooLarge
// so that outside input never takes unbounded memory; a folder with the system's code for one
// (EISDIR, ERROR_DIRECTORY).
FileContent ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Replaces the file with `data` through a temporary file in the same folder, flushed to disk and
// renamed over the old one, so a crash or a full disk never leaves a half-written file. A missing
// folder is created. Returns the system error, if any; on failure the old file is untouched.
// A symbolic link at `path` stays: the file it leads to is replaced, in that file's own folder; a
// link that leads nowhere or in a circle is an error and nothing is written. Temporary files that
// an earlier, killed write of ours left in the folder are removed.
std::error_code WriteFileAtomically(const std::string& path, std::string_view data);

// WriteFileAtomically for a relative name that comes from outside (an archive member, say): the
// folders of `relativePath` are created below `folder`, and no symbolic link below `folder` is
// ever followed. A link at the file's own name is replaced by the new file; a link among its
// folders is refused (ELOOP). An absolute name or one with a ".." part is refused (EINVAL).
std::error_code WriteFileAtomicallyBelow(const std::string& folder, std::string_view relativePath,
                                         std::string_view data);

// Whether two paths name the same place as the file system compares names: letter for letter on
// Linux, regardless of letter case on Windows. No link or ".." is resolved.
bool SamePath(std::string_view a, std::string_view b);

bool FileExists(const std::string& path);   // a regular file (or a link to one)
bool FolderExists(const std::string& path); // a folder (or a link to one)
std::error_code RemoveFile(const std::string& path);
std::error_code ReadAccessError(const std::string& path); // none when the file opens for reading
// None when the user may write the existing file. A file replaced atomically is
// never opened for writing, so this is asked first where a read-only file must stay as it is.
std::error_code WriteAccessError(const std::string& path);
// The absolute path with every link resolved, or `path` itself when that fails.
std::string ResolvedPath(const std::string& path);
std::error_code CreateFolders(const std::string& path); // an existing folder is fine

// Names (without folder) of the regular, non-hidden files in `folder` whose names end in
// `suffix` (case-insensitive), in the order the file system returns them.
std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix);

} // namespace zuv::platform
