#pragma once

#include "platform/process.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zuv {

// One playback run of the player: the process and the worker thread that reads its output. The
// worker hands the complete output lines to the owner's thread and waits until they are taken,
// so the output never piles up in memory; after the output has ended and the player has been
// reaped it reports the exit code, also on the owner's thread. Everything but the worker's own
// reading happens on the owner's thread (the user-interface thread).
class TExecThread
{
public:
    // Runs `task` later on the owner's thread; tasks of one run keep their order.
    using PostFunction = std::function<void(std::function<void()> task)>;
    // Takes the lines (without line ends) on the owner's thread.
    using LinesFunction = std::function<void(std::vector<std::string>& lines)>;
    // The exit code: the player's own, 128 + signal when a signal ended it, 255 after Stop;
    // none when the system could not tell it.
    using ExitedFunction = std::function<void(std::optional<int> exitCode)>;

    struct Handlers
    {
        PostFunction post;
        LinesFunction lines;
        ExitedFunction exited;
    };

    struct Request
    {
        std::string commandLine;   // "mplayer " followed by the arguments
        int priorityPosition = 2;  // 0..4, see ProcessLaunch
        std::string programFolder; // where the player is looked for first and runs; empty: ours
    };

    struct StartResult
    {
        std::unique_ptr<TExecThread> run; // empty when the start failed
        platform::ProcessStartError error;
    };

    static StartResult Start(const Request& request, Handlers handlers);

    // Stops a player that still runs and waits for the worker; no handler is called afterwards.
    ~TExecThread();
    TExecThread(const TExecThread&) = delete;
    TExecThread& operator=(const TExecThread&) = delete;

    // Ends the player: SIGTERM, SIGKILL two seconds later if needed; the run then reports 255.
    // Returns at once; harmless once the player has ended.
    void Stop();

    int ProcessId() const;

private:
    struct Shared;

    TExecThread(std::unique_ptr<platform::ChildProcess> process, std::shared_ptr<Shared> shared);
    void Execute();
    void HandOver(std::vector<std::string>& lines);

    std::unique_ptr<platform::ChildProcess> m_process;
    std::shared_ptr<Shared> m_shared; // also held by the tasks posted to the owner's thread
    std::thread m_worker;
};

// The failed step as the start error message names it ("CreatePipe", "CreateProcess").
std::string StartStepName(platform::ProcessStartStep step);

} // namespace zuv
