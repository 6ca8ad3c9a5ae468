#include "access/Access.h"

#include "core/PasswordCodec.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <QDate>

#include <optional>

namespace {

const QString AdminCode = QStringLiteral("Admin");
const QString AdminPassword = QStringLiteral("Ombre");

QString encoded(const QString &clear)
{
    return sqlText(PasswordCodec::encode(clear));
}

// Whether the user belongs to group 0; nullopt when the database failed.
std::optional<bool> isAdministrator(Database &db, const QString &code)
{
    ResultSet rows;
    if (!db.query(QStringLiteral("select nogroupe from kp_utilgroupe where  codeutil = '") + encoded(code)
                      + QStringLiteral("' and nogroupe = 0"),
                  rows))
        return std::nullopt;
    return !rows.isEmpty();
}

} // namespace

Rights Access::lookup(Session &session, const QString &rightsCode)
{
    Rights rights;
    if (!session.description().geslogin)
        return {true, true, true};
    Database *db = session.database();
    if (!db)
        return rights;
    const std::optional<bool> admin = isAdministrator(*db, session.userCode());
    if (!admin)
        return rights;
    if (*admin)
        return {true, true, true};

    ResultSet rows;
    const QString sql = QStringLiteral("select max(a.creat),max(a.modif),max(a.supp) from kp_autgroupe a, kp_utilgroupe u "
                                       "where  a.nogroupe = u.nogroupe and  u.codeutil = '")
                        + encoded(session.userCode()) + QStringLiteral("' and  a.typechoix = '")
                        + sqlText(rightsCode, QStringLiteral("/")) + QLatin1Char('\'');
    if (!db->query(sql, rows) || rows.isEmpty())
        return rights;
    rights.create = !rows.isNull(0, 0) && rows.toInt(0, 0) != 0;
    rights.modify = !rows.isNull(0, 1) && rows.toInt(0, 1) != 0;
    rights.remove = !rows.isNull(0, 2) && rows.toInt(0, 2) != 0;
    return rights;
}

Outcome Access::logIn(Session &session, const QString &code, const QString &typedPassword)
{
    // Fail closed: nobody is logged in until the check has passed.
    session.setUser(QString(), QString());
    session.setCurrentResource(0);
    session.setAdministrator(false);
    Database *db = session.database();
    ResultSet rows;
    if (!db || !db->query(QStringLiteral("select motutil,noressource from kp_utilisateurs where  codeutil = '")
                              + encoded(code.trimmed()) + QLatin1Char('\''),
                          rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des utilisateurs"),
                                db ? db->lastError() : QString());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Ce code utilisateur n'existe pas !"));
    if (PasswordCodec::decode(rows.value(0, 0)).trimmed() != typedPassword.trimmed())
        return Outcome::failure(QStringLiteral("Incorrect"), QStringLiteral("Mot de passe incorrect"));

    const std::optional<bool> admin = isAdministrator(*db, code.trimmed());
    if (!admin)
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des utilisateurs"),
                                db->lastError());
    session.setUser(code.trimmed(), typedPassword);
    session.setCurrentResource(rows.toLongLong(0, 1));
    session.setAdministrator(*admin);
    return Outcome::success();
}

Outcome Access::ensureAdministrator(Session &session)
{
    Database *db = session.database();
    if (!db)
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des groupes"));
    ResultSet rows;
    if (!db->query(QStringLiteral("select codegroupe from kp_groupes where nogroupe = 0"), rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des groupes"),
                                db->lastError());
    if (rows.isEmpty()
        && !db->exec(QStringLiteral("insert into kp_groupes (codegroupe,nogroupe) values ('") + encoded(AdminCode)
                     + QStringLiteral("',0)")))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des groupes"),
                                db->lastError());

    const QString userError = QStringLiteral("Erreur lors de la lecture des codes utilisateurs");
    if (!db->query(QStringLiteral("select codeutil from kp_utilisateurs where codeutil = '") + encoded(AdminCode)
                       + QLatin1Char('\''),
                   rows))
        return Outcome::failure(QStringLiteral("Erreur"), userError, db->lastError());
    if (rows.isEmpty()) {
        const QString today = session.dialect().dateValue(QDate::currentDate());
        const QString insert =
            QStringLiteral("insert into kp_utilisateurs (codeutil,libutil,nogroupe,noressource,motutil,dtsaisie,"
                           "ordisaisie,dtmodif,ordimodif) values ('%1','%2',0,0,'%3',%4,'%5',%4,'/')")
                .arg(encoded(AdminCode), encoded(AdminCode), encoded(AdminPassword), today,
                     sqlText(session.workstation(), QStringLiteral("/")));
        if (!db->exec(insert))
            return Outcome::failure(QStringLiteral("Erreur"), userError, db->lastError());
    }

    const QString tableError = QStringLiteral("Erreur lors de la lecture des tables utilisateurs");
    const std::optional<bool> member = isAdministrator(*db, AdminCode);
    if (!member)
        return Outcome::failure(QStringLiteral("Erreur"), tableError, db->lastError());
    if (!*member
        && !db->exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('") + encoded(AdminCode)
                     + QStringLiteral("',0)")))
        return Outcome::failure(QStringLiteral("Erreur"), tableError, db->lastError());
    return Outcome::success();
}
