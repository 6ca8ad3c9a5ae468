#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QString>

class Settings;

// A small living database for a newcomer: a few resources and clients, two
// weeks of tasks from the Monday of the given day, series, leave and a
// holiday in the first week.
namespace DemoDatabase {

// Beside the default database, in the user's data folder.
QString defaultPath();

// Builds it at path (refused when the file exists) and points the
// workstation's settings at it.
Outcome create(Settings &settings, const QString &path, const QDate &today = QDate::currentDate());

} // namespace DemoDatabase
