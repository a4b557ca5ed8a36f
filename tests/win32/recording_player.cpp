// A stand-in for mplayer.exe in the program's folder: appends its command line, as the system
// gives it, to args.log beside itself, prints a line like the player's and ends. A media file
// whose name holds "long" keeps it running for a minute, so that it can be stopped.
#include <cstdio>
#include <string>
#include <windows.h>

int main()
{
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string log(path, length);
    log = log.substr(0, log.find_last_of('\\') + 1) + "args.log";
    const std::string commandLine = ::GetCommandLineA();
    if (std::FILE* file = std::fopen(log.c_str(), "ab")) {
        std::fprintf(file, "%s\n", commandLine.c_str());
        std::fclose(file);
    }
    std::printf("MPlayer fake-1.0\nPlaying.\n");
    std::fflush(stdout);
    if (commandLine.find("long") != std::string::npos)
        ::Sleep(60000);
    return 0;
}
