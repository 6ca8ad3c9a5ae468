#pragma once

#include <QList>
#include <QString>

class Settings;

// The workstation settings the main window reads at start-up, with garbage
// values replaced by their defaults.
struct StartupSettings
{
    int splashSeconds = 1;       // UTIL/pan; 0 or less: no splash
    bool ordinaryWindow = false; // UTIL/presentation "1"; else a notification-area icon only
    int pollSeconds = 30;        // UTIL/Messages: 30, 60, 120, 180, 240 or 300
    int trayDoubleClick = 0;     // UTIL/ouv: 0 clients, 1 resources, 2 planning, other: quit
    // Key code of hot key i (0 to 3), -1 when disabled.
    QList<int> hotKeys = {-1, -1, -1, -1};

    // Reads them; writes "1" for a missing pan and "0" for a missing presentation.
    static StartupSettings read(Settings &settings);
};

// Turns a key code as stored in the settings (Windows virtual-key codes: 48-57
// digits, 65-90 letters, 112-135 F1-F24) into a Qt key; 0 when it is none of
// those. Codes 0 to 9 stand for the digit keys themselves.
int hotKeyToQtKey(int keyCode);
