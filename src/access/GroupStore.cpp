#include "access/GroupStore.h"

#include "core/PasswordCodec.h"
#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/SqlText.h"
#include "core/Terms.h"

QList<RightsCode> GroupStore::rightsCodes(const Terms &terms)
{
    const QString management = QStringLiteral("Gestion des ");
    return {
        {QStringLiteral("RESSOURCES"), management + terms.plural(Entity::Ressource)},
        {QStringLiteral("SOCIETE"), management + terms.plural(Entity::Client)},
        {QStringLiteral("EQUIPE"), QStringLiteral("Gestion des équipes")},
        {QStringLiteral("ETAPES"), QStringLiteral("Gestion des étapes")},
        {QStringLiteral("DEFTACHES"), QStringLiteral("Définition des ") + terms.plural(Entity::Tache)},
        {QStringLiteral("CONGES"), QStringLiteral("Gestion des Congés")},
        {QStringLiteral("JFER"), QStringLiteral("Jours fériés")},
        {QStringLiteral("DEFCONG"), QStringLiteral("Définition des congés")},
        {QStringLiteral("TACHVOIS"), terms.plural(Entity::Tache) + QStringLiteral(" des autres")},
        {QStringLiteral("UTILGROUP"), QStringLiteral("Utilisateurs et Groupes")},
    };
}

Outcome GroupStore::load(Database &db, int number, GroupRecord *group)
{
    const QString error = QStringLiteral("Erreur lors de la lecture des groupes");
    ResultSet rows, rights;
    if (!db.query(QStringLiteral("select codegroupe,nogroupe from kp_groupes where nogroupe = %1").arg(number), rows)
        || !db.query(QStringLiteral("select nogroupe,typechoix,creat,modif,supp from kp_autgroupe  where nogroupe = %1")
                         .arg(number),
                     rights))
        return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Ce groupe a disparu !!!"));
    group->number = number;
    group->name = PasswordCodec::decode(rows.value(0, 0));
    group->rights.clear();
    for (int r = 0; r < rights.rowCount(); ++r)
        group->rights.insert(rights.value(r, 1),
                             {rights.toInt(r, 2) != 0, rights.toInt(r, 3) != 0, rights.toInt(r, 4) != 0});
    return Outcome::success();
}

Outcome GroupStore::save(Database &db, GroupRecord *group, const Terms &terms)
{
    if (group->name.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez donner un nom à ce groupe !"));
    const QString error = QStringLiteral("Erreur lors de la mise à jour");
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());

    int number = group->number;
    bool exists = false;
    if (number >= 0) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select nogroupe from kp_groupes where nogroupe = %1").arg(number), rows))
            return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
        exists = !rows.isEmpty();
    } else {
        qint64 next = 0;
        const Outcome allocated = NumberAllocator::next(
            db, {{QStringLiteral("kp_groupes"), QStringLiteral("nogroupe"), {}}}, NumberAllocator::SmallIntMax, &next);
        if (!allocated)
            return allocated;
        number = int(next);
    }
    const QString name = sqlText(PasswordCodec::encode(group->name.trimmed()));
    const QString write = exists ? QStringLiteral("update kp_groupes set codegroupe = '%1' where nogroupe = %2").arg(name).arg(number)
                                 : QStringLiteral("insert into kp_groupes (codegroupe,nogroupe) values ('%1',%2)").arg(name).arg(number);
    if (!db.exec(write) || !db.exec(QStringLiteral("delete from kp_autgroupe where nogroupe = %1").arg(number)))
        return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
    for (const RightsCode &code : rightsCodes(terms)) {
        const Rights r = group->rights.value(code.code);
        if (!db.exec(QStringLiteral("insert into kp_autgroupe (nogroupe,typechoix,creat,modif,supp) values (%1,'%2',%3,%4,%5)")
                         .arg(number)
                         .arg(code.code)
                         .arg(int(r.create))
                         .arg(int(r.modify))
                         .arg(int(r.remove))))
            return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
    }
    if (!transaction.commit())
        return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
    group->number = number;
    return Outcome::success();
}
