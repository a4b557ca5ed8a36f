#include "equalizer/band_values.h"
#include "equalizer/preset_file.h"
#include "support/test_support.h"
#include "support/write_faults.h"

#include <cerrno>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace zuv;
using zuv::test::ReadFile;
using zuv::test::TempDir;
using zuv::test::WriteFile;
#ifndef _WIN32
using zuv::test::FileSizeLimit;
#endif

namespace {

EqualizerPositions Filled(int position)
{
    EqualizerPositions positions;
    positions.fill(position);
    return positions;
}

} // namespace

TEST(BandValueString, FormatsShortestGainsWithThePointAndNoExponent)
{
    EXPECT_EQ(FormatBandValueString(Filled(0)), "0:0:0:0:0:0:0:0:0:0");
    EXPECT_EQ(FormatBandValueString({-120, -115, -3, 0, 1, 5, 120, -100, 10, -1}),
              "12:11.5:0.3:0:-0.1:-0.5:-12:10:-1:0.1");
}

TEST(BandValueString, EveryPositionRoundTrips)
{
    for (int position = kEqualizerMinPosition; position <= kEqualizerMaxPosition; ++position) {
        EqualizerPositions written = Filled(0);
        written[position & 7] = position; // a different band now and then
        written[9] = -position;
        EqualizerPositions read = Filled(77);
        ASSERT_TRUE(ApplyBandValueString(FormatBandValueString(written), read));
        ASSERT_EQ(read, written) << FormatBandValueString(written);
    }
}

TEST(BandValueString, FieldsAreScaledCutTowardZeroAndClamped)
{
    EXPECT_EQ(ParseBandGain("13"), -120);
    EXPECT_EQ(ParseBandGain("-20"), 120);
    EXPECT_EQ(ParseBandGain("1.25"), -12);
    EXPECT_EQ(ParseBandGain("-1.25"), 12);
    EXPECT_EQ(ParseBandGain("-0.1"), 1);
    EXPECT_EQ(ParseBandGain("0.3"), -3);
    EXPECT_EQ(ParseBandGain("0.7"), -7);
    EXPECT_EQ(ParseBandGain("0.09"), 0);
    EXPECT_EQ(ParseBandGain("-0"), 0);
    EXPECT_EQ(ParseBandGain("99999999999999999999999"), -120);
}

TEST(BandValueString, AcceptsBlanksExponentsAndBareFractions)
{
    EXPECT_EQ(ParseBandGain(" 1.5\t"), -15);
    EXPECT_EQ(ParseBandGain("+2"), -20);
    EXPECT_EQ(ParseBandGain(".5"), -5);
    EXPECT_EQ(ParseBandGain("5."), -50);
    EXPECT_EQ(ParseBandGain("1.25e1"), -120);
    EXPECT_EQ(ParseBandGain("125e-2"), -12);
    EXPECT_EQ(ParseBandGain("1e-99999999"), 0);
    EXPECT_EQ(ParseBandGain("1e99999999"), -120);
}

TEST(BandValueString, RejectsWhatIsNoNumber)
{
    for (const char* field : {"", " ", "-", ".", "1,5", "1 5", "abc", "1.2.3", "0x10", "inf", "nan",
                              "1e", "1e+", "e5", "--1", "5dB"})
        EXPECT_FALSE(ParseBandGain(field).has_value()) << field;
}

TEST(BandValueString, RefusesEmptyAndShortTextsWithoutChange)
{
    EqualizerPositions positions = Filled(30);
    EXPECT_FALSE(ApplyBandValueString("", positions));
    EXPECT_FALSE(ApplyBandValueString("1:2:3:4:5:6:7:8:9", positions));
    // A trailing separator adds no field.
    EXPECT_FALSE(ApplyBandValueString("1:2:3:4:5:6:7:8:9:", positions));
    EXPECT_EQ(positions, Filled(30));
}

TEST(BandValueString, UsesTheFirstTenFieldsAndStopsAtTheFirstNonNumber)
{
    EqualizerPositions positions = Filled(30);
    EXPECT_TRUE(ApplyBandValueString("1:2:3:4:5:6:7:8:9:10:11", positions));
    EXPECT_EQ(positions, (EqualizerPositions{-10, -20, -30, -40, -50, -60, -70, -80, -90, -100}));

    positions = Filled(30);
    EXPECT_TRUE(ApplyBandValueString("1:2:3:x:5:6:7:8:9:10", positions));
    EXPECT_EQ(positions, (EqualizerPositions{-10, -20, -30, 30, 30, 30, 30, 30, 30, 30}));

    // An empty tenth field is a field that is not a number.
    positions = Filled(30);
    EXPECT_TRUE(ApplyBandValueString("1:1:1:1:1:1:1:1:1::", positions));
    EXPECT_EQ(positions[8], -10);
    EXPECT_EQ(positions[9], 30);

    // Line breaks separate fields as ":" does.
    positions = Filled(30);
    EXPECT_TRUE(ApplyBandValueString("1\r\n2\n3\r4:5:6:7:8:9:10", positions));
    EXPECT_EQ(positions[3], -40);
}

TEST(EqualizerPresets, ProfileFileWinsOverTheProgramFolder)
{
    TempDir profile, program;
    WriteFile(program.file("equalizer.ini"), "[Program]\r\nValue=1:1:1:1:1:1:1:1:1:1\r\n");
    EXPECT_EQ(PresetFilePath({profile.path(), program.path()}), program.file("equalizer.ini"));
    // No profile folder: the program folder takes its place.
    EXPECT_EQ(PresetFilePath({"", program.path()}), program.file("equalizer.ini"));

    WriteFile(profile.file("equalizer.ini"), "[Mine]\r\nValue=2:2:2:2:2:2:2:2:2:2\r\n");
    EqualizerPresetFile presets({profile.path(), program.path()});
    EXPECT_EQ(presets.Path(), profile.file("equalizer.ini"));
    EXPECT_EQ(presets.PresetNames(), std::vector<std::string>{"Mine"});
}

TEST(EqualizerPresets, SharedProgramFolderGivesDefaultsAndIsNeverWritten)
{
    TempDir profile, program;
    const std::string shared = "[Hall]\r\nValue=1:1:1:1:1:1:1:1:1:1\r\n";
    WriteFile(program.file("equalizer.ini"), shared);
    EqualizerPresetFile presets({profile.path(), program.path(), true});
    EXPECT_EQ(presets.Path(), profile.file("equalizer.ini"));
    EXPECT_EQ(presets.PresetNames(), std::vector<std::string>{"Hall"});
    presets.SavePreset("Mine", "2:2:2:2:2:2:2:2:2:2");
    EXPECT_EQ(presets.WriteBack().error, std::error_code());
    EXPECT_EQ(EqualizerPresetFile({profile.path(), program.path(), true}).PresetNames(),
              (std::vector<std::string>{"Hall", "Mine"}));
    EXPECT_EQ(ReadFile(program.file("equalizer.ini")), shared);

    // No profile folder: read, but never written.
    EqualizerPresetFile noProfile({"", program.path(), true});
    EXPECT_EQ(noProfile.PresetNames(), std::vector<std::string>{"Hall"});
    noProfile.DeletePreset("Hall");
    EXPECT_NE(noProfile.WriteBack().error, std::error_code());
    EXPECT_EQ(ReadFile(program.file("equalizer.ini")), shared);
}

TEST(EqualizerPresets, ListsSavesCaseInsensitivelyAndDeletes)
{
    TempDir profile, program;
    WriteFile(program.file("equalizer.ini"),
              "; note\r\n[Rock]\r\nValue=1:2:3:4:5:6:7:8:9:10\r\nAuthor=me\r\n\r\n[Jazz]\r\n");
    EqualizerPresetFile presets({profile.path(), program.path()});
    EXPECT_EQ(presets.LoadError(), std::error_code());
    EXPECT_EQ(presets.PresetNames(), (std::vector<std::string>{"Rock", "Jazz"}));
    EXPECT_EQ(presets.PresetValue("ROCK"), "1:2:3:4:5:6:7:8:9:10");
    EXPECT_EQ(presets.PresetValue("Jazz"), "");
    EXPECT_EQ(presets.PresetValue("Pop"), "");

    presets.SavePreset("rOCK", "0:0:0:0:0:0:0:0:0:0");
    presets.SavePreset("Pop", "1:1:1:1:1:1:1:1:1:1");
    EXPECT_EQ(presets.PresetNames(), (std::vector<std::string>{"Rock", "Jazz", "Pop"}));
    EXPECT_EQ(presets.PresetValue("rock"), "0:0:0:0:0:0:0:0:0:0");

    presets.SavePreset("élő", "2:2:2:2:2:2:2:2:2:2");
    presets.SavePreset("ÉLŐ", "3:3:3:3:3:3:3:3:3:3");
    EXPECT_EQ(presets.PresetNames(), (std::vector<std::string>{"Rock", "Jazz", "Pop", "élő"}));
    EXPECT_EQ(presets.PresetValue("Élő"), "3:3:3:3:3:3:3:3:3:3");
    presets.DeletePreset("ÉlŐ");

    presets.DeletePreset("JAZZ");
    EXPECT_EQ(presets.PresetNames(), (std::vector<std::string>{"Rock", "Pop"}));

    // Nothing reaches the disk before the write-back; then the other key survives.
    EXPECT_EQ(ReadFile(program.file("equalizer.ini")),
              "; note\r\n[Rock]\r\nValue=1:2:3:4:5:6:7:8:9:10\r\nAuthor=me\r\n\r\n[Jazz]\r\n");
    const auto result = presets.WriteBack();
    EXPECT_EQ(result.error, std::error_code());
    EXPECT_EQ(result.path, program.file("equalizer.ini"));
    EXPECT_EQ(ReadFile(program.file("equalizer.ini")),
              "[Rock]\r\nValue=0:0:0:0:0:0:0:0:0:0\r\nAuthor=me\r\n\r\n"
              "[Pop]\r\nValue=1:1:1:1:1:1:1:1:1:1\r\n\r\n");
}

TEST(EqualizerPresets, MissingFileIsAnEmptyListWrittenAtExit)
{
    TempDir profile, program;
    EqualizerPresetFile presets({profile.path(), program.path()});
    EXPECT_EQ(presets.LoadError(), std::error_code());
    EXPECT_TRUE(presets.PresetNames().empty());
    EXPECT_EQ(presets.WriteBack().error, std::error_code());
    EXPECT_EQ(ReadFile(program.file("equalizer.ini")), "");
}

TEST(EqualizerPresets, FailedWriteFallsBackToTheProfileFolder)
{
    TempDir profile, blocked;
    // A program "folder" that is a file: nothing can be read or written there, even by root.
    WriteFile(blocked.file("program"), "not a folder");
    const PresetFolders folders{profile.path(), blocked.file("program/")};

    EqualizerPresetFile presets(folders);
    EXPECT_EQ(presets.LoadError(), std::error_code());
    presets.SavePreset("New", "2:2:2:2:2:2:2:2:2:2");
    const auto result = presets.WriteBack();
    EXPECT_EQ(result.error, std::error_code());
    EXPECT_EQ(result.path, profile.file("equalizer.ini"));
    EXPECT_EQ(ReadFile(profile.file("equalizer.ini")),
              "[New]\r\nValue=2:2:2:2:2:2:2:2:2:2\r\n\r\n");
    // The next start finds the profile file first.
    EXPECT_EQ(PresetFilePath(folders), profile.file("equalizer.ini"));
}

TEST(EqualizerPresets, FailedWriteInTheProfileFolderIsNotRetried)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (setrlimit), which Windows has not";
#else
    TempDir profile, program;
    const std::string old = "[Old]\r\nValue=1\r\n";
    WriteFile(profile.file("equalizer.ini"), old);
    EqualizerPresetFile presets({profile.path(), program.path()});
    presets.SavePreset("New", "2:2:2:2:2:2:2:2:2:2");
    EqualizerPresetFile::WriteResult result;
    {
        FileSizeLimit limit(8);
        result = presets.WriteBack();
    }
    EXPECT_EQ(result.error, std::errc::file_too_large);
    EXPECT_EQ(result.path, profile.file("equalizer.ini"));
    EXPECT_EQ(ReadFile(profile.file("equalizer.ini")), old);
    EXPECT_FALSE(ReadFile(program.file("equalizer.ini")).has_value());
#endif
}

TEST(EqualizerPresets, FailedWriteWithoutProfileFolderIsNotRetriedRelatively)
{
    TempDir blocked;
    WriteFile(blocked.file("program"), "not a folder");
    EqualizerPresetFile presets({"", blocked.file("program/")});
    const auto result = presets.WriteBack();
    EXPECT_NE(result.error, std::error_code());
    EXPECT_EQ(result.path, blocked.file("program/equalizer.ini"));
}

TEST(EqualizerPresets, UnreadableOrOversizedFileIsNeverOverwritten)
{
    TempDir profile, program;
    std::string huge = "[Big]\r\nValue=";
    huge.append(EqualizerPresetFile::kMaxFileBytes, '1');
    WriteFile(profile.file("equalizer.ini"), huge);

    EqualizerPresetFile presets({profile.path(), program.path()});
    EXPECT_NE(presets.LoadError(), std::error_code());
    EXPECT_TRUE(presets.PresetNames().empty());
    presets.SavePreset("New", "0:0:0:0:0:0:0:0:0:0");
    const auto result = presets.WriteBack();
    EXPECT_EQ(result.error, presets.LoadError());
    EXPECT_EQ(ReadFile(profile.file("equalizer.ini")), huge);
    EXPECT_FALSE(ReadFile(program.file("equalizer.ini")).has_value());

#ifndef _WIN32
    if (::geteuid() != 0) {
        TempDir locked;
        WriteFile(locked.file("equalizer.ini"), "[Secret]\r\nValue=1\r\n");
        ASSERT_EQ(::chmod(locked.file("equalizer.ini").c_str(), 0200), 0);
        EqualizerPresetFile unreadable({locked.path(), program.path()});
        EXPECT_NE(unreadable.LoadError(), std::error_code());
        EXPECT_NE(unreadable.WriteBack().error, std::error_code());
        ASSERT_EQ(::chmod(locked.file("equalizer.ini").c_str(), 0600), 0);
        EXPECT_EQ(ReadFile(locked.file("equalizer.ini")), "[Secret]\r\nValue=1\r\n");
    }
#endif
}
