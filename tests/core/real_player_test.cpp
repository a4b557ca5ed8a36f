// The installed MPlayer through the real runner, on a clip made here.
#include "platform/process.h"
#include "playback/capture_run.h"
#include "playback/exec_thread.h"
#include "playback/playback_began.h"
#include "support/test_support.h"

#include <condition_variable>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

struct PlayerRun
{
    int exitCode = -1;
    std::vector<std::string> lines;
};

// One run through the real runner, its tasks done on this thread.
PlayerRun RunPlayer(const std::string& commandLine, const std::string& programFolder)
{
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> tasks;
    PlayerRun run;
    std::optional<int> exitCode;
    auto started =
        TExecThread::Start({commandLine, 2, programFolder},
                           {[&](std::function<void()> task) {
                                std::lock_guard lock(mutex);
                                tasks.push_back(std::move(task));
                                posted.notify_all();
                            },
                            [&](std::vector<std::string>& batch) {
                                run.lines.insert(run.lines.end(), batch.begin(), batch.end());
                            },
                            [&](std::optional<int> code) { exitCode = code.value_or(-1); }});
    EXPECT_TRUE(started.run) << started.error.error;
    while (started.run && !exitCode) {
        std::unique_lock lock(mutex);
        posted.wait(lock, [&] { return !tasks.empty(); });
        auto task = std::move(tasks.front());
        tasks.pop_front();
        lock.unlock();
        task();
    }
    run.exitCode = exitCode.value_or(-1);
    return run;
}

// Serves `body` over HTTP on a port of the loopback to every request until destroyed.
class OneFileServer
{
public:
    explicit OneFileServer(std::string body) : m_body(std::move(body))
    {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(m_socket, 4) != 0 ||
            getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~OneFileServer()
    {
        shutdown(m_socket, SHUT_RDWR);
        close(m_socket);
        if (m_thread.joinable())
            m_thread.join();
    }
    int Port() const { return m_port; }

private:
    void Serve()
    {
        for (;;) {
            const int client = accept(m_socket, nullptr, nullptr);
            if (client < 0)
                return;
            char request[4096];
            (void)!recv(client, request, sizeof request, 0);
            const std::string reply =
                "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
                "Content-Length: " +
                std::to_string(m_body.size()) + "\r\n\r\n" + m_body;
            std::size_t sent = 0;
            while (sent < reply.size()) {
                const ssize_t n =
                    send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += static_cast<std::size_t>(n);
            }
            // Closing with the reply still on its way would cut it off.
            shutdown(client, SHUT_WR);
            while (recv(client, request, sizeof request, 0) > 0) {
            }
            close(client);
        }
    }

    std::string m_body;
    int m_socket = -1;
    int m_port = 0;
    std::thread m_thread;
};

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
    const PlayerRun run =
        RunPlayer("mplayer " + WriteClip(m_media) + " -vo null -ao null", m_emptyFolder.path());
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.front().rfind("MPlayer", 0), 0u) << run.lines.front();
    // The status line, rewritten in place, never arrives as a pile of its updates.
    for (const std::string& line : run.lines)
        EXPECT_EQ(line.find('\r'), std::string::npos);
}

// MPlayer exits with 0 whether it played or not; its own lines tell the two apart.
TEST_F(RealPlayer, SaysWhetherPlaybackBegan)
{
    const std::string clip = WriteClip(m_media);
    const std::string garbage = m_media.file("garbage.avi");
    test::WriteFile(garbage, std::string(5000, 'x'));
    const std::string locked = m_media.file("locked.avi");
    test::WriteFile(locked, test::ReadFile(clip).value_or(""));
    chmod(locked.c_str(), 0);
    std::string clipBytes = test::ReadFile(clip).value_or("");
    OneFileServer server(clipBytes);
    ASSERT_NE(server.Port(), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/clip.y4m";

    struct Case
    {
        const char* name;
        std::string media;
        const char* options;
        bool began;
        bool neverBegan;
    };
    const Case cases[] = {
        {"Clip", clip, "", true, false},
        {"Url", url, "", true, false},
        {"MissingFile", m_media.file("missing.avi"), "", false, true},
        {"NotAVideo", garbage, "", false, true},
        {"AFolder", m_media.path(), "", false, true},
        // Root reads it all the same.
        {"Unreadable", locked, "", geteuid() == 0, geteuid() != 0},
        // A player told to be silent says neither: its runs count as begun.
        {"SilencedMissingFile", m_media.file("missing.avi"), " -really-quiet", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PlayerRun run = RunPlayer("mplayer \"" + c.media + "\" -vo null -ao null" + c.options,
                                        m_emptyFolder.path());
        EXPECT_EQ(run.exitCode, 0);
        PlaybackBeganWatch watch(PlaybackMarkersFor(PlayerDialect::Current));
        watch.Feed(run.lines);
        EXPECT_EQ(watch.Began(), c.began);
        EXPECT_EQ(watch.NeverBegan(), c.neverBegan);
    }
}
