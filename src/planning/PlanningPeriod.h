#pragma once

#include <QDate>
#include <QList>
#include <QString>

// The nine spans a planning can show.
enum class Period { Day, NbDays, Week, TwoWeeks, Month, TwoMonths, Quarter, HalfYear, Year };

namespace PlanningPeriod {

QList<Period> all();
// The menu caption, also what the "Periode" setting holds.
QString caption(Period period);
// The period of a caption; `fallback` for an unknown one.
Period fromCaption(const QString &caption, Period fallback = Period::NbDays);

// The last day shown from `start` (never before it).
QDate periodEnd(Period period, const QDate &start, int nbJours);
// Days shown, at least 1.
int dayCount(Period period, const QDate &start, int nbJours);
// Cells drawn in a day of `span` working hours (24 when the count would be 0).
int cellsPerDay(Period period, int days, double span);
// The step in minutes that the mouse snaps to.
int stepMinutes(Period period, int days);

// Where the date buttons take the first day: one day, or one whole period.
QDate shifted(Period period, const QDate &start, int nbJours, int days, int periods);

} // namespace PlanningPeriod
