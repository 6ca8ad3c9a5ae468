#include "tasks/TaskTypeStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/SqlText.h"
#include "reports/ListRequest.h"

namespace {

const QString Error = QStringLiteral("Erreur");
const QString Columns = QStringLiteral("select noidtache,libtache,coulfond,coultexte,typehor,duree,durde,dura from kp_taches");

TaskType typeAt(const ResultSet &rows, int r)
{
    TaskType type;
    type.number = rows.toLongLong(r, 0);
    type.label = rows.value(r, 1);
    type.background = rows.toInt(r, 2);
    type.text = rows.toInt(r, 3);
    type.timing = rows.toInt(r, 4);
    type.duration = rows.value(r, 5);
    type.from = rows.value(r, 6);
    type.to = rows.value(r, 7);
    return type;
}

Outcome readFailure(Database &db)
{
    return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des taches"), db.lastError());
}

} // namespace

QString TaskType::timingText() const
{
    if (timing == FixedDuration)
        return QStringLiteral("Durée : ") + duration;
    if (timing == FixedHours)
        return QStringLiteral("De : ") + from + QStringLiteral(" A : ") + to;
    return {};
}

Outcome TaskTypeStore::list(QList<TaskType> *types) const
{
    types->clear();
    Database &db = *m_session.database();
    ResultSet rows;
    if (!db.query(Columns + QStringLiteral(" order by libtache"), rows))
        return readFailure(db);
    for (int r = 0; r < rows.rowCount(); ++r)
        types->append(typeAt(rows, r));
    return Outcome::success();
}

Outcome TaskTypeStore::load(qint64 number, TaskType *type) const
{
    Database &db = *m_session.database();
    ResultSet rows;
    if (!db.query(Columns + QStringLiteral(" where noidtache = %1").arg(number), rows))
        return readFailure(db);
    if (rows.isEmpty()) {
        const Terms &terms = m_session.terms();
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Ce") + terms.demonstrativeEnding(Entity::Tache)
                                                                   + terms.singular(Entity::Tache)
                                                                   + QStringLiteral(" n'existe plus !"));
    }
    *type = typeAt(rows, 0);
    // Outer joins: a skill deleted since still shows, so that it can be removed.
    if (!db.query(QStringLiteral("select t.noidcomp,d.libelle,c.libelle from kp_tachescompetences t "
                                 "left join kp_competences c on t.noidcomp = c.noid "
                                 "left join kp_domaines d on c.codedomaine = d.code "
                                 "where t.noidtache = %1 order by d.libelle,c.libelle")
                      .arg(number),
                  rows))
        return readFailure(db);
    for (int r = 0; r < rows.rowCount(); ++r)
        type->skills.append({rows.toLongLong(r, 0), rows.value(r, 1), rows.value(r, 2)});
    return Outcome::success();
}

Outcome TaskTypeStore::save(TaskType *type) const
{
    if (type->label.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez entrer un libellé"));
    Database &db = *m_session.database();
    const Terms &terms = m_session.terms();
    const QString failed = QStringLiteral("Erreur lors de la création de ") + terms.article(Entity::Tache)
                           + terms.singular(Entity::Tache);
    const QString unreadable = QStringLiteral("Erreur lors de la lecture des ") + terms.plural(Entity::Tache);

    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, failed, db.lastError());
    qint64 number = type->number;
    bool exists = false;
    if (number == 0) {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_taches"), QStringLiteral("noidtache"), {}}},
                                                        NumberAllocator::IntMax, &number);
        if (!allocated)
            return allocated.dbError().isEmpty() ? allocated : Outcome::failure(Error, unreadable, allocated.dbError());
    } else {
        // A type deleted meanwhile elsewhere is written back rather than lost.
        ResultSet rows;
        if (!db.query(QStringLiteral("select libtache from kp_taches where noidtache = %1").arg(number), rows))
            return Outcome::failure(Error, unreadable, db.lastError());
        exists = !rows.isEmpty();
    }

    const QString label = sqlText(type->label);
    const QString timing = QString::number(qBound(0, type->timing, 2));
    const QString colours[2] = {QString::number(type->background), QString::number(type->text)};
    QStringList statements;
    if (exists)
        statements << QStringLiteral("update kp_taches set libtache = '%1', coulfond = %2, coultexte = %3, typehor = %4, "
                                     "duree = '%5', durde = '%6', dura = '%7' where noidtache = %8")
                          .arg(label, colours[0], colours[1], timing, sqlText(type->duration), sqlText(type->from),
                               sqlText(type->to), QString::number(number));
    else
        statements << QStringLiteral("insert into kp_taches(noidtache,libtache,coulfond,coultexte,typehor,duree,durde,dura) "
                                     "values (%1,'%2',%3,%4,%5,'%6','%7','%8')")
                          .arg(QString::number(number), label, colours[0], colours[1], timing, sqlText(type->duration),
                               sqlText(type->from), sqlText(type->to));
    statements << QStringLiteral("delete from kp_tachescompetences where noidtache = %1").arg(number);
    for (const RequiredSkill &skill : std::as_const(type->skills))
        statements << QStringLiteral("insert into kp_tachescompetences (noidtache,noidcomp) values (%1,%2)")
                          .arg(number)
                          .arg(skill.number);
    for (const QString &sql : std::as_const(statements))
        if (!db.exec(sql))
            return Outcome::failure(Error, failed, db.lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, failed, db.lastError());
    type->number = number;
    return Outcome::success();
}

Outcome TaskTypeStore::remove(qint64 number) const
{
    Database &db = *m_session.database();
    const QString failed = QStringLiteral("Erreur lors de la suppression");
    // Checked inside the transaction: no task of the type can appear between
    // the check and the deletes.
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, failed, db.lastError());
    const QStringList users = {QStringLiteral("kp_tachescompetences"), QStringLiteral("kp_taches_desc"),
                               QStringLiteral("histo_taches_desc")};
    for (const QString &table : users) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select count(*) from %1 where noidtache = %2").arg(table).arg(number), rows))
            return Outcome::failure(Error, QStringLiteral("ERreur lors de la lecture des données"), db.lastError());
        if (!rows.isEmpty() && rows.toLongLong(0, 0) > 0)
            return Outcome::failure(QStringLiteral("Désolé"),
                                    QStringLiteral("Impossible de supprimer cette tâche - Des données existent"));
    }
    for (const QString &table : users + QStringList{QStringLiteral("kp_taches")})
        if (!db.exec(QStringLiteral("delete from %1 where noidtache = %2").arg(table).arg(number)))
            return Outcome::failure(Error, failed, db.lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, failed, db.lastError());
    return Outcome::success();
}

ListRequest TaskTypeStore::skillRequest(const QList<qint64> &listed)
{
    QString sql = QStringLiteral("Select d.libelle as libdom,c.libelle as libcomp,c.noid from kp_competences c,kp_domaines d "
                                 "where c.codedomaine = d.code");
    if (!listed.isEmpty()) {
        QStringList numbers;
        for (qint64 n : listed)
            numbers << QString::number(n);
        sql += QStringLiteral(" and c.noid not in (") + numbers.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    ListRequest request(QStringLiteral("Liste des Compétences"), sql + QStringLiteral(" order by d.libelle,c.libelle"));
    request.addColumn(QStringLiteral("Domaine"), 2400);
    request.addColumn(QStringLiteral("Libellé"), 3600);
    // Returned to the screen, of no use to the reader.
    request.addColumn(QStringLiteral("Noid"), 0, QStringLiteral("I"));
    return request;
}
