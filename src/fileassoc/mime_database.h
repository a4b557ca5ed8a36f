#pragma once

#include "fileassoc/desktop_folders.h"

#include <string>
#include <string_view>

namespace zuv {

// What the shared MIME database (shared-mime-info) says about file names.

// The MIME type of files ending in `extension` (".avi"): among the "*.ext" patterns of every
// mime/globs2 in the data search path, matched without regard to letter case unless the pattern
// is marked case-sensitive, the one with the highest weight (the first of equal weights). Empty
// when no pattern matches.
std::string MimeTypeForExtension(const DesktopFolders& folders, std::string_view extension);

// The type's description: the <comment> without xml:lang from mime/<type>.xml, else from the
// type's entry in mime/packages/*.xml; empty when none is found.
std::string MimeTypeComment(const DesktopFolders& folders, std::string_view mimeType);

// The first <comment> without an xml:lang attribute in an XML text, with entities decoded;
// comments of the XML itself are skipped. Empty when there is none.
std::string PlainXmlComment(std::string_view xml);

// The plain comment of the <mime-type type="..."> element for `mimeType` in a package file.
std::string PackageMimeTypeComment(std::string_view xml, std::string_view mimeType);

} // namespace zuv
