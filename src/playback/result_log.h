#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The line as a text window shows it: terminal control sequences (CSI such as the player's
// "ESC [ J", OSC such as a title, other escape sequences) and the other C0 control characters
// but the tab are taken out; everything else stays as the player wrote it.
std::string WithoutTerminalControls(std::string_view line);

// What the result window holds of a run, bounded whatever the player writes: the run's first
// line (the command line) stays; of the rest only the newest lines are kept, within a count and a
// byte limit, and one line after the first says how many older ones were left out. Long lines
// are cut into shown lines of at most `maxLineBytes`, between UTF-8 characters.
class ResultLog
{
public:
    struct Limits
    {
        std::size_t maxLines = 10000;
        std::size_t maxBytes = 2 * 1024 * 1024;
        std::size_t maxLineBytes = 4 * 1024;
    };

    // How the shown lines changed with Add, in this order: the run's first line came, the oldest
    // `removed` lines after the first line and the notice are gone, the notice is new or
    // changed, `added` follow at the end.
    struct Change
    {
        std::optional<std::string> first;
        std::size_t removed = 0;
        bool noticeChanged = false;
        std::vector<std::string> added;
    };

    ResultLog() = default;
    explicit ResultLog(Limits limits);

    void Clear();
    Change Add(const std::vector<std::string>& lines);

    // The shown lines: the first, the notice when lines were left out, the newest.
    std::vector<std::string> Lines() const;
    bool HasFirst() const { return m_hasFirst; }
    std::uint64_t LeftOut() const { return m_leftOut; }
    std::string Notice() const;

private:
    void Cut(std::string_view line, std::vector<std::string>& shown) const;

    Limits m_limits;
    bool m_hasFirst = false;
    std::string m_first;
    std::deque<std::string> m_newest;
    std::size_t m_newestBytes = 0;
    std::uint64_t m_leftOut = 0;
};

} // namespace zuv
