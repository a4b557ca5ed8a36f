#include "app/handover.h"
#include "app/main_form.h"
#include "app/program_session.h"

#include <QApplication>

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
    return QApplication::exec();
}
