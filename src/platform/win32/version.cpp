#include "platform/version.h"

#include "platform/win32/windows_headers.h"

#include <cstdio>
#include <vector>

namespace zuv::platform {

namespace {

// The whole version resource of a file; empty when it has none.
std::vector<char> VersionResource(const std::string& path)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<char> resource(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, resource.data()))
        return {};
    return resource;
}

} // namespace

std::optional<FixedFileVersion> ReadFixedFileVersion(const std::string& path)
{
    std::vector<char> resource = VersionResource(path);
    if (resource.empty())
        return std::nullopt;
    void* root = nullptr;
    UINT length = 0;
    char rootBlock[] = "\\";
    if (!::VerQueryValueA(resource.data(), rootBlock, &root, &length) || !root ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(root);
    FixedFileVersion version;
    version.fileVersionMS = fixed->dwFileVersionMS;
    version.fileVersionLS = fixed->dwFileVersionLS;
    version.fileFlags = fixed->dwFileFlags;
    return version;
}

std::string ReadFileVersionValue(const std::string& path, const std::string& name)
{
    std::vector<char> resource = VersionResource(path);
    if (resource.empty())
        return {};
    void* translations = nullptr;
    UINT length = 0;
    char translationBlock[] = "\\VarFileInfo\\Translation";
    if (!::VerQueryValueA(resource.data(), translationBlock, &translations, &length) ||
        !translations || length < 4)
        return {};
    // The first entry only: the language in its low half, the code page in its high half.
    const auto* entry = static_cast<const WORD*>(translations);
    char block[32];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04X%04X\\", unsigned(entry[0]),
                  unsigned(entry[1]));
    std::string key = block + name;
    void* value = nullptr;
    if (!::VerQueryValueA(resource.data(), key.data(), &value, &length) || !value || length == 0)
        return {};
    const char* text = static_cast<const char*>(value);
    std::string result(text, length);
    return result.substr(0, result.find('\0'));
}

} // namespace zuv::platform
