#include "app/handover.h"
#include "app/main_form.h"
#include "app/program_session.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

// Benchmark seam (bench/run): with ZUVORA_BENCH_EXIT_ON_SHOW=<milliseconds> set, the program
// prints the wall-clock time once its main window is shown and quits that many milliseconds
// later, so that start-up and idle memory can be measured without a person closing the window.
void QuitAfterShowForBenchmark(const QWidget& window)
{
    if (!qEnvironmentVariableIsSet("ZUVORA_BENCH_EXIT_ON_SHOW"))
        return;
    const int delay = qMax(0, qEnvironmentVariableIntValue("ZUVORA_BENCH_EXIT_ON_SHOW"));
    QTimer::singleShot(0, &window, [delay] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QTimer::singleShot(delay, qApp, &QCoreApplication::quit);
    });
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> commandLine(argv, argv + argc);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zuvora"));

    // A running copy that takes files gets ours, and this copy ends unseen.
    if (zuv::HandOverToRunningCopy(zuv::JoinCommandLine(commandLine)))
        return 0;

    zuv::TZUVMainForm form;
    zuv::ProgramSession session(form);
    session.Startup(QApplication::arguments().mid(1));
    session.ListenForSecondCopies();
    form.show();
    QuitAfterShowForBenchmark(form);
    return QApplication::exec();
}
