#include "platform/file_system.h"

#include "platform/bounded_read.h"
#include "platform/file_names.h"
#include "platform/posix/descriptor.h"
#include "platform/zuvora_error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace zuv::platform {

namespace {

// Closes a descriptor when the scope ends.

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    text = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(suffix[i]))
            return false;
    }
    return true;
}

std::string ParentFolder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

int WriteAll(int fd, std::string_view data)
{
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t done = ::write(fd, data.data() + written, data.size() - written);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        written += static_cast<std::size_t>(done);
    }
    return 0;
}

// The parts of a relative path between "/"; empty and "." parts are dropped. None for a path that
// is absolute, climbs out with "..", holds a NUL or names no file.
std::optional<std::vector<std::string_view>> RelativeParts(std::string_view path)
{
    if (path.empty() || path.front() == '/' || path.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".")
            parts.push_back(part);
        start = end + 1;
    }
    if (parts.empty() || path.back() == '/')
        return std::nullopt;
    return parts;
}

// Removes temporary files that an earlier write of ours left behind when it was killed: our own
// regular files named `prefix` and six characters, untouched for a while (so that a write of
// another copy going on right now keeps its file).
void RemoveLeftoverTemporaries(const std::string& folder, const std::string& prefix)
{
    constexpr time_t kLeftoverAgeSeconds = 60;
    Descriptor dirFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() < 0)
        return;
    DIR* dir = ::fdopendir(::dup(dirFd.get()));
    if (!dir)
        return;
    const time_t now = ::time(nullptr);
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix)
            continue;
        struct stat info
        {};
        if (::fstatat(dirFd.get(), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            now - info.st_mtime >= kLeftoverAgeSeconds)
            leftovers.emplace_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : leftovers)
        ::unlinkat(dirFd.get(), name.c_str(), 0);
}

} // namespace

FileContent ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    FileContent content;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        content.error = SystemError(errno);
        return content;
    }
    struct stat info
    {};
    if (::fstat(fd.get(), &info) != 0) {
        content.error = SystemError(errno);
        return content;
    }
    if (S_ISDIR(info.st_mode)) {
        content.error = SystemError(EISDIR);
        return content;
    }
    if (!S_ISREG(info.st_mode)) {
        content.error = SystemError(EINVAL);
        return content;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        content.error = ZuvoraError::TooLarge;
        return content;
    }
    return ReadBounded(static_cast<std::size_t>(info.st_size), maxBytes,
                       [&fd](char* data, std::size_t size, std::size_t& got) {
                           for (;;) {
                               const ssize_t done = ::read(fd.get(), data, size);
                               if (done >= 0) {
                                   got = static_cast<std::size_t>(done);
                                   return 0;
                               }
                               if (errno != EINTR)
                                   return errno;
                           }
                       });
}

std::error_code WriteFileAtomically(const std::string& givenPath, std::string_view data)
{
    // A link (into a dotfiles folder, say) stays a link: its target is replaced, in the target's
    // own folder. Nothing is written through a link that leads nowhere or in a circle.
    std::string path = givenPath;
    struct stat link
    {};
    if (::lstat(givenPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char* resolved = ::realpath(givenPath.c_str(), nullptr);
        if (!resolved)
            return SystemError(errno);
        path = resolved;
        std::free(resolved);
    }
    const std::string folder = ParentFolder(path);
    if (const std::error_code error = CreateFolders(folder))
        return error;
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string prefix = "." + name + ".";
    RemoveLeftoverTemporaries(folder, prefix);
    std::string temporary = folder + "/" + prefix + "XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return SystemError(errno);
    const auto fail = [&](std::error_code error) {
        ::unlink(temporary.c_str());
        return error;
    };
    // Keep the old file's permissions; a new file gets the usual 0644 less the umask.
    struct stat old
    {};
    mode_t mode = 0666;
    if (::stat(path.c_str(), &old) == 0)
        mode = old.st_mode & 07777;
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd.get(), mode);
    if (const int error = WriteAll(fd.get(), data); error != 0)
        return fail(SystemError(error));
    if (::fsync(fd.get()) != 0)
        return fail(SystemError(errno));
    if (::close(fd.release()) != 0)
        return fail(SystemError(errno));
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return fail(SystemError(errno));
    // Make the rename itself durable.
    Descriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
    return {};
}

std::error_code WriteFileAtomicallyBelow(const std::string& folder, std::string_view relativePath,
                                         std::string_view data)
{
    const auto parts = RelativeParts(relativePath);
    if (!parts)
        return SystemError(EINVAL);
    if (const std::error_code error = CreateFolders(folder))
        return error;
    // Walk down by descriptors so that nothing planted below `folder` can redirect the write.
    Descriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return SystemError(errno);
    for (std::size_t i = 0; i + 1 < parts->size(); ++i) {
        const std::string name((*parts)[i]);
        if (::mkdirat(dir.get(), name.c_str(), 0777) != 0 && errno != EEXIST)
            return SystemError(errno);
        Descriptor next(
            ::openat(dir.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() < 0)
            return SystemError(errno);
        dir.reset(next.release());
    }
    const std::string name(parts->back());
    std::random_device random;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = name + "." + std::to_string(random() % 1000000000u);
        fd = ::openat(dir.get(), temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return SystemError(errno);
    }
    if (fd < 0)
        return SystemError(EEXIST);
    Descriptor file(fd);
    const auto fail = [&](std::error_code error) {
        ::unlinkat(dir.get(), temporary.c_str(), 0);
        return error;
    };
    if (const int error = WriteAll(file.get(), data); error != 0)
        return fail(SystemError(error));
    if (::fsync(file.get()) != 0)
        return fail(SystemError(errno));
    if (::close(file.release()) != 0)
        return fail(SystemError(errno));
    // rename replaces a link at the name instead of writing through it.
    if (::renameat(dir.get(), temporary.c_str(), dir.get(), name.c_str()) != 0)
        return fail(SystemError(errno));
    ::fsync(dir.get());
    return {};
}

bool SamePath(std::string_view a, std::string_view b)
{
    return a == b;
}

bool FileExists(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::error_code RemoveFile(const std::string& path)
{
    return SystemError(::unlink(path.c_str()) == 0 ? 0 : errno);
}

bool FileNamesIgnoreCase()
{
    return false;
}

std::error_code ReadAccessError(const std::string& path)
{
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    return SystemError(fd.get() < 0 ? errno : 0);
}

std::error_code WriteAccessError(const std::string& path)
{
    return SystemError(::access(path.c_str(), W_OK) == 0 ? 0 : errno);
}

std::string ResolvedPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::error_code CreateFolders(const std::string& path)
{
    if (path.empty() || FolderExists(path))
        return {};
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::string parent = ParentFolder(trimmed);
    if (parent != trimmed) {
        if (const std::error_code error = CreateFolders(parent))
            return error;
    }
    if (::mkdir(trimmed.c_str(), 0777) != 0 && errno != EEXIST)
        return SystemError(errno);
    return SystemError(FolderExists(trimmed) ? 0 : ENOTDIR);
}

std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '/')
        prefix += '/';
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name.front() == '.' || !EndsWithIgnoreCase(name, suffix))
            continue;
        if (FileExists(prefix + name))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

} // namespace zuv::platform
