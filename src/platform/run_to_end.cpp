#include "platform/process.h"
#include "platform/zuvora_error.h"

#include <algorithm>

namespace zuv::platform {

FinishedRun RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
                     std::chrono::milliseconds timeLimit, std::size_t maxOutputBytes)
{
    FinishedRun run;
    const ProgramLocation location = FindProgram(program, {});
    if (location.error) {
        run.error = location.error;
        return run;
    }
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProcess child;
    if (const ProcessStartError start = child.Start({location.path, argv, {}, 2}); start.failed()) {
        run.error = start.error;
        return run;
    }
    const auto deadline = ChildProcess::Clock::now() + timeLimit;
    char buffer[4096];
    for (;;) {
        const ChildProcess::ReadResult got = child.Read(buffer, sizeof buffer, deadline);
        if (got.timedOut || got.size == 0)
            break;
        // Reading on past the limit keeps a chatty program from blocking on a full pipe.
        if (run.output.size() < maxOutputBytes)
            run.output.append(buffer, std::min(got.size, maxOutputBytes - run.output.size()));
    }
    if (const std::optional<int> exitCode = child.WaitForExit(deadline)) {
        run.exitCode = *exitCode;
    } else {
        child.Kill();
        child.WaitForExit();
        run.error = std::make_error_code(std::errc::timed_out);
    }
    return run;
}

} // namespace zuv::platform
