#include "tasks/TaskLinks.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "tasks/TaskStore.h"

namespace {

const QString Error = QStringLiteral("Erreur");

// "in ()" is not valid SQL: -1 never names a record.
const QString NoRecord = QStringLiteral("-1");

QString stored(const QString &value)
{
    return value == QLatin1String("/") ? QString() : value.trimmed();
}

Outcome readResources(Session &session, const QString &where, QList<LinkedItem> *items)
{
    Database &db = *session.database();
    ResultSet rows;
    items->clear();
    if (!db.query(QStringLiteral("Select libelle,noid,typeressource,nomico from kp_ressources where ") + where
                      + QStringLiteral(" order by libelle"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ressources"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        items->append({rows.toLongLong(r, 1), rows.value(r, 0), rows.toInt(r, 2), stored(rows.value(r, 3))});
    return Outcome::success();
}

} // namespace

QString TaskLinks::clientLabel(const QString &libsoc, int typesoc, const QString &surname, const QString &firstName)
{
    const QString name = stored(libsoc);
    if (typesoc == 1 || name.isEmpty()) {
        const QString names = (stored(surname) + QLatin1Char(' ') + stored(firstName)).trimmed();
        if (!names.isEmpty())
            return names;
    }
    return name;
}

Outcome TaskLinks::resources(Session &session, const QList<qint64> &numbers, QList<LinkedItem> *items)
{
    const Outcome read = readResources(session, QStringLiteral("noid in (") + numberList(numbers, NoRecord) + QLatin1Char(')'), items);
    if (!read && !read.dbError().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(Entity::Ressource),
                                read.dbError());
    return read;
}

Outcome TaskLinks::clients(Session &session, const QList<qint64> &numbers, QList<LinkedItem> *items)
{
    Database &db = *session.database();
    ResultSet rows;
    items->clear();
    if (!db.query(QStringLiteral("select libsoc,noidsoc,typesoc,nomcont,prenomcont,nomico from kp_societes where noidsoc in (")
                      + numberList(numbers, NoRecord) + QStringLiteral(") order by libsoc,nomcont"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des clients"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        items->append({rows.toLongLong(r, 1), clientLabel(rows.value(r, 0), rows.toInt(r, 2), rows.value(r, 3), rows.value(r, 4)),
                       rows.toInt(r, 2), stored(rows.value(r, 5))});
    return Outcome::success();
}

ListRequest TaskLinks::resourceRequest(const Terms &terms, const QList<qint64> &listed)
{
    ListRequest request(QStringLiteral("Liste des ") + terms.plural(Entity::Ressource),
                        QStringLiteral("Select libelle,noid,typeressource,nomico from kp_ressources  where noid not in (")
                            + numberList(listed, NoRecord) + QStringLiteral(") order by typeressource,libelle"));
    request.addColumn(terms.singular(Entity::Ressource), 4000, QStringLiteral("SPERESS"));
    request.addColumn(QStringLiteral("N°"), 0, QStringLiteral("I"));
    return request;
}

ListRequest TaskLinks::clientRequest(const Terms &terms, const QList<qint64> &listed)
{
    ListRequest request(QStringLiteral("Liste des ") + terms.plural(Entity::Client),
                        QStringLiteral("Select libsoc,noidsoc,typesoc,sexecont,nomcont,prenomcont,nomico from kp_societes "
                                       " where noidsoc not in (")
                            + numberList(listed, NoRecord) + QStringLiteral(") order by libsoc,nomcont"));
    request.addColumn(terms.singular(Entity::Client), 3600, QStringLiteral("SPECLI"));
    request.addColumn(QStringLiteral("N°"), 0, QStringLiteral("I"));
    request.skipField();
    request.skipField();
    request.addColumn(QStringLiteral("Nom"), 1800, QStringLiteral("/"));
    request.addColumn(QStringLiteral("Prénom"), 1500, QStringLiteral("/"));
    return request;
}

Outcome TaskLinks::teamMembers(Session &session, qint64 team, QList<LinkedItem> *members)
{
    Database &db = *session.database();
    const Terms &terms = session.terms();
    ResultSet rows;
    members->clear();
    if (!db.query(QStringLiteral("select noressource from kp_equipes_ress where noequipe = ") + QString::number(team), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des équipes"), db.lastError());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Désolé"),
                                (terms.feminine(Entity::Ressource) ? QStringLiteral("Aucune") : QStringLiteral("Aucun"))
                                    + QLatin1Char(' ') + terms.singular(Entity::Ressource)
                                    + QStringLiteral(" pour cette équipe"));
    for (int r = 0; r < rows.rowCount(); ++r) {
        QList<LinkedItem> one;
        const Outcome read = readResources(session, QStringLiteral("noid = ") + QString::number(rows.toLongLong(r, 0)), &one);
        if (!read)
            return read;
        members->append(one); // a member deleted since is simply skipped
    }
    return Outcome::success();
}

Outcome TaskLinks::mailRecipients(Database &db, const QList<qint64> &resources, QStringList *addresses)
{
    ResultSet rows;
    addresses->clear();
    if (!db.query(QStringLiteral("select libelle,mailressource from kp_ressources  where noid in (") + numberList(resources, NoRecord)
                      + QStringLiteral(")  order by libelle"),
                  rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ressources"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString address = stored(rows.value(r, 1));
        if (address.contains(QLatin1Char('@')) && !addresses->contains(address))
            addresses->append(address);
    }
    return Outcome::success();
}

QString TaskLinks::mailBody(Session &session, const Task &task, const QStringList &clientLabels)
{
    auto wanted = [&](const char *key) {
        return session.settings().read(QStringLiteral("Mail"), QString::fromLatin1(key), QStringLiteral("0"))
               == QLatin1String("1");
    };
    QStringList lines;
    if (wanted("EnvoiDate") && !task.ranges.isEmpty()) {
        const TaskRange &first = task.ranges.first();
        const TaskRange &last = task.split ? task.ranges.last() : first;
        auto when = [](const QDate &date, const QString &time) {
            return date.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" (") + time + QLatin1Char(')');
        };
        lines.append(QStringLiteral(" du : ") + when(first.startDate, first.startTime) + QStringLiteral(" Au : ")
                     + when(last.endDate, last.endTime));
    }
    if (wanted("EnvoiCli"))
        lines.append(session.terms().singular(Entity::Client) + QStringLiteral(" : ") + clientLabels.join(QStringLiteral(", ")));
    if (wanted("EnvoiComment"))
        lines.append(QStringLiteral("Commentaire : ") + task.comment);
    return lines.join(QStringLiteral("\r\n"));
}
