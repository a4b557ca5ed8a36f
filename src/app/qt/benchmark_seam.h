#pragma once

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace zuv {

// The benchmarks' seam (bench/startup_bench, bench/run). Everything here costs one look at a
// flag when the environment does not ask for it.
//
// ZUVORA_BENCH_EXIT_ON_SHOW=<ms>: a program prints "shown <wall clock in ns>" when its main window
// gets its first show event and ends that many milliseconds later (at once for 0), without the
// exit steps or any window's teardown, so that nothing is stored.
// ZUVORA_BENCH_EXIT_ON_IDLE=<ms>: the same with "idle <ns>", printed when the event loop first
// waits for events after the window's first paint: the window is on the screen and the start is
// over.
// ZUVORA_STARTUP_TRACE=1: StartupPhase prints "phase <name> <ns>" when a step of the start ends.

inline long long WallClockNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The end of one step of the start, for the phase breakdown of bench/run.
inline void StartupPhase(const char* name)
{
    static const bool tracing = std::getenv("ZUVORA_STARTUP_TRACE") != nullptr;
    if (!tracing)
        return;
    std::printf("phase %s %lld\n", name, WallClockNs());
    std::fflush(stdout);
}

class ExitAfterFirstShow : public QObject
{
public:
    using QObject::QObject;

    // Watches `window` when the environment asks for it.
    static void InstallOn(QObject& window)
    {
        if (!qEnvironmentVariableIsSet("ZUVORA_BENCH_EXIT_ON_SHOW") &&
            !qEnvironmentVariableIsSet("ZUVORA_BENCH_EXIT_ON_IDLE") &&
            std::getenv("ZUVORA_STARTUP_TRACE") == nullptr)
            return;
        window.installEventFilter(new ExitAfterFirstShow(&window));
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            Report("shown", "ZUVORA_BENCH_EXIT_ON_SHOW");
        } else if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            StartupPhase("paint");
            // The paint itself and its flush come first, then the loop waits: the start is over.
            auto* dispatcher = QAbstractEventDispatcher::instance();
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this, dispatcher] {
                disconnect(dispatcher, nullptr, this, nullptr);
                StartupPhase("idle");
                Report("idle", "ZUVORA_BENCH_EXIT_ON_IDLE");
            });
        }
        return false;
    }

private:
    static void Report(const char* what, const char* variable)
    {
        if (!qEnvironmentVariableIsSet(variable))
            return;
        std::printf("%s %lld\n", what, WallClockNs());
        std::fflush(stdout);
        const int delay = qMax(0, qEnvironmentVariableIntValue(variable));
        if (delay == 0)
            std::_Exit(0);
        QTimer::singleShot(delay, [] { std::_Exit(0); });
    }

    bool m_shown = false;
    bool m_painted = false;
};

} // namespace zuv
