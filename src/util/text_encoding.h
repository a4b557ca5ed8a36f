#pragma once

#include <string>
#include <string_view>

namespace zuv {

// True when the text is well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// A file name's bytes as UTF-16 text and back, byte for byte: well-formed UTF-8 as its
// characters, every other byte as U+DC80..U+DCFF (shown as a replacement character). Names from
// the system are bytes; only this pair crosses them into text and back.
std::u16string NameToUtf16(std::string_view name);
std::string NameFromUtf16(std::u16string_view name);

// Converts Central European Windows text (cp1250) to UTF-8. The five bytes that cp1250 leaves
// unassigned become U+FFFD.
std::string Cp1250ToUtf8(std::string_view text);

// UTF-8 text as it is, anything else read as cp1250. A leading UTF-8 byte-order mark is dropped.
std::string TextToUtf8(std::string_view text);

} // namespace zuv
