#include "app/handover_text.h"

#include "util/argv_split.h"
#include "util/text_utils.h"

namespace zuv {

std::string JoinCommandLine(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) {
        if (&argument != &arguments.front())
            text += ' ';
        text += QuoteArgument(argument);
    }
    return text;
}

std::vector<std::string> HandedOverFiles(std::string_view blockText)
{
    if (const std::size_t nul = blockText.find('\0'); nul != std::string_view::npos)
        blockText = blockText.substr(0, nul);
    // Not split at every blank: that cuts a name whose quote is followed by a blank.
    std::vector<std::string> arguments = SplitArguments(blockText);
    DropProgramAndSwitches(arguments);
    return arguments;
}

} // namespace zuv
