#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zuv {

// Letter case the way the user reads it, not only A-Z: Unicode's simple case folding of UTF-8
// text, covering Latin-1, Latin Extended-A (every Central European letter), Greek and Cyrillic.
// A byte that is not part of valid UTF-8 stays itself and matches only the same byte.

// The folded form of one code point (itself when it has none).
char32_t FoldCodePoint(char32_t c);

// The text with every letter folded; invalid bytes are kept as they are.
std::string FoldCase(std::string_view utf8);

// Whether two texts are equal without regard to letter case.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// The number of bytes of `text` that match `prefix` without regard to letter case, or none when
// `text` does not begin with it. The length may differ from the prefix's (ſ matches s).
std::optional<std::size_t> FoldedPrefixLength(std::string_view text, std::string_view prefix);

// A hash that is equal for texts that are equal without regard to letter case.
std::size_t FoldedHash(std::string_view text) noexcept;

} // namespace zuv
