// The installed MPlayer through the real runner, on a clip made here.
#include "platform/process.h"
#include "playback/capture_run.h"
#include "playback/exec_thread.h"
#include "support/test_support.h"

#include <condition_variable>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>

using namespace zuv;
using zuv::test::TempDir;

namespace {

// A raw 720 by 304 video of a few frames, which the player reads without any codec.
std::string WriteClip(const TempDir& folder)
{
    const std::size_t frameBytes = 720 * 304 * 3 / 2;
    std::string clip = "YUV4MPEG2 W720 H304 F25:1 Ip A1:1 C420jpeg\n";
    for (int frame = 0; frame < 5; ++frame) {
        clip += "FRAME\n";
        clip.append(frameBytes, static_cast<char>(16 + frame * 40));
    }
    const std::string path = folder.file("clip.y4m");
    test::WriteFile(path, clip);
    return path;
}

class RealPlayer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!platform::FindProgram("mplayer", m_emptyFolder.path()).path.size())
            GTEST_SKIP() << "mplayer is not installed";
    }

    TempDir m_emptyFolder; // as program folder: the player comes from PATH
    TempDir m_media;
};

} // namespace

TEST_F(RealPlayer, IdentifyReportsTheVideoSize)
{
    const std::string clip = WriteClip(m_media);
    const std::optional<std::string> output =
        CaptureRun("mplayer -frames 0 -vo null -ao null -identify " + clip, m_emptyFolder.path());
    ASSERT_TRUE(output);
    EXPECT_NE(output->find("ID_VIDEO_WIDTH=720\n"), std::string::npos) << *output;
    EXPECT_NE(output->find("ID_VIDEO_HEIGHT=304\n"), std::string::npos) << *output;
}

TEST_F(RealPlayer, PlaybackRunDeliversLinesAndEndsCleanly)
{
    const std::string clip = WriteClip(m_media);
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> tasks;
    std::vector<std::string> lines;
    std::optional<int> exitCode;
    auto started =
        TExecThread::Start({"mplayer " + clip + " -vo null -ao null", 2, m_emptyFolder.path()},
                           {[&](std::function<void()> task) {
                                std::lock_guard lock(mutex);
                                tasks.push_back(std::move(task));
                                posted.notify_all();
                            },
                            [&](std::vector<std::string>& batch) {
                                lines.insert(lines.end(), batch.begin(), batch.end());
                            },
                            [&](std::optional<int> code) { exitCode = code.value_or(-1); }});
    ASSERT_TRUE(started.run) << started.error.error;
    while (!exitCode) {
        std::unique_lock lock(mutex);
        posted.wait(lock, [&] { return !tasks.empty(); });
        auto task = std::move(tasks.front());
        tasks.pop_front();
        lock.unlock();
        task();
    }
    EXPECT_EQ(*exitCode, 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("MPlayer", 0), 0u) << lines.front();
    // The status line, rewritten in place, never arrives as a pile of its updates.
    for (const std::string& line : lines)
        EXPECT_EQ(line.find('\r'), std::string::npos);
}
