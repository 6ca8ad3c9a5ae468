#include "tasks/StageStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <algorithm>

namespace {

const QString Error = QStringLiteral("Erreur");

Outcome readFailure(Database &db)
{
    return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des étapes"), db.lastError());
}

} // namespace

Outcome StageStore::list(QList<Stage> *stages) const
{
    stages->clear();
    Database &db = *m_session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select libetape,noetape from kp_etapes order by libetape"), rows))
        return readFailure(db);
    for (int r = 0; r < rows.rowCount(); ++r)
        stages->append({rows.toLongLong(r, 1), rows.value(r, 0), {}});
    return Outcome::success();
}

Outcome StageStore::load(qint64 number, Stage *stage) const
{
    Database &db = *m_session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select libetape from kp_etapes where noetape = %1").arg(number), rows))
        return readFailure(db);
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Cette étape n'existe plus !"));
    *stage = {number, rows.value(0, 0), {}};
    // A type deleted since still shows, so that its criterion can be removed.
    if (!db.query(QStringLiteral("select e.notache,e.typecrit,t.libtache,t.coulfond,t.coultexte from kp_etapes_taches e "
                                 "left join kp_taches t on e.notache = t.noidtache where e.noetape = %1 order by t.libtache")
                      .arg(number),
                  rows))
        return readFailure(db);
    for (int r = 0; r < rows.rowCount(); ++r) {
        StageCriterion criterion{rows.toLongLong(r, 0), rows.toInt(r, 1), rows.value(r, 2), 0xFFFFFF, 0};
        if (!rows.isNull(r, 3)) {
            criterion.background = rows.toInt(r, 3);
            criterion.text = rows.toInt(r, 4);
        }
        stage->criteria.append(criterion);
    }
    return Outcome::success();
}

Outcome StageStore::save(Stage *stage) const
{
    if (stage->label.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner le libellé"));
    Database &db = *m_session.database();
    const QString failed = QStringLiteral("Erreur lors de la mise à jour de l'étape");
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, failed, db.lastError());
    qint64 number = stage->number;
    bool exists = false;
    if (number == 0) {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_etapes"), QStringLiteral("noetape"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated;
    } else {
        ResultSet rows;
        if (!db.query(QStringLiteral("select noetape from kp_etapes where noetape = %1").arg(number), rows))
            return Outcome::failure(Error, failed, db.lastError());
        exists = !rows.isEmpty();
    }
    const QString label = sqlText(stage->label);
    QStringList statements;
    statements << (exists ? QStringLiteral("update kp_etapes set libetape = '%2' where noetape = %1")
                          : QStringLiteral("insert into kp_etapes (noetape,libetape) values (%1,'%2')"))
                             .arg(QString::number(number), label);
    statements << QStringLiteral("delete from kp_etapes_taches where noetape = %1").arg(number);
    for (const StageCriterion &c : std::as_const(stage->criteria))
        statements << QStringLiteral("insert into kp_etapes_taches (noetape,notache,typecrit) values (%1,%2,%3)")
                          .arg(number)
                          .arg(c.taskType)
                          .arg(c.kind == StageCriterion::TakenPlace ? 1 : 0);
    for (const QString &sql : std::as_const(statements))
        if (!db.exec(sql))
            return Outcome::failure(Error, failed, db.lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, failed, db.lastError());
    stage->number = number;
    return Outcome::success();
}

Outcome StageStore::remove(qint64 number) const
{
    Database &db = *m_session.database();
    const QString failed = QStringLiteral("Erreur lors de la suppression de l'étape");
    Transaction transaction(db);
    if (!transaction.isActive() || !db.exec(QStringLiteral("delete from kp_etapes where noetape = %1").arg(number))
        || !db.exec(QStringLiteral("delete from kp_etapes_taches where noetape = %1").arg(number)) || !transaction.commit())
        return Outcome::failure(Error, failed, db.lastError());
    return Outcome::success();
}

Outcome StageStore::addCriterion(Stage *stage, const StageCriterion &criterion)
{
    if (criterion.kind != StageCriterion::TakenPlace && criterion.kind != StageCriterion::NotTakenPlace)
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner le type de critère"));
    for (const StageCriterion &c : std::as_const(stage->criteria))
        if (c.taskType == criterion.taskType)
            return Outcome::failure(QStringLiteral("Désolé"), QStringLiteral("Ce critère est déjà donné"));
    stage->criteria.append(criterion);
    return Outcome::success();
}

Outcome StageStore::clients(qint64 number, QList<qint64> *clients) const
{
    clients->clear();
    Database &db = *m_session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select notache,typecrit from kp_etapes_taches where  noetape = %1").arg(number), rows))
        return readFailure(db);
    // Each criterion narrows the clients kept by the ones before it.
    QString narrowing;
    bool first = true;
    for (int r = 0; r < rows.rowCount() && (first || !narrowing.isEmpty()); ++r) {
        QString sql = QStringLiteral("select s.noidsoc from kp_societes s where %1 exists "
                                     " (select c.noid from kp_taches_desc d,kp_taches_clients c  "
                                     " where d.noid = c.noid and  d.noidtache = %2 and  c.noidsoc = s.noidsoc )")
                          .arg(rows.toInt(r, 1) == StageCriterion::TakenPlace ? QString() : QStringLiteral("not"))
                          .arg(rows.toLongLong(r, 0));
        if (!first)
            sql += QStringLiteral(" and s.noidsoc in (") + narrowing + QLatin1Char(')');
        first = false;
        ResultSet kept;
        if (!db.query(sql, kept))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des étapes"), db.lastError());
        QStringList numbers;
        for (int k = 0; k < kept.rowCount(); ++k)
            numbers << kept.value(k, 0);
        narrowing = numbers.join(QLatin1Char(','));
    }
    if (first) {
        if (!db.query(QStringLiteral("select noidsoc from kp_societes"), rows))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des étapes"), db.lastError());
        for (int r = 0; r < rows.rowCount(); ++r)
            clients->append(rows.toLongLong(r, 0));
    } else if (!narrowing.isEmpty()) {
        for (const QString &n : narrowing.split(QLatin1Char(',')))
            clients->append(n.toLongLong());
    }
    std::sort(clients->begin(), clients->end());
    return Outcome::success();
}

QString StageStore::criterionChoice(const Terms &terms, int kind)
{
    return (kind == StageCriterion::TakenPlace ? QStringLiteral("A eu lieu pour l") : QStringLiteral("N'a pas eu lieu pour l"))
           + terms.articleEnding(Entity::Client) + terms.singular(Entity::Client);
}

QString StageStore::criterionText(const Terms &terms, int kind)
{
    return terms.singular(Entity::Client)
           + (kind == StageCriterion::TakenPlace ? QStringLiteral(" existant") : QStringLiteral(" inexistant"))
           + (terms.feminine(Entity::Client) ? QStringLiteral("e") : QString());
}
