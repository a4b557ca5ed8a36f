// Start in the main window with the installed MPlayer, on a clip made here.
#include "main_window_fixture.h"
#include "platform/process.h"
#include "playback/capture_run.h"
#include "playback/player_dialect.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "widgets/qt/history_combo.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSlider>

#include <algorithm>

using namespace zuv;
using zuv::test::MainWindowFixture;

namespace {

// A raw 720 by 304 video of ten frames, which the player reads without any codec.
std::string WriteClip(const test::TempDir& folder)
{
    const std::size_t frameBytes = 720 * 304 * 3 / 2;
    std::string clip = "YUV4MPEG2 W720 H304 F25:1 Ip A1:1 C420jpeg\n";
    for (int frame = 0; frame < 10; ++frame) {
        clip += "FRAME\n";
        clip.append(frameBytes, static_cast<char>(16 + frame * 20));
    }
    const std::string path = folder.file("clip.y4m");
    test::WriteFile(path, clip);
    return path;
}

QStringList ResultLines(TZUVMainForm& form)
{
    return test::Find<QPlainTextEdit>(form.ResultForm(), "Memo")
        ->toPlainText()
        .split(QLatin1Char('\n'));
}

QString CommandLineOf(TZUVMainForm& form)
{
    const QStringList lines = ResultLines(form);
    return lines.isEmpty() ? QString() : lines.first();
}

} // namespace

class RealPlayerPlaybackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_fixture;
    std::string m_clip;

    // Plays the clip to its end; true when the run ended with code 0.
    bool PlayToTheEnd()
    {
        TZUVMainForm& form = *m_fixture->form;
        test::Find<QAction>(&form, "ActionStart")->trigger();
        if (!form.Playback()->Playing())
            return false;
        if (!m_fixture->WaitForIdle(60000))
            return false;
        return ResultLines(form).last() == QStringLiteral("...exited, code: 0");
    }

private slots:
    void init()
    {
        const std::string player = platform::FindProgram("mplayer", {}).path;
        if (player.empty())
            QSKIP("mplayer is not on PATH");
        // No fake player: the real one on PATH plays.
        m_fixture = std::make_unique<MainWindowFixture>(QStringList(), false);
        const platform::ProgramLocation found =
            platform::FindProgram("mplayer", m_fixture->program.path());
        QCOMPARE(found.path, player);
        QVERIFY(found.path.rfind(m_fixture->program.path(), 0) != 0);

        m_clip = WriteClip(m_fixture->temp);
        TZUVMainForm& form = *m_fixture->form;
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QString::fromStdString(m_clip));
        test::Find<THistoryCombo>(&form, "comboParams")
            ->setEditText(QStringLiteral("-vo null -ao null"));
        form.Playback()->SetScreenSize(ScreenSize{1024, 768});
    }

    void cleanup() { m_fixture.reset(); }

    void playsToTheEnd()
    {
        TZUVMainForm& form = *m_fixture->form;
        QVERIFY2(PlayToTheEnd(), qPrintable(ResultLines(form).join(QLatin1Char('\n'))));
        const QStringList lines = ResultLines(form);
        QVERIFY(lines.size() > 2); // the player's own lines between
        // The status line is there as the player wrote it, without its terminal controls.
        QVERIFY2(std::any_of(lines.begin(), lines.end(),
                             [](const QString& line) {
                                 return line.startsWith(QStringLiteral("V:")) ||
                                        line.startsWith(QStringLiteral("A:"));
                             }),
                 qPrintable(lines.join(QLatin1Char('\n'))));
        for (const QString& line : lines) {
            QVERIFY2(!line.contains(QStringLiteral("[J")), qPrintable(line));
            QVERIFY2(std::none_of(line.begin(), line.end(),
                                  [](QChar c) { return c < QChar(0x20) && c != u'\t'; }),
                     qPrintable(line));
        }
        QCOMPARE(lines.first(), QStringLiteral("commandline: \"") + QString::fromStdString(m_clip) +
                                    QStringLiteral(" -vo null -ao null -double\""));
        QVERIFY(test::Find<QAction>(&form, "ActionStart")->isEnabled());
        QVERIFY(!test::Find<QAction>(&form, "ActionStop")->isVisible());
    }

    void panScanAndExpandFromTheProbe()
    {
        TZUVMainForm& form = *m_fixture->form;
        test::Find<QCheckBox>(form.SettingsForm(), "cbPanScan")->setChecked(true);
        test::Find<QSlider>(form.SettingsForm(), "tbPanScan")->setValue(50);
        test::Find<QCheckBox>(form.SettingsForm(), "cbExpand")->setChecked(true);
        QVERIFY2(PlayToTheEnd(), qPrintable(ResultLines(form).join(QLatin1Char('\n'))));
        QVERIFY2(CommandLineOf(form).contains(QStringLiteral(" -vf expand=563:422,crop=563")),
                 qPrintable(CommandLineOf(form)));
    }

    void volumeInTheFilterListOfTheCurrentPlayer()
    {
        TZUVMainForm& form = *m_fixture->form;
        // Ask the installed player which options it speaks, as the start-up does.
        form.Playback()->PlayerInfo().Start(PlayerCaptureFunction());
        const PlayerInfo info = form.Playback()->PlayerInfo().Get();
        QCOMPARE(info.dialect, PlayerDialect::Current);
        QVERIFY(!info.version.empty());

        test::Find<QCheckBox>(&form, "cbCustomVolume")->setChecked(true);
        test::Find<QSlider>(&form, "tbVolume")->setValue(128);
        QVERIFY2(PlayToTheEnd(), qPrintable(ResultLines(form).join(QLatin1Char('\n'))));
        const QString commandLine = CommandLineOf(form);
        QVERIFY2(commandLine.contains(QStringLiteral(" -af volume=6.06")), qPrintable(commandLine));
        QVERIFY2(!commandLine.contains(QStringLiteral("-aop")), qPrintable(commandLine));
    }
};

QTEST_MAIN(RealPlayerPlaybackTest)
#include "real_player_playback_test.moc"
