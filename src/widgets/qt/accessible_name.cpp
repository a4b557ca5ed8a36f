#include "widgets/qt/accessible_name.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace zuv {

namespace {

// "&&" is a shown "&"; a lone "&" marks the access key.
QString WithoutAccessKeyMark(const QString& caption)
{
    QString name;
    name.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        name += caption[i];
    }
    return name;
}

} // namespace

void NameAfterCaption(QWidget* control, const QString& caption)
{
    const QString name = WithoutAccessKeyMark(caption);
    control->setAccessibleName(name);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(name);
}

void NameAfter(QWidget* control, const QWidget* caption)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(caption))
        NameAfterCaption(control, button->text());
    else if (const auto* label = qobject_cast<const QLabel*>(caption))
        NameAfterCaption(control, label->text());
}

} // namespace zuv
