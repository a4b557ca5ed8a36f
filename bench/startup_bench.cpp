// Start-up of the program to its main window's first show event, side by side with a bare Qt
// program that shows an empty window of the same size, and with the same window holding one text
// label (the first text makes Qt read the system's fonts, which every window with text pays).
// They run offscreen, in turn, with a configuration folder of their own; each prints "shown" at
// that event and ends.
#include "platform/process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 20;
constexpr int kWarmUpRuns = 2;

struct Timing
{
    double shownMs = -1; // from the start of the process to the "shown" line
};

Timing RunOnce(const std::string& program, const std::string& argument = {})
{
    zuv::platform::ChildProcess child;
    std::vector<std::string> arguments{program};
    if (!argument.empty())
        arguments.push_back(argument);
    const Clock::time_point start = Clock::now();
    if (child.Start({program, arguments, {}, 2}).failed())
        return {};
    Timing timing;
    std::string output;
    char buffer[256];
    for (;;) {
        const auto read = child.Read(buffer, sizeof buffer);
        if (read.size == 0)
            break;
        output.append(buffer, read.size);
        if (timing.shownMs < 0 && output.find("shown ") != std::string::npos)
            timing.shownMs =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    const auto code = child.WaitForExit();
    if (!code || *code != 0 || timing.shownMs < 0) {
        std::fprintf(stderr, "%s ended with %d:\n%s\n", program.c_str(), code ? *code : -1,
                     output.c_str());
        std::exit(1);
    }
    return timing;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

// Usage: startup_bench [program]; by default the zuvora built beside it.
int main(int argc, char* argv[])
{
    const std::string zuvora = argc > 1 ? argv[1] : ZUVORA_PROGRAM_PATH;
    std::string folder = (std::filesystem::temp_directory_path() / "zuvora-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1); // no hand-over to a copy the user runs
    ::setenv("ZUVORA_BENCH_EXIT_ON_SHOW", "1", 1);

    std::vector<double> programShown, bareShown, labelShown;
    for (int run = 0; run < kWarmUpRuns + kRuns; ++run) {
        const Timing bare = RunOnce(BARE_WINDOW_PATH);
        const Timing label = RunOnce(BARE_WINDOW_PATH, "--label");
        const Timing program = RunOnce(zuvora);
        if (run < kWarmUpRuns)
            continue;
        bareShown.push_back(bare.shownMs);
        labelShown.push_back(label.shownMs);
        programShown.push_back(program.shownMs);
    }
    std::filesystem::remove_all(folder);

    const auto print = [](const char* name, const std::vector<double>& values) {
        std::printf("  %-26s median %6.1f ms (min %6.1f, max %6.1f)\n", name, Median(values),
                    *std::min_element(values.begin(), values.end()),
                    *std::max_element(values.begin(), values.end()));
    };
    std::printf("to the first show event of the main window, %d runs each:\n", kRuns);
    print("zuvora", programShown);
    print("bare Qt window", bareShown);
    print("bare Qt window with a label", labelShown);
    std::printf("  ratio zuvora / bare window %.2f, zuvora / window with a label %.2f\n",
                Median(programShown) / Median(bareShown),
                Median(programShown) / Median(labelShown));
    return 0;
}
