#include "core/NumberAllocator.h"

#include "core/Database.h"

Outcome NumberAllocator::next(Database &db, const QList<NumberSource> &sources, qint64 maximum, qint64 *number)
{
    if (!db.inTransaction())
        return Outcome::failure(QStringLiteral("Erreur"),
                                QStringLiteral("Attribution d'un numéro hors transaction : opération refusée"));
    qint64 highest = 0;
    for (const NumberSource &source : sources) {
        QString sql = QStringLiteral("select max(%1) from %2").arg(source.column, source.table);
        if (!source.where.isEmpty())
            sql += QStringLiteral(" where ") + source.where;
        ResultSet rows;
        if (!db.query(sql, rows))
            return Outcome::failure(QStringLiteral("Erreur"),
                                    QStringLiteral("Erreur lors de l'attribution d'un numéro (%1)").arg(source.table),
                                    db.lastError());
        if (!rows.isEmpty() && !rows.isNull(0, 0))
            highest = std::max(highest, rows.toLongLong(0, 0));
    }
    if (highest >= maximum)
        return Outcome::failure(QStringLiteral("Désolé"),
                                QStringLiteral("Le nombre maximum d'enregistrements (%1) est atteint : "
                                               "impossible d'en créer un de plus")
                                    .arg(maximum));
    *number = highest + 1;
    return Outcome::success();
}
