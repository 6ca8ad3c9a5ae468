#include "resources/ReferenceLists.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/SqlText.h"

namespace {

const QString Error = QStringLiteral("Erreur");

// Only these tables are edited as code/label lists: table names go into SQL as they are.
bool isCodeTable(const QString &table)
{
    static const QStringList tables = {
        QStringLiteral("kp_fonctions"),  QStringLiteral("kp_services"),      QStringLiteral("kp_secteurs"),
        QStringLiteral("kp_typedoc"),    QStringLiteral("kp_libre1"),        QStringLiteral("kp_libre2"),
        QStringLiteral("kp_libre3"),     QStringLiteral("kp_libre4"),        QStringLiteral("kp_tabledonne1"),
        QStringLiteral("kp_tabledonne2"), QStringLiteral("kp_typememo"),     QStringLiteral("kp_contrattravail"),
        QStringLiteral("kp_domaines"),   QStringLiteral("kp_parentes"),      QStringLiteral("kp_villes"),
        QStringLiteral("kp_projets"),
    };
    return tables.contains(table);
}

Outcome unknownTable(const QString &table)
{
    return Outcome::failure(QStringLiteral("Erreur SQL"), QStringLiteral("Table inconnue : ") + table);
}

// Runs statements in one transaction, failing with `error` on the first that fails.
Outcome inTransaction(Database &db, const QStringList &statements, const QString &error)
{
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, error, db.lastError());
    for (const QString &sql : statements)
        if (!db.exec(sql))
            return Outcome::failure(Error, error, db.lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    return Outcome::success();
}

Outcome count(Database &db, const QString &sql, int *result)
{
    ResultSet rows;
    if (!db.query(sql, rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture de la base de données"), db.lastError());
    *result = rows.isEmpty() ? 0 : rows.toInt(0, 0);
    return Outcome::success();
}

} // namespace

QString ReferenceLists::caption(Database &db, const QString &table)
{
    static const QList<std::pair<QString, QString>> captions = {
        {QStringLiteral("kp_fonctions"), QStringLiteral("Fonctions")},
        {QStringLiteral("kp_services"), QStringLiteral("Services")},
        {QStringLiteral("kp_secteurs"), QStringLiteral("Secteurs")},
        {QStringLiteral("kp_typememo"), QStringLiteral("Types Mémos")},
        {QStringLiteral("kp_domaines"), QStringLiteral("Domaines ou Niveaux")},
        {QStringLiteral("kp_parentes"), QStringLiteral("Parentés")},
        {QStringLiteral("kp_projets"), QStringLiteral("Projets")},
        {QStringLiteral("kp_contrattravail"), QStringLiteral("Contrat de Travail")},
        {QStringLiteral("kp_typedoc"), QStringLiteral("Types de documents")},
    };
    for (const auto &[name, text] : captions)
        if (name == table)
            return text;
    if (table.startsWith(QLatin1String("kp_libre")) && table.size() == 9) {
        ResultSet rows;
        if (db.query(QStringLiteral("select tb%1 from kp_chlibres").arg(table.right(1)), rows) && !rows.isEmpty()
            && !rows.value(0, 0).trimmed().isEmpty())
            return rows.value(0, 0).trimmed();
    }
    return QStringLiteral("Table ???");
}

Outcome ReferenceLists::codes(Database &db, const QString &table, QList<CodeLabel> *rows)
{
    rows->clear();
    if (!isCodeTable(table))
        return unknownTable(table);
    ResultSet result;
    if (!db.query(QStringLiteral("select code,libelle from ") + table + QStringLiteral(" order by code"), result))
        return Outcome::failure(QStringLiteral("Erreur SQL"), QStringLiteral("Erreur lors de la lecture de la table"),
                                db.lastError());
    for (int r = 0; r < result.rowCount(); ++r)
        rows->append({result.value(r, 0), result.value(r, 1)});
    return Outcome::success();
}

Outcome ReferenceLists::labelOf(Database &db, const QString &table, const QString &code, QString *label)
{
    label->clear();
    if (!isCodeTable(table))
        return unknownTable(table);
    ResultSet rows;
    if (!db.query(QStringLiteral("select libelle from ") + table + QStringLiteral(" where  code = '") + sqlText(code)
                      + QLatin1Char('\''),
                  rows))
        return Outcome::failure(QStringLiteral("Erreur SQL"), QStringLiteral("Erreur lors de la lecture de la table"),
                                db.lastError());
    if (!rows.isEmpty())
        *label = rows.value(0, 0);
    return Outcome::success();
}

Outcome ReferenceLists::saveCode(Database &db, const QString &table, const QString &code, const QString &label)
{
    if (!isCodeTable(table))
        return unknownTable(table);
    if (code.trimmed().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le code est obligatoire"));
    ResultSet rows;
    const QString where = QStringLiteral(" where code = '") + sqlText(code) + QLatin1Char('\'');
    if (!db.query(QStringLiteral("select libelle from ") + table + where, rows))
        return Outcome::failure(QStringLiteral("Erreur SQL"), QStringLiteral("Erreur lors de la lecture de la table"),
                                db.lastError());
    const QString sql = rows.isEmpty() ? QStringLiteral("insert into %1 (code,libelle) values ('%2','%3')")
                                             .arg(table, sqlText(code), sqlText(label, QStringLiteral("/")))
                                       : QStringLiteral("update %1 set libelle = '%2'").arg(table, sqlText(label, QStringLiteral("/"))) + where;
    if (!db.exec(sql))
        return Outcome::failure(Error, QStringLiteral("Erreur de mise à jour"), db.lastError());
    return Outcome::success();
}

Outcome ReferenceLists::saveCivilities(Session &session, const Civilities &civilities)
{
    Database &db = *session.database();
    const QString error = QStringLiteral("Erreur lors de la mise à jour de la table civilite");
    QStringList statements;
    for (int n = 0; n < 3; ++n) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select racc,comp from kp_civilites where numero = %1").arg(n), rows))
            return Outcome::failure(Error, error, db.lastError());
        const QString shortName = sqlText(civilities[n].shortName, QStringLiteral("/"));
        const QString fullName = sqlText(civilities[n].fullName, QStringLiteral("/"));
        statements.append(rows.isEmpty() ? QStringLiteral("insert into kp_civilites (numero,racc,comp) values (%1,'%2','%3')")
                                               .arg(n)
                                               .arg(shortName, fullName)
                                         : QStringLiteral("update kp_civilites set racc = '%2', comp = '%3' where numero = %1")
                                               .arg(n)
                                               .arg(shortName, fullName));
    }
    const Outcome saved = inTransaction(db, statements, error);
    if (saved)
        session.civilities() = civilities;
    return saved;
}

QStringList ReferenceLists::contractDurations()
{
    return {QStringLiteral("/"),       QStringLiteral("1 jour"), QStringLiteral("1 semaine"), QStringLiteral("1 mois"),
            QStringLiteral("2 mois"),  QStringLiteral("3 mois"), QStringLiteral("6 mois"),    QStringLiteral("1 an"),
            QStringLiteral("2 ans"),   QStringLiteral("3 ans"),  QStringLiteral("4 ans"),     QStringLiteral("5 ans"),
            QStringLiteral("illimité")};
}

Outcome ReferenceLists::contractTypes(Database &db, QList<ContractType> *types)
{
    types->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select code,libelle,duree from kp_contrats order by code"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des contrats"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        types->append({rows.value(r, 0), rows.value(r, 1), rows.toInt(r, 2)});
    return Outcome::success();
}

Outcome ReferenceLists::saveContractType(Database &db, const ContractType &type)
{
    if (type.code.trimmed().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le code est obligatoire"));
    if (type.label.trimmed().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le libellé est obligatoire"));
    ResultSet rows;
    const QString code = sqlText(type.code);
    if (!db.query(QStringLiteral("select code from kp_contrats where code = '") + code + QLatin1Char('\''), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des contrats"), db.lastError());
    const QString duration = QString::number(qBound(0, type.duration, 12));
    const QString sql = rows.isEmpty() ? QStringLiteral("insert into kp_contrats (code,libelle,duree) values ('%1','%2',%3)")
                                             .arg(code, sqlText(type.label), duration)
                                       : QStringLiteral("update kp_contrats set libelle = '%2', duree = %3 where code = '%1'")
                                             .arg(code, sqlText(type.label), duration);
    if (!db.exec(sql))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour du contrat"), db.lastError());
    return Outcome::success();
}

Outcome ReferenceLists::countContractsOfType(Database &db, const QString &code, int *result)
{
    return count(db, QStringLiteral("select count(*) from kp_contratsoc where codecontrat = '") + sqlText(code) + QLatin1Char('\''),
                 result);
}

Outcome ReferenceLists::removeContractType(Database &db, const QString &code)
{
    const QString quoted = sqlText(code);
    return inTransaction(db,
                         {QStringLiteral("delete from kp_contrats where code = '") + quoted + QLatin1Char('\''),
                          QStringLiteral("delete from kp_contratsoc where codecontrat = '") + quoted + QLatin1Char('\'')},
                         QStringLiteral("Erreur lors de la suppression du code"));
}

Outcome ReferenceLists::urgencies(Database &db, QList<Urgency> *urgencies)
{
    urgencies->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select code,libelle,coulfond,coultexte from kp_urgences order by code"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des urgences"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        urgencies->append({rows.value(r, 0), rows.value(r, 1), rows.toInt(r, 2), rows.toInt(r, 3)});
    return Outcome::success();
}

Outcome ReferenceLists::saveUrgency(Database &db, const Urgency &urgency)
{
    if (urgency.code.trimmed().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le code est obligatoire"));
    const QString error = QStringLiteral("Erreur lors de la mise à jour du code urgence");
    const QString code = sqlText(urgency.code);
    ResultSet rows;
    if (!db.query(QStringLiteral("select code,libelle,coulfond,coultexte from kp_urgences  where code = '") + code
                      + QLatin1Char('\''),
                  rows))
        return Outcome::failure(Error, error, db.lastError());
    const QString sql =
        rows.isEmpty()
            ? QStringLiteral("insert into kp_urgences (code,libelle,coulfond,coultexte) values ('%1','%2',%3,%4)")
                  .arg(code, sqlText(urgency.label, QStringLiteral("/")))
                  .arg(urgency.background)
                  .arg(urgency.text)
            : QStringLiteral("update kp_urgences set libelle = '%2', coulfond = %3, coultexte = %4 where code = '%1'")
                  .arg(code, sqlText(urgency.label, QStringLiteral("/")))
                  .arg(urgency.background)
                  .arg(urgency.text);
    if (!db.exec(sql))
        return Outcome::failure(Error, error, db.lastError());
    return Outcome::success();
}

Outcome ReferenceLists::countTasksWithUrgency(Database &db, const QString &code, int *result)
{
    return count(db, QStringLiteral("select count(*) from kp_taches_desc where urgence = '") + sqlText(code) + QLatin1Char('\''),
                 result);
}

Outcome ReferenceLists::removeUrgency(Database &db, const QString &code)
{
    const QString quoted = sqlText(code);
    return inTransaction(db,
                         {QStringLiteral("delete from kp_urgences where code = '") + quoted + QLatin1Char('\''),
                          QStringLiteral("update kp_taches_desc set urgence = '/'  where urgence = '") + quoted + QLatin1Char('\'')},
                         QStringLiteral("Erreur lors de la suppression"));
}

Outcome ReferenceLists::zones(Database &db, QList<Zone> *zones)
{
    zones->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select noidzone,libzone,coulfond,coultexte from kp_zones order by libzone"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des zones"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        zones->append({rows.toLongLong(r, 0), rows.value(r, 1), rows.toInt(r, 2), rows.toInt(r, 3)});
    return Outcome::success();
}

Outcome ReferenceLists::saveZone(Database &db, Zone *zone)
{
    if (zone->label.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez entrer un libellé"));
    const QString error = QStringLiteral("Erreur lors de la création de la zone");
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, error, db.lastError());
    qint64 number = zone->number;
    bool exists = false;
    if (number > 0) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select libzone from kp_zones where noidzone = %1").arg(number), rows))
            return Outcome::failure(Error, error, db.lastError());
        if (rows.isEmpty())
            return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Cette zone n'existe plus !"));
        exists = true;
    } else {
        const Outcome allocated =
            NumberAllocator::next(db, {{QStringLiteral("kp_zones"), QStringLiteral("noidzone"), {}}}, NumberAllocator::IntMax, &number);
        if (!allocated)
            return allocated;
    }
    const QString label = sqlText(zone->label);
    const QString sql = exists ? QStringLiteral("update kp_zones set libzone = '%2', coulfond = %3, coultexte = %4 where noidzone = %1")
                                     .arg(number)
                                     .arg(label)
                                     .arg(zone->background)
                                     .arg(zone->text)
                               : QStringLiteral("insert into kp_zones(noidzone,libzone,coulfond,coultexte) values (%1,'%2',%3,%4)")
                                     .arg(number)
                                     .arg(label)
                                     .arg(zone->background)
                                     .arg(zone->text);
    if (!db.exec(sql) || !transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    zone->number = number;
    return Outcome::success();
}

Outcome ReferenceLists::teams(Database &db, QList<Team> *teams)
{
    teams->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select libequipe,noequipe from kp_equipes order by libequipe"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des équipes"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        teams->append({rows.toLongLong(r, 1), rows.value(r, 0), {}});
    return Outcome::success();
}

Outcome ReferenceLists::loadTeam(Database &db, qint64 number, Team *team)
{
    ResultSet rows, members;
    if (!db.query(QStringLiteral("select libequipe from kp_equipes where noequipe = %1").arg(number), rows)
        || !db.query(QStringLiteral("select noressource from kp_equipes_ress where noequipe = %1").arg(number), members))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des équipes"), db.lastError());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Cette équipe n'existe plus"));
    team->number = number;
    team->label = rows.value(0, 0);
    team->members.clear();
    for (int r = 0; r < members.rowCount(); ++r)
        team->members.append(members.toLongLong(r, 0));
    return Outcome::success();
}

Outcome ReferenceLists::saveTeam(Database &db, Team *team)
{
    if (team->label.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner le libellé"));
    const QString error = QStringLiteral("Erreur lors de la mise à jour de l'équipe");
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, error, db.lastError());
    qint64 number = team->number;
    bool exists = false;
    if (number > 0) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select noequipe from kp_equipes where noequipe = %1").arg(number), rows))
            return Outcome::failure(Error, error, db.lastError());
        exists = !rows.isEmpty();
    } else {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_equipes"), QStringLiteral("noequipe"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated;
    }
    QStringList statements;
    statements.append(exists ? QStringLiteral("update kp_equipes set libequipe = '%2' where noequipe = %1").arg(number).arg(sqlText(team->label))
                             : QStringLiteral("insert into kp_equipes (noequipe,libequipe) values (%1,'%2')").arg(number).arg(sqlText(team->label)));
    statements.append(QStringLiteral("delete from kp_equipes_ress where noequipe = %1").arg(number));
    for (qint64 member : team->members)
        statements.append(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (%1,%2)").arg(number).arg(member));
    for (const QString &sql : statements)
        if (!db.exec(sql))
            return Outcome::failure(Error, error, db.lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    team->number = number;
    return Outcome::success();
}

Outcome ReferenceLists::removeTeam(Database &db, qint64 number)
{
    return inTransaction(db,
                         {QStringLiteral("delete from kp_equipes where noequipe = %1").arg(number),
                          QStringLiteral("delete from kp_equipes_ress where noequipe = %1").arg(number)},
                         QStringLiteral("Erreur lors de la suppression de l'équipe"));
}
