#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "support/test_support.h"
#include "widgets/history_list.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace zuv;

namespace {

#ifdef _WIN32
constexpr int kFolderError = 267; // ERROR_DIRECTORY: a folder read as a file
#else
constexpr int kFolderError = EISDIR;
#endif

const std::vector<std::string> kEntries = {"/films/b.avi", "/HOME/ANNA/Filmek/a.avi",
                                           "/home/anna/fx.avi"};

} // namespace

TEST(HistoryList, DuplicatesIgnoreLetterCase)
{
    EXPECT_EQ(FindHistoryEntry(kEntries, "/home/anna/filmek/A.AVI"), 1u);
    EXPECT_FALSE(IsNewHistoryEntry(kEntries, "/FILMS/B.AVI"));
    EXPECT_TRUE(IsNewHistoryEntry(kEntries, "/films/b.avi "));
    EXPECT_FALSE(IsNewHistoryEntry(kEntries, ""));
    EXPECT_FALSE(IsNewHistoryEntry({"/Filmek/Élő.avi"}, "/FILMEK/ÉLŐ.AVI"));
}

TEST(HistoryCompletion, CompletesFromTheFirstMatchKeepingTheTypedLetters)
{
    const auto completion = CompleteFromHistory(kEntries, "/home/anna/fi", 13, false);
    ASSERT_TRUE(completion);
    EXPECT_EQ(completion->entry, 1u);
    EXPECT_EQ(completion->prefixLength, 13u);
    EXPECT_EQ(completion->text, "/home/anna/filmek/a.avi");

    // "/home/anna/f" matches both; the first in list order wins.
    EXPECT_EQ(CompleteFromHistory(kEntries, "/home/anna/f", 12, false)->entry, 1u);
    // Only the part before the selection counts as typed.
    EXPECT_EQ(CompleteFromHistory(kEntries, "/home/anna/fxyz", 12, false)->text,
              "/home/anna/filmek/a.avi");
    // Accented capitals match too; a folded letter of another length keeps the rest whole.
    EXPECT_EQ(CompleteFromHistory({"/Filmek/Ősz.avi"}, "/filmek/ős", 11, false)->text,
              "/filmek/ősz.avi");
    EXPECT_EQ(CompleteFromHistory({"/ſok.avi"}, "/SO", 3, false)->text, "/SOk.avi");
}

TEST(HistoryCompletion, NothingToComplete)
{
    EXPECT_FALSE(CompleteFromHistory(kEntries, "/home/anna/fi", 0, false));
    EXPECT_FALSE(CompleteFromHistory({}, "/home", 5, false));
    EXPECT_FALSE(CompleteFromHistory(kEntries, "/tmp", 4, false));
    // With letter case compared, "/home/anna/fi" does not begin "/HOME/ANNA/Filmek".
    EXPECT_EQ(CompleteFromHistory(kEntries, "/home/anna/f", 12, true)->entry, 2u);
    EXPECT_FALSE(CompleteFromHistory(kEntries, "/home/anna/fi", 13, true));
}

TEST(HistoryCompletion, RestIsAtMost255BytesOfWholeCharacters)
{
    const std::string entry = "a" + std::string(254, 'x') + "é" + "tail";
    const auto completion = CompleteFromHistory({entry}, "a", 1, false);
    ASSERT_TRUE(completion);
    // 254 'x' fit; the two-byte "é" would end at byte 256 and is left out whole.
    EXPECT_EQ(completion->text, "a" + std::string(254, 'x'));
    EXPECT_EQ(CompleteFromHistory({"ab"}, "a", 1, false)->text, "ab");
}

TEST(HistoryCompletion, TheRuleOfTheFileSystem)
{
    // The history holds "Notmedia.avi"; the user types "n" for the file "notmedia.avi".
    const std::vector<std::string> entries = {"/m/Nyári út.avi", "/m/Notmedia.avi"};
    struct Case
    {
        const char* name;
        bool namesIgnoreCase;
        const char* typed;
        std::optional<std::size_t> entry; // none: no completion
        const char* released;
        bool newEntry; // leaving the box with the typed text adds it
    };
    const Case cases[] = {
        {"WindowsTakesTheEntryCase", true, "/m/n", 0, "/m/Nyári út.avi", false},
        {"LinuxKeepsWhatWasTyped", false, "/m/n", std::nullopt, "", true},
        {"LinuxCompletesTheSameCase", false, "/m/N", 0, "/m/Nyári út.avi", true},
        {"LinuxLongerPrefix", false, "/m/No", 1, "/m/Notmedia.avi", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CompletionRule rule = CompletionRuleFor(c.namesIgnoreCase);
        const std::string typed = c.typed;
        const auto completion = CompleteFromHistory(entries, typed, typed.size(), rule);
        ASSERT_EQ(completion.has_value(), c.entry.has_value());
        if (completion) {
            EXPECT_EQ(completion->entry, *c.entry);
            EXPECT_EQ(completion->releasedText, c.released);
        }
        EXPECT_EQ(IsNewHistoryEntry(entries, "/m/notmedia.avi", rule.matchCase), c.newEntry);
    }
    // Without case compared the typed letters stay when the rule keeps them.
    const auto kept = CompleteFromHistory(entries, "/m/no", 5, CompletionRule{false, false});
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->releasedText, "/m/notmedia.avi");
}

TEST(ProfileStringValue, TrimsUnquotesAndCuts)
{
    EXPECT_EQ(ProfileStringValue("  /a b.avi \t"), "/a b.avi");
    EXPECT_EQ(ProfileStringValue("\"/a b.avi\""), "/a b.avi");
    EXPECT_EQ(ProfileStringValue(" '/a.avi' "), "/a.avi");
    EXPECT_EQ(ProfileStringValue("\"/a.avi'"), "\"/a.avi'");
    EXPECT_EQ(ProfileStringValue("\""), "\"");
    EXPECT_EQ(ProfileStringValue("\"\"a\"\""), "\"a\"");
    EXPECT_EQ(ProfileStringValue(std::string(3000, 'x')), std::string(2047, 'x'));
    EXPECT_EQ(ProfileStringValue("\"" + std::string(2047, 'x') + "\""), std::string(2047, 'x'));
    EXPECT_EQ(ProfileStringValue(std::string(2046, 'x') + "é"), std::string(2046, 'x'));
}

TEST(HistoryPersistence, WritesTheNewestSlotsAndEmptiesTheRest)
{
    IniDocument document;
    HistoryPersist persist;
    persist.section = "Files";
    persist.count = 3;
    WriteHistory(document, persist, {"1", "2", "3", "4"});
    EXPECT_EQ(ReadHistory(document, "files"), (std::vector<std::string>{"2", "3", "4"}));
    WriteHistory(document, persist, {"a"});
    EXPECT_EQ(document.Value("Files", "Item2"), "");
    EXPECT_EQ(document.Value("Files", "Item3"), "");
    EXPECT_FALSE(document.Value("Files", "Item4"));

    persist.maxCount = false;
    WriteHistory(document, persist, {"1", "2", "3", "4", "5"});
    EXPECT_EQ(ReadHistory(document, "Files").size(), 5u);
}

TEST(HistoryPersistence, ValueEndsAtItsFirstLineBreak)
{
    IniDocument document;
    HistoryPersist persist;
    persist.section = "Files";
    WriteHistory(document, persist, {"/a\n[Main]\nLanguage=x", "/b\r.avi"});
    const IniDocument reread = IniDocument::Parse(document.Serialize());
    EXPECT_EQ(reread.Sections().size(), 1u);
    EXPECT_EQ(ReadHistory(reread, "Files"), (std::vector<std::string>{"/a", "/b"}));
}

TEST(HistoryPersistence, SaveKeepsTheRestOfTheFileAndReportsFailures)
{
    test::TempDir folder;
    HistoryPersist persist;
    persist.section = "Subtitles";
    persist.key = folder.file("zuv.ini");
    EXPECT_TRUE(LoadHistory(persist).empty()); // no file yet
    test::WriteFile(persist.key,
                    "[Main]\r\nLastFile=/x.avi\r\n\r\n[Subtitles]\r\nItem1=old\r\n\r\n");
    ASSERT_EQ(SaveHistory(persist, {"/s.srt"}), std::error_code());
    EXPECT_EQ(LoadHistory(persist), std::vector<std::string>{"/s.srt"});
    const IniDocument saved = IniDocument::Parse(*test::ReadFile(persist.key));
    EXPECT_EQ(saved.Value("Main", "LastFile"), "/x.avi");
    EXPECT_EQ(saved.Sections().size(), 2u);

    // A folder where the file should be: nothing can be read, nothing is written.
    persist.key = folder.path();
    EXPECT_EQ(SaveHistory(persist, {"/s.srt"}), platform::SystemError(kFolderError));
    // A file where a folder should be: the write fails.
    persist.key = folder.file("zuv.ini") + "/zuv.ini";
    EXPECT_NE(SaveHistory(persist, {"/s.srt"}), std::error_code());
    persist.key.clear();
    EXPECT_EQ(SaveHistory(persist, {"/s.srt"}), std::errc::invalid_argument);
    persist.enable = false;
    EXPECT_EQ(SaveHistory(persist, {"/s.srt"}), std::error_code());
}
