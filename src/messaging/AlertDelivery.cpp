#include "messaging/AlertDelivery.h"

#include "core/Database.h"
#include "core/PasswordCodec.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "messaging/MessageStore.h"
#include "resources/WorkingTime.h"
#include "tasks/Periodicity.h"
#include "tasks/TaskLinks.h"

#include <QHash>
#include <QSet>

namespace {

const QString Error = QStringLiteral("Erreur");
const QString ReadError = QStringLiteral("Erreur lors de la lecture des alertes");

// An alert fallen due: its task and the moment it fell due (to the minute,
// as hdest keeps it).
struct DueAlert
{
    qint64 task = 0;
    QDateTime moment;
    QDateTime start;
};

QString key(qint64 task, const QDate &date, const QString &time)
{
    return QString::number(task) + QLatin1Char('|') + date.toString(Qt::ISODate) + QLatin1Char('|') + time.trimmed();
}

QString key(const DueAlert &alert)
{
    return key(alert.task, alert.moment.date(), alert.moment.time().toString(QStringLiteral("HH:mm")));
}

QList<qint64> negated(const QList<qint64> &tasks)
{
    QList<qint64> numbers;
    for (qint64 t : tasks)
        numbers.append(-t);
    return numbers;
}

// The alerts already given to the user for these tasks, as key() texts.
Outcome delivered(Session &session, const QList<qint64> &tasks, QSet<QString> *keys)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidmessageori,dtdest,hdest from kp_messages where utildest = ")
                      + MessageStore::userLiteral(session.userCode()) + QStringLiteral(" and utilemett = ")
                      + MessageStore::userLiteral(MessageStore::alertSender()) + QStringLiteral(" and noidmessageori in (")
                      + numberList(negated(tasks)) + QLatin1Char(')'),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des messages"), db.lastError());
    keys->clear();
    for (int r = 0; r < rows.rowCount(); ++r)
        keys->insert(key(-rows.toLongLong(r, 0), parseDbDateTime(rows.value(r, 1)).date(), rows.value(r, 2)));
    return Outcome::success();
}

// An alert `minutes` before `start`, when its moment (to the minute) has come.
void addIfFallen(qint64 task, int minutes, const QDateTime &start, const QDateTime &now, QList<DueAlert> *fallen)
{
    if (!start.isValid())
        return;
    QDateTime moment = start.addSecs(-60 * qint64(minutes));
    moment.setTime(QTime(moment.time().hour(), moment.time().minute()));
    if (moment <= now)
        fallen->append({task, moment, start});
}

// The alerts of the series the user is warned of: each occurrence running
// or still to come falls due on its own. A series with no end, or whose end
// is not past, keeps its records.
Outcome seriesAlerts(Session &session, const QDateTime &now, QList<DueAlert> *fallen, QList<qint64> *live)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select a.noidtype,a.ecart from kp_alertes a, kp_taches_desc d where a.codeutil = ")
                      + MessageStore::userLiteral(session.userCode())
                      + QStringLiteral(" and a.typealerte = 'TACHE' and d.noid = a.noidtype and d.noidper = d.noid"),
                  rows))
        return Outcome::failure(Error, ReadError, db.lastError());
    if (rows.isEmpty())
        return Outcome::success();
    QList<qint64> models;
    for (int r = 0; r < rows.rowCount(); ++r)
        models.append(rows.toLongLong(r, 0));
    QHash<qint64, PeriodRule> rules;
    QSet<Periodicity::ReplacedOccurrence> replaced;
    CompanyHours hours;
    Outcome read = Periodicity::readRules(db, models, &rules);
    if (read)
        read = Periodicity::readReplaced(db, models, &replaced);
    if (read)
        read = CompanyHours::read(db, &hours);
    if (!read)
        return Outcome::failure(Error, ReadError, read.dbError());
    for (int r = 0; r < rows.rowCount(); ++r) {
        const qint64 model = rows.toLongLong(r, 0);
        const int minutes = rows.toInt(r, 1);
        const auto rule = rules.constFind(model);
        if (rule == rules.constEnd() || (rule->hasEnd() && rule->datefin < now.date().addDays(-rule->jourfin)))
            continue;
        live->append(model);
        QList<Occurrence> occurrences = Periodicity::ExpandRule(*rule, now.date().addDays(-rule->jourfin - 1),
                                                                now.addSecs(60 * qint64(minutes)).date(), hours.jourstrav);
        Periodicity::dropReplaced(model, replaced, &occurrences);
        for (const Occurrence &o : std::as_const(occurrences))
            if (o.end() >= now)
                addIfFallen(model, minutes, o.start(), now, fallen);
    }
    return Outcome::success();
}

// What the note says about each task: its label, its clients, the alert's comment.
struct TaskFacts
{
    QString label;
    QStringList clients;
    qint64 firstClient = 0;
    QString comment;
};

Outcome readFacts(Session &session, const QList<qint64> &tasks, QHash<qint64, TaskFacts> *facts)
{
    Database &db = *session.database();
    const QString list = numberList(tasks);
    ResultSet heads, clients, comments;
    if (!db.query(QStringLiteral("select d.noid,t.libtache,d.commentaire from kp_taches_desc d left join kp_taches t on "
                                 "t.noidtache = d.noidtache where d.noid in (")
                      + list + QLatin1Char(')'),
                  heads)
        || !db.query(QStringLiteral("select c.noid,s.noidsoc,s.libsoc,s.typesoc,s.nomcont,s.prenomcont from kp_taches_clients c, "
                                    "kp_societes s where s.noidsoc = c.noidsoc and c.noid in (")
                         + list + QStringLiteral(") order by c.noid,s.noidsoc"),
                     clients)
        || !db.query(QStringLiteral("select noidtype,commentaire from kp_alertes where codeutil = ") + MessageStore::userLiteral(session.userCode())
                         + QStringLiteral(" and typealerte = 'TACHE' and noidtype in (") + list + QLatin1Char(')'),
                     comments))
        return Outcome::failure(Error, ReadError, db.lastError());
    const QString word = session.terms().singular(Entity::Tache);
    for (int r = 0; r < heads.rowCount(); ++r) {
        const qint64 task = heads.toLongLong(r, 0);
        TaskFacts &f = (*facts)[task];
        f.label = slashToEmpty(heads.value(r, 1)).trimmed();
        if (f.label.isEmpty())
            f.label = slashToEmpty(heads.value(r, 2)).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (f.label.isEmpty())
            f.label = word + QStringLiteral(" n° ") + QString::number(task);
    }
    for (int r = 0; r < clients.rowCount(); ++r) {
        TaskFacts &f = (*facts)[clients.toLongLong(r, 0)];
        if (f.clients.isEmpty())
            f.firstClient = clients.toLongLong(r, 1);
        f.clients.append(TaskLinks::clientLabel(clients.value(r, 2), clients.toInt(r, 3), clients.value(r, 4), clients.value(r, 5)));
    }
    for (int r = 0; r < comments.rowCount(); ++r)
        (*facts)[comments.toLongLong(r, 0)].comment = slashToEmpty(comments.value(r, 1)).trimmed();
    return Outcome::success();
}

Note noteFor(Session &session, const DueAlert &alert, const TaskFacts &facts, const QDateTime &now)
{
    const Terms &terms = session.terms();
    Note note;
    note.sender = MessageStore::alertSender();
    note.sentDate = now.date();
    note.sentTime = now.time().toString(QStringLiteral("HH:mm"));
    note.recipient = session.userCode();
    // Delivered at the moment it fell due; kept as the record of the delivery.
    note.deferred = true;
    note.deliveryDate = alert.moment.date();
    note.deliveryTime = alert.moment.time().toString(QStringLiteral("HH:mm"));
    note.original = -alert.task;
    note.client = facts.firstClient;
    note.title = AlertDelivery::titleFor(facts.label);
    QStringList lines = {terms.singular(Entity::Tache) + QStringLiteral(" : ") + facts.label,
                         QStringLiteral("Le ") + alert.start.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" à ")
                             + alert.start.toString(QStringLiteral("HH:mm"))};
    if (!facts.clients.isEmpty())
        lines.append((facts.clients.size() > 1 ? terms.plural(Entity::Client) : terms.singular(Entity::Client))
                     + QStringLiteral(" : ") + facts.clients.join(QStringLiteral(", ")));
    if (!facts.comment.isEmpty())
        lines.append(facts.comment);
    note.text = lines.join(QStringLiteral("\r\n"));
    note.style.background = 0x80C0FF; // light orange
    note.style.text = 0x000000;
    note.style.bold = true;
    return note;
}

// Lets go of the records nobody needs any more: the recipient deleted the
// note, and its task has ended or lost the alert (`live` are the tasks whose
// alerts may still fall due), so the purge may take them.
Outcome releaseRecords(Session &session, const QList<qint64> &live)
{
    Database &db = *session.database();
    QString sql = QStringLiteral("update kp_messages set suppemett = 1 where utildest = ") + MessageStore::userLiteral(session.userCode())
                  + QStringLiteral(" and utilemett = ") + MessageStore::userLiteral(MessageStore::alertSender())
                  + QStringLiteral(" and suppdest = 1 and suppemett = 0");
    if (!live.isEmpty())
        sql += QStringLiteral(" and noidmessageori not in (") + numberList(negated(live)) + QLatin1Char(')');
    if (!db.exec(sql))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour des messages"), db.lastError());
    return Outcome::success();
}

} // namespace

QString AlertDelivery::titleFor(const QString &taskLabel)
{
    return (QStringLiteral("Alerte : ") + taskLabel).left(MessageStore::MaxTitleLength);
}

Outcome AlertDelivery::deliverDue(Session &session, const QDateTime &now, int *deliveredCount)
{
    if (deliveredCount)
        *deliveredCount = 0;
    Database *db = session.database();
    if (!db || !session.isLoggedIn())
        return Outcome::success();
    const Dialect &d = session.dialect();

    // The user's alerts whose task still exists and has not ended; a series
    // is given by its occurrences.
    ResultSet rows;
    if (!db->query(QStringLiteral("select a.noidtype,a.ecart,min(t.datedeb),max(t.datefin) from kp_alertes a, kp_taches_desc d, "
                                  "kp_taches_dates t where a.codeutil = ")
                       + MessageStore::userLiteral(session.userCode())
                       + QStringLiteral(" and a.typealerte = 'TACHE' and d.noid = a.noidtype and t.noid = a.noidtype "
                                        "and (d.noidper is null or d.noidper <> d.noid) "
                                        "group by a.noidtype,a.ecart having max(t.datefin) >= ")
                       + d.dateTimeFilter(now),
                   rows))
        return Outcome::failure(Error, ReadError, db->lastError());
    QList<qint64> live;
    QList<DueAlert> fallen;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const qint64 task = rows.toLongLong(r, 0);
        live.append(task);
        addIfFallen(task, rows.toInt(r, 1), parseDbDateTime(rows.value(r, 2)), now, &fallen);
    }
    const Outcome series = seriesAlerts(session, now, &fallen, &live);
    if (!series)
        return series;
    Outcome released = releaseRecords(session, live);
    if (fallen.isEmpty())
        return released;

    QList<qint64> tasks;
    for (const DueAlert &a : std::as_const(fallen))
        tasks.append(a.task);
    QSet<QString> given;
    // Looked up first without the write lock: the usual case finds them all given.
    Outcome outcome = delivered(session, tasks, &given);
    if (!outcome)
        return outcome;
    fallen.removeIf([&](const DueAlert &a) { return given.contains(key(a)); });
    if (fallen.isEmpty())
        return released;

    QHash<qint64, TaskFacts> facts;
    outcome = readFacts(session, tasks, &facts);
    if (!outcome)
        return outcome;

    Transaction transaction(*db);
    if (!transaction.isActive())
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la création du message"), db->lastError());
    // Again inside the transaction: another workstation of the user may have given them meanwhile.
    outcome = delivered(session, tasks, &given);
    if (!outcome)
        return outcome;
    int count = 0;
    for (const DueAlert &alert : std::as_const(fallen)) {
        if (given.contains(key(alert)))
            continue;
        Note note = noteFor(session, alert, facts.value(alert.task), now);
        outcome = MessageStore::nextNumber(*db, QStringLiteral("Erreur lors de la lecture des messages"), &note.number);
        if (outcome)
            outcome = MessageStore::insert(session, note, now);
        if (!outcome)
            return outcome;
        ++count;
    }
    if (!transaction.commit())
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la création du message"), db->lastError());
    if (deliveredCount)
        *deliveredCount = count;
    return released;
}
