#pragma once

#include "reports/HistoryReport.h"

#include <QList>
#include <QString>

class Dialect;
class Terms;

// The statements of the history reports, as text, and the shape of their results.
namespace HistoryQueries {

// What a report type reads and how it lays out its lines.
enum class Shape { List, Detail, LeaveList, Statistics, LeaveStatistics, Costs, GlobalCosts };
Shape shapeOf(HistoryKind kind, int type);
// The cost kind a cost report reads: 1 expenses, 0 income, -1 both (the balance).
int costKind(HistoryKind kind, int type);

// The columns naming the resource (1) or the client (6) come first; the
// task's columns follow, numbered from there.
int entityColumns(HistoryKind kind);
enum TaskColumn { Noid, Type, Urgency, Project, Days, Hours, Start, End, Series, Origin, Extra };
enum CostColumn { CostDate = 6, CostUnits, CostUnit, CostTotal, CostLabel, CostKind };

QList<int> columnWidths(Shape shape);  // in twips, the hidden "Tri" of the lists at 0
QStringList columnTitles(HistoryKind kind, int type, const Terms &terms);

// " and d.commentaire like …": the text searched literally, its wildcards and quotes included.
QString commentCondition(const Dialect &dialect, const QString &comment);
// The chosen resources (or those the team and service allow) on a column of resource numbers.
QString resourceCondition(const HistoryParameters &p, const QString &column);
// The chosen clients (or those the sector and company name allow), on s.noidsoc.
QString clientCondition(const HistoryParameters &p);

// The date lines of the lists (List, Detail, LeaveList), the series' models
// whatever their dates; the row's resource or client number comes last.
QString taskQuery(const Dialect &dialect, const HistoryParameters &p);
// Per task type (or leave kind): label, count, days, hours, key.
QString statisticsQuery(const Dialect &dialect, const HistoryParameters &p);
// The cost lines of the period.
QString costQuery(const Dialect &dialect, const HistoryParameters &p);

} // namespace HistoryQueries
