#pragma once

#include <string>

namespace zuv::platform {

// Every folder below ends in a path separator.

// The folder of the running executable (links resolved).
std::string ProgramFolder();
// Test seam: makes ProgramFolder() answer `folder` (empty: the executable's folder again).
void SetProgramFolderForTesting(std::string folder);

// The full path of the running executable (links resolved); empty when the system does not say.
std::string ProgramFile();

// The process's current folder, or empty when it cannot be told.
std::string CurrentFolder();

// The folder for temporary files: elsewhere than on Windows TMPDIR when it is an absolute path,
// else /tmp.
std::string TempFolder();

// A folder for the program's temporary files that no other user can enter: on Windows the
// temporary folder itself (it is the user's own); elsewhere a folder of ours inside it, created
// 0700 and checked, as opened, to be a folder (not a link) of this user, below folders that only
// root or we can change (links in TMPDIR resolved). Empty when it cannot be had, for instance
// because another user took its name first or could move it.
std::string PrivateTempFolder();

// The user's own folder for the program's files; empty when the system names none.
std::string ProfileFolder();

// True when the file or folder belongs to another user than the one running the program.
bool OwnedByOtherUser(const std::string& path);

} // namespace zuv::platform
