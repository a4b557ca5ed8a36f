#include "app/command_line_help.h"

#include "platform/version.h"
#include "platform/version_info.h"
#include "util/path_syntax.h"
#include "util/text_utils.h"

#include <cstdio>

namespace zuv {

std::string VersionText()
{
    return "Zuvora " + FormatFileVersionNumber(platform::BuildVersion(), true) + "\n";
}

std::string HelpText()
{
    return R"(Usage: zuvora [MEDIA-FILE] [-start]
       zuvora --help | --version

Zuvora is a front-end for the MPlayer media player.

Arguments:
  MEDIA-FILE      The first argument goes into the media field, whatever it is;
                  further arguments are not taken as files.
  -start, /start  Play the media file at once (any letter case, in any place).
                  "Autoplay from command line" (settings, Other page) does
                  the same without the switch.
  --help          Show this help and end.
  --version       Show the version and end.
  --help and --version count only as the first argument; give a media file of
  that name as ./--help.

One instance:
  When a copy of Zuvora runs with "Only one copy may run" on (settings, Other
  page), a new copy hands its files over to it and ends at once. The running
  copy takes the new file into its media field (two or more files become its
  playlist); if it was playing, it stops and plays what it was given.

Environment:
  ZUVORA_POWEROFF_COMMAND  Run instead of powering the computer off after
                           playback, e.g. "systemctl suspend".
  XDG_CONFIG_HOME          Settings, playlist and equalizer presets are kept
                           in $XDG_CONFIG_HOME/zuvora/ (~/.config/zuvora/)
                           when they are there or the program folder is
                           read-only.
  XDG_DATA_HOME            Taking over file types writes zuvora.desktop into
                           $XDG_DATA_HOME/applications/ (~/.local/share/).
  TMPDIR                   Subtitles unpacked from ZIP archives go here (/tmp).
  PATH                     mplayer is looked for in the program folder, then
                           on the PATH.
)";
}

std::optional<std::string> CommandLineInformation(const std::vector<std::string>& commandLine)
{
    if (commandLine.size() < 2)
        return std::nullopt;
    if (commandLine[1] == "--help")
        return HelpText();
    if (commandLine[1] == "--version")
        return VersionText();
    return std::nullopt;
}

int PrintInformation(const std::string& text)
{
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

std::vector<std::string> AbsoluteFileArguments(std::vector<std::string> commandLine,
                                               const std::string& currentFolder)
{
    if (currentFolder.empty())
        return commandLine;
    const bool endsInSeparator =
        kPathSeparators.find(currentFolder.back()) != std::string_view::npos;
    const std::string folder =
        endsInSeparator ? currentFolder : currentFolder + kPreferredSeparator;
    for (std::size_t i = 1; i < commandLine.size(); ++i) {
        std::string& argument = commandLine[i];
        if (argument.empty() || IsSwitch(argument) || IsAbsolutePath(argument) ||
            argument.find("://") != std::string::npos)
            continue;
        argument = folder + argument;
    }
    return commandLine;
}

} // namespace zuv
