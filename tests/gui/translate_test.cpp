#include "lang/language.h"
#include "lang/qt/translate.h"
#include "support/test_support.h"
#include "widgets/qt/action_link.h"
#include "widgets/qt/dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace zuv;

class TranslateTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_folder;

private slots:
    void init()
    {
        m_folder = std::make_unique<test::TempDir>();
        test::WriteFile(m_folder->file("t.lng"), "[Main]\n"
                                                 "1=Label text\n"
                                                 "2=Button text\n"
                                                 "3=Check text\n"
                                                 "4=Page text\n"
                                                 "5=Action text\n"
                                                 "6=Column text\n"
                                                 "7=Dialog title\n"
                                                 "8=\n"
                                                 "9=two\\nlines\n");
        Langunit() = Language(m_folder->path());
        QVERIFY(Langunit().LoadLanguage("t"));
    }
    void cleanup()
    {
        Langunit() = Language();
        m_folder.reset();
    }

    void setsEveryComponentClass()
    {
        QLabel label(QStringLiteral("old"));
        QPushButton button(QStringLiteral("old"));
        QCheckBox check(QStringLiteral("old"));
        QTabWidget tabs;
        auto* page = new TabSheet;
        tabs.addTab(page, QStringLiteral("old"));
        QAction action(QStringLiteral("old"));
        QPushButton linked;
        LinkButtonToAction(&linked, &action);
        QTreeWidget view;
        view.setHeaderLabels({QStringLiteral("a"), QStringLiteral("b")});
        ListColumn column(view.model(), 1);
        FileDialog dialog(FileDialog::Mode::OpenFile, QStringLiteral("old"));

        TranslateComponent(&label, "main", "1");
        TranslateComponent(&button, "Main", "2");
        TranslateComponent(&check, "MAIN", "3");
        TranslateComponent(page, "Main", "4");
        TranslateComponent(&action, "Main", "5");
        TranslateComponent(&column, "Main", "6");
        TranslateComponent(dialog, "Main", "7");

        QCOMPARE(label.text(), QStringLiteral("Label text"));
        QCOMPARE(button.text(), QStringLiteral("Button text"));
        QCOMPARE(check.text(), QStringLiteral("Check text"));
        QCOMPARE(tabs.tabText(0), QStringLiteral("Page text"));
        QCOMPARE(page->Caption(), QStringLiteral("Page text"));
        QCOMPARE(linked.text(), QStringLiteral("Action text"));
        QCOMPARE(view.headerItem()->text(1), QStringLiteral("Column text"));
        QCOMPARE(dialog.title, QStringLiteral("Dialog title"));
    }

    void silentOrEmptyTextKeepsTheComponent()
    {
        QLabel label(QStringLiteral("kept"));
        TranslateComponent(&label, "Main", "8");
        TranslateComponent(&label, "Main", "404");
        TranslateComponent(&label, "Nowhere", "1");
        QCOMPARE(label.text(), QStringLiteral("kept"));
        // GetText gives the empty value, and line breaks for "\n".
        QCOMPARE(GetText("Main", "8", QStringLiteral("built-in")), QString());
        QCOMPARE(GetText("Main", "9", QString()), QStringLiteral("two\nlines"));
        QCOMPARE(GetText("Main", "404", QStringLiteral("a\\nb")), QStringLiteral("a\nb"));
    }

    void otherClassesAreAFault()
    {
        QWidget widget;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, SetComponentText(&widget, QStringLiteral("x")));
        // A class derived from a supported one does not match either.
        class OwnLabel : public QLabel
        {};
        OwnLabel own;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, SetComponentText(&own, QStringLiteral("x")));
        TranslateComponent(&widget, "Main", "8"); // empty text: nothing is set, nothing thrown
    }

    void actionStateFollowsToTheButton()
    {
        QAction action(QStringLiteral("&Start"));
        QPushButton button;
        LinkButtonToAction(&button, &action);
        int triggered = 0;
        connect(&action, &QAction::triggered, this, [&] { ++triggered; });
        button.click();
        action.setEnabled(false);
        QVERIFY(!button.isEnabled());
        button.click();
        action.setVisible(false);
        QVERIFY(button.isHidden());
        QCOMPARE(triggered, 1);
    }
};

QTEST_MAIN(TranslateTest)
#include "translate_test.moc"
