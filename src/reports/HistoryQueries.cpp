#include "reports/HistoryQueries.h"

#include "core/Dialect.h"
#include "core/SqlText.h"
#include "core/Terms.h"

#include <QDateTime>

namespace {

QString quoted(const QString &value)
{
    return QLatin1Char('\'') + sqlText(value) + QLatin1Char('\'');
}

QString numbers(const QList<qint64> &list, const QString &column)
{
    if (list.size() == 1)
        return QLatin1Char(' ') + column + QStringLiteral(" = ") + QString::number(list.first());
    return QLatin1Char(' ') + column + QStringLiteral(" in (") + numberList(list) + QStringLiteral(")");
}

// Whether the list reads leave rather than tasks.
bool isLeave(HistoryQueries::Shape shape)
{
    return shape == HistoryQueries::Shape::LeaveList || shape == HistoryQueries::Shape::LeaveStatistics;
}

// The period on a column: the day of `start` to the whole day of `end`.
QString bounds(const Dialect &dialect, const HistoryParameters &p, const QString &column)
{
    return QLatin1Char(' ') + column + QStringLiteral(" >= ") + dialect.dateFilter(p.start) + QStringLiteral(" and ") + column
           + QStringLiteral(" <= ") + dialect.dateTimeFilter(QDateTime(p.end, QTime(23, 59, 59)));
}

// Comment, project and state; leave has neither project nor state.
QString common(const Dialect &dialect, const HistoryParameters &p, bool leave)
{
    QString sql = HistoryQueries::commentCondition(dialect, p.comment);
    if (leave)
        return sql;
    if (!p.project.trimmed().isEmpty())
        sql += QStringLiteral(" and d.codeprojet = ") + quoted(p.project) + QLatin1Char(' ');
    if (p.state == HistoryParameters::Done)
        sql += QStringLiteral(" and d.effect = 1");
    else if (p.state == HistoryParameters::NotDone)
        sql += QStringLiteral(" and (d.effect = 0 or d.effect is null)");
    return sql;
}

const QString TaskColumns = QStringLiteral(" d.noid,d.noidtache,d.urgence,d.codeprojet,da.nbjours,da.nbheures,"
                                           " da.datedeb,da.datefin,d.noidper,d.origine ");
const QString ClientColumns = QStringLiteral("s.typesoc,s.noidsoc,s.libsoc,s.sexecont,s.nomcont,s.prenomcont,");
const QString CostColumns = QStringLiteral(" d.noid,d.noidtache,d.urgence,d.codeprojet,d.nbjours,d.nbheures,"
                                           " tc.datecout,tc.nbunitcout,tc.mtunitcout,tc.mttotcout,c.libcout,c.typecout ");

} // namespace

HistoryQueries::Shape HistoryQueries::shapeOf(HistoryKind kind, int type)
{
    if (kind == HistoryKind::Resource) {
        static const Shape shapes[] = {Shape::List,      Shape::Detail,          Shape::Costs,
                                       Shape::Statistics, Shape::LeaveList,      Shape::LeaveStatistics,
                                       Shape::GlobalCosts, Shape::GlobalCosts,   Shape::GlobalCosts};
        return shapes[qBound(0, type, 8)];
    }
    static const Shape shapes[] = {Shape::List, Shape::Detail, Shape::Statistics, Shape::Costs, Shape::Costs, Shape::Costs};
    return shapes[qBound(0, type, 5)];
}

int HistoryQueries::costKind(HistoryKind kind, int type)
{
    if (kind == HistoryKind::Resource)
        return type == 7 ? 0 : type == 8 ? -1 : 1;
    return type == 4 ? 0 : type == 5 ? -1 : 1;
}

int HistoryQueries::entityColumns(HistoryKind kind)
{
    return kind == HistoryKind::Resource ? 1 : 6;
}

QList<int> HistoryQueries::columnWidths(Shape shape)
{
    switch (shape) {
    case Shape::List: return {1500, 1600, 1650, 1900, 1900, 850, 850, 0};
    case Shape::Detail: return {1500, 3900, 1300, 1700, 2300, 0};
    case Shape::LeaveList: return {2200, 2200, 1900, 1900, 900, 900, 0};
    case Shape::Statistics:
    case Shape::LeaveStatistics: return {3500, 1200, 1200, 1200};
    case Shape::Costs:
    case Shape::GlobalCosts: return {1600, 1600, 1900, 1200, 1700, 700, 1000, 1000};
    }
    return {};
}

QStringList HistoryQueries::columnTitles(HistoryKind kind, int type, const Terms &terms)
{
    const QString resource = terms.singular(Entity::Ressource);
    const QString client = terms.singular(Entity::Client);
    const QString task = terms.singular(Entity::Tache);
    const bool elided = terms.elided(Entity::Tache);
    const QString clients = terms.plural(Entity::Client);
    const QString resources = terms.plural(Entity::Ressource);
    const QString typeTitle = QStringLiteral("Type ") + (elided ? QStringLiteral("d'") : QStringLiteral("de ")) + task;
    const bool perResource = kind == HistoryKind::Resource;
    const QString who = perResource ? resource : client;
    const QString others = perResource ? clients : resources;
    switch (shapeOf(kind, type)) {
    case Shape::List:
        return perResource ? QStringList{who, typeTitle, others, QStringLiteral("Du"), QStringLiteral("Au"),
                                         QStringLiteral("Jours"), QStringLiteral("Heures"), QStringLiteral("Tri")}
                           : QStringList{who, others, typeTitle, QStringLiteral("Du"), QStringLiteral("Au"),
                                         QStringLiteral("Jours"), QStringLiteral("Heures"), QStringLiteral("Tri")};
    case Shape::Detail:
        return {who, QStringLiteral("Détail"), QString(), QStringLiteral("Commentaire"),
                (perResource ? QStringLiteral("Fin d") + (elided ? QStringLiteral("'") : QStringLiteral("e "))
                             : QStringLiteral("Fin ") + (elided ? QStringLiteral("d'") : QStringLiteral("de ")))
                    + task,
                QStringLiteral("Tri")};
    case Shape::LeaveList:
        return {who, QStringLiteral("Congé"), QStringLiteral("Du"), QStringLiteral("Au"), QStringLiteral("Jours"),
                QStringLiteral("Heures")};
    case Shape::Statistics:
        return {typeTitle, QStringLiteral("Nbre"), QStringLiteral("Jours"), QStringLiteral("Heures")};
    case Shape::LeaveStatistics:
        return {QStringLiteral("Congé"), QStringLiteral("Nbre"), QStringLiteral("Jours"), QStringLiteral("Heures")};
    case Shape::Costs:
    case Shape::GlobalCosts: {
        const int kindOfCost = costKind(kind, type);
        const QString label = kindOfCost < 0 || (perResource && type >= 6) ? QStringLiteral("Frais/Recette")
                              : kindOfCost == 0                             ? QStringLiteral("Type de Recette")
                                                                            : QStringLiteral("Type de Frais");
        return {who, typeTitle, others, QStringLiteral("Date"), label, QStringLiteral("Nbre"), QStringLiteral("Mt Unit"),
                QStringLiteral("Mt Tot")};
    }
    }
    return {};
}

QString HistoryQueries::commentCondition(const Dialect &dialect, const QString &comment)
{
    const QString searched = comment.trimmed();
    if (searched.isEmpty())
        return {};
    // The text is looked for as typed: its own "%" and "_" are no wildcards.
    QString escaped;
    for (const QChar c : searched) {
        if (c == u'!' || c == u'%' || c == u'_')
            escaped += QLatin1Char('!');
        escaped += c;
    }
    return QStringLiteral(" and d.commentaire like '") + dialect.wildcard() + sqlText(escaped) + dialect.wildcard()
           + QStringLiteral("' escape '!' ");
}

QString HistoryQueries::resourceCondition(const HistoryParameters &p, const QString &column)
{
    if (!p.resources.isEmpty())
        return numbers(p.resources, column);
    // A team or a service without a resource chosen means its resources, not everyone.
    if (p.team >= 0 || !p.service.trimmed().isEmpty()) {
        QString sql = QLatin1Char(' ') + column + QStringLiteral(" in (select noid from kp_ressources where noid >= 0");
        if (p.team >= 0)
            sql += QStringLiteral(" and noid in (select noressource from kp_equipes_ress where noequipe = ")
                   + QString::number(p.team) + QStringLiteral(")");
        if (!p.service.trimmed().isEmpty())
            sql += QStringLiteral(" and noid in (select noressource from kp_ressserv where codeserv = ") + quoted(p.service)
                   + QStringLiteral(")");
        return sql + QStringLiteral(")");
    }
    return QLatin1Char(' ') + column + QStringLiteral(" >= 0 ");
}

QString HistoryQueries::clientCondition(const HistoryParameters &p)
{
    if (!p.clients.isEmpty())
        return numbers(p.clients, QStringLiteral("s.noidsoc"));
    QStringList parts;
    if (!p.company.trimmed().isEmpty())
        parts.append(QStringLiteral(" s.libsoc = ") + quoted(p.company));
    if (!p.sector.trimmed().isEmpty())
        parts.append(QStringLiteral(" s.secteursoc = ") + quoted(p.sector));
    if (parts.isEmpty())
        return QStringLiteral(" s.noidsoc >= 0 ");
    return parts.join(QStringLiteral(" and "));
}

QString HistoryQueries::taskQuery(const Dialect &dialect, const HistoryParameters &p)
{
    const Shape shape = shapeOf(p.kind, p.type);
    const bool leave = shape == Shape::LeaveList;
    QString extra;
    if (shape == Shape::Detail) {
        extra = QStringLiteral(",d.commentaire,d.effect,d.dteffect,d.commenteffect");
        if (p.kind == HistoryKind::Client)
            extra += QStringLiteral(",s.adrsoc,s.adrcompsoc,s.cpsoc,s.villesoc,s.telsoc,s.mobsoc");
    } else if (leave) {
        extra = QStringLiteral(",d.codeconge");
    }
    const QString period = QStringLiteral(" and ((") + bounds(dialect, p, QStringLiteral("da.datedeb"))
                           + QStringLiteral(") or (d.noidper > 0))");
    const QString leaveCondition = leave ? QStringLiteral(" and d.codeconge <> '/' ") : QStringLiteral(" and d.codeconge = '/' ");
    if (p.kind == HistoryKind::Resource)
        return QStringLiteral("select re.libelle,") + TaskColumns + extra
               + QStringLiteral(",r.noidressource from kp_taches_desc d,kp_taches_ressources r,kp_taches_dates da,kp_ressources re where "
                                " d.noid = r.noid  and d.noid = da.noid  and r.noidressource = re.noid ")
               + leaveCondition + QStringLiteral(" and ") + resourceCondition(p, QStringLiteral("r.noidressource"))
               + common(dialect, p, leave) + period + QStringLiteral(" order by da.datedeb,re.typeressource,re.libelle");
    return QStringLiteral("select ") + ClientColumns + TaskColumns + extra
           + QStringLiteral(",s.noidsoc from kp_taches_desc d,kp_taches_clients c,kp_taches_dates da,kp_societes s where "
                            " d.noid = c.noid  and d.noid = da.noid  and c.noidsoc = s.noidsoc ")
           + leaveCondition + QStringLiteral(" and ") + clientCondition(p) + common(dialect, p, leave) + period
           + QStringLiteral(" order by da.datedeb,s.libsoc,s.nomcont");
}

QString HistoryQueries::statisticsQuery(const Dialect &dialect, const HistoryParameters &p)
{
    const bool leave = isLeave(shapeOf(p.kind, p.type));
    const bool perResource = p.kind == HistoryKind::Resource;
    const QString link = perResource ? QStringLiteral("kp_taches_ressources r") : QStringLiteral("kp_taches_clients c,kp_societes s");
    const QString joined = perResource ? QStringLiteral(" d.noid = r.noid ") : QStringLiteral(" d.noid = c.noid  and c.noidsoc = s.noidsoc ");
    const QString who = perResource ? resourceCondition(p, QStringLiteral("r.noidressource")) : clientCondition(p);
    const QString tail = QStringLiteral(" and ") + who + common(dialect, p, leave) + QStringLiteral(" and ")
                         + bounds(dialect, p, QStringLiteral("da.datedeb"));
    if (leave)
        // Grouped by leave kind alone: the task type of a leave entry means nothing
        // and would split one kind over several lines.
        return QStringLiteral("select t.libelle,count(t.libelle),sum(da.nbjours),sum(da.nbheures),t.code  from kp_taches_desc d,")
               + link + QStringLiteral(",kp_taches_dates da,kp_conges t where ") + joined
               + QStringLiteral(" and d.noid = da.noid  and d.codeconge <> '/'  and t.code = d.codeconge ") + tail
               + QStringLiteral(" group by t.libelle,t.code  order by t.libelle ");
    return QStringLiteral("select t.libtache,count(t.libtache),sum(da.nbjours),sum(da.nbheures),t.noidtache  from kp_taches_desc d,")
           + link + QStringLiteral(",kp_taches_dates da,kp_taches t where ") + joined
           + QStringLiteral(" and d.noid = da.noid  and d.codeconge = '/'  and t.noidtache = d.noidtache ") + tail
           + QStringLiteral(" group by d.noidtache,t.libtache,t.noidtache  order by t.libtache ");
}

QString HistoryQueries::costQuery(const Dialect &dialect, const HistoryParameters &p)
{
    const Shape shape = shapeOf(p.kind, p.type);
    const int kind = costKind(p.kind, p.type);
    const QString costKindCondition = kind < 0 ? QString() : QStringLiteral(" and c.typecout = ") + QString::number(kind);
    const QString tail = common(dialect, p, false) + QStringLiteral(" and ") + bounds(dialect, p, QStringLiteral("tc.datecout"));
    if (p.kind == HistoryKind::Resource) {
        const QString head = QStringLiteral("select re.libelle,") + CostColumns
                             + QStringLiteral(" from kp_taches_desc d,kp_taches_couts tc,kp_couts c,kp_ressources re where "
                                              " d.noid = tc.noidtache  and tc.noidressource = re.noid  and tc.noidcout = c.noid "
                                              " and d.codeconge = '/' ")
                             + costKindCondition;
        if (shape == Shape::Costs)
            return head + QStringLiteral(" and ") + resourceCondition(p, QStringLiteral("tc.noidressource")) + tail
                   + QStringLiteral(" order by tc.datecout,re.typeressource,re.libelle");
        return head + QStringLiteral(" and d.noid in (select re.noid from kp_taches_ressources re where ")
               + resourceCondition(p, QStringLiteral("re.noidressource")) + QStringLiteral(")") + tail
               + QStringLiteral(" order by tc.datecout");
    }
    return QStringLiteral("select ") + ClientColumns + CostColumns
           + QStringLiteral(" from kp_taches_desc d,kp_taches_couts tc,kp_couts c,kp_taches_clients cl,kp_societes s where "
                            " d.noid = tc.noidtache  and tc.noidcout = c.noid  and d.noid = cl.noid  and cl.noidsoc = s.noidsoc "
                            " and d.codeconge = '/' ")
           + costKindCondition + QStringLiteral(" and ") + clientCondition(p) + tail + QStringLiteral(" order by tc.datecout,s.libsoc");
}
