#include "resources/SkillStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/SqlText.h"

Outcome SkillStore::skills(Database &db, QList<Skill> *skills)
{
    skills->clear();
    ResultSet rows;
    // One query with the domain labels rather than one lookup per skill.
    if (!db.query(QStringLiteral("select c.noid,c.codedomaine,d.libelle,c.libelle from kp_competences c left join kp_domaines d "
                                 "on d.code = c.codedomaine order by c.codedomaine,c.libelle"),
                  rows))
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Erreur lors de la lecture des compétences"), db.lastError());
    for (int r = 0; r < rows.rowCount(); ++r)
        skills->append({rows.toLongLong(r, 0), rows.value(r, 1), rows.value(r, 2), rows.value(r, 3)});
    return Outcome::success();
}

Outcome SkillStore::save(Database &db, Skill *skill)
{
    if (skill->domain.trimmed().isEmpty() || skill->label.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Vous devez renseigner le domaine et le libellé"));
    const QString error = QStringLiteral("Erreur lors de la mise à jour des compétences");
    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
    qint64 number = skill->number;
    if (number > 0) {
        ResultSet rows;
        if (!db.query(QStringLiteral("select noid from kp_competences where noid = %1").arg(number), rows))
            return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
        if (rows.isEmpty())
            return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Cette compétence n'existe plus !!!"));
    } else {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_competences"), QStringLiteral("noid"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated;
    }
    const QString domain = sqlText(skill->domain);
    const QString label = sqlText(skill->label);
    const QString sql = skill->number > 0
                            ? QStringLiteral("update kp_competences set codedomaine = '%2', libelle = '%3' where noid = %1")
                                  .arg(number)
                                  .arg(domain, label)
                            : QStringLiteral("insert into kp_competences (noid,codedomaine,libelle) values (%1,'%2','%3')")
                                  .arg(number)
                                  .arg(domain, label);
    if (!db.exec(sql) || !transaction.commit())
        return Outcome::failure(QStringLiteral("Erreur"), error, db.lastError());
    skill->number = number;
    return Outcome::success();
}
