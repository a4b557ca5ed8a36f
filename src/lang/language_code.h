#pragma once

#include <string>
#include <string_view>

namespace zuv {

// The ISO 639 code (with a region where it matters, as "pt_BR") of a language file's base name,
// which is the system's three-letter language abbreviation ("enu", "deu"); the empty base name is
// the built-in Hungarian. Empty for a name that is not a known abbreviation. Letter case does not
// count.
std::string IsoLanguageCode(std::string_view baseName);

} // namespace zuv
