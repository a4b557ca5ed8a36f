#include "platform/handover_block.h"
#include "support/second_user.h"
#include "support/test_support.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::ScopedEnv;
using zuv::test::SecondUser;
using zuv::test::TempDir;

namespace {

// Another user of the machine takes every name the block and its lock could have first, in the
// shared memory folder and in our runtime folder. The hand-over must still work, and the stranger
// must not get at the text.
TEST(HandoverBlock, AnotherUserCannotTakeItsNamesFirst)
{
    std::string why;
    const auto attacker = SecondUser::Get(&why);
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
    const int created = platform::CreateHandoverBlock(block, "zuvora /films/a.avi");
    const int stolen = attacker->Run([&] { return ::open(block.c_str(), O_RDONLY) >= 0 ? 1 : 0; });
    const auto read = platform::ReadHandoverBlock(block, 1 << 20);
    platform::RemoveHandoverBlock(block);
    lock.reset();
    for (const std::string& name : {shared, shared + ".lock"})
        ::unlink(name.c_str());

    EXPECT_TRUE(locked);
    EXPECT_EQ(created, 0);
    EXPECT_EQ(stolen, 0);
    EXPECT_EQ(read.error, 0);
    EXPECT_EQ(read.text, "zuvora /films/a.avi");
}

} // namespace
