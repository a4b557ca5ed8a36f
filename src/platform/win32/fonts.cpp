#include "platform/fonts.h"

#include "platform/win32/registry.h"
#include "platform/win32/windows_fonts.h"
#include "platform/win32/windows_headers.h"
#include "util/text_utils.h"

#include <shlobj.h>

namespace zuv::platform {

std::string FontsRegistryKey(unsigned platformId)
{
    return platformId == VER_PLATFORM_WIN32_NT
               ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"
               : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
}

std::string FontsRegistryKey()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool known = ::GetVersionExA(&version);
#pragma GCC diagnostic pop
    // Every Windows that runs this program is of the NT family.
    return FontsRegistryKey(known ? version.dwPlatformId : VER_PLATFORM_WIN32_NT);
}

std::string FontFileFromRegistryData(const std::string& data, const std::string& fontsFolder)
{
    std::string file = ToLowerAscii(data);
    if (file.empty() || file.find_first_of("\\/:") != std::string::npos || fontsFolder.empty())
        return file;
    std::string folder = fontsFolder;
    if (folder.back() != '\\')
        folder += '\\';
    return folder + file;
}

std::optional<std::vector<FontFace>> ListFontFaces()
{
    const std::string key = FontsRegistryKey();
    std::vector<std::string> names;
    if (ListRegValueNames(RegistryRoot::LocalMachine, key, names) != 0)
        return std::nullopt;
    const std::string folder = UserFontFolder();
    std::vector<FontFace> faces;
    faces.reserve(names.size());
    for (const std::string& name : names) {
        std::string data;
        ReadRegString(RegistryRoot::LocalMachine, key, name, data); // missing: empty
        FontFace face;
        face.fullName = name;
        face.file = FontFileFromRegistryData(data, folder);
        faces.push_back(std::move(face));
    }
    return faces;
}

std::string FontFamilyOfFile(const std::string& path)
{
    const auto faces = ListFontFaces();
    if (!faces)
        return {};
    for (const FontFace& face : *faces) {
        if (EqualsIgnoreCase(face.file, path))
            return face.fullName;
    }
    return {};
}

std::string UserFontFolder()
{
    LPITEMIDLIST fonts = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_FONTS, &fonts)) || !fonts)
        return {};
    char path[MAX_PATH] = {};
    const bool found = ::SHGetPathFromIDListA(fonts, path);
    ::CoTaskMemFree(fonts);
    if (!found || path[0] == '\0')
        return {};
    std::string folder = path;
    if (folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace zuv::platform
