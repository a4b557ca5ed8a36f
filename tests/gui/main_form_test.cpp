#include "equalizer/qt/eq_form.h"
#include "fake_opener.h"
#include "main_window_fixture.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "settings/font_list.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "widgets/qt/history_combo.h"
#include "widgets/qt/markup_label.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTreeView>
#include <QUrl>

using namespace zuv;
using zuv::test::MainWindowFixture;
using zuv::test::ScopedEnv;

namespace {

// A language file in the fixture's program folder.
void WriteLanguage(const MainWindowFixture& fixture, const std::string& baseName,
                   std::string_view text)
{
    test::WriteFile(fixture.program.path() + "lang/" + baseName + ".lng", text);
}

std::vector<std::string> MediaPaths(const TZUVMainForm& form)
{
    std::vector<std::string> paths;
    for (const PlaylistItem& item : form.Playlist()->Items().Items())
        paths.push_back(item.mediaPath);
    return paths;
}

// A double click as the system delivers it: press, release, double click, release.
void DoubleClick(QWidget* widget, const QPoint& point)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, point, widget->mapToGlobal(point),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &doubleClick);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
}

void ShowAndActivate(TZUVMainForm& form)
{
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

// Counts the hide events of a window: changing a shown window's flags hides and shows it again.
class HideCounter : public QObject
{
public:
    explicit HideCounter(QWidget* window) { window->installEventFilter(this); }
    int hides = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            ++hides;
        return false;
    }
};

} // namespace

class MainFormTest : public QObject
{
    Q_OBJECT

private slots:
    void captionCarriesBothVersions()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        // The player's answer from start-up arrives as a queued call; let it land first.
        QCoreApplication::sendPostedEvents();
        // The program's version comes first, the player's when it has answered.
        form.SetVersions(QStringLiteral("1.2.3 b"), QString());
        form.SetVersions(QStringLiteral("1.2.3 b"), QStringLiteral("1.5"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Zuvora 1.2.3 b / MPlayer 1.5"));
        const QStringList info =
            test::Find<TMarkupLabel>(form.SettingsForm(), "InfoLabel")->HTMLText();
        QCOMPARE(info.first(), QStringLiteral("<b><u>Zuvora</u></b> v1.2.3 b<br>"));
        QVERIFY(info.contains(QStringLiteral("<b><u>MPlayer:</u></b> 1.5<br>")));
        form.TranslateMainForm();
        QCOMPARE(form.windowTitle(), QStringLiteral("Zuvora 1.2.3 b / MPlayer 1.5"));
        // The player that answered names itself.
        form.SetVersions(QStringLiteral("1.2.3 b"), QStringLiteral("0.35.1"),
                         QStringLiteral("mpv"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Zuvora 1.2.3 b / mpv 0.35.1"));
        QVERIFY(test::Find<TMarkupLabel>(form.SettingsForm(), "InfoLabel")
                    ->HTMLText()
                    .contains(QStringLiteral("<b><u>mpv:</u></b> 0.35.1<br>")));
        form.SetVersions(QStringLiteral("1.2.3 b"), QStringLiteral("1.5"));

        WriteLanguage(fixture, "xx", "[Main]\n100=%m under %v, %v\n");
        QVERIFY(Langunit().LoadLanguage("xx"));
        form.TranslateMainForm();
        QCOMPARE(form.windowTitle(), QStringLiteral("1.5 under 1.2.3 b, 1.2.3 b"));
        // A player that did not answer leaves its version empty.
        form.SetVersions(QStringLiteral("1.2.3"), QString());
        QCOMPARE(form.windowTitle(), QStringLiteral(" under 1.2.3, 1.2.3"));
    }

    void playerIsAskedOnceTheWindowIsPainted()
    {
        test::TempDir logs;
        const std::string asked = logs.file("asked");
        ScopedEnv askedLog("FAKE_PLAYER_ASKED", asked);
        MainWindowFixture fixture({}, true, false);
        TZUVMainForm& form = *fixture.form;
        QTest::qWait(50);
        QVERIFY(!test::ReadFile(asked)); // not while the program starts
        QVERIFY(form.Playback()->PlayerInfo().Deferred());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(form.windowTitle().endsWith(QStringLiteral("MPlayer FAKE-1.0")));
        QCOMPARE(test::ReadFile(asked).value_or(""), std::string("asked\n"));
    }

    void startBeforeThePaintAsksThePlayerOnce()
    {
        test::TempDir logs;
        const std::string asked = logs.file("asked");
        ScopedEnv askedLog("FAKE_PLAYER_ASKED", asked);
        MainWindowFixture fixture({}, true, false);
        TZUVMainForm& form = *fixture.form;
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        test::Find<QAction>(&form, "ActionStart")->trigger();
        QCOMPARE(test::ReadFile(asked).value_or(""), std::string("asked\n"));
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t(1));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(50);
        QCOMPARE(test::ReadFile(asked).value_or(""), std::string("asked\n"));
    }

    void languageFileTranslatesTheWindow()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        WriteLanguage(fixture, "xx",
                      "[Main]\n101=Media file\n102=Browse\n200=\n300=&Play\n301=S&top\n"
                      "400=Readme\n"
                      "[OpenDialogs]\n100=Open media\n200=Open subtitles\n201=Subs|*.srt\n"
                      "[Playlist]\n100=&List\n102=\n103=Up\n200=Film\n201=Sub\n300=Clear all\n"
                      "302=Save all\n400=Load a list\n401=Save the list\n"
                      "[Settings]\n200=Full screen\n206=Own volume\n208=On top\n"
                      "[Errors]\n103=Error\n");
        QVERIFY(Langunit().LoadLanguage("xx"));
        form.TranslateMainForm();

        QCOMPARE(test::Find<QLabel>(&form, "Label1")->text(), QStringLiteral("Media file"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnSelFile")->text(), QStringLiteral("Browse"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnStart")->text(), QStringLiteral("&Play"));
        QCOMPARE(test::Find<QAction>(&form, "ActionStop")->text(), QStringLiteral("S&top"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnHelp")->text(), QStringLiteral("Readme"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnPlaylist")->text(), QStringLiteral("&List"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnPlaylistUp")->text(), QStringLiteral("Up"));
        QCOMPARE(test::Find<QAction>(&form, "ActionPlClear")->text(), QStringLiteral("Clear all"));
        auto* ActionPlSave = test::Find<QAction>(&form, "ActionPlSave");
        QCOMPARE(ActionPlSave->text(), QStringLiteral("Save all"));
        // The list's column captions, before any view of the list exists.
        QCOMPARE(form.Playlist()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Film"));
        QCOMPARE(form.Playlist()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Sub"));
        QCOMPARE(test::Find<QCheckBox>(&form, "cbFullscreen")->text(),
                 QStringLiteral("Full screen"));
        QCOMPARE(test::Find<QCheckBox>(&form, "cbCustomVolume")->text(),
                 QStringLiteral("Own volume"));
        QCOMPARE(test::Find<QCheckBox>(&form, "cbOnTop")->text(), QStringLiteral("On top"));
        // Empty or missing texts keep the built-in ones.
        QCOMPARE(test::Find<QLabel>(&form, "Label3")->text(),
                 QStringLiteral("MPlayer extra paraméterek"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnDelPlaylist")->text(), QStringLiteral("-"));
        QCOMPARE(test::Find<QLabel>(&form, "Label2")->text(), QStringLiteral("Felirat"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnSelSub")->text(), QStringLiteral("Tallóz"));
        auto* ActionPlLoad = test::Find<QAction>(&form, "ActionPlLoad");
        QCOMPARE(ActionPlLoad->text(), QStringLiteral("Lista &Betöltése"));
        QCOMPARE(test::Find<QCheckBox>(&form, "cbLoop")->text(), QStringLiteral("Ismétlés"));

        // The dialogs, as they are shown.
        FileDialog::SetNextAnswer({});
        test::Find<QAction>(&form, "ActionBrowseFile")->trigger();
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("Open media"));
        FileDialog::SetNextAnswer({});
        test::Find<QAction>(&form, "ActionBrowseSub")->trigger();
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("Open subtitles"));
        QCOMPARE(FileDialog::LastShown()->filter, QStringLiteral("Subs|*.srt"));
        FileDialog::SetNextAnswer({});
        ActionPlLoad->trigger();
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("Load a list"));
        FileDialog::SetNextAnswer({});
        ActionPlSave->trigger();
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("Save the list"));

        MessageBox::ClearShownBoxes();
        form.ShowError(QStringLiteral("went wrong"));
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
        QCOMPARE(MessageBox::ShownBoxes().front().caption, QStringLiteral("Zuv - Error"));
        QCOMPARE(MessageBox::ShownBoxes().front().icon, QMessageBox::Critical);
        QCOMPARE(MessageBox::ShownBoxes().front().text, QStringLiteral("went wrong"));
    }

    void mediaBrowserFilterAndChoices()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        FileDialog::SetNextAnswer({});
        auto* ActionBrowseFile = test::Find<QAction>(&form, "ActionBrowseFile");
        ActionBrowseFile->trigger();
        QCOMPARE(FileDialog::LastShown()->filter,
                 QStringLiteral("Film fileok|*.avi;*.mpg;*.mpeg;*.mpe;*.wmv;*.asf;*.mov;*.qt;*.rm;"
                                "*.rmvb|Minden file|*.*"));
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("File megnyitása"));

        WriteLanguage(fixture, "xx", "[OpenDialogs]\n101=Movies|*.*\n");
        QVERIFY(Langunit().LoadLanguage("xx"));
        FileDialog::SetNextAnswer({});
        ActionBrowseFile->trigger();
        QCOMPARE(FileDialog::LastShown()->filter, QStringLiteral("Movies|*.*"));

        // Three files: the first to the media field, all three to the hidden playlist.
        QVERIFY(!form.PlaylistShown());
        auto* comboSub = test::Find<THistoryCombo>(&form, "comboSub");
        comboSub->setEditText(QStringLiteral("/keep.srt"));
        FileDialog::SetNextAnswer(
            {QStringLiteral("/f/1.avi"), QStringLiteral("/f/2 b.avi"), QStringLiteral("/f/3.avi")});
        ActionBrowseFile->trigger();
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        QCOMPARE(comboFile->currentText(), QStringLiteral("/f/1.avi"));
        QCOMPARE(comboSub->currentText(), QStringLiteral("/keep.srt"));
        QCOMPARE(MediaPaths(form),
                 (std::vector<std::string>{"/f/1.avi", "/f/2 b.avi", "/f/3.avi"}));
        QVERIFY(form.Playlist()->Items().Item(1).subtitlePath.empty());
        QVERIFY(!form.PlaylistShown());

        // One file leaves the playlist alone.
        FileDialog::SetNextAnswer({QStringLiteral("/g/one.avi")});
        ActionBrowseFile->trigger();
        QCOMPARE(comboFile->currentText(), QStringLiteral("/g/one.avi"));
        QCOMPARE(form.Playlist()->Count(), 3);

        // Cancel changes nothing.
        FileDialog::SetNextAnswer({});
        ActionBrowseFile->trigger();
        QCOMPARE(comboFile->currentText(), QStringLiteral("/g/one.avi"));
    }

    void subtitleBrowserFolderAndChoices()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        auto* ActionBrowseSub = test::Find<QAction>(&form, "ActionBrowseSub");
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        comboFile->setEditText(QStringLiteral("/before/film.avi"));
        FileDialog::SetNextAnswer({});
        ActionBrowseSub->trigger();
        QCOMPARE(FileDialog::LastShown()->initialFolder, QStringLiteral("/before/"));
        // An empty media field keeps the folder of the last time.
        comboFile->setEditText(QString());
        FileDialog::SetNextAnswer({});
        ActionBrowseSub->trigger();
        QCOMPARE(FileDialog::LastShown()->initialFolder, QStringLiteral("/before/"));

        comboFile->setEditText(QStringLiteral("/films/one night/film.avi"));
        FileDialog::SetNextAnswer(
            {QStringLiteral("/films/one night/a.srt"), QStringLiteral("/films/one night/b.srt")});
        ActionBrowseSub->trigger();
        QCOMPARE(FileDialog::LastShown()->initialFolder, QStringLiteral("/films/one night/"));
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("Felirat file megnyitása"));
        auto* comboSub = test::Find<THistoryCombo>(&form, "comboSub");
        QCOMPARE(comboSub->currentText(),
                 QStringLiteral("/films/one night/a.srt,/films/one night/b.srt"));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/one night/film.avi"));

        FileDialog::SetNextAnswer({QStringLiteral("/s/only.sub")});
        ActionBrowseSub->trigger();
        QCOMPARE(comboSub->currentText(), QStringLiteral("/s/only.sub"));
    }

    void readmeFollowsTheLanguage()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        test::FakeOpener opened;
        int asked = 0;
        auto* btnHelp = test::Find<QPushButton>(&form, "btnHelp");
        // Each opener ends before the next click, so the order is the clicks'.
        const auto help = [&] {
            btnHelp->click();
            ++asked;
            QTRY_COMPARE(opened.Opened().size(), asked);
        };
        const std::string folder = fixture.program.path();
        test::WriteFile(folder + "zuv_hun.txt", "magyar");
        test::WriteFile(folder + "zuv_enu.txt", "english");
        test::WriteFile(folder + "zuv_deu.txt", "deutsch");

        Langunit().UnloadLanguage(); // the built-in language
        help();
        QVERIFY(Langunit().LoadLanguage("enu"));
        help();
        QVERIFY(Langunit().LoadLanguage("deu"));
        help();
        QVERIFY(Langunit().LoadLanguage("fra")); // no readme of its own
        help();
        std::remove((folder + "zuv_hun.txt").c_str());
        Langunit().UnloadLanguage();
        help();
        QVERIFY(MessageBox::ShownBoxes().empty());

        const QString base = QString::fromStdString(folder);
        QCOMPARE(
            opened.Opened(),
            QStringList({base + QStringLiteral("zuv_hun.txt"), base + QStringLiteral("zuv_enu.txt"),
                         base + QStringLiteral("zuv_deu.txt"), base + QStringLiteral("zuv_enu.txt"),
                         base + QStringLiteral("zuv_enu.txt")}));

        // Without a program for the file the desktop's reason reaches the user.
        test::FakeOpener failing(true);
        btnHelp->click();
        QTRY_COMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        QVERIFY(MessageBox::ShownBoxes().front().text.contains(
            QStringLiteral("x-terminal-emulator: not found")));
        MessageBox::ClearShownBoxes();
    }

    void windowsOnTop()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        TSettingsForm* settings = form.SettingsForm();
        // Off in the configuration: start-up changed nothing.
        QVERIFY(!form.WindowsOnTop());
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!settings->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!settings->testAttribute(Qt::WA_ShowWithoutActivating));

        ShowAndActivate(form);
        test::Find<QAction>(&form, "ActionSettings")->trigger();
        QVERIFY(settings->isVisible());
        HideCounter mainHides(&form);
        HideCounter settingsHides(settings);
        form.SetWindowsOnTop(false);
        QCOMPARE(mainHides.hides + settingsHides.hides, 0);

        auto* cbOnTop = test::Find<QCheckBox>(&form, "cbOnTop");
        cbOnTop->setChecked(true);
        QVERIFY(form.WindowsOnTop());
        QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(settings->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // Both stay visible, and the settings dialog still activates when it is shown later.
        QVERIFY(form.isVisible());
        QVERIFY(settings->isVisible());
        QVERIFY(!settings->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(!form.ResultForm()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!form.EQForm()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        mainHides.hides = settingsHides.hides = 0;
        form.SetWindowsOnTop(true);
        QCOMPARE(mainHides.hides + settingsHides.hides, 0);

        cbOnTop->setChecked(false);
        QVERIFY(!form.WindowsOnTop());
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!settings->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(form.isVisible());
    }

    void volumeAndExtraStereoControls()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        auto* tbVolume = test::Find<QSlider>(&form, "tbVolume");
        QVERIFY(!tbVolume->isEnabled());
        auto* lVolume = test::Find<QLabel>(&form, "lVolume");
        QVERIFY(!lVolume->isEnabled());
        auto* cbCustomVolume = test::Find<QCheckBox>(&form, "cbCustomVolume");
        cbCustomVolume->setChecked(true);
        QVERIFY(tbVolume->isEnabled());
        QVERIFY(lVolume->isEnabled());
        tbVolume->setValue(200);
        QCOMPARE(lVolume->text(), QStringLiteral("200"));
        cbCustomVolume->setChecked(false);
        QVERIFY(!tbVolume->isEnabled());
        QVERIFY(!lVolume->isEnabled());
        QCOMPARE(tbVolume->value(), 200);
        QCOMPARE(lVolume->text(), QStringLiteral("200"));
        Options gathered;
        form.GatherOptions(gathered);
        QVERIFY(!gathered.CustomVolume);
        QCOMPARE(gathered.Volume, 200);

        Options stored = gathered;
        stored.Volume = 0;
        form.ApplyOptions(stored);
        QCOMPARE(lVolume->text(), QStringLiteral("0"));
        stored.Volume = 999; // out of range in a hand-edited file
        form.ApplyOptions(stored);
        QCOMPARE(tbVolume->value(), 255);
        QCOMPARE(lVolume->text(), QStringLiteral("255"));

        auto* tbExtraStereo = test::Find<QSlider>(&form, "tbExtraStereo");
        QVERIFY(!tbExtraStereo->isEnabled());
        auto* cbExtraStereo = test::Find<QCheckBox>(&form, "cbExtraStereo");
        cbExtraStereo->setChecked(true);
        QVERIFY(tbExtraStereo->isEnabled());
        cbExtraStereo->setChecked(false);
        QVERIFY(!tbExtraStereo->isEnabled());
        QCOMPARE(tbExtraStereo->value(), 25);
    }

    void fontListIsReadWhenTheFontPageFirstShows()
    {
        std::vector<std::string> installed;
        if (!ReadInstalledFonts(installed, true) || installed.empty())
            QSKIP("no TrueType fonts installed");
        const QString face = QString::fromStdString(installed.back()).toUpper();

        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        TSettingsForm* settings = form.SettingsForm();
        QCOMPARE(test::Find<QComboBox>(settings, "comboFont")->count(),
                 1); // not read on the way to the first window
        Options options = form.CurrentOptions();
        options.FontFace = face.toStdString();
        settings->ApplyOptions(options);

        test::Find<QAction>(&form, "ActionSettings")->trigger();
        test::Find<QTabWidget>(settings, "PageControl1")->setCurrentIndex(2);
        QTRY_COMPARE(test::Find<QComboBox>(settings, "comboFont")->count(),
                     static_cast<int>(installed.size()) + 1);
        QCOMPARE(test::Find<QComboBox>(settings, "comboFont")->itemText(0), QString());
        // The stored face chose its entry, whatever its letter case, and is stored as listed.
        QCOMPARE(test::Find<QComboBox>(settings, "comboFont")->currentText(),
                 QString::fromStdString(installed.back()));
        Options gathered;
        settings->GatherOptions(gathered);
        QCOMPARE(gathered.FontFace, installed.back());

        // Once the list is there, a face that is not installed chooses nothing.
        options.FontFace = "No Such Font Face";
        settings->ApplyOptions(options);
        QCOMPARE(test::Find<QComboBox>(settings, "comboFont")->currentIndex(), -1);
        settings->GatherOptions(gathered);
        QCOMPARE(gathered.FontFace, std::string());
        options.FontFace.clear();
        settings->ApplyOptions(options);
        QCOMPARE(test::Find<QComboBox>(settings, "comboFont")->currentIndex(), 0);
    }

    void playlistPanelShowsAndHides()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        QVERIFY(!form.PlaylistShown()); // hidden at the first start, and its list not yet built
        QVERIFY(!form.findChild<QTreeView*>(QStringLiteral("lvPlaylist")));
        const QSize before = form.size();
        auto* btnPlaylist = test::Find<QPushButton>(&form, "btnPlaylist");
        btnPlaylist->click();
        QVERIFY(form.PlaylistShown());
        // Hidden: the window ends just above the list; shown: 8 pixels below it. The width
        // (at least the drawn 497) stays.
        auto* lvPlaylist = test::Find<QTreeView>(&form, "lvPlaylist");
        const QSize hidden(form.width(), lvPlaylist->y());
        const QSize shown(form.width(), lvPlaylist->geometry().bottom() + 1 + 8);
        QVERIFY(form.width() >= 497);
        QCOMPARE(before, hidden);
        QCOMPARE(form.size(), shown);
        auto* btnPlaylistDown = test::Find<QPushButton>(&form, "btnPlaylistDown");
        // Built late, the list still comes between its buttons and Stop for the keyboard.
        QCOMPARE(btnPlaylistDown->nextInFocusChain(), lvPlaylist);
        QWidget* next = lvPlaylist->nextInFocusChain();
        while (lvPlaylist->isAncestorOf(next)) // its viewport and scroll bars
            next = next->nextInFocusChain();
        QCOMPARE(next, test::Find<QPushButton>(&form, "btnStop"));
        auto* btnPlaylistUp = test::Find<QPushButton>(&form, "btnPlaylistUp");
        auto* btnDelPlaylist = test::Find<QPushButton>(&form, "btnDelPlaylist");
        for (QWidget* widget : std::initializer_list<QWidget*>{lvPlaylist, btnDelPlaylist,
                                                               btnPlaylistUp, btnPlaylistDown})
            QVERIFY(!widget->isHidden());
        btnPlaylist->click();
        QVERIFY(!form.PlaylistShown());
        QCOMPARE(form.size(), hidden);
        for (QWidget* widget : std::initializer_list<QWidget*>{lvPlaylist, btnDelPlaylist,
                                                               btnPlaylistUp, btnPlaylistDown})
            QVERIFY(widget->isHidden());
        QVERIFY(!btnPlaylist->isHidden());
        auto* btnAddPlaylist = test::Find<QPushButton>(&form, "btnAddPlaylist");
        QVERIFY(!btnAddPlaylist->isHidden());
        QVERIFY(!test::Find<QPushButton>(&form, "btnStart")->isHidden());

        // Add with an empty media field does not even show the list.
        btnAddPlaylist->click();
        QVERIFY(!form.PlaylistShown());
        QCOMPARE(form.Playlist()->Count(), 0);
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        test::Find<THistoryCombo>(&form, "comboSub")->setEditText(QStringLiteral("/f/a.srt"));
        btnAddPlaylist->click();
        QVERIFY(form.PlaylistShown());
        QCOMPARE(form.size(), shown);
        QCOMPARE(form.Playlist()->Count(), 1);
        QCOMPARE(form.Playlist()->Items().Item(0).subtitlePath, std::string("/f/a.srt"));
    }

    void playlistEditing()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        form.ShowPlaylist();
        for (const char* name : {"/f/1.avi", "/f/2.avi", "/f/3.avi", "/f/4.avi"})
            form.Playlist()->AddItem(name, {});
        form.Playlist()->SetItemSubtitle(1, "/s/2.srt");

        form.SelectPlaylistItem(0);
        test::Find<QAction>(&form, "ActionPlUp")->trigger();
        QCOMPARE(MediaPaths(form),
                 (std::vector<std::string>{"/f/1.avi", "/f/2.avi", "/f/3.avi", "/f/4.avi"}));
        QCOMPARE(form.SelectedPlaylistItem(), 0);
        form.SelectPlaylistItem(3);
        auto* btnPlaylistDown = test::Find<QPushButton>(&form, "btnPlaylistDown");
        btnPlaylistDown->click();
        QCOMPARE(MediaPaths(form),
                 (std::vector<std::string>{"/f/1.avi", "/f/2.avi", "/f/3.avi", "/f/4.avi"}));
        QCOMPARE(form.SelectedPlaylistItem(), 3);
        form.SelectPlaylistItem(1);
        btnPlaylistDown->click();
        QCOMPARE(MediaPaths(form),
                 (std::vector<std::string>{"/f/1.avi", "/f/3.avi", "/f/2.avi", "/f/4.avi"}));
        QCOMPARE(form.SelectedPlaylistItem(), 2);
        QCOMPARE(form.Playlist()->Items().Item(2).subtitlePath, std::string("/s/2.srt"));
        test::Find<QPushButton>(&form, "btnPlaylistUp")->click();
        QCOMPARE(form.SelectedPlaylistItem(), 1);
        QCOMPARE(form.Playlist()->Items().Item(1).subtitlePath, std::string("/s/2.srt"));

        // The Delete key and the "-" button delete the selected item and select nothing.
        form.SelectPlaylistItem(2);
        auto* lvPlaylist = test::Find<QTreeView>(&form, "lvPlaylist");
        QTest::keyClick(lvPlaylist, Qt::Key_Delete);
        QCOMPARE(MediaPaths(form), (std::vector<std::string>{"/f/1.avi", "/f/2.avi", "/f/4.avi"}));
        QCOMPARE(form.SelectedPlaylistItem(), -1);
        auto* btnDelPlaylist = test::Find<QPushButton>(&form, "btnDelPlaylist");
        btnDelPlaylist->click(); // nothing selected
        QCOMPARE(form.Playlist()->Count(), 3);
        form.SelectPlaylistItem(0);
        btnDelPlaylist->click();
        QCOMPARE(MediaPaths(form), (std::vector<std::string>{"/f/2.avi", "/f/4.avi"}));
        QCOMPARE(form.SelectedPlaylistItem(), -1);

        // The hint: the media path and, with a subtitle, the subtitle path on a second line.
        const QAbstractItemModel* model = lvPlaylist->model();
        QCOMPARE(model->data(model->index(0, 0), Qt::ToolTipRole).toString(),
                 QStringLiteral("/f/2.avi\n/s/2.srt"));
        QCOMPARE(model->data(model->index(1, 1), Qt::ToolTipRole).toString(),
                 QStringLiteral("/f/4.avi"));
    }

    void doubleClickCopiesThePaths()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        form.ShowPlaylist();
        form.Playlist()->AddItem("/f/1.avi", {});
        form.Playlist()->AddItem("/f/2.avi", "/s/2.srt");
        ShowAndActivate(form);
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        comboFile->setEditText(QStringLiteral("/other.avi"));
        auto* comboSub = test::Find<THistoryCombo>(&form, "comboSub");
        comboSub->setEditText(QStringLiteral("/other.srt"));
        auto* lvPlaylist = test::Find<QTreeView>(&form, "lvPlaylist");
        const QRect second = lvPlaylist->visualRect(form.Playlist()->index(1, 0));
        DoubleClick(lvPlaylist->viewport(), second.center());
        QCOMPARE(comboFile->currentText(), QStringLiteral("/f/2.avi"));
        QCOMPARE(comboSub->currentText(), QStringLiteral("/s/2.srt"));
        const QRect first = lvPlaylist->visualRect(form.Playlist()->index(0, 0));
        DoubleClick(lvPlaylist->viewport(), first.center());
        QCOMPARE(comboFile->currentText(), QStringLiteral("/f/1.avi"));
        QCOMPARE(comboSub->currentText(), QString());
        QVERIFY(fixture.PlayerRuns().empty()); // nothing is played
    }

    void popupMenuLoadAndSave()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        form.ShowPlaylist();
        auto* pmPlaylist = test::Find<QMenu>(&form, "pmPlaylist");
        const QList<QAction*> entries = pmPlaylist->actions();
        QCOMPARE(entries.size(), 4);
        auto* ActionPlClear = test::Find<QAction>(&form, "ActionPlClear");
        QCOMPARE(entries[0], ActionPlClear);
        QVERIFY(entries[1]->isSeparator());
        auto* ActionPlLoad = test::Find<QAction>(&form, "ActionPlLoad");
        QCOMPARE(entries[2], ActionPlLoad);
        auto* ActionPlSave = test::Find<QAction>(&form, "ActionPlSave");
        QCOMPARE(entries[3], ActionPlSave);

        const std::string listFile = fixture.temp.file("list.txt");
        test::WriteFile(listFile, "/f/1.avi|/s/1.srt\r\n/f/2.avi|\n");
        form.Playlist()->AddItem("/f/0.avi", {});
        FileDialog::SetNextAnswer({QString::fromStdString(listFile)});
        ActionPlLoad->trigger();
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("Lista betöltése"));
        FileDialog::SetNextAnswer({QString::fromStdString(listFile)});
        ActionPlLoad->trigger();
        QCOMPARE(MediaPaths(form), (std::vector<std::string>{"/f/0.avi", "/f/1.avi", "/f/2.avi",
                                                             "/f/1.avi", "/f/2.avi"}));

        const std::string saved = fixture.temp.file("saved.txt");
        FileDialog::SetNextAnswer({QString::fromStdString(saved)});
        ActionPlSave->trigger();
        QCOMPARE(FileDialog::LastShown()->title, QStringLiteral("Lista mentése"));
        QCOMPARE(FileDialog::LastShown()->defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(test::ReadFile(saved).value_or(""),
                 std::string("/f/0.avi|\r\n/f/1.avi|/s/1.srt\r\n/f/2.avi|\r\n/f/1.avi|/s/1.srt\r\n"
                             "/f/2.avi|\r\n"));

        // A file that cannot be read is reported and the list stays as it was.
        MessageBox::ClearShownBoxes();
        FileDialog::SetNextAnswer({QString::fromStdString(fixture.temp.file("missing.txt"))});
        ActionPlLoad->trigger();
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(1));
        QCOMPARE(MessageBox::ShownBoxes().front().icon, QMessageBox::Critical);
        QVERIFY(MessageBox::ShownBoxes().front().text.contains(QStringLiteral("missing.txt")));
        QCOMPARE(form.Playlist()->Count(), 5);
        // So is a file that cannot be written; the old file stays.
        FileDialog::SetNextAnswer({QString::fromStdString(listFile + "/saved.txt")});
        ActionPlSave->trigger();
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t(2));

        ActionPlClear->trigger();
        QCOMPARE(form.Playlist()->Count(), 0);

        // The list's context menu opens the pop-up menu.
        form.ShowPlaylist();
        ShowAndActivate(form);
        emit test::Find<QTreeView>(&form, "lvPlaylist")->customContextMenuRequested(QPoint(10, 10));
        QTRY_VERIFY(pmPlaylist->isVisible());
        pmPlaylist->close();
    }

    void enterInTheMediaFieldStarts()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        ShowAndActivate(form);
        auto* comboFile = test::Find<THistoryCombo>(&form, "comboFile");
        comboFile->setFocus();
        comboFile->setEditText(QStringLiteral("/f/typed.avi"));
        QTest::keyClick(comboFile->lineEdit(), Qt::Key_Return);
        QVERIFY(form.Playback()->Playing());
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t(1));
        QCOMPARE(fixture.PlayerRuns().front().front(), std::string("/f/typed.avi"));

        // The same through the focused box itself, and with Enter on the keypad.
        comboFile->setFocus();
        QTest::keyClick(comboFile, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(form.Playback()->Playing());
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t(2));

        // Typing completes from the history; Enter plays the entry as stored, and a text that
        // is an entry itself is not completed further (the rule of case-blind file names).
        comboFile->SetCompletion(CompletionRuleFor(true));
        comboFile->addItem(QStringLiteral("/films/Alpha.avi"));
        comboFile->addItem(QStringLiteral("/films/al.avi"));
        comboFile->setEditText(QString());
        QTest::keyClicks(comboFile, QStringLiteral("/films/alp"));
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/Alpha.avi"));
        QTest::keyClick(comboFile, Qt::Key_Return);
        QVERIFY(fixture.WaitForIdle());
        comboFile->setEditText(QStringLiteral("/FILMS/AL.AVI"));
        QTest::keyClick(comboFile, Qt::Key_Return);
        QVERIFY(fixture.WaitForIdle());
        const auto runs = fixture.PlayerRuns();
        QCOMPARE(runs.size(), std::size_t(4));
        QCOMPARE(runs[2].front(), std::string("/films/Alpha.avi"));
        QCOMPARE(runs[3].front(), std::string("/films/al.avi"));

        // Enter in the open drop-down list only picks the entry.
        comboFile->showPopup();
        QTRY_VERIFY(comboFile->view()->isVisible());
        comboFile->view()->setCurrentIndex(comboFile->model()->index(0, 0));
        QTest::keyClick(static_cast<QWidget*>(comboFile->view()), Qt::Key_Return);
        QTRY_VERIFY(!comboFile->view()->isVisible());
        QCOMPARE(comboFile->currentText(), QStringLiteral("/films/Alpha.avi"));
        QVERIFY(!form.Playback()->Playing());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t(4));

        auto* comboParams = test::Find<THistoryCombo>(&form, "comboParams");
        // Enter in the parameters field starts too.
        comboParams->setFocus();
        QTest::keyClick(comboParams->lineEdit(), Qt::Key_Return);
        QVERIFY(form.Playback()->Playing());
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t(5));
    }

    void enterOnAFocusedButtonClicksIt()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        ShowAndActivate(form);
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/a.avi"));
        QVERIFY(!form.PlaylistShown());
        auto* btnPlaylist = test::Find<QPushButton>(&form, "btnPlaylist");
        btnPlaylist->setFocus();
        QTest::keyClick(btnPlaylist, Qt::Key_Return);
        QVERIFY(form.PlaylistShown());
        auto* btnAddPlaylist = test::Find<QPushButton>(&form, "btnAddPlaylist");
        btnAddPlaylist->setFocus();
        QTest::keyClick(btnAddPlaylist, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form.Playlist()->Count(), 1);
        QVERIFY(!form.Playback()->Playing());
        QVERIFY(fixture.PlayerRuns().empty());
    }

    void f11ShowsTheResultWindow()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        ShowAndActivate(form);
        QVERIFY(!form.ResultForm()->isVisible());
        QTest::keyClick(&form, Qt::Key_F11);
        QVERIFY(form.ResultForm()->isVisible());
    }

    void playingDisablesThePlaylistActions()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        ShowAndActivate(form);
        form.ShowPlaylist();
        form.Playlist()->AddItem("/f/1.avi", {});
        ScopedEnv sleep("FAKE_PLAYER_SLEEP", "30");
        auto* btnStart = test::Find<QPushButton>(&form, "btnStart");
        btnStart->click();
        QVERIFY(form.Playback()->Playing());
        for (QAction* action :
             {test::Find<QAction>(&form, "ActionPlToggle"),
              test::Find<QAction>(&form, "ActionPlAdd"), test::Find<QAction>(&form, "ActionPlDel"),
              test::Find<QAction>(&form, "ActionPlUp"), test::Find<QAction>(&form, "ActionPlDown")})
            QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
        auto* btnDelPlaylist = test::Find<QPushButton>(&form, "btnDelPlaylist");
        auto* btnAddPlaylist = test::Find<QPushButton>(&form, "btnAddPlaylist");
        auto* btnPlaylist = test::Find<QPushButton>(&form, "btnPlaylist");
        for (QPushButton* button : {btnPlaylist, btnAddPlaylist, btnDelPlaylist,
                                    test::Find<QPushButton>(&form, "btnPlaylistUp"),
                                    test::Find<QPushButton>(&form, "btnPlaylistDown"), btnStart})
            QVERIFY2(!button->isEnabled(), qPrintable(button->text()));
        auto* btnStop = test::Find<QPushButton>(&form, "btnStop");
        QVERIFY(btnStop->isVisible());
        test::Find<THistoryCombo>(&form, "comboFile")->setEditText(QStringLiteral("/f/more.avi"));
        btnAddPlaylist->click();
        QCOMPARE(form.Playlist()->Count(), 1);

        btnStop->click();
        QVERIFY(fixture.WaitForIdle());
        QVERIFY(btnPlaylist->isEnabled());
        QVERIFY(btnDelPlaylist->isEnabled());
        QVERIFY(!btnStop->isVisible());
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
