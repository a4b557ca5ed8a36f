#include "archive/unzip_file.h"

#include "platform/file_system.h"
#include "platform/zuvora_error.h"

#include <algorithm>
#include <climits>

namespace zuv {

std::unique_ptr<TUnZipFileStream> TUnZipFileStream::Open(unzFile archive)
{
    unz_file_info info{};
    if (unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return nullptr;
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return nullptr;
    return std::unique_ptr<TUnZipFileStream>(new TUnZipFileStream(archive, info));
}

TUnZipFileStream::TUnZipFileStream(unzFile archive, const unz_file_info& info)
    : m_archive(archive), m_info(info)
{}

TUnZipFileStream::~TUnZipFileStream()
{
    if (m_open)
        unzCloseCurrentFile(m_archive);
}

std::size_t TUnZipFileStream::Read(void* buffer, std::size_t count)
{
    if (!m_open || count == 0)
        return 0;
    // minizip reads at most INT_MAX bytes per call; callers loop anyway.
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(count, INT_MAX));
    const int got = unzReadCurrentFile(m_archive, buffer, chunk);
    if (got < 0) {
        m_failed = true;
        return 0;
    }
    return static_cast<std::size_t>(got);
}

std::size_t TUnZipFileStream::Write(const void*, std::size_t)
{
    return 0;
}

std::int64_t TUnZipFileStream::Seek(std::int64_t offset, SeekOrigin origin)
{
    if (offset == 0 && origin == SeekOrigin::End)
        return static_cast<std::int64_t>(m_info.uncompressed_size);
    return unztell(m_archive);
}

bool TUnZipFileStream::Close()
{
    if (!m_open)
        return !m_failed;
    m_open = false;
    // The CRC is checked here once the whole member was read.
    return unzCloseCurrentFile(m_archive) == UNZ_OK && !m_failed;
}

std::unique_ptr<TUnZipFile> TUnZipFile::Open(const std::string& path)
{
    unzFile archive = unzOpen(path.c_str());
    if (!archive)
        return nullptr;
    return std::unique_ptr<TUnZipFile>(new TUnZipFile(archive));
}

TUnZipFile::~TUnZipFile()
{
    unzClose(m_archive);
}

std::uint64_t TUnZipFile::MemberCount() const
{
    unz_global_info info{};
    if (unzGetGlobalInfo(m_archive, &info) != UNZ_OK)
        return 0;
    return info.number_entry;
}

bool TUnZipFile::First(std::string& name)
{
    return ReadCurrent(unzGoToFirstFile(m_archive), name);
}

bool TUnZipFile::Next(std::string& name)
{
    return ReadCurrent(unzGoToNextFile(m_archive), name);
}

bool TUnZipFile::ReadCurrent(int result, std::string& name)
{
    m_lastResult = result;
    if (result != UNZ_OK)
        return false;
    // First the record alone to learn the name's length, then the name in a buffer of exactly
    // that length (minizip adds no terminator then). The second call gets a scratch record:
    // minizip 1.1 crashes when given no record at all.
    m_lastResult =
        unzGetCurrentFileInfo(m_archive, &m_currentInfo, nullptr, 0, nullptr, 0, nullptr, 0);
    if (m_lastResult != UNZ_OK)
        return false;
    m_currentName.assign(m_currentInfo.size_filename, '\0');
    unz_file_info scratch{};
    m_lastResult = unzGetCurrentFileInfo(m_archive, &scratch, m_currentName.data(),
                                         m_currentInfo.size_filename, nullptr, 0, nullptr, 0);
    if (m_lastResult != UNZ_OK)
        return false;
    name = m_currentName;
    return true;
}

bool TUnZipFile::CurrentIsLink() const
{
    // Only these systems give the upper half of the external attributes a Unix mode.
    constexpr unsigned long kMadeByUnix = 3;
    constexpr unsigned long kMadeByMacOs = 19;
    constexpr unsigned long kTypeMask = 0170000;
    constexpr unsigned long kSymbolicLink = 0120000;
    const unsigned long system = m_currentInfo.version >> 8;
    return (system == kMadeByUnix || system == kMadeByMacOs) &&
           ((m_currentInfo.external_fa >> 16) & kTypeMask) == kSymbolicLink;
}

std::unique_ptr<TUnZipFileStream> TUnZipFile::OpenMemberStream()
{
    return TUnZipFileStream::Open(m_archive);
}

std::error_code TUnZipFile::ExtractCurrent(const std::string& destinationFolder)
{
    // Without the password the data would only decode to rubbish.
    if (CurrentIsEncrypted())
        return ZuvoraError::Encrypted;
    if (m_currentInfo.uncompressed_size > kMaxMemberSize)
        return ZuvoraError::TooLarge;
    const std::unique_ptr<TUnZipFileStream> stream = OpenMemberStream();
    if (!stream)
        return ZuvoraError::CannotUnpack;
    const auto size = static_cast<std::size_t>(stream->Seek(0, SeekOrigin::End));
    // The member is gathered whole (at most kMaxMemberSize) so that a damaged member never
    // leaves a partial file behind.
    std::string data(size, '\0');
    std::size_t filled = 0;
    while (filled < size) {
        const std::size_t got = stream->Read(data.data() + filled, size - filled);
        if (got == 0)
            break;
        filled += got;
    }
    // Short data, more data than declared, a read error or a CRC mismatch: the member is damaged.
    char extra = 0;
    if (filled < size || stream->Read(&extra, 1) != 0 || !stream->Close())
        return ZuvoraError::Damaged;
    return platform::WriteFileAtomicallyBelow(destinationFolder, m_currentName, data);
}

} // namespace zuv
