#include "core/Settings.h"
#include "core/SqlText.h"
#include "tasks/UndoHistory.h"
#include "support/TestDatabase.h"

#include <QScopeGuard>
#include <QTest>

using UndoHistory::Kind;

// The per-workstation undo stack of task changes.
class TestUndoHistory : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }
    Session &session() { return m_ws->session(); }

    // Every live row of task n, table by table; a table that cannot be read says so.
    QStringList dump(int n)
    {
        return dumpRecord(db(), {{"kp_taches_desc", "noid"}, {"kp_taches_dates", "noid"}, {"kp_taches_ressources", "noid"},
                                 {"kp_taches_clients", "noid"}, {"kp_taches_couts", "noidtache"}, {"kp_periode", "noid"},
                                 {"kp_alertes", "noid"}},
                          n);
    }

    void exec(const QString &sql) { QVERIFY2(db().exec(sql), qPrintable(db().lastError() + QLatin1Char(' ') + sql)); }

    // A task with two date ranges, resources, a client, a cost line, a rule and an alert.
    void addTask(int n, const QString &comment = QStringLiteral("Révision"))
    {
        const Dialect &d = session().dialect();
        const QString N = QString::number(n);
        const QString day = d.dateValue(QDate(2026, 12, 7));
        exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,"
                            "commentaire,noidper,dtdebper,dtfinper,origine,noalerte,noidprospect,noidutil,effect,dteffect,"
                            "commenteffect,blocadm) values (")
             + N + QStringLiteral(",3,'U1','P1',0,2,16,'/','") + sqlText(comment) + QStringLiteral("',") + N + QLatin1Char(',')
             + day + QLatin1Char(',') + d.dateValue(QDate(2026, 12, 31)) + QStringLiteral(",0,") + N + QStringLiteral(",7,0,0,")
             + d.unsetDateValue() + QStringLiteral(",'/',1)"));
        exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin,nbjours,nbheures) values (") + N
             + QStringLiteral(",1,") + day + QLatin1Char(',') + day + QStringLiteral(",1,8)"));
        exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin,nbjours,nbheures) values (") + N
             + QStringLiteral(",2,") + d.dateValue(QDate(2026, 12, 14)) + QLatin1Char(',') + d.dateValue(QDate(2026, 12, 14))
             + QStringLiteral(",1,8)"));
        for (int r : {4, 6})
            exec(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (%1,%2)").arg(n).arg(r));
        exec(QStringLiteral("insert into kp_taches_clients (noid,noidsoc) values (%1,12)").arg(n));
        exec(QStringLiteral("insert into kp_taches_couts (noidtache,rgcout,noidcout,datecout,libelle,noidressource,nofact,"
                            "nbunitcout,mtunitcout,mttotcout) values (")
             + N + QStringLiteral(",1,2,") + day + QStringLiteral(",'Déplacement',4,'F1',3,12.5,37.5)"));
        exec(QStringLiteral("insert into kp_periode (noid,hordeb,horfin,jourfin,periodicite,typequot,jourquot,jourhebdo,jour,"
                            "typemois,jourmois,jourfinmois,mois,jourmoisan,moisan,datedeb,datefin) values (")
             + N + QStringLiteral(",'08:00','12:00',0,2,0,0,1,'0100000',0,0,0,'000000000000',0,0,") + day + QLatin1Char(',')
             + d.dateValue(QDate(2026, 12, 31)) + QLatin1Char(')'));
        exec(QStringLiteral("insert into kp_alertes (noid,ecart,typealerte,noidtype,noidsecond,commentaire,codeutil,"
                            "codeutilcreat,datecreat) values (")
             + N + QStringLiteral(",30,'TACHE',") + N + QStringLiteral(",0,'/','065','065',")
             + d.dateTimeValue(QDateTime(QDate(2026, 12, 1), QTime(9, 15))) + QLatin1Char(')'));
    }
    void deleteTask(int n)
    {
        for (const char *sql : {"delete from kp_taches_desc where noid = %1", "delete from kp_taches_dates where noid = %1",
                                "delete from kp_taches_ressources where noid = %1", "delete from kp_taches_clients where noid = %1",
                                "delete from kp_taches_couts where noidtache = %1", "delete from kp_periode where noid = %1",
                                "delete from kp_alertes where noid = %1"})
            exec(QString::fromLatin1(sql).arg(n));
    }
    // Every kind of change a snapshot must undo.
    void modifyTask(int n)
    {
        exec(QStringLiteral("update kp_taches_desc set commentaire = 'changé', blocadm = 0, urgence = 'U2', noidprospect = 0 "
                            "where noid = %1")
                 .arg(n));
        exec(QStringLiteral("delete from kp_taches_dates where noid = %1 and noiddate = 2").arg(n));
        exec(QStringLiteral("delete from kp_taches_ressources where noid = %1 and noidressource = 6").arg(n));
        exec(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (%1,9)").arg(n));
        exec(QStringLiteral("update kp_taches_couts set mttotcout = 99 where noidtache = %1").arg(n));
        exec(QStringLiteral("update kp_periode set hordeb = '10:00' where noid = %1").arg(n));
        exec(QStringLiteral("update kp_alertes set ecart = 60 where noid = %1").arg(n));
    }

    QStringList entries(const QString &station, const char *table = "histo_taches_desc")
    {
        return column(db(), QStringLiteral("select distinct nohisto from %1 where nomordi = '%2' order by nohisto")
                                .arg(QLatin1String(table), station));
    }
    int historyRows()
    {
        int total = 0;
        for (const char *t : {"histo_taches_desc", "histo_taches_dates", "histo_taches_ressources", "histo_taches_clients",
                              "histo_taches_couts", "histo_periode", "histo_alertes"})
            total += scalar(db(), QStringLiteral("select count(*) from ") + QLatin1String(t)).toInt();
        return total;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("undohistory"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        m_ws->settings().remove(QStringLiteral("Planning"), QStringLiteral("NbHisto")); // the settings file outlives a case
        QVERIFY(m_ws->open());
    }
    void cleanup() { m_ws.reset(); }

    void undoRestoresTheStateBefore_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("creation") << int(Kind::Created);
        QTest::newRow("modification") << int(Kind::Modified);
        QTest::newRow("deletion") << int(Kind::Deleted);
    }
    void undoRestoresTheStateBefore()
    {
        QFETCH(int, kind);
        addTask(8); // a neighbour the undo must not touch
        const QStringList neighbour = dump(8);
        if (kind != int(Kind::Created))
            addTask(5);
        const QStringList before = dump(5);
        switch (Kind(kind)) {
        case Kind::Created:
            addTask(5);
            QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Created));
            break;
        case Kind::Modified:
            QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Modified));
            modifyTask(5);
            break;
        case Kind::Deleted:
            QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Deleted));
            deleteTask(5);
            break;
        }
        QVERIFY(dump(5) != before);
        QCOMPARE(scalar(db(), QStringLiteral("select typehisto from histo_taches_desc")), QString::number(kind));

        const Outcome undone = UndoHistory::UndoLast(session());
        QVERIFY2(undone, qPrintable(undone.text()));
        QCOMPARE(dump(5), before);
        QCOMPARE(dump(8), neighbour);
        QCOMPARE(historyRows(), 0);

        // An empty stack: nothing to do, nothing changes.
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(5), before);
    }

    void twoUndosGoBackTwoChanges()
    {
        addTask(5);
        const QStringList original = dump(5);
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Modified));
        modifyTask(5);
        const QStringList modified = dump(5);
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Deleted));
        deleteTask(5);
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(5), modified);
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(5), original);
    }

    void depthSetting_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("depth");
        QTest::newRow("unset") << QString() << 10;
        QTest::newRow("three") << QStringLiteral("3") << 3;
        QTest::newRow("zero") << QStringLiteral("0") << 0;
        QTest::newRow("negative") << QStringLiteral("-4") << 0;
        QTest::newRow("not a number") << QStringLiteral("abc") << 0;
    }
    void depthSetting()
    {
        QFETCH(QString, value);
        QFETCH(int, depth);
        m_ws->settings().write(QStringLiteral("Planning"), QStringLiteral("NbHisto"), value);
        QCOMPARE(UndoHistory::depth(session()), depth);
    }

    void eleventhChangeDropsTheOldest()
    {
        for (int n = 1; n <= 11; ++n) {
            addTask(n);
            QVERIFY(UndoHistory::SaveHistory(session(), n, Kind::Created));
        }
        QStringList oneToTen;
        for (int i = 1; i <= 10; ++i)
            oneToTen.append(QString::number(i));
        // Every table renumbered alike: entry 1 is now task 2, the newest task 11.
        for (const char *t : {"histo_taches_desc", "histo_taches_dates", "histo_taches_ressources", "histo_taches_clients",
                              "histo_taches_couts", "histo_periode", "histo_alertes"})
            QCOMPARE(entries(QStringLiteral("POSTE1"), t), oneToTen);
        QCOMPARE(scalar(db(), QStringLiteral("select noid from histo_taches_desc where nohisto = 1")), QStringLiteral("2"));
        QCOMPARE(scalar(db(), QStringLiteral("select noid from histo_taches_desc where nohisto = 10")), QStringLiteral("11"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from histo_taches_ressources where noid = 1")), QStringLiteral("0"));

        // A smaller depth trims down to it at the next save.
        m_ws->settings().write(QStringLiteral("Planning"), QStringLiteral("NbHisto"), QStringLiteral("3"));
        QVERIFY(UndoHistory::SaveHistory(session(), 11, Kind::Modified));
        QCOMPARE(entries(QStringLiteral("POSTE1")), (QStringList{"1", "2", "3"}));
        QCOMPARE(column(db(), QStringLiteral("select noid from histo_taches_desc order by nohisto")),
                 (QStringList{"10", "11", "11"}));
    }

    void zeroDepthRecordsNothing()
    {
        m_ws->settings().write(QStringLiteral("Planning"), QStringLiteral("NbHisto"), QStringLiteral("0"));
        addTask(5);
        QVERIFY(db().exec(QStringLiteral("insert into kp_refresh (utilmaj) values ('AUTRE')")));
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Modified));
        QCOMPARE(historyRows(), 0);
        QVERIFY(scalar(db(), QStringLiteral("select utilmaj from kp_refresh")).startsWith(QStringLiteral("POSTE1")));
        const QStringList before = dump(5);
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(5), before);
    }

    void saveAndUndoWriteTheStamp()
    {
        addTask(5);
        QVERIFY(db().exec(QStringLiteral("insert into kp_refresh (utilmaj) values ('AUTRE00001,5')")));
        session().setLastStamp(QStringLiteral("AUTRE00001,5"));
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Modified));
        QString stamp = scalar(db(), QStringLiteral("select utilmaj from kp_refresh"));
        QVERIFY2(stamp.startsWith(QStringLiteral("POSTE1")) && stamp.size() == 6 + 8, qPrintable(stamp));
        QCOMPARE(session().lastStamp(), QStringLiteral("POSTE1"));

        QVERIFY(db().exec(QStringLiteral("update kp_refresh set utilmaj = 'AUTRE00001,5'")));
        QVERIFY(UndoHistory::UndoLast(session()));
        QVERIFY(scalar(db(), QStringLiteral("select utilmaj from kp_refresh")).startsWith(QStringLiteral("POSTE1")));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_refresh")), QStringLiteral("1"));
    }

    void deletionOfAReusedNumberIsDiscarded()
    {
        addTask(5);
        const QStringList original = dump(5);
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Modified));
        modifyTask(5);
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Deleted));
        deleteTask(5);
        addTask(5, QStringLiteral("Une autre tâche")); // the number is given out again
        const QStringList reused = dump(5);

        const Outcome refused = UndoHistory::UndoLast(session());
        QVERIFY(!refused);
        QCOMPARE(refused.title(), QStringLiteral("Désolé"));
        QCOMPARE(refused.text(), QStringLiteral("Impossible de réinitialiser l'historique"));
        QCOMPARE(dump(5), reused); // the new task is left alone
        QCOMPARE(entries(QStringLiteral("POSTE1")), QStringList{"1"});

        // The next undo works on the entry below.
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(5), original);
        QCOMPARE(historyRows(), 0);
    }

    void taskNumbersCountSnapshots()
    {
        addTask(5);
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Deleted));
        deleteTask(5);
        Transaction t(db());
        qint64 next = 0;
        QVERIFY(NumberAllocator::next(db(), UndoHistory::taskNumberSources(), NumberAllocator::IntMax, &next));
        QCOMPARE(next, 6);
    }

    void workstationsKeepTheirOwnStacks()
    {
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        addTask(1);
        addTask(2);
        const QStringList one = dump(1), two = dump(2);
        QVERIFY(UndoHistory::SaveHistory(session(), 1, Kind::Modified));
        QVERIFY(UndoHistory::SaveHistory(other.session(), 2, Kind::Modified));
        QVERIFY(UndoHistory::SaveHistory(other.session(), 2, Kind::Modified));
        QCOMPARE(entries(QStringLiteral("POSTE1")), QStringList{"1"});
        QCOMPARE(entries(QStringLiteral("POSTE2")), (QStringList{"1", "2"}));
        modifyTask(1);
        modifyTask(2);

        // POSTE2's undo restores its own task, newest entry first.
        QVERIFY(UndoHistory::UndoLast(other.session()));
        QCOMPARE(dump(2), two);
        QVERIFY(dump(1) != one);
        QCOMPARE(entries(QStringLiteral("POSTE1")), QStringList{"1"});
        QCOMPARE(entries(QStringLiteral("POSTE2")), QStringList{"1"});

        QVERIFY(UndoHistory::DropHistoryEntry(other.session(), 1));
        QCOMPARE(entries(QStringLiteral("POSTE2")), QStringList());
        QVERIFY(UndoHistory::UndoLast(session()));
        QCOMPARE(dump(1), one);
    }

    void dropRenumbersTheEntriesAbove()
    {
        for (int n = 1; n <= 4; ++n) {
            addTask(n);
            QVERIFY(UndoHistory::SaveHistory(session(), n, Kind::Modified));
        }
        QVERIFY(UndoHistory::DropHistoryEntry(session(), 2));
        QCOMPARE(column(db(), QStringLiteral("select noid from histo_taches_desc order by nohisto")), (QStringList{"1", "3", "4"}));
        QCOMPARE(column(db(), QStringLiteral("select noid from histo_periode order by nohisto")), (QStringList{"1", "3", "4"}));
        QCOMPARE(entries(QStringLiteral("POSTE1"), "histo_alertes"), (QStringList{"1", "2", "3"}));
    }

    // A statement failing half-way leaves every table as it was.
    void failedSaveChangesNothing()
    {
        m_ws->settings().write(QStringLiteral("Planning"), QStringLiteral("NbHisto"), QStringLiteral("2"));
        for (int n = 1; n <= 2; ++n) {
            addTask(n);
            QVERIFY(UndoHistory::SaveHistory(session(), n, Kind::Modified));
        }
        addTask(3);
        // A mirror without its columns: trimming still works on it, the copy does not.
        exec(QStringLiteral("drop table histo_periode"));
        exec(QStringLiteral("create table histo_periode (nomordi varchar(255), nohisto integer)"));
        // Dropped again whatever happens, so that the next case gets a whole schema.
        const auto restore = qScopeGuard([this] { db().exec(QStringLiteral("drop table histo_periode")); });
        const int rows = historyRows();
        const QStringList oldest = column(db(), QStringLiteral("select noid from histo_taches_desc order by nohisto"));

        const Outcome failed = UndoHistory::SaveHistory(session(), 3, Kind::Deleted);
        QVERIFY(!failed);
        QCOMPARE(failed.title(), QStringLiteral("Erreur"));
        QVERIFY2(failed.text().contains(QStringLiteral("\r\ninsert into histo_periode")), qPrintable(failed.text()));
        QCOMPARE(column(db(), QStringLiteral("select noid from histo_taches_desc order by nohisto")), oldest); // entry 1 kept
        QCOMPARE(oldest, (QStringList{"1", "2"}));
        QCOMPARE(historyRows(), rows);
    }

    void failedUndoChangesNothing()
    {
        addTask(5);
        QVERIFY(UndoHistory::SaveHistory(session(), 5, Kind::Modified));
        modifyTask(5);
        exec(QStringLiteral("drop table histo_alertes")); // the last restore of an undo
        const QStringList before = dump(5);

        const Outcome failed = UndoHistory::UndoLast(session());
        QVERIFY(!failed);
        QCOMPARE(failed.title(), QStringLiteral("Erreur"));
        QVERIFY2(failed.text().contains(QStringLiteral("\r\n")), qPrintable(failed.text()));
        QCOMPARE(dump(5), before);
        QCOMPARE(entries(QStringLiteral("POSTE1")), QStringList{"1"});
    }
};

QTEST_GUILESS_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
