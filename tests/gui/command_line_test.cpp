#include "main_window_fixture.h"
#include "playback/qt/playlist_model.h"
#include "support/find_control.h"
#include "widgets/qt/history_combo.h"

using namespace zuv;
using zuv::test::MainWindowFixture;
using zuv::test::WriteFile;

namespace {

bool PlayedOnce(const MainWindowFixture& fixture, const std::string& media)
{
    const auto runs = fixture.PlayerRuns();
    return runs.size() == 1 && std::count(runs[0].begin(), runs[0].end(), media) == 1;
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void firstArgumentIsTheMediaFileAndNothingStarts()
    {
        MainWindowFixture fixture(
            {QStringLiteral("/films/Egy film.avi"), QStringLiteral("/films/other.avi")});
        QCOMPARE(test::Find<THistoryCombo>(fixture.form.get(), "comboFile")->currentText(),
                 QStringLiteral("/films/Egy film.avi"));
        QTest::qWait(50);
        QVERIFY(!fixture.form->Playback()->Playing());
        QVERIFY(fixture.PlayerRuns().empty());
    }

    void startSwitchAnywherePlaysInAnyLetterCase_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("media");
        QTest::newRow("dash after")
            << QStringList{QStringLiteral("/films/a.avi"), QStringLiteral("-START")}
            << QStringLiteral("/films/a.avi");
        QTest::newRow("slash after")
            << QStringList{QStringLiteral("/films/a.avi"), QStringLiteral("/Start")}
            << QStringLiteral("/films/a.avi");
        // The first argument is the file, whatever it is.
        QTest::newRow("slash first")
            << QStringList{QStringLiteral("/start"), QStringLiteral("/films/a.avi")}
            << QStringLiteral("/start");
    }
    void startSwitchAnywherePlaysInAnyLetterCase()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, media);
        MainWindowFixture fixture(arguments);
        QCOMPARE(test::Find<THistoryCombo>(fixture.form.get(), "comboFile")->currentText(), media);
        QVERIFY(fixture.WaitForIdle());
        QVERIFY(PlayedOnce(fixture, media.toStdString()));
    }

    // Names the playlist file cannot keep, from the command line and from a drop: refused with
    // one box that says why; the fields stay as they were and nothing plays.
    void namesThePlaylistCannotKeepAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("bar") << QStringLiteral("/films/x.avi|/home/u/.bash_history");
        QTest::newRow("CR LF") << QStringLiteral("/films/x.avi\r\n/films/evil.avi|/etc/passwd");
        QTest::newRow("LF") << QStringLiteral("/films/x.avi\n/films/evil.avi");
        QTest::newRow("too long") << QStringLiteral("/films/") + QString(32767, QLatin1Char('a'));
    }
    void namesThePlaylistCannotKeepAreRefused()
    {
        QFETCH(QString, name);
        MainWindowFixture fixture({name, QStringLiteral("/start")});
        QCOMPARE(test::Find<THistoryCombo>(fixture.form.get(), "comboFile")->currentText(),
                 QString());
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        MessageBox::ClearShownBoxes();
        fixture.form->DropFiles({name}, QPoint(1, 1));
        QCOMPARE(test::Find<THistoryCombo>(fixture.form.get(), "comboFile")->currentText(),
                 QString());
        QCOMPARE(fixture.form->Playlist()->Count(), 0);
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        QVERIFY(MessageBox::ShownBoxes().front().text.contains(QStringLiteral("characters")) ||
                MessageBox::ShownBoxes().front().text.contains(QStringLiteral("cannot keep")));
        QTest::qWait(50);
        QVERIFY(fixture.PlayerRuns().empty());
    }

    void notAStartSwitch()
    {
        MainWindowFixture fixture(
            {QStringLiteral("/films/a.avi"), QStringLiteral("--start"), QStringLiteral("start")});
        QTest::qWait(50);
        QVERIFY(fixture.PlayerRuns().empty());
    }

    void automaticStartFromTheSettingsNeedsAnArgument()
    {
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        WriteFile(fixture.program.file("zuv.ini"),
                  "[Main]\r\nAutoStartCmdLine=1\r\nLastFile=/films/last.avi\r\n"
                  "LastSubFile=/films/last.srt\r\n");
        fixture.Start();
        QCOMPARE(test::Find<THistoryCombo>(fixture.form.get(), "comboFile")->currentText(),
                 QStringLiteral("/films/last.avi"));
        QTest::qWait(50);
        QVERIFY(fixture.PlayerRuns().empty());

        fixture.Start({QStringLiteral("/films/b.avi")});
        // A new media file comes without the old subtitle.
        QVERIFY(test::Find<THistoryCombo>(fixture.form.get(), "comboSub")->currentText().isEmpty());
        QVERIFY(fixture.WaitForIdle());
        QVERIFY(PlayedOnce(fixture, "/films/b.avi"));
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(std::count(runs[0].begin(), runs[0].end(), "/films/last.srt"), 0);
    }
};

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
