#include "core/StartupSettings.h"

#include "core/Settings.h"

#include <Qt>

namespace {

const QString Util = QStringLiteral("UTIL");

int number(const QString &text, int fallback)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : fallback;
}

} // namespace

StartupSettings StartupSettings::read(Settings &settings)
{
    StartupSettings s;
    if (settings.read(Util, QStringLiteral("pan")).isEmpty())
        settings.write(Util, QStringLiteral("pan"), QStringLiteral("1"));
    s.splashSeconds = number(settings.read(Util, QStringLiteral("pan"), QStringLiteral("1")), 1);

    if (settings.read(Util, QStringLiteral("presentation")).isEmpty())
        settings.write(Util, QStringLiteral("presentation"), QStringLiteral("0"));
    s.ordinaryWindow = settings.read(Util, QStringLiteral("presentation")) == QLatin1String("1");

    const int poll = number(settings.read(Util, QStringLiteral("Messages"), QStringLiteral("30")), 30);
    s.pollSeconds = QList<int>{30, 60, 120, 180, 240, 300}.contains(poll) ? poll : 30;

    s.trayDoubleClick = number(settings.read(Util, QStringLiteral("ouv"), QStringLiteral("0")), -1);

    for (int i = 0; i < 4; ++i) {
        const QString digit = QString::number(i);
        if (settings.read(Util, digit + QStringLiteral("Racc"), QStringLiteral("0")) != QLatin1String("1"))
            continue;
        s.hotKeys[i] = number(settings.read(Util, digit + QStringLiteral("Touche"), digit), i);
    }
    return s;
}

int hotKeyToQtKey(int keyCode)
{
    if (keyCode >= 0 && keyCode <= 9)
        return Qt::Key_0 + keyCode;
    if (keyCode >= 48 && keyCode <= 57)
        return Qt::Key_0 + (keyCode - 48);
    if (keyCode >= 65 && keyCode <= 90)
        return Qt::Key_A + (keyCode - 65);
    if (keyCode >= 112 && keyCode <= 135)
        return Qt::Key_F1 + (keyCode - 112);
    return 0;
}
