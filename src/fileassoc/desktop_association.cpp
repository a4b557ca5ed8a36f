#include "fileassoc/desktop_association.h"

#include "fileassoc/key_file_text.h"
#include "fileassoc/mime_database.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "util/system_utils.h"
#include "util/text_utils.h"

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace zuv {

namespace {

constexpr std::string_view kDefaultsGroup = "Default Applications";
// Our own group in the user's mimeapps.list; other programs that rewrite the file keep groups
// they do not know.
constexpr std::string_view kPreviousGroup = "X-Zuvora Previous Defaults";
constexpr std::string_view kEntryGroup = "Desktop Entry";
constexpr std::size_t kMaxDesktopFileBytes = 1024 * 1024;

// Characters that make the desktop entry format require quotes around an Exec argument.
constexpr std::string_view kReservedExecCharacters = " \t\n\"'\\><~|&;$*?#()`";

bool IsMissingFile(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

AssociationStatus FileStatus(int error, const std::string& path)
{
    return {error, SystemErrorText(error) + ": " + path};
}

std::vector<std::string> SplitList(std::string_view value)
{
    std::vector<std::string> items;
    std::string rest(value);
    while (!rest.empty()) {
        std::string item = Trim(SplitFirst(rest, ";"));
        if (!item.empty())
            items.push_back(std::move(item));
    }
    return items;
}

std::string FirstListItem(std::string_view value)
{
    const std::vector<std::string> items = SplitList(value);
    return items.empty() ? std::string() : items.front();
}

// The list files in order of precedence.
std::vector<std::string> DefaultListFiles(const DesktopFolders& folders)
{
    std::vector<std::string> files;
    const auto addMimeApps = [&](const std::string& folder) {
        for (const std::string& desktop : folders.currentDesktops)
            files.push_back(folder + desktop + "-mimeapps.list");
        files.push_back(folder + "mimeapps.list");
    };
    for (const std::string& folder : folders.ConfigSearchPath())
        addMimeApps(folder);
    for (const std::string& folder : folders.DataSearchPath())
        addMimeApps(folder + "applications/");
    for (const std::string& folder : folders.DataSearchPath())
        files.push_back(folder + "applications/defaults.list");
    return files;
}

} // namespace

std::string DesktopExecProgram(const std::string& programPath)
{
    std::string word;
    if (programPath.find_first_of(kReservedExecCharacters) == std::string::npos) {
        word = programPath;
    } else {
        word = "\"";
        for (const char c : programPath) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                word += '\\';
            word += c;
        }
        word += '"';
    }
    ReplaceAll(word, "%", "%%");
    return EscapeKeyFileString(word);
}

std::string ExecValueProgram(std::string_view execValue)
{
    const std::string value = UnescapeKeyFileString(execValue);
    std::size_t pos = value.find_first_not_of(" \t");
    if (pos == std::string::npos)
        return {};
    std::string program;
    if (value[pos] == '"') {
        for (++pos; pos < value.size() && value[pos] != '"'; ++pos) {
            if (value[pos] == '\\' && pos + 1 < value.size())
                ++pos;
            program += value[pos];
        }
    } else {
        program = value.substr(pos, value.find_first_of(" \t", pos) - pos);
    }
    ReplaceAll(program, "%%", "%");
    return program;
}

std::string FindDesktopFile(const DesktopFolders& folders, std::string_view desktopId)
{
    if (desktopId.empty() || desktopId.find('/') != std::string_view::npos)
        return {};
    // "vendor-app.desktop" may lie in applications/vendor/app.desktop (and deeper).
    std::vector<std::string> relativePaths{std::string(desktopId)};
    std::string nested(desktopId);
    for (std::size_t dash = nested.find('-'); dash != std::string::npos;
         dash = nested.find('-', dash + 1)) {
        nested[dash] = '/';
        relativePaths.push_back(nested);
    }
    for (const std::string& folder : folders.DataSearchPath()) {
        for (const std::string& relative : relativePaths) {
            const std::string path = folder + "applications/" + relative;
            if (platform::FileExists(path))
                return path;
        }
    }
    return {};
}

DefaultApplication FindDefaultApplication(const DesktopFolders& folders, std::string_view mimeType)
{
    DefaultApplication found;
    const std::string userFile =
        folders.configHome.empty() ? std::string() : folders.configHome + "mimeapps.list";
    for (const std::string& listFile : DefaultListFiles(folders)) {
        const platform::FileContent list =
            platform::ReadWholeFile(listFile, DesktopAssociationBackend::kMaxListFileBytes);
        if (!list.ok()) {
            // Only the file we write must be readable; a broken system file is skipped.
            if (listFile == userFile && !IsMissingFile(list.error)) {
                found.error = list.error;
                found.errorFile = listFile;
                return found;
            }
            continue;
        }
        const auto value = KeyFileValue(list.data, kDefaultsGroup, mimeType);
        if (!value)
            continue;
        for (const std::string& desktopId : SplitList(*value)) {
            std::string desktopFile = FindDesktopFile(folders, desktopId);
            if (desktopFile.empty())
                continue; // not installed: the next one counts
            found.desktopId = desktopId;
            found.desktopFile = std::move(desktopFile);
            found.listFile = listFile;
            return found;
        }
    }
    return found;
}

DesktopAssociationBackend::DesktopAssociationBackend(DesktopFolders folders,
                                                     std::string programPath)
    : m_folders(std::move(folders)),
      m_programPath(programPath.empty() ? platform::ProgramFile() : std::move(programPath))
{}

std::string DesktopAssociationBackend::UserMimeAppsFile() const
{
    return m_folders.configHome.empty() ? std::string() : m_folders.configHome + "mimeapps.list";
}

std::string DesktopAssociationBackend::OwnDesktopFile() const
{
    return m_folders.dataHome.empty()
               ? std::string()
               : m_folders.dataHome + "applications/" + std::string(kOwnDesktopFileId);
}

AssociationRowState DesktopAssociationBackend::ReadRow(const std::string& extension)
{
    AssociationRowState row;
    const std::string mimeType = MimeTypeForExtension(m_folders, extension);
    if (mimeType.empty()) {
        row.description = UnassociatedDescription(extension);
        return row;
    }
    const DefaultApplication application = FindDefaultApplication(m_folders, mimeType);
    if (application.error != 0) {
        row.status = FileStatus(application.error, application.errorFile);
        return row;
    }
    row.description = MimeTypeComment(m_folders, mimeType);
    if (row.description.empty())
        row.description = mimeType;
    if (application.desktopId.empty())
        return row;
    row.owned = application.desktopId == kOwnDesktopFileId;
    const platform::FileContent entry =
        platform::ReadWholeFile(application.desktopFile, kMaxDesktopFileBytes);
    if (entry.ok()) {
        if (const auto exec = KeyFileValue(entry.data, kEntryGroup, "Exec"))
            row.program = FileNamePart(ExecValueProgram(*exec));
    }
    if (row.program.empty())
        row.program = application.desktopId;
    return row;
}

std::string DesktopAssociationBackend::InstalledDesktopEntry() const
{
    for (const std::string& folder : m_folders.dataDirs) {
        const platform::FileContent entry = platform::ReadWholeFile(
            folder + "applications/" + std::string(kOwnDesktopFileId), kMaxDesktopFileBytes);
        if (entry.ok())
            return entry.data;
    }
    return {};
}

AssociationStatus DesktopAssociationBackend::UpdateOwnDesktopFile(const std::string& mimeType,
                                                                  bool add)
{
    const std::string path = OwnDesktopFile();
    if (path.empty())
        return FileStatus(ENOENT, "$XDG_DATA_HOME");
    const platform::FileContent file = platform::ReadWholeFile(path, kMaxDesktopFileBytes);
    if (!file.ok() && !IsMissingFile(file.error))
        return FileStatus(file.error, path);
    if (!file.ok() && !add)
        return {};

    // Our file hides the installed menu entry; a copy of it keeps the menu's icon, categories
    // and translations, and the file types the program opens anyway.
    const std::string installed = InstalledDesktopEntry();
    const std::vector<std::string> installedTypes =
        SplitList(KeyFileValue(installed, kEntryGroup, "MimeType").value_or(""));
    std::string text = file.ok() ? file.data : installed;
    if (!KeyFileValue(text, kEntryGroup, "Type"))
        SetKeyFileValue(text, kEntryGroup, "Type", "Application");
    if (!KeyFileValue(text, kEntryGroup, "Name"))
        SetKeyFileValue(text, kEntryGroup, "Name", "Zuvora");
    SetKeyFileValue(text, kEntryGroup, "Exec", DesktopExecProgram(m_programPath) + " %f");

    std::vector<std::string> types =
        SplitList(KeyFileValue(text, kEntryGroup, "MimeType").value_or(""));
    const auto isThisType = [&](const std::string& type) {
        return EqualsIgnoreCase(type, mimeType);
    };
    if (add && std::ranges::none_of(types, isThisType))
        types.push_back(mimeType);
    else if (!add && std::ranges::none_of(installedTypes, isThisType))
        std::erase_if(types, isThisType);
    if (types.empty()) {
        RemoveKeyFileValue(text, kEntryGroup, "MimeType", false);
    } else {
        std::string list;
        for (const std::string& type : types)
            list += type + ";";
        SetKeyFileValue(text, kEntryGroup, "MimeType", list);
    }

    if (file.ok() && text == file.data)
        return {};
    if (const int error = platform::WriteFileAtomically(path, text); error != 0)
        return FileStatus(error, path);
    return {};
}

AssociationStatus DesktopAssociationBackend::ReadUserDefaults(const std::string& extension,
                                                              UserDefaults& defaults) const
{
    defaults.mimeType = MimeTypeForExtension(m_folders, extension);
    if (defaults.mimeType.empty())
        return {kNoFileTypeError,
                "The desktop knows no file type for the extension \"" + extension + "\"."};
    defaults.userFile = UserMimeAppsFile();
    if (defaults.userFile.empty())
        return FileStatus(ENOENT, "$XDG_CONFIG_HOME");
    // An unreadable list is never replaced: the user's other settings are in it.
    const platform::FileContent list =
        platform::ReadWholeFile(defaults.userFile, kMaxListFileBytes);
    if (!list.ok() && !IsMissingFile(list.error))
        return FileStatus(list.error, defaults.userFile);
    defaults.text = list.ok() ? list.data : std::string();
    return {};
}

AssociationStatus DesktopAssociationBackend::TakeOver(const std::string& extension)
{
    UserDefaults defaults;
    if (AssociationStatus status = ReadUserDefaults(extension, defaults); !status.ok())
        return status;
    const std::string& mimeType = defaults.mimeType;
    const std::string& userFile = defaults.userFile;
    std::string& text = defaults.text;

    // The desktop file first, so the default never names a file that is not there.
    if (AssociationStatus status = UpdateOwnDesktopFile(mimeType, true); !status.ok())
        return status;

    const std::string original = text;
    const auto current = KeyFileValue(text, kDefaultsGroup, mimeType);
    if (!current)
        RemoveKeyFileValue(text, kPreviousGroup, mimeType, true);
    else if (FirstListItem(*current) != kOwnDesktopFileId) // keep what we saved the first time
        SetKeyFileValue(text, kPreviousGroup, mimeType, *current);
    SetKeyFileValue(text, kDefaultsGroup, mimeType, std::string(kOwnDesktopFileId) + ";");
    if (text != original) {
        if (const int error = platform::WriteFileAtomically(userFile, text); error != 0)
            return FileStatus(error, userFile);
    }

    const DefaultApplication now = FindDefaultApplication(m_folders, mimeType);
    if (now.error != 0)
        return FileStatus(now.error, now.errorFile);
    if (now.desktopId != kOwnDesktopFileId)
        return {kOverriddenDefaultError, "The default application for " + mimeType + " is set in " +
                                             now.listFile + ", which takes precedence over " +
                                             userFile + "."};
    return {};
}

AssociationStatus DesktopAssociationBackend::GiveBack(const std::string& extension)
{
    UserDefaults defaults;
    if (AssociationStatus status = ReadUserDefaults(extension, defaults); !status.ok())
        return status;
    const std::string& mimeType = defaults.mimeType;
    const std::string& userFile = defaults.userFile;
    std::string& text = defaults.text;

    const std::string original = text;
    if (const auto previous = KeyFileValue(text, kPreviousGroup, mimeType)) {
        SetKeyFileValue(text, kDefaultsGroup, mimeType, *previous);
        RemoveKeyFileValue(text, kPreviousGroup, mimeType, true);
    } else if (const auto current = KeyFileValue(text, kDefaultsGroup, mimeType);
               current && FirstListItem(*current) == kOwnDesktopFileId) {
        RemoveKeyFileValue(text, kDefaultsGroup, mimeType, false);
    }
    if (text != original) {
        if (const int error = platform::WriteFileAtomically(userFile, text); error != 0)
            return FileStatus(error, userFile);
    }

    if (AssociationStatus status = UpdateOwnDesktopFile(mimeType, false); !status.ok())
        return status;

    const DefaultApplication now = FindDefaultApplication(m_folders, mimeType);
    if (now.error != 0)
        return FileStatus(now.error, now.errorFile);
    if (now.desktopId == kOwnDesktopFileId)
        return {kOverriddenDefaultError, "This program stays the default application for " +
                                             mimeType + " through " + now.listFile + "."};
    return {};
}

} // namespace zuv
