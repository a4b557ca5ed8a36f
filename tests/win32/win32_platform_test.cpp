// The Windows platform layer against the real system (under Wine in the cross-build): registry,
// processes with a fake player built by the same compiler, version resources, fonts, files.
#include "app/command_line_help.h"
#include "fileassoc/association_backend.h"
#include "fileassoc/registry_association.h"
#include "fileassoc/windows_registry_store.h"
#include "options/options.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/player_socket.h"
#include "platform/process.h"
#include "platform/system_error.h"
#include "platform/version_info.h"
#include "platform/win32/registry.h"
#include "platform/win32/system_command_filter.h"
#include "platform/win32/windows_fonts.h"
#include "platform/win32/windows_power.h"
#include "platform/zuvora_error.h"
#include "playback/capture_run.h"
#include "playback/exec_thread.h"
#include "playback/mpv_dialect.h"
#include "playback/player_choice.h"
#include "settings/font_list.h"
#include "support/owner_thread.h"
#include "support/test_support.h"

// windows.h without its CreateProcess macro, which would rename ProcessStartStep::CreateProcess.
#include "platform/win32/windows_headers.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>

using namespace zuv;
using platform::RegistryRoot;
using zuv::test::OwnerThread;
using zuv::test::ReadFile;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFile;
using Lines = std::vector<std::string>;

namespace {

// A program folder holding the fake player under the player's name.
class PlayerFolder
{
public:
    PlayerFolder() { std::filesystem::copy_file(ZUVORA_FAKE_PLAYER, m_folder.file("mplayer.exe")); }
    const std::string& path() const { return m_folder.path(); }
    std::string player() const { return m_folder.file("mplayer.exe"); }

private:
    TempDir m_folder;
};

// Runs a child to its end; its output and exit code.
std::pair<std::string, int> RunToEnd(platform::ChildProcess& process)
{
    std::string output;
    char buffer[1000];
    while (const std::size_t got = process.Read(buffer, sizeof buffer).size)
        output.append(buffer, got);
    return {output, process.WaitForExit().value_or(-1)};
}

std::pair<std::string, int> RunPlayer(const PlayerFolder& folder,
                                      std::vector<std::string> arguments, int priority = 2)
{
    arguments.insert(arguments.begin(), "mplayer");
    platform::ChildProcess process;
    EXPECT_FALSE(process.Start({folder.player(), arguments, folder.path(), priority}).failed());
    return RunToEnd(process);
}

struct PlaybackRun
{
    PlayerFolder folder;
    OwnerThread owner;
    Lines lines;
    std::optional<int> exitCode;
    std::unique_ptr<TExecThread> run;

    platform::ProcessStartError Start(const std::string& arguments, int priority = 2)
    {
        TExecThread::Handlers handlers;
        handlers.post = [this](std::function<void()> task) { owner.Post(std::move(task)); };
        handlers.lines = [this](Lines& batch) {
            lines.insert(lines.end(), batch.begin(), batch.end());
        };
        handlers.exited = [this](std::optional<int> code) { exitCode = code.value_or(-1); };
        auto started = TExecThread::Start({"mplayer " + arguments, priority, folder.path()},
                                          std::move(handlers));
        run = std::move(started.run);
        return started.error;
    }
    int Finish()
    {
        owner.RunUntil([this] { return exitCode.has_value(); });
        run.reset();
        return *exitCode;
    }
};

// A key below HKEY_CURRENT_USER for one test, removed with everything in it at the end.
class ScratchKey
{
public:
    explicit ScratchKey(std::string name) : m_key("Software\\ZuvoraTests\\" + std::move(name))
    {
        platform::DeleteRegTree(RegistryRoot::CurrentUser, m_key);
    }
    ~ScratchKey() { platform::DeleteRegTree(RegistryRoot::CurrentUser, m_key); }
    const std::string& key() const { return m_key; }

private:
    std::string m_key;
};

std::string Read(WindowsRegistryStore& store, const std::string& key, const std::string& name = "")
{
    std::string text = "<missing>";
    store.ReadString(key, name, text);
    return text;
}

const std::string kProgram = "C:\\Program Files\\Zuvora\\zuvora.exe";
const std::string kOwnCommand = "\"C:\\Program Files\\Zuvora\\zuvora.exe\" \"%L\"";
const std::string kOtherCommand = "\"C:\\Players\\other.exe\" /play \"%1\"";

} // namespace

TEST(WindowsRegistry, PrimitivesFollowTheRegistry)
{
    ScratchKey scratch("Primitives");
    std::string text = "untouched";
    EXPECT_EQ(platform::ReadRegString(RegistryRoot::CurrentUser, scratch.key(), "", text),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text, "untouched"); // the key could not be opened

    EXPECT_EQ(
        platform::WriteRegString(RegistryRoot::CurrentUser, scratch.key() + "\\a\\b", "", "x"), 0);
    EXPECT_EQ(platform::ReadRegString(RegistryRoot::CurrentUser, scratch.key() + "\\a", "v", text),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text, ""); // emptied once the key was open
    EXPECT_EQ(
        platform::WriteRegString(RegistryRoot::CurrentUser, scratch.key() + "\\A", "V", "é y"), 0);
    EXPECT_EQ(platform::ReadRegString(RegistryRoot::CurrentUser, scratch.key() + "\\a", "v", text),
              0);
    EXPECT_EQ(text, "é y");
    EXPECT_EQ(
        platform::ReadRegString(RegistryRoot::CurrentUser, scratch.key() + "\\a\\b", "", text), 0);
    EXPECT_EQ(text, "x");

    std::vector<std::string> names;
    EXPECT_EQ(platform::ListRegValueNames(RegistryRoot::CurrentUser, scratch.key() + "\\a", names),
              0);
    EXPECT_EQ(names, std::vector<std::string>{"V"});
    EXPECT_EQ(platform::DeleteRegValue(RegistryRoot::CurrentUser, scratch.key() + "\\a", "v"), 0);
    EXPECT_EQ(platform::DeleteRegValue(RegistryRoot::CurrentUser, scratch.key() + "\\a", "v"), 0);
    EXPECT_EQ(platform::DeleteRegValue(RegistryRoot::CurrentUser, scratch.key() + "\\none", "v"),
              ERROR_FILE_NOT_FOUND);
}

TEST(WindowsRegistry, UnknownExtensionIsCreatedWholeAndGivenBackWithAnEmptyCommand)
{
    ScratchKey scratch("Unknown");
    WindowsRegistryStore store(RegistryRoot::CurrentUser, scratch.key());
    RegistryAssociationBackend backend(store, kProgram);
    AssociationRowState row = backend.ReadRow(".xyz");
    EXPECT_TRUE(row.status.ok());
    EXPECT_EQ(row.description, "-");
    EXPECT_FALSE(row.owned);

    ASSERT_TRUE(ApplyAssociationChoices(backend, {{".xyz", true}}).status.ok());
    EXPECT_EQ(Read(store, ".xyz"), "xyzfile");
    EXPECT_EQ(Read(store, "xyzfile"), "Media file");
    EXPECT_EQ(Read(store, "xyzfile\\shell"), "open");
    EXPECT_EQ(Read(store, "xyzfile\\shell\\open"), "&Open");
    EXPECT_EQ(Read(store, "xyzfile\\shell\\open\\command"), kOwnCommand);
    EXPECT_EQ(Read(store, "xyzfile\\shell\\open\\command", "zuv.exe"), "<missing>");
    EXPECT_EQ(Read(store, "xyzfile\\shell", "zuv.exe"), "<missing>");
    row = backend.ReadRow(".xyz");
    EXPECT_TRUE(row.owned);
    EXPECT_EQ(row.program, "zuvora.exe");

    // No command was backed up: giving it back leaves an empty command.
    ASSERT_TRUE(ApplyAssociationChoices(backend, {{".xyz", false}}).status.ok());
    EXPECT_EQ(Read(store, "xyzfile\\shell\\open\\command"), "");
    EXPECT_EQ(Read(store, "xyzfile"), "Media file");
}

TEST(WindowsRegistry, AnotherProgramsVerbAndCommandAreBackedUpAndRestored)
{
    ScratchKey scratch("Other");
    WindowsRegistryStore store(RegistryRoot::CurrentUser, scratch.key());
    store.WriteString(".avi", "", "Other.avi");
    store.WriteString(".divx", "", "Other.avi"); // shares the file type
    store.WriteString("Other.avi", "", "AVI video");
    store.WriteString("Other.avi\\shell", "", "play");
    store.WriteString("Other.avi\\shell\\play\\command", "", kOtherCommand);
    store.WriteString("Other.avi\\shell\\open\\command", "", kOtherCommand);

    RegistryAssociationBackend backend(store, kProgram);
    AssociationRowState row = backend.ReadRow(".avi");
    EXPECT_EQ(row.description, "AVI video");
    EXPECT_EQ(row.program, "other.exe");
    EXPECT_FALSE(row.owned);

    ASSERT_TRUE(ApplyAssociationChoices(backend, {{".avi", true}}).status.ok());
    EXPECT_EQ(Read(store, "Other.avi\\shell"), "open");
    EXPECT_EQ(Read(store, "Other.avi\\shell", "zuv.exe"), "play");
    EXPECT_EQ(Read(store, "Other.avi\\shell\\open\\command"), kOwnCommand);
    EXPECT_EQ(Read(store, "Other.avi\\shell\\open\\command", "zuv.exe"), kOtherCommand);
    // The extension that shares the file type follows; the path is compared without case.
    EXPECT_TRUE(backend.ReadRow(".divx").owned);
    RegistryAssociationBackend upperCase(store, "c:\\PROGRAM FILES\\zuvora\\ZUVORA.EXE");
    EXPECT_TRUE(upperCase.ReadRow(".avi").owned);
    RegistryAssociationBackend copy(store, "D:\\Zuvora\\zuvora.exe");
    EXPECT_FALSE(copy.ReadRow(".avi").owned);

    ASSERT_TRUE(ApplyAssociationChoices(backend, {{".avi", false}}).status.ok());
    EXPECT_EQ(Read(store, "Other.avi\\shell"), "play");
    EXPECT_EQ(Read(store, "Other.avi\\shell\\open\\command"), kOtherCommand);
    EXPECT_EQ(Read(store, "Other.avi\\shell", "zuv.exe"), "<missing>");
    EXPECT_EQ(Read(store, "Other.avi\\shell\\open\\command", "zuv.exe"), "<missing>");
    EXPECT_EQ(Read(store, "Other.avi\\shell\\open"), "&Open");
}

TEST(WindowsRegistry, TheSystemBackEndWorksOnClassesRoot)
{
    const std::string extension = ".zuvoratest";
    const auto backend = CreateSystemAssociationBackend();
    ASSERT_TRUE(ApplyAssociationChoices(*backend, {{extension, true}}).status.ok());
    const AssociationRowState row = backend->ReadRow(extension);
    EXPECT_TRUE(row.owned);
    EXPECT_EQ(row.program, "core_win32_platform_test.exe");
    std::string progId;
    EXPECT_EQ(platform::ReadRegString(RegistryRoot::ClassesRoot, extension, "", progId), 0);
    EXPECT_EQ(progId, "zuvoratestfile");
    platform::DeleteRegTree(RegistryRoot::ClassesRoot, extension);
    platform::DeleteRegTree(RegistryRoot::ClassesRoot, progId);
}

TEST(WindowsProcess, FindsThePlayerWithItsExtensionFirstInTheProgramFolder)
{
    PlayerFolder first;
    TempDir onPath;
    std::filesystem::copy_file(ZUVORA_FAKE_PLAYER, onPath.file("mplayer.exe"));
    ScopedEnv path("PATH", ";\"" + onPath.path() + "\";");
    EXPECT_EQ(platform::FindProgram("mplayer", first.path()).path, first.player());
    EXPECT_EQ(platform::FindProgram("mplayer", "").path, onPath.file("mplayer.exe"));
    EXPECT_EQ(platform::FindProgram("mplayer.exe", "").path, onPath.file("mplayer.exe"));
    EXPECT_EQ(platform::FindProgram("none", first.path()).error,
              platform::SystemError(platform::kErrorFileNotFound));
    EXPECT_EQ(platform::FindProgram(first.path() + "missing", "").error,
              platform::SystemError(platform::kErrorFileNotFound));
}

TEST(WindowsProcess, JoinsTheStreamsKeepsTheBytesAndTheArguments)
{
    PlayerFolder folder;
    const auto [output, code] = RunPlayer(folder, {"out:a\\r\\nb\\0c\\n", "err:e\\n", "cwd", "args",
                                                   "two words", "q\"uote", "", "tail\\"});
    EXPECT_EQ(code, 0);
    const std::string cwd = folder.path().substr(0, folder.path().size() - 1);
    EXPECT_EQ(output, std::string("a\r\nb\0c\n", 7) + "e\n" + cwd +
                          "\n[out:a\\r\\nb\\0c\\n]\n[err:e\\n]\n[cwd]\n[args]\n[two words]\n"
                          "[q\"uote]\n[]\n[tail\\]\n");
}

TEST(WindowsProcess, ExitCodesTerminateWith255AndDeadlines)
{
    PlayerFolder folder;
    EXPECT_EQ(RunPlayer(folder, {"exit:1"}).second, 1);
    EXPECT_EQ(RunPlayer(folder, {"exit:255"}).second, 255);
    EXPECT_EQ(RunPlayer(folder, {"exit:-1"}).second, -1); // read as a signed number

    platform::ChildProcess process;
    ASSERT_FALSE(process.Start({folder.player(), {"mplayer", "out:ready\\n", "sleep:30000"}, {}, 2})
                     .failed());
    char buffer[100];
    EXPECT_EQ(std::string(buffer, process.Read(buffer, sizeof buffer).size), "ready\n");
    const auto soon = platform::ChildProcess::Clock::now() + std::chrono::milliseconds(50);
    EXPECT_TRUE(process.Read(buffer, sizeof buffer, soon).timedOut);
    EXPECT_EQ(process.WaitForExit(soon), std::nullopt);
    process.Terminate();
    process.Terminate();
    EXPECT_EQ(process.Read(buffer, sizeof buffer).size, 0u);
    EXPECT_EQ(process.WaitForExit(), 255);
    process.Kill(); // harmless after the end

    // A child that has already ended keeps its own code.
    platform::ChildProcess ended;
    ASSERT_FALSE(ended.Start({folder.player(), {"mplayer", "exit:3"}, {}, 2}).failed());
    while (ended.Read(buffer, sizeof buffer).size > 0) {
    }
    ::Sleep(200);
    ended.Terminate();
    EXPECT_EQ(ended.WaitForExit(), 3);
}

TEST(WindowsProcess, PriorityPositionsGiveTheirClasses)
{
    PlayerFolder folder;
    EXPECT_EQ(RunPlayer(folder, {"priority"}, 2).first, "20\n"); // no class given: normal
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Wine does not keep the priority class given at the start of a process";
    EXPECT_EQ(RunPlayer(folder, {"priority"}, 0).first, "40\n");
    EXPECT_EQ(RunPlayer(folder, {"priority"}, 1).first, "4000\n");
    EXPECT_EQ(RunPlayer(folder, {"priority"}, 3).first, "8000\n");
    EXPECT_EQ(RunPlayer(folder, {"priority"}, 4).first, "80\n");
}

TEST(WindowsPlayback, CompleteLinesOnlyWithoutCarriageReturnsAndTheExitCode)
{
    PlaybackRun run;
    ASSERT_FALSE(
        run.Start("out:first\\r\\nsecond\\n err:third\\r\\n out:\\r\\n out:unfinished exit:3")
            .failed());
    EXPECT_EQ(run.Finish(), 3);
    EXPECT_EQ(run.lines, (Lines{"first", "second", "third", ""}));

    PlaybackRun silent;
    ASSERT_FALSE(silent.Start("exit:0").failed());
    EXPECT_EQ(silent.Finish(), 0);
    EXPECT_TRUE(silent.lines.empty());
}

TEST(WindowsPlayback, StopEndsTheRunWith255)
{
    PlaybackRun run;
    ASSERT_FALSE(run.Start("out:playing\\n sleep:30000").failed());
    run.owner.RunUntil([&] { return !run.lines.empty(); });
    run.run->Stop();
    EXPECT_EQ(run.Finish(), 255);
    EXPECT_EQ(run.lines, Lines{"playing"});
}

TEST(WindowsPlayback, AMissingPlayerIsAFailedCreateProcess)
{
    TempDir empty;
    ScopedEnv path("PATH", empty.path());
    OwnerThread owner;
    TExecThread::Handlers handlers{[](std::function<void()>) {}, [](Lines&) {},
                                   [](std::optional<int>) {}};
    const auto started = TExecThread::Start({"mplayer x.avi", 2, empty.path()}, handlers);
    EXPECT_FALSE(started.run);
    EXPECT_EQ(started.error.step, platform::ProcessStartStep::CreateProcess);
    EXPECT_EQ(started.error.error, platform::SystemError(platform::kErrorFileNotFound));
    EXPECT_EQ(StartStepName(started.error.step), "CreateProcess");
}

TEST(WindowsPlayerChoice, MpvExeIsFoundAsMplayerExeIsAndRunsWithoutAControlSocket)
{
    TempDir programFolder;
    TempDir onPath;
    ScopedEnv path("PATH", onPath.path());
    const auto place = [](const TempDir& folder, const char* name) {
        std::filesystem::copy_file(ZUVORA_RECORDING_PLAYER, folder.file(name));
    };
    // Neither player: Automatic stays with MPlayer, whose start then fails as always.
    EXPECT_FALSE(ChoiceRunsMpv(kPlayerAutomatic, programFolder.path()));
    place(onPath, "mpv.exe");
    EXPECT_TRUE(ChoiceRunsMpv(kPlayerAutomatic, programFolder.path()));
    EXPECT_TRUE(ChoiceRunsMpv(kPlayerMpv, programFolder.path()));

    // The program folder's mpv.exe runs before the one on PATH, the file's path quoted whole.
    place(programFolder, "mpv.exe");
    OwnerThread owner;
    std::optional<int> exitCode;
    TExecThread::Handlers handlers;
    handlers.post = [&owner](std::function<void()> task) { owner.Post(std::move(task)); };
    handlers.lines = [](Lines&) {};
    handlers.exited = [&exitCode](std::optional<int> code) { exitCode = code.value_or(-1); };
    const std::string commandLine =
        RunCommandLine(PlayerDialect::Mpv, "Z:\\films\\a b.avi", "", " --fs");
    auto started = TExecThread::Start({commandLine, 2, programFolder.path()}, std::move(handlers));
    ASSERT_TRUE(started.run) << commandLine;
    owner.RunUntil([&exitCode] { return exitCode.has_value(); });
    started.run.reset();
    EXPECT_EQ(exitCode, 0);
    const std::string recorded = ReadFile(programFolder.file("args.log")).value_or("");
    EXPECT_NE(recorded.find("\"Z:\\films\\a b.avi\" --fs"), std::string::npos) << recorded;
    EXPECT_FALSE(std::filesystem::exists(onPath.file("args.log")));
    // No media controls on Windows: mpv gets no socket to be driven through.
    EXPECT_EQ(platform::PlayerSocketPath("zuv-mpv-1-1"), "");

    // MPlayer found anywhere comes first.
    place(onPath, "mplayer.exe");
    EXPECT_FALSE(ChoiceRunsMpv(kPlayerAutomatic, programFolder.path()));
}

TEST(WindowsCapture, WholeOutputCutAtAZeroAndNothingWhenNotStarted)
{
    PlayerFolder folder;
    EXPECT_EQ(CaptureRun("mplayer out:ID_VIDEO_WIDTH=640\\r\\n err:ID_VIDEO_HEIGHT=480\\n exit:1",
                         folder.path()),
              "ID_VIDEO_WIDTH=640\r\nID_VIDEO_HEIGHT=480\n");
    const auto cut = CaptureRun("mplayer out:a\\0b", folder.path());
    EXPECT_EQ(cut, "a");
    TempDir empty;
    ScopedEnv path("PATH", empty.path());
    EXPECT_EQ(CaptureRun("mplayer -identify x.avi", empty.path()), std::nullopt);
}

TEST(WindowsCommandLine, FilesAreMadeAbsoluteWithTheCurrentFolderUnlessTheyNameTheirRoot)
{
    const std::vector<std::string> given = {"zuvora",     "film.avi",          "C:\\a.avi",
                                            "d:b.avi",    "\\\\server\\c.avi", "/start",
                                            "sub\\e.avi", "http://host/f.avi"};
    const std::vector<std::string> expected = {
        "zuvora", "Z:\\films\\film.avi",   "C:\\a.avi",        "d:b.avi", "\\\\server\\c.avi",
        "/start", "Z:\\films\\sub\\e.avi", "http://host/f.avi"};
    EXPECT_EQ(zuv::AbsoluteFileArguments(given, "Z:\\films"), expected);
    EXPECT_EQ(zuv::AbsoluteFileArguments(given, "Z:\\films\\"), expected);
}

TEST(WindowsVersion, ResourceNumbersPreReleaseAndTheFirstTranslation)
{
    EXPECT_EQ(FileVersionNumber(ZUVORA_FAKE_PLAYER, true), "1.2.3 b");
    EXPECT_EQ(FileVersionNumber(ZUVORA_FAKE_PLAYER, false), "1.2 b");
    // The first translation names the second block of texts.
    EXPECT_EQ(FileVersionValue(ZUVORA_FAKE_PLAYER, "FileVersion"), "1.2.3.4 german");
    EXPECT_EQ(FileVersionValue(ZUVORA_FAKE_PLAYER, "ProductName"), "Fake player");
    EXPECT_EQ(FileVersionValue(ZUVORA_FAKE_PLAYER, "Comments"), "");
    TempDir folder;
    WriteFile(folder.file("plain.txt"), "no resource");
    EXPECT_EQ(FileVersionNumber(folder.file("plain.txt"), true), "");
    EXPECT_EQ(FileVersionValue(folder.file("plain.txt"), "FileVersion"), "");
}

TEST(WindowsFonts, RegistryNamesTrueTypeFilesAndTheFontsFolder)
{
    EXPECT_EQ(platform::FontsRegistryKey(2),
              "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
    EXPECT_EQ(platform::FontsRegistryKey(1), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts");
    EXPECT_EQ(platform::FontFileFromRegistryData("ARIAL.TTF", "C:\\Windows\\Fonts"),
              "C:\\Windows\\Fonts\\arial.ttf");
    EXPECT_EQ(platform::FontFileFromRegistryData("c:\\MyFonts\\Some.ttf", "C:\\Windows\\Fonts\\"),
              "c:\\myfonts\\some.ttf");
    EXPECT_EQ(platform::FontFileFromRegistryData("X.TTF", ""), "x.ttf");
    EXPECT_EQ(platform::FontFileFromRegistryData("", "C:\\Windows\\Fonts\\"), "");

    const std::string folder = platform::UserFontFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');

    const std::string key = platform::FontsRegistryKey();
    const std::vector<std::pair<std::string, std::string>> fonts = {
        {"Zuvora Test (TrueType)", "ZUVTEST.TTF"},
        {"Zuvora Path (TrueType)", "c:\\MyFonts\\Some.ttf"},
        {"Zuvora Mixed (TrueType)", "Mixed.tTf"},
        {"Zuvora Collection (TrueType)", "zuvora.ttc"},
        {"Zuvora Bitmap", "zuvora.fon"}};
    for (const auto& [name, file] : fonts)
        ASSERT_EQ(platform::WriteRegString(RegistryRoot::LocalMachine, key, name, file), 0);
    std::vector<std::string> trueType;
    ASSERT_TRUE(ReadInstalledFonts(trueType, true));
    const auto listed = [&](const std::string& name) {
        return std::find(trueType.begin(), trueType.end(), name) != trueType.end();
    };
    EXPECT_TRUE(listed("Zuvora Test (TrueType)"));
    EXPECT_TRUE(listed("Zuvora Path (TrueType)"));
    EXPECT_TRUE(listed("Zuvora Mixed (TrueType)"));
    EXPECT_FALSE(listed("Zuvora Collection (TrueType)"));
    EXPECT_FALSE(listed("Zuvora Bitmap"));
    EXPECT_EQ(FontFileFromName("Zuvora Test (TrueType)"), folder + "zuvtest.ttf");
    EXPECT_EQ(FontFileFromName("Zuvora Path (TrueType)"), "c:\\myfonts\\some.ttf");
    EXPECT_EQ(FontFileFromName("Zuvora Bitmap"), folder + "zuvora.fon");
    EXPECT_EQ(FontFileFromName("Zuvora Missing"), "");
    EXPECT_EQ(FontFileFromName(""), "");
    for (const auto& font : fonts)
        platform::DeleteRegValue(RegistryRoot::LocalMachine, key, font.first);
}

TEST(WindowsFiles, OutsideNamesStayBelowTheirFolderAndLimitsHold)
{
    TempDir folder;
    const std::string out = folder.file("out");
    for (const char* refused : {"..\\x.srt", "sub/../../x.srt", "C:\\x.srt", "\\x.srt",
                                "a.srt:stream", "nul.srt", "sub\\CON\\x.srt", "x.srt.", "sub\\"})
        EXPECT_EQ(platform::WriteFileAtomicallyBelow(out, refused, "x"),
                  platform::SystemError(platform::kErrorInvalidArgument))
            << refused;
    EXPECT_EQ(platform::WriteFileAtomicallyBelow(out, "sub/dir\\film.srt", "subtitle"),
              std::error_code());
    EXPECT_EQ(ReadFile(out + "\\sub\\dir\\film.srt"), "subtitle");
    EXPECT_EQ(platform::WriteFileAtomicallyBelow(out, "sub/dir\\film.srt", "new"),
              std::error_code());
    EXPECT_EQ(ReadFile(out + "\\sub\\dir\\film.srt"), "new");
    EXPECT_EQ(platform::ListFiles(out + "\\sub\\dir", ".SRT"),
              std::vector<std::string>{"film.srt"});

    EXPECT_EQ(platform::WriteFileAtomically(folder.file("a\\b\\c.ini"), "abc"), std::error_code());
    EXPECT_EQ(platform::ReadWholeFile(folder.file("a\\b\\c.ini"), 3).data, "abc");
    EXPECT_EQ(platform::ReadWholeFile(folder.file("a\\b\\c.ini"), 2).error, ZuvoraError::TooLarge);
    EXPECT_EQ(platform::ReadWholeFile(folder.file("a"), 100).error,
              platform::SystemError(ERROR_DIRECTORY));
    EXPECT_TRUE(platform::IsNotFoundError(platform::ReadWholeFile(folder.file("none"), 9).error));
    EXPECT_TRUE(platform::IsNotFoundError(platform::ReadWholeFile(folder.file("no\\x"), 9).error));
    EXPECT_EQ(platform::RemoveFile(folder.file("a\\b\\c.ini")), std::error_code());
    EXPECT_FALSE(platform::FileExists(folder.file("a\\b\\c.ini")));
    EXPECT_TRUE(platform::FolderExists(folder.file("a\\b")));
}

TEST(WindowsFolders, ProgramAndTemporaryFolders)
{
    const std::string program = platform::ProgramFile();
    EXPECT_EQ(platform::ProgramFolder() + "core_win32_platform_test.exe", program);
    EXPECT_EQ(platform::TempFolder().back(), '\\');
    EXPECT_TRUE(platform::FolderExists(platform::TempFolder()));
    EXPECT_FALSE(platform::CurrentFolder().empty());
}

TEST(WindowsPower, FlagsByWindowsVersionAndTheSystemCommandFilter)
{
    constexpr unsigned kPowerOff = 8, kForce = 4, kForceIfHung = 0x10;
    EXPECT_EQ(platform::PowerOffFlags(true, 2, 5), kPowerOff | kForceIfHung);
    EXPECT_EQ(platform::PowerOffFlags(true, 2, 10), kPowerOff | kForceIfHung);
    EXPECT_EQ(platform::PowerOffFlags(true, 2, 4), kPowerOff | kForce);
    EXPECT_EQ(platform::PowerOffFlags(true, 1, 5), kPowerOff | kForce);
    EXPECT_EQ(platform::PowerOffFlags(false, 2, 5), kPowerOff | kForce);

    EXPECT_TRUE(platform::SwallowsSystemCommand(0x112, 0xF140, true));
    EXPECT_TRUE(platform::SwallowsSystemCommand(0x112, 0xF172, true)); // low bits are the system's
    EXPECT_FALSE(platform::SwallowsSystemCommand(0x112, 0xF140, false));
    EXPECT_FALSE(platform::SwallowsSystemCommand(0x112, 0xF060, true)); // SC_CLOSE
    EXPECT_FALSE(platform::SwallowsSystemCommand(0x111, 0xF140, true));
}
