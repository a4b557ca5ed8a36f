// The single-instance hand-over below the windows: the protocol of both ends over a recording
// channel, the command-line text, the sender against real receivers, and the shared block and
// its lock against the real system. The receiver's socket, the windows and the program itself
// are tested in tests/gui/handover_test.cpp.
#include "app/handover.h"
#include "platform/handover_block.h"
#include "platform/handover_channel.h"
#include "platform/zuvora_error.h"
#include "support/test_support.h"

#include <future>
#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/process.h"
#include "platform/win32/windows_headers.h"
#else
#include "platform/local_socket.h"
#include "support/second_user.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace zuv;
using namespace std::string_literals;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using Clock = std::chrono::steady_clock;
using Arguments = std::vector<std::string>;
using Messages = std::vector<std::uint32_t>;

namespace {

std::string BlockText()
{
    return platform::ReadHandoverBlock(platform::HandoverBlockName(), 1 << 20).text;
}

// Each test has a runtime folder of its own for the block and its lock.
class Handover : public ::testing::Test
{
protected:
    TempDir m_runtime;
    ScopedEnv m_runtimeEnv{"XDG_RUNTIME_DIR", m_runtime.path()};
};

// --- The sender's steps --------------------------------------------------------------------

struct SenderCase
{
    const char* name;
    std::optional<std::uint32_t> query; // the reply to the query; none: no reply in time
    std::optional<std::uint32_t> files;
    Messages sent;
    bool taken;
};

TEST_F(Handover, TheSenderAsksFirstAndHandsTheBlockOverOnlyToACopyThatTakesFiles)
{
    const std::vector<SenderCase> cases{
        {"taken", 1, 1, {WM_HANDOVER_QUERY, WM_HANDOVER_FILES}, true},
        {"any number but 0 is a yes", 7, 2, {WM_HANDOVER_QUERY, WM_HANDOVER_FILES}, true},
        {"query refused", 0, 1, {WM_HANDOVER_QUERY}, false},
        {"query unanswered", std::nullopt, 1, {WM_HANDOVER_QUERY}, false},
        {"block not read", 1, 0, {WM_HANDOVER_QUERY, WM_HANDOVER_FILES}, false},
        {"files unanswered", 1, std::nullopt, {WM_HANDOVER_QUERY, WM_HANDOVER_FILES}, false},
    };
    const std::string commandLine = "zuvora \"/films/Egy film.avi\"";
    for (const SenderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Messages sent;
        std::vector<Clock::time_point> waits;
        std::string blockWhileAsked;
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
        const bool taken = HandOverThrough(
            [&](std::uint32_t message, Clock::time_point until) {
                sent.push_back(message);
                waits.push_back(until);
                blockWhileAsked = BlockText();
                return message == WM_HANDOVER_QUERY ? c.query : c.files;
            },
            commandLine, deadline);
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(sent, c.sent);
        // One time limit for the whole hand-over.
        EXPECT_EQ(waits, std::vector<Clock::time_point>(sent.size(), deadline));
        // The block lives exactly while the files message is handled.
        EXPECT_EQ(blockWhileAsked, sent.back() == WM_HANDOVER_FILES ? commandLine : "");
        EXPECT_NE(platform::ReadHandoverBlock(platform::HandoverBlockName(), 1 << 20).error,
                  std::error_code());
    }
}

TEST_F(Handover, ASenderWaitsForTheOneHandingOverAndGivesUpAtItsDeadline)
{
    auto held = platform::HandoverLock::Acquire(1000);
    ASSERT_TRUE(held);
    int asked = 0;
    const auto ask = [&](std::uint32_t, Clock::time_point) {
        ++asked;
        return std::optional<std::uint32_t>(1);
    };
    // Another thread: the lock is the process's own on some systems.
    const Clock::time_point start = Clock::now();
    auto waiting = std::async(std::launch::async, [&] {
        return HandOverThrough(ask, "zuvora a.avi", Clock::now() + std::chrono::milliseconds(300));
    });
    EXPECT_FALSE(waiting.get());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
    EXPECT_EQ(asked, 0);
    held.reset();
    EXPECT_TRUE(std::async(std::launch::async, [&] {
                    return HandOverThrough(ask, "zuvora a.avi",
                                           Clock::now() + std::chrono::milliseconds(1000));
                }).get());
    EXPECT_EQ(asked, 2);
}

// --- The receiver's replies ----------------------------------------------------------------

TEST(HandoverAnswer, EachMessageGetsItsOwnReplyAndAForeignOneNone)
{
    struct Case
    {
        std::uint32_t message;
        bool accepts, receives;
        std::optional<std::uint32_t> reply;
        Messages asked; // which of the two replies was worked out
    };
    const std::vector<Case> cases{
        {WM_HANDOVER_QUERY, true, false, 1, {WM_HANDOVER_QUERY}},
        {WM_HANDOVER_QUERY, false, true, 0, {WM_HANDOVER_QUERY}},
        {WM_HANDOVER_FILES, false, true, 1, {WM_HANDOVER_FILES}},
        {WM_HANDOVER_FILES, true, false, 0, {WM_HANDOVER_FILES}},
        {0x1234, true, true, std::nullopt, {}},
        {WM_HANDOVER_FILES + 1, true, true, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Messages asked;
        const HandoverReplies replies{
            [&] { return asked.push_back(WM_HANDOVER_QUERY), c.accepts; },
            [&] { return asked.push_back(WM_HANDOVER_FILES), c.receives; }};
        EXPECT_EQ(AnswerHandover(c.message, replies), c.reply);
        EXPECT_EQ(asked, c.asked);
    }
    // Replies that cannot be had yet are a no.
    EXPECT_EQ(AnswerHandover(WM_HANDOVER_QUERY, {}), 0u);
    EXPECT_EQ(AnswerHandover(WM_HANDOVER_FILES, {}), 0u);
}

// --- The command line in the block ---------------------------------------------------------

TEST(HandedOverFiles, TakesTheFilesUpToTheFirstNul)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows an argument that begins with / is a switch";
#else
    const std::string block = "zuvora \"/films/Egy film.avi\" -start /b.mkv /start\0/old/c.avi"s;
    EXPECT_EQ(HandedOverFiles(block), (Arguments{"/films/Egy film.avi", "/b.mkv"}));
    EXPECT_EQ(HandedOverFiles("\0zuvora /a.avi"s), Arguments{});
    EXPECT_EQ(HandedOverFiles("zuvora"), Arguments{});
#endif
}

TEST(HandedOverFiles, GivesBackWhatTheSenderJoined)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows an argument that begins with / is a switch";
#else
    const Arguments sent{
        "/usr/bin/zuvora", "/films/Egy film.avi", "",      "/x/plain.mkv", "/films/say \"hi\" now",
        "/tab\tend\\",     "/films/end\\ x\\",    "-start"};
    EXPECT_EQ(HandedOverFiles(JoinCommandLine(sent)),
              (Arguments(sent.begin() + 1, sent.end() - 1)));
    // Names without quotes are joined as the plain quote-when-spaced text.
    EXPECT_EQ(JoinCommandLine({"/usr/bin/zuvora", "/a b/c.avi", ""}),
              "/usr/bin/zuvora \"/a b/c.avi\" \"\"");
    EXPECT_EQ(JoinCommandLine({"/usr/bin/zuvora", "/films/Egy film.avi", "", "-start"}),
              "/usr/bin/zuvora \"/films/Egy film.avi\" \"\" -start");
#endif
}

#ifndef _WIN32

// --- The block, its lock and the socket on POSIX systems -----------------------------------

TEST_F(Handover, ALeftoverBlockIsReplacedAndAnOversizedOneRefused)
{
    const std::string name = platform::HandoverBlockName();
    ASSERT_EQ(platform::CreateHandoverBlock(name, "old"), std::error_code());
    ASSERT_EQ(platform::CreateHandoverBlock(name, "new text"), std::error_code());
    EXPECT_EQ(platform::ReadHandoverBlock(name, 1 << 20).text, "new text");
    EXPECT_EQ(platform::ReadHandoverBlock(name, 4).error, ZuvoraError::TooLarge);
    platform::RemoveHandoverBlock(name);
    EXPECT_EQ(platform::ReadHandoverBlock(name, 1 << 20).error,
              std::errc::no_such_file_or_directory);
}

TEST_F(Handover, TheSenderLockGoesWithTheBlock)
{
    // Senders that write the same block wait for each other; copies with another runtime
    // folder reach another receiver through another block and need not wait.
    auto held = platform::HandoverLock::Acquire(1000);
    ASSERT_TRUE(held);
    EXPECT_FALSE(platform::HandoverLock::Acquire(100));
    {
        TempDir otherRuntime;
        ScopedEnv otherEnv("XDG_RUNTIME_DIR", otherRuntime.path());
        EXPECT_TRUE(platform::HandoverLock::Acquire(100));
    }
    held.reset();
    EXPECT_TRUE(platform::HandoverLock::Acquire(1000));
}

TEST_F(Handover, NoRunningCopyOrASilentOneMeansANormalStart)
{
    EXPECT_FALSE(HandOverToRunningCopy("zuvora a.avi", 500));
    // Listens but never answers: the sender gives up at its deadline.
    const int mute = platform::ListenOnLocalSocket(HandoverAddress());
    ASSERT_GE(mute, 0);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(HandOverToRunningCopy("zuvora a.avi", 700));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    platform::CloseDescriptor(mute);
}

// Another user of the machine takes every name the block and its lock could have first, in the
// shared memory folder and in our runtime folder. The hand-over must still work, and the stranger
// must not get at the text.
TEST(HandoverBlock, AnotherUserCannotTakeItsNamesFirst)
{
    std::string why;
    const auto attacker = test::SecondUser::Get(&why);
    if (!attacker)
        GTEST_SKIP() << why;
    TempDir runtime;
    ASSERT_EQ(::chmod(runtime.path().c_str(), 0700), 0);
    ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtime.path());
    const std::string block = platform::HandoverBlockName();
    const std::string shared = "/dev/shm/zuv-ipc-" + std::to_string(::getuid());
    const std::vector<std::string> names{shared, shared + ".lock", block, block + ".lock"};
    const int taken = attacker->Run([&] {
        int count = 0;
        for (const std::string& name : names) {
            const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
            if (fd >= 0 && ::close(fd) == 0)
                ++count;
        }
        return count;
    });
    EXPECT_LE(taken, 2); // the shared folder's names at most

    auto lock = platform::HandoverLock::Acquire(1000);
    const bool locked = lock.has_value();
    const std::error_code created = platform::CreateHandoverBlock(block, "zuvora /films/a.avi");
    const int stolen = attacker->Run([&] { return ::open(block.c_str(), O_RDONLY) >= 0 ? 1 : 0; });
    const auto read = platform::ReadHandoverBlock(block, 1 << 20);
    platform::RemoveHandoverBlock(block);
    lock.reset();
    for (const std::string& name : {shared, shared + ".lock"})
        ::unlink(name.c_str());

    EXPECT_TRUE(locked);
    EXPECT_EQ(created, std::error_code());
    EXPECT_EQ(stolen, 0);
    EXPECT_EQ(read.error, std::error_code());
    EXPECT_EQ(read.text, "zuvora /films/a.avi");
}

// Without a runtime folder the socket and the block live in our private folder under TMPDIR.
// Another user plants its name as a link to a folder of ours, or owns TMPDIR and could move our
// folder after the checks: no name of ours may then lead into their reach or our home.
TEST(HandoverBlock, AnotherUserCannotRedirectThePrivateFolder)
{
    std::string why;
    const auto attacker = test::SecondUser::Get(&why);
    if (!attacker)
        GTEST_SKIP() << why;
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string home = dir.file("home");
    ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);
    struct Case
    {
        const char* name;
        mode_t tmpMode; // the shared folder's, made by root or by the attacker
        bool attackerOwnsTmp;
        bool plantLink;
    };
    const Case cases[] = {
        {"link to the victim's home at our folder's name", 01777, false, true},
        {"TMPDIR belongs to the attacker", 0777, true, false},
        {"TMPDIR open to all writers, not sticky", 0777, false, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string tmp = dir.file(std::string("tmp") + std::to_string(&test - cases));
        const std::string ours = tmp + "/zuvora-" + std::to_string(::getuid());
        ASSERT_EQ(::mkdir(tmp.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(tmp.c_str(), test.tmpMode), 0);
        if (test.attackerOwnsTmp) {
            ASSERT_EQ(::chown(tmp.c_str(), attacker->uid, attacker->gid), 0);
        }
        if (test.plantLink) {
            ASSERT_EQ(attacker->Run([&] { return ::symlink(home.c_str(), ours.c_str()); }), 0);
        }
        ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", std::nullopt);
        ScopedEnv tmpEnv("TMPDIR", tmp);
        const std::string block = platform::HandoverBlockName();
        EXPECT_EQ(block, "");
        EXPECT_NE(platform::CreateHandoverBlock(block, "zuvora /films/a.avi"), std::error_code());
        struct stat info
        {};
        ASSERT_EQ(::stat(home.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0755u);
        EXPECT_NE(::access((home + "/zuv-ipc").c_str(), F_OK), 0);
    }
}

#else

// --- The block and the window on Windows ---------------------------------------------------

TEST(WindowsHandover, TheBlockHoldsTheTextUntilItIsRemoved)
{
    const std::string name = "zuv-ipc-test-" + std::to_string(::GetCurrentProcessId());
    ASSERT_EQ(platform::CreateHandoverBlock(name, "\"C:\\zuv.exe\" film.avi"), std::error_code());
    EXPECT_EQ(platform::CreateHandoverBlock(name, "other"),
              platform::SystemError(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(platform::ReadHandoverBlock(name, 4096).text, "\"C:\\zuv.exe\" film.avi");
    EXPECT_NE(platform::ReadHandoverBlock(name, 8).error,
              std::error_code()); // no zero within the limit
    platform::RemoveHandoverBlock(name);
    EXPECT_EQ(platform::ReadHandoverBlock(name, 4096).error, std::errc::no_such_file_or_directory);
}

// Runs the sender program against a window of this process, serving the window's messages
// while it runs; the sender's exit code (1: handed over).
int RunSender(const std::string& className, const std::string& text)
{
    platform::ChildProcess sender;
    EXPECT_FALSE(
        sender.Start({ZUVORA_HANDOVER_SENDER, {"handover_sender", className, text, "5000"}, {}, 2})
            .failed());
    for (;;) {
        if (const auto code = sender.WaitForExit(platform::ChildProcess::Clock::now() +
                                                 std::chrono::milliseconds(10)))
            return *code;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

TEST(WindowsHandover, ASecondCopyHandsItsCommandLineToTheWindow)
{
    const std::string className = "TZUVMainFormTest" + std::to_string(::GetCurrentProcessId());
    bool accepts = true;
    bool takesFiles = true;
    std::vector<std::string> received;
    Messages messages;
    auto window = platform::HandoverListener::Listen(
        platform::HandoverAddress(className), [&](std::uint32_t message) {
            messages.push_back(message);
            return AnswerHandover(message, {[&] { return accepts; },
                                            [&] {
                                                const auto block = platform::ReadHandoverBlock(
                                                    platform::HandoverBlockName(), 65536);
                                                if (block.error)
                                                    return false;
                                                received = HandedOverFiles(block.text);
                                                return takesFiles;
                                            }});
        });
    ASSERT_TRUE(window);
    EXPECT_TRUE(platform::HandoverConnection::Connect(platform::HandoverAddress(className)));

    EXPECT_EQ(RunSender(className, "\"C:\\Zuvora\\zuvora.exe\" /start C:\\a.avi C:\\b.avi"), 1);
    EXPECT_EQ(messages, (Messages{WM_HANDOVER_QUERY, WM_HANDOVER_FILES}));
    EXPECT_EQ(received, (Arguments{"C:\\a.avi", "C:\\b.avi"}));
    // The sender's block is gone with its reply.
    EXPECT_NE(platform::ReadHandoverBlock(platform::HandoverBlockName(), 65536).error,
              std::error_code());

    messages.clear();
    takesFiles = false;
    EXPECT_EQ(RunSender(className, "zuvora.exe C:\\c.avi"), 0);
    EXPECT_EQ(messages.size(), 2u);

    messages.clear();
    accepts = false;
    EXPECT_EQ(RunSender(className, "zuvora.exe C:\\d.avi"), 0);
    EXPECT_EQ(messages, Messages{WM_HANDOVER_QUERY});

    window.reset();
    EXPECT_FALSE(platform::HandoverConnection::Connect(platform::HandoverAddress(className)));
    EXPECT_EQ(RunSender(className, "zuvora.exe C:\\e.avi"), 0);
}

// Serves this thread's messages until `ready` is, or for `ms` milliseconds.
template <class Ready>
void ServeMessages(int ms, Ready ready)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!ready() && Clock::now() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

// As on Linux: while the start-up holds the hand-over, a message box's loop serves no sender.
TEST(WindowsHandover, AHeldWindowAnswersOnceReleasedAndLetsTheSenderGoWhenItEnds)
{
    const std::string address =
        platform::HandoverAddress("TZUVHoldTest" + std::to_string(::GetCurrentProcessId()));
    int served = 0;
    auto window = platform::HandoverListener::Listen(address, [&](std::uint32_t) {
        ++served;
        return std::optional<std::uint32_t>(1);
    });
    ASSERT_TRUE(window);
    const auto ask = [&address] {
        return std::async(std::launch::async, [address]() -> std::optional<std::uint32_t> {
            auto connection = platform::HandoverConnection::Connect(address);
            if (!connection)
                return std::nullopt;
            return connection->Ask(WM_HANDOVER_QUERY, Clock::now() + std::chrono::seconds(10));
        });
    };
    const auto isReady = [](const auto& future) {
        return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };

    window->Hold(true);
    auto held = ask();
    ServeMessages(300, [] { return false; });
    EXPECT_FALSE(isReady(held));
    EXPECT_EQ(served, 0);
    window->Hold(false);
    EXPECT_EQ(served, 0); // from the event loop, not from inside Hold
    ServeMessages(10000, [&] { return isReady(held); });
    EXPECT_EQ(held.get(), std::optional<std::uint32_t>(1));
    EXPECT_EQ(served, 1);

    window->Hold(true);
    auto dropped = ask();
    ServeMessages(200, [] { return false; });
    window.reset();
    EXPECT_EQ(dropped.get(), std::optional<std::uint32_t>(0));
    EXPECT_EQ(served, 1);
}

#endif

} // namespace
