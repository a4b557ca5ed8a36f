// The yardsticks of the start-up benchmarks: a bare Qt program that shows an empty window of the
// main window's size (with "--label", one text label in it, which makes Qt read the system's
// fonts; with "--controls", the kinds and number of controls the main window shows, with nothing
// behind them), with the same benchmark seam as the program (ZUVORA_BENCH_EXIT_ON_SHOW).
#include "app/qt/benchmark_seam.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

namespace {

// Three editable fields with a button each, six switches, two sliders, two rules and the bottom
// row: what Qt itself costs for the main window, the floor below which no start of it can go.
void AddMainWindowControls(QWidget& window)
{
    auto* grid = new QGridLayout(&window);
    int row = 0;
    for (const char* caption : {"Média fájl", "Felirat", "MPlayer extra paraméterek"}) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption)), row++, 0);
        auto* field = new QComboBox;
        field->setEditable(true);
        field->setCompleter(nullptr);
        grid->addWidget(field, row, 0, 1, 2);
        grid->addWidget(new QPushButton(QStringLiteral("Tallóz")), row++, 2);
    }
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    grid->addWidget(rule, row++, 0, 1, 3);
    for (int i = 0; i < 6; ++i)
        grid->addWidget(new QCheckBox(QStringLiteral("Teljes képernyő")), row + i % 3, i / 3);
    for (int i = 0; i < 2; ++i) {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setTickPosition(QSlider::TicksBelow);
        grid->addWidget(slider, row + i, 2);
    }
    row += 3;
    grid->addWidget(new QPushButton(QStringLiteral("Playlist")), row, 0);
    grid->addWidget(new QPushButton(QStringLiteral("+")), row, 1);
    grid->addWidget(new QPushButton(QStringLiteral("Start")), row, 2);
}

} // namespace

int main(int argc, char* argv[])
{
    zuv::StartupPhase("main");
    QApplication application(argc, argv);
    zuv::StartupPhase("qt");
    QWidget window;
    window.setFixedSize(497, 457);
    if (argc > 1 && QByteArray(argv[1]) == "--label")
        (new QLabel(QStringLiteral("Média fájl"), &window))->adjustSize();
    if (argc > 1 && QByteArray(argv[1]) == "--controls")
        AddMainWindowControls(window);
    zuv::ExitAfterFirstShow::InstallOn(window);
    window.show();
    return QApplication::exec();
}
