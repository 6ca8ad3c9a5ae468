#include "clients/ClientRules.h"

#include "core/Database.h"

#include <QDir>
#include <QFileInfo>

QDate ClientRules::proposedContractEnd(const QDate &start, int duration)
{
    if (!start.isValid())
        return {};
    QDate anniversary;
    switch (duration) {
    case 1: anniversary = start.addDays(1); break;
    case 2: anniversary = start.addDays(7); break;
    case 3: anniversary = start.addMonths(1); break;
    case 4: anniversary = start.addMonths(2); break;
    case 5: anniversary = start.addMonths(3); break;
    case 6: anniversary = start.addMonths(6); break;
    case 7: case 8: case 9: case 10: case 11: anniversary = start.addYears(duration - 6); break;
    default: return {};
    }
    return anniversary.addDays(-1);
}

std::optional<QString> ClientRules::documentPath(const QString &folder, const QString &chosen)
{
    if (folder.trimmed().isEmpty())
        return std::nullopt;
    const QString base = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/');
    const QString file = QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
    if (!file.startsWith(base, Qt::CaseInsensitive) || file.size() == base.size())
        return std::nullopt;
    return file.mid(base.size());
}

Outcome ClientRules::remove(Database &db, qint64 client)
{
    static const char *const tables[] = {"kp_libresoc",  "kp_ayants",   "kp_contactsoc",     "kp_contratsoc",
                                         "kp_memosoc",   "kp_donneesoc", "kp_societes",      "kp_taches_clients",
                                         "histo_taches_clients"};
    Transaction transaction(db);
    bool ok = transaction.isActive();
    for (const char *table : tables) {
        if (!ok)
            break;
        ok = db.exec(QStringLiteral("delete from %1 where noidsoc = %2").arg(QLatin1String(table)).arg(client));
    }
    if (!ok || !transaction.commit())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la suppression"), db.lastError());
    return Outcome::success();
}
