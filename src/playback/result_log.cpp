#include "playback/result_log.h"

#include <algorithm>

namespace zuv {

namespace {

constexpr char kEscape = '\x1b';
constexpr char kBell = '\x07';

bool IsUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0u) == 0x80u;
}

// The length of the escape sequence at the start of `text` (which begins with ESC). An
// unfinished sequence runs to the end of the line.
std::size_t EscapeLength(std::string_view text)
{
    if (text.size() < 2)
        return text.size();
    const char kind = text[1];
    if (kind == '[') {
        // CSI: parameter and intermediate bytes, then one final byte 0x40..0x7E.
        for (std::size_t i = 2; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if (byte >= 0x40 && byte <= 0x7E)
                return i + 1;
            if (byte < 0x20 || byte > 0x3F)
                return i; // not a CSI byte: the sequence is broken off here
        }
        return text.size();
    }
    if (kind == ']' || kind == 'P' || kind == '_' || kind == '^' || kind == 'X') {
        // OSC and the other strings: up to BEL or ESC backslash.
        for (std::size_t i = 2; i < text.size(); ++i) {
            if (text[i] == kBell)
                return i + 1;
            if (text[i] == kEscape)
                return i + 1 < text.size() && text[i + 1] == '\\' ? i + 2 : i;
        }
        return text.size();
    }
    // Other escape sequences: intermediate bytes 0x20..0x2F, then one final byte.
    std::size_t i = 1;
    while (i < text.size() && static_cast<unsigned char>(text[i]) >= 0x20 &&
           static_cast<unsigned char>(text[i]) <= 0x2F)
        ++i;
    if (i < text.size() && static_cast<unsigned char>(text[i]) >= 0x30 &&
        static_cast<unsigned char>(text[i]) <= 0x7E)
        return i + 1;
    return i;
}

} // namespace

std::string WithoutTerminalControls(std::string_view line)
{
    std::string shown;
    shown.reserve(line.size());
    while (!line.empty()) {
        const char byte = line.front();
        if (byte == kEscape) {
            line.remove_prefix(EscapeLength(line));
            continue;
        }
        if (static_cast<unsigned char>(byte) >= 0x20 || byte == '\t')
            shown += byte;
        line.remove_prefix(1);
    }
    return shown;
}

ResultLog::ResultLog(Limits limits) : m_limits(limits)
{
    m_limits.maxLineBytes = std::max<std::size_t>(m_limits.maxLineBytes, 4);
    m_limits.maxLines = std::max<std::size_t>(m_limits.maxLines, 1);
}

void ResultLog::Clear()
{
    m_hasFirst = false;
    m_first.clear();
    m_newest.clear();
    m_newestBytes = 0;
    m_leftOut = 0;
}

void ResultLog::Cut(std::string_view line, std::vector<std::string>& shown) const
{
    const std::string clean = WithoutTerminalControls(line);
    std::string_view rest = clean;
    do {
        std::size_t cut = std::min(rest.size(), m_limits.maxLineBytes);
        if (cut < rest.size()) {
            // Back to the start of a character; a run of stray continuation bytes is cut anyway.
            std::size_t start = cut;
            while (start > cut - 3 && IsUtf8Continuation(rest[start]))
                --start;
            if (!IsUtf8Continuation(rest[start]))
                cut = start;
        }
        shown.emplace_back(rest.substr(0, cut));
        rest.remove_prefix(cut);
    } while (!rest.empty());
}

ResultLog::Change ResultLog::Add(const std::vector<std::string>& lines)
{
    Change change;
    std::vector<std::string> shown;
    for (const std::string& line : lines)
        Cut(line, shown);
    auto next = shown.begin();
    if (!m_hasFirst && next != shown.end()) {
        m_hasFirst = true;
        m_first = *next;
        change.first = *next;
        ++next;
    }
    // Of a batch larger than the limits only its newest lines can stay.
    std::size_t keptBytes = 0;
    auto keepFrom = shown.end();
    while (keepFrom != next) {
        const std::size_t size = (keepFrom - 1)->size() + 1;
        if (static_cast<std::size_t>(shown.end() - keepFrom) >= m_limits.maxLines ||
            keptBytes + size > m_limits.maxBytes)
            break;
        keptBytes += size;
        --keepFrom;
    }
    const std::uint64_t leftOutBefore = m_leftOut;
    m_leftOut += static_cast<std::uint64_t>(keepFrom - next);
    const std::size_t keptLines = static_cast<std::size_t>(shown.end() - keepFrom);
    while (!m_newest.empty() && (m_newest.size() + keptLines > m_limits.maxLines ||
                                 m_newestBytes + keptBytes > m_limits.maxBytes)) {
        m_newestBytes -= m_newest.front().size() + 1;
        m_newest.pop_front();
        ++change.removed;
        ++m_leftOut;
    }
    for (auto line = keepFrom; line != shown.end(); ++line) {
        m_newestBytes += line->size() + 1;
        m_newest.push_back(*line);
        change.added.push_back(std::move(*line));
    }
    change.noticeChanged = m_leftOut != leftOutBefore;
    return change;
}

std::string ResultLog::Notice() const
{
    if (m_leftOut == 0)
        return {};
    return "... " + std::to_string(m_leftOut) + " older lines left out ...";
}

std::vector<std::string> ResultLog::Lines() const
{
    std::vector<std::string> lines;
    if (m_hasFirst)
        lines.push_back(m_first);
    if (m_leftOut != 0)
        lines.push_back(Notice());
    lines.insert(lines.end(), m_newest.begin(), m_newest.end());
    return lines;
}

} // namespace zuv
