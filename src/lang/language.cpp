#include "lang/language.h"

#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/zuvora_error.h"
#include "util/case_fold.h"
#include "util/ini_document.h"
#include "util/text_encoding.h"
#include "util/text_utils.h"

#include <algorithm>
#include <utility>

namespace zuv {

namespace {

constexpr std::string_view kExtension = ".lng";

std::string UnescapeLineBreaks(std::string text)
{
    ReplaceAll(text, "\\n", "\n");
    return text;
}

} // namespace

std::size_t Language::FoldedHash::operator()(std::string_view text) const noexcept
{
    return zuv::FoldedHash(text);
}

bool Language::FoldedEqual::operator()(std::string_view a, std::string_view b) const noexcept
{
    return SameTextIgnoringCase(a, b);
}

Language::Language() : Language(platform::ProgramFolder() + "lang/") {}

Language::Language(std::string folder) : m_folder(std::move(folder))
{
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
}

std::string Language::FilePath(std::string_view baseName) const
{
    std::string path = m_folder;
    path += baseName;
    path += kExtension;
    return path;
}

Language::SectionMap Language::BuildIndex(std::string_view fileText)
{
    const IniDocument document = IniDocument::Parse(TextToUtf8(fileText));
    SectionMap index;
    for (const IniDocument::Section& section : document.Sections()) {
        // Only the first section of a name is ever searched.
        const auto [keys, added] = index.try_emplace(section.name);
        if (!added)
            continue;
        for (const std::string& line : section.lines) {
            const std::size_t equals = line.find('=');
            if (equals == std::string::npos)
                continue;
            keys->second.try_emplace(line.substr(0, equals),
                                     UnescapeLineBreaks(line.substr(equals + 1)));
        }
    }
    return index;
}

bool Language::LoadLanguage(std::string_view baseName)
{
    platform::FileContent content = platform::ReadWholeFile(FilePath(baseName), kMaxFileBytes);
    if (!content.ok() && !platform::IsNotFoundError(content.error)) {
        UnloadLanguage();
        return false;
    }
    // A missing file reads as one without sections.
    LoadLanguageText(baseName, content.data);
    return true;
}

void Language::LoadLanguageText(std::string_view baseName, std::string_view fileText)
{
    m_texts = BuildIndex(fileText);
    m_currentLanguage = std::string(baseName);
}

void Language::UnloadLanguage()
{
    m_texts.clear();
    m_currentLanguage.clear();
}

const std::string* Language::Find(std::string_view section, std::string_view key) const
{
    const auto keys = m_texts.find(section);
    if (keys == m_texts.end())
        return nullptr;
    const auto value = keys->second.find(key);
    return value == keys->second.end() ? nullptr : &value->second;
}

std::string Language::GetText(std::string_view section, std::string_view key,
                              std::string_view builtIn) const
{
    if (const std::string* value = Find(section, key))
        return *value; // unescaped when the file was loaded
    return UnescapeLineBreaks(std::string(builtIn));
}

std::string Language::GetTextOrEmpty(std::string_view section, std::string_view key) const
{
    return GetText(section, key, {});
}

LanguageList Language::FillLanguageList()
{
    LanguageList list;
    std::string builtIn = "<";
    builtIn += kBuiltInName;
    builtIn += '>';
    list.entries.push_back(std::move(builtIn));
    m_baseNames.clear();

    // LoadLanguage opens "<base name>.lng" exactly, so only names it can find are listed.
    std::vector<std::string> names = platform::ListFiles(m_folder, kExtension);
    std::erase_if(names, [](const std::string& name) { return !name.ends_with(kExtension); });
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        std::string baseName = name.substr(0, name.size() - kExtension.size());
        std::string displayName = baseName;
        const platform::FileContent content =
            platform::ReadWholeFile(m_folder + name, kMaxFileBytes);
        if (content.ok()) {
            const IniDocument document = IniDocument::Parse(TextToUtf8(content.data));
            if (auto value = document.Value("Lang", "Name"))
                displayName = std::move(*value);
        }
        if (baseName == m_currentLanguage)
            list.selected = list.entries.size();
        list.entries.push_back(std::move(displayName));
        m_baseNames.push_back(std::move(baseName));
    }
    return list;
}

bool Language::SelectLanguage(int index)
{
    if (index < 0)
        return false;
    std::string baseName;
    if (index > 0) {
        const auto position = static_cast<std::size_t>(index) - 1;
        if (position >= m_baseNames.size())
            return false;
        baseName = m_baseNames[position];
    }
    if (baseName == m_currentLanguage)
        return false;
    UnloadLanguage();
    LoadLanguage(baseName);
    if (m_languageChanged)
        m_languageChanged();
    return true;
}

void Language::SetLanguageChangedHandler(std::function<void()> handler)
{
    m_languageChanged = std::move(handler);
}

Language& Langunit()
{
    static Language language;
    return language;
}

} // namespace zuv
