#include "messaging/MessageLinks.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/SqlText.h"

namespace {

const QString Error = QStringLiteral("Erreur");

Outcome readFailure(Session &session)
{
    return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(Entity::Client),
                            session.database()->lastError());
}

// "Mme Durand Anne": the civility's short name, then the names that are set.
QString personName(const Session &session, int civility, const QString &surname, const QString &firstName)
{
    QStringList parts = {session.civilities().at(std::size_t(qBound(0, civility, 2))).shortName};
    for (const QString &part : {surname, firstName})
        if (!slashToEmpty(part).trimmed().isEmpty())
            parts.append(part.trimmed());
    return parts.size() > 1 ? parts.join(QLatin1Char(' ')) : QString();
}

} // namespace

Outcome MessageLinks::clients(Session &session, QList<LinkChoice> *choices)
{
    Database &db = *session.database();
    const Dialect &d = session.dialect();
    ResultSet rows;
    if (!db.query(QStringLiteral("select ") + d.concat({QStringLiteral("'S'"), QStringLiteral("noidsoc")})
                      + QStringLiteral(",libsoc  as libelle,'/' as pren,0 as sex from kp_societes ")
                      + QStringLiteral(" where typesoc = 0 ") + QStringLiteral(" union ") + QStringLiteral(" select ")
                      + d.concat({QStringLiteral("'P'"), QStringLiteral("noidsoc")})
                      + QStringLiteral(",nomcont as libelle,prenomcont as pren,sexecont as sex")
                      + QStringLiteral(" from kp_societes where typesoc = 1 ") + QStringLiteral(" order by libelle"),
                  rows))
        return readFailure(session);
    choices->clear();
    choices->append({0, QStringLiteral("Sans lien avec un ") + session.terms().singular(Entity::Client), false});
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString key = rows.value(r, 0);
        const bool individual = key.startsWith(QLatin1Char('P'));
        QString label = slashToEmpty(rows.value(r, 1)).trimmed();
        if (individual)
            label = (label + QLatin1Char(' ') + slashToEmpty(rows.value(r, 2)).trimmed()).trimmed();
        choices->append({key.mid(1).toLongLong(), label, individual});
    }
    return Outcome::success();
}

Outcome MessageLinks::contacts(Session &session, qint64 client, QList<LinkChoice> *choices)
{
    Database &db = *session.database();
    const QString n = QString::number(client);
    ResultSet rows;
    if (!db.query(QStringLiteral("select 0 as idcontact,nomcont as lenom,prenomcont,sexecont,telsoc from kp_societes ")
                      + QStringLiteral(" where noidsoc = ") + n + QStringLiteral(" union ")
                      + QStringLiteral(" select idcontact,nomcont as lenom,prenomcont,civilitecont,telcont ")
                      + QStringLiteral(" from kp_contactsoc ") + QStringLiteral(" where noidsoc = ") + n
                      + QStringLiteral(" order by lenom"),
                  rows))
        return readFailure(session);
    choices->clear();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const qint64 number = rows.toLongLong(r, 0);
        QString label = personName(session, rows.toInt(r, 3), rows.value(r, 1), rows.value(r, 2));
        if (label.isEmpty())
            label = QLatin1Char('(') + session.terms().singular(Entity::Client) + QLatin1Char(')');
        const QString phone = slashToEmpty(rows.value(r, 4)).trimmed();
        if (!phone.isEmpty())
            label += QStringLiteral(" - ") + phone;
        LinkChoice choice{number, label, false};
        // The client itself comes first whatever its name.
        if (number == 0)
            choices->prepend(choice);
        else
            choices->append(choice);
    }
    return Outcome::success();
}

Outcome MessageLinks::describe(Session &session, qint64 client, qint64 contact, QString *clientText, QString *contactText)
{
    clientText->clear();
    contactText->clear();
    if (client == 0)
        return Outcome::success();
    Database &db = *session.database();
    const QString n = QString::number(client);
    ResultSet rows;
    if (!db.query(QStringLiteral("select typesoc,libsoc,sexecont,nomcont,prenomcont from kp_societes where noidsoc = ") + n, rows))
        return readFailure(session);
    const QString gone = QStringLiteral("???");
    if (rows.isEmpty())
        *clientText = gone;
    else if (rows.toInt(0, 0) == 1)
        *clientText = personName(session, rows.toInt(0, 2), rows.value(0, 3), rows.value(0, 4));
    else
        *clientText = slashToEmpty(rows.value(0, 1)).trimmed();
    if (contact == 0)
        return Outcome::success();
    if (!db.query(QStringLiteral("select civilitecont,nomcont,prenomcont from kp_contactsoc where noidsoc = ") + n
                      + QStringLiteral(" and idcontact = ") + QString::number(contact),
                  rows))
        return readFailure(session);
    *contactText = rows.isEmpty() ? gone : personName(session, rows.toInt(0, 0), rows.value(0, 1), rows.value(0, 2));
    return Outcome::success();
}

Outcome MessageLinks::kind(Session &session, qint64 client, bool *found, bool *individual)
{
    Database &db = *session.database();
    ResultSet rows;
    if (!db.query(QStringLiteral("select typesoc from kp_societes where noidsoc = ") + QString::number(client), rows))
        return readFailure(session);
    *found = client != 0 && !rows.isEmpty();
    *individual = *found && rows.toInt(0, 0) == 1;
    return Outcome::success();
}

Outcome MessageLinks::anyUser(Database &db, bool *any)
{
    ResultSet rows;
    if (!db.query(QStringLiteral("select count(*) from kp_utilisateurs"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des utilisateurs"), db.lastError());
    *any = !rows.isEmpty() && rows.toLongLong(0, 0) > 0;
    return Outcome::success();
}
