#pragma once

#include "fileassoc/association_backend.h"
#include "fileassoc/desktop_folders.h"

#include <string>
#include <string_view>

namespace zuv {

// The desktop file that this program installs for the file types it opens.
inline constexpr std::string_view kOwnDesktopFileId = "zuvora.desktop";

// Our own error code: a setting of higher precedence than the user's mimeapps.list (a
// desktop-specific or system list) decides the default, so the change did not take effect.
inline constexpr int kOverriddenDefaultError = -2;

// The program path as the first word of a desktop file's Exec value: in double quotes (with a
// backslash before each quote, backquote, dollar and backslash inside) only when it holds a
// character the desktop entry format reserves; "%" doubled; then escaped for the key file.
std::string DesktopExecProgram(const std::string& programPath);

// The program that an Exec value starts (its first word, quotes and escapes removed).
std::string ExecValueProgram(std::string_view execValue);

// The default application of a MIME type, as the desktop finds it.
struct DefaultApplication
{
    std::string desktopId;   // "vlc.desktop", or empty when there is none
    std::string desktopFile; // where that desktop file is installed
    std::string listFile;    // the mimeapps.list / defaults.list / mimeinfo.cache that named it
    int error = 0;           // reading the user's own mimeapps.list failed
    std::string errorFile;
};

// What the desktop opens a MIME type with: the first installed entry of "[Default
// Applications]" in the mimeapps.list files in order of precedence (config home, config dirs,
// data home and data dirs, desktop-specific files before the plain ones), then of the
// defaults.list files; else of "[Added Associations]" in the same order, and last of the
// mimeinfo.cache files of the data folders, both without the entries that "[Removed
// Associations]" of that or an earlier list takes away.
DefaultApplication FindDefaultApplication(const DesktopFolders& folders, std::string_view mimeType);

// Where the installed desktop file of an id lies ("vendor-app.desktop" may also be
// applications/vendor/app.desktop); empty when it is not installed.
std::string FindDesktopFile(const DesktopFolders& folders, std::string_view desktopId);

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
    static constexpr std::size_t kMaxListFileBytes = 4 * 1024 * 1024;

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
    // A MIME type of our own for an extension the database does not know.
    AssociationStatus AddOwnMimeType(const std::string& extension, std::string& mimeType);
    AssociationStatus RemoveOwnMimeType(const std::string& mimeType);
    AssociationStatus UpdateMimeDatabase();
    bool RunsThisProgram(const std::string& desktopFile) const;
    // The text of the menu entry installed with the program (in the system data folders), or
    // empty. The user's own zuvora.desktop hides it, so it starts as a copy of it.
    std::string InstalledDesktopEntry() const;

    DesktopFolders m_folders;
    std::string m_programPath;
    std::string m_realProgramPath; // after links
};

} // namespace zuv
