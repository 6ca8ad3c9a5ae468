#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>

class Database;
class Session;

// A public holiday; a recurring one is stored in the year 2000 and applies on
// its day and month every year.
struct Holiday
{
    qint64 number = 0; // 0: not saved yet
    QDate date;
    bool recurring = false;
    QString label;

    bool appliesOn(const QDate &day) const;
};

// A kind of leave with its yearly period (day and month) and its colours.
struct LeaveType
{
    QString code;
    QString label;
    QDate periodStart; // only day and month matter
    QDate periodEnd;
    int defaultDays = 0;
    int background = 0xFFFFFF;
    int text = 0;
};

namespace TimeOff {

Outcome holidays(Database &db, QList<Holiday> *holidays); // recurring first, newest first
Outcome saveHoliday(Database &db, Holiday *holiday);
Outcome removeHoliday(Database &db, qint64 number);
// Whether a date is a holiday (the planning asks it for every day it draws).
bool isHoliday(const QList<Holiday> &holidays, const QDate &day);

Outcome leaveTypes(Database &db, QList<LeaveType> *types);
Outcome saveLeaveType(Database &db, const LeaveType &type);
// Refused while any leave entry uses the type.
Outcome removeLeaveType(Database &db, const QString &code);

} // namespace TimeOff
