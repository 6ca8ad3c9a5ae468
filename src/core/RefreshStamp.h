#pragma once

#include "core/Outcome.h"

#include <QString>

class QTime;
class Session;

// The change stamp: one row of kp_refresh that a workstation rewrites after
// changing tasks, and that planning windows poll to know when to reload.
namespace RefreshStamp {

// Workstation name (quoted, "/" when empty) + an 8-character time tag: the
// seconds since midnight with hundredths, left-padded with zeros and cut to
// its last 8 characters.
QString make(const QString &workstation, const QTime &time, QChar decimalSeparator);

// Reads the stamp into the session (and into *stamp); an empty table gets its row.
Outcome read(Session &session, QString *stamp = nullptr);
// Writes a new stamp; the session's last stamp becomes the workstation name.
Outcome write(Session &session);

} // namespace RefreshStamp
