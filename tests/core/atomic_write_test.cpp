#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "support/test_support.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::TempDir;
using zuv::test::WriteFile;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Users who keep their settings as links into a dotfiles folder keep the links, and the dotfiles
// copy gets the new text.
TEST(AtomicWrite, FollowsLinksAndWritesNothingThroughBrokenOnes)
{
    struct Case
    {
        const char* name;
        std::string target; // the link's text, relative to the settings folder
        int error;
        const char* written; // the file that gets the text, relative to the dotfiles folder
    };
    const Case cases[] = {
        {"link into dotfiles", "../dotfiles/zuv.ini", 0, "zuv.ini"},
        {"link to a link", "chain", 0, "zuv.ini"},
        {"dangling link", "../dotfiles/missing/zuv.ini", ENOENT, nullptr},
        {"looping link", "zuv.ini", ELOOP, nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        TempDir root;
        const std::string settings = root.file("settings/");
        const std::string dotfiles = root.file("dotfiles/");
        WriteFile(dotfiles + "zuv.ini", "old");
        ASSERT_EQ(::chmod((dotfiles + "zuv.ini").c_str(), 0600), 0);
        fs::create_directories(settings);
        fs::create_symlink("../dotfiles/zuv.ini", settings + "chain");
        fs::create_symlink(test.target, settings + "zuv.ini");

        EXPECT_EQ(platform::WriteFileAtomically(settings + "zuv.ini", "new"),
                  platform::SystemError(test.error));
        EXPECT_TRUE(fs::is_symlink(settings + "zuv.ini"));
        EXPECT_EQ(fs::read_symlink(settings + "zuv.ini"), test.target);
        EXPECT_EQ(ReadFile(dotfiles + "zuv.ini"), test.written ? "new" : "old");
        if (test.written) {
            EXPECT_EQ(fs::status(dotfiles + "zuv.ini").permissions(), fs::perms(0600));
        }
        // No temporary file left in either folder.
        EXPECT_EQ(Entries(settings), (std::vector<std::string>{"chain", "zuv.ini"}));
        EXPECT_EQ(Entries(dotfiles), std::vector<std::string>{"zuv.ini"});
    }
}

// A write killed half-way (a signal, a power cut) leaves its temporary file; the next write of the
// same file clears it, but not one that another copy may be writing right now, nor strangers.
TEST(AtomicWrite, ClearsItsOwnLeftoversOfEarlierWrites)
{
    TempDir folder;
    const auto plant = [&](const std::string& name, std::time_t age) {
        WriteFile(folder.file(name), "partial");
        const timespec times[2] = {{std::time(nullptr) - age, 0}, {std::time(nullptr) - age, 0}};
        ::utimensat(AT_FDCWD, folder.file(name).c_str(), times, 0);
    };
    plant(".zuv.ini.a1B2c3", 3600);
    plant(".zuv.ini.d4E5f6", 0);
    plant(".zuv.ini.toolongname", 3600);
    plant(".playlist.txt.a1B2c3", 3600);
    plant("zuv.ini.a1B2c3", 3600);
    EXPECT_EQ(platform::WriteFileAtomically(folder.file("zuv.ini"), "text"), std::error_code());
    EXPECT_EQ(Entries(folder.path()),
              (std::vector<std::string>{".playlist.txt.a1B2c3", ".zuv.ini.d4E5f6",
                                        ".zuv.ini.toolongname", "zuv.ini", "zuv.ini.a1B2c3"}));
    EXPECT_EQ(ReadFile(folder.file("zuv.ini")), "text");
}

// Our own size cap is ours, not the system's EFBIG, yet its text is the one the error boxes
// showed for it before; what the system refuses keeps the system's code.
TEST(ReadWholeFile, TellsOurSizeCapFromSystemFailures)
{
    TempDir dir;
    WriteFile(dir.file("four"), "abcd");
    struct Case
    {
        const char* name;
        std::string path;
        std::error_code error;
        bool notFound;
    };
    const Case cases[] = {
        {"at the cap", dir.file("four"), {}, false},
        {"above the cap", dir.file("five"), ZuvoraError::TooLarge, false},
        {"folder", dir.path(), platform::SystemError(EISDIR), false},
        {"missing", dir.file("none"), platform::SystemError(ENOENT), true},
        {"file on the way", dir.file("four/x"), platform::SystemError(ENOTDIR), true},
    };
    WriteFile(dir.file("five"), "abcde");
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const platform::FileContent content = platform::ReadWholeFile(test.path, 4);
        EXPECT_EQ(content.error, test.error);
        EXPECT_EQ(platform::IsNotFoundError(content.error), test.notFound);
        EXPECT_EQ(content.data, test.error ? "" : "abcd");
    }
    const std::error_code tooLarge = ZuvoraError::TooLarge;
    EXPECT_NE(tooLarge, std::errc::file_too_large);
    EXPECT_EQ(platform::ErrorMessage(tooLarge), platform::SystemErrorMessage(EFBIG));
}

} // namespace
