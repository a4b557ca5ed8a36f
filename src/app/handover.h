#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The single-instance hand-over. A second copy finds the running copy by its main window's class
// name, asks whether it takes files, and hands its command line over through the shared block,
// which lives from before the files message until after its reply. The channel that carries the
// messages is the platform's.

// The class of the running copy's window that second copies look for.
inline constexpr char kHandoverWindowClass[] = "TZUVMainForm";

// The messages: the query, answered 1 when the running copy takes files, and the files message,
// answered 1 when it could read the block.
inline constexpr std::uint32_t WM_HANDOVER_QUERY = 0x80C8; // WM_APP + 200
inline constexpr std::uint32_t WM_HANDOVER_FILES = 0x80C9; // WM_APP + 201

// How long a second copy waits, all steps together, before it starts normally.
inline constexpr int kHandoverTimeoutMs = 5000;

// Where second copies find the running copy.
std::string HandoverAddress();

// Sender: hands the command line over when a running copy takes it. True means the running copy
// took it and this copy ends; false means start normally (the copy said no or could not read the
// block, or the block could not be made; or no copy runs and this one took the listening role;
// or none answered within `timeoutMs`, a starting copy within four times that). A copy that ends
// (crashes) meanwhile is replaced by one of those that wait: they all hand over to that one.
bool HandOverToRunningCopy(const std::string& commandLine, int timeoutMs = kHandoverTimeoutMs,
                           const std::string& address = HandoverAddress());

// The sender's steps once the running copy is found: `ask` sends a message and waits for its
// reply until the deadline (none: no reply). Concurrent second copies hand over one after the
// other, as there is one block name.
using HandoverAsk = std::function<std::optional<std::uint32_t>(
    std::uint32_t message, std::chrono::steady_clock::time_point deadline)>;
// `answered` (when given): false when the running copy fell silent (it may have crashed).
bool HandOverThrough(const HandoverAsk& ask, const std::string& commandLine,
                     std::chrono::steady_clock::time_point deadline, bool* answered = nullptr);

// Receiver: the reply to `message`; none for a message that is not ours.
struct HandoverReplies
{
    std::function<bool()> acceptsFiles; // the query: does this copy take files?
    std::function<bool()> receiveFiles; // the files message: read the block, true when read
};
std::optional<std::uint32_t> AnswerHandover(std::uint32_t message, const HandoverReplies& replies);

// The command line as the system would report it: the arguments joined by one blank, each
// argument that is empty or holds a blank enclosed in double quotes. Quotes inside and the
// backslashes before them are escaped by the C runtime rules, so that every file name, one with
// a quote before a blank too, arrives as it was given.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// What the running copy takes from a hand-over block: the text up to the first NUL split into
// arguments by the C runtime rules, without the program path and the switches.
std::vector<std::string> HandedOverFiles(std::string_view blockText);

} // namespace zuv
