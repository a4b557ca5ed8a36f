#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zuv::platform {

// Result of reading a whole file: error 0 on success, else the system error code.
struct FileContent
{
    std::string data;
    int error = 0;
    bool ok() const { return error == 0; }
};

// Reads a regular file whole. A file larger than `maxBytes` is refused with EFBIG, a folder with
// EISDIR, so that outside input never takes unbounded memory.
FileContent ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Replaces the file with `data` through a temporary file in the same folder, flushed to disk and
// renamed over the old one, so a crash or a full disk never leaves a half-written file. A missing
// folder is created. Returns 0 or the system error code; on failure the old file is untouched.
// A symbolic link at `path` stays: the file it leads to is replaced, in that file's own folder; a
// link that leads nowhere or in a circle is an error and nothing is written. Temporary files that
// an earlier, killed write of ours left in the folder are removed.
int WriteFileAtomically(const std::string& path, std::string_view data);

// WriteFileAtomically for a relative name that comes from outside (an archive member, say): the
// folders of `relativePath` are created below `folder`, and no symbolic link below `folder` is
// ever followed. A link at the file's own name is replaced by the new file; a link among its
// folders is refused (ELOOP). An absolute name or one with a ".." part is refused (EINVAL).
int WriteFileAtomicallyBelow(const std::string& folder, std::string_view relativePath,
                             std::string_view data);

// Whether two paths name the same place as the file system compares names: letter for letter on
// Linux, regardless of letter case on Windows. No link or ".." is resolved.
bool SamePath(std::string_view a, std::string_view b);

bool FileExists(const std::string& path);     // a regular file (or a link to one)
bool FolderExists(const std::string& path);   // a folder (or a link to one)
int RemoveFile(const std::string& path);      // 0 or the system error code
int ReadAccessError(const std::string& path); // 0 when the file opens for reading, else the code
// 0 when the user may write the existing file, else the code. A file replaced atomically is
// never opened for writing, so this is asked first where a read-only file must stay as it is.
int WriteAccessError(const std::string& path);
// The absolute path with every link resolved, or `path` itself when that fails.
std::string ResolvedPath(const std::string& path);
int CreateFolders(const std::string& path); // 0 or the system error code; existing is fine

// Names (without folder) of the regular, non-hidden files in `folder` whose names end in
// `suffix` (case-insensitive), in the order the file system returns them.
std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix);

} // namespace zuv::platform
