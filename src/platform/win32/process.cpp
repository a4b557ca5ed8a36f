#include "platform/process.h"

#include "platform/environment.h"
#include "platform/system_error.h"
#include "platform/win32/windows_headers.h"
#include "platform/zuvora_error.h"
#include "util/argv_split.h"
#include "util/text_utils.h"

#include <algorithm>

namespace zuv::platform {

namespace {

// What Stop gives the player, and what a run ended otherwise by this program gives it.
constexpr UINT kStopExitCode = 255;
constexpr UINT kKillExitCode = 1;
// A quiet pipe is looked at again after this long at most, so that deadlines and a stop are
// noticed; the wait grows from 1 ms while nothing comes.
constexpr DWORD kLongestPipeWaitMs = 50;

// Creation flags of the priority positions; position 2 passes no class.
DWORD PriorityClass(int priorityPosition)
{
    switch (priorityPosition) {
    case 0:
        return IDLE_PRIORITY_CLASS;
    case 1:
        return BELOW_NORMAL_PRIORITY_CLASS;
    case 3:
        return ABOVE_NORMAL_PRIORITY_CLASS;
    case 4:
        return HIGH_PRIORITY_CLASS;
    default:
        return 0;
    }
}

// Inheritable handles exist from CreatePipe to the parent's closing of its copy; any process
// started in between would inherit them and hold the pipe open. Starts are made one at a time.
std::mutex g_startMutex;

// 0 for a file that exists and is no folder, else the reason it cannot be run.
int CheckProgramFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_PATH_NOT_FOUND ? kErrorFileNotFound : static_cast<int>(error);
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_ACCESS_DENIED : 0;
}

bool HasSeparator(const std::string& name)
{
    return name.find_first_of("\\/:") != std::string::npos;
}

// The file name the system runs for `name`: with ".exe" when it has no extension.
std::string WithProgramExtension(const std::string& name)
{
    const std::size_t separator = name.find_last_of("\\/:");
    const std::size_t dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return hasExtension ? name : name + ".exe";
}

std::string CommandLineOf(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty())
            text += ' ';
        // An empty argument is kept as "".
        text += QuoteArgument(argument, argument.empty());
    }
    return text;
}

} // namespace

ProgramLocation FindProgram(const std::string& name, const std::string& firstFolder)
{
    if (name.empty())
        return {{}, SystemError(kErrorFileNotFound)};
    const std::string fileName = WithProgramExtension(name);
    if (HasSeparator(name)) {
        const int error = CheckProgramFile(fileName);
        return {error == 0 ? fileName : std::string(), SystemError(error)};
    }
    std::vector<std::string> folders;
    if (!firstFolder.empty())
        folders.push_back(firstFolder);
    const std::string searchPath = EnvironmentValue("PATH");
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(';', start);
        if (end == std::string::npos)
            end = searchPath.size();
        std::string folder = Trim(searchPath.substr(start, end - start));
        // Entries may be quoted.
        if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
            folder = folder.substr(1, folder.size() - 2);
        if (!folder.empty())
            folders.push_back(folder);
        start = end + 1;
    }
    int error = kErrorFileNotFound;
    for (std::string folder : folders) {
        if (folder.back() != '\\' && folder.back() != '/')
            folder += '\\';
        const std::string path = folder + fileName;
        const int fileError = CheckProgramFile(path);
        if (fileError == 0)
            return {path, {}};
        if (fileError != kErrorFileNotFound)
            error = fileError;
    }
    return {{}, SystemError(error)};
}

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (m_process && ::WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
        ::TerminateProcess(m_process, kKillExitCode);
        ::WaitForSingleObject(m_process, INFINITE);
    }
    Close();
}

void ChildProcess::Close()
{
    for (void** handle : {&m_process, &m_output, &m_wake}) {
        if (*handle)
            ::CloseHandle(*handle);
        *handle = nullptr;
    }
}

ProcessStartError ChildProcess::Start(const ProcessLaunch& launch)
{
    if (m_process)
        return {ProcessStartStep::CreateProcess, SystemError(kErrorBusy)};
    if (launch.arguments.empty())
        return {ProcessStartStep::CreateProcess, SystemError(kErrorInvalidArgument)};

    ScopedHandle wake(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!wake.Valid())
        return {ProcessStartStep::CreatePipe, SystemError(static_cast<int>(::GetLastError()))};

    std::string commandLine = CommandLineOf(launch.arguments);
    PROCESS_INFORMATION info{};
    ScopedHandle readEnd;
    {
        std::lock_guard startLock(g_startMutex);
        SECURITY_ATTRIBUTES inheritable{};
        inheritable.nLength = sizeof inheritable;
        inheritable.lpSecurityDescriptor = nullptr;
        inheritable.bInheritHandle = TRUE;
        HANDLE readHandle = nullptr;
        HANDLE writeHandle = nullptr;
        if (!::CreatePipe(&readHandle, &writeHandle, &inheritable, 0))
            return {ProcessStartStep::CreatePipe, SystemError(static_cast<int>(::GetLastError()))};
        readEnd.Reset(readHandle);
        ScopedHandle writeEnd(writeHandle);
        // Only the child's end goes to the child.
        ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writeEnd.Get();
        startup.hStdError = writeEnd.Get();
        const char* folder = launch.workingFolder.empty() ? nullptr : launch.workingFolder.c_str();
        if (!::CreateProcessA(launch.executablePath.c_str(), commandLine.data(), nullptr, nullptr,
                              TRUE, PriorityClass(launch.priorityPosition), nullptr, folder,
                              &startup, &info))
            return {ProcessStartStep::CreateProcess,
                    SystemError(static_cast<int>(::GetLastError()))};
        // Closed now, so that the pipe ends when the child has ended.
    }
    ::CloseHandle(info.hThread);

    std::lock_guard lock(m_mutex);
    m_process = info.hProcess;
    m_output = readEnd.Release();
    m_wake = wake.Release();
    m_pid = static_cast<int>(info.dwProcessId);
    m_stopRequested = false;
    m_ended = false;
    m_exitCode = 0;
    return {};
}

ChildProcess::ReadResult ChildProcess::Read(char* buffer, std::size_t capacity,
                                            std::optional<Clock::time_point> deadline)
{
    if (!m_output || capacity == 0)
        return {};
    DWORD wait = 1;
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(m_output, nullptr, 0, nullptr, &available, nullptr))
            return {}; // broken: every writer has closed its end
        if (available > 0) {
            DWORD got = 0;
            const DWORD wanted = static_cast<DWORD>(
                std::min<std::size_t>({capacity, available, std::size_t(1) << 30}));
            if (!::ReadFile(m_output, buffer, wanted, &got, nullptr))
                return {};
            return {got, false};
        }
        // Once the child has ended, the output ends with what it wrote, whoever else holds the
        // pipe: look once more, for what came between the look above and its end.
        if (::WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0) {
            if (!::PeekNamedPipe(m_output, nullptr, 0, nullptr, &available, nullptr) ||
                available == 0)
                return {};
            continue;
        }
        DWORD timeout = wait;
        if (deadline) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            if (left <= 0)
                return {0, true};
            timeout = static_cast<DWORD>(std::min<long long>(left, timeout));
        }
        const HANDLE events[2] = {m_wake, m_process};
        ::WaitForMultipleObjects(2, events, FALSE, timeout);
        wait = std::min<DWORD>(wait * 2, kLongestPipeWaitMs);
    }
}

std::optional<int> ChildProcess::WaitForExit(std::optional<Clock::time_point> deadline)
{
    if (!m_process)
        return std::nullopt;
    DWORD timeout = INFINITE;
    if (deadline) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
        timeout = static_cast<DWORD>(std::clamp<long long>(left, 0, 0x7FFFFFFF));
    }
    if (::WaitForSingleObject(m_process, timeout) != WAIT_OBJECT_0)
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    if (!m_ended) {
        DWORD code = 0;
        // An exit code that cannot be read counts as 0.
        if (::GetExitCodeProcess(m_process, &code))
            m_exitCode = static_cast<int>(code);
        m_ended = true;
    }
    return m_exitCode;
}

void ChildProcess::Terminate()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_process || m_ended || m_stopRequested)
            return;
        m_stopRequested = true;
        // A child that has already ended keeps its own exit code.
        if (::WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0)
            ::TerminateProcess(m_process, kStopExitCode);
    }
    ::SetEvent(m_wake);
}

void ChildProcess::Kill()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_process || m_ended)
            return;
        if (::WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0)
            ::TerminateProcess(m_process, m_stopRequested ? kStopExitCode : kKillExitCode);
    }
    ::SetEvent(m_wake);
}

} // namespace zuv::platform
