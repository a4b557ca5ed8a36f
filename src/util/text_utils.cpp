#include "util/text_utils.h"

#include "util/path_syntax.h"

#include <algorithm>

namespace zuv {

namespace {

bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Removes one pair of enclosing double quotes; a lone quote becomes empty.
std::string Unquote(std::string token)
{
    if (!token.empty() && token.front() == '"' && token.back() == '"') {
        if (token.size() == 1)
            return {};
        return token.substr(1, token.size() - 2);
    }
    return token;
}

} // namespace

std::string QuoteIfSpaced(const std::string& text)
{
    if (text.find(' ') == std::string::npos)
        return text;
    return '"' + text + '"';
}

std::string TakeOptionValue(std::string& parameters, std::string_view option)
{
    // The option as a whole word: "-af" must not be found inside "-afm".
    std::size_t start = parameters.find(option);
    const auto wholeWord = [&](std::size_t at) {
        const std::size_t after = at + option.size();
        return (at == 0 || parameters[at - 1] == ' ') &&
               (after == parameters.size() || parameters[after] == ' ');
    };
    while (start != std::string::npos && !wholeWord(start))
        start = parameters.find(option, start + 1);
    if (start == std::string::npos || option.empty())
        return {};
    // The one character after the option is its separator and is skipped unexamined.
    std::size_t pos = std::min(parameters.size(), start + option.size() + 1);
    while (pos < parameters.size() && parameters[pos] == ' ')
        ++pos;
    std::size_t end = parameters.find(' ', pos);
    if (end == std::string::npos)
        end = parameters.size();
    std::string value = parameters.substr(pos, end - pos);
    parameters.erase(start, end - start);
    return value;
}

std::string SplitFirst(std::string& list, std::string_view separator)
{
    const std::size_t pos = separator.empty() ? std::string::npos : list.find(separator);
    if (pos == std::string::npos) {
        std::string all = std::move(list);
        list.clear();
        return all;
    }
    std::string first = list.substr(0, pos);
    list.erase(0, pos + 1);
    return first;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    const std::size_t size = commandLine.size();
    while (pos < size) {
        std::size_t end = commandLine.find(' ', pos);
        // A quoted argument holding blanks stays together up to the quote that closes it.
        std::size_t first = pos;
        while (first < size && first != end && IsTrimmed(commandLine[first]))
            ++first;
        if (first < size && commandLine[first] == '"' && end != std::string::npos) {
            for (std::size_t quote = commandLine.find('"', first + 1); quote != std::string::npos;
                 quote = commandLine.find('"', quote + 1)) {
                if (quote + 1 == size || commandLine[quote + 1] == ' ') {
                    end = quote + 1 == size ? std::string::npos : quote + 1;
                    break;
                }
            }
        }
        if (end == std::string::npos) {
            arguments.push_back(Unquote(Trim(std::string_view(commandLine).substr(pos))));
            break;
        }
        arguments.push_back(Unquote(Trim(std::string_view(commandLine).substr(pos, end - pos))));
        pos = end + 1;
    }
    return arguments;
}

bool IsSwitch(std::string_view argument)
{
    if (argument.empty())
        return false;
    return argument.front() == '-' || (argument.front() == '/' && IsSlashSwitch(argument));
}

void DropProgramAndSwitches(std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return;
    arguments.erase(arguments.begin());
    std::erase_if(arguments, [](const std::string& argument) { return IsSwitch(argument); });
}

void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement)
{
    if (pattern.empty())
        return;
    std::string result;
    std::size_t from = 0;
    for (std::size_t pos = text.find(pattern); pos != std::string::npos;
         pos = text.find(pattern, from)) {
        result.append(text, from, pos - from);
        result.append(replacement);
        from = pos + pattern.size();
    }
    if (from == 0)
        return;
    result.append(text, from, std::string::npos);
    text = std::move(result);
}

std::string Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    while (end > begin && IsTrimmed(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string ToUpperAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), UpperAscii);
    return result;
}

std::string ToLowerAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), LowerAscii);
    return result;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string CommandProgramPath(const std::string& command)
{
    const std::string trimmed = Trim(command);
    if (trimmed.find(' ') == std::string::npos)
        return trimmed;
    if (trimmed.front() == '"') {
        const std::size_t close = trimmed.find('"', 1);
        if (close == std::string::npos)
            return {};
        return trimmed.substr(1, close - 1);
    }
    return trimmed.substr(0, trimmed.find(' '));
}

std::string FolderPart(std::string_view path)
{
    const std::size_t pos = path.find_last_of(kPathSeparators);
    if (pos == std::string_view::npos)
        return {};
    return std::string(path.substr(0, pos + 1));
}

std::string FileNamePart(std::string_view path)
{
    const std::size_t pos = path.find_last_of(kPathSeparators);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string ExtensionPart(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    if (path.find_first_of(kPathSeparators, dot) != std::string_view::npos)
        return {};
    return std::string(path.substr(dot));
}

} // namespace zuv
