#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/system_utils.h"
#include "platform/version_info.h"
#include "platform/zuvora_error.h"
#include "support/test_support.h"
#include "util/number_format.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>
#include <locale>
#ifndef _WIN32
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace zuv;
using zuv::test::ScopedEnv;

#ifdef _WIN32

TEST(HomeFolder, UserProfileThenHomeDriveAndPathThenEmpty)
{
    ScopedEnv profile("USERPROFILE", "C:\\Users\\Anna");
    ScopedEnv drive("HOMEDRIVE", "D:");
    ScopedEnv path("HOMEPATH", "\\Home\\anna\\");
    EXPECT_EQ(HomeFolder(), "C:\\Users\\Anna\\");
    EXPECT_TRUE(IsInHomeFolder("c:\\users\\anna\\zuv.ini"));
    EXPECT_FALSE(IsInHomeFolder("C:\\Users\\Anna\\sub\\zuv.ini"));
    {
        ScopedEnv noProfile("USERPROFILE", std::nullopt);
        EXPECT_EQ(HomeFolder(), "D:\\Home\\anna\\");
        ScopedEnv noSeparator("HOMEPATH", "\\Home\\bob");
        EXPECT_EQ(HomeFolder(), "D:\\Home\\bob\\");
        // Either half alone is taken as it is.
        ScopedEnv noDrive("HOMEDRIVE", std::nullopt);
        EXPECT_EQ(HomeFolder(), "\\Home\\bob\\");
    }
    ScopedEnv noProfile("USERPROFILE", std::nullopt);
    ScopedEnv noDrive("HOMEDRIVE", std::nullopt);
    ScopedEnv noPath("HOMEPATH", std::nullopt);
    EXPECT_EQ(HomeFolder(), "");
    EXPECT_FALSE(IsInHomeFolder("C:\\zuv.ini"));
}

#else

TEST(HomeFolder, FollowsTheXdgConfigFolder)
{
    ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(HomeFolder(), "/tmp/cfg/zuvora/");
    EXPECT_TRUE(IsInHomeFolder("/tmp/cfg/zuvora/zuv.ini"));
    // Linux names differ in letter case: /TMP is another folder.
    EXPECT_FALSE(IsInHomeFolder("/TMP/CFG/ZUVORA/zuv.ini"));
    EXPECT_FALSE(IsInHomeFolder("/tmp/cfg/Zuvora/zuv.ini"));
    EXPECT_FALSE(IsInHomeFolder("/tmp/cfg/zuvora/sub/zuv.ini"));
    EXPECT_FALSE(IsInHomeFolder("zuv.ini"));
}

TEST(HomeFolder, FallsBackToHomeThenEmpty)
{
    ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
    {
        ScopedEnv home("HOME", "/home/anna/");
        EXPECT_EQ(HomeFolder(), "/home/anna/.config/zuvora/");
    }
    ScopedEnv home("HOME", std::nullopt);
    EXPECT_EQ(HomeFolder(), "");
    EXPECT_FALSE(IsInHomeFolder("/zuv.ini"));
}

#endif

TEST(SharedProgramFolder, MarkedByTheInstallOrOwnedByAnotherUser)
{
    test::TempDir folder;
    EXPECT_FALSE(IsSharedProgramFolder(folder.path()));
    test::WriteFile(folder.file("installed"), "");
    EXPECT_TRUE(IsSharedProgramFolder(folder.path()));
    std::remove(folder.file("installed").c_str());
    EXPECT_FALSE(IsSharedProgramFolder(folder.path()));
#ifndef _WIN32
    // Root owns /usr/lib/zuvora; for everyone else it is another user's folder.
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    ASSERT_EQ(::chown(folder.path().c_str(), 65534, 65534), 0);
    EXPECT_TRUE(IsSharedProgramFolder(folder.path()));
    ASSERT_EQ(::chown(folder.path().c_str(), 0, 0), 0);
#endif
}

TEST(GetEnvVar, EmptyWhenUnset)
{
    ScopedEnv unset("ZUVORA_TEST_UNSET", std::nullopt);
    EXPECT_EQ(GetEnvVar("ZUVORA_TEST_UNSET"), "");
    ScopedEnv set("ZUVORA_TEST_SET", "x y");
    EXPECT_EQ(GetEnvVar("ZUVORA_TEST_SET"), "x y");
}

TEST(SystemErrorMessage, GivesTheSystemText)
{
#ifdef _WIN32
    // The system's text, its line break kept: Windows' or Wine's wording.
    const std::string text =
        platform::ErrorMessage(platform::SystemError(2)); // ERROR_FILE_NOT_FOUND
    EXPECT_TRUE(text == "The system cannot find the file specified.\r\n" ||
                text == "File not found.\r\n")
        << text;
    EXPECT_EQ(platform::ErrorMessage(platform::SystemError(0x7FFFFFF0)), ""); // no text for it
#else
    EXPECT_EQ(platform::ErrorMessage(platform::SystemError(ENOENT)), "No such file or directory");
#endif
    EXPECT_EQ(platform::ErrorMessage(platform::SystemError(0)), "");
}

TEST(FileVersionNumber, FormatsFixedVersion)
{
    platform::FixedFileVersion version{(1u << 16) | 2u, (3u << 16) | 4u, 0};
    EXPECT_EQ(FormatFileVersionNumber(version, true), "1.2.3");
    EXPECT_EQ(FormatFileVersionNumber(version, false), "1.2");
    version.fileFlags = platform::kVersionFlagPrerelease;
    EXPECT_EQ(FormatFileVersionNumber(version, true), "1.2.3 b");
}

TEST(FileVersionNumber, OwnExecutableHasTheBuildVersionOthersNone)
{
    const std::string expected =
        std::to_string(ZUVORA_VERSION_MAJOR) + "." + std::to_string(ZUVORA_VERSION_MINOR) + "." +
        std::to_string(ZUVORA_VERSION_PATCH) + (ZUVORA_PRERELEASE ? " b" : "");
#ifdef _WIN32
    // The test program carries the program's version resource.
    EXPECT_EQ(FileVersionNumber(platform::ProgramFile(), true), expected);
    EXPECT_EQ(FileVersionValue(platform::ProgramFile(), "FileVersion"), expected);
    EXPECT_EQ(FileVersionNumber("C:\\no\\such\\file.exe", true), "");
#else
    EXPECT_EQ(FileVersionNumber("/proc/self/exe", true), expected);
    EXPECT_EQ(FileVersionNumber("/bin/sh", true), "");
    EXPECT_EQ(FileVersionNumber("/no/such/file", true), "");
#endif
}

TEST(NumberFormat, ShortestDecimalWithPoint)
{
    EXPECT_EQ(FormatDecimal(2.5), "2.5");
    EXPECT_EQ(FormatDecimal(1.0), "1");
    EXPECT_EQ(FormatDecimal(3 * 0.1), "0.3");
    EXPECT_EQ(FormatDecimal(1 + 0.2 * 4), "1.8");
    EXPECT_EQ(FormatDecimal(-0.0), "0");
    EXPECT_EQ(FormatInteger(-5), "-5");
}

TEST(NumberFormat, IgnoresADecimalCommaLocale)
{
    // Whatever locale is installed, formatting and parsing keep the point.
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    for (const char* name : {"de_DE.UTF-8", "hu_HU.UTF-8", "de_DE", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, name))
            break;
    }
    EXPECT_EQ(FormatDecimal(1.6), "1.6");
    EXPECT_EQ(ParseDecimal("1.6"), 1.6);
    EXPECT_FALSE(ParseDecimal("1,6").has_value());
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(ParseInteger, DecimalHexAndRejects)
{
    EXPECT_EQ(ParseInteger("0x40"), 64);
    EXPECT_EQ(ParseInteger("0X1f"), 31);
    EXPECT_EQ(ParseInteger("-1"), -1);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    EXPECT_FALSE(ParseInteger("2147483648"));
    EXPECT_FALSE(ParseInteger("true"));
    EXPECT_FALSE(ParseInteger(""));
    EXPECT_FALSE(ParseInteger(" 80"));
    EXPECT_FALSE(ParseInteger("0x"));
    EXPECT_FALSE(ParseInteger("-"));
    EXPECT_FALSE(ParseInteger("12a"));
}

TEST(ParseDecimal, AcceptsOnlyPlainDecimals)
{
    EXPECT_EQ(ParseDecimal("3"), 3.0);
    EXPECT_EQ(ParseDecimal("-11.5"), -11.5);
    EXPECT_EQ(ParseDecimal(".5"), 0.5);
    EXPECT_EQ(ParseDecimal("1e1"), 10.0);
    EXPECT_FALSE(ParseDecimal(""));
    EXPECT_FALSE(ParseDecimal("."));
    EXPECT_FALSE(ParseDecimal("inf"));
    EXPECT_FALSE(ParseDecimal("nan"));
    EXPECT_FALSE(ParseDecimal("0x10"));
    EXPECT_FALSE(ParseDecimal("1e"));
    EXPECT_FALSE(ParseDecimal("1e999"));
    EXPECT_FALSE(ParseDecimal(" 1"));
}

#ifndef _WIN32
// Connecting where no session bus runs makes the D-Bus library launch one that outlives the
// program (given a display): the bus counts only with an address or the runtime folder's socket.
TEST(SessionBus, OnlyAnAddressOrTheRuntimeSocketCounts)
{
    test::TempDir runtime;
    const std::string socketPath = runtime.file("bus");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    struct Case
    {
        const char* name;
        std::optional<std::string> busAddress;
        std::optional<std::string> runtimeFolder;
        bool socket; // a socket at runtimeFolder/bus, else a plain file
        bool exists;
    };
    const Case cases[] = {
        {"address", "unix:path=/nowhere", std::nullopt, false, true},
        {"runtime socket", std::nullopt, runtime.path(), true, true},
        {"plain file named bus", std::nullopt, runtime.path(), false, false},
        {"display only", std::nullopt, std::nullopt, false, false},
        {"the address of no bus", "disabled:", std::nullopt, false, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ::unlink(socketPath.c_str());
        if (test.socket)
            ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        else
            test::WriteFile(socketPath, "");
        ScopedEnv display("DISPLAY", ":0");
        ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", test.busAddress);
        ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", test.runtimeFolder);
        EXPECT_EQ(platform::SessionBusExists(), test.exists);
        // Without a bus, the address of none is set, so that nothing launches one.
        platform::KeepSessionBusUnlaunched();
        EXPECT_EQ(platform::EnvironmentValue("DBUS_SESSION_BUS_ADDRESS"),
                  test.exists ? test.busAddress.value_or("") : "disabled:");
        EXPECT_EQ(platform::SessionBusExists(), test.exists);
    }
    ::close(listener);
}
#endif
