#pragma once

#include "core/Outcome.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class Database;
class Session;

// Rows hung on an owner record (a client's contacts, a resource's memos …):
// numbered per owner as the owner's highest number + 1, optionally kept in a
// display order (`hierar`) that two neighbours swap to move a row.
struct SubRecordKind
{
    QString table;
    QStringList ownerColumns; // e.g. {"noidsoc", "noressource"}
    QString numberColumn;     // e.g. "rgmemo"
    QString orderColumn;      // "hierar", or empty when the rows have no order
    bool stamped = true;      // dtsaisie/ordisaisie/dtmodif/ordimodif columns
};

// The columns of one row, each with its value as an SQL literal (built with
// sqlText and the dialect's date helpers).
using SubRecordValues = QList<QPair<QString, QString>>;

namespace SubRecords {

// The condition selecting the owner's rows.
QString ownerCondition(const SubRecordKind &kind, const QList<qint64> &owner);

// Writes a row: a new one (*number 0) is numbered and put last in the
// order; an existing one is updated, or reported gone ("Disparu") when
// another workstation deleted it. Runs in one transaction unless one is open.
Outcome save(Session &session, const SubRecordKind &kind, const QList<qint64> &owner, const SubRecordValues &values,
             qint64 *number, const QString &writeError, const QString &goneText);

Outcome remove(Database &db, const SubRecordKind &kind, const QList<qint64> &owner, qint64 number, const QString &error);

// Moves a row one place up (-1) or down (+1) by swapping the order values
// with its neighbour; nothing at either end.
Outcome move(Database &db, const SubRecordKind &kind, const QList<qint64> &owner, qint64 number, int direction,
             const QString &error);

} // namespace SubRecords

// The kinds of sub-records of resources and clients. Memos and dependents of
// both live in one table each: their owner is the pair (client, resource),
// with 0 for the side they do not belong to.
namespace SubRecordKinds {

inline SubRecordKind resourceContracts()
{
    return {QStringLiteral("kp_resscontrat"), {QStringLiteral("noressource")}, QStringLiteral("nocontrat"), QString(), true};
}
inline SubRecordKind memos() // owner {noidsoc, noressource}
{
    return {QStringLiteral("kp_memosoc"), {QStringLiteral("noidsoc"), QStringLiteral("noressource")}, QStringLiteral("rgmemo"),
            QStringLiteral("hierar"), true};
}
inline SubRecordKind dependents() // owner {noidsoc, noidressource}
{
    return {QStringLiteral("kp_ayants"), {QStringLiteral("noidsoc"), QStringLiteral("noidressource")}, QStringLiteral("rgayant"),
            QStringLiteral("hierar"), true};
}
inline SubRecordKind clientContacts()
{
    return {QStringLiteral("kp_contactsoc"), {QStringLiteral("noidsoc")}, QStringLiteral("idcontact"), QStringLiteral("hierar"), true};
}
inline SubRecordKind clientContracts()
{
    return {QStringLiteral("kp_contratsoc"), {QStringLiteral("noidsoc")}, QStringLiteral("rgpcont"), QStringLiteral("hierar"), true};
}
inline SubRecordKind clientDocuments() // owner {noidsoc, noressource}
{
    return {QStringLiteral("kp_documents"), {QStringLiteral("noidsoc"), QStringLiteral("noressource")}, QStringLiteral("rgdoc"),
            QStringLiteral("hierar"), false};
}
inline SubRecordKind clientData()
{
    return {QStringLiteral("kp_donneesoc"), {QStringLiteral("noidsoc")}, QStringLiteral("rgdonnee"), QStringLiteral("hierar"), true};
}

} // namespace SubRecordKinds
