#include "fileassoc/association_backend.h"
#include "fileassoc/registry_association.h"
#include "platform/zuvora_error.h"
#include "support/memory_registry_store.h"

#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>

using namespace zuv;
using zuv::test::MemoryRegistryStore;
using Strings = std::vector<std::string>;

namespace {

const std::string kProgram = "/opt/my apps/zuvora";
const std::string kOwnCommand = "\"/opt/my apps/zuvora\" \"%L\"";
const std::string kPlayerCommand = "/usr/bin/vlc --started-from-file \"%1\"";

// .avi opened by another player through the verb "open".
void AddOtherPlayer(MemoryRegistryStore& store, const std::string& verb = "open")
{
    store.Set(".avi", "", "VLC.avi");
    store.Set("VLC.avi", "", "AVI video");
    store.Set("VLC.avi\\shell", "", verb);
    store.Set("VLC.avi\\shell\\" + verb, "", "Play with VLC");
    store.Set("VLC.avi\\shell\\" + verb + "\\command", "", kPlayerCommand);
}

} // namespace

TEST(RegistryAssociation, UnknownExtensionShowsItsNameRulesAndIsCreatedWhole)
{
    MemoryRegistryStore store;
    RegistryAssociationBackend backend(store, kProgram);
    for (const auto& [extension, description] : {std::pair{".xyz", "-"},
                                                 {".qt", "QuickTime"},
                                                 {".mov", "QuickTime"},
                                                 {".rm", "RealMedia"},
                                                 {".rmvb", "RealMedia"},
                                                 {".MOV", "-"},
                                                 {".Rm", "-"}}) {
        const AssociationRowState row = backend.ReadRow(extension);
        EXPECT_TRUE(row.status.ok());
        EXPECT_EQ(row.description, description) << extension;
        EXPECT_EQ(row.program, "");
        EXPECT_FALSE(row.owned);
    }

    const auto result = ApplyAssociationChoices(backend, {{".xyz", true}});
    ASSERT_TRUE(result.status.ok());
    EXPECT_EQ(result.fileTypes, ".xyz");
    EXPECT_EQ(
        store.Dump(),
        (Strings{".xyz|=xyzfile", "xyzfile\\shell\\open\\command|=" + kOwnCommand,
                 "xyzfile\\shell\\open|=&Open", "xyzfile\\shell|=open", "xyzfile|=Media file"}));

    const AssociationRowState row = backend.ReadRow(".xyz");
    EXPECT_EQ(row.description, "Media file");
    EXPECT_EQ(row.program, "zuvora");
    EXPECT_TRUE(row.owned);
}

TEST(RegistryAssociation, TakesOverAndGivesBackAnotherProgramsCommand)
{
    MemoryRegistryStore store;
    AddOtherPlayer(store);
    const Strings before = store.Dump();
    RegistryAssociationBackend backend(store, kProgram);

    AssociationRowState row = backend.ReadRow(".avi");
    EXPECT_EQ(row.description, "AVI video");
    EXPECT_EQ(row.program, "vlc");
    EXPECT_FALSE(row.owned);

    ASSERT_TRUE(backend.TakeOver(".avi").ok());
    // Only the command changes; the verb was "open" already, so it gets no backup.
    EXPECT_EQ(store.Changes(),
              (Strings{"write VLC.avi\\shell\\open\\command|zuv.exe=" + kPlayerCommand,
                       "write VLC.avi\\shell\\open\\command|=" + kOwnCommand}));
    EXPECT_TRUE(backend.ReadRow(".avi").owned);

    ASSERT_TRUE(backend.GiveBack(".avi").ok());
    EXPECT_EQ(store.Dump(), before);
    row = backend.ReadRow(".avi");
    EXPECT_EQ(row.program, "vlc");
    EXPECT_FALSE(row.owned);
}

TEST(RegistryAssociation, OpenVerbInOtherLetterCaseIsKept)
{
    MemoryRegistryStore store;
    AddOtherPlayer(store, "Open");
    ASSERT_EQ(Associate(store, ".avi", kOwnCommand), std::error_code());
    EXPECT_EQ(store.Get("VLC.avi\\shell", ""), "Open");
    EXPECT_FALSE(store.Get("VLC.avi\\shell", "zuv.exe").has_value());
}

TEST(RegistryAssociation, AnotherDefaultVerbIsSavedAndRestored)
{
    MemoryRegistryStore store;
    AddOtherPlayer(store, "play");
    const Strings before = store.Dump();
    RegistryAssociationBackend backend(store, kProgram);
    EXPECT_EQ(backend.ReadRow(".avi").program, "vlc");

    ASSERT_TRUE(backend.TakeOver(".avi").ok());
    EXPECT_EQ(store.Get("VLC.avi\\shell", "zuv.exe"), "play");
    EXPECT_EQ(store.Get("VLC.avi\\shell", ""), "open");
    EXPECT_EQ(store.Get("VLC.avi\\shell\\open", ""), "&Open");
    EXPECT_EQ(store.Get("VLC.avi\\shell\\open\\command", ""), kOwnCommand);
    // There was no open command to save.
    EXPECT_FALSE(store.Get("VLC.avi\\shell\\open\\command", "zuv.exe").has_value());
    EXPECT_EQ(store.Get("VLC.avi\\shell\\play\\command", ""), kPlayerCommand);

    ASSERT_TRUE(backend.GiveBack(".avi").ok());
    EXPECT_EQ(store.Get("VLC.avi\\shell", ""), "play");
    EXPECT_FALSE(store.Get("VLC.avi\\shell", "zuv.exe").has_value());
    // Nothing was saved for the open command: it is left empty; caption and key stay.
    EXPECT_EQ(store.Get("VLC.avi\\shell\\open\\command", ""), "");
    Strings expected = before;
    expected.push_back("VLC.avi\\shell\\open\\command|=");
    expected.push_back("VLC.avi\\shell\\open|=&Open");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(store.Dump(), expected);
    EXPECT_EQ(backend.ReadRow(".avi").program, "vlc");
}

TEST(RegistryAssociation, ExtensionsSharingAProgIdFollowEachOther)
{
    MemoryRegistryStore store;
    store.Set(".mpg", "", "mpegfile");
    store.Set(".mpeg", "", "mpegfile");
    store.Set("mpegfile\\shell", "", "open");
    store.Set("mpegfile\\shell\\open\\command", "", kPlayerCommand);
    RegistryAssociationBackend backend(store, kProgram);

    // One take-over for the shared type, so the backup keeps the other player's command.
    const auto result = ApplyAssociationChoices(backend, {{".mpg", true}, {".mpeg", true}});
    ASSERT_TRUE(result.status.ok());
    EXPECT_EQ(result.fileTypes, ".mpg;.mpeg");
    EXPECT_TRUE(backend.ReadRow(".mpeg").owned);
    EXPECT_EQ(store.Get("mpegfile\\shell\\open\\command", "zuv.exe"), kPlayerCommand);
    EXPECT_EQ(store.Get("mpegfile", ""), "Media file");

    // The type stays while one of its rows is checked, and goes back with the last.
    ASSERT_TRUE(ApplyAssociationChoices(backend, {{".mpg", true}, {".mpeg", false}}).status.ok());
    EXPECT_TRUE(backend.ReadRow(".mpeg").owned);
    ASSERT_TRUE(ApplyAssociationChoices(backend, {{".mpg", false}, {".mpeg", false}}).status.ok());
    EXPECT_FALSE(backend.ReadRow(".mpg").owned);
    EXPECT_EQ(store.Get("mpegfile\\shell\\open\\command", ""), kPlayerCommand);
}

TEST(RegistryAssociation, OwnershipComparesProgramPathsWithoutLetterCase)
{
    MemoryRegistryStore store;
    store.Set(".avi", "", "avifile");
    store.Set("avifile\\shell", "", "open");
    store.Set("avifile\\shell\\open\\command", "", "\"/OPT/My Apps/ZUVORA\" \"%L\"");
    store.Set(".mkv", "", "mkvfile");
    store.Set("mkvfile\\shell", "", "open");
    store.Set("mkvfile\\shell\\open\\command", "", "/home/anna/zuvora \"%L\"");
    RegistryAssociationBackend backend(store, kProgram);
    EXPECT_TRUE(backend.ReadRow(".avi").owned);
    EXPECT_EQ(backend.ReadRow(".avi").program, "ZUVORA");
    EXPECT_FALSE(backend.ReadRow(".mkv").owned);
    EXPECT_EQ(backend.ReadRow(".mkv").program, "zuvora");

    EXPECT_EQ(AssociationCommand("/usr/bin/zuvora"), "/usr/bin/zuvora \"%L\"");
    EXPECT_EQ(NewProgId(".avi"), "avifile");
}

TEST(RegistryAssociation, IncompleteAssociationCountsAsNone)
{
    MemoryRegistryStore store;
    store.Set(".avi", "", "avifile");
    store.Set("avifile", "", "Video");
    store.Set("avifile\\shell\\open\\command", "", kPlayerCommand); // no default verb
    RegistryAssociationBackend backend(store, kProgram);
    const AssociationRowState row = backend.ReadRow(".avi");
    EXPECT_TRUE(row.status.ok());
    EXPECT_EQ(row.description, "-");
    EXPECT_EQ(row.program, "");

    std::string command, description;
    EXPECT_EQ(ReadAssociation(store, ".avi", command, description), kRegistryNotFound);
    EXPECT_EQ(description, "Video");
    // Nothing to give back for an extension the registry does not know.
    EXPECT_EQ(RemoveAssociation(store, ".none"), kRegistryNotFound);
}

TEST(RegistryAssociation, OkWithoutChangesWritesNothing)
{
    MemoryRegistryStore store;
    AddOtherPlayer(store);
    store.Set(".mkv", "", "mkvfile");
    store.Set("mkvfile\\shell", "", "open");
    store.Set("mkvfile\\shell\\open\\command", "", kOwnCommand);
    RegistryAssociationBackend backend(store, kProgram);

    const auto result = ApplyAssociationChoices(
        backend, {{".avi", false}, {".mkv", true}, {".xyz", false}, {".mov", false}});
    ASSERT_TRUE(result.status.ok());
    EXPECT_EQ(result.fileTypes, ".avi;.mkv;.xyz;.mov");
    EXPECT_TRUE(store.Changes().empty());
}

TEST(RegistryAssociation, AFailedWriteStopsThePassAndKeepsEarlierChanges)
{
    MemoryRegistryStore store;
    store.FailOn(MemoryRegistryStore::Operation::Write, "MPGFILE\\shell\\open\\command", EACCES);
    RegistryAssociationBackend backend(store, kProgram);

    const auto result =
        ApplyAssociationChoices(backend, {{".xyz", true}, {".mpg", true}, {".zzz", true}});
    EXPECT_EQ(result.status.error, platform::SystemError(EACCES));
    EXPECT_EQ(result.status.errorText, platform::ErrorMessage(platform::SystemError(EACCES)));
    EXPECT_EQ(result.fileTypes, "");
    EXPECT_TRUE(backend.ReadRow(".xyz").owned);
    EXPECT_EQ(store.Get("mpgfile", ""), "Media file"); // steps before the failure stay
    EXPECT_FALSE(store.HasKey(".zzz"));
}

TEST(RegistryAssociation, AFailedReadIsReportedNotTakenForMissing)
{
    MemoryRegistryStore store;
    AddOtherPlayer(store);
    store.FailOn(MemoryRegistryStore::Operation::Read, "VLC.avi\\shell", EACCES);
    RegistryAssociationBackend backend(store, kProgram);

    const AssociationRowState row = backend.ReadRow(".avi");
    EXPECT_EQ(row.status.error, platform::SystemError(EACCES));
    // Every row is read before the first change: nothing is changed.
    const auto result = ApplyAssociationChoices(backend, {{".xyz", true}, {".avi", true}});
    EXPECT_EQ(result.status.error, platform::SystemError(EACCES));
    EXPECT_FALSE(backend.ReadRow(".xyz").owned);
    EXPECT_EQ(store.Get("VLC.avi\\shell\\open\\command", ""), kPlayerCommand);
}

TEST(FileTypesText, SplitsJoinsAndCompletesExtensions)
{
    EXPECT_EQ(SplitFileTypes(".avi;.mpg;"), (Strings{".avi", ".mpg"}));
    EXPECT_EQ(SplitFileTypes(".avi;;.mpg"), (Strings{".avi", "", ".mpg"}));
    EXPECT_EQ(SplitFileTypes(""), Strings{});
    EXPECT_EQ(SplitFileTypes(";"), Strings{""});
    EXPECT_EQ(ExtensionFromInput("mkv"), ".mkv");
    EXPECT_EQ(ExtensionFromInput(""), ".");
    EXPECT_EQ(ExtensionFromInput(".ogm"), ".ogm");
    EXPECT_EQ(ExtensionFromInput(" x"), ". x");

    MemoryRegistryStore store;
    RegistryAssociationBackend backend(store, kProgram);
    EXPECT_EQ(ApplyAssociationChoices(backend, {}).fileTypes, "");
}
