#include "messaging/MessageStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/PasswordCodec.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "messaging/AlertDelivery.h"
#include "tasks/TaskAlerts.h"

#include <climits>

namespace {

const QString Error = QStringLiteral("Erreur");
const QString CreateError = QStringLiteral("Erreur lors de la création du message");

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString hhmm(const QDateTime &moment)
{
    return moment.time().toString(QStringLiteral("HH:mm"));
}

QDate dateOf(const QString &value)
{
    return parseDbDateTime(value).date();
}

// A text cut to what its column holds, counted as the server counts:
// characters for a short text, UTF-8 bytes for a long one; never inside a character.
QString cutTo(const QString &text, int maxCharacters, int maxBytes)
{
    const QList<uint> characters = text.toUcs4();
    QString cut;
    int bytes = 0;
    for (qsizetype i = 0; i < characters.size() && i < maxCharacters; ++i) {
        const uint c = characters.at(i);
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (bytes > maxBytes)
            break;
        cut += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
    }
    return cut;
}

QString cutTitle(const QString &title)
{
    return cutTo(title, MessageStore::MaxTitleLength, INT_MAX);
}

QString whereMine(const Session &session, qint64 number)
{
    return QStringLiteral(" where  noidmessage = ") + QString::number(number) + QStringLiteral(" and  utildest = ")
           + MessageStore::userLiteral(session.userCode());
}

} // namespace

QDateTime Note::deliveryMoment() const
{
    const QTime time = QTime::fromString(deliveryTime.trimmed() + QStringLiteral(":00"), QStringLiteral("HH:mm:ss"));
    return QDateTime(deliveryDate, time.isValid() ? time : QTime(0, 0));
}

bool Note::isAlert() const
{
    return sender == MessageStore::alertSender() && original < 0;
}

QString MessageStore::alertSender()
{
    return QStringLiteral(" Alerte");
}

QString MessageStore::userLiteral(const QString &code)
{
    const QString kept = code == alertSender() ? code : code.trimmed();
    return QLatin1Char('\'') + sqlText(PasswordCodec::encode(kept)) + QLatin1Char('\'');
}

QString MessageStore::noteColumns()
{
    return QStringLiteral("m.noidmessage,m.utilemett,m.dtemett,m.hemett,m.archiveemett,m.suppemett,"
                          " m.utildest,m.decale,m.dtdest,m.hdest,m.dtrecep,m.hrecep,m.archivedest,m.suppdest,m.noidmessageori,"
                          " m.noidsoc,m.noidcontact,m.titre,m.message,m.coulfond,m.coulpol,m.gras,m.italique,m.clignote,"
                          " m.accuse,m.dtsaisie,m.ordisaisie");
}

Note MessageStore::noteFrom(const ResultSet &rows, int r)
{
    Note n;
    n.number = rows.toLongLong(r, 0);
    n.sender = PasswordCodec::decode(rows.value(r, 1));
    n.sentDate = dateOf(rows.value(r, 2));
    n.sentTime = rows.value(r, 3);
    n.senderDeleted = rows.toInt(r, 5) == 1;
    n.recipient = PasswordCodec::decode(rows.value(r, 6));
    n.deferred = rows.toInt(r, 7) == 1;
    n.deliveryDate = dateOf(rows.value(r, 8));
    n.deliveryTime = rows.value(r, 9);
    n.readDate = dateOf(rows.value(r, 10));
    n.readTime = rows.value(r, 11);
    n.seen = rows.toInt(r, 12) == 1;
    n.recipientDeleted = rows.toInt(r, 13) == 1;
    n.original = rows.toLongLong(r, 14);
    n.client = rows.toLongLong(r, 15);
    n.contact = rows.toLongLong(r, 16);
    n.title = slashToEmpty(rows.value(r, 17));
    n.text = slashToEmpty(rows.value(r, 18));
    n.style.background = rows.toInt(r, 19);
    n.style.text = rows.toInt(r, 20);
    n.style.bold = rows.toInt(r, 21) == 1;
    n.style.italic = rows.toInt(r, 22) == 1;
    n.style.blink = rows.toInt(r, 23) == 1;
    n.receipt = rows.toInt(r, 24) == 1;
    return n;
}

Outcome MessageStore::checkOutgoing(const OutgoingNote &note)
{
    if (note.users.isEmpty() && note.groups.isEmpty())
        return Outcome::failure(Error, QStringLiteral("Vous n'allez envoyer le message à personne !!!"));
    if (note.title.toUcs4().size() > MaxTitleLength)
        return Outcome::failure(QStringLiteral("Attention"),
                                QStringLiteral("Le titre du message est trop long : %1 caractères au plus.").arg(MaxTitleLength));
    if (note.text.toUtf8().size() > MaxTextBytes)
        return Outcome::failure(QStringLiteral("Attention"),
                                QStringLiteral("Le texte du message est trop long : %1 caractères au plus (moins quand il "
                                               "contient des accents ou des symboles). Raccourcissez-le avant de l'envoyer.")
                                    .arg(MaxTextBytes));
    return Outcome::success();
}

Outcome MessageStore::nextNumber(Database &db, const QString &failure, qint64 *number)
{
    const Outcome next = NumberAllocator::next(db, {{QStringLiteral("kp_messages"), QStringLiteral("noidmessage"), {}}},
                                               NumberAllocator::IntMax, number);
    if (!next && !next.dbError().isEmpty())
        return Outcome::failure(Error, failure, next.dbError());
    return next;
}

Outcome MessageStore::insert(Session &session, const Note &n, const QDateTime &now)
{
    Database &db = *session.database();
    const Dialect &d = session.dialect();
    const QStringList values = {
        QString::number(n.number),
        MessageStore::userLiteral(n.sender),
        d.dateValue(n.sentDate),
        QLatin1Char('\'') + sqlText(n.sentTime) + QLatin1Char('\''),
        flag(n.senderDeleted),
        flag(n.senderDeleted),
        MessageStore::userLiteral(n.recipient),
        flag(n.deferred),
        d.dateValue(n.deliveryDate),
        QLatin1Char('\'') + sqlText(n.deliveryTime) + QLatin1Char('\''),
        d.unsetDateValue(),
        QStringLiteral("'00:00'"),
        QStringLiteral("0"),
        QStringLiteral("0"),
        QString::number(n.original),
        QString::number(n.client),
        QString::number(n.contact),
        slashLiteral(n.title),
        slashLiteral(n.text),
        QString::number(n.style.background),
        QString::number(n.style.text),
        flag(n.style.bold),
        flag(n.style.italic),
        flag(n.style.blink),
        flag(n.receipt),
        d.dateValue(now.date()),
        QLatin1Char('\'') + sqlText(session.workstation(), QStringLiteral("/")) + QLatin1Char('\''),
    };
    if (!db.exec(QStringLiteral("insert into kp_messages (noidmessage,utilemett,dtemett,hemett,archiveemett,suppemett,"
                                " utildest,decale,dtdest,hdest,dtrecep,hrecep,archivedest,suppdest,noidmessageori,"
                                " noidsoc,noidcontact,titre,message,coulfond,coulpol,gras,italique,clignote,"
                                " accuse,dtsaisie,ordisaisie) values (")
                 + values.join(QLatin1Char(',')) + QLatin1Char(')')))
        return Outcome::failure(Error, CreateError, db.lastError());
    return Outcome::success();
}

Outcome MessageStore::send(Session &session, const OutgoingNote &note, const QDateTime &now, qint64 *number)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(Error, CreateError);
    const Outcome checked = checkOutgoing(note);
    if (!checked)
        return checked;
    QStringList recipients;
    const Outcome expanded = TaskAlerts::expandRecipients(*db, note.users, note.groups, &recipients);
    if (!expanded)
        return expanded;

    Note row;
    row.sender = session.userCode();
    row.sentDate = now.date();
    row.sentTime = hhmm(now);
    row.senderDeleted = !note.keepCopy;
    row.deferred = note.deliverAt.has_value();
    const QDateTime delivery = note.deliverAt.value_or(now);
    row.deliveryDate = delivery.date();
    row.deliveryTime = hhmm(delivery);
    row.original = note.original;
    row.client = note.client;
    row.contact = note.contact;
    row.title = note.title;
    row.text = note.text;
    row.style = note.style;
    row.receipt = note.receipt;

    Transaction transaction(*db);
    if (!transaction.isActive())
        return Outcome::failure(Error, CreateError, db->lastError());
    const Outcome numbered = nextNumber(*db, QStringLiteral("Erreur lors de la lecture des messages"), &row.number);
    if (!numbered)
        return numbered;
    for (const QString &recipient : std::as_const(recipients)) {
        row.recipient = recipient;
        const Outcome written = insert(session, row, now);
        if (!written)
            return written;
    }
    if (!transaction.commit())
        return Outcome::failure(Error, CreateError, db->lastError());
    if (number)
        *number = row.number;
    return Outcome::success();
}

Outcome MessageStore::purge(Database &db)
{
    if (!db.exec(QStringLiteral("delete from kp_messages where suppemett = 1 and suppdest = 1")))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la suppression des messages"), db.lastError());
    return Outcome::success();
}

Outcome MessageStore::due(Session &session, const QDateTime &now, QList<Note> *notes)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select ") + noteColumns() + QStringLiteral(" from kp_messages m where ")
                      + QStringLiteral(" m.utildest = ") + MessageStore::userLiteral(session.userCode()) + QStringLiteral(" and ")
                      + QStringLiteral(" m.archivedest = 0 ") + QStringLiteral(" order by m.noidmessage"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des messages"), db.lastError());
    notes->clear();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const Note note = noteFrom(rows, r);
        // Held back until its moment; a later poll shows it.
        if (note.deferred && note.deliveryMoment() > now)
            continue;
        notes->append(note);
    }
    return Outcome::success();
}

Outcome MessageStore::claim(Session &session, const Note &note, const QDateTime &now, bool *mine)
{
    Database &db = *session.database();
    *mine = false;
    // Only the workstation whose update changes the row shows the note.
    if (!db.exec(QStringLiteral("update kp_messages set ") + QStringLiteral(" dtrecep = ") + session.dialect().dateValue(now.date())
                 + QStringLiteral(", hrecep = '") + hhmm(now) + QStringLiteral("', archivedest = 1 ")
                 + whereMine(session, note.number) + QStringLiteral(" and archivedest = 0")))
        return Outcome::failure(Error, QStringLiteral("Impossible de mettre à jour le message ") + QString::number(note.number),
                                db.lastError());
    *mine = db.changedRows() > 0;
    if (*mine && note.receipt)
        return sendReceipt(session, note, now);
    return Outcome::success();
}

Outcome MessageStore::sendReceipt(Session &session, const Note &note, const QDateTime &now)
{
    Database &db = *session.database();
    Note receipt;
    receipt.sender = session.userCode();
    receipt.sentDate = now.date();
    receipt.sentTime = hhmm(now);
    // An automatic message: nothing to keep in the reader's own mailbox.
    receipt.senderDeleted = true;
    receipt.recipient = note.sender;
    receipt.deliveryDate = now.date();
    receipt.deliveryTime = hhmm(now);
    receipt.client = note.client;
    receipt.contact = note.contact;
    receipt.title = cutTitle(QStringLiteral("Ref : ") + note.title);
    // The quoted text may not fit once the sentence is put in front of it.
    receipt.text = cutTo(QStringLiteral("Votre correspondant a bien lu le message : ") + QStringLiteral("\r\n\r\n") + note.text,
                         INT_MAX, MaxTextBytes);

    Transaction transaction(db);
    const QString failure = QStringLiteral("Erreur lors de l'envoi de l'accusé de réception");
    if (!transaction.isActive())
        return Outcome::failure(Error, failure, db.lastError());
    const Outcome numbered = nextNumber(db, failure, &receipt.number);
    if (!numbered)
        return numbered;
    const Outcome written = insert(session, receipt, now);
    if (!written)
        return written;
    if (!transaction.commit())
        return Outcome::failure(Error, CreateError, db.lastError());
    return Outcome::success();
}

Outcome MessageStore::poll(Session &session, const QDateTime &now, QList<Note> *shown)
{
    shown->clear();
    if (!session.database() || !session.isLoggedIn())
        return Outcome::success();
    Outcome outcome = purge(*session.database());
    if (!outcome)
        return outcome;
    // An alert that cannot be delivered now will be at the next poll; the notes go on.
    outcome.merge(AlertDelivery::deliverDue(session, now));
    QList<Note> notes;
    const Outcome read = due(session, now, &notes);
    if (!read)
        return outcome.merge(read);
    for (const Note &note : std::as_const(notes)) {
        bool mine = false;
        const Outcome claimed = claim(session, note, now, &mine);
        if (mine)
            shown->append(note);
        if (!claimed)
            return outcome.merge(claimed);
    }
    return outcome;
}

Outcome MessageStore::removeReceived(Session &session, qint64 number)
{
    Database &db = *session.database();
    if (!db.exec(QStringLiteral("update kp_messages set ") + QStringLiteral(" suppdest = 1 ") + whereMine(session, number)))
        return Outcome::failure(Error, QStringLiteral("Impossible de mettre à jour le message "), db.lastError());
    return Outcome::success();
}

OutgoingNote MessageStore::replyTo(const Note &note)
{
    OutgoingNote reply;
    reply.users = {note.sender};
    reply.client = note.client;
    reply.contact = note.contact;
    reply.title = cutTitle(QStringLiteral("Re : ") + note.title);
    reply.original = note.number;
    return reply;
}

OutgoingNote MessageStore::forwardOf(const Note &note)
{
    OutgoingNote forward;
    forward.client = note.client;
    forward.contact = note.contact;
    forward.title = cutTitle(QStringLiteral("Tr : ") + note.title);
    forward.text = note.text;
    forward.original = note.number;
    return forward;
}
