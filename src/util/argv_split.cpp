#include "util/argv_split.h"

namespace zuv {

std::vector<std::string> SplitArguments(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    const std::size_t size = commandLine.size();
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    for (;;) {
        while (pos < size && isBlank(commandLine[pos]))
            ++pos;
        if (pos >= size)
            break;
        std::string argument;
        bool quoted = false;
        while (pos < size && (quoted || !isBlank(commandLine[pos]))) {
            const char c = commandLine[pos];
            if (c == '\\') {
                std::size_t backslashes = 0;
                while (pos < size && commandLine[pos] == '\\')
                    ++backslashes, ++pos;
                if (pos < size && commandLine[pos] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++pos;
                    }
                    // An even count leaves the quote to be handled as a grouping quote.
                } else {
                    argument.append(backslashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && pos + 1 < size && commandLine[pos + 1] == '"') {
                    argument += '"';
                    pos += 2;
                    continue;
                }
                quoted = !quoted;
                ++pos;
                continue;
            }
            argument += c;
            ++pos;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string QuoteArgument(std::string_view argument, bool alwaysQuote)
{
    const bool quoted =
        alwaysQuote || argument.empty() || argument.find_first_of(" \t") != std::string_view::npos;
    std::string text;
    text.reserve(argument.size() + 2);
    if (quoted)
        text += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes stay literal unless a quote follows: then each is doubled.
        text.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        text += c;
    }
    // Before the closing quote the trailing backslashes are doubled too.
    text.append(quoted ? backslashes * 2 : backslashes, '\\');
    if (quoted)
        text += '"';
    return text;
}

} // namespace zuv
