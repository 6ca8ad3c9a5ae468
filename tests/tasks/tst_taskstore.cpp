#include "core/Settings.h"
#include "core/SqlText.h"
#include "tasks/TaskLinks.h"
#include "tasks/TaskStore.h"
#include "support/TestDatabase.h"

#include <QTest>

// Saving, reading and deleting one task.
class TestTaskStore : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }
    Session &session() { return m_ws->session(); }

    void exec(const QString &sql) { QVERIFY2(db().exec(sql), qPrintable(db().lastError() + QLatin1Char(' ') + sql)); }

    static TaskRange range(const QDate &start, const QString &from, const QDate &end, const QString &to)
    {
        TaskRange r;
        r.startDate = start;
        r.startTime = from;
        r.endDate = end;
        r.endTime = to;
        return r;
    }

    // A new ordinary task on Monday 7 December 2026, 09:00 to 12:00.
    static Task newTask()
    {
        Task t;
        t.type = 3;
        t.urgency = QStringLiteral("U1");
        t.comment = QStringLiteral("Révision l'été");
        t.ranges = {range(QDate(2026, 12, 7), QStringLiteral("09:00"), QDate(2026, 12, 7), QStringLiteral("12:00"))};
        t.resources = {4, 6};
        t.clients = {12};
        return t;
    }

    qint64 saved(Task t)
    {
        const Outcome o = TaskStore::save(session(), &t);
        if (!o)
            qWarning("%s", qPrintable(o.text() + QLatin1Char(' ') + o.dbError()));
        return o ? t.number : -1;
    }

    // Every row of task n, table by table.
    QStringList dump(qint64 n)
    {
        return dumpRecord(db(), {{"kp_taches_desc", "noid"}, {"kp_taches_dates", "noid"}, {"kp_taches_ressources", "noid"},
                                 {"kp_taches_clients", "noid"}, {"kp_taches_couts", "noidtache"}},
                          n);
    }

    QStringList ranges(qint64 n)
    {
        return column(db(), QStringLiteral("select noiddate from kp_taches_dates where noid = %1 order by noiddate").arg(n));
    }
    QStringList historyKinds(qint64 n)
    {
        return column(db(), QStringLiteral("select typehisto from histo_taches_desc where noid = %1 order by nohisto").arg(n));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("taskstore"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        m_ws->settings().remove(QStringLiteral("Planning"));
        QVERIFY(m_ws->open());
        exec(QStringLiteral("insert into kp_taches (noidtache,libtache,coulfond,coultexte,typehor,duree,durde,dura) "
                            "values (3,'Révision',0,0,0,'01:00','09:00','10:00')"));
    }
    void cleanup() { m_ws.reset(); }

    void numbersNeverReuseTheHistory()
    {
        QCOMPARE(saved(newTask()), 1);
        QCOMPARE(saved(newTask()), 2);
        QVERIFY(TaskStore::remove(session(), 2));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc where noid = 2")), QStringLiteral("0"));
        // 2 lives on only in the undo history
        QCOMPARE(saved(newTask()), 3);
    }

    void historyKindsRecorded()
    {
        Task t = newTask();
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(historyKinds(t.number), QStringList{QStringLiteral("1")});
        t.comment = QStringLiteral("changé");
        QVERIFY(TaskStore::save(session(), &t));
        QVERIFY(TaskStore::remove(session(), t.number));
        QCOMPARE(historyKinds(t.number), (QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("-1")}));
        // the modification snapshot holds the state before it
        QCOMPARE(scalar(db(), QStringLiteral("select commentaire from histo_taches_desc where typehisto = 0")),
                 QStringLiteral("Révision l'été"));
    }

    // A change that cannot be written leaves neither an undo entry nor a new
    // stamp: undoing must never take back a change that never happened.
    void refusedChangeLeavesNoUndoEntry()
    {
        Task t = newTask();
        QVERIFY(TaskStore::save(session(), &t));
        const QStringList before = dump(t.number);
        const QString stamp = scalar(db(), QStringLiteral("select utilmaj from kp_refresh"));
        t.comment = QStringLiteral("changé");
        t.urgency = QStringLiteral("U1234567890"); // one more than the column holds
        const Outcome refused = TaskStore::save(session(), &t);
        QVERIFY(!refused);
        QCOMPARE(historyKinds(t.number), QStringList{QStringLiteral("1")});
        QCOMPARE(dump(t.number), before);
        QCOMPARE(scalar(db(), QStringLiteral("select utilmaj from kp_refresh")), stamp);
    }

    void loadGivesBackWhatWasSaved()
    {
        Task t = newTask();
        t.project = QStringLiteral("P1");
        t.done = true;
        t.doneDate = QDate(2026, 12, 8);
        t.doneComment = QStringLiteral("fait");
        TaskCostLine c;
        c.item = 2;
        c.kind = TaskCostLine::Expense;
        c.date = QDate(2026, 12, 7);
        c.label = QStringLiteral("Déplacement");
        c.resource = 4;
        c.quantity = 3;
        c.unitAmount = QStringLiteral("12,5");
        t.costs = {c};
        QVERIFY(TaskStore::save(session(), &t));
        Task back;
        QVERIFY(TaskStore::load(session(), t.number, &back));
        QCOMPARE(back.type, 3);
        QCOMPARE(back.urgency, QStringLiteral("U1"));
        QCOMPARE(back.project, QStringLiteral("P1"));
        QCOMPARE(back.comment, QStringLiteral("Révision l'été"));
        QVERIFY(back.done);
        QCOMPARE(back.doneDate, QDate(2026, 12, 8));
        QCOMPARE(back.doneComment, QStringLiteral("fait"));
        QCOMPARE(back.ranges.size(), 1);
        QCOMPARE(back.ranges[0].startTime, QStringLiteral("09:00"));
        QCOMPARE(back.ranges[0].endTime, QStringLiteral("12:00"));
        QCOMPARE(back.ranges[0].days, QStringLiteral("0.00"));
        QCOMPARE(back.ranges[0].hours, QStringLiteral("3.00"));
        QCOMPARE(back.resources, (QList<qint64>{4, 6}));
        QCOMPARE(back.clients, QList<qint64>{12});
        QCOMPARE(back.costs.size(), 1);
        QCOMPARE(back.costs[0].rank, 1);
        QCOMPARE(back.costs[0].total, QStringLiteral("37.50"));
        QCOMPARE(back.costs[0].label, QStringLiteral("Déplacement"));
        // unset dates are the neutral date, read back as none
        QCOMPARE(parseDbDateTime(scalar(db(), QStringLiteral("select dtdebper from kp_taches_desc"))).date(), QDate(1900, 1, 1));
        QVERIFY(!back.occurrenceStart.isValid());

        QVERIFY(TaskStore::remove(session(), t.number));
        const Outcome gone = TaskStore::load(session(), t.number, &back);
        QVERIFY(!gone);
        QCOMPARE(gone.title(), QStringLiteral("Disparition"));
    }

    void splitRangesAreNumberedInOrder()
    {
        Task t = newTask();
        t.split = true;
        t.ranges = {range(QDate(2026, 12, 7), QStringLiteral("09:00"), QDate(2026, 12, 11), QStringLiteral("18:00")),
                    range(QDate(2026, 12, 12), QStringLiteral("09:00"), QDate(2026, 12, 12), QStringLiteral("18:00")),
                    range(QDate(2026, 12, 14), QStringLiteral("09:00"), QDate(2026, 12, 14), QStringLiteral("14:00"))};
        t.ranges[2].days = QStringLiteral("2");
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(ranges(t.number), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
        const QStringList days = column(db(), QStringLiteral("select nbjours from kp_taches_dates order by noiddate"));
        QCOMPARE(days.size(), 3);
        QCOMPARE(days[0].toDouble(), 5.0); // Monday to Friday, whole days
        QCOMPARE(days[1].toDouble(), 0.0); // a Saturday
        QCOMPARE(days[2].toDouble(), 2.0); // given, not computed
        QCOMPARE(parseDbDateTime(scalar(db(), QStringLiteral("select datefin from kp_taches_dates where noiddate = 1"))),
                 QDateTime(QDate(2026, 12, 11), QTime(18, 0)));

        t.split = false;
        t.ranges = {range(QDate(2026, 12, 14), QStringLiteral("09:00"), QDate(2026, 12, 14), QStringLiteral("14:00"))};
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(ranges(t.number), QStringList{QStringLiteral("1")});
        QCOMPARE(scalar(db(), QStringLiteral("select nbjours from kp_taches_dates")).toDouble(), 0.5);
    }

    void modificationKeepsLocksAndAlert()
    {
        m_ws->settings().write(QStringLiteral("Planning"), QStringLiteral("BlocAuto"), QStringLiteral("1"));
        Task t = newTask();
        t.adminLock = true;
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(column(db(), QStringLiteral("select blocage from kp_taches_desc")), QStringList{QStringLiteral("1")});
        QCOMPARE(column(db(), QStringLiteral("select blocadm from kp_taches_desc")), QStringList{QStringLiteral("1")});
        exec(QStringLiteral("update kp_taches_desc set blocage = 1, noalerte = %1, blocadm = 1").arg(t.number));
        t.adminLock = false;
        t.userLock = false;
        t.alert = 0;
        t.comment = QStringLiteral("autre");
        t.type = 0;
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(column(db(), QStringLiteral("select blocage from kp_taches_desc")), QStringList{QStringLiteral("1")});
        QCOMPARE(column(db(), QStringLiteral("select noalerte from kp_taches_desc")), QStringList{QString::number(t.number)});
        QCOMPARE(column(db(), QStringLiteral("select blocadm from kp_taches_desc")), QStringList{QStringLiteral("1")});
        QCOMPARE(column(db(), QStringLiteral("select commentaire from kp_taches_desc")), QStringList{QStringLiteral("autre")});
        QCOMPARE(column(db(), QStringLiteral("select noidtache from kp_taches_desc")), QStringList{QStringLiteral("0")});
    }

    void failedStatementLeavesTheTaskAsItWas()
    {
        Task t = newTask();
        QVERIFY(TaskStore::save(session(), &t));
        const QStringList before = dump(t.number);
        exec(QStringLiteral("drop table kp_taches_clients"));
        t.comment = QStringLiteral("jamais écrit");
        t.split = true;
        t.ranges.append(range(QDate(2026, 12, 8), QStringLiteral("09:00"), QDate(2026, 12, 8), QStringLiteral("18:00")));
        t.resources = {9};
        // the snapshot cannot be taken: nothing is written
        Outcome o = TaskStore::save(session(), &t);
        QVERIFY(!o);
        QCOMPARE(historyKinds(t.number), QStringList{QStringLiteral("1")});
        // without undo history the save itself fails on its last table
        m_ws->settings().write(QStringLiteral("Planning"), QStringLiteral("NbHisto"), QStringLiteral("0"));
        o = TaskStore::save(session(), &t);
        QVERIFY(!o);
        QCOMPARE(o.text(), QStringLiteral("Erreur lors de la mise à jour de la Tâche (Client)"));
        QVERIFY(!o.dbError().isEmpty());
        QStringList after = dump(t.number);
        after.removeAll(QStringLiteral("kp_taches_clients: unreadable"));
        QStringList expected = before;
        expected.removeIf([](const QString &l) { return l.startsWith(QLatin1String("kp_taches_clients")); });
        QCOMPARE(after, expected);

        // a history save that fails stops a deletion before anything is deleted
        m_ws->settings().write(QStringLiteral("Planning"), QStringLiteral("NbHisto"), QStringLiteral("10"));
        QVERIFY(!TaskStore::remove(session(), t.number));
        QCOMPARE(dump(t.number).filter(QStringLiteral("kp_taches_dates")).size(), 1);

        // a creation that fails leaves no number behind
        Task fresh = newTask();
        QVERIFY(!TaskStore::save(session(), &fresh));
        QCOMPARE(fresh.number, 0);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc")), QStringLiteral("1"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_dates")), QStringLiteral("1"));
    }

    void deletingASeriesModelTakesItsRows()
    {
        Task model = newTask();
        model.periodic = true;
        QVERIFY(TaskStore::save(session(), &model));
        QCOMPARE(scalar(db(), QStringLiteral("select noidper from kp_taches_desc")), QString::number(model.number));
        Task other = newTask();
        QVERIFY(TaskStore::save(session(), &other));
        // an occurrence taken out of the series, with a cost line
        Task occurrence = newTask();
        occurrence.series = model.number;
        occurrence.origin = 0;
        occurrence.occurrenceStart = QDateTime(QDate(2026, 12, 14), QTime(9, 0));
        occurrence.occurrenceEnd = QDateTime(QDate(2026, 12, 14), QTime(12, 0));
        TaskCostLine c;
        c.item = 1;
        c.unitAmount = QStringLiteral("5");
        occurrence.costs = {c};
        QVERIFY(TaskStore::save(session(), &occurrence));
        occurrence.comment = QStringLiteral("déplacée");
        QVERIFY(TaskStore::save(session(), &occurrence));
        QCOMPARE(scalar(db(), QStringLiteral("select noidper from kp_taches_desc where noid = %1").arg(occurrence.number)),
                 QString::number(model.number));
        QCOMPARE(parseDbDateTime(
                     scalar(db(), QStringLiteral("select dtdebper from kp_taches_desc where noid = %1").arg(occurrence.number))),
                 occurrence.occurrenceStart);
        exec(QStringLiteral("insert into kp_periode (noid,hordeb,horfin,jourfin,periodicite,typequot,jourquot,jourhebdo,jour,"
                            "typemois,jourmois,jourfinmois,mois,jourmoisan,moisan,datedeb,datefin) values (")
             + QString::number(model.number) + QStringLiteral(",'09:00','12:00',0,1,0,1,1,'1000000',0,1,0,'111111111111',1,0,")
             + session().dialect().dateValue(QDate(2026, 12, 7)) + QLatin1Char(',') + session().dialect().unsetDateValue()
             + QLatin1Char(')'));
        exec(QStringLiteral("insert into kp_alertes (noid,ecart,typealerte,noidtype,noidsecond,commentaire,codeutil,"
                            "codeutilcreat,datecreat) values (%1,30,'TACHE',%1,0,'/','065','065',")
                 .arg(model.number)
             + session().dialect().unsetDateValue() + QLatin1Char(')'));

        QVERIFY(TaskStore::remove(session(), model.number));
        QVERIFY(dump(model.number).isEmpty());
        QVERIFY(dump(occurrence.number).isEmpty());
        QCOMPARE(dump(other.number).size(), 5); // header, range, two resources, client
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_periode")), QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_alertes")), QStringLiteral("0"));
    }

    void clearingThePeriodicityFreesTheSeries()
    {
        Task model = newTask();
        model.periodic = true;
        QVERIFY(TaskStore::save(session(), &model));
        Task occurrence = newTask();
        occurrence.series = model.number;
        occurrence.occurrenceStart = QDateTime(QDate(2026, 12, 14), QTime(9, 0));
        QVERIFY(TaskStore::save(session(), &occurrence));
        exec(QStringLiteral("insert into kp_periode (noid,hordeb,horfin,jourfin,periodicite,typequot,jourquot,jourhebdo,jour,"
                            "typemois,jourmois,jourfinmois,mois,jourmoisan,moisan,datedeb,datefin) values (")
             + QString::number(model.number) + QStringLiteral(",'09:00','12:00',0,1,0,1,1,'1000000',0,1,0,'111111111111',1,0,")
             + session().dialect().dateValue(QDate(2026, 12, 7)) + QLatin1Char(',') + session().dialect().unsetDateValue()
             + QLatin1Char(')'));
        model.periodic = false;
        QVERIFY(TaskStore::save(session(), &model));
        QCOMPARE(model.series, 0);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_periode")), QStringLiteral("0"));
        QCOMPARE(column(db(), QStringLiteral("select noidper from kp_taches_desc")),
                 (QStringList{QStringLiteral("0"), QStringLiteral("0")}));
    }

    void costLinesAreSavedOneAtATime()
    {
        Task t = newTask();
        QVERIFY(TaskStore::save(session(), &t));
        TaskCostLine first;
        first.item = 2;
        first.kind = TaskCostLine::Income;
        first.resource = 4; // an income line names no resource
        first.date = QDate(2026, 12, 7);
        first.quantity = 0; // read as one
        first.unitAmount = QStringLiteral("12,5");
        QVERIFY(TaskStore::saveCostLine(session(), t.number, &first));
        TaskCostLine second = first;
        second.rank = 0;
        second.total.clear();
        second.kind = TaskCostLine::Expense;
        second.resource = 4;
        second.quantity = 2;
        QVERIFY(TaskStore::saveCostLine(session(), t.number, &second));
        QCOMPARE(first.rank, 1);
        QCOMPARE(second.rank, 2);
        QCOMPARE(column(db(), QStringLiteral("select rgcout from kp_taches_couts order by rgcout")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(sqlNumber(scalar(db(), QStringLiteral("select mttotcout from kp_taches_couts where rgcout = 2")), 2),
                 QStringLiteral("25.00"));
        QCOMPARE(scalar(db(), QStringLiteral("select noidressource from kp_taches_couts where rgcout = 1")), QStringLiteral("0"));

        // a modification rewrites the line in place; a save of the task leaves the lines alone
        second.total = QStringLiteral("30");
        QVERIFY(TaskStore::saveCostLine(session(), t.number, &second));
        t.costs.clear();
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_couts")), QStringLiteral("2"));
        QCOMPARE(sqlNumber(scalar(db(), QStringLiteral("select mttotcout from kp_taches_couts where rgcout = 2")), 2),
                 QStringLiteral("30.00"));

        // another workstation removed the line meanwhile
        QVERIFY(TaskStore::removeCostLine(session(), t.number, 1));
        TaskCostLine gone;
        const Outcome o = TaskStore::loadCostLine(session(), t.number, 1, TaskCostLine::Income, &gone);
        QVERIFY(!o);
        QCOMPARE(o.text(), QStringLiteral("Cette recette n'est plus définie !"));
        QVERIFY(TaskStore::loadCostLine(session(), t.number, 2, TaskCostLine::Expense, &gone));
        QCOMPARE(gone.quantity, 2);
    }

    void periodicTaskTakesItsDatesFromTheRule()
    {
        Task t = newTask();
        t.periodic = true;
        PeriodRule rule;
        rule.hordeb = QStringLiteral("08:00");
        rule.horfin = QStringLiteral("10:30");
        rule.jourfin = 1;
        rule.periodicite = PeriodRule::Weekly;
        rule.jour = QStringLiteral("0010000");
        rule.datedeb = QDate(2027, 1, 6);
        t.rule = rule;
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(t.series, t.number);
        PeriodRule back;
        bool found = false;
        QVERIFY(Periodicity::readRule(db(), t.number, &back, &found));
        QVERIFY(found);
        QCOMPARE(back.jour, QStringLiteral("0010000"));
        Task read;
        QVERIFY(TaskStore::load(session(), t.number, &read));
        QVERIFY(read.periodic);
        QCOMPARE(read.ranges.size(), 1);
        QCOMPARE(read.ranges[0], (TaskRange{QDate(2027, 1, 6), QStringLiteral("08:00"), QDate(2027, 1, 7),
                                            QStringLiteral("10:30"), read.ranges[0].days, read.ranges[0].hours}));
    }

    void alertIsWrittenAfterTheTask()
    {
        exec(QStringLiteral("insert into kp_groupes (nogroupe,codegroupe) values (5,'Equipe')"));
        exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('BOB',5)"));
        Task t = newTask();
        t.alertRequest = AlertRequest{0, QStringLiteral("Prévenir"), {}, {5}};
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(t.alert, t.number);
        QCOMPARE(scalar(db(), QStringLiteral("select noalerte from kp_taches_desc")), QString::number(t.number));
        QCOMPARE(scalar(db(), QStringLiteral("select ecart from kp_alertes")), QStringLiteral("0"));
        t.alertRequest = AlertRequest{};
        QVERIFY(TaskStore::save(session(), &t));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_alertes")), QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select noalerte from kp_taches_desc")), QStringLiteral("0"));
    }

    void adminLockAppliesOnlyToLockedUsers_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("blocauto");
        QTest::addColumn<bool>("geslogin");
        QTest::addColumn<bool>("admin");
        QTest::addColumn<bool>("applies");
        QTest::newRow("locked, plain user") << true << true << true << false << true;
        QTest::newRow("not locked") << false << true << true << false << false;
        QTest::newRow("administrator") << true << true << true << true << false;
        QTest::newRow("no automatic lock") << true << false << true << false << false;
        QTest::newRow("no login management") << true << true << false << false << false;
    }
    void adminLockAppliesOnlyToLockedUsers()
    {
        QFETCH(bool, locked);
        QFETCH(bool, blocauto);
        QFETCH(bool, geslogin);
        QFETCH(bool, admin);
        QFETCH(bool, applies);
        session().description().blocauto = blocauto;
        session().description().geslogin = geslogin;
        session().setAdministrator(admin);
        Task t;
        t.adminLock = locked;
        QCOMPARE(TaskStore::adminLockApplies(session(), t), applies);
    }

    void teamsAndMail()
    {
        QVERIFY(insertResource(db(), 4, QStringLiteral("Zoé"), QStringLiteral("zoe@example.org")));
        QVERIFY(insertResource(db(), 6, QStringLiteral("Albert")));
        exec(QStringLiteral("insert into kp_equipes (noequipe,libequipe) values (1,'Nord')"));
        exec(QStringLiteral("insert into kp_equipes (noequipe,libequipe) values (2,'Vide')"));
        exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,4)"));
        exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,6)"));
        exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,99)")); // deleted since
        QList<LinkedItem> members;
        QVERIFY(TaskLinks::teamMembers(session(), 1, &members));
        QCOMPARE(members.size(), 2);
        const Outcome empty = TaskLinks::teamMembers(session(), 2, &members);
        QCOMPARE(empty.title(), QStringLiteral("Désolé"));
        QCOMPARE(empty.text(), QStringLiteral("Aucune Ressource pour cette équipe"));

        QStringList addresses;
        QVERIFY(TaskLinks::mailRecipients(db(), {4, 6}, &addresses));
        QCOMPARE(addresses, QStringList{QStringLiteral("zoe@example.org")});
        Task t = newTask();
        t.comment = QStringLiteral("Apporter l'échelle");
        QCOMPARE(TaskLinks::mailBody(session(), t, {QStringLiteral("Dupont")}), QString());
        for (const char *key : {"EnvoiDate", "EnvoiCli", "EnvoiComment"})
            session().settings().write(QStringLiteral("Mail"), QString::fromLatin1(key), QStringLiteral("1"));
        QCOMPARE(TaskLinks::mailBody(session(), t, {QStringLiteral("Dupont"), QStringLiteral("Martin")}),
                 QStringLiteral(" du : 07/12/2026 (09:00) Au : 07/12/2026 (12:00)\r\nClient : Dupont, Martin\r\n"
                                "Commentaire : Apporter l'échelle"));
        session().settings().remove(QStringLiteral("Mail"));
    }

    void validation_data()
    {
        QTest::addColumn<bool>("withType");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QDate>("startDate");
        QTest::addColumn<QString>("startTime");
        QTest::addColumn<QDate>("endDate");
        QTest::addColumn<QString>("endTime");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QDate mon(2026, 12, 7), tue(2026, 12, 8);
        QTest::newRow("no task type") << false << false << mon << "09:00" << mon << "12:00" << "Incomplet"
                                      << "Vous devez d'abord créer des types de Tâche";
        QTest::newRow("alert to nobody comes before the split check")
            << true << true << QDate() << "" << QDate() << "" << "Erreur" << "Vous n'allez envoyer le message à personne !!!";
        QTest::newRow("split without ranges") << true << true << QDate() << "" << QDate() << "" << "Incomplet"
                                              << "Vous n'avez défini aucun fractionnement !";
        QTest::newRow("no end date") << true << false << mon << "09:00" << QDate() << "12:00" << "Incomplet"
                                     << "Vous devez renseigner les dates de début et de fin !!";
        QTest::newRow("start after end") << true << false << tue << "09:00" << mon << "12:00" << "Incohérence"
                                         << "La date de début est supérieure à la date de fin !!";
        QTest::newRow("hours reversed same day") << true << false << mon << "14:00" << mon << "09:30" << "Incohérence"
                                                 << "L'heure de de début est supérieure à l'heure de fin !!";
        QTest::newRow("hours reversed over two days") << true << false << mon << "14:00" << tue << "09:30" << ""
                                                      << "";
    }
    void validation()
    {
        QFETCH(bool, withType);
        QFETCH(bool, split);
        QFETCH(QDate, startDate);
        QFETCH(QString, startTime);
        QFETCH(QDate, endDate);
        QFETCH(QString, endTime);
        QFETCH(QString, title);
        QFETCH(QString, text);
        if (!withType)
            exec(QStringLiteral("delete from kp_taches"));
        Task t = newTask();
        t.split = split;
        if (QByteArray(QTest::currentDataTag()).startsWith("alert"))
            t.alertRequest = AlertRequest{15, {}, {}, {}};
        t.ranges = split ? QList<TaskRange>() : QList<TaskRange>{range(startDate, startTime, endDate, endTime)};
        const Outcome o = TaskStore::save(session(), &t);
        QCOMPARE(o.ok(), title.isEmpty());
        QCOMPARE(o.title(), title);
        QCOMPARE(o.text(), text);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc")), title.isEmpty() ? QStringLiteral("1")
                                                                                                      : QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestTaskStore)
#include "tst_taskstore.moc"
