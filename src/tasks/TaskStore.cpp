#include "tasks/TaskStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "core/TransactionSteps.h"
#include "resources/WorkingTime.h"
#include "tasks/Periodicity.h"
#include "tasks/TaskAlerts.h"
#include "tasks/UndoHistory.h"

#include <QTime>

namespace {

const QString Error = QStringLiteral("Erreur");

QString number(const QString &value)
{
    return sqlNumber(value, 2);
}

QString number(double value)
{
    return sqlNumber(QString::number(value, 'f', 4), 2);
}

// A stored date-time, invalid for none or for the neutral date.
QDateTime storedDateTime(const ResultSet &rows, int row, int column)
{
    if (rows.isNull(row, column))
        return {};
    const QDateTime value = parseDbDateTime(rows.value(row, column));
    return value.isValid() && value.date().year() > 1900 ? value : QDateTime();
}

int minutesOf(const QString &time)
{
    const QString t = WorkingTime::normaliseTime(time);
    return t.left(2).toInt() * 60 + t.mid(3, 2).toInt();
}

QDateTime at(const QDate &date, const QString &time)
{
    const int m = minutesOf(time);
    return QDateTime(date, QTime(m / 60, m % 60));
}

bool hasDates(const TaskRange &r)
{
    return r.startDate.isValid() && r.endDate.isValid() && !r.startTime.trimmed().isEmpty()
           && !r.endTime.trimmed().isEmpty();
}

QString updateFailure(const Terms &terms)
{
    return QStringLiteral("Erreur lors de la mise à jour ") + terms.partitive(Entity::Tache) + terms.singular(Entity::Tache);
}

// The ranges a save writes: every listed one for a split task, the first
// one otherwise.
QList<TaskRange> writtenRanges(const Task &task)
{
    if (task.split || task.ranges.isEmpty())
        return task.ranges;
    return {task.ranges.first()};
}

Outcome writeHeader(Session &session, const Task &task, bool exists)
{
    Database &db = *session.database();
    const Dialect &d = session.dialect();
    const QString N = QString::number(task.number);
    qint64 series = 0;
    if (task.periodic)
        series = task.number;
    else if (task.series != 0 && task.series != task.number)
        series = task.series; // an occurrence keeps pointing at its model
    const QString start = task.occurrenceStart.isValid() ? d.dateTimeValue(task.occurrenceStart) : d.unsetDateValue();
    const QString end = task.occurrenceEnd.isValid() ? d.dateTimeValue(task.occurrenceEnd) : d.unsetDateValue();
    const QString doneDate = task.doneDate.isValid() ? d.dateValue(task.doneDate) : d.unsetDateValue();
    QString sql;
    if (exists) {
        sql = QStringLiteral("update kp_taches_desc set noidtache = ") + QString::number(task.type)
              + QStringLiteral(", urgence = ") + slashLiteral(task.urgency) + QStringLiteral(", codeprojet = ") + slashLiteral(task.project)
              + QStringLiteral(", nbjours = 0, nbheures = 0, codeconge = '/', noidutil = 0, commentaire = ")
              + slashLiteral(task.comment) + QStringLiteral(" ,noidper = ") + QString::number(series)
              + QStringLiteral(", dtdebper = ") + start + QStringLiteral(", dtfinper = ") + end
              + QStringLiteral(", origine = ") + QString::number(task.origin) + QStringLiteral(" , effect = ")
              + QString::number(task.done ? 1 : 0) + QStringLiteral(", dteffect = ") + doneDate
              + QStringLiteral(", commenteffect = ") + slashLiteral(task.doneComment) + QStringLiteral(" where noid = ") + N;
    } else {
        const bool autoLock = session.settings().read(QStringLiteral("Planning"), QStringLiteral("BlocAuto"),
                                                      QStringLiteral("0")) == QLatin1String("1");
        sql = QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence, codeprojet,blocage,nbjours,nbheures,"
                             "codeconge,commentaire, noidper,dtdebper,dtfinper,origine,noalerte,noidutil,effect,dteffect,"
                             " commenteffect,blocadm) values (")
              + N + QLatin1Char(',') + QString::number(task.type) + QLatin1Char(',') + slashLiteral(task.urgency)
              + QLatin1Char(',') + slashLiteral(task.project) + QLatin1Char(',') + QString::number(autoLock ? 1 : 0)
              + QStringLiteral(",0,0,'/',") + slashLiteral(task.comment) + QLatin1Char(',') + QString::number(series)
              + QLatin1Char(',') + start + QLatin1Char(',') + end + QLatin1Char(',') + QString::number(task.origin)
              + QStringLiteral(",0,0,") + QString::number(task.done ? 1 : 0) + QLatin1Char(',') + doneDate
              + QLatin1Char(',') + slashLiteral(task.doneComment) + QLatin1Char(',') + QString::number(task.adminLock ? 1 : 0)
              + QLatin1Char(')');
    }
    if (!db.exec(sql))
        return Outcome::failure(Error, updateFailure(session.terms()), db.lastError());
    return Outcome::success();
}

Outcome writeRanges(Session &session, const Task &task)
{
    Database &db = *session.database();
    const Dialect &d = session.dialect();
    const QString N = QString::number(task.number);
    const QString failure = updateFailure(session.terms()) + QStringLiteral(" (dates)");
    CompanyHours company;
    if (!db.exec(QStringLiteral("delete from kp_taches_dates where noid = ") + N))
        return Outcome::failure(Error, failure, db.lastError());
    const Outcome read = CompanyHours::read(db, &company);
    if (!read)
        return read;
    int n = 0;
    for (const TaskRange &r : writtenRanges(task)) {
        const QString startTime = WorkingTime::normaliseTime(r.startTime);
        const QString endTime = WorkingTime::normaliseTime(r.endTime);
        const QString days = r.days.trimmed().isEmpty()
                                 ? number(CalculNbJours(r.startDate, startTime, r.endDate, endTime, company))
                                 : number(r.days);
        const QString hours = r.hours.trimmed().isEmpty()
                                  ? number(CalculNbHeures(r.startDate, startTime, r.endDate, endTime, company))
                                  : number(r.hours);
        if (!db.exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin,nbjours,nbheures) values (")
                     + N + QLatin1Char(',') + QString::number(++n) + QLatin1Char(',')
                     + d.dateTimeValue(at(r.startDate, startTime)) + QLatin1Char(',')
                     + d.dateTimeValue(at(r.endDate, endTime)) + QLatin1Char(',') + days + QLatin1Char(',') + hours
                     + QLatin1Char(')')))
            return Outcome::failure(Error, failure, db.lastError());
    }
    return Outcome::success();
}

Outcome writeLinks(Session &session, const Task &task, const QString &table, const QString &column,
                   const QList<qint64> &links, Entity entity)
{
    Database &db = *session.database();
    const QString N = QString::number(task.number);
    const QString failure = updateFailure(session.terms()) + QStringLiteral(" (") + session.terms().singular(entity)
                            + QLatin1Char(')');
    if (!db.exec(QStringLiteral("delete from ") + table + QStringLiteral(" where noid = ") + N))
        return Outcome::failure(Error, failure, db.lastError());
    for (qint64 link : links) {
        if (!db.exec(QStringLiteral("insert into ") + table + QStringLiteral(" (noid,") + column
                     + QStringLiteral(") values (") + N + QLatin1Char(',') + QString::number(link) + QLatin1Char(')')))
            return Outcome::failure(Error, failure, db.lastError());
    }
    return Outcome::success();
}

Outcome costFailure(const Database &db, int kind)
{
    return Outcome::failure(Error,
                            kind == TaskCostLine::Expense ? QStringLiteral("Erreur lors de la mise à jour de la charge")
                                                          : QStringLiteral("Erreur lors de la mise à jour de la recette"),
                            db.lastError());
}

// The values a cost line is written with, quantity and total settled.
struct CostValues
{
    QStringList columns;
    QStringList values;
};

CostValues costValues(const Dialect &d, TaskCostLine *c)
{
    if (c->quantity <= 0)
        c->quantity = 1;
    if (c->kind == TaskCostLine::Income)
        c->resource = 0;
    const QString unit = number(c->unitAmount.trimmed().isEmpty() ? QStringLiteral("0") : c->unitAmount);
    const QString total = c->total.trimmed().isEmpty() ? number(c->quantity * unit.toDouble()) : number(c->total);
    return {{QStringLiteral("noidcout"), QStringLiteral("datecout"), QStringLiteral("libelle"), QStringLiteral("noidressource"),
             QStringLiteral("nofact"), QStringLiteral("nbunitcout"), QStringLiteral("mtunitcout"), QStringLiteral("mttotcout")},
            {QString::number(c->item), c->date.isValid() ? d.dateValue(c->date) : d.unsetDateValue(), slashLiteral(c->label),
             QString::number(c->resource), slashLiteral(c->invoice), QString::number(c->quantity), unit, total}};
}

QString insertCost(const QString &task, int rank, const CostValues &v)
{
    return QStringLiteral("insert into kp_taches_couts (noidtache,rgcout,") + v.columns.join(QLatin1Char(','))
           + QStringLiteral(") values (") + task + QLatin1Char(',') + QString::number(rank) + QLatin1Char(',')
           + v.values.join(QLatin1Char(',')) + QLatin1Char(')');
}

// The lines entered while the task had no number yet.
Outcome writeCosts(Session &session, Task *task)
{
    Database &db = *session.database();
    const QString N = QString::number(task->number);
    int highest = 0;
    for (const TaskCostLine &c : std::as_const(task->costs))
        highest = qMax(highest, c.rank);
    for (TaskCostLine &c : task->costs) {
        if (c.rank <= 0)
            c.rank = ++highest;
        if (!db.exec(insertCost(N, c.rank, costValues(session.dialect(), &c))))
            return costFailure(db, c.kind);
    }
    return Outcome::success();
}

QString costSelect()
{
    return QStringLiteral("select c.rgcout,k.typecout,c.noidcout,c.datecout,c.libelle,c.noidressource,c.nofact,"
                          "c.nbunitcout,c.mtunitcout,c.mttotcout from kp_taches_couts c left join kp_couts k on "
                          "k.noid = c.noidcout where c.noidtache = ");
}

// A line read by "select c.rgcout,k.typecout,c.noidcout,... from kp_taches_couts c".
TaskCostLine costLine(const ResultSet &rows, int i)
{
    TaskCostLine c;
    c.rank = rows.toInt(i, 0);
    c.kind = rows.toInt(i, 1);
    c.item = rows.toLongLong(i, 2);
    c.date = storedDateTime(rows, i, 3).date();
    c.label = slashToEmpty(rows.value(i, 4));
    c.resource = rows.toLongLong(i, 5);
    c.invoice = slashToEmpty(rows.value(i, 6));
    c.quantity = rows.toInt(i, 7);
    c.unitAmount = number(rows.value(i, 8));
    c.total = number(rows.value(i, 9));
    return c;
}

} // namespace

Outcome TaskStore::load(Session &session, qint64 noid, Task *task)
{
    Database &db = *session.database();
    const Terms &terms = session.terms();
    const QString N = QString::number(noid);
    ResultSet head, dates, resources, clients, costs;
    if (!db.query(QStringLiteral("select noidtache,urgence,codeprojet,blocage,commentaire,noidper,dtdebper,dtfinper,"
                                 "origine,noalerte,effect,dteffect,commenteffect,blocadm from kp_taches_desc where noid = ")
                      + N,
                  head))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + terms.plural(Entity::Tache),
                                db.lastError());
    if (head.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Ce") + terms.demonstrativeEnding(Entity::Tache)
                                                                   + terms.singular(Entity::Tache)
                                                                   + QStringLiteral(" n'existe plus !"));
    if (!db.query(QStringLiteral("select datedeb,datefin,nbjours,nbheures from kp_taches_dates where noid = ") + N
                      + QStringLiteral(" order by noiddate"),
                  dates)
        || !db.query(QStringLiteral("select noidressource from kp_taches_ressources where noid = ") + N, resources)
        || !db.query(QStringLiteral("select noidsoc from kp_taches_clients where noid = ") + N, clients)
        || !db.query(costSelect()
                         + N + QStringLiteral(" order by c.rgcout"),
                     costs))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture ") + terms.partitive(Entity::Tache)
                                           + terms.singular(Entity::Tache),
                                db.lastError());
    Task t;
    t.number = noid;
    t.type = head.toLongLong(0, 0);
    t.urgency = slashToEmpty(head.value(0, 1));
    t.project = slashToEmpty(head.value(0, 2));
    t.userLock = head.toInt(0, 3) == 1;
    t.comment = slashToEmpty(head.value(0, 4));
    t.series = head.toLongLong(0, 5);
    t.periodic = t.series != 0 && t.series == noid;
    t.occurrenceStart = storedDateTime(head, 0, 6);
    t.occurrenceEnd = storedDateTime(head, 0, 7);
    t.origin = head.toInt(0, 8);
    t.alert = head.toLongLong(0, 9);
    t.done = head.toInt(0, 10) == 1;
    t.doneDate = storedDateTime(head, 0, 11).date();
    t.doneComment = slashToEmpty(head.value(0, 12));
    t.adminLock = head.toInt(0, 13) == 1;
    for (int i = 0; i < dates.rowCount(); ++i) {
        const QDateTime start = parseDbDateTime(dates.value(i, 0));
        const QDateTime end = parseDbDateTime(dates.value(i, 1));
        t.ranges.append({start.date(), start.time().toString(QStringLiteral("HH:mm")), end.date(),
                         end.time().toString(QStringLiteral("HH:mm")), number(dates.value(i, 2)),
                         number(dates.value(i, 3))});
    }
    t.split = t.ranges.size() > 1;
    for (int i = 0; i < resources.rowCount(); ++i)
        t.resources.append(resources.toLongLong(i, 0));
    for (int i = 0; i < clients.rowCount(); ++i)
        t.clients.append(clients.toLongLong(i, 0));
    for (int i = 0; i < costs.rowCount(); ++i)
        t.costs.append(costLine(costs, i));
    *task = t;
    return Outcome::success();
}

void TaskStore::applyRuleDates(Task *task)
{
    const PeriodRule &rule = *task->rule;
    TaskRange range;
    if (!task->ranges.isEmpty())
        range = task->ranges.first();
    const bool moved = range.startDate != rule.datedeb || range.startTime != rule.hordeb
                       || range.endDate != rule.datedeb.addDays(rule.jourfin) || range.endTime != rule.horfin;
    range.startDate = rule.datedeb;
    range.startTime = rule.hordeb;
    range.endDate = rule.datedeb.addDays(rule.jourfin);
    range.endTime = rule.horfin;
    if (moved)
        range.days = range.hours = QString(); // computed again from the new range
    task->ranges = {range};
    task->split = false;
}

Outcome TaskStore::validate(Session &session, const Task &task)
{
    Database &db = *session.database();
    const Terms &terms = session.terms();
    const QString incomplete = QStringLiteral("Incomplet");
    const QString inconsistent = QStringLiteral("Incohérence");
    ResultSet types;
    if (!db.query(QStringLiteral("select noidtache from kp_taches"), types))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des taches"), db.lastError());
    if (types.isEmpty())
        return Outcome::failure(incomplete, QStringLiteral("Vous devez d'abord créer des types ")
                                                + (terms.elided(Entity::Tache) ? QStringLiteral("d'") : QStringLiteral("de "))
                                                + terms.singular(Entity::Tache));
    if (task.alertRequest && task.alertRequest->minutes) {
        QStringList codes;
        const Outcome expanded =
            TaskAlerts::expandRecipients(db, task.alertRequest->users, task.alertRequest->groups, &codes);
        if (!expanded)
            return expanded;
    }
    if (task.split && !task.periodic) {
        if (task.ranges.isEmpty())
            return Outcome::failure(incomplete, QStringLiteral("Vous n'avez défini aucun fractionnement !"));
        return Outcome::success();
    }
    if (task.ranges.isEmpty() || !task.ranges.first().startDate.isValid() || !task.ranges.first().endDate.isValid())
        return Outcome::failure(incomplete, QStringLiteral("Vous devez renseigner les dates de début et de fin !!"));
    const TaskRange &r = task.ranges.first();
    if (r.startDate > r.endDate)
        return Outcome::failure(inconsistent, QStringLiteral("La date de début est supérieure à la date de fin !!"));
    if (r.startDate == r.endDate && minutesOf(r.startTime) > minutesOf(r.endTime))
        return Outcome::failure(inconsistent, QStringLiteral("L'heure de de début est supérieure à l'heure de fin !!"));
    return Outcome::success();
}

Outcome TaskStore::save(Session &session, Task *task)
{
    if (task->periodic && task->rule)
        applyRuleDates(task);
    const Outcome valid = validate(session, *task);
    if (!valid)
        return valid;
    if (!task->split) {
        for (const TaskRange &r : writtenRanges(*task)) {
            if (!hasDates(r))
                return Outcome::failure(QStringLiteral("Incomplet"),
                                        QStringLiteral("Vous devez renseigner les dates de début et de fin !!"));
        }
    }
    Database &db = *session.database();
    const Terms &terms = session.terms();
    const bool creation = task->number == 0;
    qint64 noid = task->number;
    Task written = *task;
    const auto write = [&]() -> Outcome {
        if (creation) {
            const Outcome allocated =
                NumberAllocator::next(db, UndoHistory::taskNumberSources(), NumberAllocator::IntMax, &noid);
            if (!allocated) {
                if (!allocated.dbError().isEmpty())
                    return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + terms.plural(Entity::Tache),
                                            allocated.dbError());
                return allocated;
            }
        }
        written.number = noid;
        if (creation)
            written.origin = 1;
        ResultSet existing;
        if (!db.query(QStringLiteral("select noid from kp_taches_desc where noid = ") + QString::number(noid), existing))
            return Outcome::failure(Error, updateFailure(terms), db.lastError());
        Outcome step = writeHeader(session, written, !existing.isEmpty());
        if (step)
            step = writeRanges(session, written);
        if (step)
            step = writeLinks(session, written, QStringLiteral("kp_taches_ressources"), QStringLiteral("noidressource"),
                              written.resources, Entity::Ressource);
        if (step)
            step = writeLinks(session, written, QStringLiteral("kp_taches_clients"), QStringLiteral("noidsoc"),
                              written.clients, Entity::Client);
        if (step && creation)
            step = writeCosts(session, &written);
        return step;
    };
    // A change is written with its undo entry; a creation's entry follows it.
    const Outcome saved = creation ? runInTransaction(db, TransactionMode::Concurrent, updateFailure(terms), write)
                                   : UndoHistory::RecordedChange(session, noid, UndoHistory::Kind::Modified,
                                                                 updateFailure(terms), write);
    if (!saved)
        return saved;

    const bool wasModel = task->isSeriesModel();
    *task = written;
    Outcome result = Outcome::success();
    if (wasModel && !task->periodic) {
        Transaction rule(db);
        Outcome cleared = rule.isActive() ? Periodicity::clearRule(db, session.dialect(), terms, noid)
                                          : Outcome::failure(Error, updateFailure(terms) + QStringLiteral(" (Période)"),
                                                             db.lastError());
        if (cleared && !rule.commit())
            cleared = Outcome::failure(Error, updateFailure(terms) + QStringLiteral(" (Période)"), db.lastError());
        // The task itself is saved: the rest of the sequence still runs.
        result.merge(cleared);
        if (cleared) {
            task->series = 0;
            task->occurrenceStart = task->occurrenceEnd = QDateTime();
        }
    } else if (task->periodic) {
        task->series = noid;
        if (task->rule) {
            PeriodRule rule = *task->rule;
            rule.noid = noid;
            const QString failure = updateFailure(terms) + QStringLiteral(" (Période)");
            Transaction ruleWrite(db);
            Outcome written = ruleWrite.isActive() ? Periodicity::saveRule(db, session.dialect(), rule)
                                                   : Outcome::failure(Error, failure, db.lastError());
            if (written && !ruleWrite.commit())
                written = Outcome::failure(Error, failure, db.lastError());
            result.merge(written);
            task->rule = rule;
        }
    }
    if (task->alertRequest) {
        // The task is saved whatever happens to its alert, which keeps its rows.
        const AlertRequest &a = *task->alertRequest;
        QStringList codes;
        Outcome alert = a.minutes ? TaskAlerts::expandRecipients(db, a.users, a.groups, &codes) : Outcome::success();
        if (alert)
            alert = TaskAlerts::write(session, noid, a.minutes, a.comment, codes);
        for (const Message &m : alert.messages())
            result.notice(m.title, m.text);
        if (alert)
            task->alert = a.minutes ? noid : 0;
    }
    if (creation) {
        // The task is written: an undo entry that could not be kept is only reported.
        const Outcome saved = UndoHistory::SaveHistory(session, noid, UndoHistory::Kind::Created);
        for (const Message &m : saved.messages())
            result.notice(m.title, m.text);
    }
    return result;
}

Outcome TaskStore::remove(Session &session, qint64 noid)
{
    Database &db = *session.database();
    const QString failure = QStringLiteral("Erreur lors de la suppression");
    return UndoHistory::RecordedChange(session, noid, UndoHistory::Kind::Deleted, failure, [&] { return eraseRows(db, noid); });
}

Outcome TaskStore::eraseRows(Database &db, qint64 noid)
{
    const QString failure = QStringLiteral("Erreur lors de la suppression");
    const QString N = QString::number(noid);
    ResultSet head;
    if (!db.query(QStringLiteral("select noidper from kp_taches_desc where noid = ") + N, head))
        return Outcome::failure(Error, failure, db.lastError());
    const bool model = !head.isEmpty() && head.toLongLong(0, 0) == noid;
    const QString derived = model ? QStringLiteral(" or noid in (select noid from kp_taches_desc where noidper = ") + N
                                        + QLatin1Char(')')
                                  : QString();
    const QString derivedCosts =
        model ? QStringLiteral(" or noidtache in (select noid from kp_taches_desc where noidper = ") + N + QLatin1Char(')')
              : QString();
    const QStringList statements = {
        QStringLiteral("delete from kp_taches_clients where noid = ") + N + derived,
        QStringLiteral("delete from kp_taches_ressources where noid = ") + N + derived,
        QStringLiteral("delete from kp_taches_dates where noid = ") + N + derived,
        QStringLiteral("delete from kp_taches_couts where noidtache = ") + N + derivedCosts,
        QStringLiteral("delete from kp_taches_desc where noid = ") + N
            + (model ? QStringLiteral(" or noidper = ") + N : QString()),
    };
    for (const QString &sql : statements) {
        if (!db.exec(sql))
            return Outcome::failure(Error, failure, db.lastError());
    }
    const Outcome alerts = TaskAlerts::removeForTask(db, noid);
    if (!alerts)
        return alerts;
    if (!db.exec(QStringLiteral("delete from kp_periode where noid = ") + N))
        return Outcome::failure(Error, failure, db.lastError());
    return Outcome::success();
}

bool TaskStore::adminLockApplies(const Session &session, const Task &task)
{
    const DatabaseDescription &d = session.description();
    return task.adminLock && d.blocauto && d.geslogin && !session.isAdministrator();
}

Outcome TaskStore::saveCostLine(Session &session, qint64 task, TaskCostLine *line)
{
    Database &db = *session.database();
    const QString N = QString::number(task);
    Transaction transaction(db);
    if (!transaction.isActive())
        return costFailure(db, line->kind);
    TaskCostLine written = *line;
    if (written.rank <= 0) {
        ResultSet highest;
        if (!db.query(QStringLiteral("select max(rgcout) from kp_taches_couts where  noidtache = ") + N, highest))
            return costFailure(db, line->kind);
        written.rank = (highest.isEmpty() || highest.isNull(0, 0) ? 0 : highest.toInt(0, 0)) + 1;
    }
    const QString R = QString::number(written.rank);
    ResultSet existing;
    if (!db.query(QStringLiteral("select noidtache from kp_taches_couts where noidtache = ") + N
                      + QStringLiteral(" and rgcout = ") + R,
                  existing))
        return costFailure(db, line->kind);
    const CostValues v = costValues(session.dialect(), &written);
    QString sql;
    if (existing.isEmpty()) {
        sql = insertCost(N, written.rank, v);
    } else {
        QStringList assignments;
        for (int i = 0; i < v.columns.size(); ++i)
            assignments.append(v.columns[i] + QStringLiteral(" = ") + v.values[i]);
        sql = QStringLiteral("update kp_taches_couts set ") + assignments.join(QStringLiteral(", "))
              + QStringLiteral(" where noidtache = ") + N + QStringLiteral(" and rgcout = ") + R;
    }
    if (!db.exec(sql) || !transaction.commit())
        return costFailure(db, line->kind);
    written.total = number(v.values.last());
    written.unitAmount = number(v.values[6]);
    *line = written;
    return Outcome::success();
}

Outcome TaskStore::loadCostLine(Session &session, qint64 task, int rank, int kind, TaskCostLine *line)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(costSelect()
                      + QString::number(task) + QStringLiteral(" and c.rgcout = ") + QString::number(rank),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des couts"), db.lastError());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), kind == TaskCostLine::Expense
                                                                   ? QStringLiteral("Cette charge n'est plus définie !")
                                                                   : QStringLiteral("Cette recette n'est plus définie !"));
    *line = costLine(rows, 0);
    line->kind = kind;
    return Outcome::success();
}

Outcome TaskStore::removeCostLine(Session &session, qint64 task, int rank)
{
    Database &db = *session.database();
    if (!db.exec(QStringLiteral("delete from kp_taches_couts where noidtache = ") + QString::number(task)
                 + QStringLiteral(" and rgcout = ") + QString::number(rank)))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression"), db.lastError());
    return Outcome::success();
}
