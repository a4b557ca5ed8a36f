#include "archive/subtitle_extraction.h"

#include "archive/unzip_file.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "util/path_syntax.h"
#include "util/text_utils.h"

namespace zuv {

namespace {

// A name that stays below the destination folder when appended to it.
bool IsSafeMemberName(std::string_view name)
{
    if (name.empty() || name.front() == '/' || name.find('\0') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos)
            end = name.size();
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

// An archive that holds nothing but its end record. minizip refuses to open it (it never looks for
// the record at offset 0), yet it is a sound archive without members.
bool IsEmptyArchive(const std::string& path)
{
    constexpr std::size_t kEndRecordSize = 22;
    const platform::FileContent content = platform::ReadWholeFile(path, kEndRecordSize + 0xFFFF);
    const std::string& data = content.data;
    if (!content.ok() || data.size() < kEndRecordSize || data.compare(0, 4, "PK\x05\x06") != 0)
        return false;
    const auto word = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(data[at]) |
                                        static_cast<unsigned char>(data[at + 1]) << 8);
    };
    return word(10) == 0 && word(20) == data.size() - kEndRecordSize;
}

std::string ExtractionErrorText(const std::error_code& error, const std::string& destination)
{
    if (error == ZuvoraError::Encrypted)
        return "The subtitle in the archive is encrypted";
    if (error == ZuvoraError::CannotUnpack)
        return "The subtitle in the archive cannot be unpacked";
    if (error == ZuvoraError::Damaged)
        return "The subtitle in the archive is damaged";
    if (error == ZuvoraError::TooLarge)
        return "The subtitle in the archive is too large";
    return "Cannot write " + destination + ": " + platform::ErrorMessage(error);
}

// Why the current subtitle member is passed over, or nullptr when it may be unpacked.
const char* RefusalOfCurrent(const TUnZipFile& archive, std::string_view name)
{
    if (!IsSafeMemberName(name))
        return "The subtitle's name in the archive leads outside the folder";
    if (archive.CurrentInfo().uncompressed_size > TUnZipFile::kMaxMemberSize)
        return "The subtitle in the archive is too large";
    if (archive.CurrentIsLink())
        return "The subtitle in the archive is a link, not a file";
    return nullptr;
}

} // namespace

bool IsSubtitleMemberName(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos)
        return false;
    const std::string_view extension = name.substr(dot);
    return EqualsIgnoreCase(extension, ".SUB") || EqualsIgnoreCase(extension, ".SRT");
}

SubtitleExtraction ExtractSubtitle(const std::string& archivePath,
                                   const std::string& destinationFolder)
{
    SubtitleExtraction result;
    const std::unique_ptr<TUnZipFile> archive = TUnZipFile::Open(archivePath);
    if (!archive) {
        if (IsEmptyArchive(archivePath))
            return result;
        // minizip does not say why; a file we can read is then no (intact) ZIP archive.
        const std::error_code error = platform::ReadAccessError(archivePath);
        result.error = error ? platform::ErrorMessage(error)
                             : std::string("Not a ZIP archive, or a damaged one");
        return result;
    }
    std::string name;
    const char* firstRefusal = nullptr;
    for (bool found = archive->First(name); found; found = archive->Next(name)) {
        if (!IsSubtitleMemberName(name))
            continue;
        if (const char* refusal = RefusalOfCurrent(*archive, name)) {
            if (!firstRefusal)
                firstRefusal = refusal;
            continue;
        }
        // Made only when there is something to unpack.
        std::string folder =
            destinationFolder.empty() ? platform::PrivateTempFolder() : destinationFolder;
        if (folder.empty()) {
            result.error =
                "Cannot write " + platform::TempFolder() + name + ": " +
                platform::ErrorMessage(platform::SystemError(platform::kErrorAccessDenied));
            return result;
        }
        if (kPathSeparators.find(folder.back()) == std::string::npos)
            folder += kPreferredSeparator;
        const std::string destination = folder + name;
        if (const std::error_code error = archive->ExtractCurrent(folder))
            result.error = ExtractionErrorText(error, destination);
        else
            result.path = destination;
        return result;
    }
    if (archive->LastResult() != UNZ_END_OF_LIST_OF_FILE && archive->MemberCount() != 0)
        result.error = "The archive's list of files is damaged";
    else if (firstRefusal)
        result.error = firstRefusal;
    return result;
}

} // namespace zuv
