#pragma once

#include "core/Outcome.h"
#include "reports/ListRequest.h"

#include <QList>
#include <QString>
#include <QStringList>

class Database;
class Session;
class Terms;
struct Task;

// A resource or a client as the task form lists it.
struct LinkedItem
{
    qint64 number = 0;
    QString label;
    int type = 0; // typeressource, or typesoc (1: an individual)
    QString icon; // nomico
};

// What the task form reads about the resources and clients of a task, and
// the mail it sends about it.
namespace TaskLinks {

// The listed resources, by label; numbers that no longer exist are left out.
Outcome resources(Session &session, const QList<qint64> &numbers, QList<LinkedItem> *items);
Outcome clients(Session &session, const QList<qint64> &numbers, QList<LinkedItem> *items);

// The selection lists offering what is not listed yet.
ListRequest resourceRequest(const Terms &terms, const QList<qint64> &listed);
ListRequest clientRequest(const Terms &terms, const QList<qint64> &listed);

// The members of a team; a team without one is refused with a message.
Outcome teamMembers(Session &session, qint64 team, QList<LinkedItem> *members);

// The addresses of the assigned resources that have one, by resource label.
Outcome mailRecipients(Database &db, const QList<qint64> &resources, QStringList *addresses);
// The text of the mail about a task: the parts the workstation asks for.
QString mailBody(Session &session, const Task &task, const QStringList &clientLabels);

// A client as listed: the company name, or an individual's names.
QString clientLabel(const QString &libsoc, int typesoc, const QString &surname, const QString &firstName);

} // namespace TaskLinks
