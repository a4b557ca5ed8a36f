#include "platform/file_system.h"

#include "platform/bounded_read.h"
#include "platform/file_names.h"
#include "platform/system_error.h"
#include "platform/win32/windows_headers.h"
#include "platform/zuvora_error.h"
#include "util/text_utils.h"

#include <algorithm>
#include <atomic>
#include <optional>

namespace zuv::platform {

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

std::error_code LastError()
{
    return SystemError(static_cast<int>(::GetLastError()));
}

DWORD Attributes(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str());
}

bool IsFolderAttributes(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ParentFolder(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1]))
        --end;
    const std::size_t separator = path.find_last_of("\\/:", end == 0 ? 0 : end - 1);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

int WriteAll(HANDLE file, std::string_view data)
{
    while (!data.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, data.data(), chunk, &written, nullptr))
            return static_cast<int>(::GetLastError());
        data.remove_prefix(written);
    }
    return 0;
}

// A name nobody else uses beside `path`, for the file that is renamed over it.
std::string TemporaryName(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    return path + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(counter.fetch_add(1)) + "-" + std::to_string(::GetTickCount());
}

// Writes `data` into a new file `temporary` and renames it over `path`.
std::error_code WriteAndReplace(const std::string& temporary, const std::string& path,
                                std::string_view data)
{
    ScopedHandle file(::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return LastError();
    const auto fail = [&](std::error_code error) {
        file.Reset();
        ::DeleteFileA(temporary.c_str());
        return error;
    };
    if (const int error = WriteAll(file.Get(), data); error != 0)
        return fail(SystemError(error));
    if (!::FlushFileBuffers(file.Get()))
        return fail(LastError());
    file.Reset();
    // Replaces a link at the name itself rather than writing through it.
    if (!::MoveFileExA(temporary.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(LastError());
    return {};
}

// Names the system takes for devices in any folder and with any extension ("nul.srt").
bool IsDeviceName(std::string_view part)
{
    const std::string base = ToUpperAscii(part.substr(0, part.find('.')));
    static constexpr std::string_view kDevices[] = {"CON", "PRN",    "AUX",
                                                    "NUL", "CONIN$", "CONOUT$"};
    if (std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices))
        return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '0' && base[3] <= '9';
}

// The parts of a relative path between "\" or "/"; empty and "." parts are dropped. None for a
// path that is absolute, names a drive or a stream (":"), climbs out with "..", names a device,
// ends in a dot or blank (the system would drop it), holds a NUL or names no file.
std::optional<std::vector<std::string>> RelativeParts(std::string_view path)
{
    if (path.empty() || IsSeparator(path.front()) || IsSeparator(path.back()) ||
        path.find_first_of(std::string_view(":\0", 2)) != std::string_view::npos)
        return std::nullopt;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".") {
            if (IsDeviceName(part) || part.back() == '.' || part.back() == ' ')
                return std::nullopt;
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    if (parts.empty())
        return std::nullopt;
    return parts;
}

} // namespace

FileContent ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    FileContent content;
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        content.error = LastError();
        return content;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        content.error = SystemError(ERROR_DIRECTORY);
        return content;
    }
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        content.error = LastError();
        return content;
    }
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        content.error = SystemError(kErrorInvalidArgument);
        return content;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) {
        content.error = LastError();
        return content;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        content.error = ZuvoraError::TooLarge;
        return content;
    }
    return ReadBounded(static_cast<std::size_t>(size.QuadPart), maxBytes,
                       [&file](char* data, std::size_t room, std::size_t& got) {
                           DWORD done = 0;
                           const DWORD wanted =
                               static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30));
                           if (!::ReadFile(file.Get(), data, wanted, &done, nullptr))
                               return static_cast<int>(::GetLastError());
                           got = done;
                           return 0;
                       });
}

std::error_code WriteFileAtomically(const std::string& path, std::string_view data)
{
    if (const std::error_code error = CreateFolders(ParentFolder(path)))
        return error;
    return WriteAndReplace(TemporaryName(path), path, data);
}

std::error_code WriteFileAtomicallyBelow(const std::string& folder, std::string_view relativePath,
                                         std::string_view data)
{
    const auto parts = RelativeParts(relativePath);
    if (!parts)
        return SystemError(kErrorInvalidArgument);
    if (const std::error_code error = CreateFolders(folder))
        return error;
    std::string path = folder;
    if (!path.empty() && !IsSeparator(path.back()) && path.back() != ':')
        path += '\\';
    for (std::size_t i = 0; i + 1 < parts->size(); ++i) {
        path += (*parts)[i];
        if (!::CreateDirectoryA(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return LastError();
        // A link or junction planted below the folder is never followed.
        const DWORD attributes = Attributes(path);
        if (!IsFolderAttributes(attributes))
            return SystemError(kErrorPathNotFound);
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return SystemError(ERROR_CANT_RESOLVE_FILENAME);
        path += '\\';
    }
    path += parts->back();
    if (IsFolderAttributes(Attributes(path)))
        return SystemError(ERROR_DIRECTORY);
    return WriteAndReplace(TemporaryName(path), path, data);
}

bool SamePath(std::string_view a, std::string_view b)
{
    return EqualsIgnoreCase(a, b);
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    return IsFolderAttributes(Attributes(path));
}

std::error_code RemoveFile(const std::string& path)
{
    return ::DeleteFileA(path.c_str()) ? std::error_code() : LastError();
}

bool FileNamesIgnoreCase()
{
    return true;
}

std::error_code ReadAccessError(const std::string& path)
{
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() ? std::error_code() : LastError();
}

std::error_code WriteAccessError(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError();
    return SystemError((attributes & FILE_ATTRIBUTE_READONLY) ? kErrorAccessDenied : 0);
}

std::string ResolvedPath(const std::string& path)
{
    char buffer[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

std::error_code CreateFolders(const std::string& path)
{
    if (path.empty() || FolderExists(path))
        return {};
    std::string trimmed = path;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()))
        trimmed.pop_back();
    // A drive ("C:") or a share root exists or not; it is never made.
    if (trimmed.empty() || trimmed.back() == ':')
        return SystemError(FolderExists(trimmed + "\\") ? 0 : kErrorPathNotFound);
    const std::string parent = ParentFolder(trimmed);
    if (!parent.empty() && parent != trimmed) {
        if (const std::error_code error = CreateFolders(parent))
            return error;
    }
    if (!::CreateDirectoryA(trimmed.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return LastError();
    return SystemError(FolderExists(trimmed) ? 0 : kErrorPathNotFound);
}

std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix)
{
    std::vector<std::string> names;
    std::string prefix = folder;
    if (!prefix.empty() && !IsSeparator(prefix.back()) && prefix.back() != ':')
        prefix += '\\';
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA((prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name.empty() || name.front() == '.' || (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            continue;
        if (name.size() < suffix.size() ||
            !EqualsIgnoreCase(std::string_view(name).substr(name.size() - suffix.size()), suffix))
            continue;
        if (FileExists(prefix + name))
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

} // namespace zuv::platform
