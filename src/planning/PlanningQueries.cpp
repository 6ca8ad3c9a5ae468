#include "planning/PlanningQueries.h"

#include "core/Dialect.h"
#include "core/SqlText.h"
#include "planning/PlanningFilters.h"

namespace {

// " and " + fragment, or nothing for a filter that is off.
QString andIf(const QString &fragment)
{
    return fragment.isEmpty() ? QString() : QStringLiteral(" and ") + fragment;
}

QString stageClause(const FilterFragments &f)
{
    return f.stageClients.isEmpty() ? QString() : QStringLiteral(" and s.noidsoc in (") + f.stageClients + QLatin1Char(')');
}

QString clientHalf(const QString &head, const FilterFragments &f)
{
    return head + andIf(f.sector) + andIf(f.company) + stageClause(f) + andIf(f.closure) + andIf(f.zone);
}

QString taskColumns(const QString &rowKey, const QString &label, const QString &zone)
{
    return QStringLiteral("select distinct d.noid as nntache,") + rowKey + QLatin1Char(',') + label
           + QStringLiteral(",t.datedeb,t.datefin,d.noidtache,d.urgence,d.codeprojet,'COMMENT' as commentaire,"
                            "d.codeconge,t.noiddate,d.blocage,d.noidper,d.origine,d.noidprospect,d.noalerte,")
           + zone + QStringLiteral(",t.nbjours,t.nbheures,d.blocadm");
}

const QString ResourceTables = QStringLiteral(" ,kp_taches_ressources tr,kp_ressources r ");
const QString ResourceJoin = QStringLiteral(" and d.noid = tr.noid  and tr.noidressource = r.noid");
const QString ClientJoin = QStringLiteral(" and d.noid = c.noid   and c.noidsoc = s.noidsoc ");

} // namespace

QString PlanningQueries::rowQuery(Presentation presentation, const FilterFragments &f)
{
    switch (presentation) {
    case Presentation::ByResource:
        return QStringLiteral("select r.libelle,r.typeressource,r.nomressource,r.prenomressource,r.noid,"
                              " r.coulfond,r.coultexte,0,r.nomico from kp_ressources r  where r.noid >= 0 ")
               + andIf(f.resourceKinds) + andIf(f.team) + QStringLiteral(" order by r.typeressource,r.libelle");
    case Presentation::ByClient: {
        const QString tail = QStringLiteral(" s.coulfond,s.coultexte,s.sexecont,s.nomico from kp_societes s ");
        const QString companies = clientHalf(
            QStringLiteral("select s.libsoc as ch1,s.typesoc,s.nomcont,s.prenomcont,s.noidsoc,") + tail
                + QStringLiteral(" where s.typesoc = 0 "),
            f);
        const QString individuals = clientHalf(
            QStringLiteral(" select s.nomcont as ch1,s.typesoc,s.libsoc,s.prenomcont,s.noidsoc,") + tail
                + QStringLiteral(" where s.typesoc = 1 "),
            f);
        switch (f.clientTypeIndex) {
        case 1: return companies + QStringLiteral(" order by s.libsoc");
        case 2: return individuals + QStringLiteral(" order by s.nomcont");
        default: return companies + QStringLiteral(" union ") + individuals + QStringLiteral(" order by ch1");
        }
    }
    case Presentation::ByTaskType:
        return QStringLiteral("select libtache,0,'/' as titi,'/' as tutu,noidtache,"
                              " coulfond,coultexte,0 as toto,'/' as nooo from kp_taches  where noidtache >= 0 ");
    }
    return {};
}

QString PlanningQueries::windowCondition(const Dialect &dialect, const QDate &first, int days)
{
    const QString d1 = dialect.dateFilter(first);
    const QString d2 = dialect.dateFilter(first.addDays(days));
    return QStringLiteral(" and ((t.datedeb >= ") + d1 + QStringLiteral(" and t.datedeb <= ") + d2 + QStringLiteral(") or ")
           + QStringLiteral(" (t.datefin >= ") + d1 + QStringLiteral(" and t.datefin <= ") + d2 + QStringLiteral(") or ")
           + QStringLiteral(" (t.datedeb <= ") + d1 + QStringLiteral(" and t.datefin >= ") + d2 + QStringLiteral(") or ")
           + QStringLiteral(" (d.noidper > 0))");
}

QString PlanningQueries::taskQuery(Presentation presentation, const FilterFragments &f, const Dialect &dialect,
                                   const QDate &first, int days)
{
    const QString window = windowCondition(dialect, first, days);
    switch (presentation) {
    case Presentation::ByResource: {
        const bool clients = f.needsClients();
        return taskColumns(QStringLiteral("r.noid"), QStringLiteral("r.libelle"), QStringLiteral("0"))
               + QStringLiteral(" from kp_taches_desc d,kp_taches_dates t,kp_taches_ressources e,kp_ressources r")
               + (clients ? QStringLiteral(",kp_taches_clients c,kp_societes s") : QString())
               + QStringLiteral(" where  d.noid = t.noid  and d.noid = e.noid ") + (clients ? ClientJoin : QString())
               + andIf(f.clientType) + andIf(f.sector) + andIf(f.company) + andIf(f.zone) + andIf(f.urgency)
               + stageClause(f) + QStringLiteral(" and e.noidressource = r.noid ") + window + andIf(f.resourceKinds)
               + andIf(f.taskTypes) + andIf(f.team) + andIf(f.project) + andIf(f.done)
               + QStringLiteral(" order by r.noid,d.noid,t.datedeb");
    }
    case Presentation::ByClient: {
        const bool resources = f.needsResources();
        return taskColumns(QStringLiteral("c.noidsoc"), QStringLiteral("'//'"), QStringLiteral("s.noidzone"))
               + QStringLiteral(" from kp_taches_desc d,kp_taches_dates t,kp_taches_clients c,kp_societes s")
               + (resources ? ResourceTables : QString())
               + QStringLiteral(" where  d.noid = t.noid ") + ClientJoin + andIf(f.clientType) + andIf(f.sector)
               + andIf(f.company) + (resources ? ResourceJoin : QString()) + andIf(f.resourceKinds) + andIf(f.taskTypes)
               + andIf(f.team) + andIf(f.project) + andIf(f.zone) + andIf(f.urgency) + andIf(f.done) + window
               + QStringLiteral(" order by c.noidsoc,d.noid,t.datedeb");
    }
    case Presentation::ByTaskType: {
        const bool resources = f.needsResources();
        const bool clients = f.needsClients();
        return taskColumns(QStringLiteral("d.noidtache as lid"), QStringLiteral("d.noidtache as bil"), QStringLiteral("0"))
               + QStringLiteral(" from kp_taches_desc d,kp_taches_dates t") + (resources ? ResourceTables : QString())
               + (clients ? QStringLiteral(" ,kp_taches_clients c,kp_societes s ") : QString())
               + QStringLiteral(" where  d.noid = t.noid ") + (resources ? ResourceJoin : QString())
               + andIf(f.resourceKinds) + andIf(f.taskTypes) + andIf(f.team) + andIf(f.project)
               + (clients ? ClientJoin : QString()) + andIf(f.clientType) + andIf(f.sector) + andIf(f.company)
               + stageClause(f) + andIf(f.zone) + andIf(f.urgency) + andIf(f.done) + window
               + QStringLiteral(" order by d.noidtache,d.noid,t.datedeb");
    }
    }
    return {};
}

QString PlanningQueries::lineQuery(Presentation presentation, const FilterFragments &f, const Dialect &dialect,
                                   const QDate &first, int days)
{
    const QString join = dialect.orderedJoin();
    QString key, tables, zone;
    switch (presentation) {
    case Presentation::ByResource:
        key = QStringLiteral("e.noidressource");
        tables = join + QStringLiteral("kp_taches_ressources e where d.noid = t.noid and e.noid = d.noid");
        break;
    case Presentation::ByClient:
        key = QStringLiteral("c.noidsoc");
        zone = QStringLiteral(",s.noidzone");
        tables = join + QStringLiteral("kp_taches_clients c") + join
                 + QStringLiteral("kp_societes s where d.noid = t.noid and c.noid = d.noid and s.noidsoc = c.noidsoc");
        break;
    case Presentation::ByTaskType:
        key = QStringLiteral("d.noidtache");
        tables = QStringLiteral(" where d.noid = t.noid");
        break;
    }
    QString sql = QStringLiteral("select d.noid,") + key
                  + QStringLiteral(",t.datedeb,t.datefin,d.noidtache,d.urgence,d.codeprojet,d.codeconge,t.noiddate,d.blocage,"
                                   "d.noidper,d.origine,d.noidprospect,d.noalerte,t.nbjours,t.nbheures,d.blocadm")
                  + zone + QStringLiteral(" from kp_taches_dates t") + join + QStringLiteral("kp_taches_desc d") + tables + andIf(f.taskTypes)
                  + andIf(f.project) + andIf(f.urgency) + andIf(f.done);
    if (presentation != Presentation::ByResource && f.needsResources())
        sql += QStringLiteral(" and d.noid in (select tr.noid from kp_taches_ressources tr,kp_ressources r"
                              " where tr.noidressource = r.noid")
               + andIf(f.resourceKinds) + andIf(f.team) + QLatin1Char(')');
    if (presentation != Presentation::ByClient && f.needsClients())
        sql += QStringLiteral(" and d.noid in (select c.noid from kp_taches_clients c,kp_societes s where c.noidsoc = s.noidsoc")
               + andIf(f.clientType) + andIf(f.sector) + andIf(f.company) + andIf(f.zone) + stageClause(f) + QLatin1Char(')');
    return sql + windowCondition(dialect, first, days);
}

QStringList PlanningQueries::numberLists(const QList<qint64> &numbers)
{
    constexpr qsizetype PerList = 5000;
    QStringList lists;
    for (qsizetype from = 0; from < numbers.size(); from += PerList)
        lists.append(numberList(numbers.mid(from, PerList)));
    return lists;
}
