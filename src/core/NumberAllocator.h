#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QString>

class Database;

// Where a number is counted: the highest `column` of `table`, among the rows
// matching `where` when it is given (sub-records are numbered per owner).
struct NumberSource
{
    QString table;
    QString column;
    QString where;
};

// Every "highest + 1" number of the system comes from here.
namespace NumberAllocator {

constexpr qint64 SmallIntMax = 32767;
constexpr qint64 IntMax = 2147483647;

// One more than the highest value over all sources (1 when they are empty).
// Must be called inside a transaction of db, and the number's row inserted
// before it commits. On a back end whose transactions run side by side the
// number stays reserved until the transaction ends, so no other workstation
// can be handed it meanwhile. A number past `maximum` is refused rather than
// wrapped.
Outcome next(Database &db, const QList<NumberSource> &sources, qint64 maximum, qint64 *number);

} // namespace NumberAllocator
