#include "main_window_fixture.h"
#include "platform/local_socket.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "util/ini_document.h"
#include "widgets/qt/history_combo.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <cstdio>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFile;

namespace {

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

} // namespace

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
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(!Listening());

        QProcess* first = LaunchFirst({QStringLiteral("/films/a.avi")});
        QVERIFY(first);
        QVERIFY(EndsWithZero(Launch({QStringLiteral("/films/b.avi")})));
        QVERIFY(Terminate(first));
        QCOMPARE(StoredConfiguration().Value("Main", "LastFile"),
                 std::optional<std::string>("/films/b.avi"));
    }

    void tenCopiesAtOnceAreTakenOneByOne()
    {
        // The running copy is this process, so that every file it is handed can be seen.
        test::MainWindowFixture running;
        test::Find<QCheckBox>(running.form->SettingsForm(), "cbOneInstance")->setChecked(true);
        QVERIFY(running.session->ListenForSecondCopies());
        QStringList taken;
        connect(running.form->comboFile, &QComboBox::editTextChanged, this,
                [&taken](const QString& text) { taken << text; });

        QStringList handed;
        std::vector<QProcess*> copies;
        for (int n = 0; n < 10; ++n) {
            handed << QStringLiteral("/films/copy %1.avi").arg(n);
            copies.push_back(Launch({handed.back()}));
        }
        for (QProcess* copy : copies)
            QVERIFY(EndsWithZero(copy));
        taken.sort();
        handed.sort();
        QCOMPARE(taken, handed);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
