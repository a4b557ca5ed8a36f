#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace zuv {

// The benchmarks' seam (bench/startup_bench, bench/run): with ZUVORA_BENCH_EXIT_ON_SHOW=<ms> set,
// a program prints "shown <wall clock in ns>" when its main window gets its first show event and
// ends that many milliseconds later (at once for 0), without the exit steps or any window's
// teardown, so that nothing is stored.
class ExitAfterFirstShow : public QObject
{
public:
    using QObject::QObject;

    // Watches `window` when the environment asks for it.
    static void InstallOn(QObject& window)
    {
        if (!qEnvironmentVariableIsSet("ZUVORA_BENCH_EXIT_ON_SHOW"))
            return;
        window.installEventFilter(new ExitAfterFirstShow(&window));
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Show || m_shown)
            return false;
        m_shown = true;
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        const int delay = qMax(0, qEnvironmentVariableIntValue("ZUVORA_BENCH_EXIT_ON_SHOW"));
        if (delay == 0)
            std::_Exit(0);
        QTimer::singleShot(delay, [] { std::_Exit(0); });
        return false;
    }

private:
    bool m_shown = false;
};

} // namespace zuv
