#include "widgets/qt/control_fit.h"

#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace zuv {

QSize ButtonSizeForCaption(const QPushButton& button)
{
    // The style's frame: what it keeps of a button's rectangle for the caption.
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.rect = QRect(0, 0, 200, 100);
    const QRect contents =
        button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    const QFontMetrics metrics = button.fontMetrics();
    const QSize caption = metrics.size(Qt::TextShowMnemonic, button.text());
    int width = caption.width() + 2 * metrics.horizontalAdvance(QLatin1Char(' ')) +
                option.rect.width() - contents.width();
    if (!button.icon().isNull())
        width += button.iconSize().width() + 4;
    const int height = std::max(button.sizeHint().height(),
                                caption.height() + option.rect.height() - contents.height());
    return {width, height};
}

void FitFixedWindow(QWidget& window, QSize drawn)
{
    if (QLayout* layout = window.layout())
        layout->invalidate();
    window.setFixedSize(window.sizeHint().expandedTo(window.minimumSizeHint()).expandedTo(drawn));
}

} // namespace zuv
