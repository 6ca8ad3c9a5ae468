#include "WorkerActions.h"

#include "clients/ClientStore.h"
#include "core/Database.h"
#include "core/RecordLocks.h"
#include "core/Session.h"
#include "tasks/TaskStore.h"
#include "tasks/UndoHistory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

bool isBusy(const Outcome &outcome)
{
    for (const Message &m : outcome.messages())
        if (m.text.contains(Database::busyText()))
            return true;
    return false;
}

QStringList firstColumn(Database &db, const QString &sql)
{
    ResultSet rows;
    QStringList values;
    if (db.query(sql, rows))
        for (int r = 0; r < rows.rowCount(); ++r)
            values.append(rows.value(r, 0));
    return values;
}

} // namespace

WorkerActions::WorkerActions(Session &session, int count)
    : m_session(session), m_count(count), m_random(qHash(session.workstation()) ^ quint32(QCoreApplication::applicationPid())),
      m_out(stdout), m_err(stderr)
{
    for (const QString &n : firstColumn(*session.database(), QStringLiteral("select noid from kp_ressources")))
        m_resources.append(n.toLongLong());
}

QString WorkerActions::taskComment(const QString &workstation, int index)
{
    return QStringLiteral("%1 tâche %2").arg(workstation).arg(index);
}

bool WorkerActions::failed(const Outcome &outcome)
{
    m_err << m_session.workstation() << " : " << outcome.title() << " / " << outcome.text() << " / " << outcome.dbError()
          << Qt::endl;
    m_out.flush();
    return false;
}

bool WorkerActions::retrying(const std::function<Outcome()> &action)
{
    Database &db = *m_session.database();
    QElapsedTimer took;
    took.start();
    for (;;) {
        const qint64 before = db.beginWaitTotal();
        const Outcome outcome = action();
        if (outcome && outcome.messages().isEmpty()) {
            m_out << "wait " << db.beginWaitTotal() - before << '\n' << "took " << took.nsecsElapsed() / 1000 << '\n';
            return true;
        }
        if (!isBusy(outcome))
            return failed(outcome);
        m_out << "busy\n";
    }
}

Task WorkerActions::newTask(int index, qint64 client)
{
    Task t;
    t.type = 1;
    t.comment = taskComment(m_session.workstation(), index);
    const QDate start = QDate(2026, 12, 7).addDays(m_random.bounded(60));
    const int pieces = 1 + m_random.bounded(3);
    t.split = pieces > 1;
    for (int p = 0; p < pieces; ++p) {
        TaskRange r;
        r.startDate = r.endDate = start.addDays(p * 2);
        r.startTime = QStringLiteral("%1:00").arg(8 + m_random.bounded(4), 2, 10, QLatin1Char('0'));
        r.endTime = QStringLiteral("%1:30").arg(13 + m_random.bounded(5));
        t.ranges.append(r);
    }
    if (!m_resources.isEmpty()) {
        const qint64 a = m_resources.at(m_random.bounded(m_resources.size()));
        const qint64 b = m_resources.at(m_random.bounded(m_resources.size()));
        t.resources = a == b ? QList<qint64>{a} : QList<qint64>{a, b};
    }
    if (client)
        t.clients = {client};
    return t;
}

bool WorkerActions::create()
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < m_count; ++i) {
        Client c;
        c.name = QStringLiteral("%1 client %2").arg(m_session.workstation()).arg(i);
        c.town = QStringLiteral("Saint-Étienne");
        c.freeTexts[0] = QStringLiteral("libre %1").arg(i);
        if (!retrying([&] { return ClientStore::save(m_session, &c); }))
            return false;
        m_out << "client " << c.number << ' ' << c.name << '\n';
        Task t = newTask(i, c.number);
        if (!retrying([&] { return TaskStore::save(m_session, &t); }))
            return false;
        m_out << "task " << t.number << ' ' << c.number << ' ' << t.ranges.size() << ' ' << t.resources.size() << '\n';
    }
    m_out << "elapsed " << elapsed.elapsed() << '\n';
    m_out.flush();
    return true;
}

bool WorkerActions::churn()
{
    Database &db = *m_session.database();
    struct Change
    {
        UndoHistory::Kind kind;
        qint64 task;
        QString commentBefore;
    };
    QList<Change> changes;
    const QString mine = QStringLiteral("select noid from kp_taches_desc where commentaire like '%1%'")
                             .arg(taskComment(m_session.workstation(), 0).chopped(1));
    for (int i = 0; i < m_count; ++i) {
        const QStringList own = firstColumn(db, mine);
        if (own.isEmpty())
            break;
        const qint64 noid = own.at(m_random.bounded(own.size())).toLongLong();
        Task t;
        const Outcome loaded = TaskStore::load(m_session, noid, &t);
        if (!loaded)
            return failed(loaded);
        const QString before = t.comment;
        if (m_random.bounded(4) == 0) {
            if (!retrying([&] { return TaskStore::remove(m_session, noid); }))
                return false;
            changes.append({UndoHistory::Kind::Deleted, noid, before});
        } else {
            t.comment = taskComment(m_session.workstation(), 100000 + i);
            if (!retrying([&] { return TaskStore::save(m_session, &t); }))
                return false;
            changes.append({UndoHistory::Kind::Modified, noid, before});
        }
    }
    // Undoing takes back this workstation's own last changes, whatever the
    // others did meanwhile.
    for (int u = 0; u < 3 && !changes.isEmpty(); ++u) {
        const Change change = changes.takeLast();
        if (!retrying([&] { return UndoHistory::UndoLast(m_session); }))
            return false;
        const QStringList comment =
            firstColumn(db, QStringLiteral("select commentaire from kp_taches_desc where noid = %1").arg(change.task));
        const bool ok = comment.value(0) == change.commentBefore;
        m_out << "undo " << (change.kind == UndoHistory::Kind::Deleted ? "deleted " : "modified ") << change.task
              << (ok ? " ok" : " bad") << '\n';
    }
    m_out.flush();
    return true;
}

bool WorkerActions::race(const QString &holderFile)
{
    Database &db = *m_session.database();
    for (int i = 0; i < m_count; ++i) {
        const Outcome taken = RecordLocks::take(m_session, LockKind::Client, 1);
        if (!taken) {
            if (taken.title() == QLatin1String("Impossible"))
                m_out << "refused\n";
            else if (isBusy(taken))
                m_out << "busy\n";
            else
                return failed(taken);
            continue;
        }
        // Only one process at a time can make the holder file.
        QFile holder(holderFile);
        const bool alone = holder.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        const QStringList rows = firstColumn(db, QStringLiteral("select nomordi from kp_verrou where typeverrou = 1 and noid = 1"));
        if (!alone || rows.size() != 1 || rows.first() != m_session.workstation())
            m_out << "double\n";
        else
            m_out << "grant\n";
        if (alone) {
            holder.close();
            holder.remove();
        }
        const Outcome released = RecordLocks::release(m_session, LockKind::Client);
        if (!released)
            return failed(released);
        // A person takes a moment before opening the next record: without
        // it the holder takes the lock back at once and nobody else races.
        QThread::usleep(m_random.bounded(2000));
    }
    m_out.flush();
    return true;
}

bool WorkerActions::fair()
{
    QElapsedTimer elapsed;
    elapsed.start();
    int grants = 0, attempts = 0;
    while (elapsed.elapsed() < m_count) {
        ++attempts;
        const Outcome taken = RecordLocks::take(m_session, LockKind::Client, 1);
        if (!taken) {
            if (taken.title() != QLatin1String("Impossible") && !isBusy(taken))
                return failed(taken);
            continue;
        }
        ++grants;
        const Outcome released = RecordLocks::release(m_session, LockKind::Client);
        if (!released)
            return failed(released);
    }
    m_out << "grants " << grants << '\n' << "attempts " << attempts << '\n';
    m_out.flush();
    return true;
}

bool WorkerActions::hold()
{
    const Outcome taken = RecordLocks::take(m_session, LockKind::Client, 7);
    if (!taken)
        return failed(taken);
    m_out << "held" << Qt::endl;
    for (;;)
        QThread::sleep(1);
}

bool WorkerActions::release()
{
    const Outcome released = RecordLocks::releaseAll(m_session);
    if (!released)
        return failed(released);
    m_out << "released" << Qt::endl;
    return true;
}

bool WorkerActions::crash()
{
    qint64 last = 0;
    for (int i = 0;; ++i) {
        Task t;
        if (last && i % 2) {
            const Outcome loaded = TaskStore::load(m_session, last, &t);
            if (!loaded)
                return failed(loaded);
            // A different number of ranges: the save rewrites the date lines.
            const Task fresh = newTask(i, 0);
            t.ranges = fresh.ranges;
            t.split = fresh.split;
            t.comment = fresh.comment;
        } else {
            t = newTask(i, 0);
        }
        const Outcome saved = TaskStore::save(m_session, &t);
        if (!saved)
            return failed(saved);
        last = t.number;
        m_out << "saved " << t.number << Qt::endl;
    }
}
