#include "settings/DemoDatabase.h"

#include "core/Database.h"
#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "seed/SeedGenerator.h"
#include "settings/NewFileDatabase.h"

#include <QDir>
#include <QFileInfo>

QString DemoDatabase::defaultPath()
{
    return QFileInfo(DatabaseOpener::defaultDatabasePath()).absolutePath() + QStringLiteral("/demonstration.qdb");
}

Outcome DemoDatabase::create(Settings &settings, const QString &path, const QDate &today)
{
    SeedOptions options;
    options.resources = 6;
    options.clients = 12;
    options.dateLines = 60;
    options.series = 3;
    options.firstDay = today.addDays(1 - today.dayOfWeek());
    options.days = 14;
    options.seed = 7;

    QDir().mkpath(QFileInfo(path).absolutePath()); // a fresh home has no data folder yet
    const Outcome made = NewFileDatabase::create(path, [&options](Session &session) {
        SeedReport report;
        Outcome seeded = SeedGenerator(session, options).run(&report);
        if (!seeded)
            return seeded;
        // A holiday the newcomer sees in the week on screen.
        Database &db = *session.database();
        ResultSet rows;
        if (!db.query(QStringLiteral("select max(noferie) from kp_joursferies"), rows))
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des jours fériés"), db.lastError());
        const QString holiday = QStringLiteral("insert into kp_joursferies (noferie,dateferie,repet,libelle) values (")
                                + QString::number(rows.toLongLong(0, 0) + 1) + QLatin1Char(',')
                                + session.dialect().dateValue(options.firstDay.addDays(3)) + QStringLiteral(",0,'")
                                + sqlText(QStringLiteral("Férié de démonstration")) + QStringLiteral("')");
        if (!db.exec(holiday))
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour des jours fériés"), db.lastError());
        return Outcome::success();
    });
    if (made)
        NewFileDatabase::useFile(settings, path);
    return made;
}
