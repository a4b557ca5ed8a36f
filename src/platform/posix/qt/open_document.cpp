#include "platform/qt/open_document.h"

#include <QPointer>
#include <QProcess>

namespace zuv::platform {

namespace {

// What the opener prints is a few lines; more is not read into the error box.
constexpr qint64 kMaxReasonBytes = 4096;

} // namespace

void OpenDocument(const QString& path, QObject* context,
                  std::function<void(const QString& reason)> failed)
{
    // xdg-open reports only by its exit code and its output, which QDesktopServices drops. It
    // may wait for the program it starts, so the process has no parent that would kill it.
    auto* opener = new QProcess;
    opener->setProcessChannelMode(QProcess::MergedChannels);
    const QPointer<QObject> owner(context);
    auto report = [owner, failed](const QString& reason) {
        if (owner && failed)
            failed(reason);
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, report](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         report(QStringLiteral("xdg-open: ") + opener->errorString());
                         opener->deleteLater();
                     });
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, report](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0) {
                             QString reason =
                                 QString::fromLocal8Bit(opener->read(kMaxReasonBytes)).trimmed();
                             if (reason.isEmpty())
                                 reason = QStringLiteral("xdg-open: %1").arg(exitCode);
                             report(reason);
                         }
                         opener->deleteLater();
                     });
    opener->start(QStringLiteral("xdg-open"), {path});
}

} // namespace zuv::platform
