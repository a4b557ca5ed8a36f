#include "lang/language.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "support/test_support.h"
#include "support/window_fit.h"

#include <QTabWidget>
#include <QTest>

#include <memory>

using namespace zuv;

namespace {

// The languages the program ships, and its built-in one (no file).
void AddLanguageRows()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("built-in") << QString();
    QTest::newRow("enu") << QStringLiteral("enu");
    QTest::newRow("deu") << QStringLiteral("deu");
}

void LoadShippedLanguage(const QString& language)
{
    Langunit() = Language(test::TestDataPath("../../lang/"));
    if (!language.isEmpty())
        QVERIFY(Langunit().LoadLanguage(language.toStdString()));
}

// The settings dialog as the program sets it up: languages listed, versions known, translated.
struct Dialog
{
    Dialog() : form(new TSettingsForm(&main))
    {
        form->FillLanguageList();
        form->SetVersions(QStringLiteral("1.4.0.7"), QStringLiteral("1.5-12.2.0"));
        form->TranslateSettingsForm();
        form->ApplyOptions(Options{});
    }
    QWidget main;
    TSettingsForm* form;
};

// Every page in turn, shown as the user sees it; one line per problem, naming the page.
QStringList ProblemsOfEveryPage(TSettingsForm& form)
{
    QStringList problems;
    auto* pages = test::Find<QTabWidget>(&form, "PageControl1");
    form.show();
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QCoreApplication::processEvents();
        for (const QString& problem : test::FitProblems(form)) {
            // The installed fonts' names are the user's, not the program's texts; the list's
            // field stays narrow and shows the chosen name as far as it goes.
            if (problem.startsWith(QLatin1String("TSettingsForm/comboFont is cut")))
                continue;
            problems << pages->tabText(page) + QStringLiteral(": ") + problem;
        }
    }
    return problems;
}

} // namespace

class SettingsFitTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::ApplyFitTestFont(); }
    void cleanup() { Langunit() = Language(); }

    void everyPageFitsItsTexts_data() { AddLanguageRows(); }
    void everyPageFitsItsTexts()
    {
        QFETCH(QString, language);
        LoadShippedLanguage(language);
        Dialog dialog;
        const QStringList problems = ProblemsOfEveryPage(*dialog.form);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        // The designed size is the least it ever has.
        QVERIFY(dialog.form->width() >= TSettingsForm::kDesignedWidth);
        QVERIFY(dialog.form->height() >= TSettingsForm::kDesignedHeight);
    }

    // A change of language while the dialog is open lays it out again for the new texts.
    void languageChangedWhileOpen_data() { AddLanguageRows(); }
    void languageChangedWhileOpen()
    {
        QFETCH(QString, language);
        LoadShippedLanguage(QString());
        Dialog dialog;
        dialog.form->show();
        QCoreApplication::processEvents();
        LoadShippedLanguage(language);
        dialog.form->TranslateSettingsForm();
        const QStringList problems = ProblemsOfEveryPage(*dialog.form);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // A larger application font, set while the dialog is open, makes it grow around its texts.
    void growsWithTheApplicationFont()
    {
        LoadShippedLanguage(QStringLiteral("deu"));
        const QFont before = QApplication::font();
        Dialog dialog;
        dialog.form->show();
        QCoreApplication::processEvents();
        const QSize small = dialog.form->size();
        QFont larger = before;
        larger.setPointSizeF(before.pointSizeF() * 1.5);
        QApplication::setFont(larger);
        QCoreApplication::processEvents();
        const QSize large = dialog.form->size();
        const QStringList problems = ProblemsOfEveryPage(*dialog.form);
        QApplication::setFont(before);
        QVERIFY2(large.width() > small.width() && large.height() > small.height(),
                 qPrintable(QStringLiteral("%1x%2 -> %3x%4")
                                .arg(small.width())
                                .arg(small.height())
                                .arg(large.width())
                                .arg(large.height())));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(SettingsFitTest)
#include "settings_fit_test.moc"
