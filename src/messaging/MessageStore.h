#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Database;
class ResultSet;
class Session;

// How a note looks on screen. Colours are stored values, 0x00BBGGRR.
struct NoteStyle
{
    int background = 0x80FFFF; // pale yellow
    int text = 0x000000;
    bool bold = false;
    bool italic = false;
    bool blink = false;
    bool operator==(const NoteStyle &other) const = default;
};

// One kp_messages row: one sending to one recipient. User codes are plain
// here and encoded in the database.
struct Note
{
    qint64 number = 0;
    QString sender;
    QDate sentDate;
    QString sentTime; // "hh:mm"
    bool senderDeleted = false; // no copy kept, or deleted from the sender's mailbox
    QString recipient;
    bool deferred = false;
    QDate deliveryDate;
    QString deliveryTime;
    QDate readDate; // 01/01/1900 until read
    QString readTime;
    bool seen = false;   // archivedest: shown to the recipient
    bool recipientDeleted = false;
    qint64 original = 0; // the message this one answers; a delivered alert: minus the task
    qint64 client = 0;   // noidsoc, 0 for none
    qint64 contact = 0;  // 0: the client itself
    QString title;       // empty for the stored "/"
    QString text;
    NoteStyle style;
    bool receipt = false;

    // When the note may be shown: its delivery date and time.
    QDateTime deliveryMoment() const;
    bool isAlert() const;
};

// What the send screen hands over: recipients as chosen (users, groups not
// yet expanded) and the note.
struct OutgoingNote
{
    QStringList users;
    QList<int> groups;
    qint64 client = 0;
    qint64 contact = 0;
    QString title;
    QString text;
    NoteStyle style;
    bool receipt = false;
    bool keepCopy = true;
    std::optional<QDateTime> deliverAt; // set: held back until then
    qint64 original = 0;                // a reply or a forward: the message it came from
};

// Internal messages between the users of one database: sending, the poll
// that finds the current user's new notes, read receipts and deletion.
namespace MessageStore {

// The widest title the column holds, and the longest text in bytes (UTF-8)
// the server back ends' text column holds.
constexpr int MaxTitleLength = 255;
constexpr int MaxTextBytes = 65535;

// The sender of a delivered task alert. User codes are stored trimmed, so no
// user can ever have this one.
QString alertSender();

// A user code as an SQL literal: encoded, quoted, trimmed like every stored
// code, except the alerts' sender, whose blank is what sets it apart.
QString userLiteral(const QString &code);

// The columns of a note, in the order noteFrom() reads them (table alias m).
QString noteColumns();
Note noteFrom(const ResultSet &rows, int row);

// Refuses an empty recipient list, a title or a text too long for the columns.
Outcome checkOutgoing(const OutgoingNote &note);

// Sends one note: one row per recipient (groups expanded, each user once),
// all under one new message number. The sender is the current user.
Outcome send(Session &session, const OutgoingNote &note, const QDateTime &now, qint64 *number = nullptr);

// A new message number, inside the caller's transaction; `failure` names a
// failed read.
Outcome nextNumber(Database &db, const QString &failure, qint64 *number);
// Writes one row of a message numbered inside the caller's transaction.
Outcome insert(Session &session, const Note &note, const QDateTime &now);

// Physically removes the rows both sides deleted.
Outcome purge(Database &db);

// The current user's unseen notes whose delivery moment has come, in number order.
Outcome due(Session &session, const QDateTime &now, QList<Note> *notes);
// Marks a note seen, unless another workstation of the user did it first:
// *mine tells whether this workstation is the one to show it. Sends the read
// receipt when the note asks for one.
Outcome claim(Session &session, const Note &note, const QDateTime &now, bool *mine);
// The receipt of a note just read, to its sender.
Outcome sendReceipt(Session &session, const Note &note, const QDateTime &now);

// One poll: the purge, the task alerts fallen due, then every due note this
// workstation claims. Notes claimed before a failure are handed back too.
Outcome poll(Session &session, const QDateTime &now, QList<Note> *shown);

// The recipient deletes a note from its window (the purge comes later).
Outcome removeReceived(Session &session, qint64 number);

// The reply to a note, to its sender, with the same client link.
OutgoingNote replyTo(const Note &note);
// A forward: the same subject and text, recipients to choose.
OutgoingNote forwardOf(const Note &note);

} // namespace MessageStore
