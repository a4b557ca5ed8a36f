#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Removes the first `[group]` when it holds nothing but blank lines, as RemoveKeyFileValue does
// with `dropEmptyGroup`; true when it did.
bool DropEmptyKeyFileGroup(std::string& text, std::string_view group);

// The keys of the first `[group]`, in file order.
std::vector<std::string> KeyFileKeys(std::string_view text, std::string_view group);

// How many times `[group]` stands in the text; the edits above only see the first.
int KeyFileGroupCount(std::string_view text, std::string_view group);

// Key-file string escapes: "\s" (only needed for a leading blank), "\n", "\t", "\r", "\\".
std::string EscapeKeyFileString(std::string_view text);
std::string UnescapeKeyFileString(std::string_view text);

} // namespace zuv
