#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// Text helpers shared by every subsystem. Text is 8-bit (UTF-8 here); one char is one byte.
// A "space" is the character 32 only; trimming removes every character with a code of 32 or less.

// The text in double quotes when it holds a space; otherwise unchanged.
std::string QuoteIfSpaced(const std::string& text);

// Removes the first occurrence of `option` as a whole word (so "-af" is not found in "-afm") and
// its value from `parameters`, and returns the value.
// The character right after the option is its separator; blanks after it are skipped; the value
// runs to the next space. The blanks around the removed option stay in place.
std::string TakeOptionValue(std::string& parameters, std::string_view option);

// The text before the first `separator`; `list` loses everything up to the separator's first
// character. Without a separator the whole list is returned and emptied.
std::string SplitFirst(std::string& list, std::string_view separator);

// Splits a second copy's command line at every space. A token in double quotes keeps its blanks
// and loses the quotes; two adjacent spaces give an empty entry.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// True when the text begins with "-" or "/" (here: "/" and a bare word, since every absolute
// path begins with "/").
bool IsSwitch(std::string_view argument);

// Removes the first entry (the program path) and every switch, keeping the order of the rest.
void DropProgramAndSwitches(std::vector<std::string>& arguments);

// Replaces every occurrence of `pattern`, left to right. Text that a replacement inserted is not
// searched again, so a replacement holding the pattern still comes to an end.
void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement);

// Removes every character with a code of 32 or less from both ends.
std::string Trim(std::string_view text);

// Upper/lower case of ASCII letters; other bytes stay (UTF-8 sequences are left alone).
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// The path of the program a shell open command starts: a quoted first token without its quotes
// (empty when the quote is never closed), else the text before the first space.
std::string CommandProgramPath(const std::string& command);

// Everything up to and including the last path separator; empty when there is none.
std::string FolderPart(std::string_view path);
// Everything after the last path separator.
std::string FileNamePart(std::string_view path);
// The extension from the last dot of the file name, dot included; empty when there is none.
std::string ExtensionPart(std::string_view path);

} // namespace zuv
