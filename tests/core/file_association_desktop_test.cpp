#include "fileassoc/association_backend.h"
#include "fileassoc/desktop_association.h"
#include "fileassoc/key_file_text.h"
#include "fileassoc/mime_database.h"
#include "platform/file_system.h"
#include "support/test_support.h"
#include "support/write_faults.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zuv;
using namespace std::string_literals;
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
    EXPECT_EQ(row.program, "VLC"); // the entry's Name
    EXPECT_EQ(row.fileType, "video/x-msvideo");
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

    EXPECT_EQ(ReadFile(ownDesktopFile()),
              "[Desktop Entry]\nType=Application\nName=Zuvora\nExec=" + program +
                  " %f\nMimeType=video/x-msvideo;\nX-Zuvora-Created=true\n");
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
    EXPECT_EQ(row.program, "Zuvora");

    // A copy in another folder (reached through a link here) does not own it, and taking it
    // over keeps the default saved the first time.
    WriteExecutable(root.file("copy/zuvora"));
    ASSERT_EQ(::symlink(root.file("copy/zuvora").c_str(), root.file("copy-link").c_str()), 0);
    DesktopAssociationBackend copy(folders, root.file("copy-link"));
    EXPECT_FALSE(copy.ReadRow(".avi").owned);
    ASSERT_TRUE(copy.TakeOver(".avi").ok());
    EXPECT_TRUE(copy.ReadRow(".avi").owned);
    EXPECT_FALSE(backend.ReadRow(".avi").owned);
    ASSERT_TRUE(backend.TakeOver(".avi").ok());
    EXPECT_EQ(KeyFileValue(*ReadFile(userList()), "X-Zuvora Previous Defaults", "video/x-msvideo"),
              " vlc.desktop;");

    ASSERT_TRUE(backend.GiveBack(".avi").ok());
    EXPECT_EQ(ReadFile(userList()), kUserList);
    row = backend.ReadRow(".avi");
    EXPECT_FALSE(row.owned);
    EXPECT_EQ(row.program, "VLC");
    EXPECT_FALSE(ReadFile(ownDesktopFile())); // ours, and no type is ours any more
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
                                    "image/png=gimp.desktop;\n"
                                    "\n"
                                    "[X-Zuvora Previous Defaults]\n"
                                    "video/mpeg=\n");
    EXPECT_TRUE(backend.ReadRow(".mpeg").owned);

    // One row of the type still checked keeps the whole type.
    result = ApplyAssociationChoices(backend, {{".mpg", false}, {".mpeg", true}});
    ASSERT_TRUE(result.status.ok()) << result.status.errorText;
    EXPECT_TRUE(backend.ReadRow(".mpg").owned);

    result = ApplyAssociationChoices(backend, {{".mpg", false}, {".mpeg", false}});
    ASSERT_TRUE(result.status.ok()) << result.status.errorText;
    EXPECT_EQ(ReadFile(userList()), kUserList);
    EXPECT_EQ(backend.ReadRow(".mpeg").program, "mpv"); // the system default applies again
}

TEST_F(DesktopAssociationTest, CreatesTheUserListWhenThereIsNone)
{
    ASSERT_EQ(platform::RemoveFile(userList()), std::error_code());
    DesktopAssociationBackend backend(folders, program);
    ASSERT_TRUE(backend.TakeOver(".avi").ok());
    EXPECT_EQ(ReadFile(userList()), "[Default Applications]\nvideo/x-msvideo=zuvora.desktop;\n"
                                    "\n[X-Zuvora Previous Defaults]\nCreated=file\n"
                                    "video/x-msvideo=\n");
    ASSERT_TRUE(backend.GiveBack(".avi").ok());
    EXPECT_FALSE(ReadFile(userList()));
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
              copied + "MimeType=video/x-msvideo;video/mpeg;video/x-user-mkv;"
                       "\nX-Zuvora-Created=true\n");
    EXPECT_TRUE(backend.ReadRow(".mpeg").owned);

    // Giving back keeps the types the program declares anyway.
    ASSERT_TRUE(backend.GiveBack(".mpg").ok());
    ASSERT_TRUE(backend.GiveBack(".mkv").ok());
    EXPECT_FALSE(ReadFile(ownDesktopFile())); // the installed entry shows again
    EXPECT_EQ(backend.ReadRow(".mpg").program, "mpv");
    EXPECT_EQ(ReadFile(userList()), kUserList);
}

TEST_F(DesktopAssociationTest, ARowThatGetsNoFileTypeIsReportedAndTheOthersGoOn)
{
    DesktopAssociationBackend backend(folders, program);
    // No safe glob or MIME type can be made of these names.
    const auto result = ApplyAssociationChoices(
        backend, {{".x?z", true}, {".avi", true}, {".", true}, {".mpg", false}});
    EXPECT_EQ(result.status.error, ZuvoraError::NoFileType);
    EXPECT_NE(result.status.errorText.find("\".x?z\""), std::string::npos);
    EXPECT_NE(result.status.errorText.find("\".\""), std::string::npos);
    EXPECT_TRUE(result.listKept);
    EXPECT_EQ(result.fileTypes, ".x?z;.avi;.;.mpg");
    EXPECT_TRUE(backend.ReadRow(".avi").owned);
    EXPECT_FALSE(ReadFile(root.file("data/mime/packages/zuvora-x?z.xml")));
}

// Files we edit that are no plain key file we can change line by line, or that may not be
// written: each is left byte for byte with a message naming it, and a CR LF file is edited
// keeping its line ends.
TEST_F(DesktopAssociationTest, FilesWeCannotEditStayAsTheyAreWithAMessage)
{
    std::string huge = "[Default Applications]\n";
    huge.append(DesktopAssociationBackend::kMaxListFileBytes, '#');
    const std::string entry = "[Desktop Entry]\nType=Application\nName=Mine\nExec=zuvora %f\n";
    struct Attack
    {
        const char* name;
        bool desktopEntry; // else the user's mimeapps.list
        std::string text;
        const char* message; // in the error text; none: the edit goes through
    };
    const Attack attacks[] = {
        {"huge list", false, huge, "large"},
        {"binary list", false, "[Default Applications]\n\0\xff\xfe"s, "/mimeapps.list"},
        {"duplicate group", false,
         "[Default Applications]\na/b=x.desktop\n[Default Applications]\nvideo/x-msvideo=y\n",
         "[Default Applications]"},
        {"read-only list", false, kUserList, "/mimeapps.list"},
        {"CR LF list", false, "[Default Applications]\r\ntext/html=firefox.desktop\r\n", nullptr},
        {"CR LF list without final line end", false,
         "[Added Associations]\r\ntext/html=firefox.desktop", nullptr},
        {"huge entry", true, entry + std::string(2 * 1024 * 1024, '#'), "large"},
        {"binary entry", true, entry + "Comment=\xc3\x28\n", "zuvora.desktop"},
        {"duplicate entry group", true, entry + "[Desktop Entry]\nName=Other\n", "[Desktop Entry]"},
        {"read-only entry", true, entry, "zuvora.desktop"},
        {"CR LF entry", true, "[Desktop Entry]\r\nType=Application\r\nName=Mine\r\n", nullptr},
    };
    for (const Attack& attack : attacks) {
        SCOPED_TRACE(attack.name);
        const std::string target = attack.desktopEntry ? ownDesktopFile() : userList();
        WriteFile(userList(), kUserList);
        platform::RemoveFile(ownDesktopFile());
        WriteFile(target, attack.text);
        const std::string other = attack.desktopEntry ? userList() : ownDesktopFile();
        const auto otherBefore = ReadFile(other);
        std::optional<test::ImmutableFolder> frozen;
        if (std::string(attack.name).starts_with("read-only")) {
            frozen.emplace(target.substr(0, target.rfind('/')));
            if (!frozen->Active())
                ::chmod(target.c_str(), 0444); // for a user other than root
        }
        DesktopAssociationBackend backend(folders, program);
        const AssociationStatus status = backend.TakeOver(".avi");
        frozen.reset();
        ::chmod(target.c_str(), 0644);
        if (!attack.message) {
            ASSERT_TRUE(status.ok()) << status.errorText;
            const std::string edited = *ReadFile(target);
            EXPECT_EQ(edited.find('\n'), edited.find("\r\n") + 1) << "line ends kept";
            EXPECT_EQ(std::count(edited.begin(), edited.end(), '\n'),
                      std::count(edited.begin(), edited.end(), '\r'));
            EXPECT_TRUE(backend.ReadRow(".avi").owned);
            ASSERT_TRUE(backend.GiveBack(".avi").ok());
            if (!attack.desktopEntry) {
                EXPECT_EQ(ReadFile(target), attack.text);
            }
            continue;
        }
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.errorText.find(attack.message), std::string::npos) << status.errorText;
        EXPECT_EQ(ReadFile(target), attack.text);
        EXPECT_EQ(ReadFile(other), otherBefore);
        EXPECT_FALSE(backend.ReadRow(".avi").owned);
    }

    // A folder in its place cannot be read, even by root.
    ASSERT_EQ(platform::RemoveFile(userList()), std::error_code());
    WriteFile(userList() + "/keep", "");
    DesktopAssociationBackend backend(folders, program);
    EXPECT_EQ(backend.TakeOver(".avi").error, platform::SystemError(EISDIR));
    EXPECT_EQ(backend.GiveBack(".avi").error, platform::SystemError(EISDIR));
    EXPECT_EQ(backend.ReadRow(".avi").status.error, platform::SystemError(EISDIR));
}

TEST_F(DesktopAssociationTest, ADesktopSpecificDefaultThatWinsIsReported)
{
    folders.currentDesktops = {"test"};
    WriteFile(root.file("config/test-mimeapps.list"),
              "[Default Applications]\nvideo/x-msvideo=vlc.desktop\n");
    DesktopAssociationBackend backend(folders, program);
    const AssociationStatus status = backend.TakeOver(".avi");
    EXPECT_EQ(status.error, ZuvoraError::OverriddenDefault);
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

namespace {

// Every file below a folder, with its content: what the user would find. Folders made on the
// way (~/.config, ~/.local/share/applications) stay, as every desktop program leaves them.
std::map<std::string, std::string> FolderFiles(const std::string& folder)
{
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        if (!entry.is_directory())
            files[entry.path().string().substr(folder.size())] =
                ReadFile(entry.path().string()).value();
    }
    return files;
}

// The real desktop: the system's MIME database and desktop tools, another media player
// installed in a data folder before the system's, and a home of its own.
struct RealDesktopCase
{
    const char* name;
    bool usedHome; // the user has a mimeapps.list of their own
    const char* extensions;
    const char* program = "opt/zuvora"; // where this program lies below the test's root
};

class RealDesktopTest : public ::testing::TestWithParam<RealDesktopCase>
{
protected:
    void SetUp() override
    {
        for (const char* tool :
             {"xdg-mime", "gio", "update-mime-database", "update-desktop-database"}) {
            if (::access(("/usr/bin/"s + tool).c_str(), X_OK) != 0)
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps)";
        }
        folders.dataHome = home() + ".local/share/";
        folders.configHome = home() + ".config/";
        folders.dataDirs = {root.file("sys/"), "/usr/share/"};
        folders.configDirs = {root.file("etc/")};
        WriteExecutable(root.file("bin/player"));
        // Our program notes what it was started with, for the start through GIO below.
        WriteFile(root.file(GetParam().program),
                  "#!/bin/sh\necho \"$@\" > '" + root.file("started") + "'\n");
        ::chmod(root.file(GetParam().program).c_str(), 0755);
        WriteFile(root.file("sys/applications/player.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Other Player\nExec=" +
                      root.file("bin/player") +
                      " %U\nMimeType=video/x-msvideo;video/mpeg;video/x-ms-wmv;"
                      "application/vnd.ms-asf;video/quicktime;application/vnd.rn-realmedia;\n");
        ASSERT_EQ(std::system(
                      ("update-desktop-database '" + root.file("sys/applications") + "'").c_str()),
                  0);
        if (GetParam().usedHome)
            WriteFile(folders.configHome + "mimeapps.list",
                      "# mine\n[Added Associations]\ntext/plain=player.desktop;\n\n"
                      "[Default Applications]\nvideo/quicktime=player.desktop\n");
        WriteFile(home() + "notes.txt", "untouched");
    }

    std::string home() const { return root.file("home/"); }

    // The first line of a tool's answer, run in our home.
    std::string Tool(const std::string& arguments) const
    {
        const std::string command =
            "env -i PATH=/usr/bin:/bin HOME='" + home() + "' XDG_DATA_HOME='" + folders.dataHome +
            "' XDG_DATA_DIRS='" + folders.dataDirs[0] + ":" + folders.dataDirs[1] +
            "' XDG_CONFIG_HOME='" + folders.configHome + "' XDG_CONFIG_DIRS='" +
            folders.configDirs[0] + "' " + arguments + " 2>/dev/null";
        FILE* pipe = ::popen(command.c_str(), "r");
        std::string output;
        char buffer[4096];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe) && output.empty())
            output = buffer;
        if (pipe)
            ::pclose(pipe);
        while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
            output.pop_back();
        return output;
    }

    // What xdg-mime and gio open the type with, as desktop file ids ("" for nothing).
    std::pair<std::string, std::string> ToolDefaults(const std::string& mimeType) const
    {
        std::string gio = Tool("gio mime " + mimeType);
        gio = gio.starts_with("Default application") ? gio.substr(gio.rfind(' ') + 1) : "";
        return {Tool("xdg-mime query default " + mimeType), gio};
    }

    // Our reading and the window's row agree on every row, and both tools on the rows of
    // `askedType` (every type when empty: a tool run costs half a second).
    void ExpectAgreement(DesktopAssociationBackend& backend,
                         const std::vector<std::string>& extensions, const std::string& step,
                         const std::string& askedType = {})
    {
        std::set<std::string> asked;
        for (const std::string& extension : extensions) {
            SCOPED_TRACE(step + " " + extension);
            const AssociationRowState row = backend.ReadRow(extension);
            ASSERT_TRUE(row.status.ok()) << row.status.errorText;
            if (row.fileType.empty()) {
                EXPECT_EQ(row.program, "");
                continue;
            }
            const std::string ours = FindDefaultApplication(folders, row.fileType).desktopId;
            if ((askedType.empty() || askedType == row.fileType) &&
                asked.insert(row.fileType).second) {
                const auto [xdgMime, gio] = ToolDefaults(row.fileType);
                EXPECT_EQ(xdgMime, ours);
                EXPECT_EQ(gio, ours);
                RecordProperty(step + " " + row.fileType, "xdg-mime " + xdgMime + ", gio " + gio);
            }
            EXPECT_EQ(row.owned, ours == "zuvora.desktop");
            EXPECT_EQ(row.program, ours == "zuvora.desktop" ? "Zuvora"
                                   : ours.empty()           ? ""
                                                            : "Other Player");
        }
    }

    TempDir root;
    DesktopFolders folders;
};

} // namespace

// For every row of the default list and an unknown extension: one row of its type checked, the
// whole type, nothing. Each OK decides for the whole type, the tools agree with the window
// after each, and after the last the user's files are what they were.
TEST_P(RealDesktopTest, ToolsAgreeAfterEveryOkAndGivingBackRestoresTheFiles)
{
    const std::string allRows = ".avi;.mpg;.mpeg;.mpe;.wmv;.asf;.mov;.qt;.rm;.rmvb;.xyz";
    const std::vector<std::string> extensions = SplitFileTypes(allRows);
    DesktopAssociationBackend backend(folders, root.file(GetParam().program));
    ExpectAgreement(backend, extensions, "before");
    EXPECT_EQ(backend.ReadRow(".avi").program, "Other Player");
    const auto before = FolderFiles(home());

    const auto choices = [&](const std::function<bool(const std::string&)>& checked) {
        std::vector<AssociationChoice> rows;
        for (const std::string& extension : extensions)
            rows.push_back({extension, checked(extension)});
        return rows;
    };
    for (const std::string& extension : SplitFileTypes(GetParam().extensions)) {
        SCOPED_TRACE(extension);
        auto result = ApplyAssociationChoices(
            backend, choices([&](const std::string& row) { return row == extension; }));
        ASSERT_TRUE(result.status.ok()) << result.status.errorText;
        EXPECT_EQ(result.fileTypes, allRows);
        const std::string fileType = backend.ReadRow(extension).fileType;
        ASSERT_FALSE(fileType.empty());
        for (const std::string& row : extensions)
            EXPECT_EQ(backend.ReadRow(row).owned, backend.ReadRow(row).fileType == fileType) << row;
        ExpectAgreement(backend, extensions, "one row", fileType);
        if (extension == ".avi") { // GIO starts the program our entry names, with the file
            std::remove(root.file("started").c_str());
            Tool("gio launch '" + backend.OwnDesktopFile() + "' '" + root.file("film.avi") + "'");
            for (int wait = 0; wait < 50 && !std::filesystem::exists(root.file("started")); ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(platform::ReadWholeFile(root.file("started"), 4096).data,
                      root.file("film.avi") + "\n");
        }

        result = ApplyAssociationChoices(backend, choices([&](const std::string& row) {
                                             return backend.ReadRow(row).fileType == fileType;
                                         }));
        ASSERT_TRUE(result.status.ok()) << result.status.errorText;
        ExpectAgreement(backend, extensions, "whole type", fileType);

        result =
            ApplyAssociationChoices(backend, choices([](const std::string&) { return false; }));
        ASSERT_TRUE(result.status.ok()) << result.status.errorText;
        ExpectAgreement(backend, extensions, "given back", fileType);
        if (backend.ReadRow(extension).fileType.empty()) { // our own type is gone with it
            const auto [xdgMime, gio] = ToolDefaults(fileType);
            EXPECT_EQ(xdgMime, "");
            EXPECT_EQ(gio, "");
            RecordProperty("given back " + fileType, "xdg-mime " + xdgMime + ", gio " + gio);
        }
        EXPECT_EQ(FolderFiles(home()), before);
    }
    ExpectAgreement(backend, extensions, "after");
}

// Every row in a fresh home; in a home with a list of its own, a type it names, one it does
// not, and a type of our own.
INSTANTIATE_TEST_SUITE_P(
    , RealDesktopTest,
    testing::Values(RealDesktopCase{"FreshHome", false,
                                    ".avi;.mpg;.mpeg;.mpe;.wmv;.asf;.mov;.qt;.rm;.rmvb;.xyz"},
                    RealDesktopCase{"UsedHome", true, ".qt;.mpe;.xyz"},
                    RealDesktopCase{"PercentInProgramPath", false, ".avi;.xyz",
                                    "opt/100% sure/zuvora"}),
    [](const testing::TestParamInfo<RealDesktopCase>& param) { return param.param.name; });

TEST(DesktopExec, ProgramPathsSurviveQuotingAndEscaping)
{
    EXPECT_EQ(DesktopExecProgram("/usr/bin/zuvora"), "/usr/bin/zuvora");
    EXPECT_EQ(DesktopExecProgram("/opt/my apps/zuvora"), "\"/opt/my apps/zuvora\"");
    // GIO and xdg-mime look for the first word as written: a path holding "%" goes after env.
    EXPECT_EQ(DesktopExecProgram("/100%/zuvora"), "env /100%%/zuvora");
    EXPECT_EQ(DesktopExecProgram("/100%/a=b/zuvora"), ""); // env would take it for a setting
    EXPECT_EQ(DesktopExecProgram("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(DesktopExecProgram("/a$b"), "\"/a\\\\$b\"");
    for (const std::string path : {"/usr/bin/zuvora", "/opt/my apps/zuvora", "/a\"b/$x`y\\z",
                                   "/100% sure/zuvora", "/new\nline/z", "/tab\there"})
        EXPECT_EQ(ExecValueProgram(DesktopExecProgram(path) + " %f"), path) << path;
    EXPECT_EQ(ExecValueProgram("env FOO=1 vlc %U"), "env");
    EXPECT_EQ(ExecValueProgram("env -i vlc %U"), "env");
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
