#include "tasks/RecipientItems.h"

#include <QIcon>
#include <QListWidget>

void showRecipientItems(QListWidget *list, const QList<TaskAlerts::Choice> &choices)
{
    list->clear();
    for (const TaskAlerts::Choice &c : choices) {
        auto *item = new QListWidgetItem(c.label, list);
        item->setIcon(QIcon::fromTheme(c.group ? QStringLiteral("system-users") : QStringLiteral("user-identity")));
        item->setToolTip(c.group ? QStringLiteral("Groupe") : QStringLiteral("Utilisateur"));
    }
}
