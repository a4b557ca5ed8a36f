#include "platform/process.h"

#include "platform/environment.h"
#include "platform/zuvora_error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zuv::platform {

namespace {

using namespace std::chrono_literals;

constexpr auto kStopGrace = 2s;
// Without a process descriptor the end of the child is noticed by looking this often.
constexpr int kExitPollMilliseconds = 50;

// Nice values of the priority positions; none leaves the caller's own.
std::optional<int> NiceValue(int priorityPosition)
{
    switch (priorityPosition) {
    case 0:
        return 19;
    case 1:
        return 10;
    case 3:
        return -5;
    case 4:
        return -10;
    default:
        return std::nullopt;
    }
}

void CloseDescriptor(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Keeps our descriptors off 0..2, so that placing the pipe on stdout and stderr in the child
// can never overwrite one of them.
int MoveAboveStandardStreams(int fd)
{
    if (fd < 0 || fd > 2)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int error = errno;
    ::close(fd);
    errno = error;
    return moved;
}

// Both ends close-on-exec and above the standard streams; 0 or the system error code.
int MakePipe(int ends[2], int extraFlags)
{
    if (::pipe2(ends, O_CLOEXEC | extraFlags) != 0)
        return errno;
    ends[0] = MoveAboveStandardStreams(ends[0]);
    const int readError = errno;
    ends[1] = MoveAboveStandardStreams(ends[1]);
    const int writeError = errno;
    if (ends[0] < 0 || ends[1] < 0) {
        CloseDescriptor(ends[0]);
        CloseDescriptor(ends[1]);
        return ends[0] < 0 ? readError : writeError;
    }
    return 0;
}

int OpenProcessDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// Runs in the child between fork and exec: async-signal-safe calls only, no allocation.
[[noreturn]] void RunChild(const char* path, char* const* argv, const char* folder,
                           std::optional<int> nice, int outputFd, int statusFd)
{
    const auto fail = [statusFd](int error) {
        [[maybe_unused]] const ssize_t written = ::write(statusFd, &error, sizeof error);
        ::_exit(127);
    };
    // A raise that the system refuses leaves the player at normal priority.
    if (nice)
        ::setpriority(PRIO_PROCESS, 0, *nice);
    if (folder && ::chdir(folder) != 0)
        fail(errno);
    if (::dup2(outputFd, STDOUT_FILENO) < 0 || ::dup2(outputFd, STDERR_FILENO) < 0)
        fail(errno);
        // Descriptors that others in this process opened without close-on-exec stay ours too.
#ifdef SYS_close_range
    ::syscall(SYS_close_range, 3U, ~0U, 4U /* CLOSE_RANGE_CLOEXEC */);
#endif
    // Our handlers must not run here, and the player starts with default signal handling and
    // nothing blocked (exec keeps the mask and ignored signals); the signals we ignore for our
    // own writes are given back too.
    struct sigaction byDefault
    {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current
        {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_DFL &&
            (current.sa_handler != SIG_IGN || signal == SIGPIPE || signal == SIGXFSZ))
            ::sigaction(signal, &byDefault, nullptr);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execve(path, argv, environ);
    fail(errno);
    ::_exit(127);
}

int ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 0;
}

// 0 for an executable regular file, else the reason it cannot be run.
int CheckProgramFile(const std::string& path)
{
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOTDIR ? ENOENT : errno;
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? EACCES : ENOENT;
    return ::access(path.c_str(), X_OK) == 0 ? 0 : EACCES;
}

} // namespace

ProgramLocation FindProgram(const std::string& name, const std::string& firstFolder)
{
    if (name.empty())
        return {{}, SystemError(ENOENT)};
    if (name.find('/') != std::string::npos) {
        const int error = CheckProgramFile(name);
        return {error == 0 ? name : std::string(), SystemError(error)};
    }
    std::vector<std::string> folders;
    if (!firstFolder.empty())
        folders.push_back(firstFolder);
    std::string searchPath = EnvironmentValue("PATH");
    if (searchPath.empty())
        searchPath = "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string::npos)
            end = searchPath.size();
        if (end > start)
            folders.push_back(searchPath.substr(start, end - start));
        start = end + 1;
    }
    int error = ENOENT;
    for (std::string folder : folders) {
        if (folder.back() != '/')
            folder += '/';
        const std::string path = folder + name;
        const int fileError = CheckProgramFile(path);
        if (fileError == 0)
            return {path, {}};
        // Like the shell: a file that is there but may not be run beats "not found".
        if (fileError == EACCES)
            error = EACCES;
    }
    return {{}, SystemError(error)};
}

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && !m_reaped) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    CloseAll();
}

void ChildProcess::CloseAll()
{
    CloseDescriptor(m_outputFd);
    CloseDescriptor(m_pidFd);
    CloseDescriptor(m_wakeRead);
    CloseDescriptor(m_wakeWrite);
}

ProcessStartError ChildProcess::Start(const ProcessLaunch& launch)
{
    if (m_pid >= 0)
        return {ProcessStartStep::CreateProcess, SystemError(EBUSY)};
    if (launch.arguments.empty())
        return {ProcessStartStep::CreateProcess, SystemError(EINVAL)};

    int output[2] = {-1, -1};
    int status[2] = {-1, -1};
    int wake[2] = {-1, -1};
    if (const int error = MakePipe(output, 0); error != 0)
        return {ProcessStartStep::CreatePipe, SystemError(error)};
    if (const int error = MakePipe(status, 0); error != 0) {
        CloseDescriptor(output[0]);
        CloseDescriptor(output[1]);
        return {ProcessStartStep::CreatePipe, SystemError(error)};
    }
    if (const int error = MakePipe(wake, O_NONBLOCK); error != 0) {
        for (int* fd : {&output[0], &output[1], &status[0], &status[1]})
            CloseDescriptor(*fd);
        return {ProcessStartStep::CreatePipe, SystemError(error)};
    }

    // Everything the child needs is prepared here: it may not allocate.
    std::vector<char*> argv;
    argv.reserve(launch.arguments.size() + 1);
    for (const std::string& argument : launch.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const char* folder = launch.workingFolder.empty() ? nullptr : launch.workingFolder.c_str();
    const std::optional<int> nice = NiceValue(launch.priorityPosition);

    // No handler of ours may run in the child before it has reset them.
    sigset_t all;
    sigset_t previous;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t pid = ::fork();
    if (pid == 0)
        RunChild(launch.executablePath.c_str(), argv.data(), folder, nice, output[1], status[1]);
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    CloseDescriptor(output[1]);
    CloseDescriptor(status[1]);
    const auto failed = [&](int error) {
        CloseDescriptor(output[0]);
        CloseDescriptor(status[0]);
        CloseDescriptor(wake[0]);
        CloseDescriptor(wake[1]);
        return ProcessStartError{ProcessStartStep::CreateProcess, SystemError(error)};
    };
    if (pid < 0)
        return failed(forkError);

    // The status pipe closes at a successful exec; otherwise the child sends its error.
    int childError = 0;
    ssize_t got;
    do {
        got = ::read(status[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    if (got != 0) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return failed(got == static_cast<ssize_t>(sizeof childError) ? childError : EIO);
    }
    CloseDescriptor(status[0]);

    std::lock_guard lock(m_mutex);
    m_pid = pid;
    m_outputFd = output[0];
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_pidFd = OpenProcessDescriptor(pid);
    m_reaped = false;
    m_leftAfterEnd.reset();
    m_stopRequested = false;
    m_stopSignalSent = false;
    m_killSent = false;
    return {};
}

bool ChildProcess::ExitedNotReaped() const
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == m_pid;
}

bool ChildProcess::TryReap()
{
    std::lock_guard lock(m_mutex);
    if (m_reaped)
        return true;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(m_pid, &status, WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == 0)
        return false;
    m_reaped = true;
    // Nothing to read when someone else reaped it; a stopped run still counts as stopped.
    m_exitCode = m_stopSignalSent ? 255 : (done == m_pid ? ExitCodeOf(status) : 0);
    CloseDescriptor(m_pidFd);
    return true;
}

void ChildProcess::KillIfStopDue()
{
    std::lock_guard lock(m_mutex);
    if (m_stopRequested && !m_killSent && !m_reaped && Clock::now() >= m_killDeadline) {
        ::kill(m_pid, SIGKILL);
        m_killSent = true;
    }
}

std::optional<int>
ChildProcess::MillisecondsToNextEvent(std::optional<Clock::time_point> deadline) const
{
    std::optional<Clock::time_point> next = deadline;
    bool watchExit = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopRequested && !m_killSent && !m_reaped)
            next = next ? std::min(*next, m_killDeadline) : m_killDeadline;
        watchExit = m_pidFd < 0 && !m_reaped;
    }
    if (!next)
        return watchExit ? std::optional<int>(kExitPollMilliseconds) : std::nullopt;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count();
    int milliseconds = static_cast<int>(std::clamp<long long>(left, 0, 60'000));
    if (watchExit)
        milliseconds = std::min(milliseconds, kExitPollMilliseconds);
    return milliseconds;
}

void ChildProcess::DrainWake()
{
    char bytes[64];
    while (::read(m_wakeRead, bytes, sizeof bytes) > 0) {
    }
}

ChildProcess::ReadResult ChildProcess::Read(char* buffer, std::size_t capacity,
                                            std::optional<Clock::time_point> deadline)
{
    if (m_outputFd < 0)
        return {};
    for (;;) {
        bool stopping = false;
        {
            std::lock_guard lock(m_mutex);
            stopping = m_stopRequested;
        }
        if (stopping)
            KillIfStopDue();
        bool ended = false;
        {
            std::lock_guard lock(m_mutex);
            ended = m_reaped || ExitedNotReaped();
        }
        if (ended) {
            // The child is gone: take only what was there when it ended, whoever else (a
            // grandchild it left behind) still holds or even fills the pipe.
            if (!m_leftAfterEnd) {
                int waiting = 0;
                m_leftAfterEnd = ::ioctl(m_outputFd, FIONREAD, &waiting) == 0 && waiting > 0
                                     ? static_cast<std::size_t>(waiting)
                                     : 0;
            }
            if (*m_leftAfterEnd == 0)
                return {};
            const ssize_t got = ::read(m_outputFd, buffer, std::min(capacity, *m_leftAfterEnd));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return {};
            *m_leftAfterEnd -= static_cast<std::size_t>(got);
            return {static_cast<std::size_t>(got), false};
        }

        pollfd watched[3] = {
            {m_outputFd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}, {m_pidFd, POLLIN, 0}};
        const nfds_t count = m_pidFd >= 0 ? 3 : 2;
        const std::optional<int> timeout = MillisecondsToNextEvent(deadline);
        const int ready = ::poll(watched, count, timeout.value_or(-1));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return {};
        }
        if (watched[0].revents != 0) {
            const ssize_t got = ::read(m_outputFd, buffer, capacity);
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                return {};
            }
            return {static_cast<std::size_t>(got), false};
        }
        if (watched[1].revents != 0)
            DrainWake();
        if (deadline && Clock::now() >= *deadline)
            return {0, true};
    }
}

std::optional<int> ChildProcess::WaitForExit(std::optional<Clock::time_point> deadline)
{
    if (m_pid < 0)
        return std::nullopt;
    for (;;) {
        if (TryReap()) {
            std::lock_guard lock(m_mutex);
            return m_exitCode;
        }
        KillIfStopDue();
        pollfd watched[2] = {{m_wakeRead, POLLIN, 0}, {m_pidFd, POLLIN, 0}};
        const std::optional<int> timeout = MillisecondsToNextEvent(deadline);
        const int ready = ::poll(watched, m_pidFd >= 0 ? 2 : 1, timeout.value_or(-1));
        if (ready < 0 && errno != EINTR)
            return std::nullopt;
        if (ready > 0 && watched[0].revents != 0)
            DrainWake();
        if (deadline && Clock::now() >= *deadline) {
            if (TryReap()) {
                std::lock_guard lock(m_mutex);
                return m_exitCode;
            }
            return std::nullopt;
        }
    }
}

void ChildProcess::Terminate()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_pid < 0 || m_reaped || m_stopRequested)
            return;
        m_stopRequested = true;
        m_killDeadline = Clock::now() + kStopGrace;
        // A child that has already ended keeps its own exit code.
        if (!ExitedNotReaped()) {
            ::kill(m_pid, SIGTERM);
            m_stopSignalSent = true;
        }
    }
    [[maybe_unused]] const ssize_t written = ::write(m_wakeWrite, "s", 1);
}

void ChildProcess::Kill()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_pid < 0 || m_reaped)
            return;
        ::kill(m_pid, SIGKILL);
        m_killSent = true;
    }
    [[maybe_unused]] const ssize_t written = ::write(m_wakeWrite, "k", 1);
}

} // namespace zuv::platform
