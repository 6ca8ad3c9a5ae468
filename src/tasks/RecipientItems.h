#pragma once

#include "tasks/TaskAlerts.h"

class QListWidget;

// Shows chosen recipients in a list, a group or a user icon before each.
void showRecipientItems(QListWidget *list, const QList<TaskAlerts::Choice> &choices);
