#include "app/handover.h"
#include "app/main_form.h"
#include "app/program_session.h"
#include "platform/termination_signals.h"

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

    // A logout, Ctrl+C or a closed terminal leaves every event loop, modal boxes included, so
    // that what waits on them finishes with its windows intact; then the window closes as if
    // the user had closed it, and the exit steps store everything.
    zuv::platform::TerminationSignals termination;
    QObject::connect(&termination, &zuv::platform::TerminationSignals::Received, &application,
                     [] { QApplication::exit(0); });
    const int exitCode = QApplication::exec();
    form.close();
    return exitCode;
}
