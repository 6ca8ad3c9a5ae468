#pragma once

#include "core/Outcome.h"

#include <QString>
#include <functional>

class Session;
class Settings;

// Makes a new embedded database file in one piece: the schema and the rows
// are written to a hidden file beside the target, which takes the target's
// name only once everything succeeded. A failure or a crash midway leaves no
// file under the target name for a later start to open.
namespace NewFileDatabase {

using Fill = std::function<Outcome(Session &)>;

// Refused ("Impossible") when the target exists or its folder is missing or
// not writable.
Outcome create(const QString &target, const Fill &fill);

// Why a new file cannot be made at the target, empty when it can.
Outcome checkTarget(const QString &target);

// Makes the workstation open that file from now on.
void useFile(Settings &settings, const QString &path);

} // namespace NewFileDatabase
