#include "access/UserStore.h"

#include "core/PasswordCodec.h"
#include "core/Schema.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <QDate>
#include <QHash>

#include <tuple>

namespace {

const QString Error = QStringLiteral("Erreur");

QString encoded(const QString &clear)
{
    return sqlText(PasswordCodec::encode(clear.trimmed()));
}

// The scrambled text takes three digits per character of its column.
QString scrambledRefusal(const QString &clear, const char *column, const QString &what)
{
    const ColumnSpec *definition = schemaTable(QStringLiteral("kp_utilisateurs"))->column(QLatin1String(column));
    return PasswordCodec::refusal(clear.trimmed(), definition->length, what);
}

Outcome readFailure(Database &db)
{
    return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des utilisateurs"), db.lastError());
}

} // namespace

Outcome UserStore::list(Database &db, QList<UserRow> *users)
{
    users->clear();
    ResultSet rows, memberships, resources;
    // Three queries for the whole list rather than two per user.
    if (!db.query(QStringLiteral("select codeutil,libutil,-1,noressource from kp_utilisateurs"), rows)
        || !db.query(QStringLiteral("select u.codeutil,g.codegroupe from kp_utilgroupe u,kp_groupes g "
                                    "where u.nogroupe = g.nogroupe order by u.nogroupe"),
                     memberships)
        || !db.query(QStringLiteral("select noid,libelle from kp_ressources"), resources))
        return readFailure(db);

    QHash<QString, QStringList> groupsOf;
    for (int r = 0; r < memberships.rowCount(); ++r)
        groupsOf[memberships.value(r, 0)].append(PasswordCodec::decode(memberships.value(r, 1)));
    QHash<qint64, QString> resourceLabels;
    for (int r = 0; r < resources.rowCount(); ++r)
        resourceLabels.insert(resources.toLongLong(r, 0), resources.value(r, 1));

    for (int r = 0; r < rows.rowCount(); ++r) {
        UserRow user;
        user.code = PasswordCodec::decode(rows.value(r, 0));
        user.label = PasswordCodec::decode(rows.value(r, 1));
        user.groups = groupsOf.value(rows.value(r, 0));
        user.resource = rows.toLongLong(r, 3);
        user.resourceLabel = resourceLabels.value(user.resource);
        users->append(user);
    }
    std::sort(users->begin(), users->end(),
              [](const UserRow &a, const UserRow &b) { return a.code.localeAwareCompare(b.code) < 0; });
    return Outcome::success();
}

Outcome UserStore::load(Database &db, const QString &code, UserRecord *user)
{
    ResultSet rows, memberships;
    if (!db.query(QStringLiteral("select codeutil,libutil,motutil,noressource from kp_utilisateurs where  codeutil = '")
                      + encoded(code) + QLatin1Char('\''),
                  rows)
        || !db.query(QStringLiteral("select nogroupe from kp_utilgroupe where  codeutil = '") + encoded(code)
                         + QStringLiteral("' order by nogroupe"),
                     memberships))
        return readFailure(db);
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Cet utilisateur n'existe plus !"));
    user->code = PasswordCodec::decode(rows.value(0, 0));
    user->label = PasswordCodec::decode(rows.value(0, 1));
    user->password = PasswordCodec::decode(rows.value(0, 2));
    user->resource = rows.toLongLong(0, 3);
    user->groups.clear();
    for (int r = 0; r < memberships.rowCount(); ++r)
        user->groups.append(memberships.toInt(r, 0));
    return Outcome::success();
}

Outcome UserStore::save(Session &session, const UserRecord &user, const QString &confirmation)
{
    if (user.code.trimmed().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le code utilisateur est obligatoire"));
    if (user.label.trimmed().isEmpty())
        return Outcome::failure(Error, QStringLiteral("Le libellé utilisateur est obligatoire"));
    if (user.password != confirmation)
        return Outcome::failure(Error, QStringLiteral("Le mot de passe est mal confirmé"));
    for (const auto &[text, column, what] : {std::tuple{user.code, "codeutil", QStringLiteral("Le code utilisateur")},
                                             std::tuple{user.label, "libutil", QStringLiteral("Le libellé utilisateur")},
                                             std::tuple{user.password, "motutil", QStringLiteral("Le mot de passe")}}) {
        const QString refused = scrambledRefusal(text, column, what);
        if (!refused.isEmpty())
            return Outcome::failure(QStringLiteral("Attention"), refused);
    }
    if (user.code.trimmed() == QLatin1String("Admin") && !user.groups.contains(0))
        return Outcome::failure(QStringLiteral("Impossible"),
                                QStringLiteral("Vous ne pouvez pas supprimer ce groupe de l'administrateur"));

    Database *db = session.database();
    const QString saveError = QStringLiteral("Erreur lors de la mise à jour de l'utilisateur");
    if (!db)
        return Outcome::failure(Error, saveError);
    Transaction transaction(*db);
    ResultSet rows;
    if (!transaction.isActive()
        || !db->query(QStringLiteral("select codeutil from kp_utilisateurs where  codeutil = '") + encoded(user.code)
                          + QLatin1Char('\''),
                      rows))
        return Outcome::failure(Error, saveError, db->lastError());

    const QString today = session.dialect().dateValue(QDate::currentDate());
    const QString workstation = sqlText(session.workstation(), QStringLiteral("/"));
    const QString write =
        rows.isEmpty()
            ? QStringLiteral("insert into kp_utilisateurs (codeutil,libutil,nogroupe,noressource,motutil,dtsaisie,"
                             "ordisaisie,dtmodif,ordimodif) values ('%1','%2',0,%3,'%4',%5,'%6',%5,'/')")
                  .arg(encoded(user.code), encoded(user.label), QString::number(user.resource), encoded(user.password),
                       today, workstation)
            : QStringLiteral("update kp_utilisateurs set  libutil = '%2', motutil = '%4', noressource = %3, "
                             "dtmodif = %5, ordimodif = '%6' where codeutil = '%1'")
                  .arg(encoded(user.code), encoded(user.label), QString::number(user.resource), encoded(user.password),
                       today, workstation);
    if (!db->exec(write)
        || !db->exec(QStringLiteral("delete from kp_utilgroupe where codeutil = '") + encoded(user.code)
                     + QLatin1Char('\'')))
        return Outcome::failure(Error, saveError, db->lastError());
    for (int group : user.groups)
        if (!db->exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('%1',%2)")
                          .arg(encoded(user.code))
                          .arg(group)))
            return Outcome::failure(Error, saveError, db->lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, saveError, db->lastError());
    return Outcome::success();
}

Outcome UserStore::remove(Database &db, const QString &code)
{
    const QString error = QStringLiteral("Erreur lors de la suppression de l'utilisateur");
    const QString who = encoded(code);
    Transaction transaction(db);
    const QStringList statements = {
        QStringLiteral("delete from kp_utilgroupe where codeutil = '%1'"),
        QStringLiteral("delete from kp_alertes where codeutil = '%1'"),
        QStringLiteral("delete from kp_alertes where codeutilcreat = '%1'"),
        QStringLiteral("delete from histo_alertes where codeutil = '%1'"),
        QStringLiteral("delete from histo_alertes where codeutilcreat = '%1'"),
        QStringLiteral("delete from kp_utilisateurs where codeutil = '%1'"),
    };
    if (!transaction.isActive())
        return Outcome::failure(Error, error, db.lastError());
    for (const QString &sql : statements)
        if (!db.exec(sql.arg(who)))
            return Outcome::failure(Error, error, db.lastError());
    if (!transaction.commit())
        return Outcome::failure(Error, error, db.lastError());
    return Outcome::success().notice(QStringLiteral("Suppression réussie"), QStringLiteral("Utilisateur supprimé"));
}

Outcome UserStore::groups(Database &db, QList<GroupRow> *groups)
{
    groups->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select nogroupe,codegroupe from kp_groupes order by nogroupe"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des groupes"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        groups->append({rows.toInt(r, 0), PasswordCodec::decode(rows.value(r, 1))});
    return Outcome::success();
}

Outcome UserStore::resources(Database &db, QList<ResourceChoice> *resources)
{
    resources->clear();
    ResultSet rows;
    if (!db.query(QStringLiteral("select libelle,noid from kp_ressources order by libelle"), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ressources"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        resources->append({rows.toLongLong(r, 1), rows.value(r, 0)});
    return Outcome::success();
}

Outcome UserStore::setManagement(Session &session, bool enabled)
{
    Database *db = session.database();
    DatabaseDescription &d = session.description();
    const QString error = QStringLiteral("Erreur lors de la mise à jour de la description de la base");
    ResultSet rows;
    if (!db || !db->query(QStringLiteral("select description from kp_description"), rows))
        return Outcome::failure(Error, error, db ? db->lastError() : QString());
    const QString sql = rows.isEmpty()
                            ? QStringLiteral("insert into kp_description (description,geslogin,afflogin,blocauto) "
                                             "values ('%1',%2,%3,%4)")
                                  .arg(sqlText(d.text, QStringLiteral("/")))
                                  .arg(int(enabled))
                                  .arg(int(d.afflogin))
                                  .arg(int(d.blocauto))
                            : QStringLiteral("update kp_description set geslogin = %1, afflogin = %2, blocauto = %3")
                                  .arg(int(enabled))
                                  .arg(int(d.afflogin))
                                  .arg(int(d.blocauto));
    if (!db->exec(sql))
        return Outcome::failure(Error, error, db->lastError());
    d.geslogin = enabled;
    return Outcome::success();
}
