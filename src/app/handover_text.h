#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The command line as the system would report it: the arguments joined by one blank, each
// argument that is empty or holds a blank enclosed in double quotes. Quotes inside and the
// backslashes before them are escaped by the C runtime rules, so that every file name, one with
// a quote before a blank too, arrives as it was given.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// What the running copy takes from a hand-over block: the text up to the first NUL split into
// arguments by the C runtime rules, without the program path and the switches.
std::vector<std::string> HandedOverFiles(std::string_view blockText);

} // namespace zuv
