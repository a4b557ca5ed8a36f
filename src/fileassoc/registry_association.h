#pragma once

#include "fileassoc/association_backend.h"
#include "fileassoc/registry_store.h"

#include <string>

namespace zuv {

// The file-type layout under HKEY_CLASSES_ROOT:
//   .ext                          default: the ProgID
//   ProgID                        default: the description ("Media file" when it had none)
//   ProgID\shell                  default: the verb ("open"); "zuv.exe": the verb it had before
//   ProgID\shell\open             default: the menu caption ("&Open" when it had none)
//   ProgID\shell\open\command     default: the command; "zuv.exe": the command it had before
// Every function answers the error of the step that failed, if any; kRegistryNotFound means that
// a key or value is missing.

// The ProgID an extension gets when it has none: ".avi" → "avifile".
std::string NewProgId(const std::string& extension);

// The open command that makes this program open a file: "<program>" "%L".
std::string AssociationCommand(const std::string& programPath);

// True when the command starts `programPath` (file names compared without regard to letter case).
bool IsCommandOfProgram(const std::string& command, const std::string& programPath);

// The command and description of an extension's default verb. No error only when the command
// was read; the description is set when the file type has one.
std::error_code ReadAssociation(RegistryStore& store, const std::string& extension,
                                std::string& command, std::string& description);

// Makes `command` open the extension, creating the ProgID, description, verb and caption where
// they are missing and saving the verb and command it replaces in the backup values.
std::error_code Associate(RegistryStore& store, const std::string& extension,
                          const std::string& command);

// Puts the saved command and verb back (an empty command when none was saved) and deletes the
// backups. The extension key, ProgID, description and caption stay.
std::error_code RemoveAssociation(RegistryStore& store, const std::string& extension);

// The file-type window's view of the registry.
class RegistryAssociationBackend : public AssociationBackend
{
public:
    // `programPath`: the running program's full path.
    RegistryAssociationBackend(RegistryStore& store, std::string programPath);

    AssociationRowState ReadRow(const std::string& extension) override;
    AssociationStatus TakeOver(const std::string& extension) override;
    AssociationStatus GiveBack(const std::string& extension) override;

private:
    RegistryStore& m_store;
    std::string m_programPath;
};

} // namespace zuv
