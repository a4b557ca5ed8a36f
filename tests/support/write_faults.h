#pragma once

// Ways to make the program's writes fail even for root, which ignores folder permissions.
#ifndef _WIN32

#include <string>
#include <sys/resource.h>

namespace zuv::test {

// Makes every write past `bytes` fail with EFBIG until the end of the scope: a full disk for the
// files the program writes.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// A folder in which nothing can be created or replaced while its files stay readable. Not every
// file system or container allows it: see Active().
class ImmutableFolder
{
public:
    explicit ImmutableFolder(const std::string& folder);
    ~ImmutableFolder();
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    bool Active() const { return m_active; }

private:
    bool SetFlag(bool on);

    int m_fd;
    bool m_active = false;
};

} // namespace zuv::test

#endif
