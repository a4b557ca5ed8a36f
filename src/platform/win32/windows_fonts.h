#pragma once

#include <string>

namespace zuv::platform {

// The registry key (below HKEY_LOCAL_MACHINE) that lists the installed fonts: the one of the NT
// family (platform id 2) or the one of the older family.
std::string FontsRegistryKey(unsigned platformId);
// That key for the running Windows.
std::string FontsRegistryKey();

// The font file for a value of that key: lower-cased, and a bare file name placed in
// `fontsFolder` (a "\" added between them when missing); a full path stays where it is.
std::string FontFileFromRegistryData(const std::string& data, const std::string& fontsFolder);

} // namespace zuv::platform
