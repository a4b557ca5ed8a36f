#include "shutdown/qt/countdown_form.h"
#include "support/find_control.h"
#include "widgets/qt/markup_label.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <map>

using namespace zuv;

class CountdownFormTest : public QObject
{
    Q_OBJECT

private:
    static QString LabelText(const TCountdownForm& form)
    {
        return test::Find<TMarkupLabel>(&form, "Label")->HTMLText().join(QString());
    }
    static QString DesignTextWith(int seconds)
    {
        return QString::fromUtf8(
                   "<p align=\"center\"><br>A számítógép leáll <b>%1</b> másodperc múlva</p>")
            .arg(seconds);
    }

private slots:
    void ShowsTheFullCountFirstAndEndsWithOk()
    {
        TCountdownForm form;
        QCOMPARE(form.windowTitle(), QString::fromUtf8("Kikapcsolás"));
        // As drawn (242 by 85, the label across the top), wider where the font needs it.
        QCOMPARE(form.size().expandedTo(QSize(242, 85)), form.size());
        QCOMPARE(form.height(), 85);
        auto* Label = test::Find<TMarkupLabel>(&form, "Label");
        QCOMPARE(Label->geometry(), QRect(0, 8, form.width(), 41));
        QSignalSpy finished(&form, &QDialog::finished);

        form.StartCountdown(30);
        QCOMPARE(LabelText(form), DesignTextWith(30));
        auto* Timer = test::Find<QTimer>(&form, "Timer");
        QVERIFY(Timer->isActive());
        // The sentence fits on the second line of the label in the window's font.
        const MarkupLayout layout = Label->CurrentLayout();
        QCOMPARE(layout.lines.size(), std::size_t(2));
        QCOMPARE(layout.lines[1].runs.back().text, std::string("múlva"));
        QCOMPARE(Timer->interval(), 1000);
        form.TimerTimer();
        QCOMPARE(LabelText(form), DesignTextWith(29));
        for (int tick = 2; tick < 30; ++tick)
            form.TimerTimer();
        QCOMPARE(finished.count(), 0);
        form.TimerTimer();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
        QCOMPARE(LabelText(form), DesignTextWith(0));
        QVERIFY(!Timer->isActive());

        // The next countdown starts from the template, not from what the label showed last.
        form.StartCountdown(30);
        QCOMPARE(LabelText(form), DesignTextWith(30));
    }

    void RunsModallyOnItsTimer()
    {
        TCountdownForm form;
        form.StartCountdown(3);
        test::Find<QTimer>(&form, "Timer")->setInterval(1);
        QCOMPARE(form.exec(), int(QDialog::Accepted));
        QCOMPARE(form.SecondsLeft(), 0);
    }

    void CancelButtonAndCloseBoxCancel()
    {
        TCountdownForm form;
        form.StartCountdown(30);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(test::Find<QPushButton>(&form, "btnCancel"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
        QVERIFY(!test::Find<QTimer>(&form, "Timer")->isActive());

        form.StartCountdown(30);
        form.setResult(QDialog::Accepted);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.TimerTimer();
        QVERIFY(form.close());
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(form.SecondsLeft(), 29);
    }

    void TranslatedTextsAreUsed()
    {
        std::map<std::string, std::string> texts = {
            {"100", "Shutdown"}, {"101", "Power-off in <b>%s</b> s"}, {"102", "Cancel"}};
        std::vector<std::string> asked;
        TCountdownForm form;
        form.SetTextLookup(
            [&](std::string_view section, std::string_view key, std::string_view builtIn) {
                asked.push_back(std::string(section) + "/" + std::string(key) + "=" +
                                std::string(builtIn));
                const auto found = texts.find(std::string(key));
                return found != texts.end() ? found->second : std::string(builtIn);
            });
        form.StartCountdown(5);
        QCOMPARE(form.windowTitle(), QStringLiteral("Shutdown"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnCancel")->text(), QStringLiteral("Cancel"));
        QCOMPARE(LabelText(form),
                 QStringLiteral("<p align=\"center\">Power-off in <b>5</b> s</p>"));
        QCOMPARE(asked, (std::vector<std::string>{"Shutdown/100=Kikapcsolás", "Shutdown/102=Mégsem",
                                                  "Shutdown/101="}));

        // A text without the placeholder shows as it is and the count still ends.
        texts["101"] = "Goodbye";
        form.StartCountdown(2);
        QCOMPARE(LabelText(form), QStringLiteral("<p align=\"center\">Goodbye</p>"));
        QSignalSpy finished(&form, &QDialog::finished);
        form.TimerTimer();
        form.TimerTimer();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(form.result(), int(QDialog::Accepted));

        // A silent language file leaves the design text.
        texts.clear();
        form.StartCountdown(30);
        QCOMPARE(LabelText(form), DesignTextWith(30));
        QCOMPARE(form.windowTitle(), QStringLiteral("Shutdown"));
    }

    void ZeroOrLessEndsAtTheFirstTick()
    {
        TCountdownForm form;
        form.StartCountdown(0);
        QCOMPARE(LabelText(form), DesignTextWith(0));
        form.TimerTimer();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(LabelText(form), DesignTextWith(-1));
    }
};

QTEST_MAIN(CountdownFormTest)
#include "countdown_form_test.moc"
