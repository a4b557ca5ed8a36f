#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zuv {

// Edits of freedesktop key files (mimeapps.list, .desktop files) that touch only the line they
// change: comments, blank lines, other groups, the order of lines and their line ends stay byte
// for byte, so that the user's and other programs' settings survive our edits. Group names and
// keys are case-sensitive, as the format has them; blanks around "=" are allowed when reading.

// The raw text after "=" of the first `key` in the first `[group]`, or none.
std::optional<std::string> KeyFileValue(std::string_view text, std::string_view group,
                                        std::string_view key);

// Rewrites the value of that line in place (keeping what stands before "=") or, when the key is
// missing, adds "key=value" after the group's last non-blank line; a missing group is appended at
// the end after one blank line.
void SetKeyFileValue(std::string& text, std::string_view group, std::string_view key,
                     std::string_view value);

// Removes the key's line; true when there was one. With `dropEmptyGroup`, a group left with no
// line but blanks goes too, with the blank line that SetKeyFileValue put before it at the end.
bool RemoveKeyFileValue(std::string& text, std::string_view group, std::string_view key,
                        bool dropEmptyGroup);

// Key-file string escapes: "\s" (only needed for a leading blank), "\n", "\t", "\r", "\\".
std::string EscapeKeyFileString(std::string_view text);
std::string UnescapeKeyFileString(std::string_view text);

} // namespace zuv
