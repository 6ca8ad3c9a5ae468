#include "resources/TimeOff.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/SqlText.h"

namespace {

const QString Error = QStringLiteral("Erreur");

// Day and month kept, year 2000 (a leap year, so 29/02 survives).
QDate inYear2000(const QDate &date)
{
    return QDate(2000, date.month(), date.day());
}

QString stored(Database &db, const QDate &date)
{
    return Dialect(db.backend()).dateValue(date);
}

} // namespace

bool Holiday::appliesOn(const QDate &day) const
{
    if (recurring)
        return day.month() == date.month() && day.day() == date.day();
    return day == date;
}

bool TimeOff::isHoliday(const QList<Holiday> &holidays, const QDate &day)
{
    for (const Holiday &h : holidays)
        if (h.appliesOn(day))
            return true;
    return false;
}

Outcome TimeOff::holidays(Database &db, QList<Holiday> *holidays)
{
    holidays->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select dateferie,libelle,repet,noferie from kp_joursferies  order by repet desc,dateferie desc "), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des jours fériés"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        holidays->append({rows.toLongLong(r, 3), parseDbDateTime(rows.value(r, 0)).date(), rows.toInt(r, 2) == 1, rows.value(r, 1)});
    return Outcome::success();
}

Outcome TimeOff::saveHoliday(Database &db, Holiday *holiday)
{
    const QString error = QStringLiteral("Erreur lors de la mis à jour des jours fériés");
    if (!holiday->date.isValid())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner la date !"));
    Transaction transaction(db);
    if (!transaction.isActive() || !db.exec(QStringLiteral("delete from kp_joursferies where dateferie is null")))
        return Outcome::failure(Error, error, db.lastError());
    qint64 number = holiday->number;
    bool exists = false;
    if (number > 0) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select noferie from kp_joursferies where noferie = %1").arg(number), rows))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des jours fériés"), db.lastError());
        if (rows.isEmpty())
            return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Quelqu'un a supprimé ce jour férié"));
        exists = true;
    } else {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_joursferies"), QStringLiteral("noferie"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated;
    }
    const QDate date = holiday->recurring ? inYear2000(holiday->date) : holiday->date;
    const QString label = sqlText(holiday->label, QStringLiteral("/"));
    const QString sql = exists ? QStringLiteral("update kp_joursferies set dateferie = %2, repet = %3, libelle = '%4' where noferie = %1")
                                     .arg(number)
                                     .arg(stored(db, date))
                                     .arg(holiday->recurring ? 1 : 0)
                                     .arg(label)
                               : QStringLiteral("insert into kp_joursferies (noferie,dateferie,repet,libelle)  values (%1,%2,%3,'%4')")
                                     .arg(number)
                                     .arg(stored(db, date))
                                     .arg(holiday->recurring ? 1 : 0)
                                     .arg(label);
    if (!db.exec(sql) || !transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    holiday->number = number;
    holiday->date = date;
    return Outcome::success();
}

Outcome TimeOff::removeHoliday(Database &db, qint64 number)
{
    if (!db.exec(QStringLiteral("delete from kp_joursferies where noferie = %1").arg(number)))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression du jour férié"), db.lastError());
    return Outcome::success();
}

Outcome TimeOff::leaveTypes(Database &db, QList<LeaveType> *types)
{
    types->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select code,libelle,dtdebut,dtfin,nombre,coulfond,coultexte from kp_conges order by code "), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des conges"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        types->append({rows.value(r, 0), rows.value(r, 1), parseDbDateTime(rows.value(r, 2)).date(),
                       parseDbDateTime(rows.value(r, 3)).date(), rows.toInt(r, 4), rows.toInt(r, 5), rows.toInt(r, 6)});
    return Outcome::success();
}

Outcome TimeOff::saveLeaveType(Database &db, const LeaveType &type)
{
    if (type.code.trimmed().isEmpty() || !type.periodStart.isValid() || !type.periodEnd.isValid())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Saisie incomplete"));
    const QString error = QStringLiteral("Erreur lors de la mise à jour du code conge");
    ResultSet rows;
    const QString code = sqlText(type.code);
    if (!db.query(QStringLiteral("select code from kp_conges where code = '") + code + QLatin1Char('\''), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des congés"), db.lastError());
    const QString values = QStringLiteral("'%1',%2,%3,%4,%5,%6")
                               .arg(sqlText(type.label, QStringLiteral("/")), stored(db, inYear2000(type.periodStart)),
                                    stored(db, inYear2000(type.periodEnd)))
                               .arg(type.defaultDays)
                               .arg(type.background)
                               .arg(type.text);
    const QString sql = rows.isEmpty()
                            ? QStringLiteral("insert into kp_conges (code,libelle,dtdebut,dtfin,nombre,coulfond,coultexte) values ('")
                                  + code + QStringLiteral("',") + values + QLatin1Char(')')
                            : QStringLiteral("update kp_conges set libelle = '%2', dtdebut = %3, dtfin = %4, nombre = %5, coulfond = %6, "
                                             "coultexte = %7 where code = '%1'")
                                  .arg(code, sqlText(type.label, QStringLiteral("/")), stored(db, inYear2000(type.periodStart)),
                                       stored(db, inYear2000(type.periodEnd)))
                                  .arg(type.defaultDays)
                                  .arg(type.background)
                                  .arg(type.text);
    if (!db.exec(sql))
        return Outcome::failure(Error, error, db.lastError());
    return Outcome::success();
}

Outcome TimeOff::removeLeaveType(Database &db, const QString &code)
{
    const QString quoted = sqlText(code);
    Transaction transaction(db);
    ResultSet used;
    if (!transaction.isActive()
        || !db.query(QStringLiteral("select codeconge from kp_taches_desc where codeconge = '") + quoted + QLatin1Char('\''), used))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des congés"), db.lastError());
    if (!used.isEmpty())
        return Outcome::failure(QStringLiteral("Impossible"), QStringLiteral("Impossible de supprimer ce congé car il est utilisé !"));
    if (!db.exec(QStringLiteral("delete from kp_conges where code = '") + quoted + QLatin1Char('\'')) || !transaction.commit())
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression"), db.lastError());
    return Outcome::success().notice(QStringLiteral("Suppression OK"), QStringLiteral("Congé supprimé"));
}
