#include "widgets/history_list.h"

#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "util/case_fold.h"
#include "util/number_format.h"
#include "util/text_utils.h"

#include <algorithm>

namespace zuv {

namespace {

constexpr std::size_t kCompletionMaxRest = 255;

// The length of `text` cut to at most `maxBytes` without splitting a UTF-8 character.
std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text.size();
    std::size_t length = maxBytes;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return length;
}

std::string ItemName(long long slot)
{
    return "Item" + FormatInteger(slot);
}

} // namespace

std::optional<std::size_t> FindHistoryEntry(const std::vector<std::string>& entries,
                                            std::string_view text, bool matchCase)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (matchCase ? entries[i] == text : SameTextIgnoringCase(entries[i], text))
            return i;
    }
    return std::nullopt;
}

bool IsNewHistoryEntry(const std::vector<std::string>& entries, std::string_view text,
                       bool matchCase)
{
    return !text.empty() && !FindHistoryEntry(entries, text, matchCase);
}

CompletionRule CompletionRuleFor(bool fileNamesIgnoreCase)
{
    return {!fileNamesIgnoreCase, fileNamesIgnoreCase};
}

std::optional<HistoryCompletion> CompleteFromHistory(const std::vector<std::string>& entries,
                                                     std::string_view text,
                                                     std::size_t prefixLength, CompletionRule rule)
{
    const std::string_view typed = text.substr(0, std::min(prefixLength, text.size()));
    if (typed.empty() || entries.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        // Folded letters may differ in length, so the entry's own matched length counts.
        const std::optional<std::size_t> matched =
            rule.matchCase ? (entry.starts_with(typed) ? std::optional(typed.size()) : std::nullopt)
                           : FoldedPrefixLength(entry, typed);
        if (!matched)
            continue;
        const std::string_view rest = std::string_view(entry).substr(*matched);
        HistoryCompletion completion;
        completion.entry = i;
        completion.prefixLength = typed.size();
        completion.text = std::string(typed);
        completion.text.append(rest.substr(0, Utf8CutLength(rest, kCompletionMaxRest)));
        completion.releasedText =
            rule.entryCaseWins ? entry : std::string(typed) + std::string(rest);
        return completion;
    }
    return std::nullopt;
}

std::string ProfileStringValue(std::string_view raw)
{
    std::string value = Trim(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    value.resize(Utf8CutLength(value, kHistoryValueMaxLength));
    return value;
}

std::vector<std::string> ReadHistory(const IniDocument& document, std::string_view section)
{
    std::vector<std::string> entries;
    for (long long slot = 1;; ++slot) {
        const auto raw = document.Value(section, ItemName(slot));
        if (!raw)
            break;
        std::string value = ProfileStringValue(*raw);
        if (value.empty())
            break;
        entries.push_back(std::move(value));
    }
    return entries;
}

void WriteHistory(IniDocument& document, const HistoryPersist& persist,
                  const std::vector<std::string>& entries)
{
    const std::size_t count = entries.size();
    std::size_t slots = count;
    std::size_t skip = 0;
    if (persist.maxCount) {
        slots = persist.count > 0 ? static_cast<std::size_t>(persist.count) : 0;
        skip = count > slots ? count - slots : 0;
    }
    for (std::size_t slot = 1; slot <= slots; ++slot) {
        std::string_view value;
        if (slot + skip <= count)
            value = entries[slot + skip - 1];
        value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
        document.SetValue(persist.section, ItemName(static_cast<long long>(slot)), value);
    }
}

std::vector<std::string> LoadHistory(const HistoryPersist& persist)
{
    if (!persist.enable || persist.key.empty())
        return {};
    const platform::FileContent file = platform::ReadWholeFile(persist.key, kHistoryFileMaxBytes);
    if (!file.ok())
        return {};
    return ReadHistory(IniDocument::Parse(file.data), persist.section);
}

std::error_code SaveHistory(const HistoryPersist& persist, const std::vector<std::string>& entries)
{
    if (!persist.enable)
        return {};
    if (persist.key.empty())
        return platform::SystemError(platform::kErrorInvalidArgument);
    const platform::FileContent file = platform::ReadWholeFile(persist.key, kHistoryFileMaxBytes);
    if (!file.ok() && file.error != std::errc::no_such_file_or_directory)
        return file.error; // rewriting it would lose what we could not read
    IniDocument document = IniDocument::Parse(file.data);
    WriteHistory(document, persist, entries);
    // Never a file that would be refused when read back.
    const std::string text = document.Serialize();
    if (text.size() > kHistoryFileMaxBytes)
        return ZuvoraError::TooLarge;
    return platform::WriteFileAtomically(persist.key, text);
}

} // namespace zuv
