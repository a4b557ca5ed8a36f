#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zuv::platform {

// One face of an installed font as the system's font configuration describes it.
struct FontFace
{
    std::string family;
    std::string style;
    std::string fullName; // may be empty
    std::string file;     // full path of the font file
};

// Every installed font face, read afresh from the font configuration (so a changed
// FONTCONFIG_FILE or newly installed fonts count); none when the configuration cannot be loaded.
// On Windows: the fonts of the registry's font key, each by its display name (`fullName`), the
// file lower-cased and a bare file name placed in the Fonts folder; none without the key.
std::optional<std::vector<FontFace>> ListFontFaces();

// The family name of the font in a file, whether installed or not (players that choose fonts by
// family need it); empty when the file holds no font. On Windows: the display name the font key
// gives that file, empty for a file it does not list.
std::string FontFamilyOfFile(const std::string& path);

// The first font folder (with a trailing "/") that holds installed fonts: the user's own,
// $XDG_DATA_HOME/fonts (~/.local/share/fonts) or ~/.fonts, else the folders of the configuration
// in their order; when none holds any, the first of them that exists; empty when none does. On
// Windows: the Fonts folder (with a trailing "\").
std::string UserFontFolder();

} // namespace zuv::platform
