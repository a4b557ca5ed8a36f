#include "settings/key_bindings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::TempDir;
using zuv::test::WriteFile;

TEST(KeyBindingFile, ProgramFolderFileWinsElseThePlayersOwnIsMade)
{
    TempDir program, home, system;
    WriteFile(system.file("input.conf"), "q quit\n");
    // Not in the program folder: the player's own file, made from the system's.
    EXPECT_EQ(KeyBindingFile(program.path(), home.path(), system.file("input.conf")),
              home.file(".mplayer/input.conf"));
    EXPECT_EQ(ReadFile(home.file(".mplayer/input.conf")), "q quit\n");
    // An existing file of the user's is opened as it is.
    WriteFile(home.file(".mplayer/input.conf"), "mine\n");
    KeyBindingFile(program.path(), home.path(), system.file("input.conf"));
    EXPECT_EQ(ReadFile(home.file(".mplayer/input.conf")), "mine\n");
    // The program folder's file when there is one.
    WriteFile(program.file("mplayer/input.conf"), "own\n");
    EXPECT_EQ(KeyBindingFile(program.path(), home.path(), system.file("input.conf")),
              program.file("mplayer/input.conf"));
}

TEST(KeyBindingFile, WithoutSystemBindingsAnEmptyFileIsMade)
{
    TempDir program, home;
    const std::string file = KeyBindingFile(program.path(), home.path(), "/no/such/input.conf");
    EXPECT_EQ(ReadFile(file), "");
    EXPECT_EQ(KeyBindingFile(program.path(), "", "/no/such"), program.file("mplayer/input.conf"));
}
