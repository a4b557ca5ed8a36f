#pragma once

// The desktop's opener (xdg-open) replaced, while this object lives, by a script first on PATH
// that writes down each file it is asked to open and then succeeds, or fails as xdg-open does
// when the desktop has no program for the file.

#include "support/test_support.h"

#include <QFile>
#include <QStringList>

#include <optional>
#include <sys/stat.h>

namespace zuv::test {

class FakeOpener
{
public:
    explicit FakeOpener(bool fails = false)
    {
        const std::string script = m_folder.file("xdg-open");
        WriteFile(script,
                  "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_folder.file("opened") + "'\n" +
                      (fails ? "echo 'x-terminal-emulator: not found' >&2\nexit 3\n" : "exit 0\n"));
        chmod(script.c_str(), 0755);
        const char* path = std::getenv("PATH");
        m_path.emplace("PATH", m_folder.path() + ":" + (path ? path : ""));
    }

    // The files asked for, in order.
    QStringList Opened() const
    {
        QFile log(QString::fromStdString(m_folder.file("opened")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    TempDir m_folder;
    std::optional<ScopedEnv> m_path;
};

} // namespace zuv::test
