// The yardsticks of the start-up benchmark: a bare Qt program that shows an empty window of the
// main window's size (with "--label", one text label in it, which makes Qt read the system's
// fonts) and ends at once at its first show event, as the program does for the benchmark.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class ExitOnFirstShow : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(497, 457);
    if (argc > 1 && QByteArray(argv[1]) == "--label")
        (new QLabel(QStringLiteral("Média fájl"), &window))->adjustSize();
    ExitOnFirstShow exitOnShow;
    window.installEventFilter(&exitOnShow);
    window.show();
    return QApplication::exec();
}
