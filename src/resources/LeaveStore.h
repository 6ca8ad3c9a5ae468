#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>

class Database;
class Session;
class Terms;
struct CompanyHours;

// A resource's dated absence, kept as a task whose codeconge names the leave
// type: one range, one resource, no client.
struct LeaveEntry
{
    qint64 number = 0; // task number, 0: not saved yet
    qint64 resource = 0;
    QString leaveType;
    QDate startDate;
    QString startTime = QStringLiteral("09:00");
    QDate endDate;
    QString endTime = QStringLiteral("18:00");
    double days = 0;
    double hours = 0;
    QString comment;
    bool locked = false; // blocadm
};

// A resource as the leave screen lists it.
struct LeaveResource
{
    qint64 number = 0;
    QString label;
};

namespace LeaveStore {

// Every resource, by type then label; an empty table is refused.
Outcome resources(Database &db, const Terms &terms, QList<LeaveResource> *list);

Outcome load(Database &db, qint64 task, LeaveEntry *entry);

// The working days and hours of the entry's range.
void computeDurations(const CompanyHours &company, LeaveEntry *entry);

// Checks, then writes the task in one transaction; a new entry gets its number.
// An existing one is saved to the undo history first, a new one after.
Outcome save(Session &session, LeaveEntry *entry);

// Saves the entry to the undo history as a deletion, then deletes it.
Outcome remove(Session &session, qint64 task);

} // namespace LeaveStore
