#include "resources/ResourceStore.h"

#include "core/Database.h"
#include "core/NumberAllocator.h"
#include "core/Session.h"
#include "core/SqlText.h"

#include <QDateTime>

namespace {

const QString Error = QStringLiteral("Erreur");

QString partitiveTerm(const Terms &terms)
{
    return terms.partitive(Entity::Ressource) + terms.singular(Entity::Ressource);
}

} // namespace

Outcome ResourceStore::load(Session &session, qint64 number, Resource *r)
{
    Database &db = *session.database();
    const Terms &terms = session.terms();
    const QString readError = QStringLiteral("Erreur lors de la lecture des ") + terms.plural(Entity::Ressource);
    ResultSet rows, services, skills;
    if (!db.query(QStringLiteral("select libelle,typeressource,civilite,nomressource,prenomressource,adrressource,"
                                 "compressource,cpressource,villeressource,paysressource,etatressource,telressource,"
                                 "mobressource,faxressource,mailressource,annivressource,coulfond,coultexte,noidprofil,"
                                 "nomico from kp_ressources where noid = %1")
                      .arg(number),
                  rows)
        || !db.query(QStringLiteral("select codeserv from kp_ressserv where noressource = %1").arg(number), services)
        || !db.query(QStringLiteral("select idcompetence from kp_resscompetences where noressource = %1").arg(number), skills))
        return Outcome::failure(Error, readError, db.lastError());
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("Disparition"), QStringLiteral("Ce") + terms.demonstrativeEnding(Entity::Ressource)
                                                                   + terms.singular(Entity::Ressource)
                                                                   + QStringLiteral(" n'existe plus !"));
    *r = Resource();
    r->number = number;
    r->code = slashToEmpty(rows.value(0, 0));
    r->type = rows.toInt(0, 1);
    r->civility = rows.toInt(0, 2);
    QString *texts[] = {&r->surname, &r->firstName, &r->address, &r->complement, &r->postcode, &r->town,
                        &r->country, &r->state,     &r->phone,   &r->mobile,     &r->fax,      &r->mail};
    for (int i = 0; i < 12; ++i)
        *texts[i] = slashToEmpty(rows.value(0, 3 + i));
    const QDate birthday = parseDbDateTime(rows.value(0, 15)).date();
    r->birthday = birthday.year() > 1900 ? birthday : QDate();
    r->background = rows.toInt(0, 16);
    r->text = rows.toInt(0, 17);
    r->profile = rows.toLongLong(0, 18);
    r->icon = rows.isNull(0, 19) ? QString() : slashToEmpty(rows.value(0, 19));
    for (int i = 0; i < services.rowCount(); ++i)
        r->services.append(services.value(i, 0));
    for (int i = 0; i < skills.rowCount(); ++i)
        r->skills.append(skills.toLongLong(i, 0));
    return Outcome::success();
}

Outcome ResourceStore::save(Session &session, Resource *r)
{
    const Terms &terms = session.terms();
    if (r->code.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Incomplet"),
                                QStringLiteral("Vous devez renseigner le libellé ") + partitiveTerm(terms));
    Database &db = *session.database();
    const Dialect &dialect = session.dialect();
    const QString writeError = QStringLiteral("Erreur lors de la mise à jour ") + partitiveTerm(terms);

    Transaction transaction(db);
    if (!transaction.isActive())
        return Outcome::failure(Error, writeError, db.lastError());
    qint64 number = r->number;
    if (number == 0) {
        const Outcome allocated = NumberAllocator::next(db, {{QStringLiteral("kp_ressources"), QStringLiteral("noid"), {}}},
                                                        NumberAllocator::SmallIntMax, &number);
        if (!allocated)
            return allocated;
    }
    ResultSet rows;
    if (!db.query(QStringLiteral("select noid from kp_ressources where noid = %1").arg(number), rows))
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + terms.plural(Entity::Ressource),
                                db.lastError());

    const QString now = dialect.dateTimeValue(QDateTime::currentDateTime());
    const QString workstation = slashLiteral(session.workstation());
    const QString birthday = r->birthday.isValid() ? dialect.dateValue(r->birthday) : dialect.unsetDateValue();
    const QStringList names = {QStringLiteral("libelle"),        QStringLiteral("typeressource"), QStringLiteral("civilite"),
                               QStringLiteral("nomressource"),   QStringLiteral("prenomressource"), QStringLiteral("adrressource"),
                               QStringLiteral("compressource"),  QStringLiteral("cpressource"),   QStringLiteral("villeressource"),
                               QStringLiteral("paysressource"),  QStringLiteral("etatressource"), QStringLiteral("telressource"),
                               QStringLiteral("mobressource"),   QStringLiteral("faxressource"),  QStringLiteral("mailressource"),
                               QStringLiteral("annivressource"), QStringLiteral("coulfond"),      QStringLiteral("coultexte"),
                               QStringLiteral("icone"),          QStringLiteral("noidprofil"),    QStringLiteral("nomico")};
    const QStringList values = {slashLiteral(r->code),       QString::number(r->type),       QString::number(r->civility),
                                slashLiteral(r->surname),    slashLiteral(r->firstName),             slashLiteral(r->address),
                                slashLiteral(r->complement), slashLiteral(r->postcode),              slashLiteral(r->town),
                                slashLiteral(r->country),    slashLiteral(r->state),                 slashLiteral(r->phone),
                                slashLiteral(r->mobile),     slashLiteral(r->fax),                   slashLiteral(r->mail),
                                birthday,            QString::number(r->background), QString::number(r->text),
                                QStringLiteral("'/'"), QString::number(r->profile),  slashLiteral(r->icon)};
    QString write;
    if (rows.isEmpty()) {
        write = QStringLiteral("insert into kp_ressources (noid,") + names.join(QLatin1Char(','))
                + QStringLiteral(",dtsaisie,ordisaisie,dtmodif,ordimodif) values (") + QString::number(number) + QLatin1Char(',')
                + values.join(QLatin1Char(',')) + QLatin1Char(',') + now + QLatin1Char(',') + workstation + QLatin1Char(',')
                + now + QLatin1Char(',') + workstation + QLatin1Char(')');
    } else {
        QStringList assignments;
        for (int i = 0; i < names.size(); ++i)
            assignments.append(names[i] + QStringLiteral(" = ") + values[i]);
        write = QStringLiteral("update kp_ressources set ") + assignments.join(QStringLiteral(", ")) + QStringLiteral(", dtmodif = ")
                + now + QStringLiteral(", ordimodif = ") + workstation + QStringLiteral(" where noid = ") + QString::number(number);
    }
    QStringList statements = {write, QStringLiteral("delete from kp_ressserv where noressource = %1").arg(number)};
    for (const QString &service : std::as_const(r->services))
        statements.append(QStringLiteral("insert into kp_ressserv (noressource,codeserv) values (%1,%2)").arg(number).arg(slashLiteral(service)));
    for (const QString &sql : statements)
        if (!db.exec(sql))
            return Outcome::failure(Error, writeError, db.lastError()).notice(Error, sql);
    if (!transaction.commit())
        return Outcome::failure(Error, writeError, db.lastError());
    r->number = number;

    // Skills come after the commit: the resource is saved even when they fail.
    QStringList skills = {QStringLiteral("delete from kp_resscompetences where noressource = %1").arg(number)};
    for (qint64 skill : std::as_const(r->skills))
        skills.append(QStringLiteral("insert into kp_resscompetences (noressource,idcompetence) values (%1,%2)").arg(number).arg(skill));
    for (const QString &sql : skills)
        if (!db.exec(sql))
            return Outcome::failure(Error, QStringLiteral("Erreur lors de la mise à jour des compétences"), db.lastError());
    return Outcome::success();
}

Outcome ResourceStore::remove(Session &session, qint64 number)
{
    Database &db = *session.database();
    const Terms &terms = session.terms();
    const QString deleteError = QStringLiteral("Erreur lors de la suppression ") + partitiveTerm(terms);
    QList<qint64> orphans;
    {
        Transaction transaction(db);
        ResultSet tasks;
        // The tasks of this resource, before their assignment goes.
        if (!transaction.isActive()
            || !db.query(QStringLiteral("select distinct noid from kp_taches_ressources where noidressource = %1").arg(number), tasks))
            return Outcome::failure(Error, deleteError, db.lastError());
        for (const QString &sql : {QStringLiteral("delete from kp_resscompetences where noressource = %1"),
                                   QStringLiteral("delete from kp_resscontrat where noressource = %1"),
                                   QStringLiteral("delete from kp_ressserv where noressource = %1"),
                                   QStringLiteral("delete from kp_ressources where noid = %1"),
                                   QStringLiteral("delete from kp_taches_ressources where noidressource = %1")})
            if (!db.exec(sql.arg(number)))
                return Outcome::failure(Error, deleteError, db.lastError());
        QList<qint64> candidates;
        for (int i = 0; i < tasks.rowCount(); ++i)
            candidates.append(tasks.toLongLong(i, 0));
        // Only the tasks this deletion left without any resource: tasks that
        // never had one (planned for a client alone) are not ours to delete.
        if (!candidates.isEmpty()) {
            ResultSet left;
            if (!db.query(QStringLiteral(" select d.noid from kp_taches_desc d where d.noid in (") + numberList(candidates)
                              + QStringLiteral(") and not exists  (select r.noid from kp_taches_ressources r where r.noid = d.noid)"),
                          left))
                return Outcome::failure(Error, deleteError, db.lastError());
            for (int i = 0; i < left.rowCount(); ++i)
                orphans.append(left.toLongLong(i, 0));
        }
        if (!transaction.commit())
            return Outcome::failure(Error, deleteError, db.lastError());
    }

    const QString done = terms.singular(Entity::Ressource) + QStringLiteral(" effacé")
                         + (terms.feminine(Entity::Ressource) ? QStringLiteral("e") : QString());
    if (!orphans.isEmpty()) {
        const QString list = numberList(orphans);
        QStringList statements;
        for (const char *table : {"kp_taches_clients", "kp_taches_ressources", "kp_taches_dates", "kp_taches_desc"})
            statements.append(QStringLiteral("delete from %1 where noid in (%2)").arg(QLatin1String(table), list));
        statements.append(QStringLiteral("delete from kp_taches_couts where noidtache in (%1)").arg(list));
        statements.append(QStringLiteral("delete from kp_periode where noid in (%1)").arg(list));
        statements.append(QStringLiteral("delete from kp_alertes where noid in (%1)").arg(list));
        for (const char *table : {"histo_taches_clients", "histo_taches_ressources", "histo_taches_dates", "histo_taches_desc"})
            statements.append(QStringLiteral("delete from %1 where noid in (%2)").arg(QLatin1String(table), list));
        statements.append(QStringLiteral("delete from histo_taches_couts where noidtache in (%1)").arg(list));
        statements.append(QStringLiteral("delete from histo_periode where noid in (%1)").arg(list));
        statements.append(QStringLiteral("delete from histo_alertes where noid in (%1)").arg(list));
        Transaction transaction(db);
        bool ok = transaction.isActive();
        for (int i = 0; ok && i < statements.size(); ++i)
            ok = db.exec(statements[i]);
        if (!ok || !transaction.commit())
            return Outcome::failure(Error, deleteError, db.lastError());
    }
    return Outcome::success().notice(QStringLiteral("Fini"), done);
}
