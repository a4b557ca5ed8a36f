#include "options/config_file.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"
#include "support/test_support.h"
#include "widgets/history_list.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::TempDir;
using zuv::test::WriteFile;

namespace {

Options Read(std::string_view text)
{
    return ReadOptions(IniDocument::Parse(text));
}

} // namespace

TEST(ConfigValues, SwitchesReadAsWholeNumbers)
{
    EXPECT_TRUE(Read("[Main]\nFullscreen=1").Fullscreen);
    EXPECT_TRUE(Read("[Main]\nFullscreen=2").Fullscreen);
    EXPECT_TRUE(Read("[Main]\nFullscreen=-1").Fullscreen);
    EXPECT_TRUE(Read("[Main]\nFullscreen=0x10").Fullscreen);
    EXPECT_FALSE(Read("[Main]\nFullscreen=0").Fullscreen);
    EXPECT_FALSE(Read("[Main]\nFullscreen=true").Fullscreen); // not a number: the default
    EXPECT_FALSE(Read("[Main]\nFullscreen=").Fullscreen);
    EXPECT_TRUE(Read("[Main]\nDisableScrSaver=yes").DisableScrSaver);
    EXPECT_TRUE(Read("").DisableScrSaver);
}

TEST(ConfigValues, WholeNumbersScalesAndTexts)
{
    EXPECT_EQ(Read("[Audio]\nVolume=0x40").Volume, 64);
    EXPECT_EQ(Read("[audio]\nvolume=80").Volume, 80);
    EXPECT_EQ(Read("[Audio]\nVolume = 80").Volume, 100); // the name ends in a blank
    EXPECT_EQ(Read("[Audio]\nVolume=300").Volume, 300);  // the track bar clamps, not the file
    EXPECT_DOUBLE_EQ(Read("[Font]\nFontScale=1.6").FontScale, 1.6);
    EXPECT_DOUBLE_EQ(Read("[Font]\nFontScale=1,6").FontScale, 3.0);
    EXPECT_DOUBLE_EQ(Read("[Font]\nFontScale=").FontScale, 3.0);
    EXPECT_EQ(Read("[Font]\nSubCp=").SubCp, "");
    EXPECT_EQ(Read("").SubCp, "latin2");
    EXPECT_EQ(Read("[Main]\nLastFile=/films/a;b=c.avi").LastFile, "/films/a;b=c.avi");
    EXPECT_EQ(Read("[Audio]\nChannels=9").Channels, 9);
    EXPECT_EQ(Read("[Main]\nFileTypes=.mkv").FileTypes, ".mkv");
}

TEST(ConfigValues, FreshFileHoldsEveryKeyInOrderWithoutFileTypes)
{
    IniDocument document;
    WriteOptions(document, Options{});
    EXPECT_EQ(document.Serialize(),
              "[Main]\r\nLanguage=enu\r\nLastFile=\r\nLastSubFile=\r\nParameters=\r\n"
              "Fullscreen=0\r\nIdx=0\r\nDisableScrSaver=1\r\nShutdown=0\r\nOnTop=0\r\n"
              "Playlist=0\r\nAutoStartDragDrop=0\r\nAutoStartCmdLine=0\r\nShowResultWindow=1\r\n"
              "ShowResultOnErrorOnly=1\r\nMPlayerPriority=2\r\nSettingsPage=4\r\n"
              "OneInstanceOnly=0\r\n\r\n"
              "[Video]\r\nDouble=1\r\ndri=0\r\nGraphicEq=0\r\nForceYUY2=0\r\nPostProcessing=0\r\n"
              "Expand=0\r\nPanScan=0\r\nPanScanValue=50\r\n\r\n"
              "[Audio]\r\nCustomVolume=0\r\nVolume=100\r\nNormalize=0\r\nExtraStereo=0\r\n"
              "ExtraStereoVal=25\r\nSetChannels=0\r\nChannels=6\r\nEmulateSubwoofer=0\r\nEQ=0\r\n"
              "EQPreset=\r\nEQSettings=\r\nCustomAC3Mixing=0\r\nMixerProfile=\r\n\r\n"
              "[Font]\r\nFont=\r\nFontFace=\r\nSetFontScale=0\r\nFontScale=3\r\nSubCp=latin2\r\n"
              "SubfontOutline=0\r\nSubfontOutlineValue=2\r\nSubfontBlur=0\r\n"
              "SubfontBlurValue=2\r\n\r\n");
}

TEST(ConfigValues, PlayerChoiceGoesAfterEverySectionOlderCopiesKnow)
{
    TempDir dir;
    const std::string path = dir.file("zuv.ini");
    Options options;
    options.Player = kPlayerMpv;
    EXPECT_NE(StorePlayerChoice(path, options),
              std::error_code()); // no options written, nothing to add to
    EXPECT_FALSE(ReadFile(path).has_value());
    WriteFile(path, "[Main]\r\nLanguage=enu\r\n\r\n[Subtitles]\r\nItem1=a.srt\r\n");
    EXPECT_EQ(StorePlayerChoice(path, options), std::error_code());
    const std::string text = ReadFile(path).value_or("");
    EXPECT_TRUE(text.ends_with("Item1=a.srt\r\n\r\n[Player]\r\nPlayer=2\r\n\r\n")) << text;
    EXPECT_EQ(ReadOptions(IniDocument::Parse(text)).Player, kPlayerMpv);
}

TEST(ConfigValues, RewritingKeepsPlacesAndDropsComments)
{
    IniDocument document =
        IniDocument::Parse("; mine\n[audio]\nvolume=80\nVolume = 70\n[Main]\nFileTypes=.mkv\n");
    Options options = ReadOptions(document);
    options.FontScale = 1.6;
    WriteOptions(document, options);
    const std::string text = document.Serialize();
    EXPECT_EQ(text.find("; mine"), std::string::npos);
    EXPECT_EQ(text.rfind("[audio]\r\nVolume=80\r\nVolume = 70\r\nCustomVolume=0", 0), 0u);
    EXPECT_NE(text.find("FileTypes=.mkv"), std::string::npos); // kept as read, never written
    EXPECT_NE(text.find("FontScale=1.6\r\n"), std::string::npos);
}

TEST(ConfigLocation, ProfileFolderFileWinsElseProgramFolder)
{
    TempDir program, profile;
    const ConfigFolders folders{program.path(), profile.path()};
    EXPECT_EQ(ConfigurationFile::Open(folders).Path(), program.file("zuv.ini"));
    WriteFile(program.file("zuv.ini"), "[Audio]\nVolume=1\n");
    WriteFile(profile.file("zuv.ini"), "[Audio]\nVolume=2\n");
    const ConfigurationFile file = ConfigurationFile::Open(folders);
    EXPECT_EQ(file.Path(), profile.file("zuv.ini"));
    EXPECT_EQ(ReadOptions(file.Document()).Volume, 2);
    EXPECT_EQ(ConfigFilePath(true, {program.path(), ""}), program.file("zuv.ini"));
}

TEST(ConfigLocation, NoFileGivesDefaultsAndIsCreatedAtExit)
{
    TempDir program, profile;
    const ConfigFolders folders{program.path(), profile.path() + "sub/"};
    ConfigurationFile file = ConfigurationFile::Open(folders);
    EXPECT_TRUE(file.Document().Empty());
    WriteOptions(file.Document(), ReadOptions(file.Document()));
    EXPECT_EQ(WriteWithProfileFallback(file, folders), std::error_code());
    EXPECT_EQ(file.Path(), program.file("zuv.ini"));
    EXPECT_TRUE(ReadFile(program.file("zuv.ini")).has_value());
}

TEST(ConfigLocation, UnwritableProgramFolderMovesTheFileToTheProfileFolder)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows folders have no POSIX write permission";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir program, profile;
    WriteFile(program.file("zuv.ini"), "[Audio]\nVolume=7\n");
    ::chmod(program.path().c_str(), 0555);
    const ConfigFolders folders{program.path(), profile.path()};
    ConfigurationFile file = ConfigurationFile::Open(folders);
    EXPECT_EQ(WriteWithProfileFallback(file, folders), std::error_code());
    EXPECT_EQ(file.Path(), profile.file("zuv.ini"));
    EXPECT_EQ(ReadFile(profile.file("zuv.ini")), "[Audio]\r\nVolume=7\r\n\r\n");
    EXPECT_EQ(ReadFile(program.file("zuv.ini")), "[Audio]\nVolume=7\n");
    ::chmod(program.path().c_str(), 0755);
#endif
}

TEST(ConfigLocation, AFileThatCannotBeReadIsNeverOverwritten)
{
    TempDir program, profile;
    // A folder in place of the file: nothing can be read, so nothing may be replaced there.
    ASSERT_TRUE(std::filesystem::create_directory(program.file("zuv.ini")));
    const ConfigFolders folders{program.path(), profile.path()};
    ConfigurationFile file = ConfigurationFile::Open(folders);
    EXPECT_NE(file.Write(), std::error_code());
    EXPECT_EQ(WriteWithProfileFallback(file, folders), std::error_code());
    EXPECT_EQ(file.Path(), profile.file("zuv.ini"));

    // Already in the profile folder: the failure stands, the file stays.
    ConfigurationFile profileFile = ConfigurationFile::Load(profile.file("zuv.ini"));
    EXPECT_EQ(WriteWithProfileFallback(profileFile, folders), std::error_code());
    ASSERT_TRUE(std::filesystem::create_directory(profile.file("x")));
    ConfigurationFile broken = ConfigurationFile::Load(profile.file("x"));
    EXPECT_NE(WriteWithProfileFallback(broken, folders), std::error_code());
    EXPECT_EQ(broken.Path(), profile.file("x"));
}

// A file just below the read limit with LF line ends would grow past it with CR LF: neither the
// settings nor the history are written then, and the file stays readable for the next start.
TEST(ConfigLocation, NeverWritesAFileAboveTheReadLimit)
{
    TempDir profile;
    const std::string path = profile.file("zuv.ini");
    std::string text = "[Main]\n";
    for (int i = 0; text.size() < kMaxConfigFileBytes - 200'000; ++i)
        text += "Key" + std::to_string(i) + "=" + std::string(40, 'x') + "\n";
    WriteFile(path, text);
    const ConfigFolders folders{profile.path(), profile.path()};
    struct Case
    {
        const char* name;
        std::function<std::error_code()> write;
    };
    const Case cases[] = {
        {"settings",
         [&] {
             ConfigurationFile file = ConfigurationFile::Load(path);
             return WriteWithProfileFallback(file, folders);
         }},
        {"history",
         [&] {
             return SaveHistory({true, path, "FileHistory"}, {"/films/a.avi"});
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(test.write(), ZuvoraError::TooLarge);
        EXPECT_EQ(ReadFile(path), text);
    }
}

// A text field would cut a longer value, and the exit would store it cut: it is left out with a
// reason instead; a value that fits is kept whole.
TEST(ConfigValues, FieldTextsLongerThanTheFieldAreLeftOutNotCut)
{
    for (const char* key : {"Parameters", "LastFile", "LastSubFile"}) {
        for (const std::size_t length :
             {kMaxFieldText, kMaxFieldText + 1, std::size_t{15'000'000}}) {
            SCOPED_TRACE(std::string(key) + " " + std::to_string(length));
            const std::string value(length, 'a');
            Options options = Read("[Main]\r\n" + std::string(key) + "=" + value + "\r\n");
            const std::vector<std::string> reasons = DropUnusableValues(options);
            const std::string kept = std::string(key) == "Parameters" ? options.Parameters
                                     : std::string(key) == "LastFile" ? options.LastFile
                                                                      : options.LastSubFile;
            EXPECT_EQ(kept, length <= kMaxFieldText ? value : std::string());
            EXPECT_EQ(reasons.size(), length <= kMaxFieldText ? 0u : 1u);
        }
    }
}

TEST(ConfigLocation, SharedProgramFolderGivesDefaultsAndIsNeverWritten)
{
    TempDir program, profile;
    WriteFile(program.file("zuv.ini"), "[Audio]\nVolume=77\n");
    const ConfigFolders folders{program.path(), profile.path(), true};
    ConfigurationFile file = ConfigurationFile::Open(folders);
    EXPECT_EQ(ReadOptions(file.Document()).Volume, 77);
    file.Document().SetValue("Audio", "Volume", "5");
    EXPECT_EQ(WriteWithProfileFallback(file, folders), std::error_code());
    EXPECT_EQ(file.Path(), profile.file("zuv.ini"));
    EXPECT_EQ(ReadFile(profile.file("zuv.ini")), "[Audio]\r\nVolume=5\r\n\r\n");
    EXPECT_EQ(ReadFile(program.file("zuv.ini")), "[Audio]\nVolume=77\n");
    // The user's own file wins from now on.
    EXPECT_EQ(ReadOptions(ConfigurationFile::Open(folders).Document()).Volume, 5);

    // No profile folder: nowhere to write, and the failure is told.
    const ConfigFolders noProfile{program.path(), "", true};
    ConfigurationFile defaults = ConfigurationFile::Open(noProfile);
    EXPECT_EQ(ReadOptions(defaults.Document()).Volume, 77);
    defaults.Document().SetValue("Audio", "Volume", "5");
    EXPECT_NE(WriteWithProfileFallback(defaults, noProfile), std::error_code());
    EXPECT_EQ(ReadFile(program.file("zuv.ini")), "[Audio]\nVolume=77\n");

    // A folder in place of the defaults gives none, and stops nothing.
    TempDir otherProgram, otherProfile;
    ASSERT_TRUE(std::filesystem::create_directory(otherProgram.file("zuv.ini")));
    const ConfigFolders broken{otherProgram.path(), otherProfile.path(), true};
    ConfigurationFile fresh = ConfigurationFile::Open(broken);
    EXPECT_EQ(WriteWithProfileFallback(fresh, broken), std::error_code());
    EXPECT_TRUE(ReadFile(otherProfile.file("zuv.ini")).has_value());
}

TEST(ConfigLocation, MoveReplacesTheContentAtTheNewPlace)
{
    TempDir folder;
    WriteFile(folder.file("new.ini"), "[Other]\nX=1\n");
    ConfigurationFile file = ConfigurationFile::Load(folder.file("missing.ini"));
    file.Document().SetValue("Main", "Language", "deu");
    ConfigurationFile moved = file.MoveTo(folder.file("new.ini"));
    EXPECT_EQ(moved.Write(), std::error_code());
    EXPECT_EQ(ReadFile(folder.file("new.ini")), "[Main]\r\nLanguage=deu\r\n\r\n");
}
