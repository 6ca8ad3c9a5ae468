#pragma once

#include <QString>

// "Start with the session": an XDG autostart entry for the program
// ($XDG_CONFIG_HOME/autostart/quenzo.desktop).
namespace Autostart {

QString entryPath();
bool isEnabled();
// Writes the entry starting `program` (the running executable when empty),
// or removes it. False when the file could not be written or removed.
bool setEnabled(bool enabled, const QString &program = {});

} // namespace Autostart
