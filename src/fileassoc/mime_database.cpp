#include "fileassoc/mime_database.h"

#include "platform/file_system.h"
#include "util/ini_document.h"
#include "util/number_format.h"
#include "util/text_utils.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>

namespace zuv {

namespace {

// The system's freedesktop.org.xml is about 2.5 MB; anything far beyond is not a MIME database.
constexpr std::size_t kMaxDatabaseFileBytes = 32 * 1024 * 1024;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// "media/subtype" that is safe to use as a path below mime/.
bool IsPlainMimeType(std::string_view type)
{
    const std::size_t slash = type.find('/');
    if (slash == 0 || slash == std::string_view::npos || slash + 1 == type.size())
        return false;
    if (type.find('/', slash + 1) != std::string_view::npos)
        return false;
    return type.find("..") == std::string_view::npos && type.find('\0') == std::string_view::npos &&
           type.find('\\') == std::string_view::npos;
}

std::string WithoutXmlComments(std::string_view xml)
{
    std::string text;
    std::size_t pos = 0;
    while (pos < xml.size()) {
        const std::size_t open = xml.find("<!--", pos);
        if (open == std::string_view::npos) {
            text += xml.substr(pos);
            break;
        }
        text += xml.substr(pos, open - pos);
        const std::size_t close = xml.find("-->", open + 4);
        if (close == std::string_view::npos)
            break;
        pos = close + 3;
    }
    return text;
}

void AppendUtf8(std::string& text, unsigned long code)
{
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::optional<std::string> DecodeEntity(std::string_view name)
{
    if (name == "amp")
        return "&";
    if (name == "lt")
        return "<";
    if (name == "gt")
        return ">";
    if (name == "quot")
        return "\"";
    if (name == "apos")
        return "'";
    if (name.size() < 2 || name[0] != '#')
        return std::nullopt;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits(name.substr(hex ? 2 : 1));
    if (digits.empty() || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || code == 0 || code > 0x10FFFF)
        return std::nullopt;
    std::string text;
    AppendUtf8(text, code);
    return text;
}

std::string DecodeXmlText(std::string_view raw)
{
    std::string text;
    std::size_t pos = 0;
    while (pos < raw.size()) {
        const std::size_t semicolon = raw[pos] == '&' ? raw.find(';', pos) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - pos > 10) {
            text += raw[pos++];
            continue;
        }
        if (const auto decoded = DecodeEntity(raw.substr(pos + 1, semicolon - pos - 1)))
            text += *decoded;
        else
            text += raw.substr(pos, semicolon + 1 - pos);
        pos = semicolon + 1;
    }
    return text;
}

// The attributes of a start tag ("<name a='1' b="2">"), by name.
std::optional<std::string> AttributeValue(std::string_view tag, std::string_view wanted)
{
    std::size_t pos = 0;
    while (pos < tag.size()) {
        while (pos < tag.size() && IsBlank(tag[pos]))
            ++pos;
        const std::size_t nameStart = pos;
        while (pos < tag.size() && !IsBlank(tag[pos]) && tag[pos] != '=' && tag[pos] != '/' &&
               tag[pos] != '>')
            ++pos;
        const std::string_view name = tag.substr(nameStart, pos - nameStart);
        while (pos < tag.size() && IsBlank(tag[pos]))
            ++pos;
        if (pos >= tag.size() || tag[pos] != '=') {
            if (name.empty())
                ++pos;
            continue;
        }
        ++pos;
        while (pos < tag.size() && IsBlank(tag[pos]))
            ++pos;
        if (pos >= tag.size() || (tag[pos] != '"' && tag[pos] != '\''))
            continue;
        const char quote = tag[pos++];
        const std::size_t close = tag.find(quote, pos);
        if (close == std::string_view::npos)
            return std::nullopt;
        if (name == wanted)
            return DecodeXmlText(tag.substr(pos, close - pos));
        pos = close + 1;
    }
    return std::nullopt;
}

// Finds the next start tag `<name ...>` at or after `pos`: the tag's attribute text and the
// position after it. A self-closing tag reports selfClosing.
struct StartTag
{
    std::size_t begin = std::string_view::npos;
    std::size_t after = 0;
    std::string_view attributes;
    bool selfClosing = false;
};

StartTag FindStartTag(std::string_view xml, std::string_view name, std::size_t pos)
{
    const std::string open = "<" + std::string(name);
    while ((pos = xml.find(open, pos)) != std::string_view::npos) {
        const std::size_t nameEnd = pos + open.size();
        if (nameEnd < xml.size() &&
            (IsBlank(xml[nameEnd]) || xml[nameEnd] == '>' || xml[nameEnd] == '/')) {
            const std::size_t close = xml.find('>', nameEnd);
            if (close == std::string_view::npos)
                return {};
            StartTag tag;
            tag.begin = pos;
            tag.after = close + 1;
            tag.selfClosing = close > nameEnd && xml[close - 1] == '/';
            tag.attributes = xml.substr(nameEnd, close - nameEnd - (tag.selfClosing ? 1 : 0));
            return tag;
        }
        pos = nameEnd;
    }
    return {};
}

std::string PlainCommentOf(std::string_view xml)
{
    std::size_t pos = 0;
    for (;;) {
        const StartTag tag = FindStartTag(xml, "comment", pos);
        if (tag.begin == std::string_view::npos)
            return {};
        pos = tag.after;
        if (tag.selfClosing || AttributeValue(tag.attributes, "xml:lang"))
            continue;
        const std::size_t close = xml.find("</comment", tag.after);
        if (close == std::string_view::npos)
            return {};
        return Trim(DecodeXmlText(xml.substr(tag.after, close - tag.after)));
    }
}

} // namespace

std::string PlainXmlComment(std::string_view xml)
{
    return PlainCommentOf(WithoutXmlComments(xml));
}

std::string PackageMimeTypeComment(std::string_view xml, std::string_view mimeType)
{
    const std::string text = WithoutXmlComments(xml);
    std::size_t pos = 0;
    for (;;) {
        const StartTag tag = FindStartTag(text, "mime-type", pos);
        if (tag.begin == std::string_view::npos)
            return {};
        pos = tag.after;
        const auto type = AttributeValue(tag.attributes, "type");
        if (tag.selfClosing || !type || !EqualsIgnoreCase(*type, mimeType))
            continue;
        const std::size_t close = text.find("</mime-type", tag.after);
        return PlainCommentOf(std::string_view(text).substr(
            tag.after, close == std::string::npos ? std::string::npos : close - tag.after));
    }
}

std::string MimeTypeForExtension(const DesktopFolders& folders, std::string_view extension)
{
    if (extension.empty() || extension == ".")
        return {};
    const std::string suffix =
        extension.front() == '.' ? std::string(extension) : "." + std::string(extension);

    int bestWeight = -1;
    std::string bestType;
    // __NOGLOBS__ in a folder hides the type's patterns in the folders after it.
    std::set<std::string> hiddenTypes;
    for (const std::string& folder : folders.DataSearchPath()) {
        const platform::FileContent globs =
            platform::ReadWholeFile(folder + "mime/globs2", kMaxDatabaseFileBytes);
        if (!globs.ok())
            continue;
        std::set<std::string> hiddenHere;
        for (const std::string_view line : SplitLines(globs.data)) {
            if (line.empty() || line.front() == '#')
                continue;
            // weight:type:pattern[:flags...]
            std::string rest(line);
            const std::string weightText = SplitFirst(rest, ":");
            const std::string type = SplitFirst(rest, ":");
            const std::string pattern = SplitFirst(rest, ":");
            const std::string flags = SplitFirst(rest, ":");
            const auto weight = ParseInteger(weightText);
            if (!weight || type.empty())
                continue;
            const std::string typeKey = ToLowerAscii(type);
            if (pattern == "__NOGLOBS__") {
                hiddenHere.insert(typeKey);
                continue;
            }
            if (hiddenTypes.count(typeKey) || pattern.size() < 2 || pattern.front() != '*')
                continue;
            const std::string_view tail = std::string_view(pattern).substr(1);
            if (tail.find_first_of("*?[") != std::string_view::npos)
                continue;
            const bool caseSensitive = ("," + flags + ",").find(",cs,") != std::string::npos;
            const bool matches = caseSensitive ? tail == suffix : EqualsIgnoreCase(tail, suffix);
            if (matches && *weight > bestWeight) {
                bestWeight = *weight;
                bestType = type;
            }
        }
        hiddenTypes.insert(hiddenHere.begin(), hiddenHere.end());
    }
    return bestType;
}

std::string MimeTypeComment(const DesktopFolders& folders, std::string_view mimeType)
{
    if (!IsPlainMimeType(mimeType))
        return {};
    const std::vector<std::string> search = folders.DataSearchPath();
    for (const std::string& folder : search) {
        const platform::FileContent file = platform::ReadWholeFile(
            folder + "mime/" + std::string(mimeType) + ".xml", kMaxDatabaseFileBytes);
        if (!file.ok())
            continue;
        if (std::string comment = PlainXmlComment(file.data); !comment.empty())
            return comment;
    }
    for (const std::string& folder : search) {
        const std::string packages = folder + "mime/packages/";
        std::vector<std::string> names = platform::ListFiles(packages, ".xml");
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const platform::FileContent file =
                platform::ReadWholeFile(packages + name, kMaxDatabaseFileBytes);
            if (!file.ok())
                continue;
            if (std::string comment = PackageMimeTypeComment(file.data, mimeType); !comment.empty())
                return comment;
        }
    }
    return {};
}

} // namespace zuv
