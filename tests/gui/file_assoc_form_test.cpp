#include "fileassoc/qt/add_extension_form.h"
#include "fileassoc/qt/file_assoc_form.h"
#include "fileassoc/registry_association.h"
#include "lang/language.h"
#include "platform/zuvora_error.h"
#include "support/find_control.h"
#include "support/memory_registry_store.h"
#include "support/test_support.h"
#include "widgets/qt/dialogs.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>

using namespace zuv;
using zuv::test::MemoryRegistryStore;
using Strings = std::vector<std::string>;

namespace {

const std::string kProgram = "/opt/zuvora/zuvora";
const std::string kOwnCommand = "/opt/zuvora/zuvora \"%L\"";
const std::string kPlayerCommand = "/usr/bin/vlc \"%1\"";

// .avi opened by another player; .mpg taken over from it earlier by this program.
void AddAssociations(MemoryRegistryStore& store)
{
    store.Set(".avi", "", "VLC.avi");
    store.Set("VLC.avi", "", "AVI video");
    store.Set("VLC.avi\\shell", "", "open");
    store.Set("VLC.avi\\shell\\open\\command", "", kPlayerCommand);
    store.Set(".mpg", "", "mpgfile");
    store.Set("mpgfile", "", "MPEG video");
    store.Set("mpgfile\\shell", "", "open");
    store.Set("mpgfile\\shell\\open\\command", "", kOwnCommand);
    store.Set("mpgfile\\shell\\open\\command", "zuv.exe", kPlayerCommand);
}

QStringList Column(const QTreeWidget* view, int column)
{
    QStringList texts;
    for (int row = 0; row < view->topLevelItemCount(); ++row)
        texts << view->topLevelItem(row)->text(column);
    return texts;
}

QList<bool> Checks(const QTreeWidget* view)
{
    QList<bool> checks;
    for (int row = 0; row < view->topLevelItemCount(); ++row)
        checks << (view->topLevelItem(row)->checkState(0) == Qt::Checked);
    return checks;
}

QTreeWidgetItem* Row(const TFileAssocForm& form, const QString& extension)
{
    const auto found =
        test::Find<QTreeWidget>(&form, "lvTypes")->findItems(extension, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.first();
}

// Runs `answer` on the add-extension dialog once it is up, then presses Add.
void AddThroughDialog(TFileAssocForm& form, const std::function<void(TAddExtensionForm&)>& answer)
{
    QTimer::singleShot(0, &form, [answer] {
        auto* dialog = qobject_cast<TAddExtensionForm*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(*dialog);
    });
    QTest::mouseClick(test::Find<QPushButton>(&form, "btnAdd"), Qt::LeftButton);
}

void TypeAndConfirm(TAddExtensionForm& dialog, const QString& text)
{
    test::Find<QLineEdit>(&dialog, "edExt")->setText(text);
    QTest::mouseClick(test::Find<QPushButton>(&dialog, "btnOk"), Qt::LeftButton);
}

} // namespace

class FileAssocFormTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_folder;
    std::unique_ptr<MemoryRegistryStore> m_store;
    std::unique_ptr<RegistryAssociationBackend> m_backend;

    std::unique_ptr<TFileAssocForm> Open(const std::string& fileTypes)
    {
        return std::make_unique<TFileAssocForm>(nullptr, *m_backend, fileTypes);
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<test::TempDir>();
        Langunit() = Language(m_folder->path());
        m_store = std::make_unique<MemoryRegistryStore>();
        AddAssociations(*m_store);
        m_backend = std::make_unique<RegistryAssociationBackend>(*m_store, kProgram);
        // No box may ever wait for a user.
        MessageBox::SetAutoAnswer(true);
        MessageBox::ClearShownBoxes();
    }
    void cleanup()
    {
        MessageBox::SetAutoAnswer(false);
        m_backend.reset();
        m_store.reset();
        Langunit() = Language();
        m_folder.reset();
    }

    void fillsOneRowPerExtension()
    {
        const auto form = Open(".xyz;.qt;.mov;.rm;.rmvb;.avi;.mpg;");
        QCOMPARE(form->windowTitle(), QStringLiteral("Filetípusok"));
        QCOMPARE(form->size().expandedTo(QSize(377, 263)), form->size());
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(test::Find<QTreeWidget>(form.get(), "lvTypes")->headerItem()->text(0),
                 QStringLiteral("Kiterjesztés"));
        QCOMPARE(test::Find<QTreeWidget>(form.get(), "lvTypes")->headerItem()->text(2),
                 QStringLiteral("Jelenleg:"));
        // 80 as drawn, or what the caption needs.
        QCOMPARE(
            test::Find<QTreeWidget>(form.get(), "lvTypes")->columnWidth(0),
            std::max(80,
                     test::Find<QTreeWidget>(form.get(), "lvTypes")->header()->sectionSizeHint(0)));
        QCOMPARE(Column(test::Find<QTreeWidget>(form.get(), "lvTypes"), 0),
                 (QStringList{QStringLiteral(".xyz"), QStringLiteral(".qt"), QStringLiteral(".mov"),
                              QStringLiteral(".rm"), QStringLiteral(".rmvb"),
                              QStringLiteral(".avi"), QStringLiteral(".mpg")}));
        QCOMPARE(Column(test::Find<QTreeWidget>(form.get(), "lvTypes"), 1),
                 (QStringList{QStringLiteral("-"), QStringLiteral("QuickTime"),
                              QStringLiteral("QuickTime"), QStringLiteral("RealMedia"),
                              QStringLiteral("RealMedia"), QStringLiteral("AVI video"),
                              QStringLiteral("MPEG video")}));
        QCOMPARE(Column(test::Find<QTreeWidget>(form.get(), "lvTypes"), 2),
                 (QStringList{QString(), QString(), QString(), QString(), QString(),
                              QStringLiteral("vlc"), QStringLiteral("zuvora")}));
        QCOMPARE(Checks(test::Find<QTreeWidget>(form.get(), "lvTypes")),
                 (QList<bool>{false, false, false, false, false, false, true}));
        QVERIFY(MessageBox::ShownBoxes().empty());
        QVERIFY(m_store->Changes().empty());
    }

    void okTakesOverCheckedRowsAndGivesBackUnchecked()
    {
        const auto form = Open(".xyz;.avi;.mpg");
        Row(*form, QStringLiteral(".xyz"))->setCheckState(0, Qt::Checked);
        Row(*form, QStringLiteral(".mpg"))->setCheckState(0, Qt::Unchecked);
        QTest::mouseClick(test::Find<QPushButton>(form.get(), "btnOk"), Qt::LeftButton);

        QCOMPARE(form->result(), int(QDialog::Accepted));
        QCOMPARE(form->NewFileTypes(), std::optional<std::string>(".xyz;.avi;.mpg"));
        QCOMPARE(m_store->Get(".xyz", ""), std::optional<std::string>("xyzfile"));
        QCOMPARE(m_store->Get("xyzfile\\shell\\open\\command", ""),
                 std::optional<std::string>(AssociationCommand(kProgram)));
        QCOMPARE(m_store->Get("mpgfile\\shell\\open\\command", ""),
                 std::optional<std::string>(kPlayerCommand));
        QVERIFY(!m_store->Get("mpgfile\\shell\\open\\command", "zuv.exe"));
        QCOMPARE(m_store->Get("VLC.avi\\shell\\open\\command", ""),
                 std::optional<std::string>(kPlayerCommand));
    }

    void selectAllOnlyChecks()
    {
        const auto form = Open(".xyz;.mpg");
        test::Find<QPushButton>(form.get(), "btnSelectAll")->click();
        QCOMPARE(Checks(test::Find<QTreeWidget>(form.get(), "lvTypes")), (QList<bool>{true, true}));
        test::Find<QPushButton>(form.get(), "btnSelectAll")->click();
        QCOMPARE(Checks(test::Find<QTreeWidget>(form.get(), "lvTypes")), (QList<bool>{true, true}));
    }

    void okWithoutChangesWritesNothing()
    {
        const auto form = Open(".avi;.mpg;.xyz");
        test::Find<QPushButton>(form.get(), "btnOk")->click();
        QVERIFY(m_store->Changes().empty());
        QCOMPARE(form->NewFileTypes(), std::optional<std::string>(".avi;.mpg;.xyz"));
        QVERIFY(MessageBox::ShownBoxes().empty());
    }

    void addsWhatIsTypedWithADot()
    {
        const auto form = Open(".avi");
        AddThroughDialog(*form, [](TAddExtensionForm& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Kiterjesztés hozzáadása"));
            QCOMPARE(test::Find<QPushButton>(&dialog, "btnCancel")->text(),
                     QStringLiteral("Mégsem"));
            QVERIFY(test::Find<QPushButton>(&dialog, "btnOk")->isDefault());
            TypeAndConfirm(dialog, QStringLiteral("mkv"));
        });
        AddThroughDialog(*form, [](TAddExtensionForm& dialog) { TypeAndConfirm(dialog, {}); });
        AddThroughDialog(*form, [](TAddExtensionForm& dialog) {
            TypeAndConfirm(dialog, QStringLiteral(".avi"));
        });
        AddThroughDialog(*form, [](TAddExtensionForm& dialog) {
            test::Find<QLineEdit>(&dialog, "edExt")->setText(QStringLiteral("ogg"));
            QTest::mouseClick(test::Find<QPushButton>(&dialog, "btnCancel"), Qt::LeftButton);
        });
        QCOMPARE(Column(test::Find<QTreeWidget>(form.get(), "lvTypes"), 0),
                 (QStringList{QStringLiteral(".avi"), QStringLiteral(".mkv"), QStringLiteral("."),
                              QStringLiteral(".avi")}));
        QCOMPARE(Column(test::Find<QTreeWidget>(form.get(), "lvTypes"), 1),
                 (QStringList{QStringLiteral("AVI video"), QStringLiteral("-"), QStringLiteral("-"),
                              QStringLiteral("AVI video")}));
    }

    void cancelEscapeAndCloseBoxLeaveEverythingAsItWas()
    {
        const auto form = Open(".avi");
        form->show();
        AddThroughDialog(*form, [](TAddExtensionForm& dialog) {
            TypeAndConfirm(dialog, QStringLiteral("mkv"));
        });
        Row(*form, QStringLiteral(".mkv"))->setCheckState(0, Qt::Checked);
        QTest::mouseClick(test::Find<QPushButton>(form.get(), "btnCancel"), Qt::LeftButton);
        QVERIFY(form->isHidden());
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QVERIFY(!form->NewFileTypes());

        const auto escaped = Open(".avi");
        escaped->show();
        test::Find<QPushButton>(escaped.get(), "btnSelectAll")->click();
        QTest::keyClick(escaped.get(), Qt::Key_Escape);
        QVERIFY(escaped->isHidden());
        QCOMPARE(escaped->result(), int(QDialog::Rejected));

        const auto closed = Open(".avi");
        closed->show();
        test::Find<QPushButton>(closed.get(), "btnSelectAll")->click();
        closed->close();
        QCOMPARE(closed->result(), int(QDialog::Rejected));
        QVERIFY(!closed->NewFileTypes());
        QVERIFY(m_store->Changes().empty());
    }

    void deletingARowAsksAndKeepsTheRegistry()
    {
        const auto form = Open(".avi;.mpg");
        form->btnDelClick(); // nothing selected: no question
        QVERIFY(MessageBox::ShownBoxes().empty());

        test::Find<QTreeWidget>(form.get(), "lvTypes")
            ->setCurrentItem(Row(*form, QStringLiteral(".mpg")));
        MessageBox::SetNextAnswer(QMessageBox::No);
        test::Find<QPushButton>(form.get(), "btnDel")->click();
        QCOMPARE(test::Find<QTreeWidget>(form.get(), "lvTypes")->topLevelItemCount(), 2);
        MessageBox::SetNextAnswer(QMessageBox::Yes);
        test::Find<QPushButton>(form.get(), "btnDel")->click();
        QCOMPARE(Column(test::Find<QTreeWidget>(form.get(), "lvTypes"), 0),
                 QStringList{QStringLiteral(".avi")});

        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{2});
        const MessageBox::Shown& question = MessageBox::ShownBoxes().back();
        QCOMPARE(question.icon, QMessageBox::Question);
        QCOMPARE(question.caption, QStringLiteral("Törlés"));
        QCOMPARE(question.text, QStringLiteral("Töröljem a \".mpg\" kiterjesztést a listából?"));

        test::Find<QPushButton>(form.get(), "btnOk")->click();
        QVERIFY(m_store->Changes().empty());
        QCOMPARE(form->NewFileTypes(), std::optional<std::string>(".avi"));
        QCOMPARE(m_store->Get("mpgfile\\shell\\open\\command", ""),
                 std::optional<std::string>(kOwnCommand));
    }

    void refusedWriteShowsTheErrorAndKeepsFileTypes()
    {
        const auto form = Open(".avi;.xyz");
        m_store->FailOn(MemoryRegistryStore::Operation::Write, "", EACCES);
        test::Find<QPushButton>(form.get(), "btnSelectAll")->click();
        test::Find<QPushButton>(form.get(), "btnOk")->click();
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(!form->NewFileTypes());
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        const MessageBox::Shown& box = MessageBox::ShownBoxes().front();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.caption, QStringLiteral("Registry hiba"));
        QCOMPARE(box.text,
                 QString::fromStdString(platform::ErrorMessage(platform::SystemError(EACCES))));
    }

    void rowsOfOneFileTypeAreCheckedTogether()
    {
        m_store->Set(".mpeg", "", "MPGFILE"); // shares .mpg's type, which is ours
        const auto form = Open(".mpg;.avi;.mpeg");
        QCOMPARE(Checks(test::Find<QTreeWidget>(form.get(), "lvTypes")),
                 (QList<bool>{true, false, true}));
        Row(*form, QStringLiteral(".mpeg"))->setCheckState(0, Qt::Unchecked);
        QCOMPARE(Checks(test::Find<QTreeWidget>(form.get(), "lvTypes")),
                 (QList<bool>{false, false, false}));
        // A row added for a listed type shows what OK will do with it.
        Row(*form, QStringLiteral(".mpg"))->setCheckState(0, Qt::Checked);
        m_store->Set(".mpe", "", "mpgfile");
        QVERIFY(form->AddExtensionRow(".mpe"));
        QCOMPARE(Checks(test::Find<QTreeWidget>(form.get(), "lvTypes")),
                 (QList<bool>{true, false, true, true}));
        QVERIFY(m_store->Changes().empty());
    }

    void aRowWithoutFileTypeIsReportedAndTheListKept()
    {
        // A back end that can make no file type for .xyz, as the desktop may not.
        struct NoTypeForXyz : RegistryAssociationBackend
        {
            using RegistryAssociationBackend::RegistryAssociationBackend;
            AssociationStatus TakeOver(const std::string& extension) override
            {
                if (extension == ".xyz")
                    return {ZuvoraError::NoFileType, "no type for .xyz"};
                return RegistryAssociationBackend::TakeOver(extension);
            }
        } backend(*m_store, kProgram);
        TFileAssocForm form(nullptr, backend, ".xyz;.avi");
        test::Find<QPushButton>(&form, "btnSelectAll")->click();
        test::Find<QPushButton>(&form, "btnOk")->click();
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        QCOMPARE(MessageBox::ShownBoxes().front().text, QStringLiteral("no type for .xyz"));
        QCOMPARE(form.NewFileTypes(), std::optional<std::string>(".xyz;.avi"));
        QVERIFY(backend.ReadRow(".avi").owned);
    }

    void unreadableRowEmptiesTheList()
    {
        m_store->FailOn(MemoryRegistryStore::Operation::Read, ".mpg", EACCES);
        const auto form = Open(".avi;.mpg;.xyz");
        QCOMPARE(test::Find<QTreeWidget>(form.get(), "lvTypes")->topLevelItemCount(), 0);
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        QCOMPARE(MessageBox::ShownBoxes().front().caption, QStringLiteral("Registry hiba"));
        QCOMPARE(MessageBox::ShownBoxes().front().text,
                 QString::fromStdString(platform::ErrorMessage(platform::SystemError(EACCES))));

        // The list lost its rows to the error, not to the user: OK keeps the option, also after
        // a row was added, though the checked row is still taken over.
        AddThroughDialog(*form, [](TAddExtensionForm& dialog) {
            TypeAndConfirm(dialog, QStringLiteral("xyz"));
        });
        test::Find<QPushButton>(form.get(), "btnSelectAll")->click();
        test::Find<QPushButton>(form.get(), "btnOk")->click();
        QVERIFY(!form->NewFileTypes());
        QCOMPARE(m_store->Get(".xyz", ""), std::optional<std::string>("xyzfile"));
    }

    void translatesBothWindowsAndTheQuestion()
    {
        test::WriteFile(m_folder->file("t.lng"), "[FileAssoc]\n"
                                                 "100=File types\n"
                                                 "101=Select &all\n"
                                                 "103=\n"
                                                 "111=Description\n"
                                                 "200=Add extension\n"
                                                 "202=Cancel\n"
                                                 "300=Delete\n"
                                                 "301=Remove \"%e\" from the list?\n"
                                                 "[Errors]\n"
                                                 "200=Registry error\n");
        QVERIFY(Langunit().LoadLanguage("t"));
        const auto form = Open(".avi");
        QCOMPARE(form->windowTitle(), QStringLiteral("File types"));
        QCOMPARE(test::Find<QPushButton>(form.get(), "btnSelectAll")->text(),
                 QStringLiteral("Select &all"));
        QCOMPARE(test::Find<QPushButton>(form.get(), "btnDel")->text(), QStringLiteral("&Töröl"));
        QCOMPARE(test::Find<QTreeWidget>(form.get(), "lvTypes")->headerItem()->text(1),
                 QStringLiteral("Description"));
        QCOMPARE(test::Find<QTreeWidget>(form.get(), "lvTypes")->headerItem()->text(0),
                 QStringLiteral("Kiterjesztés"));

        TAddExtensionForm dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add extension"));
        QCOMPARE(test::Find<QPushButton>(&dialog, "btnOk")->text(), QStringLiteral("OK"));
        QCOMPARE(test::Find<QPushButton>(&dialog, "btnCancel")->text(), QStringLiteral("Cancel"));

        test::Find<QTreeWidget>(form.get(), "lvTypes")
            ->setCurrentItem(test::Find<QTreeWidget>(form.get(), "lvTypes")->topLevelItem(0));
        MessageBox::SetNextAnswer(QMessageBox::No);
        form->btnDelClick();
        QCOMPARE(MessageBox::ShownBoxes().back().caption, QStringLiteral("Delete"));
        QCOMPARE(MessageBox::ShownBoxes().back().text,
                 QStringLiteral("Remove \".avi\" from the list?"));

        m_store->FailOn(MemoryRegistryStore::Operation::Read, "", EACCES);
        test::Find<QPushButton>(form.get(), "btnOk")->click();
        QCOMPARE(MessageBox::ShownBoxes().back().caption, QStringLiteral("Registry error"));
    }
};

QTEST_MAIN(FileAssocFormTest)
#include "file_assoc_form_test.moc"
