#include "app/qt/handover.h"
#include "platform/handover_block.h"
#include "platform/local_socket.h"
#include "support/test_support.h"

#include <QTest>
#include <QtEndian>

#include <future>
#include <sys/socket.h>
#include <sys/un.h>

using namespace zuv;

class HandoverTest : public QObject
{
    Q_OBJECT

private:
    // Runs the sender on its own thread while this thread serves the socket.
    static bool SendWhileServing(const std::string& commandLine, int timeoutMs = 5000)
    {
        auto result = std::async(std::launch::async,
                                 [&] { return HandOverToRunningCopy(commandLine, timeoutMs); });
        while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return result.get();
    }

    std::unique_ptr<test::TempDir> m_runtime;
    std::unique_ptr<test::ScopedEnv> m_runtimeEnv;

private slots:
    void init()
    {
        m_runtime = std::make_unique<test::TempDir>();
        m_runtimeEnv = std::make_unique<test::ScopedEnv>("XDG_RUNTIME_DIR", m_runtime->path());
    }
    void cleanup()
    {
        m_runtimeEnv.reset();
        m_runtime.reset();
    }

    void joinsTheCommandLineLikeTheSystem()
    {
        QCOMPARE(JoinCommandLine({"/usr/bin/zuvora", "/films/Egy film.avi", "", "-start"}),
                 std::string("/usr/bin/zuvora \"/films/Egy film.avi\" \"\" -start"));
    }

    void noRunningCopyMeansNormalStart() { QVERIFY(!HandOverToRunningCopy("zuvora a.avi", 500)); }

    void runningCopyTakesTheBlockText()
    {
        std::string received;
        HandoverServer server([] { return true; },
                              [&] {
                                  const auto block = platform::ReadHandoverBlock(
                                      platform::HandoverBlockName(), 1 << 20);
                                  received = block.text;
                                  return block.error == 0;
                              });
        QVERIFY(server.Listen());
        QVERIFY(SendWhileServing("zuvora \"/films/Egy film.avi\""));
        QCOMPARE(received, std::string("zuvora \"/films/Egy film.avi\""));
        // The sender removed the block after the reply.
        QCOMPARE(platform::ReadHandoverBlock(platform::HandoverBlockName(), 1 << 20).error, ENOENT);
    }

    void refusedQueryMeansNormalStart()
    {
        int filesMessages = 0;
        HandoverServer server([] { return false; }, [&] { return ++filesMessages, true; });
        QVERIFY(server.Listen());
        QVERIFY(!SendWhileServing("zuvora a.avi"));
        QCOMPARE(filesMessages, 0);
    }

    void filesAnsweredZeroMeansNormalStart()
    {
        HandoverServer server([] { return true; }, [] { return false; });
        QVERIFY(server.Listen());
        QVERIFY(!SendWhileServing("zuvora a.avi"));
    }

    void staleSocketIsReplaced()
    {
        // A socket file nobody listens on, as a crashed copy leaves it.
        const std::string path = HandoverSocketPath();
        {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
        }
        QVERIFY(!HandOverToRunningCopy("zuvora a.avi", 500));
        HandoverServer server([] { return true; }, [] { return true; });
        QVERIFY(server.Listen());
        QVERIFY(SendWhileServing("zuvora a.avi"));
    }

    void secondServerDoesNotStealTheSocket()
    {
        HandoverServer first([] { return true; }, [] { return true; });
        QVERIFY(first.Listen());
        HandoverServer second([] { return false; }, [] { return false; });
        QVERIFY(!second.Listen());
        QVERIFY(SendWhileServing("zuvora a.avi"));
    }

    void heldServerAnswersOnceReleased()
    {
        int served = 0;
        HandoverServer server([] { return true; }, [&] { return ++served, true; });
        server.Hold(true);
        QVERIFY(server.Listen());
        auto sender = std::async(std::launch::async,
                                 [] { return HandOverToRunningCopy("zuvora a.avi", 10000); });
        QTest::qWait(300);
        QCOMPARE(sender.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
        QCOMPARE(served, 0);
        server.Hold(false);
        while (sender.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            QCoreApplication::processEvents();
        QVERIFY(sender.get());
        QCOMPARE(served, 1);
    }

    void silentReceiverTimesOut()
    {
        // Listens but never answers: the sender gives up and starts normally.
        const int mute = platform::ListenOnLocalSocket(HandoverSocketPath());
        QVERIFY(mute >= 0);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SendWhileServing("zuvora a.avi", 700));
        QVERIFY(timer.elapsed() < 5000);
        platform::CloseDescriptor(mute);
    }

    void foreignMessageDropsTheConnection()
    {
        int calls = 0;
        HandoverServer server([&] { return ++calls, true; }, [&] { return ++calls, true; });
        QVERIFY(server.Listen());
        const int socket = platform::ConnectToLocalSocket(HandoverSocketPath());
        QVERIFY(socket >= 0);
        const unsigned char junk[4] = {0x34, 0x12, 0, 0};
        QVERIFY(platform::SendAll(socket, junk, sizeof junk,
                                  std::chrono::steady_clock::now() + std::chrono::seconds(1)));
        // The server drops the connection: reading ends instead of waiting for a reply.
        unsigned char reply[4];
        bool closed = false;
        QTRY_VERIFY((closed = ::recv(socket, reply, sizeof reply, MSG_DONTWAIT) == 0));
        platform::CloseDescriptor(socket);
        QCOMPARE(calls, 0);
    }

    void leftoverBlockIsReplaced()
    {
        const std::string name = platform::HandoverBlockName();
        QCOMPARE(platform::CreateHandoverBlock(name, "old"), 0);
        QCOMPARE(platform::CreateHandoverBlock(name, "new text"), 0);
        QCOMPARE(platform::ReadHandoverBlock(name, 1 << 20).text, std::string("new text"));
        QCOMPARE(platform::ReadHandoverBlock(name, 4).error, EFBIG);
        platform::RemoveHandoverBlock(name);
    }

    void senderLockGoesWithTheBlock()
    {
        // Senders that write the same block wait for each other; copies with another runtime
        // folder reach another receiver through another block and need not wait.
        auto held = platform::HandoverLock::Acquire(1000);
        QVERIFY(held);
        QVERIFY(!platform::HandoverLock::Acquire(100));
        {
            test::TempDir otherRuntime;
            test::ScopedEnv otherEnv("XDG_RUNTIME_DIR", otherRuntime.path());
            QVERIFY(platform::HandoverLock::Acquire(100));
        }
        held.reset();
        QVERIFY(platform::HandoverLock::Acquire(1000));
    }

    void concurrentSendersAreServedOneByOne()
    {
        std::vector<std::string> received;
        HandoverServer server(
            [] { return true; },
            [&] {
                received.push_back(
                    platform::ReadHandoverBlock(platform::HandoverBlockName(), 1 << 20).text);
                return true;
            });
        QVERIFY(server.Listen());
        std::vector<std::future<bool>> senders;
        for (int i = 0; i < 10; ++i)
            senders.push_back(std::async(std::launch::async, [i] {
                return HandOverToRunningCopy("zuvora file" + std::to_string(i), 10000);
            }));
        for (auto& sender : senders) {
            while (sender.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
                QCoreApplication::processEvents();
            QVERIFY(sender.get());
        }
        QCOMPARE(received.size(), std::size_t(10));
        std::sort(received.begin(), received.end());
        QCOMPARE(std::unique(received.begin(), received.end()), received.end());
    }
};

QTEST_MAIN(HandoverTest)
#include "handover_test.moc"
