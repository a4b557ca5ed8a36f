#include "fileassoc/desktop_association.h"

#include "fileassoc/association_messages.h"
#include "fileassoc/key_file_text.h"
#include "fileassoc/mime_database.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "util/text_encoding.h"
#include "util/text_utils.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zuv {

namespace {

// Our own group in the user's mimeapps.list; other programs that rewrite the file keep groups
// they do not know. Its keys are MIME types (the line each had before, empty for none),
// kCreatedKey and kNoFinalLineEndKey.
constexpr std::string_view kPreviousGroup = "X-Zuvora Previous Defaults";
// "file": the list did not exist before us; "group": it had no [Default Applications].
constexpr std::string_view kCreatedKey = "Created";
// "true": the list ended without a line end, which our first line had to add.
constexpr std::string_view kNoFinalLineEndKey = "NoFinalLineEnd";
constexpr std::string_view kEntryGroup = "Desktop Entry";
// In our desktop file when we made it, so that it goes again once no type is ours.
constexpr std::string_view kCreatedEntryKey = "X-Zuvora-Created";
constexpr std::size_t kMaxDesktopFileBytes = 1024 * 1024;
// Characters that make the desktop entry format require quotes around an Exec argument.
constexpr std::string_view kReservedExecCharacters = " \t\n\"'\\><~|&;$*?#()`";

// Reads a key file that we are about to change. What we cannot edit line by line is left as it
// is, with a message: a file that is no text, or one holding a group we edit twice (the tools
// differ in which of the two counts).
AssociationStatus ReadEditableKeyFile(const std::string& path, std::size_t maxBytes,
                                      std::initializer_list<std::string_view> groups,
                                      std::string& text, bool& existed)
{
    const platform::FileContent file = platform::ReadWholeFile(path, maxBytes);
    existed = file.ok();
    text.clear();
    if (!file.ok())
        return IsMissingFileError(file.error) ? AssociationStatus{} : FileFailure(file.error, path);
    if (file.data.find('\0') != std::string::npos || !IsValidUtf8(file.data))
        return NotTextFailure(path);
    for (const std::string_view group : groups) {
        if (KeyFileGroupCount(file.data, group) > 1)
            return DuplicateGroupFailure(path, group);
    }
    // The atomic replacement would not ask for write permission: a read-only file stays.
    if (const std::error_code error = platform::WriteAccessError(path))
        return FileFailure(error, path);
    text = file.data;
    return {};
}

std::string FirstListItem(std::string_view value)
{
    const std::vector<std::string> items = SplitDesktopList(value);
    return items.empty() ? std::string() : items.front();
}

} // namespace

std::string DesktopExecProgram(const std::string& programPath)
{
    const bool percent = programPath.find('%') != std::string::npos;
    if (percent && programPath.find('=') != std::string::npos)
        return {};
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
    return EscapeKeyFileString(percent ? "env " + word : word);
}

std::string ExecValueProgram(std::string_view execValue)
{
    const std::string value = UnescapeKeyFileString(execValue);
    // The next word from `pos` on, quotes and their escapes removed.
    std::size_t pos = 0;
    const auto nextWord = [&]() {
        pos = value.find_first_not_of(" \t", pos);
        std::string word;
        if (pos == std::string::npos)
            return word;
        if (value[pos] == '"') {
            for (++pos; pos < value.size() && value[pos] != '"'; ++pos) {
                if (value[pos] == '\\' && pos + 1 < value.size())
                    ++pos;
                word += value[pos];
            }
            ++pos;
        } else {
            const std::size_t end = std::min(value.find_first_of(" \t", pos), value.size());
            word = value.substr(pos, end - pos);
            pos = end;
        }
        ReplaceAll(word, "%%", "%");
        return word;
    };
    std::string program = nextWord();
    if (program == "env") {
        // What we write for a path holding "%"; env with settings or options stays env.
        const std::string next = nextWord();
        if (!next.empty() && next.find('=') == std::string::npos && !next.starts_with('-'))
            program = next;
    }
    return program;
}

DesktopAssociationBackend::DesktopAssociationBackend(DesktopFolders folders,
                                                     std::string programPath)
    : m_folders(std::move(folders)), m_ownTypes(m_folders),
      m_programPath(programPath.empty() ? platform::ProgramFile() : std::move(programPath)),
      m_realProgramPath(platform::ResolvedPath(m_programPath))
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

bool DesktopAssociationBackend::RunsThisProgram(const std::string& desktopFile) const
{
    const platform::FileContent entry = platform::ReadWholeFile(desktopFile, kMaxDesktopFileBytes);
    if (!entry.ok())
        return false;
    const std::string program =
        ExecValueProgram(KeyFileValue(entry.data, kEntryGroup, "Exec").value_or(""));
    if (program.empty())
        return false;
    // A bare name runs what PATH finds, as the desktop would start it.
    const platform::ProgramLocation location = platform::FindProgram(program, {});
    return !location.error && platform::ResolvedPath(location.path) == m_realProgramPath;
}

AssociationRowState DesktopAssociationBackend::ReadRow(const std::string& extension)
{
    AssociationRowState row;
    const std::string mimeType = MimeTypeForExtension(m_folders, extension);
    if (mimeType.empty()) {
        row.description = UnassociatedDescription(extension);
        return row;
    }
    row.fileType = ToLowerAscii(mimeType);
    const DefaultApplication application = FindDefaultApplication(m_folders, mimeType);
    if (application.error) {
        row.status = FileFailure(application.error, application.errorFile);
        return row;
    }
    row.description = MimeTypeComment(m_folders, mimeType);
    if (row.description.empty())
        row.description = mimeType;
    if (application.desktopId.empty())
        return row;
    row.owned = RunsThisProgram(application.desktopFile);
    const platform::FileContent entry =
        platform::ReadWholeFile(application.desktopFile, kMaxDesktopFileBytes);
    if (entry.ok()) {
        if (const auto name = KeyFileValue(entry.data, kEntryGroup, "Name"))
            row.program = Trim(UnescapeKeyFileString(*name));
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
        return FileFailure(platform::SystemError(platform::kErrorFileNotFound), "$XDG_DATA_HOME");
    std::string text;
    bool existed = false;
    if (AssociationStatus status =
            ReadEditableKeyFile(path, kMaxDesktopFileBytes, {kEntryGroup}, text, existed);
        !status.ok())
        return status;
    if (!existed && !add)
        return {};
    const std::string exec = DesktopExecProgram(m_programPath);
    if (exec.empty())
        return CannotRegisterFailure(m_programPath);

    // Our file hides the installed menu entry; a copy of it keeps the menu's icon, categories
    // and translations, and the file types the program opens anyway.
    const std::string installed = InstalledDesktopEntry();
    const std::vector<std::string> installedTypes =
        SplitDesktopList(KeyFileValue(installed, kEntryGroup, "MimeType").value_or(""));
    const std::string original = text;
    if (!existed)
        text = installed;
    if (!KeyFileValue(text, kEntryGroup, "Type"))
        SetKeyFileValue(text, kEntryGroup, "Type", "Application");
    if (!KeyFileValue(text, kEntryGroup, "Name"))
        SetKeyFileValue(text, kEntryGroup, "Name", "Zuvora");
    SetKeyFileValue(text, kEntryGroup, "Exec", exec + " %f");

    std::vector<std::string> types =
        SplitDesktopList(KeyFileValue(text, kEntryGroup, "MimeType").value_or(""));
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

    if (!existed)
        SetKeyFileValue(text, kEntryGroup, kCreatedEntryKey, "true");

    // Made by us and opening nothing beyond what the installed entry opens: it goes again, so
    // that the installed entry and its later updates show in the menu.
    const bool onlyInstalledTypes = std::ranges::all_of(types, [&](const std::string& type) {
        return std::ranges::any_of(installedTypes, [&](const std::string& installedType) {
            return EqualsIgnoreCase(type, installedType);
        });
    });
    if (!add && KeyFileValue(text, kEntryGroup, kCreatedEntryKey) == "true" && onlyInstalledTypes) {
        if (const std::error_code error = platform::RemoveFile(path);
            error && !IsMissingFileError(error))
            return FileFailure(error, path);
        return {};
    }
    if (existed && text == original)
        return {};
    if (const std::error_code error = platform::WriteFileAtomically(path, text))
        return FileFailure(error, path);
    return {};
}

AssociationStatus DesktopAssociationBackend::ReadUserDefaults(const std::string& mimeType,
                                                              UserDefaults& defaults) const
{
    defaults.mimeType = mimeType;
    defaults.userFile = UserMimeAppsFile();
    if (defaults.userFile.empty())
        return FileFailure(platform::SystemError(platform::kErrorFileNotFound), "$XDG_CONFIG_HOME");
    // A list we cannot edit is never replaced: the user's other settings are in it.
    return ReadEditableKeyFile(defaults.userFile, kMaxListFileBytes,
                               {kDefaultsGroup, kPreviousGroup}, defaults.text, defaults.existed);
}

AssociationStatus DesktopAssociationBackend::TakeOver(const std::string& extension)
{
    std::string mimeType = MimeTypeForExtension(m_folders, extension);
    const bool newType = mimeType.empty();
    if (newType) {
        if (AssociationStatus status = m_ownTypes.Add(extension, mimeType); !status.ok())
            return status;
    }
    // A type made for nothing goes again.
    const auto failed = [&](AssociationStatus status) {
        if (newType)
            m_ownTypes.Remove(mimeType);
        return status;
    };
    UserDefaults defaults;
    if (AssociationStatus status = ReadUserDefaults(mimeType, defaults); !status.ok())
        return failed(status);
    const std::string& userFile = defaults.userFile;
    std::string& text = defaults.text;

    // The desktop file first, so the default never names a file that is not there.
    if (AssociationStatus status = UpdateOwnDesktopFile(mimeType, true); !status.ok())
        return failed(status);

    const std::string original = text;
    const bool hadDefaultsGroup = KeyFileGroupCount(text, kDefaultsGroup) > 0;
    const bool addsFinalLineEnd =
        !text.empty() && text.back() != '\n' && KeyFileGroupCount(text, kPreviousGroup) == 0;
    const auto current = KeyFileValue(text, kDefaultsGroup, mimeType);
    SetKeyFileValue(text, kDefaultsGroup, mimeType, std::string(kOwnDesktopFileId) + ";");
    if (addsFinalLineEnd)
        SetKeyFileValue(text, kPreviousGroup, kNoFinalLineEndKey, "true");
    if (!KeyFileValue(text, kPreviousGroup, kCreatedKey) && !hadDefaultsGroup)
        SetKeyFileValue(text, kPreviousGroup, kCreatedKey, defaults.existed ? "group" : "file");
    // Keep what we saved the first time while the line is still ours.
    if (!current || FirstListItem(*current) != kOwnDesktopFileId ||
        !KeyFileValue(text, kPreviousGroup, mimeType))
        SetKeyFileValue(text, kPreviousGroup, mimeType, current.value_or(""));
    if (text != original) {
        if (const std::error_code error = platform::WriteFileAtomically(userFile, text)) {
            UpdateOwnDesktopFile(mimeType, false); // leaves no trace of the failed change
            return failed(FileFailure(error, userFile));
        }
    }

    const DefaultApplication now = FindDefaultApplication(m_folders, mimeType);
    if (now.error)
        return FileFailure(now.error, now.errorFile);
    if (now.desktopId != kOwnDesktopFileId)
        return OverriddenDefaultFailure(mimeType, now.listFile, userFile);
    return {};
}

AssociationStatus DesktopAssociationBackend::GiveBack(const std::string& extension)
{
    const std::string mimeType = MimeTypeForExtension(m_folders, extension);
    if (mimeType.empty())
        return NoFileTypeFailure(extension);
    UserDefaults defaults;
    if (AssociationStatus status = ReadUserDefaults(mimeType, defaults); !status.ok())
        return status;
    const std::string& userFile = defaults.userFile;
    std::string& text = defaults.text;

    const std::string original = text;
    const auto current = KeyFileValue(text, kDefaultsGroup, mimeType);
    const bool currentIsOurs = current && FirstListItem(*current) == kOwnDesktopFileId;
    // A line the user changed since we took the type over is theirs: only our line goes back.
    const auto previous = KeyFileValue(text, kPreviousGroup, mimeType);
    if (currentIsOurs && previous && !previous->empty())
        SetKeyFileValue(text, kDefaultsGroup, mimeType, *previous);
    else if (currentIsOurs)
        RemoveKeyFileValue(text, kDefaultsGroup, mimeType, false);
    RemoveKeyFileValue(text, kPreviousGroup, mimeType, false);
    // Nothing saved any more: what we created goes with our group.
    const std::vector<std::string> saved = KeyFileKeys(text, kPreviousGroup);
    bool removeFile = false;
    if (std::ranges::none_of(
            saved, [](const std::string& key) { return key.find('/') != std::string::npos; })) {
        const std::string created = KeyFileValue(text, kPreviousGroup, kCreatedKey).value_or("");
        const bool noFinalLineEnd =
            KeyFileValue(text, kPreviousGroup, kNoFinalLineEndKey) == "true";
        RemoveKeyFileValue(text, kPreviousGroup, kCreatedKey, false);
        RemoveKeyFileValue(text, kPreviousGroup, kNoFinalLineEndKey, false);
        DropEmptyKeyFileGroup(text, kPreviousGroup);
        if (created == "group" || created == "file")
            DropEmptyKeyFileGroup(text, kDefaultsGroup);
        if (noFinalLineEnd && text.ends_with('\n'))
            text.erase(text.size() - (text.ends_with("\r\n") ? 2 : 1));
        removeFile = created == "file" && Trim(text).empty();
    }
    if (removeFile) {
        if (const std::error_code error = platform::RemoveFile(userFile);
            error && !IsMissingFileError(error))
            return FileFailure(error, userFile);
    } else if (text != original) {
        if (const std::error_code error = platform::WriteFileAtomically(userFile, text))
            return FileFailure(error, userFile);
    }

    if (AssociationStatus status = UpdateOwnDesktopFile(mimeType, false); !status.ok())
        return status;
    if (AssociationStatus status = m_ownTypes.Remove(mimeType); !status.ok())
        return status;

    const DefaultApplication now = FindDefaultApplication(m_folders, mimeType);
    if (now.error)
        return FileFailure(now.error, now.errorFile);
    if (!now.desktopId.empty() && RunsThisProgram(now.desktopFile))
        return StillOursFailure(mimeType, now.listFile);
    return {};
}

// On Linux file types are the desktop's MIME defaults.
std::unique_ptr<AssociationBackend> CreateSystemAssociationBackend()
{
    return std::make_unique<DesktopAssociationBackend>();
}

} // namespace zuv
