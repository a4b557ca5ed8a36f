#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zuv {

// "Zuvora <version>" of this build, with a line end.
std::string VersionText();
// The command line, the hand-over to a running copy and the environment, for a terminal.
std::string HelpText();

// What the program prints instead of starting when its first argument is "--help" or
// "--version"; none otherwise, and the first argument is then the media file, whatever it is.
// `commandLine` holds the program's path first.
std::optional<std::string> CommandLineInformation(const std::vector<std::string>& commandLine);

// The arguments with every relative file path made absolute against `currentFolder`: the player
// runs in the program folder, and a running copy that takes the files over has a folder of its
// own. Switches, absolute paths and addresses ("://") stay as they are; the first entry is the
// program's path.
std::vector<std::string> AbsoluteFileArguments(std::vector<std::string> commandLine,
                                               const std::string& currentFolder);

// Writes `text` to standard output; the exit code: 0, or 1 when it could not be written.
int PrintInformation(const std::string& text);

} // namespace zuv
