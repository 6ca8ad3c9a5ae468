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

// Task numbers as comma-separated lists for "in (...)", a few thousand to a
// list so that no statement grows past what a back end accepts.
QStringList numberLists(const QList<qint64> &numbers);

} // namespace PlanningQueries
