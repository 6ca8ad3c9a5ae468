#include "planning/PlanningEdits.h"

#include "access/Access.h"
#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/TransactionSteps.h"
#include "planning/PlanningModel.h"
#include "resources/WorkingTime.h"
#include "tasks/Periodicity.h"
#include "tasks/TaskStore.h"
#include "tasks/UndoHistory.h"

#include <functional>

namespace {

const QString Error = QStringLiteral("Erreur");

QString num(qint64 n)
{
    return QString::number(n);
}

// The link table and column a presentation's rows are joined by; none by task type.
struct LinkKind
{
    QString table;
    QString column;
    bool isTaskType() const { return table.isEmpty(); }
};

LinkKind linkKind(Presentation p)
{
    switch (p) {
    case Presentation::ByResource: return {QStringLiteral("kp_taches_ressources"), QStringLiteral("noidressource")};
    case Presentation::ByClient: return {QStringLiteral("kp_taches_clients"), QStringLiteral("noidsoc")};
    case Presentation::ByTaskType: break;
    }
    return {};
}

QString taskWord(const Session &session)
{
    const Terms &t = session.terms();
    return t.article(Entity::Tache) + t.singular(Entity::Tache).toLower();
}

QString moveFailureText(Session &session)
{
    return QStringLiteral("Erreur lors du déplacement de ") + taskWord(session);
}

Outcome moveFailure(Session &session)
{
    return Outcome::failure(Error, moveFailureText(session), session.database()->lastError());
}

QString hhmm(const QDateTime &at)
{
    return at.time().toString(QStringLiteral("hh:mm"));
}

// Working days and hours of a range, as the date line stores them.
Outcome durations(Session &session, const BlockSpan &span, QString *days, QString *hours)
{
    CompanyHours company;
    const Outcome read = CompanyHours::read(*session.database(), &company);
    if (!read)
        return read;
    // A range ending at midnight is the end of its last day.
    QDate endDate = span.end.date();
    QString endTime = hhmm(span.end);
    if (span.end.time() == QTime(0, 0) && span.end.date() > span.start.date()) {
        endDate = endDate.addDays(-1);
        endTime = QStringLiteral("24:00");
    }
    const QString startTime = hhmm(span.start);
    *days = sqlNumber(QString::number(CalculNbJours(span.start.date(), startTime, endDate, endTime, company), 'f', 4), 2);
    *hours = sqlNumber(QString::number(CalculNbHeures(span.start.date(), startTime, endDate, endTime, company), 'f', 4), 2);
    return Outcome::success();
}

// The link of the row kind moved from one row to another; "Redondance" when
// the target already holds the task.
Outcome redundancy(Session &session, Presentation presentation, qint64 task, qint64 target)
{
    Database &db = *session.database();
    const LinkKind link = linkKind(presentation);
    const QString sql = link.isTaskType()
                            ? QStringLiteral("select noidtache from kp_taches_desc where  noid = ") + num(task)
                                  + QStringLiteral(" and  noidtache = ") + num(target)
                            : QStringLiteral("select ") + link.column + QStringLiteral(" from ") + link.table
                                  + QStringLiteral(" where  noid = ") + num(task) + QStringLiteral(" and  ")
                                  + link.column + QStringLiteral(" = ") + num(target);
    ResultSet rows;
    if (!db.query(sql, rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de ") + taskWord(session), db.lastError());
    if (!rows.isEmpty())
        return Outcome::failure(QStringLiteral("Redondance"),
                                QStringLiteral("Vous ne pouvez pas déplacer ") + taskWord(session) + QStringLiteral(" ici"));
    return Outcome::success();
}

Outcome moveLink(Session &session, Presentation presentation, qint64 task, qint64 from, qint64 to)
{
    Database &db = *session.database();
    const LinkKind link = linkKind(presentation);
    const QString sql = link.isTaskType()
                            ? QStringLiteral("update kp_taches_desc set  noidtache = ") + num(to)
                                  + QStringLiteral(" where noid = ") + num(task) + QStringLiteral(" and  noidtache = ")
                                  + num(from)
                            : QStringLiteral("update ") + link.table + QStringLiteral(" set  ") + link.column
                                  + QStringLiteral(" = ") + num(to) + QStringLiteral(" where noid = ") + num(task)
                                  + QStringLiteral(" and  ") + link.column + QStringLiteral(" = ") + num(from);
    if (!db.exec(sql))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour de ") + taskWord(session),
                                db.lastError());
    return Outcome::success();
}

Outcome writeLine(Session &session, qint64 task, int line, const BlockSpan &span)
{
    QString days, hours;
    const Outcome computed = durations(session, span, &days, &hours);
    if (!computed)
        return computed;
    const Dialect &d = session.dialect();
    if (!session.database()->exec(QStringLiteral("update kp_taches_dates set datedeb = ") + d.dateTimeValue(span.start)
                                  + QStringLiteral(", datefin = ") + d.dateTimeValue(span.end) + QStringLiteral(", nbjours = ")
                                  + days + QStringLiteral(", nbheures = ") + hours + QStringLiteral(" where noid = ")
                                  + num(task) + QStringLiteral(" and  noiddate = ") + num(line)))
        return moveFailure(session);
    return Outcome::success();
}

Outcome newTaskNumber(Session &session, qint64 *number)
{
    const Outcome allocated =
        NumberAllocator::next(*session.database(), UndoHistory::taskNumberSources(), NumberAllocator::IntMax, number);
    if (!allocated && !allocated.dbError().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(Entity::Tache),
                                allocated.dbError());
    return allocated;
}

// Copies the header of `source` as task `target`; `tail` gives the columns
// from commentaire to origine and noidutil, as a select list.
bool copyHeader(Database &db, qint64 source, qint64 target, const QString &tail)
{
    return db.exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,"
                                  " codeprojet,blocage,nbjours,nbheures,codeconge,commentaire,"
                                  " noidper,dtdebper,dtfinper,origine,noidutil,effect,dteffect,commenteffect,blocadm) select ")
                   + num(target) + QStringLiteral(", noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,") + tail
                   + QStringLiteral(",effect,dteffect,commenteffect,blocadm from kp_taches_desc where  noid = ") + num(source));
}

// Copies the resource and client links, one row of the row kind replaced.
bool copyLinks(Database &db, Presentation presentation, qint64 source, qint64 target, qint64 from, qint64 to)
{
    const LinkKind kind = linkKind(presentation);
    for (const LinkKind &link : {linkKind(Presentation::ByResource), linkKind(Presentation::ByClient)}) {
        const bool swap = link.table == kind.table && from != to;
        const QString value = swap ? QStringLiteral("case when ") + link.column + QStringLiteral(" = ") + num(from)
                                         + QStringLiteral(" then ") + num(to) + QStringLiteral(" else ") + link.column
                                         + QStringLiteral(" end")
                                   : link.column;
        if (!db.exec(QStringLiteral("insert into ") + link.table + QStringLiteral(" (noid,") + link.column
                     + QStringLiteral(") select ") + num(target) + QLatin1Char(',') + value + QStringLiteral(" from ")
                     + link.table + QStringLiteral(" where noid = ") + num(source)))
            return false;
    }
    if (kind.isTaskType() && from != to)
        return db.exec(QStringLiteral("update kp_taches_desc set noidtache = ") + num(to) + QStringLiteral(" where noid = ")
                       + num(target));
    return true;
}

bool insertLine(Session &session, qint64 task, const BlockSpan &span, const QString &days, const QString &hours)
{
    const Dialect &d = session.dialect();
    return session.database()->exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin,nbjours,nbheures) values (")
                                    + num(task) + QStringLiteral(",1,") + d.dateTimeValue(span.start) + QLatin1Char(',')
                                    + d.dateTimeValue(span.end) + QLatin1Char(',') + days + QLatin1Char(',') + hours
                                    + QLatin1Char(')'));
}

// A creation is written first and recorded after; a failed record is only reported.
Outcome recordCreation(Session &session, qint64 task)
{
    Outcome result = Outcome::success();
    const Outcome saved = UndoHistory::SaveHistory(session, task, UndoHistory::Kind::Created);
    for (const Message &m : saved.messages())
        result.notice(m.title, m.text);
    return result;
}

// Runs the steps of one change in one transaction: the first failing step
// rolls them all back; a transaction that cannot begin or commit reports
// `failure` with the engine's text.
Outcome inOneTransaction(Session &session, const QString &failure, const std::function<Outcome()> &steps)
{
    return runInTransaction(*session.database(), TransactionMode::Concurrent, failure, steps);
}

// The occurrence a block of a series was drawn from.
Occurrence occurrenceOf(const PlanningBlock &block)
{
    const QDateTime end = PlanningEdits::endOf(block);
    Occurrence o;
    o.number = block.occurrence;
    o.day = block.startDate;
    o.endDay = end.date();
    o.hordeb = block.startTime();
    o.horfin = hhmm(end);
    return o;
}

QString shown(const QDateTime &at)
{
    return at.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
}

} // namespace

QDateTime PlanningEdits::startOf(const PlanningBlock &block)
{
    return QDateTime(block.startDate, QTime(0, 0)).addSecs(qint64(block.startMinutes) * 60);
}

QDateTime PlanningEdits::endOf(const PlanningBlock &block)
{
    return QDateTime(block.endDate, QTime(0, 0)).addSecs(qint64(block.endMinutes) * 60);
}

PlanningEdits::PlanningRights PlanningEdits::rights(Session &session)
{
    PlanningRights r;
    if (!session.description().geslogin || session.currentResource() <= 0)
        return r;
    const Rights leave = Access::lookup(session, QStringLiteral("CONGES"));
    const Rights others = Access::lookup(session, QStringLiteral("TACHVOIS"));
    r.leaveCreate = leave.create;
    r.leaveModify = leave.modify;
    r.leaveRemove = leave.remove;
    r.othersCreate = others.create;
    r.othersModify = others.modify;
    r.othersRemove = others.remove;
    return r;
}

Outcome PlanningEdits::checkEditable(Session &session, qint64 task)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid from kp_taches_desc where noid = ") + num(task), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de ") + taskWord(session), db.lastError());
    if (rows.isEmpty()) {
        const Terms &t = session.terms();
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Ce") + t.demonstrativeEnding(Entity::Tache)
                                                                   + t.singular(Entity::Tache)
                                                                   + QStringLiteral(" n'existe plus !"));
    }
    return RecordLocks::check(session, LockKind::Task, task);
}

Outcome PlanningEdits::moveBlock(Session &session, Presentation presentation, const PlanningBlock &block, qint64 targetRow,
                                 const BlockSpan &span)
{
    if (!span.isValid())
        return moveFailure(session);
    const bool rowChanges = targetRow != block.rowKey;
    if (rowChanges) {
        const Outcome free = redundancy(session, presentation, block.noid, targetRow);
        if (!free)
            return free;
    }
    return UndoHistory::RecordedChange(session, block.noid, UndoHistory::Kind::Modified, moveFailureText(session), [&] {
        Outcome step = writeLine(session, block.noid, block.dateLine, span);
        if (step && rowChanges)
            step = moveLink(session, presentation, block.noid, block.rowKey, targetRow);
        return step;
    });
}

Outcome PlanningEdits::moveSeriesRow(Session &session, Presentation presentation, const PlanningBlock &block, qint64 targetRow)
{
    if (targetRow == block.rowKey)
        return Outcome::success();
    const Outcome free = redundancy(session, presentation, block.noid, targetRow);
    if (!free)
        return free;
    return UndoHistory::RecordedChange(session, block.noid, UndoHistory::Kind::Modified, moveFailureText(session),
                                       [&] { return moveLink(session, presentation, block.noid, block.rowKey, targetRow); });
}

Outcome PlanningEdits::detachOccurrence(Session &session, Presentation presentation, const PlanningBlock &block,
                                        qint64 targetRow, const BlockSpan &span, qint64 *created)
{
    if (!span.isValid())
        return moveFailure(session);
    if (targetRow != block.rowKey) {
        const Outcome free = redundancy(session, presentation, block.noidper, targetRow);
        if (!free)
            return free;
    }
    qint64 task = 0;
    // Serialised: two workstations taking the same occurrence out of its
    // series at once must not make two tasks of it.
    const Outcome committed = runInTransaction(*session.database(), TransactionMode::Serialized, moveFailureText(session), [&] {
        Outcome step = Periodicity::takeOutOccurrence(*session.database(), session.dialect(), block.noidper, occurrenceOf(block),
                                                      span.start, span.end, &task);
        if (step && targetRow != block.rowKey)
            step = moveLink(session, presentation, task, block.rowKey, targetRow);
        return step;
    });
    if (!committed)
        return committed;
    if (created)
        *created = task;
    return recordCreation(session, task);
}

Outcome PlanningEdits::stretch(Session &session, const PlanningBlock &block, bool atStart, const QDateTime &value)
{
    const BlockSpan span{atStart ? value : startOf(block), atStart ? endOf(block) : value};
    if (!span.isValid())
        return moveFailure(session);
    Database &db = *session.database();
    const Dialect &d = session.dialect();
    return UndoHistory::RecordedChange(session, block.noid, UndoHistory::Kind::Modified, moveFailureText(session), [&] {
        const QString where = QStringLiteral(" where noid = ") + num(block.noid) + QStringLiteral(" and  noiddate = ")
                              + num(block.dateLine);
        const QString set = atStart ? QStringLiteral("update kp_taches_dates set datedeb = ") + d.dateTimeValue(value)
                                    : QStringLiteral("update kp_taches_dates set datefin = ") + d.dateTimeValue(value);
        if (!db.exec(set + where))
            return moveFailure(session);
        // The durations come from the stored range, the other end included.
        ResultSet rows;
        if (!db.query(QStringLiteral("select datedeb,datefin from kp_taches_dates ") + where, rows) || rows.isEmpty())
            return moveFailure(session);
        const BlockSpan stored{parseDbDateTime(rows.value(0, 0)), parseDbDateTime(rows.value(0, 1))};
        QString days, hours;
        const Outcome computed = durations(session, stored, &days, &hours);
        if (!computed)
            return computed;
        if (!db.exec(QStringLiteral("update kp_taches_dates set  nbjours = ") + days + QStringLiteral(",  nbheures = ") + hours
                     + where))
            return moveFailure(session);
        return Outcome::success();
    });
}

Outcome PlanningEdits::setLocked(Session &session, qint64 task, bool locked)
{
    const QString failure = QStringLiteral("Erreur lors du déverrouillage");
    Database &db = *session.database();
    return UndoHistory::RecordedChange(session, task, UndoHistory::Kind::Modified, failure, [&] {
        if (!db.exec(QStringLiteral("update kp_taches_desc set blocage =  ") + (locked ? QStringLiteral("1") : QStringLiteral("0"))
                     + QStringLiteral(" where noid = ") + num(task)))
            return Outcome::failure(QStringLiteral("Information"), failure, db.lastError());
        return Outcome::success();
    });
}

Outcome PlanningEdits::cancelOccurrence(Session &session, const PlanningBlock &block, qint64 *created)
{
    qint64 task = 0;
    const Outcome cancelled =
        Periodicity::cancelOccurrence(*session.database(), session.dialect(), block.noidper, occurrenceOf(block), &task);
    if (!cancelled)
        return cancelled;
    if (created)
        *created = task;
    return recordCreation(session, task);
}

Outcome PlanningEdits::copyBlock(Session &session, Presentation presentation, const PlanningBlock &block, qint64 targetRow,
                                 const BlockSpan &span, qint64 *created)
{
    const Terms &t = session.terms();
    const QString failure = QStringLiteral("Erreur lors de la mise à jour ") + t.partitive(Entity::Tache)
                            + t.singular(Entity::Tache).toLower();
    if (!span.isValid())
        return Outcome::failure(Error, failure);
    QString days, hours;
    const Outcome computed = durations(session, span, &days, &hours);
    if (!computed)
        return computed;
    Database &db = *session.database();
    qint64 task = 0;
    const Outcome committed = inOneTransaction(session, failure, [&] {
        const Outcome allocated = newTaskNumber(session, &task);
        if (!allocated)
            return allocated;
        // A copy of an occurrence is a plain task: no series, no exception.
        const QString source = num(block.noid);
        const QString copied = num(task);
        const bool ok =
            copyHeader(db, block.noid, task, QStringLiteral("commentaire,0,") + session.dialect().unsetDateValue() + QLatin1Char(',')
                                                 + session.dialect().unsetDateValue() + QStringLiteral(",1,noidutil"))
            && copyLinks(db, presentation, block.noid, task, block.rowKey, targetRow)
            && insertLine(session, task, span, days, hours)
            && db.exec(QStringLiteral("insert into kp_taches_couts (noidtache,rgcout,noidcout,datecout,libelle,noidressource,"
                                      "nofact,nbunitcout,mtunitcout,mttotcout) select ")
                       + copied
                       + QStringLiteral(",rgcout,noidcout,datecout,libelle,noidressource,nofact,nbunitcout,mtunitcout,mttotcout "
                                        "from kp_taches_couts where noidtache = ")
                       + source);
        if (!ok)
            return Outcome::failure(Error, failure, db.lastError());
        return Outcome::success();
    });
    if (!committed)
        return committed;
    if (created)
        *created = task;
    return recordCreation(session, task);
}

Outcome PlanningEdits::deletionScope(Session &session, Presentation presentation, qint64 task, DeletionScope *scope)
{
    Database &db = *session.database();
    const LinkKind link = linkKind(presentation);
    const auto count = [&](const QString &sql, int *n) {
        ResultSet rows;
        if (!db.query(sql, rows))
            return false;
        *n = rows.isEmpty() || rows.isNull(0, 0) ? 1 : qMax(1, rows.toInt(0, 0));
        return true;
    };
    *scope = {};
    const bool ok = (link.isTaskType()
                     || count(QStringLiteral("select count(*) from ") + link.table + QStringLiteral(" where noid = ") + num(task),
                              &scope->links))
                    && count(QStringLiteral("select count(*) from kp_taches_dates where noid = ") + num(task), &scope->lines);
    if (!ok)
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de ") + taskWord(session), db.lastError());
    return Outcome::success();
}

Outcome PlanningEdits::removeBlock(Session &session, Presentation presentation, const PlanningBlock &block, bool onlyLink,
                                   bool onlyLine)
{
    const QString failure = QStringLiteral("Erreur lors de la suppression");
    DeletionScope scope;
    const Outcome counted = deletionScope(session, presentation, block.noid, &scope);
    if (!counted)
        return counted;
    Database &db = *session.database();
    return UndoHistory::RecordedChange(session, block.noid, UndoHistory::Kind::Deleted, failure, [&] {
        const QString N = num(block.noid);
        const LinkKind link = linkKind(presentation);
        QStringList statements;
        // Narrowed to one link, the task keeps its dates for its other rows; narrowed
        // to one period, it keeps its links for its other periods.
        if (!link.isTaskType() && (onlyLink || (scope.links == 1 && !onlyLine)))
            statements << QStringLiteral("delete from ") + link.table + QStringLiteral(" where noid = ") + N
                              + (onlyLink ? QStringLiteral(" and ") + link.column + QStringLiteral(" = ") + num(block.rowKey)
                                          : QString());
        if (onlyLine || (scope.lines == 1 && !onlyLink))
            statements << QStringLiteral("delete from kp_taches_dates where noid = ") + N
                              + (onlyLine ? QStringLiteral(" and noiddate = ") + num(block.dateLine) : QString());
        // What is left decides whether the task itself goes.
        QStringList remains;
        if (presentation == Presentation::ByResource)
            remains << QStringLiteral("select noid from kp_taches_ressources where noid = ") + N;
        else if (presentation == Presentation::ByClient)
            remains << QStringLiteral("select noid from kp_taches_clients where noid = ") + N;
        remains << QStringLiteral("select noid from kp_taches_dates where noid = ") + N;
        for (const QString &sql : statements) {
            if (!db.exec(sql))
                return Outcome::failure(Error, failure, db.lastError());
        }
        bool empty = false;
        for (const QString &sql : remains) {
            ResultSet rows;
            if (!db.query(sql, rows))
                return Outcome::failure(Error, failure, db.lastError());
            empty = empty || rows.isEmpty();
        }
        if (empty) {
            const Outcome erased = TaskStore::eraseRows(db, block.noid);
            if (!erased)
                return erased;
        }
        return Outcome::success();
    });
}

QStringList PlanningEdits::conflicts(Session &session, qint64 task)
{
    Database &db = *session.database();
    const QString N = num(task);
    ResultSet rows;
    const QString sql =
        QStringLiteral("select r.noidressource, res.libelle, o.noid, d.codeconge, o.datedeb, o.datefin "
                       "from kp_taches_dates m, kp_taches_ressources mr, kp_taches_ressources r, kp_taches_dates o, "
                       "kp_taches_desc d, kp_ressources res where m.noid = ")
        + N + QStringLiteral(" and mr.noid = ") + N
        + QStringLiteral(" and r.noidressource = mr.noidressource and r.noid <> ") + N
        + QStringLiteral(" and o.noid = r.noid and o.datedeb < m.datefin and o.datefin > m.datedeb"
                         " and d.noid = r.noid and res.noid = r.noidressource"
                         " order by res.libelle, o.datedeb, o.noid");
    if (!db.query(sql, rows))
        return {};
    const Terms &t = session.terms();
    const QString who = t.singular(Entity::Ressource);
    QStringList notes;
    for (int i = 0; i < rows.rowCount(); ++i) {
        const QString leave = rows.value(i, 3).trimmed();
        const QString range = QStringLiteral(" du ") + shown(parseDbDateTime(rows.value(i, 4))) + QStringLiteral(" au ")
                              + shown(parseDbDateTime(rows.value(i, 5)));
        QString note = who + QLatin1Char(' ') + rows.value(i, 1).trimmed();
        if (!leave.isEmpty() && leave != QLatin1String("/"))
            note += QStringLiteral(" est en congé ou indisponible (") + leave + QLatin1Char(')') + range;
        else
            note += QStringLiteral(" est déjà occupé(e) par ") + t.article(Entity::Tache) + t.singular(Entity::Tache).toLower()
                    + QStringLiteral(" n° ") + rows.value(i, 2) + range;
        if (!notes.contains(note))
            notes << note;
    }
    return notes;
}
