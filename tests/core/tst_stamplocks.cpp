#include "core/NumberAllocator.h"
#include "core/RecordLocks.h"
#include "core/RefreshStamp.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QTime>

// Change stamp, record locks and number allocation between workstations.
class TestStampLocks : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_one;
    std::unique_ptr<Workstation> m_two;

    // Runs the worker as two workstations at once and returns each one's output lines.
    QList<QStringList> race(const QString &command, int count)
    {
        const QString go = m_db->folder() + QStringLiteral("/go");
        QFile::remove(go);
        QList<QProcess *> processes;
        for (const QString &name : {QStringLiteral("POSTE-A"), QStringLiteral("POSTE-B")}) {
            Workstation ws(*m_db, name); // writes the worker's settings file
            auto *p = new QProcess(this);
            p->start(QCoreApplication::applicationDirPath() + QStringLiteral("/quenzo_test_worker"),
                     {ws.settings().filePath(), name, go, command, QString::number(count)});
            processes.append(p);
        }
        for (QProcess *p : processes)
            if (!p->waitForStarted())
                return {};
        QFile(go).open(QIODevice::WriteOnly);
        QList<QStringList> outputs;
        for (QProcess *p : processes) {
            if (!p->waitForFinished(240000) || p->exitCode() != 0)
                qWarning("worker: %s", p->readAllStandardError().constData());
            outputs.append(QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts));
            delete p;
        }
        return outputs;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("stamplocks"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_one = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        m_two = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(m_one->open());
        QVERIFY(m_two->open());
    }

    void stampText_data()
    {
        QTest::addColumn<QString>("workstation");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hundredths") << "POSTE1" << QTime(10, 8, 32, 450) << "POSTE136512,45";
        QTest::newRow("padded") << "POSTE1" << QTime(0, 0, 5, 500) << "POSTE1000005,5";
        QTest::newRow("whole second") << "POSTE1" << QTime(0, 1, 0) << "POSTE100000060";
        QTest::newRow("quoted name") << "L'ATELIER" << QTime(23, 59, 59, 990) << "L''ATELIER86399,99";
        QTest::newRow("no name") << "" << QTime(0, 0, 1) << "/00000001";
    }
    void stampText()
    {
        QFETCH(QString, workstation);
        QFETCH(QTime, time);
        QFETCH(QString, expected);
        QCOMPARE(RefreshStamp::make(workstation, time, QLatin1Char(',')), expected);
    }

    void emptyStampTableGetsItsRow()
    {
        QString stamp;
        QVERIFY(RefreshStamp::read(m_one->session(), &stamp));
        QVERIFY(stamp.startsWith(QLatin1String("POSTE1")));
        QCOMPARE(scalar(m_one->db(), QStringLiteral("select count(*) from kp_refresh")), QStringLiteral("1"));

        QVERIFY(m_one->db().exec(QStringLiteral("delete from kp_refresh")));
        QVERIFY(RefreshStamp::write(m_two->session()));
        QCOMPARE(column(m_one->db(), QStringLiteral("select utilmaj from kp_refresh")).size(), 1);
    }

    void aWriteIsSeenByTheOtherWorkstation()
    {
        QString before, after;
        QVERIFY(RefreshStamp::read(m_one->session(), &before));
        QTest::qWait(20); // the stamp has a resolution of one hundredth of a second
        QVERIFY(RefreshStamp::write(m_two->session()));
        QCOMPARE(m_two->session().lastStamp(), QStringLiteral("POSTE2"));
        QVERIFY(RefreshStamp::read(m_one->session(), &after));
        QVERIFY(after != before);
        QVERIFY(after.startsWith(QLatin1String("POSTE2")));
        QCOMPARE(m_one->session().lastStamp(), after);
        QCOMPARE(scalar(m_one->db(), QStringLiteral("select count(*) from kp_refresh")), QStringLiteral("1"));
    }

    void locksBetweenWorkstations()
    {
        QVERIFY(RecordLocks::take(m_one->session(), LockKind::Client, 12));
        QVERIFY(RecordLocks::take(m_one->session(), LockKind::Client, 12)); // already ours
        QCOMPARE(scalar(m_one->db(), QStringLiteral("select count(*) from kp_verrou")), QStringLiteral("1"));

        const Outcome refused = RecordLocks::take(m_two->session(), LockKind::Client, 12);
        QVERIFY(!refused);
        QCOMPARE(refused.title(), QStringLiteral("Impossible"));
        QCOMPARE(refused.text(), QStringLiteral("Cette Tâche/indisponibilité est en cours de consultation"));
        // Another kind or another number is another lock.
        QVERIFY(RecordLocks::take(m_two->session(), LockKind::Resource, 12));
        QVERIFY(RecordLocks::take(m_two->session(), LockKind::Client, 13));

        QVERIFY(RecordLocks::release(m_one->session(), LockKind::Client));
        QVERIFY(RecordLocks::take(m_two->session(), LockKind::Client, 12));
        QCOMPARE(column(m_one->db(), QStringLiteral("select nomordi from kp_verrou order by typeverrou, noid")),
                 QStringList({"POSTE2", "POSTE2", "POSTE2"}));
    }

    void lockOfTheSameNameInAnotherCaseIsOurs()
    {
        QVERIFY(m_one->db().exec(QStringLiteral("insert into kp_verrou (typeverrou,noid,nomordi) values (3,7,'poste1')")));
        QVERIFY(RecordLocks::take(m_one->session(), LockKind::Resource, 7));
        QVERIFY(!RecordLocks::take(m_two->session(), LockKind::Resource, 7));
    }

    void refusalFollowsTheTaskWord_data()
    {
        QTest::addColumn<QString>("gender");
        QTest::addColumn<QString>("elision");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("expected");
        QTest::newRow("masculine") << "0" << "0" << "Rendez-vous" << "Ce Rendez-vous/indisponibilité est en cours de consultation";
        QTest::newRow("elided") << "0" << "1" << "Entretien" << "Cet Entretien/indisponibilité est en cours de consultation";
        QTest::newRow("feminine elided") << "1" << "1" << "Intervention"
                                         << "Cette Intervention/indisponibilité est en cours de consultation";
    }
    void refusalFollowsTheTaskWord()
    {
        QFETCH(QString, gender);
        QFETCH(QString, elision);
        QFETCH(QString, word);
        QFETCH(QString, expected);
        m_two->session().terms().setTerm(Entity::Tache, {word, word + QLatin1Char('s'), gender, elision});
        QVERIFY(RecordLocks::take(m_one->session(), LockKind::Task, 1));
        QCOMPARE(RecordLocks::take(m_two->session(), LockKind::Task, 1).text(), expected);
    }

    // A workstation that stopped while editing client 12 frees it at its next start.
    void leftoverLocksReleasedAtNextStart()
    {
        QVERIFY(RecordLocks::take(m_one->session(), LockKind::Client, 12));
        QVERIFY(RecordLocks::take(m_one->session(), LockKind::Task, 4));
        QVERIFY(RecordLocks::take(m_two->session(), LockKind::Task, 5));
        m_one.reset(); // gone without releasing
        QVERIFY(!RecordLocks::take(m_two->session(), LockKind::Client, 12));

        Workstation restarted(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(restarted.open());
        QVERIFY(RecordLocks::releaseAll(restarted.session()));
        QVERIFY(RecordLocks::take(m_two->session(), LockKind::Client, 12));
        QCOMPARE(column(restarted.db(), QStringLiteral("select noid from kp_verrou order by noid")),
                 QStringList({"5", "12"}));
    }

    // Two processes race for the same 200 locks: each is granted to one only.
    void racingForLocks()
    {
        const QList<QStringList> outputs = race(QStringLiteral("lock"), 200);
        QCOMPARE(outputs.size(), 2);
        QCOMPARE(outputs[0].size(), 200);
        QCOMPARE(outputs[1].size(), 200);
        for (int i = 0; i < 200; ++i) {
            const int granted = outputs[0][i].section(QLatin1Char(' '), 1).toInt()
                                + outputs[1][i].section(QLatin1Char(' '), 1).toInt();
            QVERIFY2(granted == 1, qPrintable(QStringLiteral("verrou %1 accordé %2 fois").arg(i).arg(granted)));
        }
        QCOMPARE(scalar(m_one->db(), QStringLiteral("select count(*) from kp_verrou")), QStringLiteral("200"));
        QCOMPARE(scalar(m_one->db(), QStringLiteral("select count(distinct noid) from kp_verrou")), QStringLiteral("200"));
    }

    // Two processes allocate 500 numbers each in one table: 1,000 distinct numbers.
    void racingForNumbers()
    {
        const QList<QStringList> outputs = race(QStringLiteral("alloc"), 500);
        QCOMPARE(outputs.size(), 2);
        QSet<QString> numbers;
        for (const QStringList &lines : outputs) {
            QCOMPARE(lines.size(), 500);
            for (const QString &n : lines)
                numbers.insert(n);
        }
        QCOMPARE(numbers.size(), 1000);
        QCOMPARE(scalar(m_one->db(), QStringLiteral("select count(distinct noidzone) from kp_zones")), QStringLiteral("1000"));
        QCOMPARE(scalar(m_one->db(), QStringLiteral("select max(noidzone) from kp_zones")), QStringLiteral("1000"));
    }

    // On a server, transactions that only write their own new records run side
    // by side: a number counted by one stays reserved until it ends, whether
    // it commits or not.
    void numbersReservedUntilTheTransactionEnds()
    {
        if (!m_one->db().reservesNumbers())
            QSKIP("la base fichier n'admet qu'une transaction d'écriture à la fois");
        const QList<NumberSource> zones{{QStringLiteral("kp_zones"), QStringLiteral("noidzone"), {}}};
        const auto insertZone = [](Database &db, qint64 n) {
            return db.exec(QStringLiteral("insert into kp_zones (noidzone,libzone,coulfond,coultexte) values (%1,'z',0,0)").arg(n));
        };
        Database &one = m_one->db();
        Database &two = m_two->db();
        qint64 first = 0, second = 0, third = 0;
        {
            Transaction a(one, TransactionMode::Concurrent);
            QVERIFY(NumberAllocator::next(one, zones, NumberAllocator::IntMax, &first));
            QVERIFY(insertZone(one, first));
            // Begun while the other runs, and never shown its uncommitted row.
            Transaction b(two, TransactionMode::Concurrent);
            QVERIFY(b.isActive());
            QVERIFY(NumberAllocator::next(two, zones, NumberAllocator::IntMax, &second));
            QCOMPARE(second, first + 1);
            // A serialised transaction counts the same way.
            QVERIFY(insertZone(two, second));
            QVERIFY(b.commit());
            Transaction c(two);
            QVERIFY(NumberAllocator::next(two, zones, NumberAllocator::IntMax, &third));
            QCOMPARE(third, second + 1);
            QVERIFY(c.commit());
            QVERIFY(a.commit());
        }
        QCOMPARE(scalar(one, QStringLiteral("select count(distinct noidzone) from kp_zones")), QStringLiteral("2"));
        {
            // A transaction given up frees its number, even one it counted twice.
            Transaction a(one, TransactionMode::Concurrent);
            QVERIFY(NumberAllocator::next(one, zones, NumberAllocator::IntMax, &third));
            QCOMPARE(third, second + 1);
            qint64 twice = 0;
            QVERIFY(NumberAllocator::next(one, zones, NumberAllocator::IntMax, &twice));
            QCOMPARE(twice, third);
        }
        Transaction b(two, TransactionMode::Concurrent);
        qint64 again = 0;
        QVERIFY(NumberAllocator::next(two, zones, NumberAllocator::IntMax, &again));
        QCOMPARE(again, third);
    }

    void allocationRules()
    {
        Database &db = m_one->db();
        qint64 number = 0;
        // Outside a transaction the number would not be safe: refused.
        QVERIFY(!NumberAllocator::next(db, {{QStringLiteral("kp_zones"), QStringLiteral("noidzone"), {}}},
                                       NumberAllocator::IntMax, &number));

        Transaction t(db);
        QVERIFY(NumberAllocator::next(db, {{QStringLiteral("kp_zones"), QStringLiteral("noidzone"), {}}},
                                      NumberAllocator::IntMax, &number));
        QCOMPARE(number, 1);

        // The larger of several tables' highest numbers.
        QVERIFY(db.exec(QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (40,1)")));
        QVERIFY(db.exec(QStringLiteral("insert into histo_taches_ressources (nomordi,nohisto,noid,noidressource) "
                                       "values ('P',1,57,1)")));
        QVERIFY(NumberAllocator::next(db,
                                      {{QStringLiteral("kp_taches_ressources"), QStringLiteral("noid"), {}},
                                       {QStringLiteral("histo_taches_ressources"), QStringLiteral("noid"), {}}},
                                      NumberAllocator::IntMax, &number));
        QCOMPARE(number, 58);

        // Per owner.
        QVERIFY(db.exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (1,9)")));
        QVERIFY(db.exec(QStringLiteral("insert into kp_equipes_ress (noequipe,noressource) values (2,3)")));
        QVERIFY(NumberAllocator::next(db, {{QStringLiteral("kp_equipes_ress"), QStringLiteral("noressource"),
                                            QStringLiteral("noequipe = 2")}},
                                      NumberAllocator::IntMax, &number));
        QCOMPARE(number, 4);

        // A 16-bit number never wraps.
        QVERIFY(db.exec(QStringLiteral("insert into kp_zones (noidzone,libzone,coulfond,coultexte) values (32767,'z',0,0)")));
        const Outcome full = NumberAllocator::next(db, {{QStringLiteral("kp_zones"), QStringLiteral("noidzone"), {}}},
                                                   NumberAllocator::SmallIntMax, &number);
        QVERIFY(!full);
        QCOMPARE(full.title(), QStringLiteral("Désolé"));
        QVERIFY(full.text().contains(QLatin1String("32767")));
    }
};

QTEST_GUILESS_MAIN(TestStampLocks)
#include "tst_stamplocks.moc"
