#include "platform/zuvora_error.h"
#include "playback/exec_thread.h"
#include "support/fake_player.h"
#include "support/owner_thread.h"
#include "support/test_support.h"

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <dirent.h>
#include <gtest/gtest.h>
#include <mutex>

using namespace zuv;
using zuv::test::OwnerThread;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFakePlayer;
using Lines = std::vector<std::string>;

namespace {

// A run of a fake player in its own program folder, driven from the test thread.
class FakeRun
{
public:
    explicit FakeRun(std::string_view script) { WriteFakePlayer(m_folder.path(), script); }

    platform::ProcessStartError Start(const std::string& arguments = "", int priority = 2)
    {
        TExecThread::Handlers handlers;
        handlers.post = [this](std::function<void()> task) { m_owner.Post(std::move(task)); };
        handlers.lines = [this](Lines& batch) {
            lines.insert(lines.end(), batch.begin(), batch.end());
        };
        handlers.exited = [this](std::optional<int> code) { exitCode = code.value_or(-1); };
        auto started = TExecThread::Start({"mplayer" + arguments, priority, m_folder.path()},
                                          std::move(handlers));
        run = std::move(started.run);
        return started.error;
    }

    // Runs the owner's side until the run has reported its end.
    int Finish()
    {
        m_owner.RunUntil([this] { return exitCode.has_value(); });
        run.reset();
        return *exitCode;
    }

    void RunUntilLines(std::size_t count)
    {
        m_owner.RunUntil([&] { return lines.size() >= count; });
    }

    OwnerThread& owner() { return m_owner; }
    const std::string& folder() const { return m_folder.path(); }

    Lines lines;
    std::optional<int> exitCode;
    std::unique_ptr<TExecThread> run;

private:
    TempDir m_folder;
    OwnerThread m_owner;
};

std::size_t OpenDescriptorCount()
{
    std::size_t count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir))
            ++count;
        ::closedir(dir);
    }
    return count;
}

bool ProcessGone(int pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

TEST(TExecThread, DeliversCompleteLinesOnlyAndReportsTheExit)
{
    struct Case
    {
        const char* script;
        Lines lines;
        int exitCode;
    };
    const Case cases[] = {
        {"exit 0", {}, 0},
        {"printf 'one\\ntwo\\nno line end'; exit 1", {"one", "two"}, 1},
        {"printf 'a\\r\\nb\\r\\n'; exit 255", {"a", "b"}, 255},
        {"printf 'A: 1\\rA: 2\\rA: 3\\r\\nExiting\\n'", {"A: 3", "Exiting"}, 0},
        {"echo out; echo err >&2; kill -TERM $$", {"out", "err"}, 128 + SIGTERM},
    };
    for (const Case& c : cases) {
        FakeRun run(c.script);
        ASSERT_FALSE(run.Start().failed()) << c.script;
        EXPECT_EQ(run.Finish(), c.exitCode) << c.script;
        EXPECT_EQ(run.lines, c.lines) << c.script;
    }
}

TEST(TExecThread, PassesTheSplitArgumentsAndRunsInTheProgramFolder)
{
    FakeRun run("printf '[%s]\\n' \"$@\"; pwd");
    ASSERT_FALSE(run.Start(" \"two words\" x -sub \"C:\\a b\"").failed());
    EXPECT_EQ(run.Finish(), 0);
    const std::string folder = run.folder().substr(0, run.folder().size() - 1);
    EXPECT_EQ(run.lines, (Lines{"[two words]", "[x]", "[-sub]", "[C:\\a b]", folder}));
}

TEST(TExecThread, AHugeLineIsDeliveredInPiecesOfOneReadBlock)
{
    FakeRun run("head -c 150000 /dev/zero | tr '\\0' a; echo; echo after");
    ASSERT_FALSE(run.Start().failed());
    EXPECT_EQ(run.Finish(), 0);
    ASSERT_EQ(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0], std::string(64 * 1024, 'a'));
    EXPECT_EQ(run.lines[1], std::string(64 * 1024, 'a'));
    EXPECT_EQ(run.lines[2], std::string(150000 - 2 * 64 * 1024, 'a'));
    EXPECT_EQ(run.lines[3], "after");
}

TEST(TExecThread, ManyLinesArriveInOrder)
{
    FakeRun run("i=0; while [ $i -lt 20000 ]; do echo \"line $i\"; i=$((i+1)); done");
    ASSERT_FALSE(run.Start().failed());
    EXPECT_EQ(run.Finish(), 0);
    ASSERT_EQ(run.lines.size(), 20000u);
    for (std::size_t i = 0; i < run.lines.size(); ++i)
        ASSERT_EQ(run.lines[i], "line " + std::to_string(i));
}

TEST(TExecThread, FailedStartsNameTheStepAndTheSystemError)
{
    TempDir empty;
    ScopedEnv path("PATH", empty.path());
    TExecThread::Handlers handlers{[](std::function<void()>) {}, [](Lines&) {},
                                   [](std::optional<int>) {}};
    auto missing = TExecThread::Start({"mplayer -vo null", 2, empty.path()}, handlers);
    EXPECT_FALSE(missing.run);
    EXPECT_EQ(missing.error.step, platform::ProcessStartStep::CreateProcess);
    EXPECT_EQ(missing.error.error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(StartStepName(missing.error.step), "CreateProcess");
    EXPECT_EQ(StartStepName(platform::ProcessStartStep::CreatePipe), "CreatePipe");

    ::chmod(WriteFakePlayer(empty.path(), "exit 0").c_str(), 0644);
    auto notExecutable = TExecThread::Start({"mplayer", 2, empty.path()}, handlers);
    EXPECT_FALSE(notExecutable.run);
    EXPECT_EQ(notExecutable.error.error, std::errc::permission_denied);
}

TEST(TExecThread, FindsThePlayerOnThePathWhenTheProgramFolderHasNone)
{
    TempDir programFolder;
    TempDir onPath;
    WriteFakePlayer(onPath.path(), "echo from path");
    ScopedEnv path("PATH", onPath.path() + ":/usr/bin:/bin");
    OwnerThread owner;
    Lines lines;
    std::optional<int> exitCode;
    auto started = TExecThread::Start(
        {"mplayer", 2, programFolder.path()},
        {[&](std::function<void()> task) { owner.Post(std::move(task)); },
         [&](Lines& batch) { lines.insert(lines.end(), batch.begin(), batch.end()); },
         [&](std::optional<int> code) { exitCode = code.value_or(-1); }});
    ASSERT_TRUE(started.run);
    owner.RunUntil([&] { return exitCode.has_value(); });
    EXPECT_EQ(lines, Lines{"from path"});
}

TEST(TExecThread, PriorityPositionReachesThePlayer)
{
    FakeRun run("nice");
    ASSERT_FALSE(run.Start("", 0).failed());
    run.Finish();
    EXPECT_EQ(run.lines, Lines{"19"});
}

TEST(TExecThread, StopDuringOutputEndsTheRunWith255)
{
    FakeRun run("while :; do echo line; done");
    ASSERT_FALSE(run.Start().failed());
    run.RunUntilLines(1);
    run.run->Stop();
    EXPECT_EQ(run.Finish(), 255);
}

TEST(TExecThread, StopKillsAPlayerThatIgnoresTerminate)
{
    FakeRun run("trap '' TERM; echo ready; exec sleep 30");
    ASSERT_FALSE(run.Start().failed());
    run.RunUntilLines(1);
    const int pid = run.run->ProcessId();
    run.run->Stop();
    EXPECT_EQ(run.Finish(), 255);
    EXPECT_TRUE(ProcessGone(pid));
}

TEST(TExecThread, StopAfterTheEndIsHarmless)
{
    FakeRun run("exit 7");
    ASSERT_FALSE(run.Start().failed());
    run.owner().RunUntil([&] { return run.exitCode.has_value(); });
    run.run->Stop();
    EXPECT_EQ(run.Finish(), 7);
}

TEST(TExecThread, DestroyingARunningRunStopsItWithoutFurtherCalls)
{
    const std::size_t descriptorsBefore = OpenDescriptorCount();
    for (const char* script :
         {"while :; do echo flood; done", "trap '' TERM; echo ready; exec sleep 30"}) {
        FakeRun run(script);
        ASSERT_FALSE(run.Start().failed());
        run.RunUntilLines(1);
        // The worker now waits for its next hand-over, which this thread does not run.
        const int pid = run.run->ProcessId();
        run.run.reset();
        EXPECT_TRUE(ProcessGone(pid)) << script;
        const std::size_t linesSeen = run.lines.size();
        run.owner().RunPending();
        EXPECT_EQ(run.lines.size(), linesSeen);
        EXPECT_FALSE(run.exitCode.has_value());
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
}

TEST(TExecThread, RunsLeaveNoDescriptorsOrChildrenBehind)
{
    const std::size_t descriptorsBefore = OpenDescriptorCount();
    int pid = -1;
    {
        FakeRun run("echo one; exit 2");
        ASSERT_FALSE(run.Start().failed());
        pid = run.run->ProcessId();
        EXPECT_EQ(run.Finish(), 2);
    }
    EXPECT_TRUE(ProcessGone(pid));
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
}
