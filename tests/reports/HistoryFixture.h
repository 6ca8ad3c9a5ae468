#pragma once

// A small month of work for the history reports (March 2027):
//
//   Alain (1) and Béa (2); Dupont (company 1, phones) and Martin Jean (individual 2);
//   task types Pose (1) and Révision (2); leave CP; project P1.
//   1  Pose, Alain and Béa, Dupont, 03/03 09-12, comment with quote, "%" and "_", costs
//   2  Révision, Alain, Martin, 27/02 09:00 to 02/03 18:00 (starts before March), a cost in February
//   3  Pose, weekly series on Wednesdays 14-15 from 06/01/2027 (stored line in January), Alain, Dupont;
//      the 10/03 occurrence taken out to 11/03 10-11, the 17/03 one cancelled
//   4  leave CP, Alain, 15/03
//   7  Révision, Béa, Martin, 19/03, done flag NULL, a cost
//   8  Révision, Béa, 20/03, done on 21/03, project P1
//   9  Révision, Béa, 21/03, not done
//   10 Pose, Béa, three date lines 22, 23, 24/03 of 2.5 hours each

#include "../planning/PlanningFixture.h"
#include "tasks/Periodicity.h"

inline const QDate March(2027, 3, 1);

inline bool writeHistoryMonth(Session &session)
{
    PlanningData data(session);
    Database &db = *session.database();
    const Dialect &dialect = session.dialect();
    const auto line = [&](qint64 noid, int n, const QDate &day, int from, int to, const QString &hours = QStringLiteral("0")) {
        return insertRow(db, dialect, QStringLiteral("kp_taches_dates"),
                         {{"noid", QString::number(noid)}, {"noiddate", QString::number(n)},
                          {"datedeb", dialect.dateTimeValue(QDateTime(day, QTime(from, 0)))},
                          {"datefin", dialect.dateTimeValue(QDateTime(day, QTime(to, 0)))}, {"nbjours", "1"}, {"nbheures", hours}});
    };
    const auto cost = [&](qint64 task, int rank, int item, const QDate &day, qint64 resource, int units, const QString &unit,
                          const QString &total) {
        return insertRow(db, dialect, QStringLiteral("kp_taches_couts"),
                         {{"noidtache", QString::number(task)}, {"rgcout", QString::number(rank)}, {"noidcout", QString::number(item)},
                          {"datecout", dialect.dateValue(day)}, {"noidressource", QString::number(resource)},
                          {"nbunitcout", QString::number(units)}, {"mtunitcout", unit}, {"mttotcout", total}});
    };
    bool ok = data.resource(1, QStringLiteral("Alain")) && data.resource(2, QStringLiteral("Béa"))
              && data.client(1, QStringLiteral("Dupont"), 0, {{"telsoc", "'0102'"}, {"mobsoc", "'0607'"}, {"villesoc", "'Lyon'"}})
              && data.client(2, QStringLiteral("Martin"), 1, {{"prenomcont", "'Jean'"}})
              && data.taskType(1, QStringLiteral("Pose"), 0xFF) && data.taskType(2, QStringLiteral("Révision"), 0xFF00)
              && db.exec(QStringLiteral("insert into kp_conges (code,libelle,dtdebut,dtfin,nombre,coulfond,coultexte) values "
                                        "('CP','Congés payés',")
                         + dialect.unsetDateValue() + QLatin1Char(',') + dialect.unsetDateValue() + QStringLiteral(",0,255,0)"))
              && db.exec(QStringLiteral("insert into kp_projets (code,libelle) values ('P1','Chantier nord')"))
              && db.exec(QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values (1,'Déplacement',1,0)"))
              && db.exec(QStringLiteral("insert into kp_couts (noid,libcout,typecout,mtunit) values (2,'Vente',0,0)"));
    ok = ok && data.task(1, 1, {{"commentaire", data.text(QStringLiteral("Accès 50%_ par l'entrée"))}})
         && line(1, 1, QDate(2027, 3, 3), 9, 12) && data.link(1, 1) && data.link(1, 2) && data.linkClient(1, 1)
         && cost(1, 1, 1, QDate(2027, 3, 3), 1, 1, "10.1", "10.1") && cost(1, 2, 2, QDate(2027, 3, 4), 2, 2, "50.05", "100.1");
    ok = ok && data.task(2, 2, {{"commentaire", data.text(QStringLiteral("50 x"))}})
         && data.line(2, 1, QDateTime(QDate(2027, 2, 27), QTime(9, 0)), QDateTime(QDate(2027, 3, 2), QTime(18, 0)))
         && data.link(2, 1) && data.linkClient(2, 2) && cost(2, 1, 1, QDate(2027, 2, 27), 1, 1, "5", "5");
    ok = ok && data.task(3, 1, {{"noidper", "3"}, {"origine", "1"}}) && data.link(3, 1) && data.linkClient(3, 1)
         && line(3, 1, QDate(2027, 1, 6), 14, 15);
    PeriodRule rule;
    rule.noid = 3;
    rule.periodicite = PeriodRule::Weekly;
    rule.jour = QStringLiteral("0010000");
    rule.hordeb = QStringLiteral("14:00");
    rule.horfin = QStringLiteral("15:00");
    rule.datedeb = QDate(2027, 1, 6);
    ok = ok && Periodicity::saveRule(db, dialect, rule);
    ok = ok && data.simple(4, 1, 1, QDate(2027, 3, 15), 8, 18, 0, {{"codeconge", "'CP'"}});
    ok = ok && data.simple(7, 2, 2, QDate(2027, 3, 19), 9, 10, 2, {{"effect", "null"}})
         && cost(7, 1, 1, QDate(2027, 3, 19), 2, 1, "0.2", "0.2");
    ok = ok && data.simple(8, 2, 2, QDate(2027, 3, 20), 9, 10, 0,
                           {{"effect", "1"}, {"codeprojet", "'P1'"}, {"dteffect", dialect.dateValue(QDate(2027, 3, 21))},
                            {"commenteffect", "'RAS'"}});
    ok = ok && data.simple(9, 2, 2, QDate(2027, 3, 21), 9, 10);
    ok = ok && data.task(10, 1) && data.link(10, 2) && line(10, 1, QDate(2027, 3, 22), 8, 12, "2.5")
         && line(10, 2, QDate(2027, 3, 23), 8, 12, "2.5") && line(10, 3, QDate(2027, 3, 24), 8, 12, "2.5");
    if (!ok)
        return false;
    // One occurrence moved out of the series, one cancelled.
    const QList<Occurrence> occurrences = Periodicity::ExpandRule(rule, QDate(2027, 3, 10), QDate(2027, 3, 17));
    return occurrences.size() == 2
           && Periodicity::takeOutOccurrence(db, dialect, 3, occurrences.at(0), QDateTime(QDate(2027, 3, 11), QTime(10, 0)),
                                             QDateTime(QDate(2027, 3, 11), QTime(11, 0)))
           && Periodicity::cancelOccurrence(db, dialect, 3, occurrences.at(1));
}
