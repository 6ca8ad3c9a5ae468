#include "core/NumberAllocator.h"

#include "core/Database.h"

namespace {

Outcome readFailure(Database &db, const NumberSource &source)
{
    return Outcome::failure(QStringLiteral("Erreur"),
                            QStringLiteral("Erreur lors de l'attribution d'un numéro (%1)").arg(source.table), db.lastError());
}

// The highest value over all sources, 0 when they are empty.
Outcome highestOf(Database &db, const QList<NumberSource> &sources, qint64 *highest)
{
    *highest = 0;
    for (const NumberSource &source : sources) {
        QString sql = QStringLiteral("select max(%1) from %2").arg(source.column, source.table);
        if (!source.where.isEmpty())
            sql += QStringLiteral(" where ") + source.where;
        ResultSet rows;
        if (!db.query(sql, rows))
            return readFailure(db, source);
        if (!rows.isEmpty() && !rows.isNull(0, 0))
            *highest = std::max(*highest, rows.toLongLong(0, 0));
    }
    return Outcome::success();
}

// Whether a committed row of any source already carries `number`.
Outcome isTaken(Database &db, const QList<NumberSource> &sources, qint64 number, bool *taken)
{
    *taken = false;
    for (const NumberSource &source : sources) {
        QString sql = QStringLiteral("select count(*) from %1 where %2 = %3").arg(source.table, source.column).arg(number);
        if (!source.where.isEmpty())
            sql += QStringLiteral(" and ") + source.where;
        ResultSet rows;
        if (!db.query(sql, rows))
            return readFailure(db, source);
        if (!rows.isEmpty() && rows.toLongLong(0, 0) > 0) {
            *taken = true;
            break;
        }
    }
    return Outcome::success();
}

// What names a number among the numbers of its kind on every workstation.
QString reservationKey(const QList<NumberSource> &sources, qint64 number)
{
    QStringList parts;
    for (const NumberSource &source : sources)
        parts << source.table << source.column << source.where;
    parts << QString::number(number);
    return parts.join(QLatin1Char('|'));
}

Outcome tooMany(qint64 maximum)
{
    return Outcome::failure(QStringLiteral("Désolé"),
                            QStringLiteral("Le nombre maximum d'enregistrements (%1) est atteint : "
                                           "impossible d'en créer un de plus")
                                .arg(maximum));
}

} // namespace

Outcome NumberAllocator::next(Database &db, const QList<NumberSource> &sources, qint64 maximum, qint64 *number)
{
    if (!db.inTransaction())
        return Outcome::failure(QStringLiteral("Erreur"),
                                QStringLiteral("Attribution d'un numéro hors transaction : opération refusée"));
    qint64 highest = 0;
    if (!db.reservesNumbers()) {
        // Writers are serialised: nobody else can count meanwhile.
        const Outcome read = highestOf(db, sources, &highest);
        if (!read)
            return read;
        if (highest >= maximum)
            return tooMany(maximum);
        *number = highest + 1;
        return Outcome::success();
    }

    // Transactions run side by side: a number counted here is reserved until
    // this transaction ends, and the ones other transactions reserved are
    // skipped. Taking a reservation is atomic, and a transaction lets its
    // numbers go only once their rows are committed: looking for the number
    // after the reservation finds any row written under it, so nobody waits
    // for anybody.
    Outcome read = highestOf(db, sources, &highest);
    if (!read)
        return read;
    qint64 candidate = highest + 1;
    for (;;) {
        if (candidate > maximum)
            return tooMany(maximum);
        bool reserved = false;
        if (!db.reserveNumber(reservationKey(sources, candidate), &reserved))
            return readFailure(db, sources.value(0));
        if (!reserved) {
            ++candidate; // another transaction is writing that one
            continue;
        }
        // A transaction that wrote this number may have committed and let its
        // reservation go between the count and the reservation.
        bool taken = false;
        read = isTaken(db, sources, candidate, &taken);
        if (!read)
            return read;
        if (!taken)
            break;
        ++candidate;
    }
    *number = candidate;
    return Outcome::success();
}
