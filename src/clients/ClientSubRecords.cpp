#include "clients/ClientSubRecords.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <QDate>

namespace {

using Type = ClientSubKind::Type;

const QString Error = QStringLiteral("Erreur");

QList<qint64> ownerOf(const ClientSubKind &kind, qint64 client)
{
    return kind.sharedTable ? QList<qint64>{client, 0} : QList<qint64>{client};
}

ClientSubKind::Field text(const char *column)
{
    return {QString::fromLatin1(column), Type::Text};
}
ClientSubKind::Field date(const char *column)
{
    return {QString::fromLatin1(column), Type::Date};
}
ClientSubKind::Field number(const char *column)
{
    return {QString::fromLatin1(column), Type::Number};
}

// Texts of one kind: "les contacts" -> every message about the rows.
ClientSubKind described(const SubRecordKind &kind, bool shared, const QList<ClientSubKind::Field> &fields, const char *plural,
                        const char *gone, const char *question, const char *deleted, const char *deleteError)
{
    ClientSubKind k;
    k.kind = kind;
    k.sharedTable = shared;
    k.fields = fields;
    k.readError = QStringLiteral("Erreur lors de la lecture des ") + QString::fromUtf8(plural);
    k.writeError = QStringLiteral("Erreur lors de la mise à jour des ") + QString::fromUtf8(plural);
    k.goneText = QString::fromUtf8(gone);
    k.question = QString::fromUtf8(question);
    k.deletedText = QString::fromUtf8(deleted);
    k.deleteError = QStringLiteral("Erreur lors de la suppression ") + QString::fromUtf8(deleteError);
    return k;
}

QString literal(const Session &session, Type type, const QVariant &value)
{
    switch (type) {
    case Type::Date: {
        const QDate d = value.toDate();
        return d.isValid() ? session.dialect().dateValue(d) : session.dialect().unsetDateValue();
    }
    case Type::Number: return QString::number(value.toInt());
    case Type::Text: break;
    }
    return QLatin1Char('\'') + sqlText(value.toString(), QStringLiteral("/")) + QLatin1Char('\'');
}

QVariant valueAt(const ResultSet &rows, int r, int c, Type type)
{
    switch (type) {
    case Type::Date: {
        const QDate d = parseDbDateTime(rows.value(r, c)).date();
        return d.isValid() && d.year() > 1900 ? d : QDate();
    }
    case Type::Number: return rows.toInt(r, c);
    case Type::Text: break;
    }
    return slashToEmpty(rows.value(r, c));
}

Outcome select(Session &session, const ClientSubKind &kind, qint64 client, const QString &condition, QList<ClientSubRow> *list)
{
    QStringList columns = {kind.kind.numberColumn};
    for (const ClientSubKind::Field &f : kind.fields)
        columns.append(f.column);
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select %1 from %2 where %3%4 order by %5,%6")
                      .arg(columns.join(QLatin1Char(',')), kind.kind.table, SubRecords::ownerCondition(kind.kind, ownerOf(kind, client)),
                           condition, kind.kind.orderColumn, kind.kind.numberColumn),
                  rows))
        return Outcome::failure(Error, kind.readError, db.lastError());
    list->clear();
    for (int r = 0; r < rows.rowCount(); ++r) {
        ClientSubRow row;
        row.number = rows.toLongLong(r, 0);
        for (int f = 0; f < kind.fields.size(); ++f)
            row.values.append(valueAt(rows, r, f + 1, kind.fields[f].type));
        list->append(row);
    }
    return Outcome::success();
}

} // namespace

int ClientSubKind::indexOf(const QString &column) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].column == column)
            return i;
    return -1;
}

ClientSubKind ClientSubKinds::contacts()
{
    return described(SubRecordKinds::clientContacts(), false,
                     {number("civilitecont"), text("nomcont"), text("prenomcont"), text("fonctioncont"), text("servicecont"),
                      text("telcont"), text("faxcont"), text("mobcont"), text("mailcont"), date("dtnaisscont"), text("commentcont")},
                     "contacts", "Ce contact a disparu !!!", "Voulez-vous supprimer ce contact ?", "Contact effacé", "du contact");
}

ClientSubKind ClientSubKinds::dependents()
{
    return described(SubRecordKinds::dependents(), true,
                     {text("nomayant"), text("prenomayant"), number("sexeayant"), text("codeparente"), date("dtnaiss")}, "ayants",
                     "Cet ayant a disparu", "Voulez-vous supprimer cet ayant ?", "Ayant effacé", "de l'ayant");
}

ClientSubKind ClientSubKinds::contracts()
{
    return described(SubRecordKinds::clientContracts(), false,
                     {text("codecontrat"), date("dtdeb"), date("dtfin"), text("refinterne"), text("refclient"), text("commentaire")},
                     "contrats", "Ce contrat a été supprimé !!", "Voulez-vous supprimer ce contrat ?", "Contrat effacé", "du contrat");
}

ClientSubKind ClientSubKinds::documents()
{
    return described(SubRecordKinds::clientDocuments(), true,
                     {date("datedoc"), text("codetypedoc"), text("chemin"), text("commentaire")}, "documents",
                     "Cette référence de document a été supprimée !!", "Voulez-vous supprimer cette référence au document ?",
                     "Document effacé", "de la référence au document");
}

ClientSubKind ClientSubKinds::memos()
{
    return described(SubRecordKinds::memos(), true, {text("codememo"), date("datememo"), text("titrememo"), text("commentaire")},
                     "mémos", "Ce mémo a été supprimé !!", "Voulez-vous supprimer ce Mémo ?", "Mémo effacé", "du mémo");
}

ClientSubKind ClientSubKinds::data()
{
    return described(SubRecordKinds::clientData(), false,
                     {text("ch1"), text("ch2"), text("ch3"), text("ch4"), text("ch5"), text("ch6"), text("ch7"), text("ch8"), text("ch9")},
                     "données", "Cette donnée a été supprimée !!", "Voulez-vous supprimer cette donnée ?", "Donnée effacé", "de la donnée");
}

Outcome ClientSubRecords::list(Session &session, const ClientSubKind &kind, qint64 client, QList<ClientSubRow> *rows)
{
    return select(session, kind, client, QString(), rows);
}

Outcome ClientSubRecords::read(Session &session, const ClientSubKind &kind, qint64 client, qint64 number, ClientSubRow *row)
{
    QList<ClientSubRow> rows;
    const Outcome read =
        select(session, kind, client, QStringLiteral(" and %1 = %2").arg(kind.kind.numberColumn).arg(number), &rows);
    if (!read)
        return read;
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparu"), kind.goneText);
    *row = rows.first();
    return Outcome::success();
}

Outcome ClientSubRecords::save(Session &session, const ClientSubKind &kind, qint64 client, ClientSubRow *row)
{
    SubRecordValues values;
    for (int f = 0; f < kind.fields.size(); ++f)
        values.append({kind.fields[f].column, literal(session, kind.fields[f].type, row->values.value(f))});
    return SubRecords::save(session, kind.kind, ownerOf(kind, client), values, &row->number, kind.writeError, kind.goneText);
}

Outcome ClientSubRecords::remove(Session &session, const ClientSubKind &kind, qint64 client, qint64 number)
{
    Outcome removed = SubRecords::remove(*session.database(), kind.kind, ownerOf(kind, client), number, kind.deleteError);
    if (removed)
        removed.notice(QStringLiteral("Supprimé"), kind.deletedText);
    return removed;
}

Outcome ClientSubRecords::move(Session &session, const ClientSubKind &kind, qint64 client, qint64 number, int direction)
{
    return SubRecords::move(*session.database(), kind.kind, ownerOf(kind, client), number, direction, kind.writeError);
}
