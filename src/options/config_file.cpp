#include "options/config_file.h"

#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/system_error.h"
#include "platform/system_utils.h"
#include "platform/zuvora_error.h"
#include "util/number_format.h"

#include <variant>

namespace zuv {

namespace {

using OptionField =
    std::variant<bool Options::*, int Options::*, double Options::*, std::string Options::*>;

struct OptionKey
{
    const char* section;
    const char* key;
    OptionField field;
    bool stored = true; // false: read but never written
};

// Every key in the order the file is written.
const OptionKey kOptionKeys[] = {
    {"Main", "Language", &Options::Language},
    {"Main", "LastFile", &Options::LastFile},
    {"Main", "LastSubFile", &Options::LastSubFile},
    {"Main", "Parameters", &Options::Parameters},
    {"Main", "Fullscreen", &Options::Fullscreen},
    {"Main", "Idx", &Options::Idx},
    {"Main", "DisableScrSaver", &Options::DisableScrSaver},
    {"Main", "Shutdown", &Options::Shutdown},
    {"Main", "OnTop", &Options::OnTop},
    {"Main", "Playlist", &Options::Playlist},
    {"Main", "AutoStartDragDrop", &Options::AutoStartDragDrop},
    {"Main", "AutoStartCmdLine", &Options::AutoStartCmdLine},
    {"Main", "ShowResultWindow", &Options::ShowResultWindow},
    {"Main", "ShowResultOnErrorOnly", &Options::ShowResultOnErrorOnly},
    {"Main", "MPlayerPriority", &Options::MPlayerPriority},
    {"Main", "SettingsPage", &Options::SettingsPage},
    {"Main", "OneInstanceOnly", &Options::OneInstanceOnly},
    {"Main", "FileTypes", &Options::FileTypes, false},
    {"Video", "Double", &Options::Double},
    {"Video", "dri", &Options::dri},
    {"Video", "GraphicEq", &Options::GraphicEq},
    {"Video", "ForceYUY2", &Options::ForceYUY2},
    {"Video", "PostProcessing", &Options::PostProcessing},
    {"Video", "Expand", &Options::Expand},
    {"Video", "PanScan", &Options::PanScan},
    {"Video", "PanScanValue", &Options::PanScanValue},
    {"Audio", "CustomVolume", &Options::CustomVolume},
    {"Audio", "Volume", &Options::Volume},
    {"Audio", "Normalize", &Options::Normalize},
    {"Audio", "ExtraStereo", &Options::ExtraStereo},
    {"Audio", "ExtraStereoVal", &Options::ExtraStereoVal},
    {"Audio", "SetChannels", &Options::SetChannels},
    {"Audio", "Channels", &Options::Channels},
    {"Audio", "EmulateSubwoofer", &Options::EmulateSubwoofer},
    {"Audio", "EQ", &Options::EQ},
    {"Audio", "EQPreset", &Options::EQPreset},
    {"Audio", "EQSettings", &Options::EQSettings},
    {"Audio", "CustomAC3Mixing", &Options::CustomAC3Mixing},
    {"Audio", "MixerProfile", &Options::MixerProfile},
    {"Font", "Font", &Options::Font},
    {"Font", "FontFace", &Options::FontFace},
    {"Font", "SetFontScale", &Options::SetFontScale},
    {"Font", "FontScale", &Options::FontScale},
    {"Font", "SubCp", &Options::SubCp},
    {"Font", "SubfontOutline", &Options::SubfontOutline},
    {"Font", "SubfontOutlineValue", &Options::SubfontOutlineValue},
    {"Font", "SubfontBlur", &Options::SubfontBlur},
    {"Font", "SubfontBlurValue", &Options::SubfontBlurValue},
    // Written by StorePlayerChoice, after the histories.
    {"Player", "Player", &Options::Player, false},
};

template <class... Handlers>
struct Overloaded : Handlers...
{
    using Handlers::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

ConfigFolders DefaultConfigFolders()
{
    const ProgramFileFolders folders = DefaultProgramFileFolders();
    return {folders.program, folders.profile, folders.programShared};
}

std::string ConfigFilePath(bool preferProfileFolder, const ConfigFolders& folders)
{
    const std::string& folder = (preferProfileFolder && !folders.profileFolder.empty())
                                    ? folders.profileFolder
                                    : folders.programFolder;
    return folder + kConfigFileName;
}

ConfigurationFile ConfigurationFile::Open(const ConfigFolders& folders)
{
    const std::string profilePath = ConfigFilePath(true, folders);
    const std::string programPath = ConfigFilePath(false, folders);
    const bool found = platform::FileExists(profilePath) || platform::FolderExists(profilePath);
    if (!folders.programFolderShared)
        return Load(found ? profilePath : programPath);
    if (found && profilePath != programPath)
        return Load(profilePath);
    // A file that a package or an administrator put there; one that cannot be read gives none.
    ConfigurationFile file = Load(programPath).MoveTo(profilePath);
    if (profilePath == programPath) // no profile folder: nowhere to write
        file.m_readError = platform::SystemError(platform::kErrorAccessDenied);
    return file;
}

ConfigurationFile ConfigurationFile::Load(const std::string& path)
{
    ConfigurationFile file;
    file.m_path = path;
    const platform::FileContent content = platform::ReadWholeFile(path, kMaxConfigFileBytes);
    if (content.ok())
        file.m_document = IniDocument::Parse(content.data);
    else if (!platform::IsNotFoundError(content.error))
        file.m_readError = content.error;
    return file;
}

std::error_code ConfigurationFile::Write() const
{
    if (m_readError)
        return m_readError;
    // A file the next start would refuse to read is not written (CR LF line ends make it grow).
    const std::string text = m_document.Serialize();
    if (text.size() > kMaxConfigFileBytes)
        return ZuvoraError::TooLarge;
    return platform::WriteFileAtomically(m_path, text);
}

ConfigurationFile ConfigurationFile::MoveTo(const std::string& newPath) const
{
    ConfigurationFile moved;
    moved.m_path = newPath;
    moved.m_document = m_document;
    return moved;
}

std::error_code WriteWithProfileFallback(ConfigurationFile& file, const ConfigFolders& folders)
{
    const std::error_code error = file.Write();
    if (!error || folders.profileFolder.empty() ||
        IsDirectlyInFolder(file.Path(), folders.profileFolder))
        return error;
    file = file.MoveTo(ConfigFilePath(true, folders));
    return file.Write();
}

bool ReadSwitch(const IniDocument& document, std::string_view section, std::string_view key,
                bool fallback)
{
    const auto value = document.Value(section, key);
    const auto number = value ? ParseInteger(*value) : std::nullopt;
    return number ? *number != 0 : fallback;
}

int ReadWholeNumber(const IniDocument& document, std::string_view section, std::string_view key,
                    int fallback)
{
    const auto value = document.Value(section, key);
    const auto number = value ? ParseInteger(*value) : std::nullopt;
    return number ? *number : fallback;
}

double ReadScale(const IniDocument& document, std::string_view section, std::string_view key,
                 double fallback)
{
    const auto value = document.Value(section, key);
    const auto number = value ? ParseDecimal(*value) : std::nullopt;
    return number ? *number : fallback;
}

Options ReadOptions(const IniDocument& document)
{
    Options options;
    for (const OptionKey& entry : kOptionKeys) {
        std::visit(
            Overloaded{
                [&](bool Options::*field) {
                    options.*field = ReadSwitch(document, entry.section, entry.key, options.*field);
                },
                [&](int Options::*field) {
                    options.*field =
                        ReadWholeNumber(document, entry.section, entry.key, options.*field);
                },
                [&](double Options::*field) {
                    options.*field = ReadScale(document, entry.section, entry.key, options.*field);
                },
                [&](std::string Options::*field) {
                    options.*field = document.ReadString(entry.section, entry.key, options.*field);
                },
            },
            entry.field);
    }
    return options;
}

std::error_code StorePlayerChoice(const std::string& path, const Options& options)
{
    const platform::FileContent file = platform::ReadWholeFile(path, kMaxConfigFileBytes);
    if (!file.ok())
        return file.error; // the options could not be written either, or it would be there
    IniDocument document = IniDocument::Parse(file.data);
    document.SetValue("Player", "Player", FormatInteger(options.Player));
    return platform::WriteFileAtomically(path, document.Serialize());
}

void WriteOptions(IniDocument& document, const Options& options)
{
    for (const OptionKey& entry : kOptionKeys) {
        if (!entry.stored)
            continue;
        const std::string value = std::visit(
            Overloaded{
                [&](bool Options::*field) { return std::string(options.*field ? "1" : "0"); },
                [&](int Options::*field) { return FormatInteger(options.*field); },
                [&](double Options::*field) { return FormatDecimal(options.*field); },
                [&](std::string Options::*field) { return options.*field; },
            },
            entry.field);
        document.SetValue(entry.section, entry.key, value);
    }
}

} // namespace zuv
