#pragma once

#include "util/ini_document.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zuv {

// Where a history combo box keeps its entries: "Item1" .. "Item<count>" in a section of an ini
// file. `key` is the file's path; it stays empty until the configuration hands it over.
struct HistoryPersist
{
    bool enable = true;
    std::string key;
    std::string section;
    int count = 10;
    bool maxCount = true; // store exactly `count` slots, the newest entries
};

// A stored value longer than this is read back cut (the profile functions' 2048-byte buffer).
inline constexpr std::size_t kHistoryValueMaxLength = 2047;
// The ini file is read whole; a larger file is not a configuration of ours.
inline constexpr std::size_t kHistoryFileMaxBytes = 16 * 1024 * 1024;

// The position of the entry equal to the text, in the same letter case with `matchCase`, else
// without regard to it.
std::optional<std::size_t> FindHistoryEntry(const std::vector<std::string>& entries,
                                            std::string_view text, bool matchCase = false);

// Whether leaving the box with this text adds it: not empty and no entry equal to it.
bool IsNewHistoryEntry(const std::vector<std::string>& entries, std::string_view text,
                       bool matchCase = false);

// How typing completes from the list.
struct CompletionRule
{
    bool matchCase = false;    // only entries that begin with the typed letters in the same case
    bool entryCaseWins = true; // once the key is released the text becomes the entry as stored
};

// Where file names ignore letter case (Windows), any case matches and the entry's own case wins.
// Where they tell case apart, changing a typed letter would name another file: only entries in
// the same case complete, and the typed letters stay as typed.
CompletionRule CompletionRuleFor(bool fileNamesIgnoreCase);

// A completion of the box's text from the first entry that begins with the typed prefix.
struct HistoryCompletion
{
    std::size_t entry = 0;        // position of the entry in the list
    std::size_t prefixLength = 0; // bytes; the part after it is selected
    std::string text;             // the prefix as typed followed by the rest of the entry
    std::string releasedText;     // the box's text once the key is released
};

// `prefixLength` is where the typed part ends (the start of the selection). The rest taken from
// the entry is at most 255 bytes, never cut inside a UTF-8 character.
std::optional<HistoryCompletion> CompleteFromHistory(const std::vector<std::string>& entries,
                                                     std::string_view text,
                                                     std::size_t prefixLength, CompletionRule rule);
inline std::optional<HistoryCompletion> CompleteFromHistory(const std::vector<std::string>& entries,
                                                            std::string_view text,
                                                            std::size_t prefixLength,
                                                            bool matchCase)
{
    return CompleteFromHistory(entries, text, prefixLength, CompletionRule{matchCase, true});
}

// A raw ini value as the Windows profile functions return it: blanks around it trimmed, one pair
// of matching enclosing quotes (' or ") removed, cut to kHistoryValueMaxLength bytes.
std::string ProfileStringValue(std::string_view raw);

// The entries Item1, Item2, ... of the section, up to the first missing or empty one.
std::vector<std::string> ReadHistory(const IniDocument& document, std::string_view section);

// Sets the Item slots: the newest `count` entries with `maxCount` (empty values after the last),
// else every entry. A value ends at its first line break, which the file could not hold.
void WriteHistory(IniDocument& document, const HistoryPersist& persist,
                  const std::vector<std::string>& entries);

// The stored entries; empty when storage is off, the file or section is missing or unreadable.
std::vector<std::string> LoadHistory(const HistoryPersist& persist);

// Stores the entries into the file at `persist.key`, leaving the rest of the file as it reads.
// A file that exists but cannot be read is not overwritten. An empty key is EINVAL.
std::error_code SaveHistory(const HistoryPersist& persist, const std::vector<std::string>& entries);

} // namespace zuv
