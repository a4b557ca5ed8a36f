#pragma once

#include "platform/folders.h"

#include <string>
#include <string_view>

namespace zuv {

struct SubtitleExtraction
{
    // The unpacked subtitle; empty when the archive holds none or cannot be read.
    std::string path;
    // Why the archive or its subtitle could not be read or written; empty otherwise.
    std::string error;
};

// True for a member name whose extension (from its last ".", none when a "/" follows) is ".SUB"
// or ".SRT" in any letter case.
bool IsSubtitleMemberName(std::string_view name);

// Unpacks the first subtitle member of a ZIP archive, in the order of its central directory, to
// destinationFolder + member name (folders created, an older file replaced) and returns that
// path. The file stays there afterwards. Members that would land outside the folder (absolute
// names, ".." parts), members above TUnZipFile::kMaxMemberSize and symbolic links are passed
// over; when no other subtitle follows, the error says why the first was refused. Without a
// destination folder: the user's private temporary folder (platform::PrivateTempFolder), so that
// no other user can swap the file before the player reads it.
SubtitleExtraction ExtractSubtitle(const std::string& archivePath,
                                   const std::string& destinationFolder = {});

} // namespace zuv
