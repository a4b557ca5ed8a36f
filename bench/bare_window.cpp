// The reference for the start-up figures of bench/run: a bare Qt Widgets program that shows one
// empty main window, with the same benchmark seam as Zuvora (ZUVORA_BENCH_EXIT_ON_SHOW).
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(640, 480);
    window.show();
    if (qEnvironmentVariableIsSet("ZUVORA_BENCH_EXIT_ON_SHOW")) {
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
    return QApplication::exec();
}
