#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The text of an ini file held in memory: sections in file order, each with its lines kept whole.
// Reading: lines end at CR LF, CR or LF; a NUL ends the text; empty lines and lines starting with
// ";" are dropped, as are lines before the first "[name]" header. Names of sections and entries
// are compared without regard to letter case (Unicode folding); the first section and the first
// entry of a name win. A header that occurs twice makes two sections; both are written back.
class IniDocument
{
public:
    struct Section
    {
        std::string name;
        std::vector<std::string> lines;
    };

    IniDocument() = default;
    static IniDocument Parse(std::string_view text);

    // Every section as "[name]", its lines, and an empty line; lines end with CR LF.
    std::string Serialize() const;

    // The value of the first entry `name` in the first section `section`, or none.
    std::optional<std::string> Value(std::string_view section, std::string_view name) const;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view fallback) const;

    // Rewrites the first entry in place as name=value with this spelling of the name, or appends
    // it to the section; a missing section is appended to the document. The value ends at its
    // first line break or NUL, which the file cannot hold: the rest would be read back as lines
    // of their own (other entries, other sections).
    void SetValue(std::string_view section, std::string_view name, std::string_view value);

    bool HasSection(std::string_view section) const;
    // Removes the first section of that name.
    void EraseSection(std::string_view section);

    const std::vector<Section>& Sections() const { return m_sections; }
    bool Empty() const { return m_sections.empty(); }

private:
    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);

    std::vector<Section> m_sections;
};

// Splits a text into lines at CR LF, CR or LF; a NUL ends the text. A last line without line end
// counts; a text ending in a line end has no empty last line.
std::vector<std::string_view> SplitLines(std::string_view text);

} // namespace zuv
