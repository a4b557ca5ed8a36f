#pragma once

#include "util/text_encoding.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <string>
#include <vector>

namespace zuv::platform {

// A file name crossing between the windows and the logic. On Linux a name is bytes, not always
// UTF-8: those bytes travel in the text as marks (shown as replacement characters) and come back
// exactly. On Windows names are Unicode and the logic holds them as UTF-8.
#ifdef _WIN32
inline QString NameToQString(const std::string& name)
{
    return QString::fromStdString(name);
}

inline std::string NameToBytes(const QString& name)
{
    return name.toStdString();
}

inline std::string LocalFileName(const QUrl& url)
{
    return NameToBytes(url.toLocalFile());
}

// The arguments of QApplication::arguments() (argc and argv after QApplication took its own).
inline std::vector<std::string> ProgramArguments(int, char**)
{
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments())
        arguments.push_back(NameToBytes(argument));
    return arguments;
}
#else
inline QString NameToQString(const std::string& name)
{
    const std::u16string text = NameToUtf16(name);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string NameToBytes(const QString& name)
{
    return NameFromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(name.utf16()), name.size()));
}

// The name a local "file:" URL holds, its %XX escapes decoded to the bytes they stand for
// (QUrl::toLocalFile would turn those that are no UTF-8 into replacement characters).
inline std::string LocalFileName(const QUrl& url)
{
    if (!url.host().isEmpty())
        return NameToBytes(url.toLocalFile()); // a share: //host/path
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

// The program's arguments as their bytes; argc and argv as QApplication left them (its own
// options taken out). QCoreApplication::arguments() would decode them as text.
inline std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}
#endif

} // namespace zuv::platform
