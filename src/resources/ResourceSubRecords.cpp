#include "resources/ResourceSubRecords.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "core/SubRecords.h"
#include "reports/ReportTable.h"

#include <QHash>

namespace {

const QString Error = QStringLiteral("Erreur");

QString dateValue(const Session &session, const QDate &date)
{
    return date.isValid() ? session.dialect().dateValue(date) : session.dialect().unsetDateValue();
}

QDate dateOf(const QString &stored)
{
    const QDate date = parseDbDateTime(stored).date();
    return date == QDate(1900, 1, 1) ? QDate() : date;
}

// Code -> label of a code table; an unknown code shows no label.
QHash<QString, QString> labels(Database &db, const QString &table)
{
    QHash<QString, QString> map;
    ResultSet rows;
    if (db.query(QStringLiteral("select code,libelle from ") + table, rows))
        for (int r = 0; r < rows.rowCount(); ++r)
            map.insert(rows.value(r, 0), rows.value(r, 1));
    return map;
}

QList<qint64> resourceOwner(qint64 resource)
{
    return {resource};
}

// Memos and dependents of resources share their tables with clients: no client.
QList<qint64> sharedOwner(qint64 resource)
{
    return {0, resource};
}

Outcome gone(const QString &title, const QString &text)
{
    return Outcome::failure(title, text);
}

const QString ContractColumns = QStringLiteral("nocontrat,codecontrat,datedeb,datefin,commentaire");
const QString MemoColumns = QStringLiteral("rgmemo,codememo,datememo,titrememo,commentaire");
const QString DependentColumns = QStringLiteral("rgayant,nomayant,prenomayant,sexeayant,codeparente,dtnaiss");

ResourceContract contractAt(const ResultSet &rows, int r, const QHash<QString, QString> &types)
{
    ResourceContract c;
    c.number = rows.toLongLong(r, 0);
    c.type = slashToEmpty(rows.value(r, 1));
    c.typeLabel = types.value(rows.value(r, 1));
    c.start = dateOf(rows.value(r, 2));
    c.end = dateOf(rows.value(r, 3));
    c.comment = slashToEmpty(rows.value(r, 4));
    return c;
}

ResourceMemo memoAt(const ResultSet &rows, int r, const QHash<QString, QString> &types)
{
    ResourceMemo m;
    m.number = rows.toLongLong(r, 0);
    m.type = slashToEmpty(rows.value(r, 1));
    m.typeLabel = types.value(rows.value(r, 1));
    m.date = dateOf(rows.value(r, 2));
    m.title = slashToEmpty(rows.value(r, 3));
    m.text = slashToEmpty(rows.value(r, 4));
    return m;
}

ResourceDependent dependentAt(const ResultSet &rows, int r, const QHash<QString, QString> &kinships)
{
    ResourceDependent d;
    d.number = rows.toLongLong(r, 0);
    d.surname = slashToEmpty(rows.value(r, 1));
    d.firstName = slashToEmpty(rows.value(r, 2));
    d.civility = rows.toInt(r, 3);
    d.kinship = slashToEmpty(rows.value(r, 4));
    d.kinshipLabel = kinships.value(rows.value(r, 4));
    d.birth = dateOf(rows.value(r, 5));
    return d;
}

} // namespace

Outcome ResourceSubRecords::checkExists(Session &session, qint64 resource)
{
    Database &db = *session.database();
    const Terms &terms = session.terms();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid from kp_ressources where noid = %1").arg(resource), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + terms.plural(Entity::Ressource),
                                db.lastError());
    if (rows.isEmpty())
        return gone(QStringLiteral("Disparition"), QStringLiteral("Ce") + terms.demonstrativeEnding(Entity::Ressource)
                                                       + terms.singular(Entity::Ressource) + QStringLiteral(" n'existe plus !"));
    return Outcome::success();
}

// --- contracts

Outcome ResourceSubRecords::contracts(Session &session, qint64 resource, QList<ResourceContract> *list)
{
    list->clear();
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select %1 from kp_resscontrat where noressource = %2 order by datedeb desc")
                      .arg(ContractColumns)
                      .arg(resource),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des contrats"), db.lastError());
    const QHash<QString, QString> types = labels(db, QStringLiteral("kp_contrattravail"));
    for (int r = 0; r < rows.rowCount(); ++r)
        list->append(contractAt(rows, r, types));
    return Outcome::success();
}

Outcome ResourceSubRecords::readContract(Session &session, qint64 resource, qint64 number, ResourceContract *contract)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select %1 from kp_resscontrat where noressource = %2 and nocontrat = %3")
                      .arg(ContractColumns)
                      .arg(resource)
                      .arg(number),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des contrats"), db.lastError());
    if (rows.isEmpty())
        return gone(QStringLiteral("disparition"), QStringLiteral("Quelqu'un a supprimé ce contrat !"));
    *contract = contractAt(rows, 0, labels(db, QStringLiteral("kp_contrattravail")));
    return Outcome::success();
}

Outcome ResourceSubRecords::saveContract(Session &session, qint64 resource, ResourceContract *contract)
{
    const SubRecordValues values = {{QStringLiteral("codecontrat"), slashLiteral(contract->type)},
                                    {QStringLiteral("datedeb"), dateValue(session, contract->start)},
                                    {QStringLiteral("datefin"), dateValue(session, contract->end)},
                                    {QStringLiteral("commentaire"), slashLiteral(contract->comment)}};
    return SubRecords::save(session, SubRecordKinds::resourceContracts(), resourceOwner(resource), values, &contract->number,
                            QStringLiteral("Erreur lors de la mise à jour des contrats"),
                            QStringLiteral("Quelqu'un a supprimé ce contrat !"));
}

Outcome ResourceSubRecords::removeContract(Session &session, qint64 resource, qint64 number)
{
    Outcome removed = SubRecords::remove(*session.database(), SubRecordKinds::resourceContracts(), resourceOwner(resource), number,
                                         QStringLiteral("Erreur lors de la suppression du contrat"));
    if (removed)
        removed.notice(QStringLiteral("Supprimé"), QStringLiteral("Contrat effacé"));
    return removed;
}

// --- memos

Outcome ResourceSubRecords::memos(Session &session, qint64 resource, QList<ResourceMemo> *list)
{
    list->clear();
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select %1 from kp_memosoc where %2 order by hierar")
                      .arg(MemoColumns, SubRecords::ownerCondition(SubRecordKinds::memos(), sharedOwner(resource))),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des mémos"), db.lastError());
    const QHash<QString, QString> types = labels(db, QStringLiteral("kp_typememo"));
    for (int r = 0; r < rows.rowCount(); ++r)
        list->append(memoAt(rows, r, types));
    return Outcome::success();
}

Outcome ResourceSubRecords::readMemo(Session &session, qint64 resource, qint64 number, ResourceMemo *memo)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select %1 from kp_memosoc where %2 and rgmemo = %3")
                      .arg(MemoColumns, SubRecords::ownerCondition(SubRecordKinds::memos(), sharedOwner(resource)))
                      .arg(number),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des mémos"), db.lastError());
    if (rows.isEmpty())
        return gone(QStringLiteral("Disparu"), QStringLiteral("Ce mémo a été supprimé !!"));
    *memo = memoAt(rows, 0, labels(db, QStringLiteral("kp_typememo")));
    return Outcome::success();
}

Outcome ResourceSubRecords::saveMemo(Session &session, qint64 resource, ResourceMemo *memo)
{
    const SubRecordValues values = {{QStringLiteral("codememo"), slashLiteral(memo->type)},
                                    {QStringLiteral("datememo"), dateValue(session, memo->date)},
                                    {QStringLiteral("titrememo"), slashLiteral(memo->title)},
                                    {QStringLiteral("commentaire"), slashLiteral(memo->text)}};
    return SubRecords::save(session, SubRecordKinds::memos(), sharedOwner(resource), values, &memo->number,
                            QStringLiteral("Erreur lors de la mise à jour des mémos"), QStringLiteral("Ce mémo a été supprimé !!"));
}

Outcome ResourceSubRecords::removeMemo(Session &session, qint64 resource, qint64 number)
{
    Outcome removed = SubRecords::remove(*session.database(), SubRecordKinds::memos(), sharedOwner(resource), number,
                                         QStringLiteral("Erreur lors de la suppression du mémo"));
    if (removed)
        removed.notice(QStringLiteral("Supprimé"), QStringLiteral("Mémo effacé"));
    return removed;
}

Outcome ResourceSubRecords::moveMemo(Session &session, qint64 resource, qint64 number, int direction)
{
    return SubRecords::move(*session.database(), SubRecordKinds::memos(), sharedOwner(resource), number, direction,
                            QStringLiteral("Erreur lors de la mise à jour des mémos"));
}

// --- dependents

Outcome ResourceSubRecords::dependents(Session &session, qint64 resource, QList<ResourceDependent> *list)
{
    list->clear();
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select %1 from kp_ayants where %2 order by hierar")
                      .arg(DependentColumns, SubRecords::ownerCondition(SubRecordKinds::dependents(), sharedOwner(resource))),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ayants"), db.lastError());
    const QHash<QString, QString> kinships = labels(db, QStringLiteral("kp_parentes"));
    for (int r = 0; r < rows.rowCount(); ++r)
        list->append(dependentAt(rows, r, kinships));
    return Outcome::success();
}

Outcome ResourceSubRecords::readDependent(Session &session, qint64 resource, qint64 number, ResourceDependent *dependent)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select %1 from kp_ayants where %2 and rgayant = %3")
                      .arg(DependentColumns, SubRecords::ownerCondition(SubRecordKinds::dependents(), sharedOwner(resource)))
                      .arg(number),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ayants"), db.lastError());
    if (rows.isEmpty())
        return gone(QStringLiteral("Disparu"), QStringLiteral("Cet ayant a disparu"));
    *dependent = dependentAt(rows, 0, labels(db, QStringLiteral("kp_parentes")));
    return Outcome::success();
}

Outcome ResourceSubRecords::saveDependent(Session &session, qint64 resource, ResourceDependent *dependent)
{
    const SubRecordValues values = {{QStringLiteral("nomayant"), slashLiteral(dependent->surname)},
                                    {QStringLiteral("prenomayant"), slashLiteral(dependent->firstName)},
                                    {QStringLiteral("sexeayant"), QString::number(dependent->civility)},
                                    {QStringLiteral("codeparente"), slashLiteral(dependent->kinship)},
                                    {QStringLiteral("dtnaiss"), dateValue(session, dependent->birth)}};
    return SubRecords::save(session, SubRecordKinds::dependents(), sharedOwner(resource), values, &dependent->number,
                            QStringLiteral("Erreur lors de la mise à jour des ayants"), QStringLiteral("Cet ayant a disparu"));
}

Outcome ResourceSubRecords::removeDependent(Session &session, qint64 resource, qint64 number)
{
    Outcome removed = SubRecords::remove(*session.database(), SubRecordKinds::dependents(), sharedOwner(resource), number,
                                         QStringLiteral("Erreur lors de la suppression de l'ayant"));
    if (removed)
        removed.notice(QStringLiteral("Supprimé"), QStringLiteral("Ayant effacé"));
    return removed;
}

ReportTable ResourceSubRecords::memoReport(const QString &resourceCode, const QList<ResourceMemo> &memos)
{
    ReportTable table;
    table.setTitle(QStringLiteral("Mémos pour ") + resourceCode);
    table.setColumns({3000, 7500});
    table.addRow({QStringLiteral("Date|B"), QStringLiteral("Mémo|B")});
    for (const ResourceMemo &memo : memos) {
        QString heading = memo.typeLabel.isEmpty() ? memo.type : memo.typeLabel;
        if (!memo.title.isEmpty())
            heading += (heading.isEmpty() ? QString() : QStringLiteral(" - ")) + memo.title;
        table.addRow({memo.date.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral("|BO"), heading + QStringLiteral("|BO")});
        if (!memo.text.isEmpty())
            table.setMemo(table.addRow(), 1, memo.text);
    }
    return table;
}
