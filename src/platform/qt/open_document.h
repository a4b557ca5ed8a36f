#pragma once

#include <QString>

#include <functional>

class QObject;

namespace zuv::platform {

// Opens a file with the program the desktop has for it. When the desktop has none or that
// program cannot start, `failed` is called later on this thread with the reason, in the desktop's
// own words where it gives any; not after `context` is gone. The opened program outlives ours.
void OpenDocument(const QString& path, QObject* context,
                  std::function<void(const QString& reason)> failed);

} // namespace zuv::platform
