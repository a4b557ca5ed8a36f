#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zuvora"));
    QMainWindow window;
    window.setObjectName(QStringLiteral("ZUVMainForm"));
    window.setWindowTitle(QStringLiteral("Zuvora"));
    window.resize(497, 457);
    window.show();
    return QApplication::exec();
}
