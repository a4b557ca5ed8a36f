// A flooding player through the real runner into a real result window: throughput from the start
// to the end notification, and the longest time the user-interface thread could not react.
// Compared with the same player piped to cat, which is what the system alone manages.
#include "platform/process.h"
#include "playback/qt/player_runner.h"
#include "playback/qt/result_form.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLines = 200'000;
constexpr int kLineLength = 80;

double Seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// The fake player: prints the prepared lines and exits.
std::string PreparePlayer(const std::string& folder)
{
    const std::string lines = folder + "lines.txt";
    std::ofstream out(lines, std::ios::binary);
    char line[kLineLength + 2];
    for (int i = 0; i < kLines; ++i) {
        std::snprintf(line, sizeof line, "%-*d\n", kLineLength, i);
        out.write(line, kLineLength + 1);
    }
    out.close();
    const std::string player = folder + "mplayer";
    std::ofstream script(player);
    script << "#!/bin/sh\nexec cat '" << lines << "'\n";
    script.close();
    ::chmod(player.c_str(), 0755);
    return player;
}

// The player's output piped to cat > /dev/null.
double PipedToCatSeconds(const std::string& player)
{
    const auto start = Clock::now();
    zuv::platform::ChildProcess shell;
    if (shell.Start({"/bin/sh", {"sh", "-c", "'" + player + "' | cat > /dev/null"}, {}, 2})
            .failed())
        return -1;
    char buffer[256];
    while (shell.Read(buffer, sizeof buffer).size != 0) {
    }
    shell.WaitForExit();
    return Seconds(Clock::now() - start);
}

} // namespace

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);

    std::string folder = (std::filesystem::temp_directory_path() / "zuvora-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    folder += "/";
    const std::string player = PreparePlayer(folder);

    const double catSeconds = PipedToCatSeconds(player);

    zuv::TResultForm form;
    form.Show();
    zuv::PlayerRunner runner;
    runner.SetProgramFolder(folder);
    long long delivered = 0;
    long long batches = 0;
    Clock::duration appending{};
    Clock::duration longestAppend{};
    QObject::connect(&runner, &zuv::PlayerRunner::LinesReceived, &form,
                     [&](const std::vector<std::string>& lines) {
                         delivered += static_cast<long long>(lines.size());
                         ++batches;
                         const auto before = Clock::now();
                         form.AddLines(lines);
                         const auto took = Clock::now() - before;
                         appending += took;
                         longestAppend = std::max(longestAppend, took);
                     });

    // The longest gap between two ticks of a 1 ms timer is the longest stall of the UI thread.
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    Clock::time_point lastTick;
    Clock::duration longestStall{};
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        const auto now = Clock::now();
        longestStall = std::max(longestStall, now - lastTick);
        lastTick = now;
    });

    Clock::time_point start;
    Clock::time_point end;
    int exitCode = -1;
    QObject::connect(&runner, &zuv::PlayerRunner::Exited, &runner, [&](int code) {
        end = Clock::now();
        exitCode = code;
        QApplication::quit();
    });
    QTimer::singleShot(0, &runner, [&] {
        start = lastTick = Clock::now();
        ticker.start();
        if (runner.Start("mplayer", 2).failed())
            QApplication::exit(1);
    });
    const int result = QApplication::exec();
    ticker.stop();
    std::filesystem::remove_all(folder);
    if (result != 0)
        return result;

    const double runSeconds = Seconds(end - start);
    std::printf("result window: %lld lines of %d characters in %.3f s = %.0f lines/s "
                "(%lld hand-overs, exit code %d, %d lines shown)\n",
                delivered, kLineLength, runSeconds, delivered / runSeconds, batches, exitCode,
                form.findChild<QPlainTextEdit*>(QStringLiteral("Memo"))->blockCount());
    const auto milliseconds = [](Clock::duration duration) {
        return std::chrono::duration<double, std::milli>(duration).count();
    };
    std::printf("longest stall of the UI thread: %.1f ms; appending took %.0f ms in all, "
                "%.1f ms at most\n",
                milliseconds(longestStall), milliseconds(appending), milliseconds(longestAppend));
    std::printf("same output piped to cat > /dev/null: %.3f s = %.0f lines/s\n", catSeconds,
                kLines / catSeconds);
    return delivered == kLines ? 0 : 2;
}
