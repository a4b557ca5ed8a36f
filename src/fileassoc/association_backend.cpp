#include "fileassoc/association_backend.h"

#include <algorithm>

namespace zuv {

std::string UnassociatedDescription(std::string_view extension)
{
    if (extension == ".qt" || extension == ".mov")
        return "QuickTime";
    if (extension == ".rm" || extension == ".rmvb")
        return "RealMedia";
    return "-";
}

std::vector<std::string> SplitFileTypes(std::string_view fileTypes)
{
    std::vector<std::string> extensions;
    while (!fileTypes.empty()) {
        const std::size_t separator = fileTypes.find(';');
        extensions.emplace_back(fileTypes.substr(0, separator));
        if (separator == std::string_view::npos)
            break;
        fileTypes.remove_prefix(separator + 1);
    }
    return extensions;
}

std::string ExtensionFromInput(std::string_view text)
{
    if (!text.empty() && text.front() == '.')
        return std::string(text);
    return "." + std::string(text);
}

AssociationApplyResult ApplyAssociationChoices(AssociationBackend& backend,
                                               const std::vector<AssociationChoice>& rows)
{
    struct TypeChoice
    {
        std::string key;
        std::string extension; // its first row
        bool owned = false;
        bool wanted = false;
    };
    AssociationApplyResult result;
    std::vector<TypeChoice> types;
    for (const AssociationChoice& row : rows) {
        // Read afresh: another program may have changed it since the window was filled.
        const AssociationRowState current = backend.ReadRow(row.extension);
        if (!current.status.ok()) {
            result.status = current.status;
            return result;
        }
        // An extension without a file type is a type of its own.
        const std::string key = current.fileType.empty() ? "\n" + row.extension : current.fileType;
        auto type = std::ranges::find(types, key, &TypeChoice::key);
        if (type == types.end())
            type = types.insert(types.end(), {key, row.extension, current.owned, false});
        type->wanted = type->wanted || row.checked;
    }

    std::string failures;
    for (const TypeChoice& type : types) {
        AssociationStatus change;
        if (type.owned && !type.wanted)
            change = backend.GiveBack(type.extension);
        else if (!type.owned && type.wanted)
            change = backend.TakeOver(type.extension);
        if (change.ok())
            continue;
        if (change.error != ZuvoraError::NoFileType && change.error != ZuvoraError::ToolFailed) {
            result.status = change;
            return result;
        }
        if (result.status.ok())
            result.status.error = change.error;
        failures += (failures.empty() ? "" : "\n") + change.errorText;
    }
    result.status.errorText = failures;
    result.listKept = true;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            result.fileTypes += ';';
        result.fileTypes += rows[i].extension;
    }
    return result;
}

} // namespace zuv
