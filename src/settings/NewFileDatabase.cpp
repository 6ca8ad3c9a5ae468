#include "settings/NewFileDatabase.h"

#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString Impossible = QStringLiteral("Impossible");

void removeFileAndJournal(const QString &path)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

} // namespace

Outcome NewFileDatabase::checkTarget(const QString &target)
{
    const QFileInfo info(target);
    if (info.exists())
        return Outcome::failure(Impossible, QStringLiteral("Ce fichier existe déjà !"));
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return Outcome::failure(Impossible, QStringLiteral("Le répertoire \"%1\" n'existe pas.").arg(QDir::toNativeSeparators(folder.filePath())));
    if (!folder.isWritable())
        return Outcome::failure(Impossible,
                                QStringLiteral("Vous n'avez pas le droit d'écrire dans le répertoire \"%1\".").arg(QDir::toNativeSeparators(folder.filePath())));
    return Outcome::success();
}

Outcome NewFileDatabase::create(const QString &target, const Fill &fill)
{
    Outcome check = checkTarget(target);
    if (!check)
        return check;
    const QFileInfo info(target);
    const QString partial = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".partiel");
    removeFileAndJournal(partial); // left by a run that was killed

    // The new file is opened through a scratch settings file, so the
    // workstation keeps its own database until the new one is complete.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Impossible de créer un répertoire temporaire"));
    Outcome result = Outcome::success();
    {
        Settings settings(scratch.filePath(QStringLiteral("creation.ini")));
        useFile(settings, partial);
        Session session(settings);
        OpenCallbacks quiet;
        quiet.confirm = [](const QString &, const QString &) { return true; };
        quiet.askNewPassword = [] { return std::optional<QString>(QString()); };
        result = DatabaseOpener(session).open(true, quiet);
        if (result)
            result = fill(session);
        session.closeDatabase();
    }
    if (result && !QFile::rename(partial, target))
        result = Outcome::failure(QStringLiteral("Erreur"),
                                  QStringLiteral("Impossible de renommer le fichier en \"%1\"").arg(QDir::toNativeSeparators(target)));
    removeFileAndJournal(partial);
    return result;
}

void NewFileDatabase::useFile(Settings &settings, const QString &path)
{
    settings.write(QStringLiteral("Base"), QStringLiteral("ODBC"), QStringLiteral("0"));
    settings.write(QStringLiteral("Base"), QStringLiteral("Chemin"), path);
}
