#include "fileassoc/own_mime_types.h"

#include "fileassoc/association_messages.h"
#include "fileassoc/desktop_defaults.h"
#include "fileassoc/mime_database.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/zuvora_error.h"
#include "util/text_utils.h"
#include "util/xml_writer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace zuv {

namespace {

constexpr std::string_view kOwnPackagePrefix = "zuvora-";
// What update-mime-database makes from the packages; nothing else is removed with them.
constexpr std::string_view kGeneratedMimeFiles[] = {
    "XMLnamespaces", "aliases",    "generic-icons", "globs",     "globs2", "icons",
    "magic",         "mime.cache", "subclasses",    "treemagic", "types",  "version"};

std::string PackageXml(const std::string& mimeType, const std::string& name)
{
    XmlWriter xml;
    xml.Open("mime-info", {{"xmlns", "http://www.freedesktop.org/standards/shared-mime-info"}})
        .Open("mime-type", {{"type", mimeType}})
        .Element("comment", {}, "Media file")
        .Element("glob", {{"pattern", "*." + name}});
    return xml.Finish();
}

} // namespace

AssociationStatus OwnMimeTypes::UpdateDatabase()
{
    const platform::FinishedRun run = platform::RunToEnd(
        "update-mime-database", {m_folders.dataHome + "mime"}, std::chrono::minutes(1));
    if (run.error)
        return DatabaseFailure("update-mime-database: " + platform::ErrorMessage(run.error));
    if (run.exitCode != 0)
        return DatabaseFailure(Trim(run.output).empty()
                                   ? "update-mime-database: " + std::to_string(run.exitCode)
                                   : Trim(run.output));
    return {};
}

AssociationStatus OwnMimeTypes::Add(const std::string& extension, std::string& mimeType)
{
    // Only names that are safe as a glob, a MIME type and a file name.
    const std::string name = extension.size() > 1 && extension.front() == '.'
                                 ? ToLowerAscii(extension.substr(1))
                                 : std::string();
    const bool plain = !name.empty() && std::ranges::all_of(name, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == '+' || c == '.';
    });
    if (!plain || m_folders.dataHome.empty())
        return NoFileTypeFailure(extension);
    mimeType = std::string(kOwnTypePrefix) + name;
    const std::string package =
        m_folders.dataHome + "mime/packages/" + std::string(kOwnPackagePrefix) + name + ".xml";
    if (const std::error_code error =
            platform::WriteFileAtomically(package, PackageXml(mimeType, name)))
        return FileFailure(error, package);
    AssociationStatus status = UpdateDatabase();
    if (status.ok() && !EqualsIgnoreCase(MimeTypeForExtension(m_folders, extension), mimeType))
        status = NoFileTypeFailure(extension); // another type of higher weight won
    if (!status.ok()) {
        Remove(mimeType);
        status.errorText = NoFileTypeFailure(extension).errorText + "\n" + status.errorText;
        status.error = ZuvoraError::NoFileType;
    }
    return status;
}

AssociationStatus OwnMimeTypes::Remove(const std::string& mimeType)
{
    const std::string lower = ToLowerAscii(mimeType);
    if (!lower.starts_with(kOwnTypePrefix) || m_folders.dataHome.empty())
        return {};
    const std::string mime = m_folders.dataHome + "mime/";
    const std::string packages = mime + "packages/";
    const std::string package =
        packages + std::string(kOwnPackagePrefix) + lower.substr(kOwnTypePrefix.size()) + ".xml";
    if (const std::error_code error = platform::RemoveFile(package); error)
        return IsMissingFileError(error) ? AssociationStatus{} : FileFailure(error, package);
    namespace fs = std::filesystem;
    std::error_code ignored;
    const bool lastPackage = fs::is_empty(packages, ignored) && !ignored;
    if (AssociationStatus status = UpdateDatabase(); !status.ok() || !lastPackage)
        return status;
    // No package is left: the database describes nothing, so what was made from ours goes.
    for (const std::string_view name : kGeneratedMimeFiles)
        platform::RemoveFile(mime + std::string(name));
    for (const fs::directory_entry& entry : fs::directory_iterator(mime, ignored)) {
        if (entry.is_directory(ignored))
            fs::remove(entry.path(), ignored); // only when empty
    }
    fs::remove(mime, ignored);
    return {};
}

} // namespace zuv
