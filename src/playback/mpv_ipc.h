#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// mpv's control socket (--input-ipc-server): one JSON object per line each way. We send
// commands; mpv answers each with its request_id and sends events, among them the changes of
// the properties we observe.

// What a run tells through its socket.
struct MpvPlayState
{
    bool paused = false;
    std::optional<double> position; // seconds; none before playback and between files
    double volume = 100.0;          // percent (mpv allows up to its --volume-max, 130)
    std::optional<double> duration; // seconds
    bool seekable = true;           // false for a live stream or a pipe
    bool operator==(const MpvPlayState&) const = default;
};

// What one line from mpv changed.
struct MpvNews
{
    bool changed = false; // pause, volume, duration or seekable (not the moving position)
    bool seeked = false;  // playback goes on from a new position after a seek
};

// The conversation with one run: the lines to send, and the state mpv's lines tell.
class MpvConversation
{
public:
    // Asks mpv to report pause, time-pos, volume and duration as they change.
    std::string Greeting();
    std::string SetPause(bool on);
    // `microseconds` from the current position, or from the start when `absolute`.
    std::string Seek(std::int64_t microseconds, bool absolute);
    std::string SetVolume(double percent);

    // Takes one line of mpv's (without its line end); lines that are no JSON object, or tell
    // of things we did not ask for, change nothing.
    MpvNews Read(std::string_view line);

    const MpvPlayState& State() const { return m_state; }
    // True once mpv has told whether it is paused: from then on the run takes commands.
    bool Answered() const { return m_answered; }

private:
    std::string Command(std::string_view arguments);

    MpvPlayState m_state;
    bool m_answered = false;
    bool m_seeking = false;
    std::int64_t m_nextRequest = 1;
};

// A flat reading of one JSON object: the value of `key` at its top level, as text (strings
// unescaped), as a number or as a boolean. Nested objects and arrays are skipped over; none when
// the line is no complete object or the key is missing or of another type.
struct JsonFields
{
    static std::optional<JsonFields> Parse(std::string_view line);
    std::optional<std::string> Text(std::string_view key) const;
    std::optional<double> Number(std::string_view key) const;
    std::optional<bool> Boolean(std::string_view key) const;
    bool Has(std::string_view key) const;

    struct Field
    {
        std::string key;
        char type = 0; // 's' string, 'n' number, 'b' boolean, 'z' null, 'o' object or array
        std::string text;
        double number = 0;
    };
    const Field* Find(std::string_view key) const;
    std::vector<Field> fields;
};

} // namespace zuv
