#include "settings/font_list.h"

#include "platform/file_system.h"
#include "util/text_utils.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace zuv {

namespace {

bool IsTrueTypeFile(const std::string& path)
{
    return path.size() >= 4 &&
           EqualsIgnoreCase(std::string_view(path).substr(path.size() - 4), ".ttf");
}

std::string BaseName(const platform::FontFace& face)
{
    std::string name = Trim(face.fullName);
    if (name.empty())
        name = Trim(Trim(face.family) + " " + Trim(face.style));
    if (name.empty())
        name = FileNamePart(face.file);
    return name;
}

// Gives every entry of a group of equal names the suffix made by `suffix`, then reports whether
// any names still clash.
template <typename Suffix>
bool Disambiguate(std::vector<InstalledFont>& fonts, const std::vector<std::string>& baseNames,
                  Suffix suffix)
{
    std::map<std::string, int> counts;
    for (const InstalledFont& font : fonts)
        ++counts[font.displayName];
    bool clashes = false;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        if (counts[fonts[i].displayName] > 1) {
            fonts[i].displayName = baseNames[i] + " (" + suffix(fonts[i]) + ")";
            clashes = true;
        }
    }
    return clashes;
}

} // namespace

std::vector<InstalledFont> NameFontFaces(const std::vector<platform::FontFace>& faces,
                                         bool trueTypeOnly)
{
    std::vector<InstalledFont> fonts;
    // The same name and file may be reported more than once (faces differing only in details).
    std::set<std::pair<std::string, std::string>> seen;
    for (const platform::FontFace& face : faces) {
        if (trueTypeOnly && !IsTrueTypeFile(face.file))
            continue;
        InstalledFont font{BaseName(face), face.file};
        if (seen.emplace(font.displayName, font.file).second)
            fonts.push_back(std::move(font));
    }
    std::vector<std::string> baseNames;
    for (const InstalledFont& font : fonts)
        baseNames.push_back(font.displayName);

    if (Disambiguate(fonts, baseNames, [](const InstalledFont& f) { return FileNamePart(f.file); }))
        Disambiguate(fonts, baseNames, [](const InstalledFont& f) { return f.file; });

    std::sort(fonts.begin(), fonts.end(), [](const InstalledFont& a, const InstalledFont& b) {
        const std::string lowerA = ToLowerAscii(a.displayName);
        const std::string lowerB = ToLowerAscii(b.displayName);
        return lowerA != lowerB ? lowerA < lowerB : a.displayName < b.displayName;
    });
    return fonts;
}

bool ReadInstalledFonts(std::vector<std::string>& list, bool trueTypeOnly)
{
    const auto faces = platform::ListFontFaces();
    if (!faces)
        return false;
    list.clear();
    for (const InstalledFont& font : NameFontFaces(*faces, trueTypeOnly))
        list.push_back(font.displayName);
    return true;
}

std::string FontFileFromName(const std::string& name)
{
    if (name.empty())
        return {};
    const auto faces = platform::ListFontFaces();
    if (!faces)
        return {};
    // The dialog lists TrueType fonts; a name from the full list is found in the second pass.
    for (const bool trueTypeOnly : {true, false}) {
        for (const InstalledFont& font : NameFontFaces(*faces, trueTypeOnly)) {
            if (font.displayName == name)
                return font.file;
        }
    }
    return {};
}

std::string FontBrowseFolder(const std::string& chosenFont)
{
    if (!chosenFont.empty()) {
        const std::string folder = FolderPart(chosenFont);
        if (!folder.empty() && platform::FolderExists(folder))
            return folder;
    }
    return platform::UserFontFolder();
}

} // namespace zuv
