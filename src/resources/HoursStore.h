#pragma once

#include "core/Outcome.h"
#include "resources/WorkingTime.h"

#include <QList>

class Database;

// A named start/end pair offered when entering tasks and leave.
struct TimeSlot
{
    qint64 number = 0; // 0: not saved yet
    QString label;
    QString start = QStringLiteral("09:00");
    QString end = QStringLiteral("18:00");
    int endDay = 0; // 1: the slot ends the next day ("J+1")

    // "Matin (08:00 - 12:00)", with " J+1" for a slot ending the next day.
    QString text() const;
};

// Saving the company hours and the predefined slots.
namespace HoursStore {

// A working day at least, and an end not before the start.
Outcome checkCompanyHours(const CompanyHours &hours);
Outcome saveCompanyHours(Database &db, const CompanyHours &hours);

Outcome timeSlots(Database &db, QList<TimeSlot> *list); // by start time
// The slot as stored now: another workstation may have deleted it.
Outcome findSlot(Database &db, qint64 number, TimeSlot *slot);
Outcome saveSlot(Database &db, TimeSlot *slot);
Outcome removeSlot(Database &db, qint64 number);

} // namespace HoursStore
