#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <minizip/unzip.h>
#include <string>
#include <system_error>

namespace zuv {

enum class SeekOrigin
{
    Begin,
    Current,
    End
};

// Read-only stream over the current member of an open archive. It is only a view: the archive
// handle stays owned by the TUnZipFile that made it, which must outlive the stream.
class TUnZipFileStream
{
public:
    // Opens the current member; none when minizip refuses it.
    static std::unique_ptr<TUnZipFileStream> Open(unzFile archive);
    ~TUnZipFileStream();
    TUnZipFileStream(const TUnZipFileStream&) = delete;
    TUnZipFileStream& operator=(const TUnZipFileStream&) = delete;

    // Bytes read; 0 at the end of the data and on an error (see Failed()).
    std::size_t Read(void* buffer, std::size_t count);
    // The stream cannot be written.
    std::size_t Write(const void* buffer, std::size_t count);
    // Offset 0 from the end gives the uncompressed size; every other request gives the current
    // position and does not move.
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin);

    std::uint64_t Size() const { return m_info.uncompressed_size; }
    // True once a read failed (damaged data, wrong compression method, ...).
    bool Failed() const { return m_failed; }
    // Ends the member; false when the data was damaged (a CRC mismatch after reading it all).
    bool Close();

private:
    TUnZipFileStream(unzFile archive, const unz_file_info& info);

    unzFile m_archive;
    unz_file_info m_info;
    bool m_open = true;
    bool m_failed = false;
};

// One open ZIP archive and its current member.
class TUnZipFile
{
public:
    // None when the file cannot be opened or is no ZIP archive.
    static std::unique_ptr<TUnZipFile> Open(const std::string& path);
    ~TUnZipFile();
    TUnZipFile(const TUnZipFile&) = delete;
    TUnZipFile& operator=(const TUnZipFile&) = delete;

    // Go to the first / next member of the central directory; false when there is none or the
    // directory cannot be read (LastResult() tells which).
    bool First(std::string& name);
    bool Next(std::string& name);
    // The minizip result of the last First or Next: UNZ_OK, UNZ_END_OF_LIST_OF_FILE or an error.
    int LastResult() const { return m_lastResult; }
    // Number of members the archive declares.
    std::uint64_t MemberCount() const;

    const std::string& CurrentName() const { return m_currentName; }
    const unz_file_info& CurrentInfo() const { return m_currentInfo; }
    bool CurrentIsEncrypted() const { return (m_currentInfo.flag & 1u) != 0; }
    // A symbolic link stored by a Unix or macOS archiver (its data is the link's target).
    bool CurrentIsLink() const;

    std::unique_ptr<TUnZipFileStream> OpenMemberStream();

    // Writes the current member, whole, to destinationFolder + CurrentName() (replacing what is
    // there, folders created). Nothing is left behind on failure. The error is a system one from
    // writing, or ZuvoraError::Encrypted, TooLarge, CannotUnpack or Damaged.
    std::error_code ExtractCurrent(const std::string& destinationFolder);

    // Members above this uncompressed size are never unpacked.
    static constexpr std::uint64_t kMaxMemberSize = 64u * 1024u * 1024u;

private:
    explicit TUnZipFile(unzFile archive) : m_archive(archive) {}
    bool ReadCurrent(int result, std::string& name);

    unzFile m_archive;
    std::string m_currentName;
    unz_file_info m_currentInfo{};
    int m_lastResult = UNZ_OK;
};

} // namespace zuv
