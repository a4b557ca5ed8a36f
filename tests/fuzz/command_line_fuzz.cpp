// Command-line and text helpers: SplitCommandLine, SplitArguments, DropProgramAndSwitches,
// TakeOptionValue and ReplaceAll. The input holds up to four texts separated by NUL bytes: a
// command line, an option name, a pattern and its replacement.
#include "app/handover.h"
#include "fuzz_check.h"
#include "util/argv_split.h"
#include "util/text_utils.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Blanks and control characters that the splitters treat specially.
bool HoldsControl(std::string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 32; });
}

void CheckSplitCommandLine(const std::string& commandLine)
{
    const std::vector<std::string> arguments = zuv::SplitCommandLine(commandLine);
    const auto blanks =
        static_cast<std::size_t>(std::count(commandLine.begin(), commandLine.end(), ' '));
    FUZZ_CHECK(arguments.size() <= blanks + 1);
    // Trimming and unquoting only cut text off: each argument stands in the line as it is.
    for (const std::string& argument : arguments)
        FUZZ_CHECK(commandLine.find(argument) != std::string::npos);

    // The program path and the switches go; the rest stays in order.
    std::vector<std::string> kept = arguments;
    zuv::DropProgramAndSwitches(kept);
    FUZZ_CHECK(arguments.empty() ? kept.empty() : kept.size() < arguments.size());
    std::size_t from = 1;
    for (const std::string& argument : kept) {
        FUZZ_CHECK(!zuv::IsSwitch(argument));
        while (from < arguments.size() && arguments[from] != argument)
            ++from;
        FUZZ_CHECK(from < arguments.size());
        ++from;
    }
}

// Arguments as the system hands them over, joined and split again.
void CheckJoinAndSplit(const std::vector<std::string>& arguments)
{
    const std::string joined = zuv::JoinCommandLine(arguments);
    FUZZ_CHECK(zuv::SplitArguments(joined) == arguments);
}

// Arguments quoted for the player's command line and split by the C runtime rules.
void CheckQuoteAndSplitArguments(const std::vector<std::string>& arguments)
{
    std::string commandLine;
    for (const std::string& argument : arguments) {
        if (!commandLine.empty())
            commandLine += ' ';
        commandLine += zuv::QuoteIfSpaced(argument);
    }
    FUZZ_CHECK(zuv::SplitArguments(commandLine) == arguments);
}

void CheckTakeOptionValue(const std::string& parameters, std::string_view option)
{
    std::string rest = parameters;
    const std::string value = zuv::TakeOptionValue(rest, option);
    // The option counts only as a whole word: blank or edge on both sides.
    std::size_t start = parameters.find(option);
    const auto wholeWord = [&](std::size_t at) {
        const std::size_t after = at + option.size();
        return (at == 0 || parameters[at - 1] == ' ') &&
               (after == parameters.size() || parameters[after] == ' ');
    };
    while (start != std::string::npos && !wholeWord(start))
        start = parameters.find(option, start + 1);
    if (start == std::string::npos) {
        FUZZ_CHECK(value.empty() && rest == parameters);
        return;
    }
    // One piece is cut out where the option stands; it holds the option and its value.
    FUZZ_CHECK(rest.size() <= parameters.size());
    const std::size_t removed = parameters.size() - rest.size();
    FUZZ_CHECK(removed >= option.size());
    FUZZ_CHECK(rest.compare(0, start, parameters, 0, start) == 0);
    FUZZ_CHECK(rest.compare(start, std::string::npos, parameters, start + removed) == 0);
    const std::string_view piece = std::string_view(parameters).substr(start, removed);
    FUZZ_CHECK(piece.starts_with(option));
    FUZZ_CHECK(piece.ends_with(value));
    FUZZ_CHECK(value.find(' ') == std::string::npos);
}

void CheckReplaceAll(const std::string& text, std::string_view pattern,
                     std::string_view replacement)
{
    std::string result = text;
    zuv::ReplaceAll(result, pattern, replacement);
    if (pattern.empty()) {
        FUZZ_CHECK(result == text);
        return;
    }
    // Replace with a byte that occurs in none of the three texts: no pattern may be left, and
    // the marks, replaced by the replacement, give the same result.
    bool used[256] = {};
    for (const std::string_view part : {std::string_view(text), pattern, replacement}) {
        for (const char c : part)
            used[static_cast<unsigned char>(c)] = true;
    }
    const auto free = std::find(std::begin(used), std::end(used), false);
    if (free == std::end(used))
        return;
    const std::string mark(1, static_cast<char>(free - std::begin(used)));
    std::string marked = text;
    zuv::ReplaceAll(marked, pattern, mark);
    FUZZ_CHECK(marked.find(pattern) == std::string::npos);
    const auto count = static_cast<std::size_t>(std::count(marked.begin(), marked.end(), mark[0]));
    FUZZ_CHECK(marked.size() == text.size() - count * (pattern.size() - 1));
    std::string expanded;
    for (const char c : marked) {
        if (c == mark[0])
            expanded.append(replacement);
        else
            expanded += c;
    }
    FUZZ_CHECK(result == expanded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    zuv::fuzz::InputParts parts(zuv::fuzz::InputText(data, size), '\0');
    const std::string commandLine(parts.Next());
    const std::string option(parts.Next());
    const std::string pattern(parts.Next());
    const std::string replacement(parts.Rest());

    CheckSplitCommandLine(commandLine);
    (void)zuv::SplitArguments(commandLine);
    CheckTakeOptionValue(commandLine, option);
    CheckReplaceAll(commandLine, pattern, replacement);

    // The command line's lines as a list of arguments.
    std::vector<std::string> arguments;
    zuv::fuzz::InputParts lines(commandLine, '\n');
    while (!lines.Rest().empty())
        arguments.emplace_back(lines.Next());
    arguments.erase(std::remove_if(arguments.begin(), arguments.end(),
                                   [](const std::string& a) { return HoldsControl(a); }),
                    arguments.end());
    CheckJoinAndSplit(arguments);
    std::vector<std::string> plain = arguments;
    plain.erase(
        std::remove_if(plain.begin(), plain.end(),
                       [](const std::string& a) { return a.find('"') != std::string::npos; }),
        plain.end());
    plain.erase(std::remove_if(plain.begin(), plain.end(),
                               [](const std::string& a) {
                                   return a.empty() || a.find('\\') != std::string::npos;
                               }),
                plain.end());
    CheckQuoteAndSplitArguments(plain);
    return 0;
}
