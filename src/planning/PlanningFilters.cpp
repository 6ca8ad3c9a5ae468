#include "planning/PlanningFilters.h"

#include "core/Database.h"
#include "core/SqlText.h"

Outcome PlanningFilters::stageClients(Database &db, qint64 stage, QString *list)
{
    ResultSet criteria;
    if (!db.query(QStringLiteral("select notache,typecrit from kp_etapes_taches where  noetape = ") + QString::number(stage),
                  criteria))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des étapes"), db.lastError());
    QString kept;
    bool narrowed = false;
    for (int r = 0; r < criteria.rowCount(); ++r) {
        const QString exists = criteria.toInt(r, 1) == 1 ? QStringLiteral("exists") : QStringLiteral("not exists");
        QString sql = QStringLiteral("select s.noidsoc from kp_societes s where ") + exists
                      + QStringLiteral(" (select c.noid from kp_taches_desc d,kp_taches_clients c   where d.noid = c.noid and  d.noidtache = ")
                      + QString::number(criteria.toLongLong(r, 0)) + QStringLiteral(" and  c.noidsoc = s.noidsoc )");
        if (narrowed)
            sql += QStringLiteral(" and s.noidsoc in (") + (kept.isEmpty() ? QStringLiteral("-1") : kept) + QLatin1Char(')');
        ResultSet clients;
        if (!db.query(sql, clients))
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des étapes"), db.lastError());
        QStringList numbers;
        for (int c = 0; c < clients.rowCount(); ++c)
            numbers.append(clients.value(c, 0));
        kept = numbers.join(QLatin1Char(','));
        narrowed = true;
    }
    *list = kept.isEmpty() ? QStringLiteral("-1") : kept;
    return Outcome::success();
}

Outcome PlanningFilters::build(Database &db, const FilterChoice &choice, FilterFragments *f)
{
    *f = FilterFragments();
    f->clientTypeIndex = qBound(0, choice.clientType, 2);
    if (choice.team > 0) {
        ResultSet members;
        if (!db.query(QStringLiteral("select distinct r.noressource from kp_equipes_ress r where r.noequipe = ")
                          + QString::number(choice.team),
                      members))
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des données (Equipes)"),
                                    db.lastError());
        QStringList numbers;
        for (int r = 0; r < members.rowCount(); ++r)
            numbers.append(QString::number(members.toLongLong(r, 0)));
        // A team without members restricts nothing.
        if (!numbers.isEmpty())
            f->team = QStringLiteral(" r.noid in (") + numbers.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    if (f->clientTypeIndex > 0)
        f->clientType = QStringLiteral(" s.typesoc = ") + QString::number(f->clientTypeIndex - 1) + QLatin1Char(' ');
    if (!choice.sector.isEmpty())
        f->sector = QStringLiteral(" s.secteursoc = '") + sqlText(choice.sector) + QLatin1Char('\'');
    if (!choice.project.isEmpty())
        f->project = QStringLiteral(" d.codeprojet = '") + sqlText(choice.project) + QStringLiteral("' ");
    if (choice.doneState == 1)
        f->done = QStringLiteral(" d.effect = 1");
    else if (choice.doneState == 2)
        f->done = QStringLiteral(" (d.effect = 0 or d.effect is null)");
    if (choice.zone >= 0)
        f->zone = QStringLiteral(" s.noidzone = ") + QString::number(choice.zone);
    if (!choice.urgency.isEmpty())
        f->urgency = QStringLiteral(" d.urgence = '") + sqlText(choice.urgency) + QLatin1Char('\'');
    if (!choice.company.isEmpty())
        f->company = QStringLiteral(" s.libsoc = '") + sqlText(choice.company) + QLatin1Char('\'');
    if (!choice.resourceKinds.isEmpty())
        f->resourceKinds = QStringLiteral(" r.typeressource in (") + numberList(QList<qint64>(choice.resourceKinds.cbegin(), choice.resourceKinds.cend())) + QStringLiteral(") ");
    if (!choice.taskTypes.isEmpty())
        f->taskTypes = QStringLiteral(" d.noidtache in (") + numberList(choice.taskTypes) + QStringLiteral(") ");
    if (choice.closure == 0 || choice.closure == 1)
        f->closure = QStringLiteral(" s.cloture = ") + QString::number(choice.closure);
    if (choice.stage > 0) {
        const Outcome read = stageClients(db, choice.stage, &f->stageClients);
        if (!read)
            return read;
    }
    QStringList caption;
    for (auto it = choice.shown.cbegin(); it != choice.shown.cend(); ++it)
        if (!it.value().isEmpty())
            caption.append(it.value());
    f->caption = caption.join(QStringLiteral(" - "));
    return Outcome::success();
}
