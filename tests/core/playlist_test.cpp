#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "playback/playlist.h"
#include "support/test_support.h"
#include "support/write_faults.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::TempDir;
using zuv::test::WriteFile;
#ifndef _WIN32
using zuv::test::FileSizeLimit;
#endif
namespace fs = std::filesystem;

namespace {

// Media and subtitle path of every item, for comparing whole lists.
std::vector<std::pair<std::string, std::string>> Paths(const Playlist& playlist)
{
    std::vector<std::pair<std::string, std::string>> paths;
    for (const PlaylistItem& item : playlist.Items())
        paths.emplace_back(item.mediaPath, item.subtitlePath);
    return paths;
}

#ifdef _WIN32
// Reading a folder as a file.
constexpr int kFolderError = 267; // ERROR_DIRECTORY
#else
constexpr int kFolderError = EISDIR;
#endif

[[maybe_unused]] Playlist LongPlaylist()
{
    Playlist playlist;
    for (int i = 0; i < 200; ++i)
        playlist.AddItem("/films/film " + std::to_string(i) + ".avi", "");
    return playlist;
}

} // namespace

TEST(Playlist, ItemsKeepNamesAndPaths)
{
    Playlist playlist;
    playlist.AddItem("/films/Egy film.avi", "/films/subs/Egy film.srt");
    playlist.AddItem("noslash.avi", "");
    const PlaylistItem& first = playlist.Item(0);
    EXPECT_EQ(first.caption, "Egy film.avi");
    EXPECT_EQ(first.subtitleName, "Egy film.srt");
    EXPECT_EQ(first.mediaPath, "/films/Egy film.avi");
    EXPECT_EQ(first.subtitlePath, "/films/subs/Egy film.srt");
    EXPECT_EQ(playlist.Item(1).caption, "noslash.avi");
    EXPECT_EQ(playlist.Item(1).subtitleName, "");
    EXPECT_EQ(playlist.InfoTip(0), "/films/Egy film.avi\n/films/subs/Egy film.srt");
    EXPECT_EQ(playlist.InfoTip(1), "noslash.avi");

    EXPECT_TRUE(playlist.SetItemSubtitle(1, "/subs/other.sub"));
    EXPECT_EQ(playlist.Item(1).subtitleName, "other.sub");
    EXPECT_EQ(playlist.Item(1).subtitlePath, "/subs/other.sub");
    EXPECT_FALSE(playlist.SetItemSubtitle(2, "/x.srt"));
}

TEST(Playlist, MovesSwapNeighboursAndStopAtTheEnds)
{
    Playlist playlist;
    for (const char* media : {"/a.avi", "/b.avi", "/c.avi"})
        playlist.AddItem(media, std::string(media) + ".srt");
    EXPECT_EQ(playlist.MoveItemUp(0), 0u);
    EXPECT_EQ(playlist.MoveItemDown(2), 2u);
    EXPECT_EQ(playlist.MoveItemDown(7), 7u);
    EXPECT_EQ(playlist.Item(0).caption, "a.avi");
    EXPECT_EQ(playlist.Item(2).caption, "c.avi");

    EXPECT_EQ(playlist.MoveItemUp(2), 1u);
    EXPECT_EQ(playlist.MoveItemDown(0), 1u);
    // a, c, b  ->  c, a, b
    EXPECT_EQ(Paths(playlist),
              (std::vector<std::pair<std::string, std::string>>{
                  {"/c.avi", "/c.avi.srt"}, {"/a.avi", "/a.avi.srt"}, {"/b.avi", "/b.avi.srt"}}));
    EXPECT_EQ(playlist.Item(0).subtitleName, "c.avi.srt"); // all four texts moved

    EXPECT_FALSE(playlist.DeleteItem(3));
    EXPECT_TRUE(playlist.DeleteItem(1));
    EXPECT_EQ(playlist.Item(1).caption, "b.avi");
    playlist.Clear();
    EXPECT_TRUE(playlist.Empty());
}

TEST(PlaylistFile, LinesSplitAtTheFirstBar)
{
    TempDir dir;
    WriteFile(dir.file("list.txt"), "/f/a.avi|/f/a.srt\r\n"
                                    "/f/only.srt\r\n"
                                    "\r\n"
                                    "/f/b.avi|/f/x|y.srt\r\n"
                                    "/f/c.avi|\r\n");
    Playlist playlist;
    ASSERT_TRUE(playlist.LoadFile(dir.file("list.txt")).ok());
    EXPECT_EQ(Paths(playlist),
              (std::vector<std::pair<std::string, std::string>>{{"/f/a.avi", "/f/a.srt"},
                                                                {"", "/f/only.srt"},
                                                                {"", ""},
                                                                {"/f/b.avi", "/f/x|y.srt"},
                                                                {"/f/c.avi", ""}}));
    EXPECT_EQ(playlist.Item(3).subtitleName, "x|y.srt");
    EXPECT_EQ(playlist.Item(4).subtitleName, "");

    // Loading adds to what is there.
    ASSERT_TRUE(playlist.LoadFile(dir.file("list.txt")).ok());
    EXPECT_EQ(playlist.Count(), 10u);
    EXPECT_EQ(playlist.Item(5).mediaPath, "/f/a.avi");
}

TEST(PlaylistFile, AcceptsEveryLineEnd)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"/a.avi", "/a.srt"}, {"/b.avi", ""}, {"", ""}, {"/c.avi", "/c.srt"}};
    for (const std::string end : {"\n", "\r", "\r\n"}) {
        // The last line has no line end, and an empty line stands between.
        WriteFile(dir.file("list.txt"),
                  "/a.avi|/a.srt" + end + "/b.avi|" + end + end + "/c.avi|/c.srt");
        Playlist playlist;
        ASSERT_TRUE(playlist.LoadFile(dir.file("list.txt")).ok());
        EXPECT_EQ(Paths(playlist), expected);
    }
    WriteFile(dir.file("empty.txt"), "");
    Playlist playlist;
    ASSERT_TRUE(playlist.LoadFile(dir.file("empty.txt")).ok());
    EXPECT_TRUE(playlist.Empty());
}

TEST(PlaylistFile, SaveAndLoadGiveTheSameList)
{
    TempDir dir;
    Playlist saved;
    saved.AddItem("/films/a film.avi", "/films/a|b.srt");
    saved.AddItem("/films/b.avi", "");
    saved.AddItem("", "");
    saved.AddItem("", "/films/only.srt");
    ASSERT_TRUE(saved.SaveFile(dir.file("list.txt")).ok());
    EXPECT_EQ(ReadFile(dir.file("list.txt")), "/films/a film.avi|/films/a|b.srt\r\n"
                                              "/films/b.avi|\r\n"
                                              "|\r\n"
                                              "|/films/only.srt\r\n");
    Playlist loaded;
    ASSERT_TRUE(loaded.LoadFile(dir.file("list.txt")).ok());
    EXPECT_EQ(Paths(loaded), Paths(saved));

    // An empty list is an empty file, which loads as an empty list.
    ASSERT_TRUE(Playlist().SaveFile(dir.file("list.txt")).ok());
    EXPECT_EQ(ReadFile(dir.file("list.txt")), "");
}

// Names that would read back as other items ("|" in the media path splits it, CR and LF end
// the line) are refused where they arrive, and never written: an item injected by a name such
// as "x.avi|~/.bash_history\r\n/evil.avi|/etc/passwd" cannot come back after a restart.
TEST(PlaylistFile, NamesThatWouldReadBackOtherwiseAreRefusedAndNeverWritten)
{
    struct Case
    {
        std::string media, subtitle;
        bool kept;
    };
    const Case cases[] = {
        {"/f/x.avi|/home/u/.bash_history", "", false},
        {"/f/x.avi\r\n/f/evil.avi", "/etc/passwd", false},
        {"/f/x.avi", "/f/a.srt\n/f/evil.avi|/etc/passwd", false},
        {"/f/x.avi", "/f/a.srt\r", false},
        {"/f/x.avi", "/f/a|b.srt", true}, // the first "|" splits
        {"/f/ok.avi", "", true},
    };
    Playlist saved;
    std::vector<std::pair<std::string, std::string>> kept;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.media + " | " + test.subtitle);
        saved.AddItem(test.media, test.subtitle);
        if (test.kept)
            kept.emplace_back(test.media, test.subtitle);
        const bool refused =
            !RefusalOfName(test.media).empty() || !RefusalOfName(test.subtitle).empty();
        EXPECT_EQ(refused, test.media != "/f/ok.avi");
    }
    Playlist loaded;
    loaded.LoadText(saved.SaveText());
    EXPECT_EQ(Paths(loaded), kept);
    // Longer than the file fields hold: refused, not cut.
    EXPECT_EQ(RefusalOfName(std::string(kMaxNameLength, 'a')), "");
    EXPECT_NE(RefusalOfName(std::string(kMaxNameLength + 1, 'a')), "");
}

#ifndef _WIN32
// A list too large for the memory the program may use (ulimit -v) is reported as a file too
// large and kept, as one too large by size, instead of ending the program.
TEST(PlaylistFile, ListTooLargeForMemoryIsReportedAndKept)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
    TempDir program, profile;
    std::string text;
    for (int i = 0; i < 1'000'000; ++i)
        text += "/films/a film of the collection " + std::to_string(i) + ".avi|\r\n";
    WriteFile(program.file("playlist.txt"), text);
    struct Case
    {
        const char* name;
        long long extraBytes; // address space above what the process takes now
        int exitCode;         // 104: too large
    };
    const Case cases[] = {{"ample memory", 2'000'000'000LL, 0},
                          {"memory for the file only", 160'000'000LL, 104}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            long pages = 0;
            if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
                if (std::fscanf(statm, "%ld", &pages) != 1)
                    pages = 0;
                std::fclose(statm);
            }
            const rlim_t limit =
                static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE) + test.extraBytes);
            const struct rlimit space = {limit, limit};
            if (pages == 0 || ::setrlimit(RLIMIT_AS, &space) != 0)
                ::_exit(100);
            Playlist playlist;
            AutomaticPlaylistFile file(profile.path(), program.path());
            const PlaylistFileResult loaded = file.Load(playlist);
            if (loaded.error && loaded.errorText.find("memory") == std::string::npos)
                ::_exit(101);
            // The file is not replaced by the (empty) list.
            if (!file.SaveOrDelete(playlist).ok())
                ::_exit(102);
            if (!loaded.error && playlist.Count() != 1'000'000u)
                ::_exit(103);
            ::_exit(loaded.error == ZuvoraError::TooLarge ? 104 : loaded.error.value());
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), test.exitCode);
        EXPECT_EQ(fs::file_size(program.file("playlist.txt")), text.size());
    }
#endif
}
#endif

TEST(PlaylistFile, FailuresReportTheReasonAndChangeNothing)
{
    TempDir dir;
    Playlist playlist;
    playlist.AddItem("/a.avi", "");

    PlaylistFileResult result = playlist.LoadFile(dir.file("missing.txt"));
    EXPECT_EQ(result.error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(result.errorText,
              platform::ErrorMessage(platform::SystemError(platform::kErrorFileNotFound)));
    EXPECT_EQ(playlist.LoadFile(dir.path()).error, platform::SystemError(kFolderError));

    // Too large to be a playlist: refused before reading (a sparse file, so this is quick).
    WriteFile(dir.file("huge.txt"), "");
    fs::resize_file(dir.file("huge.txt"), Playlist::kMaxFileSize + 1);
    result = playlist.LoadFile(dir.file("huge.txt"));
    EXPECT_EQ(result.error, ZuvoraError::TooLarge);
    EXPECT_NE(result.errorText.find("64 MiB"), std::string::npos);
    EXPECT_EQ(playlist.Count(), 1u);

    // A folder that is a file cannot take the list.
    WriteFile(dir.file("file"), "");
    result = playlist.SaveFile(dir.file("file/list.txt"));
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.errorText, "");
}

TEST(PlaylistFile, FailedSaveLeavesTheOldFileWhole)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (setrlimit), which Windows has not";
#else
    TempDir dir;
    WriteFile(dir.file("list.txt"), "/old.avi|\r\n");
    {
        FileSizeLimit limit(1000);
        const PlaylistFileResult result = LongPlaylist().SaveFile(dir.file("list.txt"));
        EXPECT_EQ(result.error, std::errc::file_too_large);
    }
    EXPECT_EQ(ReadFile(dir.file("list.txt")), "/old.avi|\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
#endif
}

TEST(PlaylistFile, ReadOnlyFolderKeepsTheOldFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows folders have no POSIX write permission";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    WriteFile(dir.file("list.txt"), "/old.avi|\r\n");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(LongPlaylist().SaveFile(dir.file("list.txt")).error, std::errc::permission_denied);
    EXPECT_EQ(ReadFile(dir.file("list.txt")), "/old.avi|\r\n");
#endif
}

class AutomaticPlaylist : public ::testing::Test
{
protected:
    TempDir m_dir;
    const std::string m_profile = m_dir.file("profile/");
    const std::string m_program = m_dir.file("program/");
    Playlist m_playlist;
};

TEST_F(AutomaticPlaylist, ProfileFolderComesFirst)
{
    WriteFile(m_profile + "playlist.txt", "/profile.avi|\r\n");
    WriteFile(m_program + "playlist.txt", "/program.avi|\r\n");
    AutomaticPlaylistFile file(m_profile, m_program);
    EXPECT_EQ(file.FilePath(), m_profile + "playlist.txt");
    ASSERT_TRUE(file.Load(m_playlist).ok());
    ASSERT_EQ(m_playlist.Count(), 1u);
    EXPECT_EQ(m_playlist.Item(0).mediaPath, "/profile.avi");

    m_playlist.AddItem("/new.avi", "/new.srt");
    ASSERT_TRUE(file.SaveOrDelete(m_playlist).ok());
    EXPECT_EQ(ReadFile(m_profile + "playlist.txt"), "/profile.avi|\r\n/new.avi|/new.srt\r\n");
    EXPECT_EQ(ReadFile(m_program + "playlist.txt"), "/program.avi|\r\n");
}

TEST_F(AutomaticPlaylist, ProgramFolderWhenTheProfileHasNone)
{
    AutomaticPlaylistFile nowhere(m_profile, m_program);
    EXPECT_EQ(nowhere.FilePath(), m_program + "playlist.txt");
    EXPECT_TRUE(nowhere.Load(m_playlist).ok()); // no file yet: nothing to load, no error
    EXPECT_TRUE(m_playlist.Empty());

    WriteFile(m_program + "playlist.txt", "/program.avi|\r\n");
    AutomaticPlaylistFile file(m_profile, m_program);
    ASSERT_TRUE(file.Load(m_playlist).ok());
    EXPECT_EQ(m_playlist.Item(0).mediaPath, "/program.avi");
    m_playlist.AddItem("/second.avi", "");
    ASSERT_TRUE(file.SaveOrDelete(m_playlist).ok());
    EXPECT_EQ(ReadFile(m_program + "playlist.txt"), "/program.avi|\r\n/second.avi|\r\n");
    EXPECT_FALSE(fs::exists(m_profile + "playlist.txt"));

    // Without a profile folder the program folder is the only place.
    AutomaticPlaylistFile noProfile("", m_program);
    EXPECT_EQ(noProfile.FilePath(), m_program + "playlist.txt");
}

TEST_F(AutomaticPlaylist, SharedProgramFolderGivesTheFirstListOnly)
{
    WriteFile(m_program + "playlist.txt", "/welcome.avi|\r\n");
    AutomaticPlaylistFile file(m_profile, m_program, true);
    EXPECT_EQ(file.FilePath(), m_profile + "playlist.txt");
    ASSERT_TRUE(file.Load(m_playlist).ok());
    EXPECT_EQ(m_playlist.Item(0).mediaPath, "/welcome.avi");
    m_playlist.AddItem("/mine.avi", "");
    ASSERT_TRUE(file.SaveOrDelete(m_playlist).ok());
    EXPECT_EQ(ReadFile(m_profile + "playlist.txt"), "/welcome.avi|\r\n/mine.avi|\r\n");
    EXPECT_EQ(ReadFile(m_program + "playlist.txt"), "/welcome.avi|\r\n");

    // Emptied, the user's list stays empty: the shared one does not come back.
    AutomaticPlaylistFile again(m_profile, m_program, true);
    Playlist none;
    ASSERT_TRUE(again.SaveOrDelete(none).ok());
    EXPECT_EQ(ReadFile(m_profile + "playlist.txt"), "");
    ASSERT_TRUE(AutomaticPlaylistFile(m_profile, m_program, true).Load(none).ok());
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(ReadFile(m_program + "playlist.txt"), "/welcome.avi|\r\n");

    // No profile folder: a list is not written, and that is told; an empty one deletes nothing.
    AutomaticPlaylistFile noProfile("", m_program, true);
    ASSERT_TRUE(noProfile.Load(m_playlist).ok());
    EXPECT_EQ(noProfile.SaveOrDelete(m_playlist).error, std::errc::permission_denied);
    EXPECT_TRUE(noProfile.SaveOrDelete(none).ok());
    EXPECT_EQ(ReadFile(m_program + "playlist.txt"), "/welcome.avi|\r\n");
}

TEST_F(AutomaticPlaylist, FailedSaveInTheProgramFolderGoesToTheProfile)
{
    WriteFile(m_dir.file("program"), "a file where the folder should be");
    AutomaticPlaylistFile file(m_profile, m_program);
    m_playlist.AddItem("/a.avi", "");
    ASSERT_TRUE(file.SaveOrDelete(m_playlist).ok());
    EXPECT_EQ(file.FilePath(), m_profile + "playlist.txt");
    EXPECT_EQ(ReadFile(m_profile + "playlist.txt"), "/a.avi|\r\n");
}

TEST_F(AutomaticPlaylist, FailedSaveInTheProfileIsNotRetried)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (setrlimit), which Windows has not";
#else
    WriteFile(m_profile + "playlist.txt", "/old.avi|\r\n");
    AutomaticPlaylistFile file(m_profile, m_program);
    PlaylistFileResult result;
    {
        FileSizeLimit limit(1000);
        result = file.SaveOrDelete(LongPlaylist());
    }
    EXPECT_EQ(result.error, std::errc::file_too_large);
    EXPECT_EQ(ReadFile(m_profile + "playlist.txt"), "/old.avi|\r\n");
    EXPECT_FALSE(fs::exists(m_program));
#endif
}

TEST_F(AutomaticPlaylist, EmptyListDeletesTheChosenFile)
{
    WriteFile(m_program + "playlist.txt", "/program.avi|\r\n");
    AutomaticPlaylistFile file(m_profile, m_program);
    EXPECT_TRUE(file.SaveOrDelete(m_playlist).ok());
    EXPECT_FALSE(fs::exists(m_program + "playlist.txt"));
    EXPECT_TRUE(file.SaveOrDelete(m_playlist).ok()); // already gone: fine

    WriteFile(m_profile + "playlist.txt", "/profile.avi|\r\n");
    WriteFile(m_program + "playlist.txt", "/program.avi|\r\n");
    AutomaticPlaylistFile profileFile(m_profile, m_program);
    EXPECT_TRUE(profileFile.SaveOrDelete(m_playlist).ok());
    EXPECT_FALSE(fs::exists(m_profile + "playlist.txt"));
    EXPECT_TRUE(fs::exists(m_program + "playlist.txt"));
}

TEST_F(AutomaticPlaylist, FileThatCannotBeReadIsNeitherDeletedNorReplaced)
{
    // Too large in the program folder, a folder in the profile folder.
    WriteFile(m_program + "playlist.txt", "/kept.avi|\r\n");
    fs::resize_file(m_program + "playlist.txt", Playlist::kMaxFileSize + 1);
    AutomaticPlaylistFile file(m_profile, m_program);
    const PlaylistFileResult loaded = file.Load(m_playlist);
    EXPECT_EQ(loaded.error, ZuvoraError::TooLarge);
    EXPECT_TRUE(m_playlist.Empty());
    // Left alone when the list stays empty, and the new list goes to the profile folder.
    EXPECT_TRUE(file.SaveOrDelete(m_playlist).ok());
    m_playlist.AddItem("/new.avi", "");
    EXPECT_TRUE(file.SaveOrDelete(m_playlist).ok());
    EXPECT_EQ(file.FilePath(), m_profile + "playlist.txt");
    EXPECT_EQ(ReadFile(m_profile + "playlist.txt"), "/new.avi|\r\n");
    EXPECT_EQ(fs::file_size(m_program + "playlist.txt"), Playlist::kMaxFileSize + 1);

    // A folder in place of the file is no file to read either.
    fs::remove(m_profile + "playlist.txt");
    fs::remove(m_program + "playlist.txt");
    fs::create_directories(m_program + "playlist.txt/inside");
    Playlist other;
    AutomaticPlaylistFile folder(m_profile, m_program);
    EXPECT_EQ(folder.Load(other).error, platform::SystemError(kFolderError));
    other.AddItem("/other.avi", "");
    EXPECT_TRUE(folder.SaveOrDelete(other).ok());
    EXPECT_EQ(ReadFile(m_profile + "playlist.txt"), "/other.avi|\r\n");
    EXPECT_TRUE(fs::exists(m_program + "playlist.txt/inside"));

    // In the profile folder there is no other place: the reading error stands.
    fs::resize_file(m_profile + "playlist.txt", Playlist::kMaxFileSize + 1);
    AutomaticPlaylistFile inProfile(m_profile, m_program);
    EXPECT_EQ(inProfile.Load(other).error, ZuvoraError::TooLarge);
    EXPECT_EQ(inProfile.SaveOrDelete(other).error, ZuvoraError::TooLarge);
    EXPECT_EQ(fs::file_size(m_profile + "playlist.txt"), Playlist::kMaxFileSize + 1);
}
