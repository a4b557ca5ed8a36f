#pragma once

#include "fileassoc/association_backend.h"
#include "fileassoc/desktop_defaults.h"
#include "fileassoc/desktop_folders.h"
#include "fileassoc/own_mime_types.h"

#include <string>
#include <string_view>

namespace zuv {

// The desktop file that this program installs for the file types it opens.
inline constexpr std::string_view kOwnDesktopFileId = "zuvora.desktop";

// The program path as the start of a desktop file's Exec value: in double quotes (with a
// backslash before each quote, backquote, dollar and backslash inside) only when it holds a
// character the desktop entry format reserves; "%" doubled; then escaped for the key file. A
// path holding "%" is started through "env": GIO and xdg-mime look for the program under the
// Exec value's first word as written, "%%" and all, and ignore an entry whose program they do
// not find. Empty for a path holding both "%" and "=", which env would take for a variable.
std::string DesktopExecProgram(const std::string& programPath);

// The program that an Exec value starts (its first word, quotes and escapes removed; after a
// bare "env", the word that follows it).
std::string ExecValueProgram(std::string_view execValue);

// File associations of the Linux desktop: an extension's file type is its MIME type, and the
// program that opens it is the type's default application; it is ours when its Exec runs this
// program. Taking over installs zuvora.desktop in $XDG_DATA_HOME/applications and makes it the
// user's default in $XDG_CONFIG_HOME/mimeapps.list, keeping the user's previous line for that
// type (or that there was none) in the group "[X-Zuvora Previous Defaults]" of the same file;
// giving back puts the line back as it was. An extension the MIME database does not know gets a
// type of our own in $XDG_DATA_HOME/mime/packages. Once nothing is ours any more, what we
// created goes again: the list file or group, our desktop file, our MIME packages.
class DesktopAssociationBackend : public AssociationBackend
{
public:
    static constexpr std::size_t kMaxListFileBytes = kMaxMimeAppsListBytes;

    // `programPath`: the running program's full path, started by the desktop file.
    explicit DesktopAssociationBackend(DesktopFolders folders = DesktopFolders::FromEnvironment(),
                                       std::string programPath = {});

    AssociationRowState ReadRow(const std::string& extension) override;
    AssociationStatus TakeOver(const std::string& extension) override;
    AssociationStatus GiveBack(const std::string& extension) override;

    std::string UserMimeAppsFile() const; // $XDG_CONFIG_HOME/mimeapps.list
    std::string OwnDesktopFile() const;   // $XDG_DATA_HOME/applications/zuvora.desktop

private:
    // The extension's MIME type and the user's list of default applications as it stands.
    struct UserDefaults
    {
        std::string mimeType;
        std::string userFile;
        std::string text;
        bool existed = false;
    };
    AssociationStatus ReadUserDefaults(const std::string& mimeType, UserDefaults& defaults) const;
    AssociationStatus UpdateOwnDesktopFile(const std::string& mimeType, bool add);
    bool RunsThisProgram(const std::string& desktopFile) const;
    // The text of the menu entry installed with the program (in the system data folders), or
    // empty. The user's own zuvora.desktop hides it, so it starts as a copy of it.
    std::string InstalledDesktopEntry() const;

    DesktopFolders m_folders;
    OwnMimeTypes m_ownTypes; // for extensions the database does not know
    std::string m_programPath;
    std::string m_realProgramPath; // after links
};

} // namespace zuv
