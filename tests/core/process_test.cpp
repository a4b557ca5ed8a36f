#include "platform/process.h"
#include "support/fake_player.h"
#include "support/test_support.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zuv;
using platform::ChildProcess;
using platform::ProcessLaunch;
using platform::ProcessStartStep;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFakePlayer;

namespace {

ProcessLaunch ShellLaunch(const std::string& script, int priorityPosition = 2)
{
    return {"/bin/sh", {"sh", "-c", script}, {}, priorityPosition};
}

std::string ReadAll(ChildProcess& process)
{
    std::string output;
    char buffer[1000];
    while (const std::size_t got = process.Read(buffer, sizeof buffer).size)
        output.append(buffer, got);
    return output;
}

// Output and exit code of a shell command run to its end.
std::pair<std::string, int> RunShell(const std::string& script, int priorityPosition = 2)
{
    ChildProcess process;
    EXPECT_FALSE(process.Start(ShellLaunch(script, priorityPosition)).failed());
    std::string output = ReadAll(process);
    return {std::move(output), process.WaitForExit().value_or(-1)};
}

bool ProcessGone(int pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

TEST(FindProgram, FirstFolderThenPathAndOnlyExecutableFiles)
{
    TempDir first;
    TempDir onPath;
    ScopedEnv path("PATH", "::" + onPath.path() + ":");
    WriteFakePlayer(onPath.path(), "exit 0");
    EXPECT_EQ(platform::FindProgram("mplayer", first.path()).path, onPath.file("mplayer"));
    WriteFakePlayer(first.path(), "exit 0");
    EXPECT_EQ(platform::FindProgram("mplayer", first.path()).path, first.file("mplayer"));

    // A file that may not be run is passed over; when nothing else is found, that is the error.
    ::chmod(first.file("mplayer").c_str(), 0644);
    EXPECT_EQ(platform::FindProgram("mplayer", first.path()).path, onPath.file("mplayer"));
    ::chmod(onPath.file("mplayer").c_str(), 0644);
    EXPECT_EQ(platform::FindProgram("mplayer", first.path()).error, std::errc::permission_denied);
    EXPECT_EQ(platform::FindProgram("no-such-player", first.path()).error,
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(platform::FindProgram("", first.path()).error, std::errc::no_such_file_or_directory);

    // A folder of that name is no program; a path is taken as it is.
    test::WriteFile(first.file("sub/x"), "");
    EXPECT_TRUE(platform::FindProgram("sub", first.path()).error);
    EXPECT_EQ(platform::FindProgram("/bin/sh", first.path()).path, "/bin/sh");
    EXPECT_EQ(platform::FindProgram(first.file("missing"), "").error,
              std::errc::no_such_file_or_directory);
}

TEST(ChildProcess, ProgramsThatCannotRunAreFailedStarts)
{
    TempDir folder;
    ChildProcess missing;
    auto error = missing.Start({folder.file("missing"), {"mplayer"}, {}, 2});
    EXPECT_EQ(error.step, ProcessStartStep::CreateProcess);
    EXPECT_EQ(error.error, std::errc::no_such_file_or_directory);

    const std::string notExecutable = WriteFakePlayer(folder.path(), "exit 0");
    ::chmod(notExecutable.c_str(), 0644);
    EXPECT_EQ(ChildProcess().Start({notExecutable, {"mplayer"}, {}, 2}).error,
              std::errc::permission_denied);

    // exec itself fails here: the interpreter is missing, or the file is no program at all.
    test::WriteFile(folder.file("bad-interpreter"), "#!/no/such/interpreter\n");
    ::chmod(folder.file("bad-interpreter").c_str(), 0755);
    EXPECT_EQ(ChildProcess().Start({folder.file("bad-interpreter"), {"x"}, {}, 2}).error,
              std::errc::no_such_file_or_directory);
    test::WriteFile(folder.file("garbage"), "\x01\x02 not a program\n");
    ::chmod(folder.file("garbage").c_str(), 0755);
    EXPECT_EQ(ChildProcess().Start({folder.file("garbage"), {"x"}, {}, 2}).error,
              std::errc::executable_format_error);

    EXPECT_EQ(ChildProcess().Start({"/bin/true", {"true"}, folder.file("no-folder"), 2}).error,
              std::errc::no_such_file_or_directory);
}

TEST(ChildProcess, JoinsOutputAndErrorAndRunsInTheWorkingFolder)
{
    TempDir folder;
    ChildProcess process;
    ASSERT_FALSE(process
                     .Start({"/bin/sh",
                             {"sh", "-c", "pwd; echo out; echo err >&2; printf 'a\\0b'", "x"},
                             folder.path(),
                             2})
                     .failed());
    EXPECT_EQ(ReadAll(process), folder.path().substr(0, folder.path().size() - 1) + "\nout\nerr\n" +
                                    std::string("a\0b", 3));
    EXPECT_EQ(process.WaitForExit(), 0);
}

TEST(ChildProcess, InheritsNoDescriptorButTheStandardStreams)
{
    TempDir folder;
    test::WriteFile(folder.file("marker"), "");
    // Opened without close-on-exec, as other code in the program might.
    const int opened = ::open(folder.file("marker").c_str(), O_RDONLY);
    const int marker = ::fcntl(opened, F_DUPFD, 100);
    ::close(opened);
    const auto [output, code] = RunShell("exec ls /proc/self/fd");
    ::close(marker);
    EXPECT_EQ(code, 0);
    // ls itself holds one descriptor for the folder it lists.
    int others = 0;
    for (std::size_t start = 0; start < output.size();) {
        const std::size_t end = output.find('\n', start);
        const int fd = std::stoi(output.substr(start, end - start));
        if (fd > 2)
            ++others;
        EXPECT_NE(fd, marker);
        start = end + 1;
    }
    EXPECT_EQ(others, 1) << output;
}

TEST(ChildProcess, ExitCodesAndSignals)
{
    EXPECT_EQ(RunShell("exit 0").second, 0);
    EXPECT_EQ(RunShell("exit 1").second, 1);
    EXPECT_EQ(RunShell("exit 255").second, 255);
    EXPECT_EQ(RunShell("kill -KILL $$").second, 128 + SIGKILL);
    EXPECT_EQ(RunShell("kill -TERM $$").second, 128 + SIGTERM);
}

TEST(ChildProcess, PriorityPositionsSetTheNiceValue)
{
    const int own = ::getpriority(PRIO_PROCESS, 0);
    EXPECT_EQ(RunShell("nice", 0).first, "19\n");
    EXPECT_EQ(RunShell("nice", 2).first, std::to_string(own) + "\n");
    if (own <= 10) {
        EXPECT_EQ(RunShell("nice", 1).first, "10\n");
    }
    // A raise needs a privilege; without it the player keeps the normal priority.
    const std::string raised = RunShell("nice", 3).first;
    EXPECT_TRUE(raised == "-5\n" || raised == std::to_string(own) + "\n") << raised;
}

TEST(ChildProcess, TerminateEndsTheRunWith255)
{
    ChildProcess process;
    ASSERT_FALSE(process.Start(ShellLaunch("echo started; exec sleep 30")).failed());
    char buffer[100];
    EXPECT_EQ(std::string(buffer, process.Read(buffer, sizeof buffer).size), "started\n");
    process.Terminate();
    process.Terminate();
    EXPECT_EQ(ReadAll(process), "");
    EXPECT_EQ(process.WaitForExit(), 255);
    // After the end it is harmless.
    process.Terminate();
    process.Kill();
}

TEST(ChildProcess, AChildThatIgnoresTerminateIsKilled)
{
    ChildProcess process;
    ASSERT_FALSE(process.Start(ShellLaunch("trap '' TERM; echo ready; exec sleep 30")).failed());
    char buffer[100];
    EXPECT_EQ(std::string(buffer, process.Read(buffer, sizeof buffer).size), "ready\n");
    process.Terminate();
    EXPECT_EQ(ReadAll(process), "");
    EXPECT_EQ(process.WaitForExit(), 255);
    EXPECT_TRUE(ProcessGone(process.ProcessId()));
}

TEST(ChildProcess, OutputEndsAfterTerminateEvenWhenAGrandchildHoldsThePipe)
{
    ChildProcess process;
    ASSERT_FALSE(process.Start(ShellLaunch("sleep 3 & echo ready; exec sleep 30")).failed());
    char buffer[100];
    EXPECT_EQ(std::string(buffer, process.Read(buffer, sizeof buffer).size), "ready\n");
    process.Terminate();
    EXPECT_EQ(ReadAll(process), "");
    EXPECT_EQ(process.WaitForExit(), 255);
}

TEST(ChildProcess, OutputEndsWithTheChildWhateverItsGrandchildDoesWithThePipe)
{
    struct Case
    {
        const char* name;
        const char* script;
    };
    // What the child itself wrote arrives whole; what a grandchild writes later does not count.
    const Case cases[] = {
        {"sleeping grandchild", "sleep 8 & printf 'line 1\\nlast'; exit 4"},
        // Ends with SIGPIPE once nobody reads any more.
        {"flooding grandchild", "(sleep 0.2; exec yes) & printf 'line 1\\nlast'; exit 4"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ChildProcess process;
        ASSERT_FALSE(process.Start(ShellLaunch(test.script)).failed());
        const auto started = std::chrono::steady_clock::now();
        std::string output;
        char buffer[1000];
        while (const std::size_t got = process.Read(buffer, sizeof buffer).size) {
            output.append(buffer, got);
            if (std::chrono::steady_clock::now() - started > std::chrono::seconds(10))
                break;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
        EXPECT_EQ(output.substr(0, 11), "line 1\nlast");
        EXPECT_LT(output.size(), 1024u * 1024);
        EXPECT_EQ(process.WaitForExit(), 4);
    }
}

TEST(ChildProcess, TerminateAfterTheChildEndedKeepsItsExitCode)
{
    ChildProcess process;
    ASSERT_FALSE(process.Start(ShellLaunch("exit 3")).failed());
    EXPECT_EQ(ReadAll(process), "");
    // Ended but not yet reaped.
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(process.ProcessId()), &info, WEXITED | WNOWAIT);
    process.Terminate();
    EXPECT_EQ(process.WaitForExit(), 3);
}

TEST(ChildProcess, WaitAndReadGiveUpAtTheirDeadline)
{
    const int pid = [] {
        ChildProcess process;
        EXPECT_FALSE(process.Start(ShellLaunch("exec sleep 30")).failed());
        char buffer[10];
        const auto soon = ChildProcess::Clock::now() + std::chrono::milliseconds(50);
        EXPECT_TRUE(process.Read(buffer, sizeof buffer, soon).timedOut);
        EXPECT_EQ(process.WaitForExit(soon), std::nullopt);
        return process.ProcessId();
    }();
    // Destroying it killed and reaped the child.
    EXPECT_TRUE(ProcessGone(pid));
}
