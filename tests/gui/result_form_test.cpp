#include "playback/qt/result_form.h"
#include "support/find_control.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

using zuv::TResultForm;

class ResultFormTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_form = new TResultForm; }
    void cleanup() { delete m_form; }

    void looksAsDesigned()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("MPlayer kimenet"));
        QCOMPARE(m_form->size(), QSize(504, 332));
        QCOMPARE(m_form->windowType(), Qt::Window);
        QPlainTextEdit* memo = zuv::test::Find<QPlainTextEdit>(m_form, "Memo");
        QCOMPARE(memo->objectName(), QStringLiteral("Memo"));
        QVERIFY(memo->isReadOnly());
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        QCOMPARE(memo->geometry(), m_form->rect());
    }

    void addsLinesAndClears()
    {
        m_form->AddLine("commandline: \"clip.avi\"");
        m_form->AddLines({"MPlayer 1.5", "", "ütközés"});
        m_form->AddLines({});
        m_form->AddLine("...exited, code: 0");
        QCOMPARE(zuv::test::Find<QPlainTextEdit>(m_form, "Memo")->toPlainText(),
                 QStringLiteral("commandline: \"clip.avi\"\nMPlayer 1.5\n\nütközés\n"
                                "...exited, code: 0"));
        QCOMPARE(zuv::test::Find<QPlainTextEdit>(m_form, "Memo")->blockCount(), 5);
        m_form->Clear();
        QCOMPARE(zuv::test::Find<QPlainTextEdit>(m_form, "Memo")->toPlainText(), QString());
        m_form->AddLine("first");
        QCOMPARE(zuv::test::Find<QPlainTextEdit>(m_form, "Memo")->toPlainText(),
                 QStringLiteral("first"));
    }

    void scrollsToTheNewestLine()
    {
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        QScrollBar* bar = zuv::test::Find<QPlainTextEdit>(m_form, "Memo")->verticalScrollBar();
        for (int i = 0; i < 300; ++i)
            m_form->AddLine("line " + std::to_string(i));
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        // Even when the user had scrolled up.
        bar->setValue(0);
        m_form->AddLines({"newest"});
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(zuv::test::Find<QPlainTextEdit>(m_form, "Memo")->textCursor().atEnd());
    }

    void captionComesFromTheProviderOnShow()
    {
        int asked = 0;
        std::string caption;
        m_form->SetCaptionProvider([&] {
            ++asked;
            return caption;
        });
        m_form->Show();
        QCOMPARE(asked, 1);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("MPlayer kimenet"));
        m_form->hide();
        caption = "MPlayer output";
        m_form->Show();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("MPlayer output"));
        // Showing a visible window changes nothing.
        caption = "Other";
        const QRect geometry = m_form->geometry();
        m_form->Show();
        QCOMPARE(asked, 2);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("MPlayer output"));
        QCOMPARE(m_form->geometry(), geometry);
        // A change of language applies at once.
        m_form->Translate();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Other"));
    }

    void aVeryLongLineWrapsAndIsKeptWhole()
    {
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        const std::string status(4000, 'A');
        m_form->AddLine(status);
        QCoreApplication::processEvents();
        QPlainTextEdit* memo = zuv::test::Find<QPlainTextEdit>(m_form, "Memo");
        QCOMPARE(memo->blockCount(), 1);
        QCOMPARE(memo->toPlainText().size(), 4000);
        QVERIFY(!memo->horizontalScrollBar()->isVisible());
        const QTextBlock block = memo->document()->firstBlock();
        QVERIFY(block.layout()->lineCount() > 1);
    }

    void aLineOfMegabytesGoesOnInTheNextLines()
    {
        constexpr qsizetype kMax = qsizetype(TResultForm::kMaxShownLineBytes);
        // "é" is two bytes, and the first cut would fall between them.
        std::string garbage(std::size_t(kMax - 1), 'a');
        garbage.append("é").append(std::size_t(2 * kMax), 'b');
        m_form->AddLines({"before", garbage, "after"});
        m_form->AddLine(garbage);
        const QStringList lines =
            zuv::test::Find<QPlainTextEdit>(m_form, "Memo")->toPlainText().split(QLatin1Char('\n'));
        const QStringList pieces{QString(kMax - 1, u'a'),
                                 QStringLiteral("é") + QString(kMax - 2, u'b'), QString(kMax, u'b'),
                                 QStringLiteral("bb")};
        QCOMPARE(lines, QStringList{QStringLiteral("before")} + pieces +
                            QStringList{QStringLiteral("after")} + pieces);
    }

    // The text follows the bounded log through every kind of change: the first line and the
    // notice in one batch, old lines dropped, a batch that replaces all newest lines.
    void keepsTheFirstLineAndTheNewestWithinItsLimits()
    {
        TResultForm form({3, 1000, 100});
        const auto text = [&form] {
            return zuv::test::Find<QPlainTextEdit>(&form, "Memo")->toPlainText();
        };
        form.AddLines({"cmd", "1", "2", "3", "4"});
        QCOMPARE(text(), QStringLiteral("cmd\n... 1 older lines left out ...\n2\n3\n4"));
        form.AddLine("5");
        QCOMPARE(text(), QStringLiteral("cmd\n... 2 older lines left out ...\n3\n4\n5"));
        form.AddLines({"6", "7", "8", "9"});
        QCOMPARE(text(), QStringLiteral("cmd\n... 6 older lines left out ...\n7\n8\n9"));
        form.Clear();
        form.AddLines({"cmd", "a\x1b[J"});
        form.AddLines({"b", "c"});
        QCOMPARE(text(), QStringLiteral("cmd\na\nb\nc"));
        form.AddLine("d");
        QCOMPARE(text(), QStringLiteral("cmd\n... 1 older lines left out ...\nb\nc\nd"));
    }

private:
    TResultForm* m_form = nullptr;
};

QTEST_MAIN(ResultFormTest)
#include "result_form_test.moc"
