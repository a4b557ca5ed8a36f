#include "platform/qt/open_document.h"

#include <QDesktopServices>
#include <QUrl>

namespace zuv::platform {

void OpenDocument(const QString& path, QObject* context,
                  std::function<void(const QString& reason)> failed)
{
    (void)context;
    // The shell answers at once whether it found a program for the file.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)) && failed)
        failed(QStringLiteral("ShellExecute"));
}

} // namespace zuv::platform
