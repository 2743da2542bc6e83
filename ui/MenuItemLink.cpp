#include "ui/MenuItemLink.h"

#include <QAction>

namespace {

void copyLook(const QAction* action, QAction* item)
{
    item->setText(action->text());
    item->setIcon(action->icon());
    item->setEnabled(action->isEnabled());
    item->setProperty("hint", action->property("hint"));
    // Shown in the menu; the key itself belongs to the action.
    item->setShortcut(action->shortcut());
    item->setShortcutContext(Qt::WidgetShortcut);
}

}  // namespace

QAction* linkedMenuItem(QAction* action, const char* itemName, QObject* parent)
{
    auto* item = new QAction(parent);
    item->setObjectName(QString::fromLatin1(itemName));
    copyLook(action, item);
    QObject::connect(action, &QAction::changed, item, [action, item] { copyLook(action, item); });
    QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    return item;
}
