#include "core/SubRecords.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <QDateTime>
#include <optional>

namespace {

const QString Error = QStringLiteral("Erreur");

} // namespace

QString SubRecords::ownerCondition(const SubRecordKind &kind, const QList<qint64> &owner)
{
    QStringList parts;
    for (int i = 0; i < kind.ownerColumns.size(); ++i)
        parts.append(kind.ownerColumns[i] + QStringLiteral(" = ") + QString::number(owner.value(i)));
    return parts.join(QStringLiteral(" and "));
}

Outcome SubRecords::save(Session &session, const SubRecordKind &kind, const QList<qint64> &owner,
                         const SubRecordValues &values, qint64 *number, const QString &writeError, const QString &goneText)
{
    Database &db = *session.database();
    std::optional<Transaction> transaction;
    if (!db.inTransaction()) {
        transaction.emplace(db);
        if (!transaction->isActive())
            return Outcome::failure(Error, writeError, db.lastError());
    }
    const QString where = ownerCondition(kind, owner);
    const QString now = session.dialect().dateTimeValue(QDateTime::currentDateTime());
    const QString workstation = QLatin1Char('\'') + sqlText(session.workstation(), QStringLiteral("/")) + QLatin1Char('\'');

    QString sql;
    if (*number > 0) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select %1 from %2 where %3 and %1 = %4").arg(kind.numberColumn, kind.table, where).arg(*number),
                      rows))
            return Outcome::failure(Error, writeError, db.lastError());
        if (rows.isEmpty())
            return Outcome::failure(QStringLiteral("Disparu"), goneText);
        QStringList assignments;
        for (const auto &[column, value] : values)
            assignments.append(column + QStringLiteral(" = ") + value);
        if (kind.stamped)
            assignments << QStringLiteral("dtmodif = ") + now << QStringLiteral("ordimodif = ") + workstation;
        sql = QStringLiteral("update %1 set %2 where %3 and %4 = %5")
                  .arg(kind.table, assignments.join(QStringLiteral(", ")), where, kind.numberColumn)
                  .arg(*number);
    } else {
        qint64 next = 0;
        const Outcome allocated = NumberAllocator::next(db, {{kind.table, kind.numberColumn, where}}, NumberAllocator::IntMax, &next);
        if (!allocated)
            return allocated;
        QStringList columns = kind.ownerColumns;
        QStringList literals;
        for (qint64 value : owner)
            literals.append(QString::number(value));
        columns.append(kind.numberColumn);
        literals.append(QString::number(next));
        if (!kind.orderColumn.isEmpty()) {
            columns.append(kind.orderColumn);
            literals.append(QString::number(next));
        }
        for (const auto &[column, value] : values) {
            columns.append(column);
            literals.append(value);
        }
        if (kind.stamped) {
            columns << QStringLiteral("dtsaisie") << QStringLiteral("ordisaisie") << QStringLiteral("dtmodif") << QStringLiteral("ordimodif");
            literals << now << workstation << now << workstation;
        }
        sql = QStringLiteral("insert into %1 (%2) values (%3)").arg(kind.table, columns.join(QLatin1Char(',')), literals.join(QLatin1Char(',')));
        *number = next;
    }
    if (!db.exec(sql) || (transaction && !transaction->commit()))
        return Outcome::failure(Error, writeError, db.lastError());
    return Outcome::success();
}

Outcome SubRecords::remove(Database &db, const SubRecordKind &kind, const QList<qint64> &owner, qint64 number, const QString &error)
{
    if (!db.exec(QStringLiteral("delete from %1 where %2 and %3 = %4")
                     .arg(kind.table, ownerCondition(kind, owner), kind.numberColumn)
                     .arg(number)))
        return Outcome::failure(Error, error, db.lastError());
    return Outcome::success();
}

Outcome SubRecords::move(Database &db, const SubRecordKind &kind, const QList<qint64> &owner, qint64 number, int direction,
                         const QString &error)
{
    if (kind.orderColumn.isEmpty())
        return Outcome::success();
    const QString where = ownerCondition(kind, owner);
    Transaction transaction(db);
    ResultSet rows;
    if (!transaction.isActive()
        || !db.query(QStringLiteral("select %1,%2 from %3 where %4 order by %2").arg(kind.numberColumn, kind.orderColumn, kind.table, where),
                     rows))
        return Outcome::failure(Error, error, db.lastError());
    int index = -1;
    for (int r = 0; r < rows.rowCount(); ++r)
        if (rows.toLongLong(r, 0) == number)
            index = r;
    const int neighbour = index + (direction < 0 ? -1 : 1);
    if (index < 0 || neighbour < 0 || neighbour >= rows.rowCount())
        return Outcome::success(); // the first does not go up, the last does not go down
    const QString update = QStringLiteral("update %1 set %2 = %3 where %4 and %5 = %6");
    const bool ok = db.exec(update.arg(kind.table, kind.orderColumn, rows.value(neighbour, 1), where, kind.numberColumn, rows.value(index, 0)))
                    && db.exec(update.arg(kind.table, kind.orderColumn, rows.value(index, 1), where, kind.numberColumn,
                                          rows.value(neighbour, 0)));
    if (!ok || !transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    return Outcome::success();
}
