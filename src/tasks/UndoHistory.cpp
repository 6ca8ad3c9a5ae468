#include "tasks/UndoHistory.h"

#include "core/Database.h"
#include "core/RefreshStamp.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "core/TransactionSteps.h"

namespace {

const QString Error = QStringLiteral("Erreur");
const QString UpdateError = QStringLiteral("Erreur lors de la mise à jour des historiques");
const QString ReadError = QStringLiteral("Erreur lors de la lecture de l'historique");

// A task table and its history mirror. `key` addresses a task's rows.
struct Mirror
{
    const char *live;
    const char *history;
    const char *key;
    const char *columns;
};

// The prospect link is kept too: a task restored without it would lose its request.
const Mirror Header = {"kp_taches_desc", "histo_taches_desc", "noid",
                       "noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,commentaire,noidper,"
                       "dtdebper,dtfinper,origine,noalerte,noidprospect,noidutil,effect,dteffect,commenteffect,blocadm"};
const Mirror Dates = {"kp_taches_dates", "histo_taches_dates", "noid", "noid,noiddate,datedeb,datefin,nbjours,nbheures"};
const Mirror Resources = {"kp_taches_ressources", "histo_taches_ressources", "noid", "noid,noidressource"};
const Mirror Clients = {"kp_taches_clients", "histo_taches_clients", "noid", "noid,noidsoc"};
const Mirror Costs = {"kp_taches_couts", "histo_taches_couts", "noidtache",
                      "noidtache,rgcout,noidcout,datecout,libelle,noidressource,nofact,nbunitcout,mtunitcout,mttotcout"};
const Mirror Alerts = {"kp_alertes", "histo_alertes", "noid",
                       "noid,ecart,typealerte,noidtype,noidsecond,commentaire,codeutil,datecreat,codeutilcreat"};
const Mirror Rule = {"kp_periode", "histo_periode", "noid",
                     "noid,hordeb,horfin,jourfin,periodicite,typequot,jourquot,jourhebdo,jour,typemois,jourmois,"
                     "jourfinmois,mois,jourmoisan,moisan,datedeb,datefin"};

const QList<const Mirror *> AllMirrors = {&Header, &Resources, &Clients, &Dates, &Costs, &Alerts, &Rule};

QString L(const char *text) { return QLatin1String(text); }

// "a.x,a.y" from "x,y": the alert and rule copies read through a join.
QString prefixed(const char *columns)
{
    QStringList list = L(columns).split(QLatin1Char(','));
    for (QString &c : list)
        c.prepend(QStringLiteral("a."));
    return list.join(QLatin1Char(','));
}

QString station(const Session &session) { return sqlText(session.workstation(), QStringLiteral("/")); }

QString entryClause(int n, const QString &ws)
{
    return QStringLiteral(" nohisto = ") + QString::number(n) + QStringLiteral(" and  nomordi = '") + ws + QLatin1Char('\'');
}

// The engine's text and the statement, as one message: what support needs to see.
Outcome statementFailure(Database &db, const QString &sql)
{
    return Outcome::failure(Error, db.lastError() + QStringLiteral("\r\n") + sql);
}

// Removes entry n and closes the gap, inside the caller's transaction.
Outcome dropEntry(Database &db, int n, const QString &ws)
{
    for (const Mirror *m : AllMirrors)
        if (!db.exec(QStringLiteral("delete from ") + L(m->history) + QStringLiteral(" where ") + entryClause(n, ws)))
            return Outcome::failure(Error, UpdateError, db.lastError());
    for (const Mirror *m : AllMirrors)
        if (!db.exec(QStringLiteral("update ") + L(m->history) + QStringLiteral(" set nohisto = nohisto - 1 where  nohisto > ")
                     + QString::number(n) + QStringLiteral(" and nomordi = '") + ws + QLatin1Char('\'')))
            return Outcome::failure(Error, UpdateError, db.lastError());
    return Outcome::success();
}

// The newest entry of the workstation, 0 when its stack is empty.
bool newestEntry(Database &db, const QString &ws, int *n)
{
    ResultSet rows;
    if (!db.query(QStringLiteral("select max(nohisto) from histo_taches_desc where nomordi = '") + ws + QLatin1Char('\''), rows))
        return false;
    *n = rows.isEmpty() || rows.isNull(0, 0) ? 0 : rows.toInt(0, 0);
    return true;
}

} // namespace

int UndoHistory::depth(const Session &session)
{
    // An unreadable value counts as 0, as a typed "abc" always has.
    const int value = session.settings().read(QStringLiteral("Planning"), QStringLiteral("NbHisto"), QStringLiteral("10"))
                          .trimmed()
                          .toInt();
    return qMax(0, value);
}

Outcome UndoHistory::snapshot(Session &session, qint64 task, Kind kind)
{
    Database *db = session.database();
    if (!db || !db->inTransaction())
        return Outcome::failure(Error, UpdateError);
    const QString ws = station(session);
    const QString N = QString::number(task);

    const int limit = depth(session);
    if (limit <= 0)
        return Outcome::success();
    ResultSet found;
    if (!db->query(QStringLiteral("select noid from kp_taches_desc where noid = ") + N, found))
        return Outcome::failure(Error, ReadError, db->lastError());
    // No task, no snapshot: an entry without its header could never be undone.
    if (found.isEmpty())
        return Outcome::success();

    int newest = 0;
    if (!newestEntry(*db, ws, &newest))
        return Outcome::failure(Error, UpdateError, db->lastError());
    for (int next = newest + 1; next > limit; --next) {
        const Outcome dropped = dropEntry(*db, 1, ws);
        if (!dropped)
            return dropped;
    }

    qint64 entry = 0;
    const Outcome numbered = NumberAllocator::next(
        *db, {{QStringLiteral("histo_taches_desc"), QStringLiteral("nohisto"), QStringLiteral("nomordi = '") + ws + QLatin1Char('\'')}},
        NumberAllocator::IntMax, &entry);
    if (!numbered)
        return numbered;
    const QString head = QStringLiteral("'") + ws + QStringLiteral("',") + QString::number(entry) + QLatin1Char(',');

    QStringList statements;
    statements << QStringLiteral("insert into histo_taches_desc (nomordi,nohisto,typehisto,") + L(Header.columns)
                      + QStringLiteral(") select ") + head + QString::number(int(kind)) + QLatin1Char(',')
                      + L(Header.columns) + QStringLiteral(" from kp_taches_desc where noid = ") + N;
    for (const Mirror *m : {&Dates, &Resources, &Clients, &Costs})
        statements << QStringLiteral("insert into ") + L(m->history) + QStringLiteral(" (nomordi,nohisto,") + L(m->columns)
                          + QStringLiteral(") select ") + head + L(m->columns) + QStringLiteral(" from ") + L(m->live)
                          + QStringLiteral(" where ") + L(m->key) + QStringLiteral(" = ") + N;
    statements << QStringLiteral("insert into histo_alertes (nomordi,nohisto,") + L(Alerts.columns)
                      + QStringLiteral(") select ") + head + prefixed(Alerts.columns)
                      + QStringLiteral(" from kp_alertes a, kp_taches_desc d where a.noid = d.noalerte and d.noid = ") + N;
    statements << QStringLiteral("insert into histo_periode (nomordi,nohisto,") + L(Rule.columns)
                      + QStringLiteral(") select ") + head + prefixed(Rule.columns)
                      + QStringLiteral(" from kp_periode a,kp_taches_desc d where a.noid=d.noidper and d.noid = ") + N;
    for (const QString &sql : statements)
        if (!db->exec(sql))
            return statementFailure(*db, sql);
    return Outcome::success();
}

Outcome UndoHistory::RecordedChange(Session &session, qint64 task, Kind kind, const QString &failure,
                                    const std::function<Outcome()> &change)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(Error, failure);
    // Snapshot, change and stamp commit together: an entry exists exactly
    // when its change was written, and a failed save leaves the stack as it
    // was, its oldest entry included.
    return runInTransaction(*db, TransactionMode::Concurrent, failure, [&] {
        Outcome done = kind == Kind::Created ? Outcome::success() : snapshot(session, task, kind);
        if (done && change)
            done = change();
        if (done && kind == Kind::Created)
            done = snapshot(session, task, kind);
        // The stamp goes out even with the history off: other workstations
        // must reload whatever the depth. It is the last write, so that the
        // one row every change updates stays locked for the shortest time.
        if (!done)
            return done;
        const Outcome stamped = RefreshStamp::write(session);
        return stamped ? done : stamped;
    });
}

Outcome UndoHistory::SaveHistory(Session &session, qint64 task, Kind kind)
{
    return RecordedChange(session, task, kind, UpdateError, {});
}

Outcome UndoHistory::DropHistoryEntry(Session &session, int n)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(Error, UpdateError);
    // One transaction rather than two: a failure between the delete and the
    // renumbering would otherwise leave a hole that the next save skips over.
    Transaction transaction(*db);
    if (!transaction.isActive())
        return Outcome::failure(Error, UpdateError, db->lastError());
    const Outcome dropped = dropEntry(*db, n, station(session));
    if (!dropped)
        return dropped;
    if (!transaction.commit())
        return Outcome::failure(Error, UpdateError, db->lastError());
    return Outcome::success();
}

Outcome UndoHistory::UndoLast(Session &session)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(Error, ReadError);
    const QString ws = station(session);

    // The check that a deleted task's number is still free and its re-creation
    // happen in one serialised transaction, so no other workstation can take
    // the number in between.
    Transaction transaction(*db);
    if (!transaction.isActive())
        return Outcome::failure(Error, ReadError, db->lastError());
    // The stamp goes out whatever is undone, as the last write: the one row
    // every change updates stays locked for the shortest time.
    const auto stampAndCommit = [&](const QString &failure) {
        const Outcome stamped = RefreshStamp::write(session);
        if (!stamped)
            return stamped;
        return transaction.commit() ? Outcome::success() : Outcome::failure(Error, failure, db->lastError());
    };

    int n = 0;
    if (!newestEntry(*db, ws, &n))
        return Outcome::failure(Error, ReadError, db->lastError());
    if (n == 0)
        return stampAndCommit(ReadError);

    ResultSet entry;
    if (!db->query(QStringLiteral("select typehisto,noid from histo_taches_desc where ") + entryClause(n, ws), entry)
        || entry.isEmpty())
        return Outcome::failure(Error, ReadError, db->lastError());
    const int kind = entry.toInt(0, 0);
    const QString N = QString::number(entry.toLongLong(0, 1));

    if (kind == int(Kind::Deleted)) {
        ResultSet taken;
        if (!db->query(QStringLiteral("select noid from kp_taches_desc where  noid = ") + N, taken))
            return Outcome::failure(Error, ReadError, db->lastError());
        if (!taken.isEmpty()) {
            // The number went to another task: this entry can never be undone,
            // so it goes, and the next undo works on the one below.
            const Outcome dropped = dropEntry(*db, n, ws);
            if (!dropped)
                return dropped;
            const Outcome committed = stampAndCommit(UpdateError);
            if (!committed)
                return committed;
            return Outcome::failure(QStringLiteral("Désolé"), QStringLiteral("Impossible de réinitialiser l'historique"));
        }
    }

    const QString where = QStringLiteral(" where ") + entryClause(n, ws);
    for (const Mirror *m : {&Header, &Dates, &Resources, &Clients, &Costs, &Rule, &Alerts}) {
        QString remove = QStringLiteral("delete from ") + L(m->live) + QStringLiteral(" where ") + L(m->key)
                         + QStringLiteral(" = ") + N;
        // A rule or alert kept under another number (an occurrence pointing at
        // its series' rule) is replaced too, never duplicated.
        if (kind != int(Kind::Created) && (m == &Rule || m == &Alerts))
            remove += QStringLiteral(" or noid in (select noid from ") + L(m->history) + where + QLatin1Char(')');
        if (!db->exec(remove))
            return statementFailure(*db, remove);
        if (kind == int(Kind::Created))
            continue;
        const QString restore = QStringLiteral("insert into ") + L(m->live) + QStringLiteral(" (") + L(m->columns)
                                + QStringLiteral(") select ") + L(m->columns) + QStringLiteral(" from ") + L(m->history)
                                + where;
        if (!db->exec(restore))
            return statementFailure(*db, restore);
    }
    const Outcome dropped = dropEntry(*db, n, ws);
    if (!dropped)
        return dropped;
    return stampAndCommit(UpdateError);
}

QList<NumberSource> UndoHistory::taskNumberSources()
{
    return {{QStringLiteral("kp_taches_desc"), QStringLiteral("noid"), {}},
            {QStringLiteral("histo_taches_desc"), QStringLiteral("noid"), {}}};
}
