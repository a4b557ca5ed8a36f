#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/fonts.h"

#include <algorithm>
#include <fontconfig/fontconfig.h>

namespace zuv::platform {

namespace {

std::string StringProperty(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value)
        return {};
    return reinterpret_cast<const char*>(value);
}

std::string WithTrailingSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// A configuration of our own for each call: the process-wide one would not see a changed
// FONTCONFIG_FILE, and destroying ours never disturbs other users of fontconfig (Qt).
class OwnConfig
{
public:
    OwnConfig() : m_config(FcInitLoadConfigAndFonts()) {}
    ~OwnConfig()
    {
        if (m_config)
            FcConfigDestroy(m_config);
    }
    OwnConfig(const OwnConfig&) = delete;
    OwnConfig& operator=(const OwnConfig&) = delete;
    FcConfig* get() const { return m_config; }

private:
    FcConfig* m_config;
};

} // namespace

std::optional<std::vector<FontFace>> ListFontFaces()
{
    OwnConfig config;
    if (!config.get())
        return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FULLNAME, FC_FILE, nullptr);
    FcFontSet* fonts = (pattern && objects) ? FcFontList(config.get(), pattern, objects) : nullptr;
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    if (!fonts)
        return std::nullopt;

    std::vector<FontFace> faces;
    for (int i = 0; i < fonts->nfont; ++i) {
        FontFace face;
        face.file = StringProperty(fonts->fonts[i], FC_FILE);
        if (face.file.empty())
            continue;
        face.family = StringProperty(fonts->fonts[i], FC_FAMILY);
        face.style = StringProperty(fonts->fonts[i], FC_STYLE);
        face.fullName = StringProperty(fonts->fonts[i], FC_FULLNAME);
        faces.push_back(std::move(face));
    }
    FcFontSetDestroy(fonts);
    return faces;
}

std::string FontFamilyOfFile(const std::string& path)
{
    int faces = 0;
    FcPattern* pattern =
        FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr, &faces);
    if (!pattern)
        return {};
    std::string family = StringProperty(pattern, FC_FAMILY);
    FcPatternDestroy(pattern);
    return family;
}

std::string UserFontFolder()
{
    const std::string home = WithTrailingSlash(EnvironmentValue("HOME"));
    std::string dataHome = EnvironmentValue("XDG_DATA_HOME");
    if (dataHome.empty() || dataHome.front() != '/')
        dataHome = home.empty() ? std::string() : home + ".local/share";
    std::vector<std::string> candidates;
    if (!dataHome.empty())
        candidates.push_back(WithTrailingSlash(dataHome) + "fonts/");
    if (!home.empty())
        candidates.push_back(home + ".fonts/");
    OwnConfig config;
    if (config.get()) {
        if (FcStrList* folders = FcConfigGetFontDirs(config.get())) {
            while (FcChar8* folder = FcStrListNext(folders))
                candidates.push_back(WithTrailingSlash(reinterpret_cast<const char*>(folder)));
            FcStrListDone(folders);
        }
    }
    std::erase_if(candidates, [](const std::string& folder) { return !FolderExists(folder); });

    // An existing but empty folder (often /usr/local/share/fonts) is no place to browse from.
    const auto faces = ListFontFaces();
    for (const std::string& folder : candidates) {
        if (faces && std::any_of(faces->begin(), faces->end(), [&folder](const FontFace& face) {
                return face.file.starts_with(folder);
            }))
            return folder;
    }
    return candidates.empty() ? std::string() : candidates.front();
}

} // namespace zuv::platform
