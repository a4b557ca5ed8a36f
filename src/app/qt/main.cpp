#include "app/command_line_help.h"
#include "app/qt/benchmark_seam.h"
#include "app/qt/handover.h"
#include "app/qt/main_form.h"
#include "app/qt/program_session.h"
#include "app/qt/screenshot_tour.h"
#include "fileassoc/installed_icon.h"
#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/qt/file_name.h"
#include "platform/qt/termination_signals.h"
#include "platform/system_utils.h"
#include "widgets/qt/dialogs.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QTimer>

#include <csignal>

namespace {

// Read as what they are: a reader left to guess the format loads every image plugin of the system
// (and the libraries behind them) to ask each one.
QIcon InstalledIcon()
{
    QIcon icon;
    for (const std::string& file :
         zuv::InstalledIconFiles(zuv::DesktopFolders::FromEnvironment())) {
        QImageReader reader(zuv::platform::NameToQString(file), "png");
        reader.setAutoDetectImageFormat(false);
        if (const QImage image = reader.read(); !image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

int main(int argc, char* argv[])
{
    zuv::StartupPhase("main");
    const std::vector<std::string> commandLine(argv, argv + argc);
    // Asked from a terminal, perhaps where no display exists: answered before Qt needs one.
    if (const auto information = zuv::CommandLineInformation(commandLine))
        return zuv::PrintInformation(*information);

#ifdef SIGXFSZ
    // Past a file-size limit a write then fails (EFBIG) and is reported like a full disk, instead
    // of the signal killing the program in the middle of its exit steps.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    zuv::platform::KeepSessionBusUnlaunched();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zuvora"));
    // The desktop matches our windows to the installed menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("zuvora"));
    zuv::StartupPhase("qt");

    // A logout, Ctrl+C or a closed terminal leaves every event loop, modal boxes included, so
    // that what waits on them finishes with its windows intact; then the window closes as if
    // the user had closed it, and the exit steps store everything. Caught from here on, so that
    // a request that comes while the windows are being filled waits for the event loop instead
    // of killing the program before it has stored anything. From then on no message box waits
    // for anyone: failures of the exit steps go to standard error and the system log.
    zuv::platform::TerminationSignals termination;
    QObject::connect(&termination, &zuv::platform::TerminationSignals::Received, &application, [] {
        zuv::MessageBox::SetUnattended(true);
        QApplication::exit(0);
    });

    // The arguments as Qt leaves them (its own options taken out), files made absolute.
    std::vector<std::string> arguments = zuv::AbsoluteFileArguments(
        zuv::platform::ProgramArguments(argc, argv), zuv::platform::CurrentFolder());

    // A running copy that takes files gets ours, and this copy ends unseen.
    if (zuv::HandOverToRunningCopy(zuv::JoinCommandLine(arguments)))
        return 0;
    zuv::StartupPhase("handover");

    zuv::TZUVMainForm form;
    zuv::StartupPhase("window");
    zuv::ProgramSession session(form);
    QStringList startupArguments;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        startupArguments << zuv::platform::NameToQString(arguments[i]);
    // Listening from the start: a copy started while this one still starts waits for it instead
    // of opening a window of its own.
    session.ListenForSecondCopies();
    session.Startup(startupArguments);
    // Not for the first frame: the icon, the session bus and the media types of the files.
    session.WhenPainted([&session] {
        if (const QIcon icon = InstalledIcon(); !icon.isNull())
            QApplication::setWindowIcon(icon);
        session.PublishMediaControls();
    });
    zuv::ExitAfterFirstShow::InstallOn(form);
    form.show();
    zuv::StartupPhase("show");

    // Pictures of the windows for the documentation and the packaging test.
    const std::string screenshotFolder = zuv::GetEnvVar("ZUVORA_SCREENSHOTS");
    if (!screenshotFolder.empty()) {
        QTimer::singleShot(0, &form, [&form, screenshotFolder] {
            QApplication::exit(
                zuv::TakeScreenshots(form, QString::fromStdString(screenshotFolder)));
        });
    }

    // A request to end that came during the start-up (while a box was open, say) is not lost.
    const int exitCode = zuv::MessageBox::Unattended() ? 0 : QApplication::exec();
    form.close();
    return exitCode;
}
