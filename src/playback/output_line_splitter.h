#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// Cuts the player's output into lines. A line feed ends a line; a carriage return (or a run of
// them) before a line feed belongs to that line end. A carriage return followed by anything else
// starts the line over, because that is how the player rewrites its status line in place: the
// line then arrives in its last state instead of as all its updates glued together. Bytes after
// the last line feed are never delivered. A line is never held above the size limit: the bytes
// held so far are delivered as a line of their own and a new line starts.
class OutputLineSplitter
{
public:
    static constexpr std::size_t kDefaultMaxLineBytes = 1024 * 1024;

    explicit OutputLineSplitter(std::size_t maxLineBytes = kDefaultMaxLineBytes);

    // Takes the next bytes of the output, in any cutting, and appends the lines they complete.
    void Feed(std::string_view bytes, std::vector<std::string>& lines);

private:
    void Append(std::string_view bytes, std::vector<std::string>& lines);

    std::size_t m_maxLineBytes;
    std::string m_line;
    bool m_afterCarriageReturn = false; // the bytes so far end in carriage returns
};

} // namespace zuv
