#pragma once

// Finds texts that do not fit their controls and controls that overlap, in a window laid out as
// the user sees it. Used by the *_fit_test programs, which CMake runs at several scales and with a
// larger application font (see ApplyFitTestFont).

#include "widgets/qt/markup_label.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTabBar>
#include <QWidget>

namespace zuv::test {

// Sets the application font's point size from ZUVORA_TEST_FONT_SIZE when it is set (CMake's
// "font" run of each fit test); call before the windows are made.
inline void ApplyFitTestFont()
{
    const int points = qEnvironmentVariableIntValue("ZUVORA_TEST_FONT_SIZE");
    if (points <= 0)
        return;
    QFont font = QApplication::font();
    font.setPointSize(points);
    QApplication::setFont(font);
}

namespace fit_detail {

inline QString Describe(const QWidget* widget)
{
    QString name = widget->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(widget->metaObject()->className());
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        text = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text = button->text();
    else if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        text = box->title();
    if (!text.isEmpty())
        name += QStringLiteral(" \"%1\"").arg(text);
    return QString::fromLatin1(widget->window()->metaObject()->className()) + QLatin1Char('/') +
           name;
}

inline QString SizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

inline bool Fits(QSize needed, QSize has)
{
    return needed.width() <= has.width() && needed.height() <= has.height();
}

// Qt's own parts of composite widgets (scroll area viewports, spin box editors and the like).
inline bool IsInternal(const QWidget* widget)
{
    return widget->objectName().startsWith(QLatin1String("qt_"));
}

inline void CheckText(const QWidget* widget, QStringList& problems)
{
    auto cut = [&](const QString& text, QSize needed, QSize has) {
        problems << QStringLiteral("%1 is cut (\"%2\"): needs %3, has %4")
                        .arg(Describe(widget), text, SizeText(needed), SizeText(has));
    };
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty())
            return;
        if (label->text().contains(QChar(0x2026)))
            cut(label->text(), {}, label->size());
        else if (label->wordWrap() && label->heightForWidth(label->width()) > label->height())
            cut(label->text(), {label->width(), label->heightForWidth(label->width())},
                label->size());
        else if (!label->wordWrap() && !Fits(label->sizeHint(), label->size()))
            cut(label->text(), label->sizeHint(), label->size());
    } else if (const auto* push = qobject_cast<const QPushButton*>(widget)) {
        if (push->text().isEmpty())
            return;
        // A push button's size hint has a minimum width of its own; what counts is the text.
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        const QRect contents =
            push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
        QSize needed = push->fontMetrics().size(Qt::TextShowMnemonic, push->text());
        if (!push->icon().isNull())
            needed.rwidth() += push->iconSize().width() + 4;
        if (!Fits(needed, contents.size()))
            cut(push->text(), needed, contents.size());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        if (!button->text().isEmpty() && !Fits(button->sizeHint(), button->size()))
            cut(button->text(), button->sizeHint(), button->size());
    } else if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
        if (!box->title().isEmpty() && box->minimumSizeHint().width() > box->width())
            cut(box->title(), box->minimumSizeHint(), box->size());
    } else if (const auto* markup = qobject_cast<const zuv::TMarkupLabel*>(widget)) {
        // The label leaves out the lines below its bottom and lets a long word run past its
        // right edge.
        const zuv::MarkupLayout whole = markup->LayoutAtWidth(markup->width());
        const QSize needed(whole.widestLine, whole.totalHeight);
        if (!markup->HTMLText().join(QString()).isEmpty() && !Fits(needed, markup->size()))
            cut(markup->HTMLText().join(QString()), needed, markup->size());
    } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        // The user's own entries (file names) may be long; the program's fixed choices must fit.
        if (combo->isEditable())
            return;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i) {
            const int needed = combo->fontMetrics().horizontalAdvance(combo->itemText(i));
            if (needed > field.width())
                cut(combo->itemText(i), {needed, field.height()}, field.size());
        }
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(widget)) {
        // The text and the style's spacing, as the tab bar sizes a tab that is not elided.
        const int spacing = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            const QRect rect = tabs->tabRect(i);
            const QSize needed = tabs->fontMetrics().size(Qt::TextShowMnemonic, tabs->tabText(i)) +
                                 QSize(spacing, 0);
            if (needed.width() > rect.width() || !tabs->rect().contains(rect))
                cut(tabs->tabText(i), needed, rect.size());
        }
    } else if (const auto* header = qobject_cast<const QHeaderView*>(widget)) {
        for (int i = 0; i < header->count(); ++i) {
            if (header->isSectionHidden(i) || header->sectionSize(i) == 0)
                continue;
            const QString text = header->model()->headerData(i, header->orientation()).toString();
            if (!text.isEmpty() && header->sectionSizeHint(i) > header->sectionSize(i))
                cut(text, {header->sectionSizeHint(i), header->height()},
                    {header->sectionSize(i), header->height()});
        }
    }
}

} // namespace fit_detail

// One line for each text that does not fit its control, each control that reaches outside its
// parent, and each pair of visible sibling controls that overlap; empty when the window fits.
// Lay the window out first (show it, or call adjustSize/ensurePolished as the window would).
inline QStringList FitProblems(const QWidget& window)
{
    using namespace fit_detail;
    QStringList problems;
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    auto shown = [&](const QWidget* widget) {
        return !widget->isWindow() && widget->isVisibleTo(&window) && !IsInternal(widget);
    };
    for (const QWidget* widget : widgets) {
        if (!shown(widget))
            continue;
        CheckText(widget, problems);
        const QWidget* parent = widget->parentWidget();
        if (parent && !IsInternal(parent) && !parent->rect().contains(widget->geometry()))
            problems << QStringLiteral("%1 reaches outside %2: it ends at %3, the parent is %4")
                            .arg(Describe(widget), Describe(parent),
                                 SizeText({widget->geometry().right() + 1,
                                           widget->geometry().bottom() + 1}),
                                 SizeText(parent->size()));
    }
    for (const QWidget* parent :
         QList<const QWidget*>{&window} + QList<const QWidget*>(widgets.cbegin(), widgets.cend())) {
        QList<const QWidget*> siblings;
        for (const QObject* child : parent->children()) {
            const auto* widget = qobject_cast<const QWidget*>(child);
            if (widget && shown(widget))
                siblings << widget;
        }
        for (int i = 0; i < siblings.size(); ++i)
            for (int j = i + 1; j < siblings.size(); ++j)
                if (siblings[i]->geometry().intersects(siblings[j]->geometry()))
                    problems << QStringLiteral("%1 overlaps %2")
                                    .arg(Describe(siblings[i]), Describe(siblings[j]));
    }
    return problems;
}

} // namespace zuv::test
