#pragma once

#include <QStringList>

class QTextStream;

// quenzo-cli export-ics: writes the planning of resources as iCalendar
// files, one per resource, into an existing folder.
int runExportIcs(const QStringList &arguments, QTextStream &out, QTextStream &err);
