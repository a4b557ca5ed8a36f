#include "lang/language.h"
#include "lang/language_code.h"
#include "options/options.h"
#include "platform/file_system.h"
#include "support/test_support.h"
#include "util/ini_document.h"
#include "util/text_encoding.h"
#include "util/text_utils.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace zuv;
using namespace std::string_literals;
using zuv::test::TempDir;
using zuv::test::TestDataPath;
using zuv::test::WriteFile;

namespace {

// Never a text of any language file.
constexpr std::string_view kAbsent = "\x01"
                                     "absent";

Language LoadedData(std::string_view baseName)
{
    Language language(TestDataPath("lang"));
    EXPECT_TRUE(language.LoadLanguage(baseName));
    return language;
}

} // namespace

// --- Lookup --------------------------------------------------------------------------------------

TEST(LanguageLookup, SectionsAndKeysIgnoreCaseAndTheFirstWins)
{
    const Language language = LoadedData("alpha");
    EXPECT_EQ(language.GetText("MAIN", "100", "x"), "Alpha %v / %m");
    EXPECT_EQ(language.GetText("lang", "NAME", "x"), "Alpha");
    EXPECT_EQ(language.GetText("Main", "101", "x"), "first");
    // The second [main] section is never searched, not even for keys the first one lacks.
    EXPECT_EQ(language.GetText("Main", "110", "built-in"), "built-in");
    // Lines before the first header belong to no section.
    EXPECT_EQ(language.GetText("Errors", "100", "x"), "Cannot start: %e");
}

TEST(LanguageLookup, EscapesBecomeLineFeedsAlsoInBuiltInTexts)
{
    const Language language = LoadedData("alpha");
    EXPECT_EQ(language.GetText("Main", "103", "x"), "one\ntwo\n");
    EXPECT_EQ(language.GetText("Main", "107", "x"), "a\\\nb");
    EXPECT_EQ(language.GetText("Main", "999", "eins\\nzwei"), "eins\nzwei");
    EXPECT_EQ(language.GetText("Nowhere", "1", "\\n"), "\n");
}

TEST(LanguageLookup, EmptyValueDiffersFromMissingKey)
{
    const Language language = LoadedData("alpha");
    EXPECT_EQ(language.GetText("Main", "102", "built-in"), "");
    EXPECT_EQ(language.GetText("Main", "108", "built-in"), "built-in");
    EXPECT_EQ(language.GetTextOrEmpty("Main", "108"), "");
    EXPECT_EQ(language.GetTextOrEmpty("Main", "101"), "first");
}

TEST(LanguageLookup, BlanksAreKeptAndNeverTrimmedIntoAMatch)
{
    const Language language = LoadedData("alpha");
    EXPECT_EQ(language.GetText("Main", "104", "x"), " spaced value = kept ");
    EXPECT_EQ(language.GetText("Main", "105", "built-in"), "built-in");
    EXPECT_EQ(language.GetText("Main", " 105", "x"), "leading blank before the key");
    EXPECT_EQ(language.GetText("Main", "106", "built-in"), "built-in");
    // " [Indented]" starts no section; its lines went into [Main], where 100 came first.
    EXPECT_EQ(language.GetText("Indented", "100", "built-in"), "built-in");
    EXPECT_EQ(language.GetText("Main", "no equals sign here", "built-in"), "built-in");
}

TEST(LanguageLookup, AnyLineEndIsALineEndAndNulEndsTheText)
{
    TempDir dir;
    WriteFile(dir.file("ends.lng"), "[A]\r\n1=crlf\r2=cr\n3=lf\n4=x\0\n5=after nul"s);
    Language language(dir.path());
    ASSERT_TRUE(language.LoadLanguage("ends"));
    EXPECT_EQ(language.GetText("A", "1", "-"), "crlf");
    EXPECT_EQ(language.GetText("A", "2", "-"), "cr");
    EXPECT_EQ(language.GetText("A", "3", "-"), "lf");
    EXPECT_EQ(language.GetText("A", "4", "-"), "x");
    EXPECT_EQ(language.GetText("A", "5", "-"), "-");
}

// --- Loading -------------------------------------------------------------------------------------

TEST(LanguageLoad, MissingFileIsNoErrorAndGivesBuiltInTexts)
{
    Language language(TestDataPath("lang"));
    ASSERT_TRUE(language.LoadLanguage("alpha"));
    EXPECT_TRUE(language.LoadLanguage("nosuch"));
    EXPECT_EQ(language.CurrentLanguage(), "nosuch");
    EXPECT_EQ(language.GetText("Main", "100", "Zuvora %v"), "Zuvora %v"); // nothing of alpha left
    // The built-in language is the missing file ".lng".
    EXPECT_TRUE(language.LoadLanguage(""));
    EXPECT_EQ(language.CurrentLanguage(), "");
}

TEST(LanguageLoad, MissingFolderIsNoError)
{
    TempDir dir;
    Language language(dir.file("no/such/folder"));
    EXPECT_TRUE(language.LoadLanguage("enu"));
    EXPECT_EQ(language.CurrentLanguage(), "enu");
    EXPECT_EQ(language.GetText("Main", "100", "b"), "b");
}

TEST(LanguageLoad, UnreadableFileMakesTheBuiltInLanguageCurrent)
{
    TempDir dir;
    WriteFile(dir.file("good.lng"), "[Main]\n100=good\n");
    ASSERT_EQ(platform::CreateFolders(dir.file("folder.lng")), std::error_code());
    std::string huge = "[Main]\n100=huge\n";
    huge.resize(Language::kMaxFileBytes + 1, ' ');
    WriteFile(dir.file("huge.lng"), huge);

    Language language(dir.path());
    for (const char* name : {"folder", "huge"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(language.LoadLanguage("good"));
        EXPECT_FALSE(language.LoadLanguage(name));
        EXPECT_EQ(language.CurrentLanguage(), "");
        EXPECT_EQ(language.GetText("Main", "100", "built-in"), "built-in");
    }
}

TEST(LanguageLoad, FileWithoutReadPermissionFails)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no POSIX read permission";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    TempDir dir;
    WriteFile(dir.file("locked.lng"), "[Main]\n100=locked\n");
    ASSERT_EQ(::chmod(dir.file("locked.lng").c_str(), 0), 0);
    Language language(dir.path());
    EXPECT_FALSE(language.LoadLanguage("locked"));
    EXPECT_EQ(language.CurrentLanguage(), "");
#endif
}

TEST(LanguageLoad, UnloadGivesBuiltInTexts)
{
    Language language = LoadedData("alpha");
    language.UnloadLanguage();
    EXPECT_EQ(language.CurrentLanguage(), "");
    EXPECT_EQ(language.GetText("Main", "101", "built-in"), "built-in");
}

// --- Encoding ------------------------------------------------------------------------------------

TEST(LanguageEncoding, Cp1250FileIsConverted)
{
    const Language language = LoadedData("kozep");
    EXPECT_EQ(language.GetText("Lang", "Name", "x"), "Közép");
    EXPECT_EQ(language.GetText("Main", "100", "x"), "Ő ű Š € ˙");
    // Section and key in the code page's accented capitals, looked up in small letters.
    TempDir dir;
    WriteFile(dir.file("ekezet.lng"), "[SZ\xD6VEG]\r\n\xC9L\xD5=igen\r\n");
    Language accented(dir.path());
    ASSERT_TRUE(accented.LoadLanguage("ekezet"));
    EXPECT_EQ(accented.GetText("Szöveg", "élő", "x"), "igen");
}

TEST(LanguageEncoding, ByteOrderMarkIsSkippedAndUtf8KeptAsItIs)
{
    TempDir dir;
    WriteFile(dir.file("bom.lng"), "\xEF\xBB\xBF[Lang]\r\nName=Größe ő\r\n");
    Language language(dir.path());
    ASSERT_TRUE(language.LoadLanguage("bom"));
    EXPECT_EQ(language.GetText("Lang", "Name", "x"), "Größe ő");
    EXPECT_EQ(language.FillLanguageList().entries.at(1), "Größe ő");
}

// --- Language list -------------------------------------------------------------------------------

TEST(LanguageList, EntriesFollowSortedBaseNames)
{
    Language language(TestDataPath("lang"));
    const LanguageList list = language.FillLanguageList();
    // Hidden files, other extensions and names that "<base>.lng" would not open are left out;
    // a file without Lang/Name shows its base name, an empty Name an empty entry.
    const std::vector<std::string> entries = {"<magyar>", "",     "Alpha", "beta",
                                              "Közép",    "Twin", "Twin"};
    const std::vector<std::string> baseNames = {"Gamma", "alpha", "beta",
                                                "kozep", "twin1", "twin2"};
    EXPECT_EQ(list.entries, entries);
    EXPECT_EQ(language.BaseNames(), baseNames);
    EXPECT_EQ(list.selected, 0u);
}

TEST(LanguageList, CurrentLanguageIsSelectedOnlyInItsStoredCase)
{
    Language language(TestDataPath("lang"));
    ASSERT_TRUE(language.LoadLanguage("Gamma"));
    EXPECT_EQ(language.FillLanguageList().selected, 1u);
    ASSERT_TRUE(language.LoadLanguage("beta"));
    EXPECT_EQ(language.FillLanguageList().selected, 3u);
    ASSERT_TRUE(language.LoadLanguage("BETA")); // no such file on a case-sensitive file system
    EXPECT_EQ(language.FillLanguageList().selected, 0u);
}

TEST(LanguageList, UnreadableFileIsListedUnderItsBaseName)
{
    TempDir dir;
    WriteFile(dir.file("b.lng"), "[Lang]\nName=Bee\n");
    std::string huge = "[Lang]\nName=Huge\n";
    huge.resize(Language::kMaxFileBytes + 1, ' ');
    WriteFile(dir.file("a.lng"), huge);
    ASSERT_EQ(platform::CreateFolders(dir.file("dir.lng")), std::error_code());
    Language language(dir.path());
    const std::vector<std::string> entries = {"<magyar>", "a", "Bee"};
    EXPECT_EQ(language.FillLanguageList().entries, entries);
}

TEST(LanguageList, RebuildingForgetsTheOldList)
{
    TempDir dir;
    WriteFile(dir.file("a.lng"), "");
    Language language(dir.path());
    language.FillLanguageList();
    ASSERT_EQ(platform::RemoveFile(dir.file("a.lng")), std::error_code());
    EXPECT_EQ(language.FillLanguageList().entries.size(), 1u);
    EXPECT_TRUE(language.BaseNames().empty());
}

// --- Selecting a language ------------------------------------------------------------------------

TEST(LanguageSelect, EachEntrySelectsItsOwnFile)
{
    Language language(TestDataPath("lang"));
    int changes = 0;
    language.SetLanguageChangedHandler([&] { ++changes; });
    language.FillLanguageList();
    // Two entries with the same display name.
    ASSERT_TRUE(language.SelectLanguage(5));
    EXPECT_EQ(language.CurrentLanguage(), "twin1");
    EXPECT_EQ(language.GetText("Main", "100", "x"), "first twin");
    ASSERT_TRUE(language.SelectLanguage(6));
    EXPECT_EQ(language.CurrentLanguage(), "twin2");
    EXPECT_EQ(language.GetText("Main", "100", "x"), "second twin");
    ASSERT_TRUE(language.SelectLanguage(1));
    EXPECT_EQ(language.CurrentLanguage(), "Gamma");
    EXPECT_EQ(changes, 3);
}

TEST(LanguageSelect, CurrentEntryChangesNothing)
{
    Language language(TestDataPath("lang"));
    ASSERT_TRUE(language.LoadLanguage("alpha"));
    language.FillLanguageList();
    bool changed = false;
    language.SetLanguageChangedHandler([&] { changed = true; });
    EXPECT_FALSE(language.SelectLanguage(2));
    EXPECT_EQ(language.CurrentLanguage(), "alpha");
    EXPECT_EQ(language.GetText("Main", "101", "x"), "first");
    EXPECT_FALSE(changed);
}

TEST(LanguageSelect, EntryZeroIsTheBuiltInLanguage)
{
    Language language(TestDataPath("lang"));
    ASSERT_TRUE(language.LoadLanguage("alpha"));
    language.FillLanguageList();
    ASSERT_TRUE(language.SelectLanguage(0));
    EXPECT_EQ(language.CurrentLanguage(), "");
    EXPECT_EQ(language.GetText("Main", "100", "Zuvora %v / MPlayer %m"), "Zuvora %v / MPlayer %m");
    EXPECT_FALSE(language.SelectLanguage(0));
}

TEST(LanguageSelect, ConfiguredButMissingLanguageCanBeLeftForEntryZero)
{
    TempDir dir;
    Language language(dir.path());
    ASSERT_TRUE(language.LoadLanguage("enu"));
    EXPECT_EQ(language.FillLanguageList().selected, 0u);
    EXPECT_TRUE(language.SelectLanguage(0));
    EXPECT_EQ(language.CurrentLanguage(), "");
}

TEST(LanguageSelect, EntriesOutsideTheListChangeNothing)
{
    TempDir dir;
    Language language(dir.path());
    ASSERT_TRUE(language.LoadLanguage("enu"));
    language.FillLanguageList(); // no language files: an empty base-name list
    EXPECT_FALSE(language.SelectLanguage(1));
    EXPECT_FALSE(language.SelectLanguage(-1));
    EXPECT_EQ(language.CurrentLanguage(), "enu");

    Language listed(TestDataPath("lang"));
    listed.FillLanguageList();
    EXPECT_FALSE(listed.SelectLanguage(7));
    EXPECT_EQ(listed.CurrentLanguage(), "");
}

TEST(LanguageSelect, BaseNameWithSemicolonSelectsItsOwnFile)
{
    TempDir dir;
    WriteFile(dir.file("a;b.lng"), "[Main]\n100=semicolon\n");
    WriteFile(dir.file("c.lng"), "[Main]\n100=c\n");
    Language language(dir.path());
    language.FillLanguageList();
    ASSERT_TRUE(language.SelectLanguage(2));
    EXPECT_EQ(language.GetText("Main", "100", "x"), "c");
    ASSERT_TRUE(language.SelectLanguage(1));
    EXPECT_EQ(language.GetText("Main", "100", "x"), "semicolon");
}

// --- Shipped language files ----------------------------------------------------------------------

namespace {

struct RequiredText
{
    std::string_view section;
    std::string_view key;
    // Fragments the translation must keep: placeholders, markup, doubled "&".
    std::vector<std::string_view> fragments;
};

std::vector<RequiredText> RequiredTexts()
{
    std::vector<RequiredText> texts = {
        {"Lang", "Name", {}},
        {"Main", "100", {"%v", "%p", "%m"}},
        {"OpenDialogs", "101", {"|%l|", "|*.*"}},
        {"OpenDialogs", "201", {"|*.sub;*.srt;*.txt;*.zip;*.vob|", "|*.*"}},
        {"Settings", "252", {"&&"}},
        {"Settings", "501", {"<a href=\"", "\">", "</a>"}},
        {"Errors", "100", {"%e"}},
        {"Errors", "101", {"%e"}},
        {"Shutdown", "101", {"%s"}},
        {"FileAssoc", "301", {"%e"}},
        {"FileAssoc", "400", {"%e"}},
        {"FileAssoc", "401", {"%t", "%f", "%u"}},
        {"FileAssoc", "402", {"%t", "%f"}},
        {"FileAssoc", "403", {"%s"}},
        {"FileAssoc", "404", {"%f", "%g"}},
        {"FileAssoc", "405", {"%f"}},
        {"FileAssoc", "406", {"%p"}},
    };
    const auto add = [&](std::string_view section, std::initializer_list<std::string_view> keys) {
        for (const std::string_view key : keys)
            texts.push_back({section, key, {}});
    };
    add("Main", {"101", "102", "103", "104", "200", "201", "300", "301", "400"});
    add("OpenDialogs", {"100", "200"});
    add("Playlist", {"100", "101", "102", "103", "104", "105", "106", "200", "201", "300", "301",
                     "302", "400", "401"});
    add("Settings",
        {"100", "101", "102", "103", "104", "200", "201", "202", "203", "206", "207", "208", "220",
         "221", "222", "223", "224", "225", "226", "227", "228", "240", "241", "242", "243", "244",
         "245", "246", "247", "248", "249", "251", "253", "254", "255", "256", "257", "260", "261",
         "262", "263", "264", "300", "302", "303", "310", "320", "330", "331", "400", "401"});
    add("Errors", {"103", "200"});
    add("Shutdown", {"100", "102"});
    add("Equalizer", {"100", "101", "102", "103", "104", "105"});
    add("ResultWindow", {"100"});
    add("FileAssoc", {"100", "101", "102", "103", "104", "105", "110", "111", "112", "200", "201",
                      "202", "300"});
    return texts;
}

class ShippedLanguageFile : public testing::TestWithParam<const char*>
{
protected:
    static std::string Folder() { return TestDataPath("../../lang/"); }
};

} // namespace

TEST_P(ShippedLanguageFile, HoldsEveryTextWithItsPlaceholders)
{
    Language language(Folder());
    ASSERT_TRUE(platform::FileExists(language.FilePath(GetParam())));
    ASSERT_TRUE(language.LoadLanguage(GetParam()));
    for (const RequiredText& required : RequiredTexts()) {
        SCOPED_TRACE(std::string(required.section) + "/" + std::string(required.key));
        const std::string text = language.GetText(required.section, required.key, kAbsent);
        ASSERT_NE(text, kAbsent);
        EXPECT_FALSE(Trim(text).empty());
        for (const std::string_view fragment : required.fragments)
            EXPECT_NE(text.find(fragment), std::string::npos) << fragment;
    }
}

TEST_P(ShippedLanguageFile, HoldsNoUnknownSectionOrKey)
{
    const auto content = test::ReadFile(Folder() + GetParam() + ".lng");
    ASSERT_TRUE(content);
    EXPECT_TRUE(IsValidUtf8(*content)) << "shipped files are UTF-8";
    std::set<std::pair<std::string, std::string>> known;
    for (const RequiredText& required : RequiredTexts())
        known.emplace(required.section, required.key);
    std::set<std::string> sections;
    const IniDocument document = IniDocument::Parse(*content);
    for (const IniDocument::Section& section : document.Sections()) {
        EXPECT_TRUE(sections.insert(section.name).second) << "twice: " << section.name;
        std::set<std::string> keys;
        for (const std::string& line : section.lines) {
            const std::string key = line.substr(0, line.find('='));
            EXPECT_TRUE(known.contains({section.name, key})) << section.name << "/" << key;
            EXPECT_TRUE(keys.insert(key).second) << "twice: " << section.name << "/" << key;
        }
    }
}

TEST_P(ShippedLanguageFile, PriorityAndPlayerListsAreWholeAndFiltersComeInPairs)
{
    Language language(Folder());
    ASSERT_TRUE(language.LoadLanguage(GetParam()));
    std::string priorities = language.GetText("Settings", "257", "");
    int names = 0;
    while (!priorities.empty()) {
        EXPECT_FALSE(Trim(SplitFirst(priorities, ",")).empty());
        ++names;
    }
    EXPECT_EQ(names, 5);
    std::string players = language.GetText("Settings", "264", "");
    for (names = 0; !players.empty(); ++names)
        EXPECT_FALSE(Trim(SplitFirst(players, ",")).empty());
    EXPECT_EQ(names, kPlayerChoiceCount);
    for (const char* key : {"101", "201"}) {
        const std::string filter = language.GetText("OpenDialogs", key, "");
        EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 3) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguageFile, testing::Values("enu", "deu"));

TEST(IsoLanguageCode, FromTheSystemAbbreviation)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "hu"},       {"enu", "en"},    {"DEU", "de"}, {"hun", "hu"}, {"des", "de"},
        {"chs", "zh_CN"}, {"ptb", "pt_BR"}, {"xyz", ""},   {"de", ""},    {"deutsch", ""},
    };
    for (const auto& [baseName, code] : cases)
        EXPECT_EQ(IsoLanguageCode(baseName), code) << baseName;
}
