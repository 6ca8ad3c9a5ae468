#pragma once

#include "core/Outcome.h"
#include "reports/ListRequest.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Database;
class Session;

// A task's alert: one kp_alertes row per recipient, all numbered like the
// task. User codes are plain here and encoded in the database.
namespace TaskAlerts {

// One entry of the offset list; no minutes for "Pas d'alerte".
struct Offset
{
    QString label;
    std::optional<int> minutes;
};
const QList<Offset> &offsets();
// The entry showing these stored minutes (0, "Pas d'alerte", when none does).
int offsetIndex(std::optional<int> minutes);

// One line of the recipient chooser: a user (code) or a group (number as text).
struct Choice
{
    bool group = false;
    QString key;
    QString label;
};
Outcome readChoices(Database &db, QList<Choice> *choices);

// The selection list of the groups and users not listed yet, and the line
// picked in it. Alerts and internal messages choose their recipients so.
ListRequest recipientRequest(const QList<Choice> &listed, const QString &caption = QStringLiteral("Liste des Groupes"));
Choice choiceFrom(const ListAnswer &answer);

// The user codes an alert goes to: the users plus every member of the groups,
// each once, in that order. Nobody left is refused.
Outcome expandRecipients(Database &db, const QStringList &users, const QList<int> &groups, QStringList *codes);

struct Row
{
    QString recipient;
    QString creator;
    QString created; // as the database returns it
};
struct Alert
{
    std::optional<int> minutes; // none: the task has no alert
    QString comment;
    QList<Row> rows;
};
Outcome load(Database &db, qint64 task, Alert *alert);

// Writes the alert after the task itself was committed: no minutes removes it.
// Rows of users still addressed keep their creation date and creator.
Outcome write(Session &session, qint64 task, std::optional<int> minutes, const QString &comment,
              const QStringList &recipients);

// Part of a task's deletion: runs in the caller's transaction.
Outcome removeForTask(Database &db, qint64 task);

} // namespace TaskAlerts
