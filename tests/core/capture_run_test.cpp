#include "playback/capture_run.h"
#include "support/fake_player.h"
#include "support/test_support.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFakePlayer;

namespace {

bool ProcessGone(int pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// The first line of a capture: the fake player's process id.
int LeadingProcessId(const std::string& output)
{
    return std::stoi(output.substr(0, output.find('\n')));
}

} // namespace

TEST(CaptureRun, GivesTheWholeOutputAsItIs)
{
    TempDir folder;
    WriteFakePlayer(folder.path(), "printf 'ID_A=1\\r\\n'; echo \"$@\" >&2; printf 'tail'; exit 3");
    const CaptureFunction capture = PlayerCaptureFunction(folder.path());
    EXPECT_EQ(capture("mplayer -identify \"a b.avi\""), "ID_A=1\r\n-identify a b.avi\ntail");
}

TEST(CaptureRun, ThePlayerSeesItsNameAsWritten)
{
    TempDir folder;
    ASSERT_EQ(::symlink("/bin/cat", folder.file("mplayer").c_str()), 0);
    // cat shows its own argument list; the zero byte after the first argument ends the block.
    EXPECT_EQ(CaptureRun("mplayer /proc/self/cmdline", folder.path()), "mplayer");
}

TEST(CaptureRun, APlayerThatCannotStartGivesNone)
{
    TempDir folder;
    ScopedEnv path("PATH", folder.path());
    EXPECT_EQ(CaptureRun("mplayer -identify x", folder.path()), std::nullopt);
    ::chmod(WriteFakePlayer(folder.path(), "echo hi").c_str(), 0644);
    EXPECT_EQ(CaptureRun("mplayer -identify x", folder.path()), std::nullopt);
    EXPECT_EQ(CaptureRun("", folder.path()), std::nullopt);
}

TEST(CaptureRun, AZeroByteCutsOffTheRestOfItsBlockOnly)
{
    TempDir folder;
    // Two single writes: exactly one full block, then a short one; the reads can only split
    // them there.
    WriteFakePlayer(folder.path(), "perl -e 'syswrite STDOUT, \"x\" x 4095; "
                                   "syswrite STDOUT, \"ab\\0cd\\n\"'");
    EXPECT_EQ(CaptureRun("mplayer", folder.path()), std::string(4095, 'x') + "ab");
}

TEST(CaptureRun, AnOpenPlayerIsWaitedForOneSecondThenKilled)
{
    TempDir folder;
    WriteFakePlayer(folder.path(), "echo $$; echo done; exec >&- 2>&-; exec sleep 30");
    const std::optional<std::string> output = CaptureRun("mplayer", folder.path());
    ASSERT_TRUE(output);
    EXPECT_EQ(output->substr(output->find('\n') + 1), "done\n");
    EXPECT_TRUE(ProcessGone(LeadingProcessId(*output)));
}

TEST(CaptureRun, AHangingOrFloodingPlayerIsCutShort)
{
    TempDir folder;
    CaptureLimits limits;
    limits.totalTime = std::chrono::milliseconds(300);
    WriteFakePlayer(folder.path(), "echo $$; exec sleep 30");
    const std::optional<std::string> hanging = CaptureRun("mplayer", folder.path(), limits);
    ASSERT_TRUE(hanging);
    EXPECT_TRUE(ProcessGone(LeadingProcessId(*hanging)));

    limits = {};
    limits.maxOutputBytes = 100000;
    WriteFakePlayer(folder.path(), "echo $$; exec yes");
    const std::optional<std::string> flood = CaptureRun("mplayer", folder.path(), limits);
    ASSERT_TRUE(flood);
    EXPECT_EQ(flood->size(), 100000u);
    EXPECT_TRUE(ProcessGone(LeadingProcessId(*flood)));
}
