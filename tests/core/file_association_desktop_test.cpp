#include "fileassoc/association_backend.h"
#include "fileassoc/desktop_association.h"
#include "fileassoc/key_file_text.h"
#include "fileassoc/mime_database.h"
#include "platform/file_system.h"
#include "support/test_support.h"

#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFile;

namespace {

const std::string kUserList = "# my settings\n"
                              "[Added Associations]\n"
                              "text/plain=gedit.desktop;\n"
                              "\n"
                              "[Default Applications]\n"
                              "video/x-msvideo = vlc.desktop;\n"
                              "text/html=firefox.desktop\n"
                              "\n"
                              "[Removed Associations]\n"
                              "image/png=gimp.desktop;\n";

void WriteExecutable(const std::string& path)
{
    WriteFile(path, "#!/bin/sh\nexit 0\n");
    ::chmod(path.c_str(), 0755);
}

// A desktop of its own in a temporary folder: MIME globs and descriptions, two installed players,
// a system default list and the user's own list.
class DesktopAssociationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folders.dataHome = root.file("data/");
        folders.dataDirs = {root.file("sys/")};
        folders.configHome = root.file("config/");
        folders.configDirs = {root.file("etc/")};

        WriteFile(root.file("sys/mime/globs2"), "# test globs\n"
                                                "50:video/x-msvideo:*.avi\n"
                                                "40:video/x-fake-avi:*.avi\n"
                                                "50:video/mpeg:*.mpg\n"
                                                "50:video/mpeg:*.mpeg\n"
                                                "50:video/x-flv:*.FLV:cs\n"
                                                "50:video/x-hidden:*.hid\n");
        WriteFile(root.file("data/mime/globs2"), "30:video/x-lower:*.avi\n"
                                                 "60:video/x-user-mkv:*.mkv\n"
                                                 "50:video/x-hidden:__NOGLOBS__\n");
        WriteFile(
            root.file("sys/mime/packages/test.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <!-- <mime-type type=\"video/x-msvideo\"><comment>Old</comment></mime-type> -->\n"
            "  <mime-type type=\"video/x-other\"><comment>Other</comment></mime-type>\n"
            "  <mime-type type='video/x-msvideo'>\n"
            "    <comment xml:lang=\"de\">AVI-Video</comment>\n"
            "    <comment>AVI video &amp; sound &#x2014; test</comment>\n"
            "    <glob pattern=\"*.avi\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n");
        WriteFile(root.file("sys/mime/video/mpeg.xml"),
                  "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                  "<mime-type xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\" "
                  "type=\"video/mpeg\">\n"
                  "  <comment xml:lang=\"hu\">MPEG-videó</comment>\n"
                  "  <comment>MPEG video</comment>\n"
                  "</mime-type>\n");

        WriteExecutable(program);
        WriteExecutable(root.file("bin/vlc"));
        WriteExecutable(root.file("opt/mpv player/mpv"));
        WriteFile(root.file("sys/applications/vlc.desktop"),
                  "[Desktop Entry]\nType=Application\nName=VLC\nExec=" + root.file("bin/vlc") +
                      " --started-from-file %U\nMimeType=video/x-msvideo;video/mpeg;\n");
        WriteFile(root.file("sys/applications/mpv.desktop"),
                  "[Desktop Entry]\nType=Application\nName=mpv\nExec=\"" +
                      root.file("opt/mpv player/mpv") + "\" -- %U\n");
        // The first entry is not installed: the next one counts.
        WriteFile(root.file("etc/mimeapps.list"),
                  "[Default Applications]\nvideo/mpeg=missing.desktop;mpv.desktop;\n");
        WriteFile(userList(), kUserList);
    }

    std::string userList() const { return root.file("config/mimeapps.list"); }
    std::string ownDesktopFile() const { return root.file("data/applications/zuvora.desktop"); }

    // What xdg-mime says the default for the type is, or none without xdg-mime.
    std::optional<std::string> XdgMimeDefault(const std::string& mimeType) const
    {
        if (::access("/usr/bin/xdg-mime", X_OK) != 0)
            return std::nullopt;
        const std::string command =
            "env -i PATH=/usr/bin:/bin HOME='" + root.file("home") + "' XDG_DATA_HOME='" +
            folders.dataHome + "' XDG_DATA_DIRS='" + folders.dataDirs[0] + "' XDG_CONFIG_HOME='" +
            folders.configHome + "' XDG_CONFIG_DIRS='" + folders.configDirs[0] +
            "' /usr/bin/xdg-mime query default " + mimeType + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return std::nullopt;
        std::string output;
        char buffer[256];
        while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, got);
        ::pclose(pipe);
        while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
            output.pop_back();
        return output;
    }

    TempDir root;
    DesktopFolders folders;
    std::string program = root.file("bin/zuvora");
};

} // namespace

TEST_F(DesktopAssociationTest, ShowsTheFileTypeDescriptionAndTheProgramOpeningItNow)
{
    EXPECT_EQ(MimeTypeForExtension(folders, ".avi"), "video/x-msvideo"); // highest weight
    EXPECT_EQ(MimeTypeForExtension(folders, ".AvI"), "video/x-msvideo");
    EXPECT_EQ(MimeTypeForExtension(folders, ".flv"), "");
    EXPECT_EQ(MimeTypeForExtension(folders, ".FLV"), "video/x-flv");
    EXPECT_EQ(MimeTypeForExtension(folders, ".hid"), ""); // hidden by the user's database
    EXPECT_EQ(MimeTypeForExtension(folders, "."), "");

    DesktopAssociationBackend backend(folders, program);
    AssociationRowState row = backend.ReadRow(".avi");
    EXPECT_TRUE(row.status.ok());
    EXPECT_EQ(row.description, "AVI video & sound \u2014 test");
    EXPECT_EQ(row.program, "vlc");
    EXPECT_FALSE(row.owned);

    row = backend.ReadRow(".mpg");
    EXPECT_EQ(row.description, "MPEG video");
    EXPECT_EQ(row.program, "mpv");

    row = backend.ReadRow(".mkv"); // a type without description or default application
    EXPECT_EQ(row.description, "video/x-user-mkv");
    EXPECT_EQ(row.program, "");
    EXPECT_FALSE(row.owned);

    for (const auto& [extension, description] :
         {std::pair{".xyz", "-"}, {".mov", "QuickTime"}, {".rmvb", "RealMedia"}, {".flv", "-"}}) {
        row = backend.ReadRow(extension);
        EXPECT_TRUE(row.status.ok());
        EXPECT_EQ(row.description, description) << extension;
        EXPECT_EQ(row.program, "");
    }
}

TEST_F(DesktopAssociationTest, TakeOverKeepsThePreviousDefaultAndGiveBackRestoresItExactly)
{
    DesktopAssociationBackend backend(folders, program);
    ASSERT_TRUE(backend.TakeOver(".avi").ok());

    EXPECT_EQ(ReadFile(ownDesktopFile()), "[Desktop Entry]\nType=Application\nName=Zuvora\nExec=" +
                                              program + " %f\nMimeType=video/x-msvideo;\n");
    EXPECT_EQ(ReadFile(userList()), "# my settings\n"
                                    "[Added Associations]\n"
                                    "text/plain=gedit.desktop;\n"
                                    "\n"
                                    "[Default Applications]\n"
                                    "video/x-msvideo =zuvora.desktop;\n"
                                    "text/html=firefox.desktop\n"
                                    "\n"
                                    "[Removed Associations]\n"
                                    "image/png=gimp.desktop;\n"
                                    "\n"
                                    "[X-Zuvora Previous Defaults]\n"
                                    "video/x-msvideo= vlc.desktop;\n");
    AssociationRowState row = backend.ReadRow(".avi");
    EXPECT_TRUE(row.owned);
    EXPECT_EQ(row.program, "zuvora");

    // Taking over again (it is ours already) keeps the saved default.
    ASSERT_TRUE(backend.TakeOver(".avi").ok());
    EXPECT_EQ(KeyFileValue(*ReadFile(userList()), "X-Zuvora Previous Defaults", "video/x-msvideo"),
              " vlc.desktop;");

    ASSERT_TRUE(backend.GiveBack(".avi").ok());
    EXPECT_EQ(ReadFile(userList()), kUserList);
    row = backend.ReadRow(".avi");
    EXPECT_FALSE(row.owned);
    EXPECT_EQ(row.program, "vlc");
    EXPECT_EQ(ReadFile(ownDesktopFile()),
              "[Desktop Entry]\nType=Application\nName=Zuvora\nExec=" + program + " %f\n");
}

TEST_F(DesktopAssociationTest, WithoutAPreviousUserDefaultOurLineIsRemovedAgain)
{
    DesktopAssociationBackend backend(folders, program);
    // .mpg and .mpeg share their type: the second row finds it taken already.
    auto result = ApplyAssociationChoices(backend, {{".mpg", true}, {".mpeg", true}});
    ASSERT_TRUE(result.status.ok()) << result.status.errorText;
    EXPECT_EQ(result.fileTypes, ".mpg;.mpeg");
    EXPECT_EQ(ReadFile(userList()), "# my settings\n"
                                    "[Added Associations]\n"
                                    "text/plain=gedit.desktop;\n"
                                    "\n"
                                    "[Default Applications]\n"
                                    "video/x-msvideo = vlc.desktop;\n"
                                    "text/html=firefox.desktop\n"
                                    "video/mpeg=zuvora.desktop;\n"
                                    "\n"
                                    "[Removed Associations]\n"
                                    "image/png=gimp.desktop;\n");
    EXPECT_TRUE(backend.ReadRow(".mpeg").owned);

    result = ApplyAssociationChoices(backend, {{".mpg", false}, {".mpeg", false}});
    ASSERT_TRUE(result.status.ok()) << result.status.errorText;
    EXPECT_EQ(ReadFile(userList()), kUserList);
    EXPECT_EQ(backend.ReadRow(".mpeg").program, "mpv"); // the system default applies again
}

TEST_F(DesktopAssociationTest, CreatesTheUserListWhenThereIsNone)
{
    ASSERT_EQ(platform::RemoveFile(userList()), 0);
    DesktopAssociationBackend backend(folders, program);
    ASSERT_TRUE(backend.TakeOver(".avi").ok());
    EXPECT_EQ(ReadFile(userList()), "[Default Applications]\nvideo/x-msvideo=zuvora.desktop;\n");
    ASSERT_TRUE(backend.GiveBack(".avi").ok());
    EXPECT_EQ(ReadFile(userList()), "[Default Applications]\n");
    EXPECT_EQ(backend.ReadRow(".avi").program, "");
}

TEST_F(DesktopAssociationTest, OurDesktopFileStartsAsACopyOfTheInstalledMenuEntry)
{
    // The installed entry that our file in the data home hides from the menus.
    WriteFile(root.file("sys/applications/zuvora.desktop"),
              "[Desktop Entry]\nType=Application\nName=Zuvora\nName[de]=Zuvora (de)\n"
              "Exec=zuvora %f\nIcon=zuvora\nCategories=AudioVideo;Video;Player;\n"
              "MimeType=video/x-msvideo;video/mpeg;\n");
    DesktopAssociationBackend backend(folders, program);
    ASSERT_TRUE(backend.TakeOver(".mpg").ok());
    ASSERT_TRUE(backend.TakeOver(".mkv").ok());
    const std::string copied = "[Desktop Entry]\nType=Application\nName=Zuvora\n"
                               "Name[de]=Zuvora (de)\nExec=" +
                               program + " %f\nIcon=zuvora\nCategories=AudioVideo;Video;Player;\n";
    EXPECT_EQ(ReadFile(ownDesktopFile()),
              copied + "MimeType=video/x-msvideo;video/mpeg;video/x-user-mkv;\n");
    EXPECT_TRUE(backend.ReadRow(".mpeg").owned);

    // Giving back keeps the types the program declares anyway.
    ASSERT_TRUE(backend.GiveBack(".mpg").ok());
    ASSERT_TRUE(backend.GiveBack(".mkv").ok());
    EXPECT_EQ(ReadFile(ownDesktopFile()), copied + "MimeType=video/x-msvideo;video/mpeg;\n");
    EXPECT_EQ(backend.ReadRow(".mpg").program, "mpv");
    EXPECT_EQ(ReadFile(userList()), kUserList);
}

TEST_F(DesktopAssociationTest, ExtensionWithoutFileTypeCannotBeTakenOver)
{
    DesktopAssociationBackend backend(folders, program);
    for (const AssociationStatus& status : {backend.TakeOver(".xyz"), backend.GiveBack(".xyz")}) {
        EXPECT_EQ(status.error, kNoFileTypeError);
        EXPECT_NE(status.errorText.find("no file type"), std::string::npos);
        EXPECT_NE(status.errorText.find("\".xyz\""), std::string::npos);
    }
    const auto result = ApplyAssociationChoices(backend, {{".xyz", true}, {".avi", true}});
    EXPECT_EQ(result.status.error, kNoFileTypeError);
    EXPECT_EQ(result.fileTypes, "");
    EXPECT_EQ(ReadFile(userList()), kUserList);
    EXPECT_FALSE(ReadFile(ownDesktopFile()).has_value());
}

TEST_F(DesktopAssociationTest, UnreadableOrOversizedUserListIsNeverReplaced)
{
    DesktopAssociationBackend backend(folders, program);
    std::string huge = "[Default Applications]\n";
    huge.append(DesktopAssociationBackend::kMaxListFileBytes, '#');
    WriteFile(userList(), huge);
    AssociationStatus status = backend.TakeOver(".avi");
    EXPECT_EQ(status.error, EFBIG);
    EXPECT_NE(status.errorText.find(userList()), std::string::npos);
    EXPECT_EQ(backend.ReadRow(".avi").status.error, EFBIG);
    EXPECT_EQ(ReadFile(userList()), huge);
    EXPECT_FALSE(ReadFile(ownDesktopFile()).has_value());

    // A folder in its place cannot be read, even by root.
    ASSERT_EQ(platform::RemoveFile(userList()), 0);
    WriteFile(userList() + "/keep", "");
    EXPECT_EQ(backend.TakeOver(".avi").error, EISDIR);
    EXPECT_EQ(backend.GiveBack(".avi").error, EISDIR);
    EXPECT_FALSE(ReadFile(ownDesktopFile()).has_value());
}

TEST_F(DesktopAssociationTest, ADesktopSpecificDefaultThatWinsIsReported)
{
    folders.currentDesktops = {"test"};
    WriteFile(root.file("config/test-mimeapps.list"),
              "[Default Applications]\nvideo/x-msvideo=vlc.desktop\n");
    DesktopAssociationBackend backend(folders, program);
    const AssociationStatus status = backend.TakeOver(".avi");
    EXPECT_EQ(status.error, kOverriddenDefaultError);
    EXPECT_NE(status.errorText.find("test-mimeapps.list"), std::string::npos);
    EXPECT_FALSE(backend.ReadRow(".avi").owned);
}

TEST_F(DesktopAssociationTest, XdgMimeAgreesWithWhatWeWrote)
{
    if (!XdgMimeDefault("video/x-msvideo"))
        GTEST_SKIP() << "xdg-mime is not installed";
    EXPECT_EQ(XdgMimeDefault("video/x-msvideo"), "vlc.desktop");
    DesktopAssociationBackend backend(folders, program);
    ASSERT_TRUE(backend.TakeOver(".avi").ok());
    EXPECT_EQ(XdgMimeDefault("video/x-msvideo"), "zuvora.desktop");
    ASSERT_TRUE(backend.GiveBack(".avi").ok());
    EXPECT_EQ(XdgMimeDefault("video/x-msvideo"), "vlc.desktop");
}

TEST(DesktopExec, ProgramPathsSurviveQuotingAndEscaping)
{
    EXPECT_EQ(DesktopExecProgram("/usr/bin/zuvora"), "/usr/bin/zuvora");
    EXPECT_EQ(DesktopExecProgram("/opt/my apps/zuvora"), "\"/opt/my apps/zuvora\"");
    EXPECT_EQ(DesktopExecProgram("/100%/zuvora"), "/100%%/zuvora");
    EXPECT_EQ(DesktopExecProgram("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(DesktopExecProgram("/a$b"), "\"/a\\\\$b\"");
    for (const std::string path : {"/usr/bin/zuvora", "/opt/my apps/zuvora", "/a\"b/$x`y\\z",
                                   "/100% sure/zuvora", "/new\nline/z", "/tab\there"})
        EXPECT_EQ(ExecValueProgram(DesktopExecProgram(path) + " %f"), path) << path;
    EXPECT_EQ(ExecValueProgram("env FOO=1 vlc %U"), "env");
    EXPECT_EQ(ExecValueProgram("  "), "");
}

TEST(KeyFileText, EditsOnlyTheLinesTheyTouch)
{
    // Line ends of the file are followed; a last line without line end gets one only when needed.
    std::string text = "[A]\r\nx=1\r\n\r\n[B]\r\ny=2";
    SetKeyFileValue(text, "A", "z", "3");
    SetKeyFileValue(text, "B", "w", "4");
    EXPECT_EQ(text, "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\nw=4");
    EXPECT_TRUE(RemoveKeyFileValue(text, "B", "w", false));
    EXPECT_TRUE(RemoveKeyFileValue(text, "A", "z", false));
    EXPECT_EQ(text, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");

    // Group names and keys are case-sensitive; comments and look-alike keys are no match.
    text = "[a]\nk=1\n[A]\n#k=2\nkk=3\n";
    EXPECT_EQ(KeyFileValue(text, "A", "k"), std::nullopt);
    SetKeyFileValue(text, "A", "k", "4");
    EXPECT_EQ(text, "[a]\nk=1\n[A]\n#k=2\nkk=3\nk=4\n");
    EXPECT_FALSE(RemoveKeyFileValue(text, "C", "k", true));

    // A group emptied with dropEmptyGroup goes, in the middle of a file without its neighbours'
    // blank lines.
    text = "[A]\nx=1\n\n[G]\nk=v\n\n[B]\ny=2\n";
    EXPECT_TRUE(RemoveKeyFileValue(text, "G", "k", true));
    EXPECT_EQ(text, "[A]\nx=1\n\n[B]\ny=2\n");

    EXPECT_EQ(UnescapeKeyFileString(EscapeKeyFileString(" a\\b\nc\td\r")), " a\\b\nc\td\r");
    EXPECT_EQ(UnescapeKeyFileString("\\q"), "\\q");
}

TEST(DesktopFolders, FollowTheEnvironmentAndIgnoreRelativePaths)
{
    ScopedEnv home("HOME", "/home/anna");
    ScopedEnv dataHome("XDG_DATA_HOME", "relative/data");
    ScopedEnv dataDirs("XDG_DATA_DIRS", "/one::relative:/two/");
    ScopedEnv configHome("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv configDirs("XDG_CONFIG_DIRS", std::nullopt);
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "GNOME:Unity");
    const DesktopFolders folders = DesktopFolders::FromEnvironment();
    EXPECT_EQ(folders.dataHome, "/home/anna/.local/share/");
    EXPECT_EQ(folders.dataDirs, (std::vector<std::string>{"/one/", "/two/"}));
    EXPECT_EQ(folders.configHome, "/home/anna/.config/");
    EXPECT_EQ(folders.configDirs, std::vector<std::string>{"/etc/xdg/"});
    EXPECT_EQ(folders.currentDesktops, (std::vector<std::string>{"gnome", "unity"}));

    ScopedEnv noDataDirs("XDG_DATA_DIRS", std::nullopt);
    EXPECT_EQ(DesktopFolders::FromEnvironment().dataDirs,
              (std::vector<std::string>{"/usr/local/share/", "/usr/share/"}));
}
