// Sends the screen saver and the monitor power-off commands to the top-level Qt windows of the
// running zuvora.exe and prints the answers ("screensave=N monitorpower=N"); exit code 2 when
// there is no such window.
#include <cstdio>
#include <string>
#include <windows.h>

namespace {

struct Found
{
    HWND window = nullptr;
};

bool IsProgramWindow(HWND window)
{
    char className[256] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::string(className).rfind("Qt", 0) != 0 || !::IsWindowVisible(window))
        return false;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    char path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const bool named = ::QueryFullProcessImageNameA(process, 0, path, &length);
    ::CloseHandle(process);
    const std::string image(path, named ? length : 0);
    return image.size() >= 10 && _stricmp(image.c_str() + image.size() - 10, "zuvora.exe") == 0;
}

BOOL CALLBACK Visit(HWND window, LPARAM found)
{
    if (!IsProgramWindow(window))
        return TRUE;
    reinterpret_cast<Found*>(found)->window = window;
    return FALSE;
}

LRESULT Send(HWND window, WPARAM command, LPARAM parameter)
{
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(window, WM_SYSCOMMAND, command, parameter, SMTO_ABORTIFHUNG, 5000,
                          &answer);
    return static_cast<LRESULT>(answer);
}

} // namespace

int main()
{
    Found found;
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&found));
    if (!found.window)
        return 2;
    // Monitor power: 2 turns it off.
    std::printf("screensave=%lld monitorpower=%lld\n",
                static_cast<long long>(Send(found.window, SC_SCREENSAVE, 0)),
                static_cast<long long>(Send(found.window, SC_MONITORPOWER, 2)));
    return 0;
}
