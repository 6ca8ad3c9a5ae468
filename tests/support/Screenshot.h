#pragma once

#include <QTest>
#include <QWidget>

// Saves a picture of a screen as QUENZO_SCREENSHOT_DIR/name.png when that
// variable is set, so that a developer can look at what a user sees.
inline void saveScreenshot(QWidget &screen, const QString &name)
{
    const QString folder = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    screen.show();
    if (!QTest::qWaitForWindowExposed(&screen))
        return;
    screen.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}
