#pragma once

#include <string>
#include <string_view>

namespace zuv {

// True when the text is well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Converts Central European Windows text (cp1250) to UTF-8. The five bytes that cp1250 leaves
// unassigned become U+FFFD.
std::string Cp1250ToUtf8(std::string_view text);

// UTF-8 text as it is, anything else read as cp1250. A leading UTF-8 byte-order mark is dropped.
std::string TextToUtf8(std::string_view text);

} // namespace zuv
