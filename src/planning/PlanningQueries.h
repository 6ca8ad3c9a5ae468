#pragma once

#include "planning/PlanningSettings.h"

#include <QDate>
#include <QString>

class Dialect;
struct FilterFragments;

// The statements a planning load runs, as text.
namespace PlanningQueries {

// The rows of a presentation, in their display order.
QString rowQuery(Presentation presentation, const FilterFragments &fragments);

// The condition that keeps the date lines starting, ending or spanning
// first..first + days, and every periodic task whatever its dates.
QString windowCondition(const Dialect &dialect, const QDate &first, int days);

// One record per (task, row, date line) of the window: number, row key,
// row label, start, end, type, urgency, project, "COMMENT", leave code, date
// line, user lock, series, origin, prospect, alert, zone, days, hours,
// administrative lock.
QString taskQuery(Presentation presentation, const FilterFragments &fragments, const Dialect &dialect,
                  const QDate &first, int days);

// The load's own reading of the same records, which every back end runs
// much faster: no sort, no duplicate removal and no join with the rows'
// table, whose filters the rows listed already carry (a record of a row
// that is not listed is never drawn); the filters on the other kinds of row
// become sub-selects. The tables are joined in the order the back ends
// should walk them: the window's date lines first. Columns: number, row key, start, end, type, urgency, project,
// leave code, date line, user lock, series, origin, prospect, alert, days,
// hours, administrative lock, and by client the client's zone.
QString lineQuery(Presentation presentation, const FilterFragments &fragments, const Dialect &dialect, const QDate &first,
                  int days);

// Task numbers as comma-separated lists for "in (...)", a few thousand to a
// list so that no statement grows past what a back end accepts.
QStringList numberLists(const QList<qint64> &numbers);

} // namespace PlanningQueries
