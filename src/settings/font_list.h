#pragma once

#include "platform/fonts.h"

#include <string>
#include <vector>

namespace zuv {

// The installed fonts the settings dialog offers for subtitles, by display name.
struct InstalledFont
{
    std::string displayName;
    std::string file;
};

// Display names for font faces: the face's full name (else family and style). Names that would
// clash get the file name in brackets, and the whole path where even that clashes, so every name
// is unique and the same on every call. With `trueTypeOnly` only files ending in ".ttf" (any
// letter case) count. Sorted by name without regard to letter case.
std::vector<InstalledFont> NameFontFaces(const std::vector<platform::FontFace>& faces,
                                         bool trueTypeOnly);

// Fills `list` with the display names of the installed fonts; false (the list untouched) when the
// font configuration cannot be read.
bool ReadInstalledFonts(std::vector<std::string>& list, bool trueTypeOnly);

// The font file of a display name given by ReadInstalledFonts (either list); empty for the empty
// name and for a name no installed font has.
std::string FontFileFromName(const std::string& name);

// Where the font browser opens: the folder of the chosen font file when it exists, else the
// first font folder that holds fonts (see UserFontFolder), or empty.
std::string FontBrowseFolder(const std::string& chosenFont = {});

} // namespace zuv
