#pragma once

#include "fileassoc/association_backend.h"
#include "fileassoc/desktop_folders.h"

#include <string>
#include <string_view>
#include <utility>

namespace zuv {

// The types we add for extensions the MIME database does not know: application/x-zuvora-<name>,
// one package $XDG_DATA_HOME/mime/packages/zuvora-<name>.xml each, compiled by the system's
// update-mime-database.
inline constexpr std::string_view kOwnTypePrefix = "application/x-zuvora-";

class OwnMimeTypes
{
public:
    explicit OwnMimeTypes(DesktopFolders folders) : m_folders(std::move(folders)) {}

    // Adds a type for `extension` and gives it in `mimeType`. Only plain extensions (letters,
    // digits, "-_+.") get one, and only when the database then gives that type for them; any
    // failure leaves nothing behind and is ZuvoraError::NoFileType, its cause in the text.
    AssociationStatus Add(const std::string& extension, std::string& mimeType);
    // Removes our type again (nothing for any other type). With the last package go the files
    // update-mime-database made from the packages, so that the data home is as it was.
    AssociationStatus Remove(const std::string& mimeType);

private:
    AssociationStatus UpdateDatabase();

    DesktopFolders m_folders;
};

} // namespace zuv
