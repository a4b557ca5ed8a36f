#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zuv {

// The entries of the settings dialog's language list.
struct LanguageList
{
    // Entry 0 is the built-in language in angle brackets, then one display name per file.
    std::vector<std::string> entries;
    // The entry of the current language; 0 when no listed file is current.
    std::size_t selected = 0;
};

// The language module: the loaded language file and text lookup with built-in defaults.
// Language files are "<base name>.lng" in one folder; they are ini-style text whose sections and
// keys match without regard to letter case, first section and first key of a name winning.
// Every text is UTF-8; a file that is not valid UTF-8 is read as cp1250.
class Language
{
public:
    static constexpr std::string_view kBuiltInName = "magyar";
    // Language files are a few kilobytes; anything much larger is not one.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    // The "lang/" folder of the program folder.
    Language();
    explicit Language(std::string folder);

    const std::string& Folder() const { return m_folder; }
    std::string FilePath(std::string_view baseName) const;

    // Loads "<baseName>.lng". A missing file is no error: it has no texts, and `CurrentLanguage`
    // becomes the base name. A file that exists but cannot be read (or is too large) leaves the
    // built-in language current and gives false.
    bool LoadLanguage(std::string_view baseName);
    // Makes the text of a language file current under the base name, as LoadLanguage does once it
    // has read the file.
    void LoadLanguageText(std::string_view baseName, std::string_view fileText);
    void UnloadLanguage();

    // The file's text, else the built-in one; "\n" (backslash, n) becomes a line feed in both.
    // A key present with an empty value gives the empty text.
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view builtIn) const;
    std::string GetTextOrEmpty(std::string_view section, std::string_view key) const;

    // Base name of the loaded file; empty for the built-in language.
    const std::string& CurrentLanguage() const { return m_currentLanguage; }

    // Lists every "*.lng" file of the folder, sorted by base name, and remembers the base names
    // for `SelectLanguage`. A file's display name is its Lang/Name, else its base name; a file that
    // cannot be read is listed under its base name.
    LanguageList FillLanguageList();
    // The base names behind the list entries 1, 2, ...
    const std::vector<std::string>& BaseNames() const { return m_baseNames; }

    // Switches to the language of a list entry (0: built-in). False, with nothing changed, when
    // the entry is already current or is not in the list. On a change the handler runs, which is
    // where the open windows are translated again.
    bool SelectLanguage(int index);
    void SetLanguageChangedHandler(std::function<void()> handler);

private:
    // Keys without regard to letter case that can be looked up with any string_view.
    struct FoldedHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept;
    };
    struct FoldedEqual
    {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    using KeyMap = std::unordered_map<std::string, std::string, FoldedHash, FoldedEqual>;
    using SectionMap = std::unordered_map<std::string, KeyMap, FoldedHash, FoldedEqual>;

    static SectionMap BuildIndex(std::string_view fileText);
    const std::string* Find(std::string_view section, std::string_view key) const;

    std::string m_folder;
    std::string m_currentLanguage;
    SectionMap m_texts;
    std::vector<std::string> m_baseNames;
    std::function<void()> m_languageChanged;
};

// The program's one language module, on the user-interface thread.
Language& Langunit();

} // namespace zuv
