#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The hand-over messages of a second copy to the running copy.
inline constexpr std::uint32_t kHandoverQuery = 0x80C8; // WM_APP + 200
inline constexpr std::uint32_t kHandoverFiles = 0x80C9; // WM_APP + 201

// The command line as the system would report it: the arguments joined by one blank, each
// argument that is empty or holds a blank enclosed in double quotes. Quotes inside and the
// backslashes before them are escaped by the C runtime rules, so that every file name, one with
// a quote before a blank too, arrives as it was given.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// What the running copy takes from a hand-over block: the text up to the first NUL split into
// arguments by the C runtime rules, without the program path and the switches.
std::vector<std::string> HandedOverFiles(std::string_view blockText);

} // namespace zuv
