// The yardsticks of the start-up benchmarks: a bare Qt program that shows an empty window of the
// main window's size (with "--label", one text label in it, which makes Qt read the system's
// fonts), with the same benchmark seam as the program (ZUVORA_BENCH_EXIT_ON_SHOW).
#include "app/qt/benchmark_seam.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    zuv::StartupPhase("main");
    QApplication application(argc, argv);
    zuv::StartupPhase("qt");
    QWidget window;
    window.setFixedSize(497, 457);
    if (argc > 1 && QByteArray(argv[1]) == "--label")
        (new QLabel(QStringLiteral("Média fájl"), &window))->adjustSize();
    zuv::ExitAfterFirstShow::InstallOn(window);
    window.show();
    return QApplication::exec();
}
