#include "app/handover_text.h"

#include "util/text_utils.h"

namespace zuv {

std::string JoinCommandLine(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty())
            text += ' ';
        if (argument.empty() || argument.find(' ') != std::string::npos)
            text += '"' + argument + '"';
        else
            text += argument;
    }
    return text;
}

std::vector<std::string> HandedOverFiles(std::string_view blockText)
{
    if (const std::size_t nul = blockText.find('\0'); nul != std::string_view::npos)
        blockText = blockText.substr(0, nul);
    std::vector<std::string> arguments = SplitCommandLine(std::string(blockText));
    DropProgramAndSwitches(arguments);
    return arguments;
}

} // namespace zuv
