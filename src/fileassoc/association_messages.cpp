#include "fileassoc/association_messages.h"

#include "lang/language.h"
#include "platform/zuvora_error.h"
#include "util/text_utils.h"

#include <initializer_list>
#include <utility>

namespace zuv {

namespace {

constexpr char kSection[] = "FileAssoc";

std::string Message(std::string_view key, std::string_view builtIn,
                    std::initializer_list<std::pair<const char*, std::string>> parts)
{
    std::string text = Langunit().GetText(kSection, key, builtIn);
    for (const auto& [placeholder, value] : parts)
        ReplaceAll(text, placeholder, value);
    return text;
}

} // namespace

AssociationStatus FileFailure(std::error_code error, const std::string& path)
{
    return {error, platform::ErrorMessage(error) + ": " + path};
}

AssociationStatus NoFileTypeFailure(const std::string& extension)
{
    return {ZuvoraError::NoFileType,
            Message("400", "A munkakörnyezet nem ismer fájltípust a(z) \"%e\" kiterjesztéshez.",
                    {{"%e", extension}})};
}

AssociationStatus OverriddenDefaultFailure(const std::string& mimeType, const std::string& listFile,
                                           const std::string& userFile)
{
    return {ZuvoraError::OverriddenDefault,
            Message("401",
                    "%t alapértelmezett alkalmazását a(z) %f adja meg, amely elsőbbséget élvez "
                    "a(z) %u előtt.",
                    {{"%t", mimeType}, {"%f", listFile}, {"%u", userFile}})};
}

AssociationStatus StillOursFailure(const std::string& mimeType, const std::string& listFile)
{
    return {ZuvoraError::OverriddenDefault,
            Message("402", "%t alapértelmezett alkalmazása a(z) %f miatt továbbra is ez a program.",
                    {{"%t", mimeType}, {"%f", listFile}})};
}

AssociationStatus DatabaseFailure(const std::string& detail)
{
    return {ZuvoraError::ToolFailed,
            Message("403", "A fájltípusok adatbázisát nem sikerült frissíteni (%s).",
                    {{"%s", detail}})};
}

AssociationStatus DuplicateGroupFailure(const std::string& path, std::string_view group)
{
    return {ZuvoraError::DuplicateGroup,
            Message("404",
                    "A(z) %f többször tartalmazza a(z) [%g] csoportot, ezért változatlan maradt.",
                    {{"%f", path}, {"%g", std::string(group)}})};
}

AssociationStatus NotTextFailure(const std::string& path)
{
    return {ZuvoraError::NotText,
            Message("405", "A(z) %f nem szövegfájl, ezért változatlan maradt.", {{"%f", path}})};
}

AssociationStatus CannotRegisterFailure(const std::string& programPath)
{
    return {ZuvoraError::CannotRegister,
            Message("406",
                    "A program elérési útja (%p) százalékjelet és egyenlőségjelet is tartalmaz, "
                    "ezért a munkakörnyezet nem tudná elindítani; a fájltípus nem lett átvéve.",
                    {{"%p", programPath}})};
}

} // namespace zuv
