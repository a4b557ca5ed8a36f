#pragma once

namespace zuv::platform {

// Whether the file system takes names that differ only in letter case for the same file.
bool FileNamesIgnoreCase();

} // namespace zuv::platform
