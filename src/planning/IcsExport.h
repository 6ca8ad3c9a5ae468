#pragma once

#include "core/Outcome.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

class Session;

// One resource's planning as an iCalendar text.
struct IcsCalendar
{
    qint64 resource = 0;
    QString label;
    QByteArray text; // UTF-8, CRLF line ends
};

// The planning of resources as iCalendar files, one per resource, one event
// per block. Times are floating (local, no zone): the planning itself knows
// no zone, and a calendar shows them at the same hours wherever it is read.
namespace IcsExport {

// The calendars of `resources` (every resource when empty) over `days` days
// from `first`, in the order asked.
Outcome build(Session &session, const QList<qint64> &resources, const QDate &first, int days, QList<IcsCalendar> *calendars);

// The event identifier of a block, the same from one export to the next.
QString uid(qint64 resource, qint64 task, int dateLine, const QDate &occurrenceDay, int occurrenceMinutes);

// "label.ics", the label made safe for any file system.
QString fileName(const QString &label);

// Writes the calendar into an existing folder; `path` receives the file written.
Outcome write(const IcsCalendar &calendar, const QString &folder, QString *path = nullptr);

} // namespace IcsExport
