#include "equalizer/qt/eq_form.h"
#include "fileassoc/qt/add_extension_form.h"
#include "fileassoc/qt/file_assoc_form.h"
#include "fileassoc/registry_association.h"
#include "main_window_fixture.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "shutdown/qt/countdown_form.h"
#include "support/find_control.h"
#include "support/memory_registry_store.h"
#include "support/window_fit.h"

#include <QTest>

#include <functional>
#include <memory>

using namespace zuv;
using zuv::test::MainWindowFixture;

namespace {

// The shipped language files, as the program folder holds them.
std::string ShippedLanguage(const std::string& baseName)
{
    return *test::ReadFile(test::TestDataPath("../../lang/" + baseName + ".lng"));
}

// A main window started as the user starts it, in `language` ("" for none: the built-in texts).
std::unique_ptr<MainWindowFixture> StartMainWindow(const std::string& language,
                                                   const std::vector<std::string>& installed)
{
    auto fixture = std::make_unique<MainWindowFixture>(MainWindowFixture::NotStarted{});
    for (const std::string& baseName : installed)
        test::WriteFile(fixture->program.file("lang/" + baseName + ".lng"),
                        ShippedLanguage(baseName));
    test::WriteFile(fixture->program.file("zuv.ini"), "[Main]\nLanguage=" + language + "\n");
    fixture->Start();
    return fixture;
}

QString Report(const QStringList& problems)
{
    return QStringLiteral("%1 problem(s):\n").arg(problems.size()) +
           problems.join(QLatin1Char('\n'));
}

bool ShowLaidOut(QWidget& window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QCoreApplication::processEvents();
    return true;
}

} // namespace

class WindowFitTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_program;

    // Loads the language as the program does: from its "lang" folder, or none at all.
    void LoadLanguage(const std::string& language)
    {
        m_program = std::make_unique<test::TempDir>();
        if (!language.empty())
            test::WriteFile(m_program->file("lang/" + language + ".lng"),
                            ShippedLanguage(language));
        Langunit() = Language(m_program->file("lang/"));
        Langunit().LoadLanguage(language);
    }

private slots:
    void initTestCase() { test::ApplyFitTestFont(); }
    void cleanup()
    {
        Langunit() = Language();
        m_program.reset();
    }

    void everyTextFits_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("language");
        for (const char* window : {"main, playlist hidden", "main, playlist shown", "equalizer",
                                   "result", "countdown", "file types", "add extension"})
            for (const char* language : {"", "enu", "deu"})
                QTest::addRow("%s, %s", window, *language ? language : "built-in")
                    << QString::fromLatin1(window) << QString::fromLatin1(language);
    }

    void everyTextFits()
    {
        QFETCH(QString, window);
        QFETCH(QString, language);
        const std::string baseName = language.toStdString();
        QStringList problems;
        if (window.startsWith(QLatin1String("main"))) {
            const auto fixture = StartMainWindow(baseName, {"enu", "deu"});
            TZUVMainForm& form = *fixture->form;
            if (window.endsWith(QLatin1String("shown")))
                form.ShowPlaylist();
            QVERIFY(ShowLaidOut(form));
            // Fixed for the language: the user cannot resize it.
            QCOMPARE(form.minimumSize(), form.maximumSize());
            QCOMPARE(form.size(), form.minimumSize());
            qInfo("%s: %dx%d", qPrintable(window), form.width(), form.height());
            problems = test::FitProblems(form);
        } else if (window == QLatin1String("file types") ||
                   window == QLatin1String("add extension")) {
            LoadLanguage(baseName);
            test::MemoryRegistryStore store;
            store.Set(".avi", "", "avifile");
            store.Set("avifile", "", "Audio Video Interleave");
            store.Set("avifile\\shell", "", "open");
            store.Set("avifile\\shell\\open\\command", "", "/usr/bin/vlc \"%1\"");
            RegistryAssociationBackend backend(store, "/opt/zuvora/zuvora");
            // The default list: more rows than the list shows at a large font.
            TFileAssocForm types(nullptr, backend,
                                 ".avi;.mpg;.mpeg;.mpe;.wmv;.asf;.mov;.qt;.rm;.rmvb");
            std::unique_ptr<QDialog> dialog;
            if (window == QLatin1String("add extension"))
                dialog = std::make_unique<TAddExtensionForm>(&types);
            QWidget& shown = dialog ? *dialog : static_cast<QWidget&>(types);
            QVERIFY(ShowLaidOut(shown));
            qInfo("%s: %dx%d", qPrintable(window), shown.width(), shown.height());
            problems = test::FitProblems(shown);
        } else {
            LoadLanguage(baseName);
            std::unique_ptr<QWidget> shown;
            if (window == QLatin1String("equalizer")) {
                auto form = std::make_unique<TEQForm>(
                    nullptr, PresetFolders{m_program->path(), m_program->path()});
                // The longest entry: the default one, in the language's words.
                form->SetEQPreset("");
                shown = std::move(form);
            } else if (window == QLatin1String("result")) {
                auto form = std::make_unique<TResultForm>();
                form->AddLine(std::string(300, 'x'));
                shown = std::move(form);
            } else {
                auto form = std::make_unique<TCountdownForm>();
                form->SetTextLookup(
                    [](std::string_view section, std::string_view key, std::string_view builtIn) {
                        return Langunit().GetText(section, key, builtIn);
                    });
                form->StartCountdown(30);
                test::Find<QTimer>(form.get(), "Timer")->stop();
                shown = std::move(form);
            }
            QVERIFY(ShowLaidOut(*shown));
            qInfo("%s: %dx%d", qPrintable(window), shown->width(), shown->height());
            problems = test::FitProblems(*shown);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));
    }

    // A change of language while the program runs lays the main window out again: it fits and
    // takes the size a fresh start in that language gives. A new desktop font does the same.
    void mainWindowFollowsALiveChangeOfLanguage()
    {
        QSize freshGerman;
        {
            const auto fixture = StartMainWindow("deu", {"deu", "enu"});
            fixture->form->ShowPlaylist();
            QVERIFY(ShowLaidOut(*fixture->form));
            freshGerman = fixture->form->size();
        }
        const auto fixture = StartMainWindow("enu", {"deu", "enu"});
        TZUVMainForm& form = *fixture->form;
        form.ShowPlaylist();
        QVERIFY(ShowLaidOut(form));
        test::Find<QAction>(&form, "ActionSettings")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(form.SettingsForm()));
        const QSize english = form.size();
        // The list entries are sorted by base name: 1 is deu.
        QCOMPARE(Langunit().BaseNames().front(), std::string("deu"));
        QVERIFY(Langunit().SelectLanguage(1));
        QCoreApplication::processEvents();
        QCOMPARE(form.size(), freshGerman);
        QVERIFY(form.size() != english);
        // The settings dialog, grown with its texts, stays on the screen.
        const QRect area = form.screen()->availableGeometry();
        QVERIFY(area.contains(form.SettingsForm()->frameGeometry()));
        QStringList problems = test::FitProblems(form);
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));

        // So does a larger desktop font while the program runs.
        const QFont before = QApplication::font();
        QFont larger = before;
        larger.setPointSizeF(before.pointSizeF() + 3);
        QApplication::setFont(larger);
        QCoreApplication::processEvents();
        const QSize grown = form.size();
        problems = test::FitProblems(form);
        QApplication::setFont(before);
        QVERIFY(grown.width() > freshGerman.width() && grown.height() > freshGerman.height());
        QVERIFY2(problems.isEmpty(), qPrintable(Report(problems)));
    }
};

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
