#pragma once

#include "core/Outcome.h"
#include "core/SubRecords.h"

#include <QList>
#include <QString>
#include <QVariant>

class Session;

// One kind of row hung on a client (contacts, contracts, documents, memos,
// data rows, dependents), described once so that a single piece of code
// lists, reads, writes, deletes and moves all six.
struct ClientSubKind
{
    enum class Type { Text, Date, Number };
    struct Field
    {
        QString column;
        Type type = Type::Text;
    };

    SubRecordKind kind;
    bool sharedTable = false; // memos, documents, dependents: owner {client, 0}
    QList<Field> fields;
    QString readError;   // "Erreur lors de la lecture des contacts"
    QString writeError;  // "Erreur lors de la mise à jour des contacts"
    QString goneText;    // under "Disparu"
    QString question;    // under "Suppression"
    QString deletedText; // under "Supprimé"
    QString deleteError;

    int indexOf(const QString &column) const;
};

// A row: its number and one value per field (QString, QDate or int; an
// unset date is an invalid QDate, an empty text reads back empty).
struct ClientSubRow
{
    qint64 number = 0; // 0: not saved yet
    QList<QVariant> values;

    QVariant value(const ClientSubKind &kind, const QString &column) const { return values.value(kind.indexOf(column)); }
};

namespace ClientSubKinds {
ClientSubKind contacts();
ClientSubKind dependents();
ClientSubKind contracts();
ClientSubKind documents();
ClientSubKind memos();
ClientSubKind data();
} // namespace ClientSubKinds

namespace ClientSubRecords {

// The client's rows in display order.
Outcome list(Session &session, const ClientSubKind &kind, qint64 client, QList<ClientSubRow> *rows);
// "Disparu" with the kind's text when another workstation deleted it.
Outcome read(Session &session, const ClientSubKind &kind, qint64 client, qint64 number, ClientSubRow *row);
// A new row (number 0) is numbered and put last.
Outcome save(Session &session, const ClientSubKind &kind, qint64 client, ClientSubRow *row);
// Succeeds with the "Supprimé" notice.
Outcome remove(Session &session, const ClientSubKind &kind, qint64 client, qint64 number);
// direction -1 up, +1 down; nothing at either end.
Outcome move(Session &session, const ClientSubKind &kind, qint64 client, qint64 number, int direction);

} // namespace ClientSubRecords
