#pragma once

#include "fileassoc/association_backend.h"

#include <string>
#include <system_error>

namespace zuv {

// The failures of the desktop's file types with the texts the file-type window shows for them
// (language section [FileAssoc]); every such text is made here.

// A system failure on a file: the system's message and the path.
AssociationStatus FileFailure(std::error_code error, const std::string& path);
// No file type for the extension (and none could be added).
AssociationStatus NoFileTypeFailure(const std::string& extension);
// Our line is written, but `listFile` of higher precedence than `userFile` decides the default.
AssociationStatus OverriddenDefaultFailure(const std::string& mimeType, const std::string& listFile,
                                           const std::string& userFile);
// Given back, but `listFile` still names this program.
AssociationStatus StillOursFailure(const std::string& mimeType, const std::string& listFile);
// update-mime-database failed; `detail` is its output or the reason.
AssociationStatus DatabaseFailure(const std::string& detail);
// Key files we change only when we can edit them line by line.
AssociationStatus DuplicateGroupFailure(const std::string& path, std::string_view group);
AssociationStatus NotTextFailure(const std::string& path);
// The program's path cannot be written into a desktop entry that the desktop accepts.
AssociationStatus CannotRegisterFailure(const std::string& programPath);

} // namespace zuv
