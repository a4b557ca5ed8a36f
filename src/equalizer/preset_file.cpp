#include "equalizer/preset_file.h"

#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/system_error.h"
#include "platform/system_utils.h"
#include "platform/zuvora_error.h"
#include "util/text_utils.h"

#include <utility>

namespace zuv {

namespace {

constexpr std::string_view kFileName = "equalizer.ini";
constexpr std::string_view kValueKey = "Value";

} // namespace

PresetFolders PresetFolders::Default()
{
    const ProgramFileFolders folders = DefaultProgramFileFolders();
    return {folders.profile, folders.program, folders.programShared};
}

std::string PresetFilePath(const PresetFolders& folders)
{
    if (!folders.profile.empty()) {
        std::string profileFile = folders.profile + std::string(kFileName);
        if (folders.programShared || platform::FileExists(profileFile))
            return profileFile;
    }
    return folders.program + std::string(kFileName);
}

EqualizerPresetFile::EqualizerPresetFile(PresetFolders folders)
    : m_folders(std::move(folders)), m_path(PresetFilePath(m_folders))
{
    // A shared program folder's presets stand in for a file the profile folder does not have yet;
    // unreadable, they are only missing defaults.
    const std::string programFile = m_folders.program + std::string(kFileName);
    const bool defaults =
        m_folders.programShared && m_path != programFile && !platform::FileExists(m_path);
    platform::FileContent content =
        platform::ReadWholeFile(defaults ? programFile : m_path, kMaxFileBytes);
    if (content.ok())
        m_document = IniDocument::Parse(content.data);
    else if (!defaults && !platform::IsNotFoundError(content.error)) // no file is no error
        m_loadError = content.error;
}

std::vector<std::string> EqualizerPresetFile::PresetNames() const
{
    std::vector<std::string> names;
    for (const IniDocument::Section& section : m_document.Sections())
        names.push_back(section.name);
    return names;
}

std::string EqualizerPresetFile::PresetValue(std::string_view name) const
{
    return m_document.ReadString(name, kValueKey, "");
}

void EqualizerPresetFile::SavePreset(std::string_view name, std::string_view bandValues)
{
    m_document.SetValue(name, kValueKey, bandValues);
}

void EqualizerPresetFile::DeletePreset(std::string_view name)
{
    m_document.EraseSection(name);
}

EqualizerPresetFile::WriteResult EqualizerPresetFile::WriteBack()
{
    // Without a profile folder a shared program folder leaves nowhere to write.
    if (m_folders.programShared && m_folders.profile.empty())
        return {platform::SystemError(platform::kErrorAccessDenied), m_path};
    const std::string text = m_document.Serialize();
    // A file that could not be read is answered as if writing it had failed.
    const std::error_code error =
        m_loadError ? m_loadError : platform::WriteFileAtomically(m_path, text);
    if (!error)
        return {{}, m_path};
    // Against the profile folder this file was chosen with.
    const bool inProfileFolder =
        !m_folders.profile.empty() && IsDirectlyInFolder(m_path, m_folders.profile);
    if (inProfileFolder || m_folders.profile.empty())
        return {error, m_path};
    m_path = m_folders.profile + std::string(kFileName);
    return {platform::WriteFileAtomically(m_path, text), m_path};
}

} // namespace zuv
