#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QString>

class Database;

// The company's working hours (the one row of kp_paramplan), as every
// reader sees them: times normalised to "hh:mm", an end of day "00:00" read
// as "24:00", and the defaults when the row does not exist yet.
struct CompanyHours
{
    QString hordeb = QStringLiteral("09:00");
    QString horfin = QStringLiteral("18:00");
    QString durjour = QStringLiteral("08:00");
    QString jourstrav = QStringLiteral("1111100"); // Monday first, "1" = working day
    QString hordmatmens = QStringLiteral("09:00");
    QString horfmatmens = QStringLiteral("13:00");
    QString hordapmens = QStringLiteral("14:00");
    QString horfapmens = QStringLiteral("18:00");
    QString hordmatann = QStringLiteral("09:00");
    QString horfapann = QStringLiteral("18:00");

    // Whether a weekday (1 Monday … 7 Sunday) is worked.
    bool isWorkingDay(int weekday) const;

    static Outcome read(Database &db, CompanyHours *hours);
};

namespace WorkingTime {

// "h:m" texts to "hh:mm": hours above 23 become 23, minutes above 59 become 59.
QString normaliseTime(const QString &time);
// "hh:mm" to minutes from midnight ("24:00" is 1440), and back.
int minutesOfDay(const QString &hhmm);
QString timeOfDay(int minutes);

}

// Hours from a to b ("hh:mm"), b − a as a decimal number (single precision,
// as stored durations have always been computed).
double HoursBetween(const QString &a, const QString &b);

// Working days of a dated range: calendar days less the days off, plus the
// share of a day that the range's hours make of the company day (a whole day
// from 90 %, half a day from 40 %). 0 when a date or a time is missing.
double CalculNbJours(const QDate &startDate, const QString &startTime, const QDate &endDate, const QString &endTime,
                     const CompanyHours &company);

// The hours of a range too short to count as half a day; 0 otherwise.
double CalculNbHeures(const QDate &startDate, const QString &startTime, const QDate &endDate, const QString &endTime,
                      const CompanyHours &company);
