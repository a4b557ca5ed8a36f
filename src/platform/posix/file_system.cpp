#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zuv::platform {

namespace {

// Closes a descriptor when the scope ends.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

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

} // namespace

FileContent ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    FileContent content;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        content.error = errno;
        return content;
    }
    struct stat info{};
    if (::fstat(fd.get(), &info) != 0) {
        content.error = errno;
        return content;
    }
    if (S_ISDIR(info.st_mode)) {
        content.error = EISDIR;
        return content;
    }
    if (!S_ISREG(info.st_mode)) {
        content.error = EINVAL;
        return content;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        content.error = EFBIG;
        return content;
    }
    content.data.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.data.size()) {
            // The file may have grown since fstat; read on up to the cap.
            if (content.data.size() >= maxBytes)
                break;
            content.data.resize(std::min(maxBytes, content.data.size() + 65536));
        }
        const ssize_t got = ::read(fd.get(), content.data.data() + filled, content.data.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            content.error = errno;
            content.data.clear();
            return content;
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    content.data.resize(filled);
    return content;
}

int WriteFileAtomically(const std::string& path, std::string_view data)
{
    const std::string folder = ParentFolder(path);
    if (const int error = CreateFolders(folder); error != 0)
        return error;
    std::string temporary = path + ".XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        return error;
    };
    // Keep the old file's permissions; a new file gets the usual 0644 less the umask.
    struct stat old{};
    mode_t mode = 0666;
    if (::stat(path.c_str(), &old) == 0)
        mode = old.st_mode & 07777;
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd.get(), mode);
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t done = ::write(fd.get(), data.data() + written, data.size() - written);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        written += static_cast<std::size_t>(done);
    }
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return fail(errno);
    // Make the rename itself durable.
    Descriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
    return 0;
}

bool FileExists(const std::string& path)
{
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int CreateFolders(const std::string& path)
{
    if (path.empty() || FolderExists(path))
        return 0;
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::string parent = ParentFolder(trimmed);
    if (parent != trimmed) {
        if (const int error = CreateFolders(parent); error != 0)
            return error;
    }
    if (::mkdir(trimmed.c_str(), 0777) != 0 && errno != EEXIST)
        return errno;
    return FolderExists(trimmed) ? 0 : ENOTDIR;
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
