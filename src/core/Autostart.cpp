#include "core/Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString Autostart::entryPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/quenzo.desktop");
}

bool Autostart::isEnabled()
{
    return QFile::exists(entryPath());
}

bool Autostart::setEnabled(bool enabled, const QString &program)
{
    const QString path = entryPath();
    if (!enabled)
        return !QFile::exists(path) || QFile::remove(path);

    QString exec = program.isEmpty() ? QCoreApplication::applicationFilePath() : program;
    // Desktop entries quote arguments holding blanks and escape their quotes.
    if (exec.contains(QLatin1Char(' ')) || exec.contains(QLatin1Char('"'))) {
        exec.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
        exec = QLatin1Char('"') + exec + QLatin1Char('"');
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Quenzo\n"
                                         "Comment=Planification des interventions\nExec=%1\nTerminal=false\n")
                              .arg(exec);
    file.write(entry.toUtf8());
    return file.commit();
}
