#include "platform/power.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace zuv::platform {

int RunPowerOffCommand(const std::vector<std::string>& arguments, std::chrono::milliseconds wait)
{
    if (arguments.empty() || arguments.front().empty())
        return kPowerOffFailed;
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv.front(), nullptr, nullptr, argv.data(), environ) != 0)
        return kPowerOffFailed;

    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kPowerOffAccepted
                                                                 : kPowerOffFailed;
        if (ended < 0 && errno != EINTR)
            return kPowerOffFailed;
        if (std::chrono::steady_clock::now() >= deadline)
            return kPowerOffAccepted;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace zuv::platform
