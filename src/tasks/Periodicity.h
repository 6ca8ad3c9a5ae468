#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

class Database;
class ResultSet;
class Dialect;
class Terms;

// The recurrence rule of a periodic task: one row of kp_periode, whose noid
// is the model task's number.
struct PeriodRule
{
    enum Kind { Daily = 0, Weekly = 1, Monthly = 2, Yearly = 3 };

    qint64 noid = 0;
    QString hordeb = QStringLiteral("09:00");
    QString horfin = QStringLiteral("18:00");
    int jourfin = 0;     // the occurrence ends this many days after it starts
    int periodicite = Daily;
    int typequot = 0;    // 0 every jourquot days, 1 every working day
    int jourquot = 1;
    int jourhebdo = 1;   // weekly step in weeks
    QString jour = QStringLiteral("1111100"); // Monday first
    int typemois = 0;    // 0 day jourmois, 1 counted back from the month's end
    int jourmois = 1;
    int jourfinmois = 0; // 0..5 days before the month's last day
    QString mois = QStringLiteral("111111111111"); // January first
    int jourmoisan = 1;
    int moisan = 0;      // 0 January … 11 December
    QDate datedeb;
    QDate datefin;       // invalid: the series has no end

    bool hasEnd() const { return datefin.isValid(); }

    // The 16 values the task form exchanges with the rule dialog, in order:
    // hordeb … datefin, dates as "dd/mm/yyyy" (empty datefin: no end).
    QStringList toValues() const;
    static PeriodRule fromValues(const QStringList &values);

    bool operator==(const PeriodRule &other) const = default;
};

// One dated occurrence of a series, as generated.
struct Occurrence
{
    int number = 0; // from 1
    QDate day;      // start day
    QDate endDay;   // day + jourfin
    QString hordeb;
    QString horfin;

    QDateTime start() const;
    QDateTime end() const;
    // "dd/mm/yyyy hh:mm"
    QString startText() const;
    QString endText() const;
};

namespace Periodicity {

// Day offsets from the first day are held in 16 bits: nothing is generated
// further than this after it.
constexpr int MaxOffset = 32767;

// The columns of a rule in kp_periode, hordeb to datefin, and the rule read
// from them starting at column `firstColumn` (noid left 0).
QString ruleColumns();
PeriodRule ruleFromRow(const ResultSet &rows, int row, int firstColumn);
// The rules of several series in one read.
Outcome readRules(Database &db, const QList<qint64> &noids, QHash<qint64, PeriodRule> *rules);
// An occurrence that was cancelled or taken out of its series: the series,
// and its start and end as minutes counted from the first Julian day.
struct ReplacedOccurrence
{
    qint64 noid = 0;
    qint64 start = 0;
    qint64 end = 0;
    bool operator==(const ReplacedOccurrence &) const = default;
};
size_t qHash(const ReplacedOccurrence &key, size_t seed = 0);
// Every occurrence of these series that was cancelled or taken out, in one read.
Outcome readReplaced(Database &db, const QList<qint64> &noids, QSet<ReplacedOccurrence> *replaced);
// removeReplaced() over what readReplaced() found.
void dropReplaced(qint64 noid, const QSet<ReplacedOccurrence> &replaced, QList<Occurrence> *occurrences);

// The occurrences of a rule between two days (both included), in date order,
// numbered from 1. workingDays is the company's jourstrav (Monday first), used
// by the working-day kind of the daily rule. Nothing falls before datedeb.
QList<Occurrence> ExpandRule(const PeriodRule &rule, const QDate &windowStart, const QDate &windowEnd,
                             const QString &workingDays = QStringLiteral("1111100"));

// The French text shown for a rule in the task form.
QString DescribeRule(const PeriodRule &rule);

QString weekdayName(int index); // 0 Monday
QString monthName(int index);   // 0 January

// The rule of a task; *found is false when it has none.
Outcome readRule(Database &db, qint64 noid, PeriodRule *rule, bool *found);
// Writes the rule (update or insert) in the caller's transaction.
Outcome saveRule(Database &db, const Dialect &dialect, const PeriodRule &rule);
// Deletes the rule and turns every task derived from the series (the model
// included) into an ordinary task, in the caller's transaction.
Outcome clearRule(Database &db, const Dialect &dialect, const Terms &terms, qint64 noid);

// Drops the occurrences that have been cancelled or taken out of the series,
// and numbers the rest again from 1.
Outcome removeReplaced(Database &db, const Dialect &dialect, qint64 noid, QList<Occurrence> *occurrences);

// Cancels one occurrence of series noid: a copy of the model marked DELETED.
// Runs in the caller's transaction, or in its own when none is open.
Outcome cancelOccurrence(Database &db, const Dialect &dialect, qint64 noid, const Occurrence &occurrence,
                         qint64 *newNumber = nullptr);
// Takes one occurrence out of the series as an ordinary task dated
// newStart..newEnd, with the model's comment, resources and clients.
Outcome takeOutOccurrence(Database &db, const Dialect &dialect, qint64 noid, const Occurrence &occurrence,
                          const QDateTime &newStart, const QDateTime &newEnd, qint64 *newNumber = nullptr);

} // namespace Periodicity
