#include "widgets/qt/markup_label.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace zuv;

class MarkupLabelTest : public QObject
{
    Q_OBJECT

private:
    static void MoveMouse(QWidget* widget, QPoint point)
    {
        QMouseEvent move(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

private slots:
    void SizesItselfOpensOnlyUrlsAndShowsTheHand()
    {
        QWidget window;
        auto* label = new TMarkupLabel(&window);
        label->setGeometry(8, 8, 180, 162);
        QStringList opened;
        label->SetLinkOpener([&](const QString& target) { opened << target; });
        QSignalSpy clicked(label, &TMarkupLabel::AnchorClick);

        label->SetAutoSizing(true);
        label->SetHTMLText(QStringList{QStringLiteral("<b>Zuvora</b> v1<br>"),
                                       QStringLiteral("E-Mail: <a href=\"mailto:anna@example.org\">"
                                                      "anna</a><br>"),
                                       QStringLiteral("Local: <a href=\"readme\">readme</a>")});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QFontMetrics normal(label->font());
        QFont boldFont(label->font());
        boldFont.setBold(true);
        QFont linkFont(label->font());
        linkFont.setUnderline(true);
        const QFontMetrics bold(boldFont);
        const QFontMetrics link(linkFont);
        const int widest = std::max({bold.horizontalAdvance(QStringLiteral("Zuvora")) +
                                         normal.horizontalAdvance(QStringLiteral(" v1")),
                                     normal.horizontalAdvance(QStringLiteral("E-Mail: ")) +
                                         link.horizontalAdvance(QStringLiteral("anna")),
                                     normal.horizontalAdvance(QStringLiteral("Local: ")) +
                                         link.horizontalAdvance(QStringLiteral("readme"))});
        const int lineHeight = std::max(normal.height(), bold.height());
        QCOMPARE(label->size(), QSize(widest + 6, lineHeight + 2 * normal.height() + 6));
        QCOMPARE(label->pos(), QPoint(8, 8));

        // The second line: "E-Mail: " then the link.
        const QPoint onMail(normal.horizontalAdvance(QStringLiteral("E-Mail: ")) + 2,
                            lineHeight + normal.height() / 2);
        const QPoint offLink(2, lineHeight + normal.height() / 2);
        QCOMPARE(label->LinkAt(onMail), std::optional(QStringLiteral("mailto:anna@example.org")));

        MoveMouse(label, onMail);
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        MoveMouse(label, offLink);
        QCOMPARE(label->cursor().shape(), Qt::ArrowCursor);

        QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, offLink);
        QVERIFY(opened.isEmpty());
        QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, onMail);
        QCOMPARE(opened, QStringList{QStringLiteral("mailto:anna@example.org")});

        // A target that is neither a URL nor an address is not opened.
        const QPoint onReadme(normal.horizontalAdvance(QStringLiteral("Local: ")) + 2,
                              lineHeight + normal.height() + normal.height() / 2);
        QTest::mouseClick(label, Qt::RightButton, Qt::NoModifier, onReadme);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().first().toString(), QStringLiteral("readme"));

        // A shorter text shrinks the label again.
        label->SetHTMLText(QStringLiteral("ab"));
        QCOMPARE(label->size(),
                 QSize(normal.horizontalAdvance(QStringLiteral("ab")) + 6, normal.height() + 6));
    }
};

QTEST_MAIN(MarkupLabelTest)
#include "markup_label_test.moc"
