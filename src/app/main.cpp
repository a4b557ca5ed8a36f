#include "app/handover.h"
#include "app/main_form.h"
#include "app/program_session.h"
#include "platform/termination_signals.h"
#include "util/system_utils.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// The start-up benchmark (bench/startup_bench): with ZUVORA_BENCH_EXIT_ON_SHOW set, the program
// prints "shown" when its main window gets its first show event and ends there at once, without
// the exit steps or any window's teardown, so that nothing is stored.
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
    ExitOnFirstShow exitOnShow;
    if (!zuv::GetEnvVar("ZUVORA_BENCH_EXIT_ON_SHOW").empty())
        form.installEventFilter(&exitOnShow);
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
