#pragma once

#include "core/Outcome.h"

#include <QDate>
#include <QList>
#include <QString>

class ReportTable;
class Session;
struct Note;

// One line of the mailbox: a message the user sent and still keeps, or one
// received, already read and not deleted.
struct MailboxEntry
{
    qint64 number = 0;
    bool received = false;
    bool alert = false; // a task alert given as a note
    // The recipients of a sent message ("; " between them), the sender of a received one.
    QString correspondent;
    qint64 client = 0;
    qint64 contact = 0;
    QDate date; // sending date of a sent message, reading date of a received one
    QString time;
    QString title;
    QString text;

    // "yyyymmdd hh:mm": orders the lines by date.
    QString sortKey() const;
};

// Who read a sent message and when, or when a received one was sent and read.
struct MailboxDetail
{
    QString user; // the recipient of a sent message, the sender of a received one
    QDate sentDate;
    QString sentTime;
    QDate readDate; // invalid while unread
    QString readTime;
};

namespace Mailbox {

// The current user's mailbox, newest first.
Outcome list(Session &session, QList<MailboxEntry> *entries);
Outcome detail(Session &session, const MailboxEntry &entry, QList<MailboxDetail> *lines);
// The whole note behind a line, to read it again.
Outcome read(Session &session, const MailboxEntry &entry, Note *note);
// Deletes the line on the user's side, then purges.
Outcome remove(Session &session, const MailboxEntry &entry);

// The lines as the table print preview shows them.
ReportTable report(const QList<MailboxEntry> &entries, const QString &user);

} // namespace Mailbox
