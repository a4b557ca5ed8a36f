#include "app/command_line_help.h"
#include "fileassoc/desktop_association.h"
#include "fileassoc/installed_icon.h"
#include "fileassoc/key_file_text.h"
#include "fileassoc/mime_database.h"
#include "options/options.h"
#include "platform/file_system.h"
#include "support/test_support.h"
#include "util/text_utils.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace zuv;

TEST(CommandLineHelp, OnlyTheFirstArgumentAsksForHelpOrVersion)
{
    std::string version = "Zuvora " + std::to_string(ZUVORA_VERSION_MAJOR) + "." +
                          std::to_string(ZUVORA_VERSION_MINOR) + "." +
                          std::to_string(ZUVORA_VERSION_PATCH);
    if (ZUVORA_PRERELEASE)
        version += " b";
    EXPECT_EQ(CommandLineInformation({"zuvora", "--version"}), version + "\n");
    EXPECT_EQ(CommandLineInformation({"zuvora", "--help", "film.avi"}), HelpText());

    // Everything else starts the program, with the first argument as its media file.
    for (const std::vector<std::string>& commandLine :
         std::vector<std::vector<std::string>>{{"zuvora"},
                                               {"zuvora", "film.avi", "--version"},
                                               {"zuvora", "-start", "--help"},
                                               {"zuvora", "--HELP"},
                                               {"zuvora", "-help"},
                                               {"zuvora", "/version"},
                                               {"zuvora", ""}}) {
        EXPECT_FALSE(CommandLineInformation(commandLine)) << commandLine.back();
    }
}

// The installed menu entry opens every default file type, named as the system's MIME database
// names it, and has the id that taking over a file type writes for the user.
TEST(DesktopEntry, ListsTheFileTypesOfTheDefaultExtensions)
{
    const std::string entryPath = ZUVORA_DESKTOP_ENTRY;
    EXPECT_EQ(FileNamePart(entryPath), kOwnDesktopFileId);
    const platform::FileContent entry = platform::ReadWholeFile(entryPath, 64 * 1024);
    ASSERT_TRUE(entry.ok());
    EXPECT_EQ(ExecValueProgram(KeyFileValue(entry.data, "Desktop Entry", "Exec").value_or("")),
              "zuvora");

    std::string listed = ";" + KeyFileValue(entry.data, "Desktop Entry", "MimeType").value_or("");
    DesktopFolders system;
    system.dataDirs = {"/usr/share/"};
    if (!platform::FileExists("/usr/share/mime/globs2"))
        GTEST_SKIP() << "No shared MIME database";

    std::string extensions = Options{}.FileTypes;
    ASSERT_FALSE(extensions.empty());
    while (!extensions.empty()) {
        const std::string extension = SplitFirst(extensions, ";");
        const std::string mimeType = MimeTypeForExtension(system, extension);
        ASSERT_FALSE(mimeType.empty()) << extension;
        EXPECT_NE(listed.find(";" + mimeType + ";"), std::string::npos)
            << extension << " is " << mimeType;
    }
}

TEST(CommandLine, RelativeFilesBecomeAbsoluteOthersStay)
{
    const std::vector<std::string> arguments{"zuvora", "film.avi", "subs/a b.srt", "/films/x.avi",
                                             "-start", "/START",   "http://tv/1",  ""};
    const std::vector<std::string> expected{"zuvora",
                                            "/home/anna/film.avi",
                                            "/home/anna/subs/a b.srt",
                                            "/films/x.avi",
                                            "-start",
                                            "/START",
                                            "http://tv/1",
                                            ""};
    EXPECT_EQ(zuv::AbsoluteFileArguments(arguments, "/home/anna"), expected);
    EXPECT_EQ(zuv::AbsoluteFileArguments(arguments, "/home/anna/"), expected);
    EXPECT_EQ(zuv::AbsoluteFileArguments(arguments, ""), arguments); // folder unknown
}

// The window's icon comes from where the package put it: the user's own data folder before the
// system's, the sizes a desktop shows (not 256), and nothing but regular files.
TEST(InstalledIcon, FoundInTheFirstDataFolderThatHoldsIt)
{
    const test::TempDir temp;
    DesktopFolders folders;
    folders.dataHome = temp.file("home/");
    folders.dataDirs = {temp.file("local/"), temp.file("usr/")};
    const auto icon = [](const std::string& folder, const char* size) {
        return folder + "icons/hicolor/" + size + "/apps/zuvora.png";
    };
    EXPECT_TRUE(InstalledIconFiles(folders).empty());

    for (const char* size : {"256x256", "48x48", "16x16"})
        test::WriteFile(icon(folders.dataDirs[1], size), "png");
    // A folder of the name is no picture.
    std::filesystem::create_directories(icon(folders.dataDirs[0], "32x32"));
    EXPECT_EQ(InstalledIconFiles(folders),
              (std::vector<std::string>{icon(folders.dataDirs[1], "16x16"),
                                        icon(folders.dataDirs[1], "48x48")}));

    test::WriteFile(icon(folders.dataHome, "128x128"), "png");
    EXPECT_EQ(InstalledIconFiles(folders),
              std::vector<std::string>{icon(folders.dataHome, "128x128")});
}
