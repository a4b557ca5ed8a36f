// The single-instance hand-over with its receiver on the UI thread: the server against senders
// and hostile peers, and the program itself started twice and more. The protocol's steps, the
// block and the sender alone are tested in tests/core/handover_test.cpp.
#include "app/qt/handover.h"
#include "main_window_fixture.h"
#include "platform/handover_block.h"
#include "platform/local_socket.h"
#include "platform/zuvora_error.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "util/ini_document.h"
#include "widgets/qt/history_combo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <future>
#include <grp.h>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::MainWindowFixture;
using zuv::test::ReadFile;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFile;

namespace {

constexpr uid_t kNobody = 65534;

// The player found on PATH: notes which program asked for its version, logs the arguments of
// each run and then sleeps as long as FAKE_PLAYER_SLEEP says, as the sleeping process itself so
// that Stop ends it.
constexpr char kPlayerScript[] = R"(
if [ "$1" = "-list-options" ]; then
    [ -n "$FAKE_PLAYER_PROBES" ] && echo "$PPID" >> "$FAKE_PLAYER_PROBES"
    echo "MPlayer FAKE-1.0 (C) test"; exit 1
fi
if [ "$1" = "-frames" ]; then
    [ -n "$FAKE_PROBE_SLEEP" ] && { : > "$FAKE_PROBE_MARK"; sleep "$FAKE_PROBE_SLEEP"; }
    printf 'ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=304\n'; exit 0; fi
{ for a in "$@"; do printf '%s\n' "$a"; done; echo ---; } >> "$FAKE_PLAYER_LOG"
[ -n "$FAKE_PLAYER_SLEEP" ] && { echo $$ >> "$FAKE_PLAYER_PIDS"; exec sleep "$FAKE_PLAYER_SLEEP"; }
exit 0
)";

// Generous bounds so that a loaded machine never fails a test; a hang still ends.
constexpr int kStartBoundMs = 20000;
constexpr int kEndBoundMs = 20000;

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

// Runs the sender on its own thread while this thread serves the socket.
bool SendWhileServing(const std::string& commandLine, int timeoutMs = 5000)
{
    auto result = std::async(std::launch::async,
                             [&] { return HandOverToRunningCopy(commandLine, timeoutMs); });
    while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return result.get();
}

// --- Hand-over -----------------------------------------------------------------------------

std::array<unsigned char, 4> Message(std::uint32_t number)
{
    return {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
}

// Sends the query and the files message as a second copy does, without touching the block,
// while this thread serves the socket. The replies, -1 for none.
std::pair<int, int> AskRunningCopy(const std::string& socketPath)
{
    auto replies = std::async(std::launch::async, [socketPath] {
        std::pair<int, int> got{-1, -1};
        const int socket = platform::ConnectToLocalSocket(socketPath);
        if (socket < 0)
            return got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        const auto ask = [&](std::uint32_t message) {
            const auto bytes = Message(message);
            unsigned char reply[4];
            if (!platform::SendAll(socket, bytes.data(), bytes.size(), deadline) ||
                !platform::ReceiveAll(socket, reply, sizeof reply, deadline))
                return -1;
            return int(reply[0]);
        };
        got.first = ask(WM_HANDOVER_QUERY);
        got.second = ask(WM_HANDOVER_FILES);
        platform::CloseDescriptor(socket);
        return got;
    });
    while (replies.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return replies.get();
}

// Runs `child` in a forked process that has become the user "nobody" and returns its exit
// code, serving this thread's events meanwhile. Only system calls run in the child.
int RunAsNobody(const std::function<int()>& child)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(100);
        ::_exit(child());
    }
    if (pid < 0)
        return -1;
    int status = 0;
    QDeadlineTimer deadline(20000);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        QCoreApplication::processEvents();
        QTest::qSleep(1);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

sockaddr_un SocketAddress(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

// Leaves a socket file that nobody listens on at `path`, as a crashed copy leaves it.
bool LeaveStaleSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = SocketAddress(path);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// Child outcomes of a stranger's query.
constexpr int kCannotConnect = 1;
constexpr int kDropped = 2;
constexpr int kAnswered = 3;
constexpr int kNoWordAtAll = 4;

int QueryAsStranger(const sockaddr_un& address)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return kCannotConnect;
    const unsigned char query[4] = {0xC8, 0x80, 0, 0};
    if (::send(fd, query, sizeof query, MSG_NOSIGNAL) != 4)
        return kDropped;
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 5000) <= 0)
        return kNoWordAtAll;
    unsigned char reply[4];
    return ::recv(fd, reply, sizeof reply, 0) > 0 ? kAnswered : kDropped;
}

} // namespace

// The running copy's server in this process, each test with a runtime folder of its own.
class HandoverServerTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_runtime;
    std::unique_ptr<ScopedEnv> m_runtimeEnv;

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

    void runningCopyTakesTheBlockText()
    {
        std::string received;
        HandoverServer server([] { return true; },
                              [&] {
                                  const auto block = platform::ReadHandoverBlock(
                                      platform::HandoverBlockName(), 1 << 20);
                                  received = block.text;
                                  return !block.error;
                              });
        QVERIFY(server.Listen());
        QVERIFY(SendWhileServing("zuvora \"/films/Egy film.avi\""));
        QCOMPARE(received, std::string("zuvora \"/films/Egy film.avi\""));
        // The sender removed the block after the reply.
        QVERIFY(platform::ReadHandoverBlock(platform::HandoverBlockName(), 1 << 20).error ==
                std::errc::no_such_file_or_directory);
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
        QVERIFY(LeaveStaleSocket(HandoverAddress()));
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

    void foreignMessageDropsTheConnection()
    {
        int calls = 0;
        HandoverServer server([&] { return ++calls, true; }, [&] { return ++calls, true; });
        QVERIFY(server.Listen());
        const int socket = platform::ConnectToLocalSocket(HandoverAddress());
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

    // --- Hostile blocks and strangers --------------------------------------------------------

    void hostileBlockIsRefused_data()
    {
        QTest::addColumn<QString>("block");
        QTest::addColumn<int>("error");
        QTest::newRow("no terminating zero") << QStringLiteral("no zero") << EBADMSG;
        QTest::newRow("empty") << QStringLiteral("empty") << ENODATA;
        QTest::newRow("larger than 1 MiB") << QStringLiteral("large") << EFBIG;
        QTest::newRow("readable by others") << QStringLiteral("mode 644") << EPERM;
        QTest::newRow("another user's") << QStringLiteral("owner") << EPERM;
    }

    void hostileBlockIsRefused()
    {
        QFETCH(QString, block);
        QFETCH(int, error);
        if (block == QStringLiteral("owner") && ::geteuid() != 0)
            QSKIP("only root can give a block to another user");
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        test::Find<QCheckBox>(form.SettingsForm(), "cbOneInstance")->setChecked(true);
        QVERIFY(fixture.session->ListenForSecondCopies());
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        comboFile->setEditText(QStringLiteral("/films/mine.avi"));

        const std::string name = platform::HandoverBlockName();
        platform::RemoveHandoverBlock(name);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0);
        std::string text = "zuvora /films/planted.avi";
        if (block != QStringLiteral("no zero"))
            text += '\0';
        if (block == QStringLiteral("empty"))
            text.clear();
        if (!text.empty())
            QCOMPARE(::write(fd, text.data(), text.size()), ssize_t(text.size()));
        if (block == QStringLiteral("large"))
            QCOMPARE(::ftruncate(fd, 2 * 1024 * 1024), 0);
        if (block == QStringLiteral("mode 644"))
            QCOMPARE(::fchmod(fd, 0644), 0);
        if (block == QStringLiteral("owner"))
            QCOMPARE(::fchown(fd, kNobody, kNobody), 0);
        ::close(fd);

        const auto replies = AskRunningCopy(HandoverAddress());
        platform::RemoveHandoverBlock(name);
        QCOMPARE(replies, std::make_pair(1, 0));
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
        QCOMPARE(MessageBox::ShownBoxes().front().text,
                 QString::fromStdString(platform::ErrorMessage(platform::SystemError(error))));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/mine.avi"));
        QVERIFY(!form.Playback()->RestartPending());
    }

    void strangerGetsNoAnswer()
    {
        if (::geteuid() != 0)
            QSKIP("only root can act as another user");
        MainWindowFixture fixture;
        test::Find<QCheckBox>(fixture.form->SettingsForm(), "cbOneInstance")->setChecked(true);
        QVERIFY(fixture.session->ListenForSecondCopies());
        const std::string path = HandoverAddress();
        const sockaddr_un address = SocketAddress(path);

        // The folder is the owner's alone.
        QCOMPARE(RunAsNobody([&] { return QueryAsStranger(address); }), kCannotConnect);
        // Opened up by mistake, the socket still answers no one else.
        QCOMPARE(::chmod(m_runtime->path().c_str(), 0755), 0);
        QCOMPARE(::chmod(path.c_str(), 0666), 0);
        QCOMPARE(RunAsNobody([&] { return QueryAsStranger(address); }), kDropped);
        // The owner is answered as ever.
        QCOMPARE(AskRunningCopy(path).first, 1);
    }

    void strangersSocketIsNotHandedTheFiles()
    {
        if (::geteuid() != 0)
            QSKIP("only root can act as another user");
        // A runtime folder anyone may write to, where another user listens first.
        QCOMPARE(::chmod(m_runtime->path().c_str(), 01777), 0);
        const std::string path = HandoverAddress();
        const sockaddr_un address = SocketAddress(path);
        const pid_t stranger = ::fork();
        if (stranger == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(100);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
                ::chmod(address.sun_path, 0666) != 0 || ::listen(fd, 4) != 0)
                ::_exit(101);
            // Says yes to everything.
            for (;;) {
                const int peer = ::accept(fd, nullptr, nullptr);
                unsigned char message[4];
                const unsigned char yes[4] = {1, 0, 0, 0};
                while (::recv(peer, message, sizeof message, MSG_WAITALL) == 4)
                    ::send(peer, yes, sizeof yes, MSG_NOSIGNAL);
                ::close(peer);
            }
        }
        QVERIFY(stranger > 0);
        const auto listening = [&path] {
            const int probe = platform::ConnectToLocalSocket(path);
            platform::CloseDescriptor(probe);
            return probe >= 0;
        };
        QTRY_VERIFY(listening());
        const bool handed = HandOverToRunningCopy("zuvora /films/secret.avi", 3000);
        ::kill(stranger, SIGKILL);
        ::waitpid(stranger, nullptr, 0);
        QVERIFY(!handed);
    }
};

class SingleInstanceTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_config;
    std::unique_ptr<TempDir> m_runtime;
    std::unique_ptr<TempDir> m_temp;
    std::unique_ptr<TempDir> m_playerFolder;
    std::unique_ptr<ScopedEnv> m_runtimeEnv;
    std::vector<std::unique_ptr<QProcess>> m_copies;
    QProcessEnvironment m_environment;

    std::string ProfileFolder() const { return m_config->path() + "zuvora/"; }
    std::string ArgumentLog() const { return m_temp->file("args.log"); }
    std::string ProbeLog() const { return m_temp->file("probes.log"); }
    std::string PlayerIdLog() const { return m_temp->file("players.log"); }

    // The running copy's configuration, playlist and presets all in the profile folder, so that
    // nothing is written next to the program in the build.
    void PrepareProfile(const std::string& mainSection, const std::string& playlist = {})
    {
        WriteFile(ProfileFolder() + "zuv.ini", "[Main]\r\n" + mainSection);
        WriteFile(ProfileFolder() + "playlist.txt", playlist);
        WriteFile(ProfileFolder() + "equalizer.ini", "");
    }

    QProcess* Launch(const QStringList& arguments, const QProcessEnvironment& extra = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = m_environment;
        for (const QString& name : extra.keys())
            environment.insert(name, extra.value(name));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QStringLiteral(ZUVORA_EXECUTABLE), arguments);
        m_copies.push_back(std::move(process));
        return m_copies.back().get();
    }

    // A copy that listens on the hand-over socket has its window; second copies wait for the
    // rest of its start-up.
    bool Listening() const
    {
        const int socket = platform::ConnectToLocalSocket(m_runtime->path() + "TZUVMainForm");
        platform::CloseDescriptor(socket);
        return socket >= 0;
    }

    QProcess* LaunchFirst(const QStringList& arguments = {}, const QProcessEnvironment& extra = {})
    {
        QProcess* first = Launch(arguments, extra);
        const bool ready = WaitFor(
            [&] { return Listening() || first->state() == QProcess::NotRunning; }, kStartBoundMs);
        return ready && first->state() == QProcess::Running ? first : nullptr;
    }

    // Waits for the copy's end (events keep flowing); true for exit code 0.
    static bool EndsWithZero(QProcess* copy)
    {
        if (!WaitFor([copy] { return copy->state() == QProcess::NotRunning; }, kEndBoundMs)) {
            qWarning("copy still runs: %s", copy->readAll().constData());
            return false;
        }
        const bool clean = copy->exitStatus() == QProcess::NormalExit && copy->exitCode() == 0;
        if (!clean)
            qWarning("copy ended with %d: %s", copy->exitCode(), copy->readAll().constData());
        return clean;
    }

    // Asks a copy to end as a logout (SIGTERM), Ctrl+C (SIGINT) or a closed terminal (SIGHUP)
    // does.
    static bool Terminate(QProcess* copy, int signalNumber = SIGTERM)
    {
        ::kill(static_cast<pid_t>(copy->processId()), signalNumber);
        return EndsWithZero(copy);
    }

    std::vector<std::vector<std::string>> PlayerRuns() const
    {
        std::vector<std::vector<std::string>> runs(1);
        std::string line;
        for (const char c : ReadFile(ArgumentLog()).value_or(std::string())) {
            if (c != '\n') {
                line += c;
            } else if (line == "---") {
                runs.emplace_back();
                line.clear();
            } else {
                runs.back().push_back(line);
                line.clear();
            }
        }
        runs.pop_back();
        return runs;
    }

    bool PlayerRan(const std::string& media, std::size_t run) const
    {
        const auto runs = PlayerRuns();
        return runs.size() > run && std::count(runs[run].begin(), runs[run].end(), media) == 1;
    }

    // The fake players of this test that still sleep.
    std::vector<pid_t> SleepingPlayers() const
    {
        std::vector<pid_t> sleeping;
        std::istringstream players(ReadFile(PlayerIdLog()).value_or(std::string()));
        for (pid_t player = 0; players >> player;) {
            // "pid (name) state ...": a zombie has ended already.
            const std::string stat =
                ReadFile("/proc/" + std::to_string(player) + "/stat").value_or(std::string());
            const std::size_t state = stat.rfind(") ");
            if (stat.find("(sleep)") != std::string::npos && state != std::string::npos &&
                stat.compare(state + 2, 1, "Z") != 0)
                sleeping.push_back(player);
        }
        return sleeping;
    }

    IniDocument StoredConfiguration(const std::string& profile = {}) const
    {
        return IniDocument::Parse(
            ReadFile((profile.empty() ? ProfileFolder() : profile) + "zuv.ini")
                .value_or(std::string()));
    }

    // Waits until a copy has opened its window: it then asks the player for its version.
    bool ReachedItsWindow(QProcess* copy) const
    {
        const std::string id = std::to_string(copy->processId()) + "\n";
        return WaitFor(
                   [&] {
                       const std::string probes = ReadFile(ProbeLog()).value_or(std::string());
                       return probes.find(id) != std::string::npos ||
                              copy->state() == QProcess::NotRunning;
                   },
                   kStartBoundMs) &&
               copy->state() == QProcess::Running;
    }

private slots:
    void initTestCase()
    {
        // The player must come from PATH, not from the program folder of the build.
        const QString programFolder = QFileInfo(QStringLiteral(ZUVORA_EXECUTABLE)).absolutePath();
        QVERIFY2(!QFileInfo::exists(programFolder + QStringLiteral("/mplayer")),
                 "a player lies in the build's program folder");
    }

    void init()
    {
        m_config = std::make_unique<TempDir>();
        m_runtime = std::make_unique<TempDir>();
        m_temp = std::make_unique<TempDir>();
        m_playerFolder = std::make_unique<TempDir>();
        m_runtimeEnv = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", m_runtime->path());
        test::WriteFakePlayer(m_playerFolder->path(), kPlayerScript);

        m_environment = QProcessEnvironment::systemEnvironment();
        const auto set = [this](const char* name, const std::string& value) {
            m_environment.insert(QString::fromUtf8(name), QString::fromStdString(value));
        };
        set("QT_QPA_PLATFORM", "offscreen");
        set("XDG_CONFIG_HOME", m_config->path());
        set("XDG_RUNTIME_DIR", m_runtime->path());
        set("TMPDIR", m_temp->path());
        set("PATH", m_playerFolder->path() + ":" +
                        m_environment.value(QStringLiteral("PATH")).toStdString());
        set("FAKE_PLAYER_LOG", ArgumentLog());
        set("FAKE_PLAYER_PROBES", ProbeLog());
        set("FAKE_PLAYER_PIDS", PlayerIdLog());
        m_environment.remove(QStringLiteral("FAKE_PLAYER_SLEEP"));
    }

    void cleanup()
    {
        for (const auto& copy : m_copies) {
            if (copy->state() != QProcess::NotRunning) {
                copy->kill();
                copy->waitForFinished(5000);
            }
        }
        m_copies.clear();
        // A copy that did not end in order leaves its sleeping player behind.
        for (const pid_t player : SleepingPlayers())
            ::kill(player, SIGKILL);
        m_runtimeEnv.reset();
        m_playerFolder.reset();
        m_temp.reset();
        m_runtime.reset();
        m_config.reset();
    }

    // A logout sends one SIGTERM and waits: whatever fails then is reported without a box that
    // waits for someone, every exit step runs, and the program ends.
    void oneRequestToEndIsEnoughWhateverFails_data()
    {
        QTest::addColumn<bool>("atStartup");
        QTest::newRow("file-size limit at exit") << false;
        QTest::newRow("error box at start-up") << true;
    }

    void oneRequestToEndIsEnoughWhateverFails()
    {
        QFETCH(bool, atStartup);
        const std::string oldOptions = "[Main]\r\nLastFile=/films/old.avi\r\n";
        PrepareProfile("LastFile=/films/old.avi\r\n", "/films/a.avi|\r\n");
        const std::string playlist = ProfileFolder() + "playlist.txt";
        if (atStartup) {
            // A list too large to be ours is reported at start-up, and again at exit.
            QCOMPARE(::truncate(playlist.c_str(), off_t(1) << 30), 0);
        }
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(m_environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        if (!atStartup) {
            // A full disk for every file of ours: writes past 16 bytes fail.
            process->setChildProcessModifier([] {
                const rlimit limit{16, 16};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_DFL);
            });
        }
        process->start(QStringLiteral(ZUVORA_EXECUTABLE), {});
        QProcess* copy = process.get();
        m_copies.push_back(std::move(process));
        if (atStartup)
            QTest::qWait(1000);
        else
            QVERIFY(WaitFor([&] { return Listening(); }, kStartBoundMs));
        QCOMPARE(copy->state(), QProcess::Running);
        QVERIFY(Terminate(copy));
        const QString output = QString::fromLocal8Bit(copy->readAll());
        // Each failed step said why, and the steps after it ran.
        const QString options = QString::fromStdString(ProfileFolder() + "zuv.ini");
        const QString list = QString::fromStdString(playlist);
        if (atStartup) {
            // The box was closed by the request and reported, and the options were stored.
            QVERIFY2(output.contains(list), qPrintable(output));
            QCOMPARE(StoredConfiguration().Value("Main", "OneInstanceOnly"),
                     std::optional<std::string>("0"));
        } else {
            QVERIFY2(output.contains(options + QStringLiteral("\n\nFile too large")) &&
                         output.contains(QStringLiteral("Unable to write to ") + options),
                     qPrintable(output));
            QCOMPARE(ReadFile(ProfileFolder() + "zuv.ini"), std::optional(oldOptions));
            // Nothing half-written left behind.
            QCOMPARE(QDir(QString::fromStdString(ProfileFolder()))
                         .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList({QStringLiteral("equalizer.ini"), QStringLiteral("playlist.txt"),
                                  QStringLiteral("zuv.ini")}));
        }
    }

    void oneFileWhileIdleIsPutInPlace()
    {
        PrepareProfile("OneInstanceOnly=1\r\nLastFile=/films/old.avi\r\n"
                       "LastSubFile=/films/old.srt\r\n");
        QProcess* first = LaunchFirst();
        QVERIFY(first);
        QVERIFY(EndsWithZero(Launch({QStringLiteral("/films/Egy film.avi")})));
        QVERIFY(Terminate(first, SIGINT));

        const IniDocument stored = StoredConfiguration();
        QCOMPARE(stored.Value("Main", "LastFile"),
                 std::optional<std::string>("/films/Egy film.avi"));
        QCOMPARE(stored.Value("Main", "LastSubFile"), std::optional<std::string>(""));
        QCOMPARE(stored.Value("Main", "Playlist"), std::optional<std::string>("0"));
        QVERIFY(PlayerRuns().empty());
    }

    void oneFileWhilePlayingStopsAndPlaysIt()
    {
        PrepareProfile("OneInstanceOnly=1\r\n");
        QProcessEnvironment sleeping;
        sleeping.insert(QStringLiteral("FAKE_PLAYER_SLEEP"), QStringLiteral("30"));
        QProcess* first =
            LaunchFirst({QStringLiteral("/films/first.avi"), QStringLiteral("-start")}, sleeping);
        QVERIFY(first);
        QVERIFY(WaitFor([this] { return PlayerRan("/films/first.avi", 0); }, kStartBoundMs));

        QVERIFY(EndsWithZero(Launch({QStringLiteral("/films/second.avi")})));
        QVERIFY(WaitFor([this] { return PlayerRan("/films/second.avi", 1); }, kStartBoundMs));
        // The end of the copy stops its player too.
        QVERIFY(Terminate(first));
        QVERIFY(WaitFor([this] { return SleepingPlayers().empty(); }, kEndBoundMs));
        QCOMPARE(PlayerRuns().size(), std::size_t(2));
        QCOMPARE(StoredConfiguration().Value("Main", "LastFile"),
                 std::optional<std::string>("/films/second.avi"));
    }

    void threeFilesBecomeThePlaylist()
    {
        PrepareProfile("OneInstanceOnly=1\r\n", "/films/old.avi|/films/old.srt\r\n");
        QProcess* first = LaunchFirst();
        QVERIFY(first);
        QVERIFY(
            EndsWithZero(Launch({QStringLiteral("/films/1.avi"), QStringLiteral("/films/2 two.avi"),
                                 QStringLiteral("-start"), QStringLiteral("/films/3.avi")})));
        QVERIFY(Terminate(first, SIGHUP));

        QCOMPARE(
            ReadFile(ProfileFolder() + "playlist.txt"),
            std::optional<std::string>("/films/1.avi|\r\n/films/2 two.avi|\r\n/films/3.avi|\r\n"));
        const IniDocument stored = StoredConfiguration();
        QCOMPARE(stored.Value("Main", "Playlist"), std::optional<std::string>("1"));
        QCOMPARE(stored.Value("Main", "LastFile"), std::optional<std::string>("/films/1.avi"));
        // The switch among them is not taken: nothing plays after a hand-over while idle.
        QVERIFY(PlayerRuns().empty());
    }

    void onlySwitchesChangeNothing()
    {
        const std::string playlist = "/films/old.avi|/films/old.srt\r\n";
        PrepareProfile("OneInstanceOnly=1\r\nLastFile=/films/old.avi\r\n"
                       "LastSubFile=/films/old.srt\r\n",
                       playlist);
        QProcess* first = LaunchFirst();
        QVERIFY(first);
        QVERIFY(EndsWithZero(Launch({QStringLiteral("/start")})));
        QVERIFY(EndsWithZero(Launch({})));
        QVERIFY(Terminate(first));

        const IniDocument stored = StoredConfiguration();
        QCOMPARE(stored.Value("Main", "LastFile"), std::optional<std::string>("/films/old.avi"));
        QCOMPARE(stored.Value("Main", "LastSubFile"), std::optional<std::string>("/films/old.srt"));
        QCOMPARE(stored.Value("Main", "Playlist"), std::optional<std::string>("0"));
        QCOMPARE(ReadFile(ProfileFolder() + "playlist.txt"), std::optional(playlist));
        QVERIFY(PlayerRuns().empty());
    }

    void secondCopyRunsOnItsOwnWhenTheFirstTakesNoFiles()
    {
        PrepareProfile("OneInstanceOnly=0\r\n");
        QProcess* first = LaunchFirst();
        QVERIFY(first);
        QProcess* second = Launch({QStringLiteral("/films/a.avi")});
        // The second copy reached its own start-up: it asked the player for its version.
        const std::string secondId = std::to_string(second->processId());
        QVERIFY(WaitFor(
            [&] {
                const std::string probes = ReadFile(ProbeLog()).value_or(std::string());
                return probes.find(secondId + "\n") != std::string::npos ||
                       second->state() == QProcess::NotRunning;
            },
            kStartBoundMs));
        QCOMPARE(second->state(), QProcess::Running);
        QVERIFY(Terminate(second));
        QVERIFY(Terminate(first));
    }

    void copyStartedDuringTheStartUpWaitsForIt()
    {
        // The first copy's start-up plays its file after a size probe that takes a while.
        PrepareProfile("OneInstanceOnly=1\r\n[Video]\r\nExpand=1\r\n");
        const std::string probing = m_temp->file("probing");
        QProcessEnvironment slow;
        slow.insert(QStringLiteral("FAKE_PLAYER_SLEEP"), QStringLiteral("30"));
        slow.insert(QStringLiteral("FAKE_PROBE_SLEEP"), QStringLiteral("2"));
        slow.insert(QStringLiteral("FAKE_PROBE_MARK"), QString::fromStdString(probing));
        QProcess* first =
            Launch({QStringLiteral("/films/first.avi"), QStringLiteral("-start")}, slow);
        QVERIFY(WaitFor([&] { return ReadFile(probing).has_value(); }, kStartBoundMs));

        QVERIFY(EndsWithZero(Launch({QStringLiteral("/films/second.avi")})));
        QVERIFY(WaitFor([this] { return PlayerRan("/films/second.avi", 1); }, kStartBoundMs));
        QVERIFY(PlayerRan("/films/first.avi", 0));
        QVERIFY(Terminate(first));
    }

    void copyThatTakesFilesTakesTheSocketOverWhenItsHolderEnds()
    {
        PrepareProfile("OneInstanceOnly=0\r\n");
        QProcess* holder = LaunchFirst();
        QVERIFY(holder);
        // The second copy takes files but finds the socket held.
        TempDir otherConfig;
        const std::string otherProfile = otherConfig.path() + "zuvora/";
        WriteFile(otherProfile + "zuv.ini", "[Main]\r\nOneInstanceOnly=1\r\n");
        QProcessEnvironment own;
        own.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(otherConfig.path()));
        QProcess* taker = Launch({}, own);
        QVERIFY(ReachedItsWindow(taker));

        QVERIFY(Terminate(holder));
        QVERIFY(WaitFor([this] { return Listening(); }, kStartBoundMs));
        QVERIFY(EndsWithZero(Launch({QStringLiteral("/films/third.avi")})));
        QVERIFY(Terminate(taker));
        QCOMPARE(StoredConfiguration(otherProfile).Value("Main", "LastFile"),
                 std::optional<std::string>("/films/third.avi"));
    }

    void staleSocketDoesNotHoldUpTheStart()
    {
        PrepareProfile("OneInstanceOnly=1\r\n");
        // The socket file a crashed copy leaves behind: nobody listens on it.
        const std::string path = m_runtime->path() + "TZUVMainForm";
        QVERIFY(LeaveStaleSocket(path));
        QVERIFY(!Listening());

        QProcess* first = LaunchFirst({QStringLiteral("/films/a.avi")});
        QVERIFY(first);
        QVERIFY(EndsWithZero(Launch({QStringLiteral("/films/b.avi")})));
        QVERIFY(Terminate(first));
        QCOMPARE(StoredConfiguration().Value("Main", "LastFile"),
                 std::optional<std::string>("/films/b.avi"));
    }

    // Thirty copies start at once while the running copy crashes 0.6 s in: exactly one takes its
    // place, and every other copy hands its file to that one (and ends). The running copy stands
    // still until it crashes, so that the copies are under way when it goes.
    void copiesStartedAsTheRunningOneCrashesGetExactlyOneInItsPlace()
    {
        PrepareProfile("OneInstanceOnly=1\r\n");
        QProcess* first = LaunchFirst();
        QVERIFY(first);
        ::kill(static_cast<pid_t>(first->processId()), SIGSTOP);
        std::vector<QProcess*> copies;
        for (int n = 0; n < 30; ++n)
            copies.push_back(Launch({QStringLiteral("/films/copy %1.avi").arg(n)}));
        QTest::qWait(600);
        ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
        const auto running = [&] {
            return std::count_if(copies.begin(), copies.end(), [](QProcess* copy) {
                return copy->state() != QProcess::NotRunning;
            });
        };
        QVERIFY2(WaitFor([&] { return running() <= 1; }, kEndBoundMs * 3),
                 qPrintable(QStringLiteral("%1 copies run").arg(running())));
        QTest::qWait(1000); // a copy with a window of its own would still run now
        QCOMPARE(running(), 1);
        QProcess* survivor = nullptr;
        for (QProcess* copy : copies) {
            if (copy->state() != QProcess::NotRunning)
                survivor = copy;
            else
                QVERIFY(EndsWithZero(copy));
        }
        QVERIFY(Listening());
        QVERIFY(Terminate(survivor));
    }

    void twentyCopiesAtOnceAreTakenOneByOneAndEndQuickly()
    {
        // The running copy is this process, so that every file it is handed can be seen.
        MainWindowFixture running;
        test::Find<QCheckBox>(running.form->SettingsForm(), "cbOneInstance")->setChecked(true);
        QVERIFY(running.session->ListenForSecondCopies());
        QStringList taken;
        connect(test::Find<THistoryCombo>(running.form.get(), "comboFile"),
                &QComboBox::editTextChanged, this,
                [&taken](const QString& text) { taken << text; });

        QStringList handed;
        std::vector<QProcess*> copies;
        QElapsedTimer timer;
        timer.start();
        for (int n = 0; n < 20; ++n) {
            handed << QStringLiteral("/films/copy %1 \"q\" ü\t.avi").arg(n);
            copies.push_back(Launch({handed.back()}));
        }
        for (QProcess* copy : copies)
            QVERIFY(EndsWithZero(copy));
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
        taken.sort();
        handed.sort();
        QCOMPARE(taken, handed);
    }
};

// One program, one fixture per concern.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    int failed = 0;
    {
        HandoverServerTest server;
        failed += QTest::qExec(&server, argc, argv);
    }
    {
        SingleInstanceTest program;
        failed += QTest::qExec(&program, argc, argv);
    }
    return failed;
}

#include "handover_test.moc"
