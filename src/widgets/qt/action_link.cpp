#include "widgets/qt/action_link.h"

#include <QAbstractButton>
#include <QAction>

namespace zuv {

void LinkButtonToAction(QAbstractButton* button, QAction* action)
{
    const auto update = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    };
    update();
    QObject::connect(action, &QAction::changed, button, update);
    QObject::connect(button, &QAbstractButton::clicked, action, [action] {
        if (action->isEnabled())
            action->trigger();
    });
}

} // namespace zuv
