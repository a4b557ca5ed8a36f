#include "main_window_fixture.h"
#include "playback/qt/playlist_model.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "widgets/qt/history_combo.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>

using namespace zuv;
using zuv::test::MainWindowFixture;
using zuv::test::ScopedEnv;

namespace {

QList<QUrl> LocalFiles(std::initializer_list<const char*> paths)
{
    QList<QUrl> urls;
    for (const char* path : paths)
        urls << QUrl::fromLocalFile(QString::fromUtf8(path));
    return urls;
}

// Drags the URLs onto a widget at a point of its own and drops them there, as the desktop does:
// as URLs and as text, enter first, the drop only when the enter was accepted. True when the
// drop was taken.
bool DropOn(QWidget* target, const QPoint& point, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QStringList text;
    for (const QUrl& url : urls)
        text << url.toString();
    data.setText(text.join(QLatin1Char('\n')));
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// A point of the main window away from the playlist.
QPoint OutsideTheList(const TZUVMainForm& form)
{
    return test::Find<THistoryCombo>(&form, "comboFile")->geometry().center();
}

// The centre of a playlist row in the list view's viewport.
QPoint RowInViewport(const TZUVMainForm& form, int row)
{
    return test::Find<QTreeView>(&form, "lvPlaylist")
        ->visualRect(form.Playlist()->index(row, 0))
        .center();
}

std::string SubtitleOf(const TZUVMainForm& form, int row)
{
    return form.Playlist()->Items().Item(static_cast<std::size_t>(row)).subtitlePath;
}

std::string MediaOf(const TZUVMainForm& form, int row)
{
    return form.Playlist()->Items().Item(static_cast<std::size_t>(row)).mediaPath;
}

} // namespace

class DropTest : public QObject
{
    Q_OBJECT

private slots:
    void mediaThenSubtitleOutsideTheListPlaysTheListWithoutTheSubtitle()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        test::Find<QCheckBox>(form.SettingsForm(), "cbAutostartDragDrop")->setChecked(true);
        QVERIFY(!form.PlaylistShown());
        QVERIFY(DropOn(&form, OutsideTheList(form),
                       LocalFiles({"/films/film.avi", "/films/film.srt"})));
        QCOMPARE(test::Find<THistoryCombo>(&form, "comboFile")->currentText(),
                 QStringLiteral("/films/film.avi"));
        QCOMPARE(test::Find<THistoryCombo>(&form, "comboSub")->currentText(),
                 QStringLiteral("/films/film.srt"));
        QVERIFY(form.PlaylistShown());
        QCOMPARE(form.Playlist()->Count(), 1);
        QCOMPARE(MediaOf(form, 0), std::string("/films/film.avi"));
        QCOMPARE(SubtitleOf(form, 0), std::string());

        QVERIFY(fixture.WaitForIdle());
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), std::size_t(1));
        QVERIFY(std::count(runs[0].begin(), runs[0].end(), "/films/film.avi") == 1);
        QVERIFY(std::count(runs[0].begin(), runs[0].end(), "/films/film.srt") == 0);
        QVERIFY(std::count(runs[0].begin(), runs[0].end(), "-sub") == 0);
    }

    void subtitleThenMediaKeepsTheMediaField()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        comboFile->setEditText(QStringLiteral("/films/old.avi"));
        QVERIFY(DropOn(&form, OutsideTheList(form),
                       LocalFiles({"/films/film.srt", "/films/film.avi"})));
        QCOMPARE(test::Find<THistoryCombo>(&form, "comboSub")->currentText(),
                 QStringLiteral("/films/film.srt"));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/old.avi"));
        QVERIFY(form.PlaylistShown());
        QCOMPARE(form.Playlist()->Count(), 1);
        QCOMPARE(MediaOf(form, 0), std::string("/films/film.avi"));
        // Without the automatic start nothing plays.
        QTest::qWait(50);
        QVERIFY(!form.Playback()->Playing());
        QVERIFY(fixture.PlayerRuns().empty());
    }

    void subtitleOnAListItemReplacesItsSubtitleAndOnEmptyListSpaceDoesNothing()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        form.ShowPlaylist();
        form.Playlist()->AddItem("/films/one.avi", "/films/one.srt");
        form.Playlist()->AddItem("/films/two.avi", {});
        auto* comboSub = test::Find<THistoryCombo>(&form, "comboSub");
        comboSub->setEditText(QStringLiteral("/films/field.srt"));
        auto* lvPlaylist = test::Find<QTreeView>(&form, "lvPlaylist");
        const QPoint second = lvPlaylist->viewport()->mapTo(&form, RowInViewport(form, 1));
        QVERIFY(DropOn(&form, second, LocalFiles({"/films/new.srt"})));
        QCOMPARE(SubtitleOf(form, 0), std::string("/films/one.srt"));
        QCOMPARE(SubtitleOf(form, 1), std::string("/films/new.srt"));
        QCOMPARE(comboSub->currentText(), QStringLiteral("/films/field.srt"));

        const QPoint empty = lvPlaylist->geometry().bottomLeft() + QPoint(20, -10);
        QVERIFY(!lvPlaylist->indexAt(lvPlaylist->viewport()->mapFrom(&form, empty)).isValid());
        QVERIFY(DropOn(&form, empty, LocalFiles({"/films/other.srt"})));
        QCOMPARE(SubtitleOf(form, 0), std::string("/films/one.srt"));
        QCOMPARE(SubtitleOf(form, 1), std::string("/films/new.srt"));
        QCOMPARE(comboSub->currentText(), QStringLiteral("/films/field.srt"));
        QCOMPARE(form.Playlist()->Count(), 2);
    }

    void dropsOnTheListViewReachTheWindowAtTheirPoint()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        test::Find<QCheckBox>(form.SettingsForm(), "cbAutostartDragDrop")->setChecked(true);
        form.ShowPlaylist();
        form.Playlist()->AddItem("/films/one.avi", {});
        form.Playlist()->AddItem("/films/two.avi", {});
        form.Playlist()->AddItem("/films/three.avi", {});
        QWidget* viewport = test::Find<QTreeView>(&form, "lvPlaylist")->viewport();

        QVERIFY(DropOn(viewport, RowInViewport(form, 2), LocalFiles({"/films/three.srt"})));
        QCOMPARE(SubtitleOf(form, 2), std::string("/films/three.srt"));
        QCOMPARE(SubtitleOf(form, 1), std::string());

        // Media dropped on the list joins it and starts nothing, the switch notwithstanding.
        QVERIFY(DropOn(viewport, RowInViewport(form, 0), LocalFiles({"/films/four.avi"})));
        QCOMPARE(form.Playlist()->Count(), 4);
        QCOMPARE(MediaOf(form, 3), std::string("/films/four.avi"));
        QVERIFY(test::Find<THistoryCombo>(&form, "comboFile")->currentText().isEmpty());
        QTest::qWait(50);
        QVERIFY(!form.Playback()->Playing());
    }

    void dropWhilePlayingOnlyFillsTheFields()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        test::Find<QCheckBox>(form.SettingsForm(), "cbAutostartDragDrop")->setChecked(true);
        ScopedEnv sleep("FAKE_PLAYER_SLEEP", "30");
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        comboFile->setEditText(QStringLiteral("/films/playing.avi"));
        auto* ActionStart = test::Find<QAction>(&form, "ActionStart");
        ActionStart->trigger();
        QVERIFY(form.Playback()->Playing());
        QTRY_COMPARE(fixture.PlayerRuns().size(), std::size_t(1));

        QVERIFY(DropOn(&form, OutsideTheList(form), LocalFiles({"/films/next.avi"})));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/next.avi"));
        // The disabled Start is not executed: no second start, no error, Start stays disabled.
        QVERIFY(form.Playback()->Playing());
        QVERIFY(!ActionStart->isEnabled());
        QVERIFY(MessageBox::ShownBoxes().empty());
        test::Find<QAction>(&form, "ActionStop")->trigger();
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t(1));
    }

    void filesDroppedOnTheFieldsReachTheWindow()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        auto* comboParams = test::Find<THistoryCombo>(&form, "comboParams");
        comboParams->setEditText(QStringLiteral("-ao null"));
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        auto* comboSub = test::Find<THistoryCombo>(&form, "comboSub");
        const struct
        {
            THistoryCombo* field;
            const char* file;
        } drops[] = {
            {comboParams, "/films/film.srt"},
            {comboSub, "/films/film.avi"},
            {comboFile, "/films/other.srt"},
        };
        for (const auto& drop : drops) {
            QLineEdit* edit = drop.field->lineEdit();
            QVERIFY(DropOn(edit, edit->rect().center(), LocalFiles({drop.file})));
        }
        QCOMPARE(comboParams->currentText(), QStringLiteral("-ao null"));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/film.avi"));
        QCOMPARE(comboSub->currentText(), QStringLiteral("/films/other.srt"));
    }

    void extensionsDecideBetweenSubtitleAndMedia()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        QVERIFY(DropOn(&form, OutsideTheList(form), LocalFiles({"/films/movie.s"})));
        auto* comboSub = test::Find<THistoryCombo>(&form, "comboSub");
        QCOMPARE(comboSub->currentText(), QStringLiteral("/films/movie.s"));
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        QVERIFY(comboFile->currentText().isEmpty());
        QVERIFY(DropOn(&form, OutsideTheList(form), LocalFiles({"/films/MOVIE.Srt"})));
        QCOMPARE(comboSub->currentText(), QStringLiteral("/films/MOVIE.Srt"));

        // The dot of a folder is no extension of the file.
        QVERIFY(DropOn(&form, OutsideTheList(form), LocalFiles({"/films/subs.srt/clip"})));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/subs.srt/clip"));
        QVERIFY(comboSub->currentText().isEmpty());
        QVERIFY(!form.PlaylistShown());
    }

    void onlyLocalFilesAreTakenAndWhole()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        comboFile->setEditText(QStringLiteral("/films/kept.avi"));
        QVERIFY(!DropOn(&form, OutsideTheList(form),
                        {QUrl(QStringLiteral("https://example.org/film.avi"))}));
        QVERIFY(!DropOn(&form, OutsideTheList(form),
                        {QUrl::fromLocalFile(QStringLiteral("/films/a.avi")),
                         QUrl(QStringLiteral("https://example.org/film.avi"))}));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/kept.avi"));

        const QString longName =
            QStringLiteral("/films/") + QString(300, QLatin1Char('x')) + QStringLiteral(" ő.avi");
        QVERIFY(DropOn(&form, OutsideTheList(form), {QUrl::fromLocalFile(longName)}));
        QCOMPARE(comboFile->currentText(), longName);

        // Bytes that are no UTF-8 stay as they are.
        QVERIFY(DropOn(&form, OutsideTheList(form),
                       {QUrl::fromEncoded("file:///films/odd%FF%FE.avi"),
                        QUrl::fromEncoded("file:///films/%C3%A9%E9.srt")}));
        QCOMPARE(form.CurrentOptions().LastFile, std::string("/films/odd\xFF\xFE.avi"));
        QCOMPARE(form.CurrentOptions().LastSubFile, std::string("/films/\xC3\xA9\xE9.srt"));
        // The well-formed part as its characters, the stray byte as one character of its own.
        QCOMPARE(test::Find<THistoryCombo>(&form, "comboSub")->currentText(),
                 QStringLiteral("/films/\u00E9") + QChar(0xDCE9) + QStringLiteral(".srt"));
    }
};

QTEST_MAIN(DropTest)
#include "drop_test.moc"
