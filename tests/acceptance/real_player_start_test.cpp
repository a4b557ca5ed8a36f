// `zuvora FILE /start` with the settings of zuv.ini and the installed MPlayer, asked for its
// dialect as in a user's run; and with mpv alone on PATH.
#include "main_window_fixture.h"
#include "platform/process.h"
#include "playback/qt/result_form.h"
#include "real_player_media.h"
#include "support/find_control.h"
#include "util/text_utils.h"

#include <QPlainTextEdit>

#include <filesystem>

using namespace zuv;
using zuv::test::MainWindowFixture;

namespace {

// Stores the settings where the program reads them first, starts it on the clip and returns the
// result window's lines once the run has ended.
QStringList RunWithSettings(MainWindowFixture& fixture, const std::string& clip,
                            const std::string& ini)
{
    test::WriteFile(fixture.program.file("zuv.ini"), ini);
    test::WriteFile(fixture.ProfileFolder() + "zuv.ini", ini);
    fixture.Start({QString::fromStdString(clip), QStringLiteral("/start")});
    if (!fixture.WaitForIdle(60000))
        return {};
    return test::Find<QPlainTextEdit>(fixture.form->ResultForm(), "Memo")
        ->toPlainText()
        .split(QLatin1Char('\n'));
}

} // namespace

class RealPlayerStartTest : public QObject
{
    Q_OBJECT

private slots:
    void playsWithTheStoredSettings_data()
    {
        QTest::addColumn<QString>("settings");
        // A piece of the command line (the crop width follows the screen of the test's display).
        QTest::addColumn<QString>("expected");
        // Everything on, with the ends of the sliders and a hand-edited channel count.
        QTest::newRow("everything on")
            << "[Main]\r\nParameters=PARAMS\r\nFullscreen=1\r\nIdx=1\r\nOnTop=1\r\nMPlayerPriority="
               "0\r\n"
               "[Video]\r\nDouble=1\r\ndri=1\r\nGraphicEq=1\r\nForceYUY2=1\r\n"
               "PostProcessing=1\r\nExpand=1\r\nPanScan=1\r\nPanScanValue=99\r\n"
               "[Audio]\r\nCustomVolume=1\r\nVolume=16\r\nNormalize=1\r\nExtraStereo=1\r\n"
               "ExtraStereoVal=50\r\nSetChannels=1\r\nChannels=9\r\nEmulateSubwoofer=1\r\nEQ=1\r\n"
               "EQSettings=12:-12:12:-12:12:-12:12:-12:12:-12\r\n"
               "[Font]\r\nFont=FONT\r\nSubCp=cp1250\r\nSetFontScale=1\r\nFontScale=6\r\n"
               "SubfontOutline=1\r\nSubfontOutlineValue=8\r\nSubfontBlur=1\r\n"
               "SubfontBlurValue=8\r\n"
            << " -af volume=-48.13,volnorm,extrastereo=5,equalizer=12:-12:12:-12:12:-12:12:-12:12:"
               "-12,sub -vf eq,pp,expand=";
        // The user's own filters, each of the kind that the options add too.
        QTest::newRow("own filters")
            << "[Main]\r\nParameters=-af volume=3:1,volnorm,extrastereo,equalizer=1:1:1:1:1:1:1:"
               "1:1:1,sub -vf flip,eq PARAMS\r\n"
               "[Video]\r\nGraphicEq=1\r\nForceYUY2=1\r\nPostProcessing=1\r\nPanScan=1\r\n"
               "[Audio]\r\nCustomVolume=1\r\nVolume=255\r\nNormalize=1\r\nExtraStereo=1\r\n"
               "EmulateSubwoofer=1\r\nEQ=1\r\nSetChannels=1\r\nChannels=6\r\n"
            << " -af volume=27.02:1,volnorm,extrastereo,equalizer=1:1:1:1:1:1:1:1:1:1,sub "
               "-channels 6"
               " -vf flip,eq,eq,pp,crop=";
    }

    void playsWithTheStoredSettings()
    {
        QFETCH(QString, settings);
        QFETCH(QString, expected);
        if (platform::FindProgram("mplayer", {}).path.empty())
            QSKIP("mplayer is not on PATH");
        // No fake player and no known dialect: the real one answers, as in a user's run.
        MainWindowFixture fixture(QStringList(), false, false);
        fixture.form.reset();
        const std::string clip = fixture.temp.file("clip.avi");
        test::WriteFile(clip, test::ClipBytes());
        const std::string font = fixture.temp.file("font folder/Deja Vu.ttf");
        test::WriteFile(
            font, test::ReadFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").value_or(""));
        // The output arguments follow the stored ones, as a wrapper around the player would add.
        std::string ini = settings.toStdString();
        ReplaceAll(ini, "FONT", font);
        ReplaceAll(ini, "PARAMS",
                   "-vo null -ao pcm:fast:file=" + fixture.temp.file("sound.wav") + " -benchmark");
        const QStringList lines = RunWithSettings(fixture, clip, ini);
        QVERIFY(!lines.isEmpty());
        const std::string all = lines.join(QLatin1Char('\n')).toStdString();
        QVERIFY2(lines.first().contains(expected), qPrintable(lines.first()));
        QVERIFY2(!lines.first().contains(QStringLiteral("-aop")), qPrintable(lines.first()));
        QCOMPARE(lines.last(), QStringLiteral("...exited, code: 0"));
        QCOMPARE(test::RefusalLines(all), std::vector<std::string>());
        const auto sound = test::ReadWav(fixture.temp.file("sound.wav"));
        QVERIFY2(sound && sound->peak > 0, all.c_str());
    }

    // Without MPlayer the automatic choice starts mpv, whose probe sizes the picture for
    // pan-scan, and the caption names it.
    void startsMpvWhenMPlayerIsMissing()
    {
        const std::string mpv = platform::FindProgram("mpv", {}).path;
        if (mpv.empty())
            QSKIP("mpv is not on PATH");
        MainWindowFixture fixture(QStringList(), false, false);
        fixture.form.reset();
        const std::string bin = fixture.temp.file("bin");
        std::filesystem::create_directories(bin);
        std::filesystem::create_symlink(mpv, bin + "/mpv");
        const test::ScopedEnv path("PATH", bin);
        const std::string clip = fixture.temp.file("clip.avi");
        test::WriteFile(clip, test::ClipBytes());
        const std::string ini = "[Main]\r\nParameters=--vo=null --ao=pcm --ao-pcm-file=" +
                                fixture.temp.file("sound.wav") +
                                " --untimed\r\n[Video]\r\nPanScan=1\r\n"
                                "[Audio]\r\nCustomVolume=1\r\nVolume=100\r\n";
        const QStringList lines = RunWithSettings(fixture, clip, ini);
        QVERIFY(!lines.isEmpty());
        const std::string all = lines.join(QLatin1Char('\n')).toStdString();
        QVERIFY2(lines.first().contains(QStringLiteral("--af=lavfi=[volume=244/256] "
                                                       "--vf=lavfi=[crop=")),
                 qPrintable(lines.first()));
        QCOMPARE(lines.last(), QStringLiteral("...exited, code: 0"));
        QCOMPARE(test::RefusalLines(all), std::vector<std::string>());
        const auto sound = test::ReadWav(fixture.temp.file("sound.wav"));
        QVERIFY2(sound && sound->peak == 976, all.c_str());
        QTRY_VERIFY2(fixture.form->windowTitle().contains(QStringLiteral(" / mpv 0.")),
                     qPrintable(fixture.form->windowTitle()));
    }
};

QTEST_MAIN(RealPlayerStartTest)
#include "real_player_start_test.moc"
