#include "playback/output_line_splitter.h"

#include <algorithm>
#include <cstring>

namespace zuv {

OutputLineSplitter::OutputLineSplitter(std::size_t maxLineBytes)
    : m_maxLineBytes(std::max<std::size_t>(maxLineBytes, 1))
{}

void OutputLineSplitter::Append(std::string_view bytes, std::vector<std::string>& lines)
{
    while (!bytes.empty()) {
        if (m_line.size() >= m_maxLineBytes) {
            lines.push_back(std::move(m_line));
            m_line.clear();
        }
        const std::size_t take = std::min(bytes.size(), m_maxLineBytes - m_line.size());
        m_line.append(bytes.data(), take);
        bytes.remove_prefix(take);
    }
}

void OutputLineSplitter::Feed(std::string_view bytes, std::vector<std::string>& lines)
{
    while (!bytes.empty()) {
        const char first = bytes.front();
        if (first == '\n') {
            lines.push_back(std::move(m_line));
            m_line.clear();
            m_afterCarriageReturn = false;
            bytes.remove_prefix(1);
            continue;
        }
        if (first == '\r') {
            m_afterCarriageReturn = true;
            bytes.remove_prefix(1);
            continue;
        }
        // Carriage returns not followed by a line feed: the line is being rewritten.
        if (m_afterCarriageReturn) {
            m_line.clear();
            m_afterCarriageReturn = false;
        }
        const char* data = bytes.data();
        const void* feed = std::memchr(data, '\n', bytes.size());
        const std::size_t end =
            feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - data) : bytes.size();
        const void* carriage = std::memchr(data, '\r', end);
        const std::size_t plain =
            carriage ? static_cast<std::size_t>(static_cast<const char*>(carriage) - data) : end;
        Append(bytes.substr(0, plain), lines);
        bytes.remove_prefix(plain);
    }
}

} // namespace zuv
