#include "archive/subtitle_extraction.h"
#include "archive/unzip_file.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "support/second_user.h"
#include "support/test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::TempDir;
using zuv::test::WriteFile;
namespace fs = std::filesystem;

namespace {

// A member written as given: `stored` bytes as they are, the header declaring `declaredSize`,
// `crc` and the general purpose `flag`, so damaged and hostile archives can be built.
struct RawMember
{
    std::string stored;
    unsigned long declaredSize;
    unsigned long crc;
    unsigned long flag = 0;
};

struct Member
{
    std::string name;
    std::string data;
    std::optional<RawMember> raw = std::nullopt;
};

// CRC-32 as ZIP stores it (zlib's own crc32 is not linked into the tests).
unsigned long Crc(std::string_view data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void WriteZip(const std::string& path, const std::vector<Member>& members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const Member& member : members) {
        zip_fileinfo info{};
        if (member.raw) {
            ASSERT_EQ(zipOpenNewFileInZip4(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                           nullptr, 0, 0, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                           nullptr, 0, 0, member.raw->flag),
                      ZIP_OK);
            zipWriteInFileInZip(zip, member.raw->stored.data(),
                                static_cast<unsigned>(member.raw->stored.size()));
            ASSERT_EQ(zipCloseFileInZipRaw(zip, member.raw->declaredSize, member.raw->crc), ZIP_OK);
        } else {
            ASSERT_EQ(zipOpenNewFileInZip(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                          nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION),
                      ZIP_OK);
            zipWriteInFileInZip(zip, member.data.data(), static_cast<unsigned>(member.data.size()));
            ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
        }
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(fs::relative(entry.path(), folder).generic_string());
    std::sort(names.begin(), names.end());
    return names;
}

class ZipSubtitle : public ::testing::Test
{
protected:
    std::string Archive(const std::vector<Member>& members)
    {
        const std::string path = m_dir.file("subs.zip");
        WriteZip(path, members);
        return path;
    }

    TempDir m_dir;
    const std::string m_out = m_dir.file("out/");
};

} // namespace

TEST(SubtitleMemberName, ExtensionFromTheLastDotOfTheName)
{
    for (const char* name :
         {"film.srt", "film.SRT", "film.Sub", "a.b.sub", "subs/film.srt", ".srt"})
        EXPECT_TRUE(IsSubtitleMemberName(name)) << name;
    for (const char* name : {"film.srt.bak", "film.txt", "srt", "film.srtx", "film.sr", "x.srt/",
                             "subs.srt/readme", ""})
        EXPECT_FALSE(IsSubtitleMemberName(name)) << name;
}

TEST_F(ZipSubtitle, FirstSubtitleInDirectoryOrderIsUnpacked)
{
    const std::string archive = Archive({{"readme.txt", "read me"},
                                         {"film.SRT", "1\n00:00:01,000 --> 00:00:02,000\nHi\n"},
                                         {"film.sub", "{1}{2}Hi"}});
    const SubtitleExtraction result = ExtractSubtitle(archive, m_out);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.path, m_out + "film.SRT");
    EXPECT_EQ(ReadFile(result.path), "1\n00:00:01,000 --> 00:00:02,000\nHi\n");
    EXPECT_EQ(FolderEntries(m_out), std::vector<std::string>{"film.SRT"});
}

TEST_F(ZipSubtitle, ExtractsIntoTheTemporaryFolderByDefaultAndOverwrites)
{
#ifdef _WIN32
    // The system's temporary folder comes from TMP, with its own separator at the end.
    test::ScopedEnv tmp("TMP", m_out.substr(0, m_out.size() - 1));
    const std::string expected = m_out.substr(0, m_out.size() - 1) + "\\film.srt";
    const std::string folder = m_out;
#else
    // Inside it, a folder of the user's own.
    test::ScopedEnv tmp("TMPDIR", m_out);
    const std::string folder = m_out + "zuvora-" + std::to_string(::getuid()) + "/";
    const std::string expected = folder + "film.srt";
#endif
    WriteFile(folder + "film.srt", "an older and longer subtitle");
    const SubtitleExtraction result = ExtractSubtitle(Archive({{"film.srt", "new"}}));
    EXPECT_EQ(result.path, expected);
    EXPECT_EQ(ReadFile(folder + "film.srt"), "new");
#ifndef _WIN32
    // The player starts in another folder: a relative TMPDIR counts as none.
    test::ScopedEnv relative("TMPDIR", "reltmp");
    EXPECT_EQ(ExtractSubtitle(Archive({{"film.srt", "new"}})).path,
              "/tmp/zuvora-" + std::to_string(::getuid()) + "/film.srt");
#endif
}

#ifndef _WIN32
// Another user of the machine swaps or reads the subtitle between its extraction and the player.
TEST_F(ZipSubtitle, AnotherUserCannotReachTheUnpackedSubtitle)
{
    std::string why;
    const auto attacker = test::SecondUser::Get(&why);
    if (!attacker)
        GTEST_SKIP() << why;
    // A temporary folder shared by all, as /tmp is.
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(m_out.c_str(), 01777), 0);
    ASSERT_EQ(::chmod(m_out.c_str(), 01777), 0);
    test::ScopedEnv tmp("TMPDIR", m_out);
    const std::string planted = m_out + "mdir/";
    const std::string privateFolder = m_out + "zuvora-" + std::to_string(::getuid()) + "/";
    // A folder of the victim's own, as the home folder is.
    const std::string home = m_dir.file("home/");
    ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);
    struct Case
    {
        const char* name;
        std::string madeFirst; // by the attacker, mode 0777
        bool asLinkToHome;     // madeFirst is a link to the victim's home
        bool unpacked;
    };
    const Case cases[] = {
        {"member's folder made first", planted, false, true},
        {"private folder's name taken first", privateFolder, false, false},
        {"private folder's name links to the victim's home", privateFolder, true, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        fs::remove_all(planted);
        // Without the slash: a link is removed, never followed.
        fs::remove_all(privateFolder.substr(0, privateFolder.size() - 1));
        WriteFile(home + "mdir/x.srt", "the victim's");
        const std::string madeFirst = test.madeFirst.substr(0, test.madeFirst.size() - 1);
        const bool asLink = test.asLinkToHome;
        const std::string own = planted + "own.srt";
        ASSERT_EQ(attacker->Run([&] {
            if (::mkdir(planted.c_str(), 0777) != 0 || ::chmod(planted.c_str(), 0777) != 0)
                return 1;
            if (asLink)
                return ::symlink(home.c_str(), madeFirst.c_str()) == 0 ? 0 : 2;
            if (madeFirst + "/" != planted &&
                (::mkdir(madeFirst.c_str(), 0777) != 0 || ::chmod(madeFirst.c_str(), 0777) != 0))
                return 2;
            const int fd = ::open(own.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            return fd >= 0 && ::write(fd, "evil", 4) == 4 && ::close(fd) == 0 ? 0 : 3;
        }),
                  0);
        const SubtitleExtraction result = ExtractSubtitle(Archive({{"mdir/x.srt", "mine"}}));
        struct stat homeInfo
        {};
        ASSERT_EQ(::stat(home.c_str(), &homeInfo), 0);
        EXPECT_EQ(homeInfo.st_mode & 07777, 0755u);
        EXPECT_EQ(ReadFile(home + "mdir/x.srt"), "the victim's");
        if (!test.unpacked) {
            EXPECT_EQ(result.path, "");
            EXPECT_NE(result.error, "");
            if (!asLink) {
                EXPECT_EQ(FolderEntries(privateFolder), std::vector<std::string>());
            }
            continue;
        }
        ASSERT_NE(result.path, "");
        EXPECT_EQ(result.path.rfind(privateFolder, 0), 0u) << result.path;
        const std::string path = result.path;
        const std::string beside = fs::path(path).parent_path().string() + "/planted.srt";
        EXPECT_EQ(attacker->Run([&] {
            int reached = 0;
            if (::rename(own.c_str(), path.c_str()) == 0)
                reached |= 1;
            if (::open(path.c_str(), O_RDONLY) >= 0)
                reached |= 2;
            if (::open(beside.c_str(), O_WRONLY | O_CREAT, 0644) >= 0)
                reached |= 4;
            return reached;
        }),
                  0);
        EXPECT_EQ(ReadFile(path), "mine");
    }
}
#endif

TEST_F(ZipSubtitle, MemberInAFolderIsWrittenUnderThatFolder)
{
    const SubtitleExtraction result =
        ExtractSubtitle(Archive({{"subs/", ""}, {"subs/en/film.srt", "text"}}), m_out);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.path, m_out + "subs/en/film.srt");
    EXPECT_EQ(ReadFile(m_out + "subs/en/film.srt"), "text");
}

TEST_F(ZipSubtitle, NoSubtitleMemberGivesNothing)
{
    SubtitleExtraction result =
        ExtractSubtitle(Archive({{"film.srt.bak", "x"}, {"notes.txt", "y"}}), m_out);
    EXPECT_EQ(result.path, "");
    EXPECT_EQ(result.error, "");
    EXPECT_FALSE(fs::exists(m_out));

    // An archive without members is sound too, though minizip cannot open it.
    WriteZip(m_dir.file("empty.zip"), {});
    result = ExtractSubtitle(m_dir.file("empty.zip"), m_out);
    EXPECT_EQ(result.path, "");
    EXPECT_EQ(result.error, "");
}

TEST_F(ZipSubtitle, MembersLeavingTheFolderArePassedOver)
{
    const std::string archive = Archive({{"../evil.srt", "evil"},
                                         {"/abs.srt", "abs"},
                                         {"subs/../../deep.srt", "deep"},
                                         {"good.srt", "good"}});
    const SubtitleExtraction result = ExtractSubtitle(archive, m_out);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.path, m_out + "good.srt");
    EXPECT_EQ(FolderEntries(m_dir.path()),
              (std::vector<std::string>{"out", "out/good.srt", "subs.zip"}));
}

TEST_F(ZipSubtitle, OversizeMemberIsPassedOver)
{
    // Declares 64 MiB + 1 while storing a few bytes: a ZIP bomb's header, built in no time.
    const unsigned long oversize = TUnZipFile::kMaxMemberSize + 1;
    const std::string archive =
        Archive({{"bomb.srt", "", RawMember{"tiny", oversize, Crc("tiny")}}, {"film.srt", "film"}});
    const SubtitleExtraction result = ExtractSubtitle(archive, m_out);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.path, m_out + "film.srt");
    EXPECT_FALSE(fs::exists(m_out + "bomb.srt"));
}

TEST_F(ZipSubtitle, UnreadableArchivesReportWhyAndLeaveNothing)
{
    SubtitleExtraction result = ExtractSubtitle(m_dir.file("missing.zip"), m_out);
    EXPECT_EQ(result.path, "");
    EXPECT_EQ(result.error,
              platform::ErrorMessage(platform::SystemError(platform::kErrorFileNotFound)));

    WriteFile(m_dir.file("text.zip"), "this is no archive at all");
    result = ExtractSubtitle(m_dir.file("text.zip"), m_out);
    EXPECT_EQ(result.path, "");
    EXPECT_NE(result.error, "");

    // A member whose data does not match its CRC, one cut short, and an encrypted one.
    const std::vector<Member> damaged = {
        {"film.srt", "", RawMember{"subtitle", 8, Crc("subtitle") ^ 1}},
        {"film.srt", "", RawMember{"subt", 8, Crc("subtitle")}},
        {"film.srt", "", RawMember{"subtitle", 8, Crc("subtitle"), 1}},
    };
    for (const Member& member : damaged) {
        result = ExtractSubtitle(Archive({member, {"other.srt", "other"}}), m_out);
        EXPECT_EQ(result.path, "");
        EXPECT_NE(result.error, "");
        EXPECT_FALSE(fs::exists(m_out) && !fs::is_empty(m_out)) << member.raw->stored;
    }

    // The raw writer itself is sound: the same member with its true CRC unpacks.
    result = ExtractSubtitle(Archive({{"film.srt", "", RawMember{"subtitle", 8, Crc("subtitle")}}}),
                             m_out);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(ReadFile(m_out + "film.srt"), "subtitle");
}

TEST_F(ZipSubtitle, PlantedLinksAreNeverFollowed)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows (and Wine makes none)";
#else
    WriteFile(m_dir.file("victim.txt"), "keep");
    fs::create_directories(m_out);
    fs::create_symlink(m_dir.file("victim.txt"), m_out + "film.srt");
    SubtitleExtraction result = ExtractSubtitle(Archive({{"film.srt", "subtitle"}}), m_out);
    EXPECT_EQ(result.path, m_out + "film.srt");
    EXPECT_FALSE(fs::is_symlink(m_out + "film.srt"));
    EXPECT_EQ(ReadFile(m_out + "film.srt"), "subtitle");
    EXPECT_EQ(ReadFile(m_dir.file("victim.txt")), "keep");

    // A linked folder on the way is refused, not written through.
    fs::create_directories(m_dir.file("elsewhere"));
    fs::create_directory_symlink(m_dir.file("elsewhere"), m_out + "subs");
    result = ExtractSubtitle(Archive({{"subs/film.srt", "subtitle"}}), m_out);
    EXPECT_EQ(result.path, "");
    EXPECT_NE(result.error, "");
    EXPECT_TRUE(fs::is_empty(m_dir.file("elsewhere")));
#endif
}

TEST_F(ZipSubtitle, ArchiveAndStreamWalkTheMembers)
{
    const std::string archive = Archive({{"readme.txt", "abc"}, {"filmé.srt", "0123456789"}});
    const auto zip = TUnZipFile::Open(archive);
    ASSERT_NE(zip, nullptr);
    std::string name;
    ASSERT_TRUE(zip->First(name));
    EXPECT_EQ(name, "readme.txt");
    ASSERT_TRUE(zip->Next(name));
    EXPECT_EQ(name, "filmé.srt");

    const auto stream = zip->OpenMemberStream();
    ASSERT_NE(stream, nullptr);
    char buffer[4] = {};
    EXPECT_EQ(stream->Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(stream->Seek(0, SeekOrigin::End), 10);
    EXPECT_EQ(stream->Seek(0, SeekOrigin::Begin), 4); // reports, does not move
    EXPECT_EQ(stream->Seek(2, SeekOrigin::End), 4);
    EXPECT_EQ(stream->Write("x", 1), 0u);
    EXPECT_EQ(stream->Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "4567");
    EXPECT_TRUE(stream->Close());

    EXPECT_FALSE(zip->Next(name));
    EXPECT_EQ(zip->LastResult(), UNZ_END_OF_LIST_OF_FILE);
}

TEST_F(ZipSubtitle, RefusedSubtitlesSayWhyWhenNoOtherFollows)
{
    const unsigned long oversize = TUnZipFile::kMaxMemberSize + 1;
    const Member climbing{"../film.srt", "climbing"};
    const Member bomb{"bomb.srt", "", RawMember{"tiny", oversize, Crc("tiny")}};
    // A symbolic link as a Unix archiver stores it: its mode in the external attributes, the
    // target as its data. Only the archiver's system ("version made by") gives the mode meaning.
    const auto linkArchive = [&](unsigned long madeBy) {
        const std::string path = m_dir.file("link.zip");
        zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
        zip_fileinfo info{};
        info.external_fa = 0120777ul << 16;
        EXPECT_EQ(zipOpenNewFileInZip4(zip, "film.srt", &info, nullptr, 0, nullptr, 0, nullptr,
                                       Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8,
                                       Z_DEFAULT_STRATEGY, nullptr, 0, madeBy, 0),
                  ZIP_OK);
        zipWriteInFileInZip(zip, "/etc/passwd", 11);
        zipCloseFileInZip(zip);
        zipClose(zip, nullptr);
        return path;
    };

    SubtitleExtraction result = ExtractSubtitle(Archive({climbing, bomb}), m_out);
    EXPECT_EQ(result.path, "");
    EXPECT_EQ(result.error, "The subtitle's name in the archive leads outside the folder");
    result = ExtractSubtitle(Archive({bomb, climbing}), m_out);
    EXPECT_EQ(result.error, "The subtitle in the archive is too large");
    result = ExtractSubtitle(linkArchive(3ul << 8 | 20), m_out);
    EXPECT_EQ(result.path, "");
    EXPECT_EQ(result.error, "The subtitle in the archive is a link, not a file");
    EXPECT_FALSE(fs::exists(m_out));
    // The same attributes from a system without links mean nothing.
    result = ExtractSubtitle(linkArchive(0), m_out);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(ReadFile(m_out + "film.srt"), "/etc/passwd");
}
