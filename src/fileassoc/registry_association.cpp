#include "fileassoc/registry_association.h"

#include "platform/zuvora_error.h"
#include "util/text_utils.h"

#include <utility>

namespace zuv {

namespace {

// The value name of the backups: what opened the file type before this program took it.
constexpr const char* kBackupValue = "zuv.exe";

std::string ShellKey(const std::string& progId)
{
    return progId + "\\shell";
}

std::string OpenKey(const std::string& progId)
{
    return progId + "\\shell\\open";
}

std::string CommandKey(const std::string& progId)
{
    return progId + "\\shell\\open\\command";
}

AssociationStatus StatusOf(const std::error_code& error)
{
    return {error, platform::ErrorMessage(error)};
}

} // namespace

std::string NewProgId(const std::string& extension)
{
    return (extension.empty() ? std::string() : extension.substr(1)) + "file";
}

std::string AssociationCommand(const std::string& programPath)
{
    return QuoteIfSpaced(programPath) + " \"%L\"";
}

bool IsCommandOfProgram(const std::string& command, const std::string& programPath)
{
    return EqualsIgnoreCase(CommandProgramPath(command), programPath);
}

std::error_code ReadAssociation(RegistryStore& store, const std::string& extension,
                                std::string& command, std::string& description)
{
    std::string progId;
    if (const std::error_code error = store.ReadString(extension, "", progId))
        return error;
    std::string text;
    if (!store.ReadString(progId, "", text))
        description = text;
    std::string verb;
    if (const std::error_code error = store.ReadString(ShellKey(progId), "", verb))
        return error;
    return store.ReadString(progId + "\\shell\\" + verb + "\\command", "", command);
}

std::error_code Associate(RegistryStore& store, const std::string& extension,
                          const std::string& command)
{
    std::string progId;
    std::error_code error = store.ReadString(extension, "", progId);
    if (error == kRegistryNotFound) {
        progId = NewProgId(extension);
        error = store.WriteString(extension, "", progId);
    }
    if (error)
        return error;

    std::string description;
    error = store.ReadString(progId, "", description);
    if (error == kRegistryNotFound)
        error = store.WriteString(progId, "", "Media file");
    if (error)
        return error;

    std::string verb;
    error = store.ReadString(ShellKey(progId), "", verb);
    if (error == kRegistryNotFound || (!error && ToLowerAscii(verb) != "open")) {
        if (!error)
            store.WriteString(ShellKey(progId), kBackupValue, verb); // a lost backup is no failure
        error = store.WriteString(ShellKey(progId), "", "open");
    }
    if (error)
        return error;

    std::string caption;
    error = store.ReadString(OpenKey(progId), "", caption);
    if (error == kRegistryNotFound)
        error = store.WriteString(OpenKey(progId), "", "&Open");
    if (error)
        return error;

    std::string previous;
    error = store.ReadString(CommandKey(progId), "", previous);
    if (!error)
        error = store.WriteString(CommandKey(progId), kBackupValue, previous);
    if (!error || error == kRegistryNotFound)
        error = store.WriteString(CommandKey(progId), "", command);
    return error;
}

std::error_code RemoveAssociation(RegistryStore& store, const std::string& extension)
{
    std::string progId;
    if (const std::error_code error = store.ReadString(extension, "", progId))
        return error;

    std::string command;
    std::error_code error = store.ReadString(CommandKey(progId), kBackupValue, command);
    if (!error)
        store.DeleteValue(CommandKey(progId), kBackupValue); // a stale backup is harmless
    else if (error == kRegistryNotFound)
        command.clear();
    else
        return error;
    if (error = store.WriteString(CommandKey(progId), "", command); error)
        return error;

    std::string verb;
    error = store.ReadString(ShellKey(progId), kBackupValue, verb);
    if (error == kRegistryNotFound)
        return {};
    if (error)
        return error;
    if (error = store.WriteString(ShellKey(progId), "", verb); error)
        return error;
    error = store.DeleteValue(ShellKey(progId), kBackupValue);
    return error == kRegistryNotFound ? std::error_code() : error;
}

RegistryAssociationBackend::RegistryAssociationBackend(RegistryStore& store,
                                                       std::string programPath)
    : m_store(store), m_programPath(std::move(programPath))
{}

AssociationRowState RegistryAssociationBackend::ReadRow(const std::string& extension)
{
    AssociationRowState row;
    std::string command;
    const std::error_code error = ReadAssociation(m_store, extension, command, row.description);
    if (error == kRegistryNotFound) {
        row.description = UnassociatedDescription(extension);
    } else if (error) {
        row.status = StatusOf(error);
        row.description.clear();
    } else {
        row.program = FileNamePart(CommandProgramPath(command));
        row.owned = IsCommandOfProgram(command, m_programPath);
    }
    // Extensions sharing a ProgID share its command, so they go together.
    std::string progId;
    if (row.status.ok() && !m_store.ReadString(extension, "", progId))
        row.fileType = ToLowerAscii(progId);
    return row;
}

AssociationStatus RegistryAssociationBackend::TakeOver(const std::string& extension)
{
    return StatusOf(Associate(m_store, extension, AssociationCommand(m_programPath)));
}

AssociationStatus RegistryAssociationBackend::GiveBack(const std::string& extension)
{
    return StatusOf(RemoveAssociation(m_store, extension));
}

} // namespace zuv
