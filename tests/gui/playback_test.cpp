#include "main_window_fixture.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "shutdown/qt/countdown_form.h"
#include "support/find_control.h"
#include "widgets/qt/history_combo.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTimer>
#include <QTreeView>

#include <minizip/zip.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::MainWindowFixture;
using zuv::test::ScopedEnv;

namespace {

QString ResultText(TZUVMainForm& form)
{
    return test::Find<QPlainTextEdit>(form.ResultForm(), "Memo")->toPlainText();
}

void SetResultOptions(TZUVMainForm& form, bool show, bool onlyUnclean)
{
    test::Find<QCheckBox>(form.SettingsForm(), "cbShowResult")->setChecked(show);
    test::Find<QCheckBox>(form.SettingsForm(), "cbResultIfUnclean")->setChecked(onlyUnclean);
}

void WriteZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    QVERIFY(zip);
    for (const auto& [name, data] : members) {
        QCOMPARE(zipOpenNewFileInZip(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                     Z_DEFLATED, Z_DEFAULT_COMPRESSION),
                 ZIP_OK);
        zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

// Lets the next countdown window run out.
void LetCountdownRunOut(TZUVMainForm& form)
{
    QTimer::singleShot(50, &form, [&form] { form.CountdownForm()->accept(); });
}

} // namespace

class PlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanEndWithTheResultWindowShownAtStart()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        SetResultOptions(form, true, false);
        ScopedEnv output("FAKE_PLAYER_OUTPUT", "first\\nsecond\\r\\nstatus 1\\rstatus 2\\npartial");
        test::Find<THistoryCombo>(&form, "comboFile")
            ->setEditText(QStringLiteral("/films/Egy film.avi"));
        auto* ActionStart = test::Find<QAction>(&form, "ActionStart");
        ActionStart->trigger();
        QVERIFY(form.Playback()->Playing());
        QVERIFY(!ActionStart->isEnabled());
        auto* ActionStop = test::Find<QAction>(&form, "ActionStop");
        QVERIFY(ActionStop->isVisible());
        // A list first shown while the player runs is built disabled.
        form.ShowPlaylist();
        auto* lvPlaylist = test::Find<QTreeView>(&form, "lvPlaylist");
        QVERIFY(!lvPlaylist->isEnabled());
        QVERIFY(form.ResultForm()->isVisible());
        QVERIFY(fixture.WaitForIdle());
        QVERIFY(ActionStart->isEnabled());
        QVERIFY(!ActionStop->isVisible());
        QVERIFY(lvPlaylist->isEnabled());
        QCOMPARE(ResultText(form).split(QLatin1Char('\n')),
                 QStringList({QStringLiteral("commandline: \"\"/films/Egy film.avi\" -double\""),
                              QStringLiteral("first"), QStringLiteral("second"),
                              QStringLiteral("status 2"), QStringLiteral("...exited, code: 0")}));
        // The path with a blank reached the player as one argument.
        QCOMPARE(fixture.PlayerRuns().front().front(), std::string("/films/Egy film.avi"));
    }

    void missingPlayerShowsTheErrorAndEnablesStart()
    {
        MainWindowFixture fixture({}, false);
        ScopedEnv path("PATH", fixture.program.path()); // no mplayer anywhere
        TZUVMainForm& form = *fixture.form;
        form.ResultForm()->AddLine("old run");
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/films/a.avi"));
        auto* ActionStart = test::Find<QAction>(&form, "ActionStart");
        ActionStart->trigger();
        QVERIFY(!form.Playback()->Playing());
        QVERIFY(ActionStart->isEnabled());
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
        const auto& box = MessageBox::ShownBoxes().front();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.caption, QStringLiteral("Zuv - Hiba"));
        QCOMPARE(box.text,
                 QStringLiteral("Nem tudom elindítani az MPlayert!\n\nNo such file or directory"));
        // A failed start leaves the last run's text.
        QCOMPARE(ResultText(form), QStringLiteral("old run"));
    }

    void playlistPlaysEveryItemThenSelectsTheFirst()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        form.ShowPlaylist();
        for (const char* name : {"/f/1.avi", "/f/2.avi", "/f/3.avi"})
            form.Playlist()->AddItem(name, {});
        form.Playlist()->SetItemSubtitle(1, "/f/two subs.srt");
        form.SelectPlaylistItem(1);
        auto* ActionStart = test::Find<QAction>(&form, "ActionStart");
        ActionStart->trigger();
        QVERIFY(form.Playback()->PlaylistMode());
        QVERIFY(fixture.WaitForIdle());
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), std::size_t(2));
        QCOMPARE(runs[0][0], std::string("/f/2.avi"));
        QCOMPARE(runs[0][2], std::string("/f/two subs.srt"));
        QCOMPARE(runs[1][0], std::string("/f/3.avi"));
        QCOMPARE(form.SelectedPlaylistItem(), 0);
        QVERIFY(ActionStart->isEnabled());
    }

    void countdownRunningOutPowersOffAndClosesTheWindow()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        form.show();
        const std::string marker = fixture.program.file("powered-off");
        const std::string script =
            test::WriteFakePlayer(fixture.program.path(), "touch '" + marker + "'", "poweroff");
        ScopedEnv poweroff("ZUVORA_POWEROFF_COMMAND", script);
        test::Find<QCheckBox>(&form, "cbShutdown")->setChecked(true);
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/1.avi"));
        LetCountdownRunOut(form);
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(fixture.WaitForIdle());
        QTRY_VERIFY(!form.isVisible());
        QVERIFY(test::ReadFile(marker).has_value());
    }

    void restartPendingStartsAgain()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        ScopedEnv sleep("FAKE_PLAYER_SLEEP", "30");
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/old.avi"));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QTRY_VERIFY(!fixture.PlayerRuns().empty());
        // A second copy hands over a file while this one plays.
        fixture.session->TakeOverCommandLine("zuvora /f/new.avi -start");
        QVERIFY(form.Playback()->RestartPending());
        QTRY_COMPARE(fixture.PlayerRuns().size(), std::size_t(2));
        QCOMPARE(fixture.PlayerRuns()[1].front(), std::string("/f/new.avi"));
        QVERIFY(!form.Playback()->RestartPending());
        test::Find<QAction>(&form, "ActionStop")->trigger();
        QVERIFY(fixture.WaitForIdle());
    }

    void zipSubtitleIsUnpackedOrLeftOut()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        const std::string withSubtitle = fixture.temp.file("subs pack.zip");
        WriteZip(withSubtitle, {{"readme.txt", "x"}, {"film.SRT", "1\n"}});
        const std::string withoutSubtitle = fixture.temp.file("none.zip");
        WriteZip(withoutSubtitle, {{"readme.txt", "x"}});
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        auto* comboSub = test::Find<THistoryCombo>(&form, "comboSub");
        comboSub->setEditText(QString::fromStdString(withSubtitle));
        auto* ActionStart = test::Find<QAction>(&form, "ActionStart");
        ActionStart->trigger();
        QVERIFY(fixture.WaitForIdle());
        comboSub->setEditText(QString::fromStdString(withoutSubtitle));
        ActionStart->trigger();
        QVERIFY(fixture.WaitForIdle());
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), std::size_t(2));
        QCOMPARE(runs[0][1], std::string("-sub"));
        // Unpacked into the user's own folder inside the temporary folder.
        QCOMPARE(runs[0][2],
                 fixture.temp.path() + "zuvora-" + std::to_string(::getuid()) + "/film.SRT");
        QVERIFY(std::find(runs[1].begin(), runs[1].end(), "-sub") == runs[1].end());
        QVERIFY(MessageBox::ShownBoxes().empty());
    }

    void unreadableZipSaysSoAndPlaysWithoutSubtitle()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        const std::string broken = fixture.temp.file("broken.zip");
        test::WriteFile(broken, "not a zip archive at all");
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        test::Find<THistoryCombo>(&form, "comboSub")->setEditText(QString::fromStdString(broken));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
        QVERIFY(MessageBox::ShownBoxes().front().text.contains(QStringLiteral("broken.zip")));
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), std::size_t(1));
        QCOMPARE(runs[0].size(), std::size_t(2)); // the media path and -double
    }

    void optionsReachThePlayer()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        test::Find<THistoryCombo>(&form, "comboParams")
            ->setEditText(QStringLiteral("-speed 1.5 -vf flip"));
        test::Find<QCheckBox>(&form, "cbLoop")->setChecked(true);
        test::Find<QCheckBox>(&form, "cbCustomVolume")->setChecked(true);
        test::Find<QSlider>(&form, "tbVolume")->setValue(128);
        test::Find<QCheckBox>(form.SettingsForm(), "cbPanScan")->setChecked(true);
        test::Find<QCheckBox>(form.SettingsForm(), "cbExpand")->setChecked(true);
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(fixture.WaitForIdle());
        const std::vector<std::string> expected{
            "/f/a.avi", "-speed",
            "1.5",      "-double",
            "-loop",    "0",
            "-af",      "volume=6.06",
            "-vf",      "flip,expand=563:422,crop=563,scale"}; // pan-scan at 50
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), std::size_t(1));
        QCOMPARE(runs.front(), expected);
    }

    void screenSaverIsReleasedAtTheEndOfEveryRun()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        auto* ActionStart = test::Find<QAction>(&form, "ActionStart");
        ActionStart->trigger();
        QVERIFY(test::Find<QCheckBox>(form.SettingsForm(), "cbDisableScrSaver")->isChecked());
        QVERIFY(form.Playback()->ScreenSaverInhibited());
        QVERIFY(fixture.WaitForIdle());
        QVERIFY(!form.Playback()->ScreenSaverInhibited());
        test::Find<QCheckBox>(form.SettingsForm(), "cbDisableScrSaver")->setChecked(false);
        ActionStart->trigger();
        QVERIFY(!form.Playback()->ScreenSaverInhibited());
        QVERIFY(fixture.WaitForIdle());
    }

    void screenSaverSwitchCountsDuringTheRun()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        QCheckBox* disable = test::Find<QCheckBox>(form.SettingsForm(), "cbDisableScrSaver");
        disable->setChecked(false);
        ScopedEnv sleep("FAKE_PLAYER_SLEEP", "30");
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QVERIFY(!form.Playback()->ScreenSaverInhibited());
        disable->setChecked(true);
        QVERIFY(form.Playback()->ScreenSaverInhibited());
        disable->setChecked(false);
        QVERIFY(!form.Playback()->ScreenSaverInhibited());
        disable->setChecked(true);
        test::Find<QAction>(&form, "ActionStop")->trigger();
        QVERIFY(fixture.WaitForIdle());
        QVERIFY(!form.Playback()->ScreenSaverInhibited());
        // Not playing: the switch alone keeps nothing away.
        disable->setChecked(false);
        disable->setChecked(true);
        QVERIFY(!form.Playback()->ScreenSaverInhibited());
    }
};

QTEST_MAIN(PlaybackTest)
#include "playback_test.moc"
