#include "fileassoc/desktop_association.h"

#include "fileassoc/key_file_text.h"
#include "fileassoc/mime_database.h"
#include "lang/language.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/system_utils.h"
#include "util/text_encoding.h"
#include "util/text_utils.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace zuv {

namespace {

constexpr std::string_view kDefaultsGroup = "Default Applications";
constexpr std::string_view kAddedGroup = "Added Associations";
constexpr std::string_view kRemovedGroup = "Removed Associations";
constexpr std::string_view kCacheGroup = "MIME Cache";
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
// The types we add for extensions the MIME database does not know, one package each.
constexpr std::string_view kOwnTypePrefix = "application/x-zuvora-";
constexpr std::string_view kOwnPackagePrefix = "zuvora-";
// What update-mime-database makes from the packages; nothing else is removed with them.
constexpr std::string_view kGeneratedMimeFiles[] = {
    "XMLnamespaces", "aliases",    "generic-icons", "globs",     "globs2", "icons",
    "magic",         "mime.cache", "subclasses",    "treemagic", "types",  "version"};

constexpr char kSection[] = "FileAssoc";

std::string Message(std::string_view key, std::string_view builtIn)
{
    return Langunit().GetText(kSection, key, builtIn);
}

std::string Fill(std::string text, std::initializer_list<std::pair<const char*, std::string>> parts)
{
    for (const auto& [placeholder, value] : parts)
        ReplaceAll(text, placeholder, value);
    return text;
}

AssociationStatus NoFileType(const std::string& extension)
{
    return {kNoFileTypeError,
            Fill(Message("400", "A munkakörnyezet nem ismer fájltípust a(z) \"%e\" "
                                "kiterjesztéshez."),
                 {{"%e", extension}})};
}

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
        return IsMissingFile(file.error) ? AssociationStatus{} : FileStatus(file.error, path);
    if (file.data.find('\0') != std::string::npos || !IsValidUtf8(file.data))
        return {EINVAL, Fill(Message("405", "A(z) %f nem szövegfájl, ezért változatlan maradt."),
                             {{"%f", path}})};
    for (const std::string_view group : groups) {
        if (KeyFileGroupCount(file.data, group) > 1)
            return {EINVAL, Fill(Message("404", "A(z) %f többször tartalmazza a(z) [%g] "
                                                "csoportot, ezért változatlan maradt."),
                                 {{"%f", path}, {"%g", std::string(group)}})};
    }
    // The atomic replacement would not ask for write permission: a read-only file stays.
    if (const int error = platform::WriteAccessError(path); error != 0)
        return FileStatus(error, path);
    text = file.data;
    return {};
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

// The mimeapps.list files in order of precedence.
std::vector<std::string> MimeAppsFiles(const DesktopFolders& folders)
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
    const auto read = [&](const std::string& path) -> std::optional<std::string> {
        const platform::FileContent file =
            platform::ReadWholeFile(path, DesktopAssociationBackend::kMaxListFileBytes);
        if (file.ok())
            return file.data;
        // Only the file we write must be readable; a broken system file is skipped.
        if (path == userFile && !IsMissingFile(file.error) && found.error == 0) {
            found.error = file.error;
            found.errorFile = path;
        }
        return std::nullopt;
    };
    std::vector<std::pair<std::string, std::string>> lists;
    for (const std::string& path : MimeAppsFiles(folders)) {
        if (auto text = read(path))
            lists.emplace_back(path, std::move(*text));
    }
    if (found.error != 0)
        return found;

    // The first installed entry of a list that `removed` does not take away.
    const std::set<std::string>* removed = nullptr;
    const auto pick = [&](const std::string& listFile, const std::string& text,
                          std::string_view group) {
        const auto value = KeyFileValue(text, group, mimeType);
        if (!value)
            return false;
        for (const std::string& desktopId : SplitList(*value)) {
            if (removed && removed->contains(desktopId))
                continue;
            std::string desktopFile = FindDesktopFile(folders, desktopId);
            if (desktopFile.empty())
                continue; // not installed: the next one counts
            found.desktopId = desktopId;
            found.desktopFile = std::move(desktopFile);
            found.listFile = listFile;
            return true;
        }
        return false;
    };

    // The same file of every data folder, in precedence order.
    const auto pickInDataFolders = [&](std::string_view fileName, std::string_view group) {
        for (const std::string& folder : folders.DataSearchPath()) {
            const std::string path = folder + "applications/" + std::string(fileName);
            if (const auto text = read(path); text && pick(path, *text, group))
                return true;
        }
        return false;
    };

    for (const auto& [path, text] : lists) {
        if (pick(path, text, kDefaultsGroup))
            return found;
    }
    if (pickInDataFolders("defaults.list", kDefaultsGroup))
        return found;
    std::set<std::string> removedIds;
    removed = &removedIds;
    for (const auto& [path, text] : lists) {
        for (std::string& id : SplitList(KeyFileValue(text, kRemovedGroup, mimeType).value_or("")))
            removedIds.insert(std::move(id));
        if (pick(path, text, kAddedGroup))
            return found;
    }
    pickInDataFolders("mimeinfo.cache", kCacheGroup);
    return found;
}

DesktopAssociationBackend::DesktopAssociationBackend(DesktopFolders folders,
                                                     std::string programPath)
    : m_folders(std::move(folders)),
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
    return location.error == 0 && platform::ResolvedPath(location.path) == m_realProgramPath;
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
    if (application.error != 0) {
        row.status = FileStatus(application.error, application.errorFile);
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
        return FileStatus(ENOENT, "$XDG_DATA_HOME");
    std::string text;
    bool existed = false;
    if (AssociationStatus status =
            ReadEditableKeyFile(path, kMaxDesktopFileBytes, {kEntryGroup}, text, existed);
        !status.ok())
        return status;
    if (!existed && !add)
        return {};

    // Our file hides the installed menu entry; a copy of it keeps the menu's icon, categories
    // and translations, and the file types the program opens anyway.
    const std::string installed = InstalledDesktopEntry();
    const std::vector<std::string> installedTypes =
        SplitList(KeyFileValue(installed, kEntryGroup, "MimeType").value_or(""));
    const std::string original = text;
    if (!existed)
        text = installed;
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
        if (const int error = platform::RemoveFile(path); error != 0 && !IsMissingFile(error))
            return FileStatus(error, path);
        return {};
    }
    if (existed && text == original)
        return {};
    if (const int error = platform::WriteFileAtomically(path, text); error != 0)
        return FileStatus(error, path);
    return {};
}

AssociationStatus DesktopAssociationBackend::ReadUserDefaults(const std::string& mimeType,
                                                              UserDefaults& defaults) const
{
    defaults.mimeType = mimeType;
    defaults.userFile = UserMimeAppsFile();
    if (defaults.userFile.empty())
        return FileStatus(ENOENT, "$XDG_CONFIG_HOME");
    // A list we cannot edit is never replaced: the user's other settings are in it.
    return ReadEditableKeyFile(defaults.userFile, kMaxListFileBytes,
                               {kDefaultsGroup, kPreviousGroup}, defaults.text, defaults.existed);
}

AssociationStatus DesktopAssociationBackend::UpdateMimeDatabase()
{
    const std::string folder = m_folders.dataHome + "mime";
    const auto failed = [](const std::string& detail) {
        return AssociationStatus{
            kNoFileTypeError,
            Fill(Message("403", "A fájltípusok adatbázisát nem sikerült frissíteni (%s)."),
                 {{"%s", detail}})};
    };
    const platform::ProgramLocation program = platform::FindProgram("update-mime-database", {});
    if (program.error != 0)
        return failed("update-mime-database: " + SystemErrorText(program.error));
    platform::ChildProcess child;
    const platform::ProcessStartError start =
        child.Start({program.path, {"update-mime-database", folder}, {}, 2});
    if (start.failed())
        return failed("update-mime-database: " + SystemErrorText(start.error));
    const auto deadline = platform::ChildProcess::Clock::now() + std::chrono::minutes(1);
    std::string output;
    char buffer[4096];
    for (;;) {
        const auto got = child.Read(buffer, sizeof buffer, deadline);
        if (got.timedOut || got.size == 0)
            break;
        if (output.size() < 64 * 1024)
            output.append(buffer, got.size);
    }
    const std::optional<int> exitCode = child.WaitForExit(deadline);
    if (!exitCode) {
        child.Kill();
        return failed("update-mime-database: " + SystemErrorText(ETIMEDOUT));
    }
    if (*exitCode != 0)
        return failed(Trim(output).empty() ? "update-mime-database: " + std::to_string(*exitCode)
                                           : Trim(output));
    return {};
}

AssociationStatus DesktopAssociationBackend::AddOwnMimeType(const std::string& extension,
                                                            std::string& mimeType)
{
    // Only names that are safe as a glob, a MIME type and a file name.
    const std::string name = extension.size() > 1 && extension.front() == '.'
                                 ? ToLowerAscii(extension.substr(1))
                                 : std::string();
    const bool plain = !name.empty() && std::ranges::all_of(name, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == '+' || c == '.';
    });
    if (!plain || m_folders.dataHome.empty())
        return NoFileType(extension);
    mimeType = std::string(kOwnTypePrefix) + name;
    const std::string package =
        m_folders.dataHome + "mime/packages/" + std::string(kOwnPackagePrefix) + name + ".xml";
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        mimeType +
        "\">\n"
        "    <comment>Media file</comment>\n"
        "    <glob pattern=\"*." +
        name +
        "\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    if (const int error = platform::WriteFileAtomically(package, xml); error != 0)
        return FileStatus(error, package);
    AssociationStatus status = UpdateMimeDatabase();
    if (status.ok() && !EqualsIgnoreCase(MimeTypeForExtension(m_folders, extension), mimeType))
        status = NoFileType(extension); // another type of higher weight won
    if (!status.ok()) {
        RemoveOwnMimeType(mimeType);
        status.errorText = NoFileType(extension).errorText + "\n" + status.errorText;
        status.error = kNoFileTypeError;
    }
    return status;
}

AssociationStatus DesktopAssociationBackend::RemoveOwnMimeType(const std::string& mimeType)
{
    const std::string lower = ToLowerAscii(mimeType);
    if (!lower.starts_with(kOwnTypePrefix) || m_folders.dataHome.empty())
        return {};
    const std::string mime = m_folders.dataHome + "mime/";
    const std::string packages = mime + "packages/";
    const std::string package =
        packages + std::string(kOwnPackagePrefix) + lower.substr(kOwnTypePrefix.size()) + ".xml";
    if (const int error = platform::RemoveFile(package); error != 0)
        return IsMissingFile(error) ? AssociationStatus{} : FileStatus(error, package);
    namespace fs = std::filesystem;
    std::error_code ignored;
    const bool lastPackage = fs::is_empty(packages, ignored) && !ignored;
    if (AssociationStatus status = UpdateMimeDatabase(); !status.ok() || !lastPackage)
        return status;
    // No package is left: the database describes nothing, so what was made from ours goes.
    for (const std::string_view name : kGeneratedMimeFiles)
        platform::RemoveFile(mime + std::string(name));
    for (const fs::directory_entry& entry : fs::directory_iterator(mime, ignored)) {
        if (entry.is_directory(ignored))
            fs::remove(entry.path(), ignored); // only when empty
    }
    fs::remove(mime, ignored);
    return {};
}

AssociationStatus DesktopAssociationBackend::TakeOver(const std::string& extension)
{
    std::string mimeType = MimeTypeForExtension(m_folders, extension);
    const bool newType = mimeType.empty();
    if (newType) {
        if (AssociationStatus status = AddOwnMimeType(extension, mimeType); !status.ok())
            return status;
    }
    // A type made for nothing goes again.
    const auto failed = [&](AssociationStatus status) {
        if (newType)
            RemoveOwnMimeType(mimeType);
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
        if (const int error = platform::WriteFileAtomically(userFile, text); error != 0) {
            UpdateOwnDesktopFile(mimeType, false); // leaves no trace of the failed change
            return failed(FileStatus(error, userFile));
        }
    }

    const DefaultApplication now = FindDefaultApplication(m_folders, mimeType);
    if (now.error != 0)
        return FileStatus(now.error, now.errorFile);
    if (now.desktopId != kOwnDesktopFileId)
        return {kOverriddenDefaultError,
                Fill(Message("401", "%t alapértelmezett alkalmazását a(z) %f adja meg, amely "
                                    "elsőbbséget élvez a(z) %u előtt."),
                     {{"%t", mimeType}, {"%f", now.listFile}, {"%u", userFile}})};
    return {};
}

AssociationStatus DesktopAssociationBackend::GiveBack(const std::string& extension)
{
    const std::string mimeType = MimeTypeForExtension(m_folders, extension);
    if (mimeType.empty())
        return NoFileType(extension);
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
        if (const int error = platform::RemoveFile(userFile); error != 0 && !IsMissingFile(error))
            return FileStatus(error, userFile);
    } else if (text != original) {
        if (const int error = platform::WriteFileAtomically(userFile, text); error != 0)
            return FileStatus(error, userFile);
    }

    if (AssociationStatus status = UpdateOwnDesktopFile(mimeType, false); !status.ok())
        return status;
    if (AssociationStatus status = RemoveOwnMimeType(mimeType); !status.ok())
        return status;

    const DefaultApplication now = FindDefaultApplication(m_folders, mimeType);
    if (now.error != 0)
        return FileStatus(now.error, now.errorFile);
    if (!now.desktopId.empty() && RunsThisProgram(now.desktopFile))
        return {kOverriddenDefaultError,
                Fill(Message("402", "%t alapértelmezett alkalmazása a(z) %f miatt továbbra is "
                                    "ez a program."),
                     {{"%t", mimeType}, {"%f", now.listFile}})};
    return {};
}

// On Linux file types are the desktop's MIME defaults.
std::unique_ptr<AssociationBackend> CreateSystemAssociationBackend()
{
    return std::make_unique<DesktopAssociationBackend>();
}

} // namespace zuv
