#include "messaging/Mailbox.h"

#include "core/Database.h"
#include "core/PasswordCodec.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "messaging/MessageStore.h"
#include "reports/ReportTable.h"

#include <algorithm>

namespace {

const QString Error = QStringLiteral("Erreur");

QString me(const Session &session)
{
    return MessageStore::userLiteral(session.userCode());
}

// A user code as read, shown without the blanks the alerts' sender carries.
QString userName(const QString &stored)
{
    return PasswordCodec::decode(stored).trimmed();
}

// A reading date, invalid while the note has not been read (01/01/1900).
QDate readDate(const QString &stored)
{
    const QDate date = parseDbDateTime(stored).date();
    return date.year() <= 1900 ? QDate() : date;
}

QString shownDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

QString MailboxEntry::sortKey() const
{
    return date.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char(' ') + time;
}

Outcome Mailbox::list(Session &session, QList<MailboxEntry> *entries)
{
    Database &db = *session.database();
    const QString user = me(session);
    ResultSet rows;
    if (!db.query(QStringLiteral("select distinct noidmessage,'XXXX',noidsoc,noidcontact,dtemett,hemett,titre,message,0 from ")
                      + QStringLiteral(" kp_messages where utilemett = ") + user + QStringLiteral(" and suppemett = 0")
                      + QStringLiteral(" union ") + QStringLiteral(" select distinct noidmessage,utilemett,noidsoc,noidcontact,")
                      + QStringLiteral(" dtrecep,hrecep,titre,message,1 from kp_messages where ") + QStringLiteral("utildest = ")
                      + user + QStringLiteral("  and dtrecep <> ") + session.dialect().unsetDateValue()
                      + QStringLiteral(" and suppdest = 0"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des messages"), db.lastError());
    entries->clear();
    QList<qint64> sent;
    for (int r = 0; r < rows.rowCount(); ++r) {
        MailboxEntry e;
        e.number = rows.toLongLong(r, 0);
        e.received = rows.toInt(r, 8) == 1;
        if (e.received) {
            e.alert = PasswordCodec::decode(rows.value(r, 1)) == MessageStore::alertSender();
            e.correspondent = userName(rows.value(r, 1));
        } else {
            sent.append(e.number);
        }
        e.client = rows.toLongLong(r, 2);
        e.contact = rows.toLongLong(r, 3);
        e.date = parseDbDateTime(rows.value(r, 4)).date();
        e.time = rows.value(r, 5);
        e.title = slashToEmpty(rows.value(r, 6));
        e.text = slashToEmpty(rows.value(r, 7));
        entries->append(e);
    }
    if (!sent.isEmpty()) {
        ResultSet recipients;
        if (!db.query(QStringLiteral("select distinct noidmessage,utildest from kp_messages where noidmessage in (") + numberList(sent)
                          + QStringLiteral(") order by noidmessage,utildest"),
                      recipients))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des messages"), db.lastError());
        QHash<qint64, QStringList> names;
        for (int r = 0; r < recipients.rowCount(); ++r)
            names[recipients.toLongLong(r, 0)].append(userName(recipients.value(r, 1)));
        for (MailboxEntry &e : *entries)
            if (!e.received)
                e.correspondent = names.value(e.number).join(QStringLiteral("; "));
    }
    std::stable_sort(entries->begin(), entries->end(), [](const MailboxEntry &a, const MailboxEntry &b) {
        const QString ka = a.sortKey(), kb = b.sortKey();
        return ka != kb ? ka > kb : a.number > b.number;
    });
    return Outcome::success();
}

Outcome Mailbox::detail(Session &session, const MailboxEntry &entry, QList<MailboxDetail> *lines)
{
    Database &db = *session.database();
    const QString n = QString::number(entry.number);
    // A received message: this user's own row, not another recipient's.
    const QString sql = entry.received
        ? QStringLiteral("select utilemett,dtemett,hemett,dtrecep,hrecep,titre,message from kp_messages ")
              + QStringLiteral(" where noidmessage = ") + n + QStringLiteral(" and utildest = ") + me(session)
        : QStringLiteral("select utildest,dtrecep,hrecep,dtemett,hemett,titre,message from kp_messages ")
              + QStringLiteral(" where noidmessage = ") + n + QStringLiteral(" order by utildest");
    ResultSet rows;
    if (!db.query(sql, rows))
        return Outcome::failure(Error, QStringLiteral("ERreur lors de la lecture du détail"), db.lastError());
    lines->clear();
    for (int r = 0; r < rows.rowCount(); ++r) {
        MailboxDetail line;
        line.user = userName(rows.value(r, 0));
        const int sentAt = entry.received ? 1 : 3;
        const int readAt = entry.received ? 3 : 1;
        line.sentDate = parseDbDateTime(rows.value(r, sentAt)).date();
        line.sentTime = rows.value(r, sentAt + 1);
        line.readDate = readDate(rows.value(r, readAt));
        line.readTime = line.readDate.isValid() ? rows.value(r, readAt + 1) : QString();
        lines->append(line);
    }
    return Outcome::success();
}

Outcome Mailbox::read(Session &session, const MailboxEntry &entry, Note *note)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select ") + MessageStore::noteColumns() + QStringLiteral(" from kp_messages m where m.noidmessage = ")
                      + QString::number(entry.number)
                      + (entry.received ? QStringLiteral(" and m.utildest = ") + me(session) : QString())
                      + QStringLiteral(" order by m.utildest"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("ERreur lors de la lecture du détail"), db.lastError());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparu"), QStringLiteral("Ce message n'existe plus"));
    *note = MessageStore::noteFrom(rows, 0);
    return Outcome::success();
}

Outcome Mailbox::remove(Session &session, const MailboxEntry &entry)
{
    Database &db = *session.database();
    const QString sql = entry.received ? QStringLiteral("update kp_messages set suppdest = 1 ") + QStringLiteral(" where noidmessage = ")
                                             + QString::number(entry.number) + QStringLiteral(" and utildest = ") + me(session)
                                       : QStringLiteral("update kp_messages set suppemett = 1 ") + QStringLiteral(" where noidmessage = ")
                                             + QString::number(entry.number);
    if (!db.exec(sql))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression du message"), db.lastError());
    const Outcome purged = MessageStore::purge(db);
    if (!purged)
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression du message"), purged.dbError());
    return Outcome::success();
}

ReportTable Mailbox::report(const QList<MailboxEntry> &entries, const QString &user)
{
    ReportTable table;
    table.setTitle(QStringLiteral("Boite aux Lettres\n") + QStringLiteral("Utilisateur : ") + user);
    table.setColumns({800, 1200, 650, 2150, 2400, 3600});
    table.addRow({QStringLiteral("Sens|B"), QStringLiteral("Date|B"), QStringLiteral("Heure|B"), QStringLiteral("De / A|B"),
                  QStringLiteral("Titre|B"), QStringLiteral("Message|B")});
    for (const MailboxEntry &e : entries) {
        const int row = table.addRow({e.received ? QStringLiteral("Reçu") : QStringLiteral("Envoyé"), shownDate(e.date), e.time,
                                      e.correspondent, e.title});
        table.setMemo(row, 5, e.text);
    }
    return table;
}
