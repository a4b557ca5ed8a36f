#include "platform/power.h"

#include "platform/process.h"
#include "platform/win32/windows_headers.h"
#include "platform/win32/windows_power.h"
#include "util/argv_split.h"

namespace zuv::platform {

namespace {

// Enables the shutdown privilege of this process's token; false when that is refused.
bool EnableShutdownPrivilege()
{
    TOKEN_PRIVILEGES privileges{};
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        return false;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token))
        return false;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // AdjustTokenPrivileges succeeds even when it could not assign the privilege; that is told
    // by ERROR_NOT_ALL_ASSIGNED.
    const bool adjusted = ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                          ::GetLastError() == ERROR_SUCCESS;
    ::CloseHandle(token);
    return adjusted;
}

} // namespace

unsigned PowerOffFlags(bool versionKnown, unsigned platformId, unsigned majorVersion)
{
    const bool forceIfHung =
        versionKnown && platformId == VER_PLATFORM_WIN32_NT && majorVersion >= 5;
    return EWX_POWEROFF | (forceIfHung ? EWX_FORCEIFHUNG : EWX_FORCE);
}

int RequestSystemPowerOff()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool known = ::GetVersionExA(&version);
#pragma GCC diagnostic pop
    if ((!known || version.dwPlatformId == VER_PLATFORM_WIN32_NT) && !EnableShutdownPrivilege())
        return kPowerOffNotPermitted;
    const UINT flags = PowerOffFlags(known, version.dwPlatformId, version.dwMajorVersion);
    return ::ExitWindowsEx(flags, 0) ? kPowerOffAccepted : kPowerOffFailed;
}

int RunPowerOffCommand(const std::vector<std::string>& arguments, std::chrono::milliseconds wait)
{
    if (arguments.empty() || arguments.front().empty())
        return kPowerOffFailed;
    const ProgramLocation program = FindProgram(arguments.front(), {});
    if (program.error)
        return kPowerOffFailed;
    std::string commandLine;
    for (const std::string& argument : arguments)
        commandLine += (commandLine.empty() ? "" : " ") + QuoteArgument(argument, argument.empty());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &info))
        return kPowerOffFailed;
    ScopedHandle process(info.hProcess);
    ::CloseHandle(info.hThread);
    // Still running after the wait (a suspend that returns only after waking up): accepted, and
    // left running.
    if (::WaitForSingleObject(process.Get(), static_cast<DWORD>(wait.count())) != WAIT_OBJECT_0)
        return kPowerOffAccepted;
    DWORD code = 1;
    return ::GetExitCodeProcess(process.Get(), &code) && code == 0 ? kPowerOffAccepted
                                                                   : kPowerOffFailed;
}

} // namespace zuv::platform
