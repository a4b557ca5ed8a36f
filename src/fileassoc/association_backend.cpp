#include "fileassoc/association_backend.h"

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
    AssociationApplyResult result;
    for (const AssociationChoice& row : rows) {
        // Read afresh: another program, or an earlier row sharing the file type, may have
        // changed it since the window was filled.
        const AssociationRowState current = backend.ReadRow(row.extension);
        if (!current.status.ok()) {
            result.status = current.status;
            return result;
        }
        AssociationStatus change;
        if (current.owned && !row.checked)
            change = backend.GiveBack(row.extension);
        else if (!current.owned && row.checked)
            change = backend.TakeOver(row.extension);
        if (!change.ok()) {
            result.status = change;
            return result;
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            result.fileTypes += ';';
        result.fileTypes += rows[i].extension;
    }
    return result;
}

} // namespace zuv
