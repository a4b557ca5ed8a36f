#pragma once

#include "util/ini_document.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zuv {

// The two places "equalizer.ini" may live. An empty profile folder means there is none: the
// program folder takes its place.
struct PresetFolders
{
    std::string profile;
    std::string program;
    // An installed copy's folder (IsSharedProgramFolder): its presets are the first start's
    // defaults, kept in the profile folder; it is never written.
    bool programShared = false;

    // The user's profile folder (HomeFolder) and the program's own folder.
    static PresetFolders Default();
};

// The profile folder's file when one exists there (or the program folder is shared), otherwise
// the program folder's (existing or not).
std::string PresetFilePath(const PresetFolders& folders = PresetFolders::Default());

// Presets are held in memory from the equalizer window's creation to its destruction; the disk
// file is written once, by WriteBack. One section per preset, named by the preset, with its band
// value string under the key "Value"; other keys survive untouched. Names are matched without
// regard to letter case.
class EqualizerPresetFile
{
public:
    // Larger files are not presets; refusing them keeps memory bounded.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    // Chooses the file (PresetFilePath) and reads it. A missing file is an empty preset list.
    explicit EqualizerPresetFile(PresetFolders folders = PresetFolders::Default());

    const std::string& Path() const { return m_path; }
    // Set when the chosen file exists but could not be read (or is too large); its presets are
    // then missing from the list, and WriteBack leaves the file alone.
    const std::error_code& LoadError() const { return m_loadError; }

    // The preset names in file order (the window puts its default entry in front).
    std::vector<std::string> PresetNames() const;
    // The preset's band value string; empty when the preset or its "Value" is missing.
    std::string PresetValue(std::string_view name) const;
    // Replaces the value of the preset of that name (letter case ignored, its spelling kept) or
    // appends a new preset at the end.
    void SavePreset(std::string_view name, std::string_view bandValues);
    // Removes the (first) preset of that name.
    void DeletePreset(std::string_view name);

    struct WriteResult
    {
        std::error_code error; // of the last attempt
        std::string path;      // where the presets were written (or last tried)
    };
    // Writes every preset to the chosen file. When that fails and the file does not lie directly
    // in the profile folder, writes once more to "equalizer.ini" there, which the next start then
    // finds first. A file that could not be read at creation is never replaced (writing what
    // little was loaded would wipe the user's presets): the presets go to the profile folder.
    WriteResult WriteBack();

    const IniDocument& Document() const { return m_document; }

private:
    PresetFolders m_folders;
    std::string m_path;
    std::error_code m_loadError;
    IniDocument m_document;
};

} // namespace zuv
