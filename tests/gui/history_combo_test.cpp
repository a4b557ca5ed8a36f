#include "platform/file_names.h"
#include "support/test_support.h"
#include "util/ini_document.h"
#include "widgets/qt/history_combo.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace zuv;

class HistoryComboTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_window;
    THistoryCombo* m_combo = nullptr;
    QLineEdit* m_other = nullptr;
    std::unique_ptr<test::TempDir> m_folder;

    // Types a text into the box and moves the focus to the other control, as a user would.
    void Enter(const QString& text)
    {
        m_combo->setFocus(Qt::TabFocusReason);
        m_combo->setEditText(text);
        m_other->setFocus(Qt::TabFocusReason);
    }

    std::string IniPath() const { return m_folder->file("zuv.ini"); }
    IniDocument StoredFile() const
    {
        const auto text = test::ReadFile(IniPath());
        return IniDocument::Parse(text ? *text : std::string());
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<test::TempDir>();
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_combo = new THistoryCombo(m_window.get());
        m_other = new QLineEdit(m_window.get());
        layout->addWidget(m_combo);
        layout->addWidget(m_other);
        m_combo->SetPersistSection("Files");
        m_combo->SetPersistKey(IniPath());
        // The rule of case-blind file names; the other one has its own case below.
        m_combo->SetCompletion(CompletionRuleFor(true));
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        m_folder.reset();
    }

    void CompletesWhileTypingAndTakesTheEntryOnKeyRelease()
    {
        m_combo->addItem(QStringLiteral("/films/b.avi"));
        m_combo->addItem(QStringLiteral("/HOME/ANNA/Filmek/a.avi"));
        m_combo->setFocus(Qt::TabFocusReason);
        m_combo->setEditText(QStringLiteral("/home/anna/f"));
        QLineEdit* edit = m_combo->lineEdit();

        QTest::keyPress(m_combo, Qt::Key_I, Qt::NoModifier);
        // While the key is down: the letters as typed, then the rest of the entry, selected.
        QCOMPARE(edit->text(), QStringLiteral("/home/anna/filmek/a.avi"));
        QCOMPARE(edit->selectionStart(), 13);
        QCOMPARE(edit->selectedText(), QStringLiteral("lmek/a.avi"));
        QTest::keyRelease(m_combo, Qt::Key_I, Qt::NoModifier);
        QCOMPARE(edit->text(), QStringLiteral("/HOME/ANNA/Filmek/a.avi"));
        QCOMPARE(edit->selectionStart(), 13);
        QCOMPARE(edit->selectedText(), QStringLiteral("lmek/a.avi"));
        QCOMPARE(m_combo->currentIndex(), 1);

        // Typing on replaces the selection and completes from the longer prefix.
        QTest::keyClick(m_combo, Qt::Key_L);
        QCOMPARE(edit->text(), QStringLiteral("/HOME/ANNA/Filmek/a.avi"));
        QCOMPARE(edit->selectedText(), QStringLiteral("mek/a.avi"));

        // Backspace removes the completed part and does not complete again ...
        QTest::keyClick(m_combo, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("/HOME/ANNA/Fil"));
        QTest::keyClick(m_combo, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("/HOME/ANNA/Fi"));
        QVERIFY(!edit->hasSelectedText());
        // ... until a character key is pressed.
        QTest::keyClick(m_combo, Qt::Key_L);
        QCOMPARE(edit->text(), QStringLiteral("/HOME/ANNA/Filmek/a.avi"));

        // Typed from an empty box, every key completes from the first entry that fits.
        m_combo->setEditText(QString());
        QTest::keyClicks(m_combo, QStringLiteral("/f"));
        QCOMPARE(edit->text(), QStringLiteral("/films/b.avi"));
        QCOMPARE(edit->selectedText(), QStringLiteral("ilms/b.avi"));
        QTest::keyClick(m_combo, Qt::Key_Delete);
        QTest::keyClicks(m_combo, QStringLiteral("x"));
        QCOMPARE(edit->text(), QStringLiteral("/fx"));
    }

    void WhereCaseCountsTypedLettersStay()
    {
        QCOMPARE(THistoryCombo().Completion().matchCase, !platform::FileNamesIgnoreCase());
        m_combo->SetCompletion(CompletionRuleFor(false));
        m_combo->addItem(QStringLiteral("/m/Notmedia.avi"));
        m_combo->addItem(QStringLiteral("/m/notes.avi"));
        m_combo->setFocus(Qt::TabFocusReason);
        m_combo->setEditText(QStringLiteral("/m/"));
        QLineEdit* edit = m_combo->lineEdit();
        QTest::keyClicks(m_combo, QStringLiteral("no"));
        QCOMPARE(edit->text(), QStringLiteral("/m/notes.avi"));
        QTest::keyClicks(m_combo, QStringLiteral("tm"));
        QCOMPARE(edit->text(), QStringLiteral("/m/notm"));
        QTest::keyClicks(m_combo, QStringLiteral("edia.avi"));
        QTest::keyClick(m_combo, Qt::Key_Return);
        QCOMPARE(m_combo->currentText(), QStringLiteral("/m/notmedia.avi"));
        m_other->setFocus(Qt::TabFocusReason);
        QCOMPARE(m_combo->count(), 3);
    }

    void EnterChoosesTheEqualEntry()
    {
        m_combo->addItem(QStringLiteral("/HOME/ANNA/Filmek/a.avi"));
        m_combo->addItem(QStringLiteral("/home/anna/filmek/a.avi.srt"));
        m_combo->setCurrentIndex(-1);
        m_combo->setFocus(Qt::TabFocusReason);
        m_combo->setEditText(QStringLiteral("/home/anna/filmek/A.AVI"));
        QTest::keyClick(m_combo, Qt::Key_Return);
        QCOMPARE(m_combo->currentIndex(), 0);
        QCOMPARE(m_combo->currentText(), QStringLiteral("/HOME/ANNA/Filmek/a.avi"));
        QCOMPARE(m_combo->count(), 2);
    }

    void LeavingTheBoxAddsNewTextsOnly()
    {
        Enter(QStringLiteral("/films/a.avi"));
        Enter(QStringLiteral("/FILMS/A.AVI"));
        Enter(QString());
        QCOMPARE(m_combo->count(), 1);
        Enter(QStringLiteral("/films/b.avi"));
        QCOMPARE(m_combo->count(), 2);
        QCOMPARE(m_combo->itemText(1), QStringLiteral("/films/b.avi"));
        // Opening another window is not leaving the box.
        m_combo->setFocus(Qt::TabFocusReason);
        m_combo->setEditText(QStringLiteral("/films/c.avi"));
        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(m_combo, &away);
        QCOMPARE(m_combo->count(), 2);
        m_combo->SetAutoHistory(false);
        Enter(QStringLiteral("/films/d.avi"));
        QCOMPARE(m_combo->count(), 2);
    }

    void StoresTheNewestTenAndEmptiesUnusedSlots()
    {
        test::WriteFile(IniPath(), "[Main]\r\nLastFile=/x.avi\r\n\r\n");
        for (int i = 1; i <= 12; ++i)
            Enter(QStringLiteral("/films/%1.avi").arg(i));
        QCOMPARE(m_combo->count(), 12);
        QVERIFY(!m_combo->SavePersist());
        IniDocument file = StoredFile();
        QCOMPARE(file.ReadString("Files", "Item1", "-"), std::string("/films/3.avi"));
        QCOMPARE(file.ReadString("Files", "Item10", "-"), std::string("/films/12.avi"));
        QVERIFY(!file.Value("Files", "Item11"));
        QCOMPARE(file.ReadString("Main", "LastFile", "-"), std::string("/x.avi"));

        m_combo->clear();
        for (const char* text : {"/a.avi", "/b.avi", "/c.avi"})
            Enter(QString::fromUtf8(text));
        QVERIFY(!m_combo->SavePersist());
        file = StoredFile();
        QCOMPARE(file.ReadString("Files", "Item3", "-"), std::string("/c.avi"));
        for (int slot = 4; slot <= 10; ++slot)
            QCOMPARE(file.ReadString("Files", "Item" + std::to_string(slot), "-"), std::string());

        // Loading keeps the box's text and stops at the first empty slot.
        m_combo->setEditText(QStringLiteral("shown"));
        m_combo->clear();
        m_combo->setEditText(QStringLiteral("shown"));
        m_combo->LoadPersist();
        QCOMPARE(m_combo->Entries(), (std::vector<std::string>{"/a.avi", "/b.avi", "/c.avi"}));
        QCOMPARE(m_combo->currentText(), QStringLiteral("shown"));
    }

    void LoadsAsTheProfileFunctionsRead()
    {
        const std::string longValue(2100, 'x');
        test::WriteFile(IniPath(), "[files]\r\nItem1= \"/a b.avi\" \r\nItem2=" + longValue +
                                       "\r\nItem4=/never.avi\r\n");
        m_combo->LoadPersist();
        QCOMPARE(m_combo->count(), 2);
        QCOMPARE(m_combo->itemText(0), QStringLiteral("/a b.avi"));
        QCOMPARE(m_combo->itemText(1), QString(2047, QLatin1Char('x')));

        test::WriteFile(IniPath(), "[Files]\r\nItem1=/one.avi\r\nItem2=\r\nItem3=/three.avi\r\n");
        m_combo->LoadPersist();
        QCOMPARE(m_combo->Entries(), std::vector<std::string>{"/one.avi"});

        // No file: an empty list.
        m_combo->SetPersistKey(m_folder->file("none.ini"));
        m_combo->LoadPersist();
        QCOMPARE(m_combo->count(), 0);
    }

    void WriteFailureIsReported()
    {
        Enter(QStringLiteral("/a.avi"));
        test::WriteFile(m_folder->file("file"), "x");
        m_combo->SetPersistKey(m_folder->file("file") + "/zuv.ini");
        QVERIFY(m_combo->SavePersist());
    }
};

QTEST_MAIN(HistoryComboTest)
#include "history_combo_test.moc"
