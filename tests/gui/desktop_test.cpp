// The windows on a real desktop: run offscreen like every window test, and by ctest also under
// an X server with the openbox window manager (what the window manager made of the windows is
// read back with xprop and xwininfo, the user's moves and keys come through xdotool) and under
// the Weston compositor on Wayland, where placing and stacking are left to the compositor and
// the test asks that nothing warns.
#include "equalizer/qt/eq_form.h"
#include "main_window_fixture.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "shutdown/qt/countdown_form.h"
#include "support/find_control.h"
#include "widgets/qt/history_combo.h"
#include "widgets/window_placement.h"

#include <QCheckBox>
#include <QCursor>
#include <QFileDialog>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

using namespace zuv;
using zuv::test::MainWindowFixture;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;

namespace {

// How long a window manager or compositor may take to carry a request out on a loaded machine.
constexpr int kSettleMs = 20000;

enum class Desktop
{
    Offscreen,
    X11, // with a window manager
    Wayland,
};

Desktop CurrentDesktop()
{
    const QString name = QGuiApplication::platformName();
    if (name == QLatin1String("xcb"))
        return Desktop::X11;
    if (name.startsWith(QLatin1String("wayland")))
        return Desktop::Wayland;
    return Desktop::Offscreen;
}

// Runs an X tool and gives its standard output.
QString Tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        qFatal("%s does not answer", qPrintable(program));
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString WindowId(const QWidget* window)
{
    return QStringLiteral("0x") + QString::number(window->winId(), 16);
}

QString Property(const QWidget* window, const char* name)
{
    return Tool(QStringLiteral("xprop"),
                {QStringLiteral("-id"), WindowId(window), QString::fromLatin1(name)});
}

int Field(const QString& text, const QString& label)
{
    const QRegularExpression pattern(QRegularExpression::escape(label) +
                                     QStringLiteral(":\\s*(-?\\d+)"));
    return pattern.match(text).captured(1).toInt();
}

// What the user sees of a window: its client area and the window manager's frame around it, as
// the X server has them. Offscreen and on Wayland: what Qt knows.
QRect Frame(const QWidget* window)
{
    if (CurrentDesktop() != Desktop::X11)
        return window->frameGeometry();
    const QString info =
        Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), WindowId(window)});
    const QRect client(Field(info, QStringLiteral("Absolute upper-left X")),
                       Field(info, QStringLiteral("Absolute upper-left Y")),
                       Field(info, QStringLiteral("Width")), Field(info, QStringLiteral("Height")));
    // left, right, top, bottom; missing for a window without a frame.
    const QRegularExpressionMatch extents =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
            .match(Property(window, "_NET_FRAME_EXTENTS"));
    if (!extents.hasMatch())
        return client;
    return client.adjusted(-extents.captured(1).toInt(), -extents.captured(3).toInt(),
                           extents.captured(2).toInt(), extents.captured(4).toInt());
}

bool Viewable(const QWidget* window)
{
    if (CurrentDesktop() != Desktop::X11)
        return window->isVisible();
    return Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), WindowId(window)})
        .contains(QStringLiteral("IsViewable"));
}

bool KeptAbove(const QWidget* window)
{
    if (CurrentDesktop() != Desktop::X11)
        return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    return Property(window, "_NET_WM_STATE").contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
}

// True when the window manager stacks `upper` above `lower`.
bool Above(const QWidget* upper, const QWidget* lower)
{
    const QString list =
        Tool(QStringLiteral("xprop"),
             {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    QList<WId> order; // bottom first
    for (const QRegularExpressionMatch& id :
         QRegularExpression(QStringLiteral("0x[0-9a-f]+")).globalMatch(list))
        order << id.captured().toULongLong(nullptr, 16);
    const qsizetype upperAt = order.indexOf(upper->winId());
    const qsizetype lowerAt = order.indexOf(lower->winId());
    return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

void Xdotool(const QStringList& arguments)
{
    Tool(QStringLiteral("xdotool"), arguments);
}

// Activates a window as a click on it would: through the window manager on X.
bool Activate(QWidget* window)
{
    if (CurrentDesktop() == Desktop::X11)
        Xdotool({QStringLiteral("windowactivate"), WindowId(window)});
    else
        window->activateWindow();
    return QTest::qWaitForWindowActive(window, kSettleMs);
}

// Moves the main window as the user drags it: from outside the program on X.
void MoveByUser(QWidget* window, const QPoint& topLeft)
{
    if (CurrentDesktop() == Desktop::X11)
        Xdotool({QStringLiteral("windowmove"), WindowId(window), QString::number(topLeft.x()),
                 QString::number(topLeft.y())});
    else
        window->move(topLeft);
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (CurrentDesktop() == Desktop::X11) {
            for (const char* tool : {"xprop", "xwininfo", "xdotool"})
                QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                         tool);
        }
    }

    // Whatever the desktop does not allow is left out without a word (the offscreen platform
    // itself warns of everything it lacks).
    void init()
    {
        if (CurrentDesktop() != Desktop::Offscreen)
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    }

    void settingsDialogBesideTheMainWindow()
    {
        MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        TSettingsForm* settings = main.SettingsForm();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kSettleMs));
        test::Find<QAction>(&main, "ActionSettings")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(settings, kSettleMs));
        if (CurrentDesktop() == Desktop::Wayland)
            return; // the compositor places both
        // At the right edge, or where the screen has no room there, at the left or over it.
        const auto besideMain = [&] {
            const QRect frame = Frame(&main);
            const QRect area = main.screen()->availableGeometry();
            const QRect own = Frame(settings);
            const ScreenPoint place =
                PlaceBeside({frame.x(), frame.y(), frame.width(), frame.height()}, own.width(),
                            own.height(), 16, {area.x(), area.y(), area.width(), area.height()});
            return own.topLeft() == QPoint(place.x, place.y);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(besideMain(), "when opened", kSettleMs);
        for (const QPoint& place : {QPoint(60, 40), QPoint(300, 200)}) {
            const QRect before = Frame(&main);
            MoveByUser(&main, place);
            QTRY_VERIFY_WITH_TIMEOUT(Frame(&main) != before, kSettleMs);
            QTRY_VERIFY2_WITH_TIMEOUT(besideMain(), "after a move", kSettleMs);
        }
    }

    void windowsAlwaysOnTop_data()
    {
        QTest::addColumn<bool>("settingsOpenFirst");
        QTest::newRow("settings dialog open") << true;
        QTest::newRow("settings dialog opened later") << false;
    }

    void windowsAlwaysOnTop()
    {
        QFETCH(bool, settingsOpenFirst);
        MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        TSettingsForm* settings = main.SettingsForm();
        TResultForm* result = main.ResultForm();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kSettleMs));
        result->Show();
        main.EQForm()->show();
        QVERIFY(QTest::qWaitForWindowExposed(result, kSettleMs));
        QVERIFY(QTest::qWaitForWindowExposed(main.EQForm(), kSettleMs));
        auto* ActionSettings = test::Find<QAction>(&main, "ActionSettings");
        if (settingsOpenFirst) {
            ActionSettings->trigger();
            QVERIFY(QTest::qWaitForWindowExposed(settings, kSettleMs));
        }
        const QRect mainBefore = Frame(&main);

        auto* cbOnTop = test::Find<QCheckBox>(&main, "cbOnTop");
        cbOnTop->setChecked(true);
        if (!settingsOpenFirst) {
            ActionSettings->trigger();
            QVERIFY(QTest::qWaitForWindowExposed(settings, kSettleMs));
        }
        QVERIFY(main.isVisible());
        if (CurrentDesktop() == Desktop::Wayland)
            return; // no layer above the others for programs there
        QTRY_VERIFY_WITH_TIMEOUT(KeptAbove(&main), kSettleMs);
        QTRY_VERIFY_WITH_TIMEOUT(KeptAbove(settings), kSettleMs);
        QVERIFY(!KeptAbove(result));
        QVERIFY(!KeptAbove(main.EQForm()));
        QCOMPARE(Frame(&main), mainBefore);
        if (CurrentDesktop() == Desktop::X11) {
            QVERIFY(Activate(result));
            QTRY_VERIFY_WITH_TIMEOUT(Above(&main, result), kSettleMs);
            QVERIFY(Above(settings, result));
        }

        cbOnTop->setChecked(false);
        QTRY_VERIFY_WITH_TIMEOUT(!KeptAbove(&main), kSettleMs);
        QTRY_VERIFY_WITH_TIMEOUT(!KeptAbove(settings), kSettleMs);
        QCOMPARE(Frame(&main), mainBefore);
        QVERIFY(settings->isVisible());
        if (CurrentDesktop() == Desktop::X11) {
            QVERIFY(Activate(result));
            QTRY_VERIFY_WITH_TIMEOUT(Above(result, &main), kSettleMs);
        }
    }

    void f11FromEveryWindow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window") << QStringLiteral("ZUVMainForm");
        QTest::newRow("settings dialog") << QStringLiteral("SettingsForm");
        QTest::newRow("equalizer") << QStringLiteral("EQForm");
    }

    void f11FromEveryWindow()
    {
        QFETCH(QString, window);
        if (CurrentDesktop() == Desktop::Wayland)
            QSKIP("the headless compositor has no keyboard to give a window the focus");
        MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kSettleMs));
        test::Find<QAction>(&main, "ActionSettings")->trigger();
        main.EQForm()->show();
        QWidget* target = &main;
        for (QWidget* candidate :
             {static_cast<QWidget*>(main.SettingsForm()), static_cast<QWidget*>(main.EQForm())}) {
            if (candidate->objectName() == window)
                target = candidate;
        }
        QCOMPARE(target->objectName(), window);
        QVERIFY(QTest::qWaitForWindowExposed(target, kSettleMs));
        QVERIFY(Activate(target));
        QVERIFY(!main.ResultForm()->isVisible());
        if (CurrentDesktop() == Desktop::X11)
            Xdotool({QStringLiteral("key"), QStringLiteral("F11")});
        else
            QTest::keyClick(target, Qt::Key_F11);
        QTRY_VERIFY_WITH_TIMEOUT(main.ResultForm()->isVisible(), kSettleMs);
        QVERIFY(QTest::qWaitForWindowExposed(main.ResultForm(), kSettleMs));
    }

    void countdownCentred()
    {
        MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kSettleMs));
        TCountdownForm* countdown = main.CountdownForm();
        countdown->StartCountdown(30);
        countdown->show();
        QVERIFY(QTest::qWaitForWindowExposed(countdown, kSettleMs));
        if (CurrentDesktop() != Desktop::Wayland) {
            const QPoint centre = countdown->screen()->availableGeometry().center();
            // The frame the user sees, centred to the pixel (rounding aside).
            QTRY_VERIFY2_WITH_TIMEOUT(
                (Frame(countdown).center() - centre).manhattanLength() <= 2,
                qPrintable(QStringLiteral("frame %1,%2 %3x%4, screen centre %5,%6")
                               .arg(Frame(countdown).x())
                               .arg(Frame(countdown).y())
                               .arg(Frame(countdown).width())
                               .arg(Frame(countdown).height())
                               .arg(centre.x())
                               .arg(centre.y())),
                kSettleMs);
        }
        countdown->reject();
    }

    void resultWindowOfItsOwn()
    {
        MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        TResultForm* result = main.ResultForm();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kSettleMs));
        test::Find<QAction>(&main, "ActionShowResultWindow")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(result, kSettleMs));
        QCOMPARE(result->windowHandle()->transientParent(), nullptr);
        if (CurrentDesktop() != Desktop::X11)
            return;
        QVERIFY(!Property(result, "WM_TRANSIENT_FOR").contains(QStringLiteral("window id")));
        QVERIFY(Property(result, "_NET_WM_WINDOW_TYPE").contains(QStringLiteral("_NORMAL")));
        // Either one comes to the front when activated.
        QVERIFY(Activate(result));
        QTRY_VERIFY_WITH_TIMEOUT(Above(result, &main), kSettleMs);
        QVERIFY(Activate(&main));
        QTRY_VERIFY_WITH_TIMEOUT(Above(&main, result), kSettleMs);
        // Minimizing the main window leaves it in place.
        main.showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(!Viewable(&main), kSettleMs);
        QVERIFY(Viewable(result));
    }

    void playlistMenuAtThePointer()
    {
        MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        main.ShowPlaylist();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kSettleMs));
        QWidget* viewport = test::Find<QTreeView>(&main, "lvPlaylist")->viewport();
        const QPoint point(40, 30);
        const QPoint pointer = viewport->mapToGlobal(point);
        if (CurrentDesktop() == Desktop::X11) {
            QVERIFY(Activate(&main));
            Xdotool({QStringLiteral("mousemove"), QString::number(pointer.x()),
                     QString::number(pointer.y()), QStringLiteral("click"), QStringLiteral("3")});
            QTRY_COMPARE_WITH_TIMEOUT(QCursor::pos(), pointer, kSettleMs);
        } else {
            QContextMenuEvent click(QContextMenuEvent::Mouse, point, pointer);
            QApplication::sendEvent(viewport, &click);
        }
        auto* pmPlaylist = test::Find<QMenu>(&main, "pmPlaylist");
        QTRY_VERIFY_WITH_TIMEOUT(pmPlaylist->isVisible(), kSettleMs);
        QCOMPARE(pmPlaylist->pos(), pointer);
        pmPlaylist->hide();
    }

    // "*.*" was written for Windows, where it means every file; here the dialog must list names
    // without a dot too.
    void allFilesWithoutAnExtension()
    {
        // Qt 6.4's Wayland plugin crashes painting the dialog's text cursor on a seat without a
        // keyboard, which is what the headless compositor offers; the filter is the same there.
        if (CurrentDesktop() == Desktop::Wayland)
            QSKIP("the headless compositor has no keyboard for the dialog's file name field");
        TempDir folder;
        zuv::test::WriteFile(folder.file("README"), "x");
        zuv::test::WriteFile(folder.file("film.avi"), "x");
        FileDialog dialog(FileDialog::Mode::OpenFile, QStringLiteral("Open"),
                          QStringLiteral("Movie files|*.avi|All files|*.*"));
        dialog.initialFolder = QString::fromStdString(folder.path());
        QStringList listed;
        QTimer::singleShot(0, [&listed] {
            auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            shown->selectNameFilter(shown->nameFilters().last());
            const auto* view = shown->findChild<QListView*>(QStringLiteral("listView"));
            QDeadlineTimer deadline(10000);
            while (view && view->model()->rowCount(view->rootIndex()) < 2 && !deadline.hasExpired())
                QTest::qWait(20);
            for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            shown->reject();
        });
        QVERIFY(dialog.Execute(nullptr).isEmpty());
        listed.sort();
        QCOMPARE(listed, QStringList({QStringLiteral("README"), QStringLiteral("film.avi")}));
    }

    // Start, the settings dialog, the equalizer and a second copy's hand-over on this desktop;
    // the second copy prints nothing either.
    void runsAndTakesAHandOver()
    {
        TempDir runtime;
        ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtime.path());
        MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main, kSettleMs));

        auto* comboFile = test::Find<THistoryCombo>(&main, "comboFile");
        comboFile->setEditText(QStringLiteral("/videos/first.avi"));
        test::Find<QPushButton>(&main, "btnStart")->click();
        QVERIFY(fixture.WaitForIdle());
        QCOMPARE(fixture.PlayerRuns().size(), std::size_t{1});

        test::Find<QAction>(&main, "ActionSettings")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(main.SettingsForm(), kSettleMs));
        test::Find<QCheckBox>(main.SettingsForm(), "cbEqualizer")->setChecked(true);
        test::Find<QPushButton>(main.SettingsForm(), "btnShowEQ")->click();
        QVERIFY(QTest::qWaitForWindowExposed(main.EQForm(), kSettleMs));

        test::Find<QCheckBox>(main.SettingsForm(), "cbOneInstance")->setChecked(true);
        QVERIFY(fixture.session->ListenForSecondCopies());
        QProcess second;
        // Leaks are looked for elsewhere; a sanitizer's report would be taken for a warning.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LSAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(ZUVORA_EXECUTABLE), {QStringLiteral("/videos/second.avi")});
        QVERIFY(second.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, kSettleMs);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(second.readAllStandardError()), QString());
        QTRY_COMPARE_WITH_TIMEOUT(comboFile->currentText(), QStringLiteral("/videos/second.avi"),
                                  kSettleMs);
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
