#include "resources/LeaveStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/TransactionSteps.h"
#include "resources/WorkingTime.h"
#include "tasks/UndoHistory.h"

#include <QDateTime>
#include <QTime>

namespace {

const QString Error = QStringLiteral("Erreur");
const QString Incomplete = QStringLiteral("Incomplet");
const QString Inconsistent = QStringLiteral("Incohérence");

// "hh:mm" as the number hh.mm, the way times are compared on entry.
double timeNumber(const QString &time)
{
    const QStringList parts = WorkingTime::normaliseTime(time).split(QLatin1Char(':'));
    return parts.value(0).toInt() + parts.value(1).toInt() / 100.0;
}

QString stamp(const Session &session, const QDate &date, const QString &time)
{
    return session.dialect().dateTimeValue(QDateTime(date, QTime::fromString(WorkingTime::normaliseTime(time), QStringLiteral("hh:mm"))));
}

QString taskError(const Session &session)
{
    return QStringLiteral("Erreur lors de la mise à jour de ") + session.terms().article(Entity::Tache) +
           session.terms().singular(Entity::Tache);
}

Outcome check(const LeaveEntry &e)
{
    if (!e.startDate.isValid() || !e.endDate.isValid())
        return Outcome::failure(Incomplete, QStringLiteral("Vous devez renseigner les dates de début et de fin !!"));
    if (e.startDate == e.endDate) {
        if (timeNumber(e.startTime) >= timeNumber(e.endTime))
            return Outcome::failure(Inconsistent, QStringLiteral("L'heure de de début est supérieure ou égale à l'heure de fin !!"));
    } else if (e.startDate > e.endDate) {
        return Outcome::failure(Inconsistent, QStringLiteral("La date de début est supérieure à la date de fin !!"));
    }
    if (e.leaveType.trimmed().isEmpty())
        return Outcome::failure(Incomplete, QStringLiteral("Vous devez renseigner le type de congé"));
    return Outcome::success();
}

} // namespace

Outcome LeaveStore::resources(Database &db, const Terms &terms, QList<LeaveResource> *list)
{
    list->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid,libelle,typeressource,civilite,nomressource,prenomressource from kp_ressources "
                                 " order by typeressource,libelle"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ressources"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r) {
        QString label = rows.value(r, 1).trimmed();
        if (label.isEmpty())
            label = (rows.value(r, 4) + QLatin1Char(' ') + rows.value(r, 5)).trimmed();
        list->append({rows.toLongLong(r, 0), label});
    }
    if (list->isEmpty()) {
        const QString e = terms.feminine(Entity::Ressource) ? QStringLiteral("e") : QString();
        return Outcome::failure(Incomplete, QStringLiteral("Aucun") + e + QLatin1Char(' ') + terms.singular(Entity::Ressource) +
                                                QStringLiteral(" défini") + e + QStringLiteral(" !"));
    }
    return Outcome::success();
}

Outcome LeaveStore::load(Database &db, qint64 task, LeaveEntry *entry)
{
    const QString readError = QStringLiteral("Erreur lors de la lecture du congé");
    const QString N = QString::number(task);
    ResultSet desc, dates, res;
    if (!db.query(QStringLiteral("select codeconge,commentaire,blocadm from kp_taches_desc where noid = ") + N, desc) ||
        !db.query(QStringLiteral("select datedeb,datefin,nbjours,nbheures from kp_taches_dates where noid = ") + N +
                      QStringLiteral(" order by noiddate"),
                  dates) ||
        !db.query(QStringLiteral("select noidressource from kp_taches_ressources where noid = ") + N, res))
        return Outcome::failure(Error, readError, db.lastError());
    if (desc.isEmpty() || dates.isEmpty())
        return Outcome::failure(Error, readError);
    *entry = LeaveEntry();
    entry->number = task;
    entry->leaveType = desc.value(0, 0).trimmed();
    entry->comment = desc.value(0, 1);
    entry->locked = desc.toInt(0, 2) == 1;
    const QDateTime start = parseDbDateTime(dates.value(0, 0));
    const QDateTime end = parseDbDateTime(dates.value(0, 1));
    entry->startDate = start.date();
    entry->startTime = start.time().toString(QStringLiteral("hh:mm"));
    entry->endDate = end.date();
    entry->endTime = end.time().toString(QStringLiteral("hh:mm"));
    entry->days = dates.toDouble(0, 2);
    entry->hours = dates.toDouble(0, 3);
    entry->resource = res.isEmpty() ? 0 : res.toLongLong(0, 0);
    return Outcome::success();
}

void LeaveStore::computeDurations(const CompanyHours &company, LeaveEntry *entry)
{
    entry->days = CalculNbJours(entry->startDate, entry->startTime, entry->endDate, entry->endTime, company);
    entry->hours = CalculNbHeures(entry->startDate, entry->startTime, entry->endDate, entry->endTime, company);
}

Outcome LeaveStore::save(Session &session, LeaveEntry *entry)
{
    const Outcome checked = check(*entry);
    if (!checked)
        return checked;
    Database *db = session.database();
    if (!db)
        return Outcome::failure(Error, taskError(session));

    const bool existing = entry->number > 0;
    qint64 number = entry->number;
    const auto write = [&]() -> Outcome {
        if (!existing) {
            const Outcome allocated = NumberAllocator::next(*db, UndoHistory::taskNumberSources(), NumberAllocator::IntMax, &number);
            if (!allocated)
                return allocated;
        }
        const QString N = QString::number(number);
        const QString type = sqlText(entry->leaveType);
        const QString comment = sqlText(entry->comment);
        const int locked = entry->locked ? 1 : 0;

        const QString headerError = QStringLiteral("Erreur lors de la mise à jour du congé");
        ResultSet found;
        if (!db->query(QStringLiteral("select noid from kp_taches_desc where noid = ") + N, found))
            return Outcome::failure(Error, headerError, db->lastError());
        const QString header =
            found.isEmpty()
                ? QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,"
                                 "commentaire,noidutil,effect,commenteffect,blocadm) values (%1,0,'/','/',0,0,0,'%2','%3',0,0,'/',%4)")
                      .arg(N, type, comment)
                      .arg(locked)
                : QStringLiteral("update kp_taches_desc set noidtache = 0, urgence = '/', codeprojet = '/', blocage = 0, nbjours = 0, "
                                 "nbheures = 0, codeconge = '%2', commentaire = '%3', noidutil = 0, effect = 0, "
                                 "commenteffect = '/', blocadm = %4 where noid = %1")
                      .arg(N, type, comment)
                      .arg(locked);
        if (!db->exec(header))
            return Outcome::failure(Error, headerError, db->lastError());

        const QString datesError = QStringLiteral("Erreur lors de la mise à jour du congé (dates)");
        if (!db->exec(QStringLiteral("delete from kp_taches_dates where noid = ") + N) ||
            !db->exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin,nbjours,nbheures) values (%1,1,%2,%3,%4,%5)")
                          .arg(N, stamp(session, entry->startDate, entry->startTime), stamp(session, entry->endDate, entry->endTime),
                               sqlNumber(QString::number(entry->days), 2), sqlNumber(QString::number(entry->hours), 2))))
            return Outcome::failure(Error, datesError, db->lastError());

        if (!db->exec(QStringLiteral("delete from kp_taches_ressources where noid = ") + N) ||
            !db->exec(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (%1,%2)").arg(N).arg(entry->resource)) ||
            !db->exec(QStringLiteral("delete from kp_taches_clients where noid = ") + N))
            return Outcome::failure(Error, taskError(session), db->lastError());
        return Outcome::success();
    };
    const Outcome written = existing ? UndoHistory::RecordedChange(session, number, UndoHistory::Kind::Modified, taskError(session), write)
                                     : runInTransaction(*db, TransactionMode::Concurrent, taskError(session), write);
    if (!written)
        return written;

    entry->number = number;
    Outcome result = Outcome::success();
    if (!existing) {
        // The leave is saved whatever happens here; only undoing it is lost.
        const Outcome recorded = UndoHistory::SaveHistory(session, number, UndoHistory::Kind::Created);
        for (const Message &m : recorded.messages())
            result.notice(m.title, m.text);
    }
    return result;
}

Outcome LeaveStore::remove(Session &session, qint64 task)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(Error, taskError(session));
    const QString N = QString::number(task);
    return UndoHistory::RecordedChange(session, task, UndoHistory::Kind::Deleted, taskError(session), [&] {
        if (!db->exec(QStringLiteral("delete from kp_taches_desc where noid = ") + N) ||
            !db->exec(QStringLiteral("delete from kp_taches_clients where noid = ") + N) ||
            !db->exec(QStringLiteral("delete from kp_taches_ressources where noid = ") + N) ||
            !db->exec(QStringLiteral("delete from kp_taches_dates where noid = ") + N) ||
            !db->exec(QStringLiteral("delete from kp_taches_couts where noidtache = ") + N))
            return Outcome::failure(Error, taskError(session), db->lastError());
        return Outcome::success();
    });
}
