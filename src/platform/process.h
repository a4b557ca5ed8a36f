#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace zuv::platform {

// The step of a process start that failed.
enum class ProcessStartStep
{
    None,          // started
    CreatePipe,    // the output pipe could not be made
    CreateProcess, // the program could not be found, the child not made or the program not run
};

struct ProcessStartError
{
    ProcessStartStep step = ProcessStartStep::None;
    std::error_code error; // the system's error of that step

    bool failed() const { return step != ProcessStartStep::None; }
};

struct ProcessLaunch
{
    std::string executablePath;         // the file to run
    std::vector<std::string> arguments; // argv; the first is the name the program sees
    std::string workingFolder;          // empty: the caller's own
    int priorityPosition = 2;           // 0 lowest .. 2 unchanged .. 4 highest
};

// Where a program name leads: the file to run, or the system's error (kErrorFileNotFound when
// there is none, the access error when only files that may not be run were found).
struct ProgramLocation
{
    std::string path;
    std::error_code error;
};

// Finds a program by name: `firstFolder` first, then each folder of PATH; only an executable
// regular file counts. A name that holds a path separator is taken as the path itself. Empty
// entries of PATH are skipped rather than read as the current folder. On Windows a name without
// an extension is looked for with ".exe".
ProgramLocation FindProgram(const std::string& name, const std::string& firstFolder);

// A child process whose standard output and standard error go into one pipe that only this
// object reads; standard input is the caller's. Start, Read and the waits belong to one thread;
// Terminate and Kill may come from any thread at any time, also after the end. Destroying the
// object kills a child that still runs and reaps it.
class ChildProcess
{
public:
    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program (never through a shell). The child inherits no descriptor of ours but
    // the pipe and standard input. A program that cannot be run is a failed start, never a run.
    ProcessStartError Start(const ProcessLaunch& launch);

    using Clock = std::chrono::steady_clock;

    struct ReadResult
    {
        std::size_t size = 0;  // bytes placed in the buffer; 0 at the end of the output
        bool timedOut = false; // the deadline passed before anything arrived
    };

    // Blocks until output arrives, the output ends or `deadline` passes. Once the child has ended
    // the output ends with what is already in the pipe, even if a grandchild keeps it open.
    ReadResult Read(char* buffer, std::size_t capacity,
                    std::optional<Clock::time_point> deadline = std::nullopt);

    // Waits for the child to end and reaps it; none when `deadline` passed first. The exit code:
    // the program's own, 128 + signal when a signal ended it, and 255 for a run ended through
    // Terminate, whatever ended it then.
    std::optional<int> WaitForExit(std::optional<Clock::time_point> deadline = std::nullopt);

    // Asks the child to end (SIGTERM) and kills it (SIGKILL) when it still runs two seconds
    // later; the reading or waiting thread carries that out, so the caller never blocks. On
    // Windows the child is ended at once (TerminateProcess with exit code 255).
    void Terminate();

    // Kills the child at once.
    void Kill();

    int ProcessId() const { return m_pid; }

private:
#ifdef _WIN32
    void Close();

    void* m_process = nullptr; // the child's process handle
    void* m_output = nullptr;  // the read end of its output pipe
    void* m_wake = nullptr;    // an event set by Terminate and Kill, so a waiting Read looks again
    int m_pid = -1;

    mutable std::mutex m_mutex; // guards what follows against Terminate and Kill
    bool m_stopRequested = false;
    bool m_ended = false;
    int m_exitCode = 0;
#else
    bool ExitedNotReaped() const;
    bool TryReap();
    void KillIfStopDue();
    std::optional<int> MillisecondsToNextEvent(std::optional<Clock::time_point> deadline) const;
    void DrainWake();
    void CloseAll();

    int m_pid = -1;
    int m_outputFd = -1;
    int m_pidFd = -1; // becomes readable when the child ends; -1 where the system has none
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::optional<std::size_t> m_leftAfterEnd; // bytes still to read once the child has ended

    mutable std::mutex m_mutex; // guards what follows against Terminate and Kill
    bool m_reaped = false;
    bool m_stopRequested = false;
    bool m_stopSignalSent = false;
    bool m_killSent = false;
    Clock::time_point m_killDeadline{};
    int m_exitCode = 0;
#endif
};

// A program run to its end by RunToEnd.
struct FinishedRun
{
    std::error_code error; // not found, not started, or killed at the time limit
    int exitCode = -1;     // as ChildProcess::WaitForExit gives it
    std::string output;    // what it printed (standard output and error), cut at the limit
};

// Runs a program found by FindProgram (never through a shell) with `arguments` after its name,
// collects its output and waits for its end; one still running after `timeLimit` is killed.
FinishedRun RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
                     std::chrono::milliseconds timeLimit, std::size_t maxOutputBytes = 64 * 1024);

} // namespace zuv::platform
