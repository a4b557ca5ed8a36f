#pragma once

#include "platform/zuvora_error.h"

#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zuv {

// No error, or an error code (the system's, or ZuvoraError) with the text the window shows.
struct AssociationStatus
{
    std::error_code error;
    std::string errorText;
    bool ok() const { return !error; }
};

// What the file-type window shows for one extension.
struct AssociationRowState
{
    AssociationStatus status; // not ok: the window reports it and empties its list
    std::string description;  // column 1
    std::string program;      // column 2: file name of the program that opens it now, or empty
    bool owned = false;       // check box: this program opens it
    // The file type the extension shares with others (ProgID, MIME type), lower case; empty
    // when it has none yet. Rows of one type are taken over and given back together.
    std::string fileType;
};

// Where associations live: the Windows registry layout, or the Linux desktop's MIME defaults.
class AssociationBackend
{
public:
    virtual ~AssociationBackend() = default;

    // Reads the current state afresh. An extension nobody opens is no error.
    virtual AssociationRowState ReadRow(const std::string& extension) = 0;
    // Makes this program open the extension, keeping what opened it before.
    virtual AssociationStatus TakeOver(const std::string& extension) = 0;
    // Restores what opened the extension before TakeOver.
    virtual AssociationStatus GiveBack(const std::string& extension) = 0;
};

// The back end of the running system, for the running program (the desktop's MIME defaults on
// Linux).
std::unique_ptr<AssociationBackend> CreateSystemAssociationBackend();

// Column 1 for an extension without an association: "-", or the well-known names of .qt/.mov
// and .rm/.rmvb (exact letter case).
std::string UnassociatedDescription(std::string_view extension);

// The FileTypes option split at ";"; a trailing ";" adds no entry, an empty text none at all.
std::vector<std::string> SplitFileTypes(std::string_view fileTypes);

// What the add-extension dialog adds for its text: "." in front unless the text begins with one
// (so an empty text gives "."). Nothing else is checked.
std::string ExtensionFromInput(std::string_view text);

struct AssociationChoice
{
    std::string extension;
    bool checked = false;
};

struct AssociationApplyResult
{
    AssociationStatus status;
    // The new FileTypes option, every row joined by ";": when status is ok, or when only rows
    // that could get no file type failed (listKept).
    std::string fileTypes;
    bool listKept = false;
};

// OK of the file-type window. Reads every row afresh first (a failed read stops before any
// change), then decides per file type, in the order of its first row: a type is taken over when
// any of its rows is checked and given back only when none is, and only where that differs from
// its current state. An extension that can get no file type (ZuvoraError::NoFileType, or
// ToolFailed when the type database could not be updated) is reported by name and the others go
// on; any other failure stops the pass (earlier changes stay).
AssociationApplyResult ApplyAssociationChoices(AssociationBackend& backend,
                                               const std::vector<AssociationChoice>& rows);

} // namespace zuv
