#include "core/RecordLocks.h"

#include "core/Session.h"
#include "core/SqlText.h"


namespace {

// Success when nobody but this workstation holds the lock; *held tells
// whether this workstation holds it already.
Outcome freeFor(Session &session, Database &db, LockKind kind, qint64 number, bool *held = nullptr)
{
    const QString holder = sqlText(session.workstation(), QStringLiteral("/"));
    ResultSet rows;
    if (!db.query(QStringLiteral("select nomordi from kp_verrou where typeverrou = %1 and noid = %2")
                      .arg(int(kind))
                      .arg(number),
                  rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des verrous"),
                                db.lastError());
    if (!rows.isEmpty()) {
        const QString stored = rows.value(0, 0).toUpper();
        if (stored == session.workstation().toUpper() || stored == holder.toUpper()) {
            if (held)
                *held = true;
            return Outcome::success();
        }
        const Terms &terms = session.terms();
        return Outcome::failure(QStringLiteral("Impossible"),
                                QStringLiteral("Ce") + terms.demonstrativeEnding(Entity::Tache)
                                    + terms.singular(Entity::Tache)
                                    + QStringLiteral("/indisponibilité est en cours de consultation"));
    }
    return Outcome::success();
}

Outcome takeWithin(Session &session, Database &db, LockKind kind, qint64 number)
{
    bool held = false;
    const Outcome free = freeFor(session, db, kind, number, &held);
    if (!free || held)
        return free;
    const QString holder = sqlText(session.workstation(), QStringLiteral("/"));
    if (!db.exec(QStringLiteral("insert into kp_verrou (typeverrou,noid,nomordi) values (%1,%2,'%3')")
                     .arg(int(kind))
                     .arg(number)
                     .arg(holder)))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour du verrou"),
                                db.lastError());
    return Outcome::success();
}

} // namespace

Outcome RecordLocks::take(Session &session, LockKind kind, qint64 number)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des verrous"));
    if (db->inTransaction())
        return takeWithin(session, *db, kind, number);

    Transaction transaction(*db);
    if (!transaction.isActive())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des verrous"),
                                db->lastError());
    Outcome outcome = takeWithin(session, *db, kind, number);
    if (outcome && !transaction.commit())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la mise à jour du verrou"),
                                db->lastError());
    return outcome;
}

Outcome RecordLocks::check(Session &session, LockKind kind, qint64 number)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des verrous"));
    return freeFor(session, *db, kind, number);
}

Outcome RecordLocks::release(Session &session, LockKind kind)
{
    Database *db = session.database();
    if (!db || !db->exec(QStringLiteral("delete from kp_verrou where typeverrou = %1 and  nomordi = '%2'")
                             .arg(int(kind))
                             .arg(sqlText(session.workstation(), QStringLiteral("/")))))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la suppression du verrou"),
                                db ? db->lastError() : QString());
    return Outcome::success();
}

Outcome RecordLocks::releaseAll(Session &session)
{
    for (LockKind kind : {LockKind::Task, LockKind::Client, LockKind::Reserved, LockKind::Resource}) {
        const Outcome outcome = release(session, kind);
        if (!outcome)
            return outcome;
    }
    return Outcome::success();
}

Outcome HeldLock::take(qint64 number)
{
    const Outcome taken = RecordLocks::take(m_session, m_kind, number);
    m_held = m_held || taken.ok();
    return taken;
}

Outcome HeldLock::release()
{
    if (!m_held)
        return Outcome::success();
    m_held = false;
    return RecordLocks::release(m_session, m_kind);
}
