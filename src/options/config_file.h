#pragma once

#include "options/options.h"
#include "util/ini_document.h"

#include <string>
#include <system_error>

namespace zuv {

// The configuration file "zuv.ini": read once at start-up into memory, written whole at exit.
// It lies in the profile folder when a file is there, else in the program folder; a write that
// fails in the program folder moves it to the profile folder, which the next start finds first.

inline constexpr char kConfigFileName[] = "zuv.ini";
// A configuration is a few kilobytes; a larger file is not ours to parse or to overwrite.
inline constexpr std::size_t kMaxConfigFileBytes = 16 * 1024 * 1024;

// The folders a configuration file may lie in, each with a trailing separator.
struct ConfigFolders
{
    std::string programFolder;
    std::string profileFolder; // empty when the user has none
    // An installed copy's folder (IsSharedProgramFolder): read, never written.
    bool programFolderShared = false;
};
ConfigFolders DefaultConfigFolders();

// "zuv.ini" in the profile folder when preferred and known, else in the program folder.
std::string ConfigFilePath(bool preferProfileFolder, const ConfigFolders& folders);

class ConfigurationFile
{
public:
    // Opening: the profile folder's file when it exists, else the program folder's; read when it
    // exists. The path is kept even when no file is there yet. A shared program folder's file
    // only gives the defaults: the path is then the profile folder's, and without a profile
    // folder the file is never written.
    static ConfigurationFile Open(const ConfigFolders& folders);
    // A configuration for `path`, read when a file exists there.
    static ConfigurationFile Load(const std::string& path);

    const std::string& Path() const { return m_path; }
    IniDocument& Document() { return m_document; }
    const IniDocument& Document() const { return m_document; }

    // Writes the whole file atomically. A file that existed but could not be read is never
    // overwritten: writing it fails with the read error, so the caller's fallback keeps the
    // user's file intact. Nor is a shared program folder written, nor a text above
    // kMaxConfigFileBytes (ZuvoraError::TooLarge; the old file stays).
    std::error_code Write() const;

    // The same content for another path; a file already there is replaced at the next Write.
    ConfigurationFile MoveTo(const std::string& newPath) const;

private:
    std::string m_path;
    IniDocument m_document;
    std::error_code m_readError; // answered by Write instead of writing
};

// The exit steps: write the file; when that fails and the file does not lie directly in the
// profile folder, move it there and write again. Returns the error of the last attempt, if any;
// `file` is then the configuration at its final place.
std::error_code WriteWithProfileFallback(ConfigurationFile& file, const ConfigFolders& folders);

// Every option of the file, each with its default when the entry is missing or malformed.
// The values are as stored: the windows bring track bar positions into range.
Options ReadOptions(const IniDocument& document);

// Writes every option in the program's key order. `FileTypes` is never written.
void WriteOptions(IniDocument& document, const Options& options);

// Stores the player choice in the written file, in a section of its own that a new file gets
// after the histories: every section and key that older copies know keeps its place.
std::error_code StorePlayerChoice(const std::string& path, const Options& options);

// The value encodings of the file.
bool ReadSwitch(const IniDocument& document, std::string_view section, std::string_view key,
                bool fallback);
int ReadWholeNumber(const IniDocument& document, std::string_view section, std::string_view key,
                    int fallback);
double ReadScale(const IniDocument& document, std::string_view section, std::string_view key,
                 double fallback);

} // namespace zuv
