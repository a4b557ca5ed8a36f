#include "fileassoc/key_file_text.h"

#include "util/text_utils.h"

#include <vector>

namespace zuv {

namespace {

struct Line
{
    std::size_t start = 0;
    std::size_t contentEnd = 0; // before "\r\n" or "\n"
    std::size_t end = 0;        // after the line end
};

std::vector<Line> SplitKeepingEnds(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        Line line;
        line.start = start;
        if (newline == std::string_view::npos) {
            line.contentEnd = line.end = text.size();
        } else {
            line.end = newline + 1;
            line.contentEnd =
                (newline > start && text[newline - 1] == '\r') ? newline - 1 : newline;
        }
        lines.push_back(line);
        start = line.end;
    }
    return lines;
}

std::string_view Content(std::string_view text, const Line& line)
{
    return text.substr(line.start, line.contentEnd - line.start);
}

bool IsBlankLine(std::string_view content)
{
    return Trim(content).empty();
}

bool IsHeader(std::string_view content)
{
    const std::string trimmed = Trim(content);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

// The key of an entry line, or none for blanks, comments and headers.
std::optional<std::string> KeyOf(std::string_view content)
{
    const std::string trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '[')
        return std::nullopt;
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return Trim(content.substr(0, equals));
}

struct GroupRange
{
    std::size_t header = 0; // index of the header line
    std::size_t end = 0;    // index of the next header, or the number of lines
};

std::optional<GroupRange> FindGroup(std::string_view text, const std::vector<Line>& lines,
                                    std::string_view group)
{
    const std::string header = "[" + std::string(group) + "]";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Trim(Content(text, lines[i])) != header)
            continue;
        GroupRange range{i, lines.size()};
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            if (IsHeader(Content(text, lines[j]))) {
                range.end = j;
                break;
            }
        }
        return range;
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(std::string_view text, const std::vector<Line>& lines,
                                   const GroupRange& group, std::string_view key)
{
    for (std::size_t i = group.header + 1; i < group.end; ++i) {
        if (KeyOf(Content(text, lines[i])) == key)
            return i;
    }
    return std::nullopt;
}

// New lines follow the file's own line ends.
std::string_view LineEnd(const std::vector<Line>& lines)
{
    if (!lines.empty() && lines.front().end > lines.front().contentEnd + 1)
        return "\r\n";
    return "\n";
}

} // namespace

std::optional<std::string> KeyFileValue(std::string_view text, std::string_view group,
                                        std::string_view key)
{
    const std::vector<Line> lines = SplitKeepingEnds(text);
    const auto range = FindGroup(text, lines, group);
    if (!range)
        return std::nullopt;
    const auto index = FindKey(text, lines, *range, key);
    if (!index)
        return std::nullopt;
    const std::string_view content = Content(text, lines[*index]);
    return std::string(content.substr(content.find('=') + 1));
}

void SetKeyFileValue(std::string& text, std::string_view group, std::string_view key,
                     std::string_view value)
{
    const std::vector<Line> lines = SplitKeepingEnds(text);
    const std::string lineEnd(LineEnd(lines));
    const std::string entry = std::string(key) + "=" + std::string(value);
    const auto range = FindGroup(text, lines, group);
    if (!range) {
        if (!text.empty() && text.back() != '\n')
            text += lineEnd;
        if (!text.empty())
            text += lineEnd;
        text += "[" + std::string(group) + "]" + lineEnd + entry + lineEnd;
        return;
    }
    if (const auto index = FindKey(text, lines, *range, key)) {
        const Line& line = lines[*index];
        const std::size_t valueStart = text.find('=', line.start) + 1;
        text.replace(valueStart, line.contentEnd - valueStart, value);
        return;
    }
    std::size_t last = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (!IsBlankLine(Content(text, lines[i])))
            last = i;
    }
    const Line& after = lines[last];
    if (after.end == after.contentEnd) // the last line of a file without a final line end
        text.insert(after.end, lineEnd + entry);
    else
        text.insert(after.end, entry + lineEnd);
}

bool RemoveKeyFileValue(std::string& text, std::string_view group, std::string_view key,
                        bool dropEmptyGroup)
{
    const std::vector<Line> lines = SplitKeepingEnds(text);
    const auto range = FindGroup(text, lines, group);
    if (!range)
        return false;
    const auto index = FindKey(text, lines, *range, key);
    if (!index)
        return false;
    const Line& line = lines[*index];
    if (line.end == line.contentEnd && *index > 0) // undo the line end SetKeyFileValue added
        text.erase(lines[*index - 1].contentEnd, line.end - lines[*index - 1].contentEnd);
    else
        text.erase(line.start, line.end - line.start);

    if (dropEmptyGroup)
        DropEmptyKeyFileGroup(text, group);
    return true;
}

bool DropEmptyKeyFileGroup(std::string& text, std::string_view group)
{
    const std::vector<Line> lines = SplitKeepingEnds(text);
    const auto range = FindGroup(text, lines, group);
    if (!range)
        return false;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (!IsBlankLine(Content(text, lines[i])))
            return false;
    }
    std::size_t from = lines[range->header].start;
    const std::size_t to = lines[range->end - 1].end;
    const bool atEnd = range->end == lines.size();
    if (atEnd && range->header > 0 && IsBlankLine(Content(text, lines[range->header - 1])))
        from = lines[range->header - 1].start;
    text.erase(from, to - from);
    return true;
}

std::vector<std::string> KeyFileKeys(std::string_view text, std::string_view group)
{
    std::vector<std::string> keys;
    const std::vector<Line> lines = SplitKeepingEnds(text);
    if (const auto range = FindGroup(text, lines, group)) {
        for (std::size_t i = range->header + 1; i < range->end; ++i) {
            if (auto key = KeyOf(Content(text, lines[i])))
                keys.push_back(std::move(*key));
        }
    }
    return keys;
}

int KeyFileGroupCount(std::string_view text, std::string_view group)
{
    const std::string header = "[" + std::string(group) + "]";
    int count = 0;
    for (const Line& line : SplitKeepingEnds(text))
        count += Trim(Content(text, line)) == header ? 1 : 0;
    return count;
}

std::string EscapeKeyFileString(std::string_view text)
{
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\t')
            escaped += "\\t";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == ' ' && i == 0)
            escaped += "\\s";
        else
            escaped += c;
    }
    return escaped;
}

std::string UnescapeKeyFileString(std::string_view text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        switch (text[++i]) {
        case 's':
            plain += ' ';
            break;
        case 'n':
            plain += '\n';
            break;
        case 't':
            plain += '\t';
            break;
        case 'r':
            plain += '\r';
            break;
        case '\\':
            plain += '\\';
            break;
        default: // not an escape of this layer: keep it for the next one
            plain += '\\';
            plain += text[i];
            break;
        }
    }
    return plain;
}

} // namespace zuv
