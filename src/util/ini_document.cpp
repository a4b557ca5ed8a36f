#include "util/ini_document.h"

#include "util/case_fold.h"
#include "util/text_utils.h"

#include <utility>

namespace zuv {

namespace {

// The entry name of a line, or none when the line holds no "=".
std::optional<std::string_view> EntryName(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return line.substr(0, equals);
}

} // namespace

std::vector<std::string_view> SplitLines(std::string_view text)
{
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        // A plain scan: find_first_of calls memchr on its two characters for every byte.
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (end == text.size()) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument document;
    for (const std::string_view line : SplitLines(text)) {
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            document.m_sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        if (!document.m_sections.empty())
            document.m_sections.back().lines.emplace_back(line);
    }
    return document;
}

std::string IniDocument::Serialize() const
{
    std::string text;
    for (const Section& section : m_sections) {
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const std::string& line : section.lines) {
            text += line;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const
{
    for (const Section& section : m_sections) {
        if (SameTextIgnoringCase(section.name, name))
            return &section;
    }
    return nullptr;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name)
{
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view name) const
{
    const Section* found = FindSection(section);
    if (!found)
        return std::nullopt;
    for (const std::string& line : found->lines) {
        const auto entry = EntryName(line);
        if (entry && SameTextIgnoringCase(*entry, name))
            return line.substr(entry->size() + 1);
    }
    return std::nullopt;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view name,
                                    std::string_view fallback) const
{
    auto value = Value(section, name);
    return value ? std::move(*value) : std::string(fallback);
}

void IniDocument::SetValue(std::string_view section, std::string_view name, std::string_view value)
{
    std::string line(name);
    line += '=';
    line += value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
    Section* found = FindSection(section);
    if (!found) {
        m_sections.push_back({std::string(section), {std::move(line)}});
        return;
    }
    for (std::string& existing : found->lines) {
        const auto entry = EntryName(existing);
        if (entry && SameTextIgnoringCase(*entry, name)) {
            existing = std::move(line);
            return;
        }
    }
    found->lines.push_back(std::move(line));
}

bool IniDocument::HasSection(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

void IniDocument::EraseSection(std::string_view section)
{
    for (auto it = m_sections.begin(); it != m_sections.end(); ++it) {
        if (SameTextIgnoringCase(it->name, section)) {
            m_sections.erase(it);
            return;
        }
    }
}

} // namespace zuv
