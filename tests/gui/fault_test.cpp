#include "app/handover.h"
#include "equalizer/qt/eq_form.h"
#include "lang/qt/translate.h"
#include "main_window_fixture.h"
#include "platform/file_system.h"
#include "platform/zuvora_error.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "support/write_faults.h"
#include "util/ini_document.h"
#include "widgets/qt/history_combo.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSlider>
#include <QTextBlock>
#include <QTimer>
#include <QTreeView>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <minizip/zip.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

using namespace zuv;
using zuv::test::FileSizeLimit;
using zuv::test::ImmutableFolder;
using zuv::test::MainWindowFixture;
using zuv::test::ReadFile;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr off_t kHugeFileBytes = 100 * 1024 * 1024;
// The window answers within this time, whatever the player writes (about 100 ms on a machine
// that runs nothing else; a machine busy with parallel builds stalls it for over half a
// second, a window that lost its bounds for many seconds).
constexpr qint64 kLongestStallMs = 1000;
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

long ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}

QStringList ResultLines(TZUVMainForm& form)
{
    QStringList lines;
    for (QTextBlock block =
             test::Find<QPlainTextEdit>(form.ResultForm(), "Memo")->document()->firstBlock();
         block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

// The window once no player runs: Start can be pressed again, Stop is gone, the list is usable.
void VerifyIdleWindow(const TZUVMainForm& form)
{
    QVERIFY(!form.Playback()->Playing());
    QVERIFY(test::Find<QAction>(&form, "ActionStart")->isEnabled());
    QVERIFY(!test::Find<QAction>(&form, "ActionStop")->isVisible());
    const auto* list = form.findChild<QTreeView*>(QStringLiteral("lvPlaylist"));
    QVERIFY(!list || list->isEnabled());
}

// What tells whether a file was replaced, cut or changed: kind, size, inode and the first bytes.
struct FileState
{
    bool exists = false;
    bool folder = false;
    off_t size = 0;
    ino_t inode = 0;
    mode_t mode = 0;
    std::string head;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path)
{
    FileState state;
    struct stat info
    {};
    if (::lstat(path.c_str(), &info) != 0)
        return state;
    state.exists = true;
    state.folder = S_ISDIR(info.st_mode);
    state.size = state.folder ? 0 : info.st_size;
    state.inode = info.st_ino;
    state.mode = info.st_mode;
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); fd >= 0) {
        char buffer[65536];
        const ssize_t got = state.folder ? 0 : ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            state.head.assign(buffer, static_cast<std::size_t>(got));
        ::close(fd);
    }
    return state;
}

// `head` followed by holes up to 100 MB: huge to the program, nothing on the disk.
void WriteHugeFile(const std::string& path, std::string_view head)
{
    WriteFile(path, head);
    QCOMPARE(::truncate(path.c_str(), kHugeFileBytes), 0);
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
        names.push_back(fs::relative(entry.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

bool BoxMentions(const QString& text)
{
    const auto& boxes = MessageBox::ShownBoxes();
    return std::any_of(boxes.begin(), boxes.end(),
                       [&](const MessageBox::Shown& box) { return box.text.contains(text); });
}

QString Shown()
{
    QStringList texts;
    for (const MessageBox::Shown& box : MessageBox::ShownBoxes())
        texts << box.text;
    return texts.join(QStringLiteral(" | "));
}

// --- ZIP archives as hostile senders build them -------------------------------------------

// A member written as given: with `raw` the stored bytes go in as they are and the header
// declares `declaredSize` and `crc`; `flag` is the general purpose flag, `unixMode` the file
// mode in the external attributes of an archive made on Unix.
struct ZipMember
{
    std::string name;
    std::string data;
    bool raw = false;
    int method = 0;
    unsigned long declaredSize = 0;
    unsigned long crc = 0;
    unsigned long flag = 0;
    unsigned long unixMode = 0;
};

void WriteZip(const std::string& path, const std::vector<ZipMember>& members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    QVERIFY(zip);
    for (const ZipMember& member : members) {
        zip_fileinfo info{};
        info.external_fa = member.unixMode << 16;
        const unsigned long madeBy = member.unixMode != 0 ? (3ul << 8) | 20 : 0; // 3: Unix
        const int method = member.raw ? member.method : Z_DEFLATED;
        QCOMPARE(zipOpenNewFileInZip4(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                      nullptr, method, Z_DEFAULT_COMPRESSION, member.raw ? 1 : 0,
                                      -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, madeBy,
                                      member.flag),
                 ZIP_OK);
        zipWriteInFileInZip(zip, member.data.data(), static_cast<unsigned>(member.data.size()));
        if (member.raw)
            QCOMPARE(zipCloseFileInZipRaw(zip, member.declaredSize, member.crc), ZIP_OK);
        else
            QCOMPARE(zipCloseFileInZip(zip), ZIP_OK);
    }
    QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
}

unsigned long Crc(std::string_view data)
{
    return crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
}

// Raw deflate data that expands to `bytes` zero bytes, and the CRC of those bytes.
std::pair<std::string, unsigned long> DeflatedZeros(std::size_t bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    const std::string zeros(1024 * 1024, '\0');
    std::string output;
    unsigned long crc = 0;
    char buffer[65536];
    for (std::size_t left = bytes;;) {
        const std::size_t chunk = std::min(left, zeros.size());
        crc = crc32(crc, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(chunk));
        left -= chunk;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        stream.avail_in = static_cast<uInt>(chunk);
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        int result = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            result = deflate(&stream, flush);
            output.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        if (left == 0)
            break;
    }
    deflateEnd(&stream);
    return {output, crc};
}

// --- Paths that a command line text can break ------------------------------------------------

struct AwkwardPath
{
    std::string given;
    std::string arrives; // what the player gets
};

const std::vector<AwkwardPath>& AwkwardMedia()
{
    static const std::vector<AwkwardPath> paths{
        {"/films/Egy film.avi", "/films/Egy film.avi"},
        {"/films/say \"hi\" now.avi", "/films/say \"hi\" now.avi"},
        {"/films/\"quoted\".avi", "/films/\"quoted\".avi"},
        {"/films/ünnepi – őszi.avi", "/films/ünnepi – őszi.avi"},
        {"/films/tab\there.avi", "/films/tab\there.avi"},
        // Relative and led by "-": the player would take it for an option.
        {"-lead film.avi", "./-lead film.avi"},
        {"/films/back\\slash \\\"q\\", "/films/back\\slash \\\"q\\"},
    };
    return paths;
}

const std::vector<AwkwardPath>& AwkwardSubtitles()
{
    static const std::vector<AwkwardPath> paths{
        {"/subs/a b.srt", "/subs/a b.srt"},     {"/subs/\"x\" y.srt", "/subs/\"x\" y.srt"},
        {"/subs/it's.srt", "/subs/it's.srt"},   {"/subs/árvíztűrő.srt", "/subs/árvíztűrő.srt"},
        {"/subs/t\tb.srt", "/subs/t\tb.srt"},   {"-sub.srt", "./-sub.srt"},
        {"/subs/end\\ x\\", "/subs/end\\ x\\"},
    };
    return paths;
}

} // namespace

class FaultTest : public QObject
{
    Q_OBJECT

private:
    // A private runtime folder for the hand-over socket of each test.
    std::unique_ptr<TempDir> m_runtime;
    std::unique_ptr<ScopedEnv> m_runtimeEnv;

private slots:
    void init()
    {
        m_runtime = std::make_unique<TempDir>();
        m_runtimeEnv = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", m_runtime->path());
    }
    void cleanup()
    {
        m_runtimeEnv.reset();
        m_runtime.reset();
    }

    // --- The player ------------------------------------------------------------------------

    void playerThatCannotRunIsNamedInTheMessage_data()
    {
        QTest::addColumn<QString>("player");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << QString() << ENOENT;
        QTest::newRow("not executable") << QStringLiteral("mode 644") << EACCES;
        QTest::newRow("a folder") << QStringLiteral("folder") << EACCES;
        QTest::newRow("no interpreter") << QStringLiteral("#!/no/such/interpreter\n") << ENOENT;
        QTest::newRow("not a program") << QStringLiteral("\x01\x02 rubbish\n") << ENOEXEC;
    }

    void playerThatCannotRunIsNamedInTheMessage()
    {
        QFETCH(QString, player);
        QFETCH(int, error);
        MainWindowFixture fixture({}, false);
        TempDir nothing;
        ScopedEnv path("PATH", nothing.path());
        const std::string file = fixture.program.file("mplayer");
        if (player == QStringLiteral("folder")) {
            QCOMPARE(::mkdir(file.c_str(), 0755), 0);
        } else if (player == QStringLiteral("mode 644")) {
            test::WriteFakePlayer(fixture.program.path(), "exit 0");
            QCOMPARE(::chmod(file.c_str(), 0644), 0);
        } else if (!player.isEmpty()) {
            WriteFile(file, player.toStdString());
            QCOMPARE(::chmod(file.c_str(), 0755), 0);
        }
        TZUVMainForm& form = *fixture.form;
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/films/a.avi"));
        auto* ActionStart = test::Find<QAction>(&form, "ActionStart");
        ActionStart->trigger();
        VerifyIdleWindow(form);
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
        QCOMPARE(MessageBox::ShownBoxes().front().text,
                 QStringLiteral("Nem tudom elindítani az MPlayert!\n\n") +
                     QString::fromStdString(platform::ErrorMessage(platform::SystemError(error))));
        // Once the player is in place, the next Start plays.
        ::rmdir(file.c_str());
        test::WriteFakePlayer(fixture.program.path(), test::kFakePlayerScript);
        ActionStart->trigger();
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t(1));
    }

    void playerCrashingMidRunIsAnUncleanEnd()
    {
        MainWindowFixture fixture;
        test::WriteFakePlayer(fixture.program.path(),
                              "ulimit -c 0; printf 'frame 1\\n'; kill -SEGV $$; echo never");
        TZUVMainForm& form = *fixture.form;
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/films/a.avi"));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(fixture.WaitForIdle());
        VerifyIdleWindow(form);
        QCOMPARE(ResultLines(form),
                 QStringList({QStringLiteral("commandline: \"/films/a.avi -double\""),
                              QStringLiteral("frame 1"),
                              QStringLiteral("...exited, code: %1").arg(128 + SIGSEGV)}));
        // Shown after an unclean end, as the first start's options say; no box on top.
        QTRY_VERIFY(form.ResultForm()->isVisible());
        QVERIFY(MessageBox::ShownBoxes().empty());
    }

    void binaryOutputIsShownLineByLine()
    {
        MainWindowFixture fixture;
        test::WriteFakePlayer(fixture.program.path(),
                              "printf 'nul\\000byte\\nbad \\377\\376 utf8\\n"
                              "\\033[31mred\\033[0m\\007\\033]0;title\\007\\n\\r\\r\\nlast\\n'");
        TZUVMainForm& form = *fixture.form;
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/films/a.avi"));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(fixture.WaitForIdle());
        VerifyIdleWindow(form);
        const QStringList lines = ResultLines(form);
        QCOMPARE(lines.size(), 7);
        QVERIFY2(lines[1].startsWith(QStringLiteral("nul")) && lines[1].endsWith(u"byte"),
                 qPrintable(lines[1]));
        QCOMPARE(lines[2], QStringLiteral("bad \uFFFD\uFFFD utf8"));
        QVERIFY(lines[3].contains(QStringLiteral("red")));
        QCOMPARE(lines[4], QString());
        QCOMPARE(lines[5], QStringLiteral("last"));
        QCOMPARE(lines[6], QStringLiteral("...exited, code: 0"));
        QVERIFY(MessageBox::ShownBoxes().empty());
    }

    void floodedWindowStaysBoundedAndAnswers_data()
    {
        QTest::addColumn<QString>("script");
        // Under AddressSanitizer every step is slower: a smaller flood still overflows the window.
        QTest::newRow("lines as fast as the pipe takes them")
            << QStringLiteral("timeout %1 yes %2; echo end")
                   .arg(kSanitized ? 2 : 5)
                   .arg(QString(40, u'x'));
        QTest::newRow("200 MB without a line feed")
            << QStringLiteral("head -c %1 /dev/zero | tr '\\0' x; printf '\\nend\\n'")
                   .arg(kSanitized ? 20971520 : 209715200);
    }

    void floodedWindowStaysBoundedAndAnswers()
    {
        QFETCH(QString, script);
        MainWindowFixture fixture;
        test::WriteFakePlayer(fixture.program.path(), script.toStdString());
        TZUVMainForm& form = *fixture.form;
        // Shown from the start, so that every line is laid out as it comes.
        test::Find<QCheckBox>(form.SettingsForm(), "cbShowResult")->setChecked(true);
        test::Find<QCheckBox>(form.SettingsForm(), "cbResultIfUnclean")->setChecked(false);
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/films/a.avi"));
        const long idle = ResidentBytes();
        long highest = idle;
        // How long the window keeps the user waiting: the longest gap between ticks of a timer.
        QElapsedTimer clock;
        qint64 lastTick = 0;
        qint64 longestStall = 0;
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, this, [&] {
            const qint64 now = clock.elapsed();
            longestStall = std::max(longestStall, now - lastTick);
            lastTick = now;
            highest = std::max(highest, ResidentBytes());
        });
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(form.ResultForm()->isVisible());
        clock.start();
        ticks.start(10);
        QVERIFY(fixture.WaitForIdle(120000));
        ticks.stop();
        VerifyIdleWindow(form);
        const QStringList lines = ResultLines(form);
        QCOMPARE(lines.first(), QStringLiteral("commandline: \"/films/a.avi -double\""));
        QVERIFY2(lines[1].startsWith(QStringLiteral("... ")) &&
                     lines[1].endsWith(QStringLiteral(" older lines left out ...")),
                 qPrintable(lines[1]));
        QCOMPARE(lines.last(), QStringLiteral("...exited, code: 0"));
        QCOMPARE(lines[lines.size() - 2], QStringLiteral("end"));
        QVERIFY(lines.size() <= 10003);
        qInfo("resident: idle %ld MB, highest %ld MB; longest stall %lld ms", idle >> 20,
              highest >> 20, longestStall);
        if (kSanitized)
            QSKIP("AddressSanitizer holds freed memory back and slows every step: the memory and "
                  "stall figures are its own");
        QVERIFY2(highest - idle < 100L * 1024 * 1024, qPrintable(QString::number(highest - idle)));
        QVERIFY2(longestStall < kLongestStallMs, qPrintable(QString::number(longestStall)));
    }

    void stopEndsAPlayerThatNeverExits_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("sleeping") << QStringLiteral("echo ready; exec sleep 60");
        QTest::newRow("ignoring SIGTERM")
            << QStringLiteral("trap '' TERM; echo ready; while :; do sleep 1; done");
    }

    void stopEndsAPlayerThatNeverExits()
    {
        QFETCH(QString, script);
        MainWindowFixture fixture;
        test::WriteFakePlayer(fixture.program.path(), script.toStdString());
        TZUVMainForm& form = *fixture.form;
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/films/a.avi"));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QTRY_VERIFY(ResultLines(form).contains(QStringLiteral("ready")));
        auto* ActionStop = test::Find<QAction>(&form, "ActionStop");
        QVERIFY(ActionStop->isVisible());
        ActionStop->trigger();
        QVERIFY(fixture.WaitForIdle(15000));
        VerifyIdleWindow(form);
        QCOMPARE(ResultLines(form).last(), QStringLiteral("...exited, code: 255"));
        // A stopped run is a clean end: no result window, no box.
        QVERIFY(!form.ResultForm()->isVisible());
        QVERIFY(MessageBox::ShownBoxes().empty());
    }

    // --- The program's own files -------------------------------------------------------------

    void unreadableFilesAreKeptAndTheirPlaceTaken_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("damage");
        for (const char* file : {"zuv.ini", "equalizer.ini", "playlist.txt", "lang/enu.lng"})
            for (const char* damage : {"huge", "folder", "mode 000"})
                QTest::addRow("%s %s", file, damage)
                    << QString::fromLatin1(file) << QString::fromLatin1(damage);
    }

    void unreadableFilesAreKeptAndTheirPlaceTaken()
    {
        QFETCH(QString, file);
        QFETCH(QString, damage);
        if (damage == QStringLiteral("mode 000") && ::geteuid() == 0)
            QSKIP("root reads files of mode 000");
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        const std::string name = file.toStdString();
        const std::string path = fixture.program.file(name);
        // Text that would change the window, were it read.
        const std::string text = name == "zuv.ini" ? "[Audio]\r\nVolume=33\r\n"
                                 : name == "equalizer.ini"
                                     ? "[Old]\r\nValue=1:1:1:1:1:1:1:1:1:1\r\n"
                                 : name == "playlist.txt" ? "/films/old.avi|\r\n"
                                                          : "[Errors]\r\n103=Error\r\n";
        if (damage == QStringLiteral("huge")) {
            WriteHugeFile(path, text);
        } else if (damage == QStringLiteral("folder")) {
            WriteFile(path + "/inside", text);
        } else {
            WriteFile(path, text);
            QCOMPARE(::chmod(path.c_str(), 0), 0);
        }
        const FileState before = StateOf(path);

        fixture.Start();
        TZUVMainForm* form = fixture.form.get();
        QCOMPARE(test::Find<QSlider>(form, "tbVolume")->value(), 100);
        QCOMPARE(test::Find<QComboBox>(form->EQForm(), "comboPreset")->count(), 1);
        QCOMPARE(form->Playlist()->Count(), 0);
        QCOMPARE(GetText("Errors", "103", QStringLiteral("Hiba")), QStringLiteral("Hiba"));
        // Only the playlist's failure is news at start; the others are handled quietly.
        if (name == "playlist.txt") {
            QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
            QVERIFY2(MessageBox::ShownBoxes().front().text.startsWith(
                         QString::fromStdString(path + "\n\n")),
                     qPrintable(Shown()));
        } else {
            QVERIFY2(MessageBox::ShownBoxes().empty(), qPrintable(Shown()));
        }
        MessageBox::ClearShownBoxes();

        // This run's changes.
        test::Find<QSlider>(form, "tbVolume")->setValue(55);
        form->Playlist()->AddItem("/films/new.avi", {});
        test::Find<QComboBox>(form->EQForm(), "comboPreset")->setEditText(QStringLiteral("New"));
        form->EQForm()->btnSaveClick();
        fixture.Close();
        QVERIFY2(MessageBox::ShownBoxes().empty(), qPrintable(Shown()));
        QVERIFY(StateOf(path) == before);

        // They were stored elsewhere, where the next start finds them.
        fixture.Start();
        form = fixture.form.get();
        QVERIFY2(MessageBox::ShownBoxes().empty(), qPrintable(Shown()));
        QCOMPARE(test::Find<QSlider>(form, "tbVolume")->value(), 55);
        QCOMPARE(form->Playlist()->Count(), 1);
        QCOMPARE(
            test::Find<QComboBox>(form->EQForm(), "comboPreset")->findText(QStringLiteral("New")),
            1);
        fixture.Close();
        QVERIFY(StateOf(path) == before);
    }

    void hugeConfigurationInTheProfileFolderIsReportedAtExit()
    {
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        const std::string path = fixture.ProfileFolder() + "zuv.ini";
        WriteHugeFile(path, "[Audio]\r\nVolume=33\r\n");
        const FileState before = StateOf(path);
        fixture.Start();
        QCOMPARE(test::Find<QSlider>(fixture.form.get(), "tbVolume")->value(), 100);
        QVERIFY(MessageBox::ShownBoxes().empty());
        fixture.Close();
        QVERIFY(!MessageBox::ShownBoxes().empty());
        QCOMPARE(MessageBox::ShownBoxes().front().text,
                 QString::fromStdString(path + "\n\n" +
                                        platform::ErrorMessage(platform::SystemError(EFBIG))));
        QVERIFY(StateOf(path) == before);
        QVERIFY(!ReadFile(fixture.program.file("zuv.ini")));
    }

    void truncatedAndBinaryFilesGiveWhatTheyHold_data()
    {
        QTest::addColumn<bool>("binary");
        QTest::newRow("truncated") << false;
        QTest::newRow("binary") << true;
    }

    void truncatedAndBinaryFilesGiveWhatTheyHold()
    {
        QFETCH(bool, binary);
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        // Cut in the middle of the last line; or the readable start of the text, a NUL (which
        // ends the text) and bytes of no text encoding after it.
        const std::string rubbish =
            std::string("\0\x01\xff\xfe\x1b[2J\r\n[Audio]\r\nVolume=44", 23);
        const auto damaged = [&](const std::string& readable, const std::string& cut) {
            return binary ? readable + rubbish : readable + cut;
        };
        WriteFile(fixture.program.file("zuv.ini"),
                  damaged("[Audio]\r\nVolume=33\r\n", "[Main]\r\nLastFile=/films/cu"));
        WriteFile(fixture.program.file("playlist.txt"),
                  damaged("/films/a.avi|/films/a.srt\r\n", "/films/b.avi|/films/b.s"));
        WriteFile(fixture.program.file("equalizer.ini"),
                  damaged("[Rock]\r\nValue=1:2:3:4:5:6:7:8:9:10\r\n", "[Pop]\r\nValue=1:2"));
        // Not valid UTF-8 either: read as cp1250.
        const std::string language = damaged("[Errors]\r\n103=Hib\xe1\r\n", "[Main]\r\n100=Fil");
        WriteFile(fixture.program.file("lang/enu.lng"), language);

        fixture.Start();
        TZUVMainForm& form = *fixture.form;
        QVERIFY2(MessageBox::ShownBoxes().empty(), qPrintable(Shown()));
        QCOMPARE(test::Find<QSlider>(&form, "tbVolume")->value(), 33);
        QCOMPARE(GetText("Errors", "103", QStringLiteral("Hiba")), QStringLiteral("Hibá"));
        QCOMPARE(
            test::Find<QComboBox>(form.EQForm(), "comboPreset")->findText(QStringLiteral("Rock")),
            1);
        if (binary) {
            QCOMPARE(form.Playlist()->Count(), 1);
            QCOMPARE(test::Find<QComboBox>(form.EQForm(), "comboPreset")->count(), 2);
        } else {
            QCOMPARE(test::Find<THistoryCombo>(&form, "comboFile")->currentText(),
                     QStringLiteral("/films/cu"));
            QCOMPARE(form.Playlist()->Count(), 2);
            QCOMPARE(form.Playlist()->Items().Item(1).subtitlePath, std::string("/films/b.s"));
            QCOMPARE(test::Find<QComboBox>(form.EQForm(), "comboPreset")
                         ->findText(QStringLiteral("Pop")),
                     2);
            QCOMPARE(GetText("Main", "100", QString()), QStringLiteral("Fil"));
        }
        fixture.Close();
        QVERIFY2(MessageBox::ShownBoxes().empty(), qPrintable(Shown()));

        // What was read is written back whole; language files are only ever read.
        const IniDocument stored =
            IniDocument::Parse(ReadFile(fixture.program.file("zuv.ini")).value_or(""));
        QCOMPARE(stored.Value("Audio", "Volume"), std::optional<std::string>("33"));
        QCOMPARE(stored.Value("Main", "LastFile"),
                 std::optional<std::string>(binary ? "" : "/films/cu"));
        QCOMPARE(ReadFile(fixture.program.file("playlist.txt")),
                 std::optional<std::string>(binary ? "/films/a.avi|/films/a.srt\r\n"
                                                   : "/films/a.avi|/films/a.srt\r\n"
                                                     "/films/b.avi|/films/b.s\r\n"));
        const IniDocument presets =
            IniDocument::Parse(ReadFile(fixture.program.file("equalizer.ini")).value_or(""));
        QCOMPARE(presets.Value("Rock", "Value"),
                 std::optional<std::string>("1:2:3:4:5:6:7:8:9:10"));
        if (!binary)
            QCOMPARE(presets.Value("Pop", "Value"), std::optional<std::string>("1:2"));
        QCOMPARE(ReadFile(fixture.program.file("lang/enu.lng")), std::optional(language));
    }

    void fullDiskOrLockedFoldersKeepTheOldFiles_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("disk full") << false;
        QTest::newRow("read-only folders") << true;
    }

    void fullDiskOrLockedFoldersKeepTheOldFiles()
    {
        QFETCH(bool, locked);
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        const std::vector<std::pair<std::string, std::string>> oldFiles{
            {"zuv.ini", "[Audio]\r\nVolume=33\r\n[Files]\r\nItem1=/films/old film.avi\r\n"},
            {"playlist.txt", "/films/old film.avi|/films/old film.srt\r\n"},
            {"equalizer.ini", "[Old]\r\nValue=1:1:1:1:1:1:1:1:1:1\r\n"},
        };
        for (const auto& [name, text] : oldFiles)
            WriteFile(fixture.program.file(name), text);
        QVERIFY(!platform::CreateFolders(fixture.ProfileFolder()));
        fixture.Start();
        TZUVMainForm& form = *fixture.form;
        auto* tbVolume = test::Find<QSlider>(&form, "tbVolume");
        QCOMPARE(tbVolume->value(), 33);
        tbVolume->setValue(55);
        test::Find<THistoryCombo>(&form, "comboFile")
            ->addItem(QStringLiteral("/films/new film.avi"));
        form.Playlist()->AddItem("/films/" + std::string(100, 'n') + ".avi", {});
        test::Find<QComboBox>(form.EQForm(), "comboPreset")->setEditText(QStringLiteral("New"));
        form.EQForm()->btnSaveClick();
        const std::vector<std::string> programEntries = FolderEntries(fixture.program.path());
        {
            std::optional<FileSizeLimit> full;
            std::optional<ImmutableFolder> program;
            std::optional<ImmutableFolder> profile;
            if (locked) {
                program.emplace(fixture.program.path());
                profile.emplace(fixture.ProfileFolder());
                if (!program->Active() || !profile->Active())
                    QSKIP("this file system or container cannot make a folder unwritable for root");
            } else {
                full.emplace(16);
            }
            fixture.Close();
        }
        for (const auto& [name, text] : oldFiles)
            QCOMPARE(ReadFile(fixture.program.file(name)), std::optional(text));
        // No half-written or temporary file anywhere.
        QCOMPARE(FolderEntries(fixture.program.path()), programEntries);
        QCOMPARE(FolderEntries(fixture.ProfileFolder()), std::vector<std::string>());
        // The user was told about the options and the playlist (the presets fail quietly).
        const QString profileFile = QString::fromStdString(fixture.ProfileFolder() + "zuv.ini");
        QVERIFY2(!MessageBox::ShownBoxes().empty(), "no message");
        QVERIFY2(MessageBox::ShownBoxes().front().text.startsWith(profileFile),
                 qPrintable(Shown()));
        QVERIFY2(BoxMentions(QStringLiteral("playlist.txt")), qPrintable(Shown()));
        for (const MessageBox::Shown& box : MessageBox::ShownBoxes())
            QCOMPARE(box.icon, QMessageBox::Critical);
    }

    // --- Subtitle archives -------------------------------------------------------------------

    void hostileArchivesPlayWithoutTheSubtitle_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("reason");
        QTest::newRow("damaged data")
            << QStringLiteral("damaged data") << QStringLiteral("is damaged");
        QTest::newRow("cut short")
            << QStringLiteral("cut short") << QStringLiteral("Not a ZIP archive, or a damaged one");
        QTest::newRow("encrypted") << QStringLiteral("encrypted") << QStringLiteral("is encrypted");
        QTest::newRow("declares 1 GiB")
            << QStringLiteral("declares 1 GiB") << QStringLiteral("is too large");
        QTest::newRow("expands to 100 MB")
            << QStringLiteral("expands to 100 MB") << QStringLiteral("is damaged");
        QTest::newRow("climbing name")
            << QStringLiteral("climbing name") << QStringLiteral("outside");
        QTest::newRow("absolute name")
            << QStringLiteral("absolute name") << QStringLiteral("outside");
        QTest::newRow("link") << QStringLiteral("link") << QStringLiteral("link");
    }

    void hostileArchivesPlayWithoutTheSubtitle()
    {
        QFETCH(QString, archive);
        QFETCH(QString, reason);
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        const std::string zip = fixture.temp.file("hostile pack.zip");
        const std::string climbed =
            fs::path(fixture.temp.path()).parent_path().parent_path().string() + "/zuvora-fault-" +
            std::to_string(::getpid()) + ".srt";
        const std::string absolute = fixture.program.file("absolute.srt");
        const std::string text = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n";
        ZipMember member{"film.srt", text};
        if (archive == QStringLiteral("damaged data")) {
            member = {"film.srt", text, true, 0, text.size(), Crc(text) ^ 1};
        } else if (archive == QStringLiteral("encrypted")) {
            member = {"film.srt", text, true, 0, text.size(), Crc(text), 1};
        } else if (archive == QStringLiteral("declares 1 GiB")) {
            member = {"film.srt", text, true, 0, 1ul << 30, Crc(text)};
        } else if (archive == QStringLiteral("expands to 100 MB")) {
            const auto [deflated, crc] = DeflatedZeros(100 * 1000 * 1000);
            member = {"film.srt", deflated, true, Z_DEFLATED, 1000, crc};
        } else if (archive == QStringLiteral("climbing name")) {
            member.name = "subs/../../" + fs::path(climbed).filename().string();
        } else if (archive == QStringLiteral("absolute name")) {
            member.name = absolute;
        } else if (archive == QStringLiteral("link")) {
            member = {"film.srt", fixture.program.file("zuv.ini")};
            member.unixMode = 0120777;
        }
        WriteZip(zip, {{"readme.txt", "read me"}, member});
        if (archive == QStringLiteral("cut short"))
            QCOMPARE(::truncate(zip.c_str(), off_t(fs::file_size(zip) / 2)), 0);
        QVERIFY(fs::file_size(zip) < 200 * 1000);

        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/films/a.avi"));
        test::Find<THistoryCombo>(&form, "comboSub")->setEditText(QString::fromStdString(zip));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(fixture.WaitForIdle());
        VerifyIdleWindow(form);
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), std::size_t(1));
        QCOMPARE(runs[0], (std::vector<std::string>{"/films/a.avi", "-double"}));
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
        const QString message = MessageBox::ShownBoxes().front().text;
        QVERIFY2(message.startsWith(QString::fromStdString(zip + "\n\n")), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        // Nothing was unpacked, here or anywhere else; the private folder for subtitles may be
        // there, empty.
        std::vector<std::string> entries = FolderEntries(fixture.temp.path());
        std::erase(entries, "zuvora-" + std::to_string(::getuid()));
        QCOMPARE(entries, std::vector<std::string>{"hostile pack.zip"});
        QVERIFY(!fs::exists(climbed));
        QVERIFY(!fs::exists(absolute));
    }

    // --- Paths ------------------------------------------------------------------------------

    void awkwardPathsArriveWhole()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        const auto& media = AwkwardMedia();
        const auto& subtitles = AwkwardSubtitles();
        for (std::size_t i = 0; i < media.size(); ++i) {
            test::Find<THistoryCombo>(&form, "comboFile")
                ->setEditText(QString::fromStdString(media[i].given));
            test::Find<THistoryCombo>(&form, "comboSub")
                ->setEditText(QString::fromStdString(subtitles[i].given));
            test::Find<QAction>(&form, "ActionStart")->trigger();
            QVERIFY(fixture.WaitForIdle());
        }
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), media.size());
        for (std::size_t i = 0; i < media.size(); ++i)
            QCOMPARE(runs[i], (std::vector<std::string>{media[i].arrives, "-sub",
                                                        subtitles[i].arrives, "-double"}));
        QVERIFY(MessageBox::ShownBoxes().empty());
    }

    void awkwardPathsSurviveThePlaylistFilesAndTheHandOver()
    {
        MainWindowFixture fixture;
        TZUVMainForm* form = fixture.form.get();
        const auto& media = AwkwardMedia();
        const auto& subtitles = AwkwardSubtitles();
        const auto verifyItems = [&](const TZUVMainForm& shown) {
            QCOMPARE(shown.Playlist()->Count(), int(media.size()));
            for (std::size_t i = 0; i < media.size(); ++i) {
                QCOMPARE(shown.Playlist()->Items().Item(i).mediaPath, media[i].given);
                QCOMPARE(shown.Playlist()->Items().Item(i).subtitlePath, subtitles[i].given);
            }
        };
        form->ShowPlaylist();
        for (std::size_t i = 0; i < media.size(); ++i)
            form->Playlist()->AddItem(media[i].given, subtitles[i].given);

        // Saved and loaded again by the user.
        const QString saved = QString::fromStdString(fixture.temp.file("my list ü.txt"));
        FileDialog::SetNextAnswer({saved});
        test::Find<QAction>(form, "ActionPlSave")->trigger();
        form->Playlist()->Clear();
        FileDialog::SetNextAnswer({saved});
        test::Find<QAction>(form, "ActionPlLoad")->trigger();
        verifyItems(*form);
        if (QTest::currentTestFailed())
            return;

        // Kept in "playlist.txt" to the next start, then played item by item.
        fixture.Restart();
        form = fixture.form.get();
        verifyItems(*form);
        if (QTest::currentTestFailed())
            return;
        form->SelectPlaylistItem(0);
        test::Find<QAction>(form, "ActionStart")->trigger();
        QVERIFY(fixture.WaitForIdle(30000));
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), media.size());
        for (std::size_t i = 0; i < media.size(); ++i)
            QCOMPARE(runs[i], (std::vector<std::string>{media[i].arrives, "-sub",
                                                        subtitles[i].arrives, "-double"}));

        // Handed over by a second copy: its arguments become the playlist. A name led by "-"
        // is a switch there, so it comes as the player gets it.
        std::vector<std::string> arguments{"/usr/bin/zuvora"};
        for (const AwkwardPath& path : media)
            arguments.push_back(path.arrives);
        arguments.push_back("-start");
        fixture.session->TakeOverCommandLine(JoinCommandLine(arguments));
        QCOMPARE(form->Playlist()->Count(), int(media.size()));
        for (std::size_t i = 0; i < media.size(); ++i)
            QCOMPARE(form->Playlist()->Items().Item(i).mediaPath, media[i].arrives);
        QCOMPARE(test::Find<THistoryCombo>(form, "comboFile")->currentText(),
                 QString::fromStdString(media[0].arrives));
        QVERIFY(MessageBox::ShownBoxes().empty());
    }
};

QTEST_MAIN(FaultTest)
#include "fault_test.moc"
