#include "WorkerPool.h"

#include <QHash>
#include <QSet>
#include <QTest>

// Four workstations creating, changing and deleting records on one database
// at the same moment, each in its own process, through the stores.
class TestConcurrency : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    QStringList m_figures;
    const QStringList m_four{QStringLiteral("POSTE-A"), QStringLiteral("POSTE-B"), QStringLiteral("POSTE-C"),
                             QStringLiteral("POSTE-D")};

    Database &db() { return m_ws->db(); }
    QString backendName() const { return m_db->isServer() ? QStringLiteral("MariaDB") : QStringLiteral("fichier"); }

    // Task type 1 and twenty resources to plan the tasks on.
    bool seed()
    {
        Dialect dialect(m_db->isServer() ? Backend::MySql : Backend::File);
        if (!insertRow(db(), dialect, QStringLiteral("kp_taches"), {{QStringLiteral("noidtache"), QStringLiteral("1")},
                                                                     {QStringLiteral("libtache"), QStringLiteral("'Visite'")}}))
            return false;
        for (int r = 1; r <= 20; ++r)
            if (!insertResource(db(), r, QStringLiteral("R%1").arg(r)))
                return false;
        return true;
    }

    QList<WorkerRun> run(const QStringList &workstations, const QString &mode, int count)
    {
        WorkerPool pool(*m_db, m_db->folder() + QStringLiteral("/go"));
        const QList<WorkerRun> runs = pool.runTogether(workstations, mode, count);
        for (const WorkerRun &r : runs)
            if (r.exitCode != 0 || !r.errors.isEmpty())
                qWarning("%s (%d) : %s", qPrintable(r.workstation), r.exitCode, qPrintable(r.errors));
        return runs;
    }

    static bool allPassed(const QList<WorkerRun> &runs, int expected)
    {
        if (runs.size() != expected)
            return false;
        for (const WorkerRun &r : runs)
            if (r.exitCode != 0 || !r.errors.isEmpty())
                return false;
        return true;
    }

    QHash<qint64, int> countsBy(const QString &table, const QString &key)
    {
        QHash<qint64, int> counts;
        ResultSet rows;
        if (db().query(QStringLiteral("select %1, count(*) from %2 group by %1").arg(key, table), rows))
            for (int r = 0; r < rows.rowCount(); ++r)
                counts.insert(rows.toLongLong(r, 0), rows.toInt(r, 1));
        return counts;
    }

    // Checks that every record the workers announced is in the database,
    // whole, and that no number was handed out twice. Returns the tasks of
    // each workstation.
    QHash<QString, QSet<qint64>> checkCreated(const QList<WorkerRun> &runs, int perWorkstation)
    {
        QHash<QString, QSet<qint64>> tasksOf;
        QSet<qint64> clients, tasks;
        QHash<qint64, QString> clientNames;
        int announced = 0;
        for (const WorkerRun &r : runs) {
            for (const QString &fact : r.facts(QStringLiteral("client"))) {
                const qint64 number = fact.section(QLatin1Char(' '), 0, 0).toLongLong();
                if (clients.contains(number))
                    qWarning("numéro de client donné deux fois : %lld", number);
                clients.insert(number);
                clientNames.insert(number, fact.section(QLatin1Char(' '), 1));
            }
            const QStringList taskFacts = r.facts(QStringLiteral("task"));
            announced += taskFacts.size();
            const QHash<qint64, int> ranges = countsBy(QStringLiteral("kp_taches_dates"), QStringLiteral("noid"));
            const QHash<qint64, int> resources = countsBy(QStringLiteral("kp_taches_ressources"), QStringLiteral("noid"));
            for (const QString &fact : taskFacts) {
                const QStringList parts = fact.split(QLatin1Char(' '));
                const qint64 number = parts.at(0).toLongLong();
                tasks.insert(number);
                tasksOf[r.workstation].insert(number);
                if (ranges.value(number) != parts.at(2).toInt() || resources.value(number) != parts.at(3).toInt())
                    qWarning("tâche %lld incomplète", number);
                [&] { QCOMPARE(ranges.value(number), parts.at(2).toInt()); }();
                [&] { QCOMPARE(resources.value(number), parts.at(3).toInt()); }();
                [&] {
                    QCOMPARE(scalar(db(), QStringLiteral("select noidsoc from kp_taches_clients where noid = %1").arg(number)),
                             parts.at(1));
                }();
            }
        }
        const int expected = perWorkstation * int(runs.size());
        [&] {
            QCOMPARE(clients.size(), expected);
            QCOMPARE(tasks.size(), expected);
            QCOMPARE(announced, expected);
            QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_societes")).toInt(), expected);
            QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_libresoc")).toInt(), expected);
            QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc")).toInt(), expected);
            // Every client row holds what its workstation wrote.
            ResultSet rows;
            QVERIFY(db().query(QStringLiteral("select noidsoc, libsoc from kp_societes"), rows));
            for (int r = 0; r < rows.rowCount(); ++r)
                QCOMPARE(rows.value(r, 1), clientNames.value(rows.toLongLong(r, 0)));
        }();
        return tasksOf;
    }

    // Every undo entry of a workstation is about one of its own tasks.
    void checkHistoryOwnership(const QHash<QString, QSet<qint64>> &tasksOf)
    {
        ResultSet rows;
        QVERIFY(db().query(QStringLiteral("select nomordi, noid from histo_taches_desc"), rows));
        QVERIFY(rows.rowCount() > 0);
        for (int r = 0; r < rows.rowCount(); ++r)
            QVERIFY2(tasksOf.value(rows.value(r, 0)).contains(rows.toLongLong(r, 1)),
                     qPrintable(rows.value(r, 0) + QLatin1Char(' ') + rows.value(r, 1)));
    }

    // Records created per second by these runs together, and the waits.
    void measure(const QString &what, const QList<WorkerRun> &runs)
    {
        qint64 slowest = 0;
        int records = 0, busy = 0;
        QList<double> waits, saves;
        for (const WorkerRun &r : runs) {
            for (const QString &t : r.facts(QStringLiteral("took")))
                saves.append(t.toDouble() / 1000.0);
            slowest = qMax(slowest, r.facts(QStringLiteral("elapsed")).value(0).toLongLong());
            records += r.facts(QStringLiteral("client")).size() + r.facts(QStringLiteral("task")).size();
            busy += r.facts(QStringLiteral("busy")).size();
            for (const QString &w : r.facts(QStringLiteral("wait")))
                waits.append(w.toDouble() / 1000.0);
        }
        const auto [median, worst] = medianAndWorst(waits);
        const auto [saveMedian, saveWorst] = medianAndWorst(saves);
        const double rate = slowest > 0 ? records * 1000.0 / slowest : 0;
        m_figures.append(QStringLiteral("%1, %2 : %3 enregistrements en %4 ms, %5 créations/s ; attente du verrou "
                                        "d'écriture par enregistrement : médiane %6 ms, pire %7 ms ; durée d'une "
                                        "sauvegarde, attentes et reprises comprises : médiane %8 ms, pire %9 ms ; "
                                        "%10 message(s) « occupée » réessayé(s)")
                             .arg(backendName(), what)
                             .arg(records)
                             .arg(slowest)
                             .arg(rate, 0, 'f', 1)
                             .arg(median, 0, 'f', 2)
                             .arg(worst, 0, 'f', 1)
                             .arg(saveMedian, 0, 'f', 2)
                             .arg(saveWorst, 0, 'f', 1)
                             .arg(busy));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("rel_concurrency"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("CONTROLE"));
        QVERIFY(m_ws->open());
        QVERIFY(seed());
    }
    void cleanupTestCase()
    {
        for (const QString &line : std::as_const(m_figures))
            qInfo().noquote() << line;
    }

    void oneWorkstationCreates()
    {
        const int count = scaled(250);
        const QList<WorkerRun> runs = run({QStringLiteral("POSTE-SEUL")}, QStringLiteral("create"), count);
        QVERIFY(allPassed(runs, 1));
        checkCreated(runs, count);
        measure(QStringLiteral("1 poste"), runs);
    }

    void fourWorkstationsCreateTogether()
    {
        const int count = scaled(250);
        const QList<WorkerRun> runs = run(m_four, QStringLiteral("create"), count);
        QVERIFY(allPassed(runs, 4));
        const QHash<QString, QSet<qint64>> tasksOf = checkCreated(runs, count);
        if (QTest::currentTestFailed())
            return;
        checkHistoryOwnership(tasksOf);
        measure(QStringLiteral("4 postes"), runs);
    }

    void eachWorkstationUndoesItsOwnChanges()
    {
        const int count = scaled(40);
        const QList<WorkerRun> created = run(m_four, QStringLiteral("create"), count);
        QVERIFY(allPassed(created, 4));
        const QHash<QString, QSet<qint64>> tasksOf = checkCreated(created, count);
        if (QTest::currentTestFailed())
            return;

        const QList<WorkerRun> churned = run(m_four, QStringLiteral("churn"), scaled(60));
        QVERIFY(allPassed(churned, 4));
        int undone = 0;
        for (const WorkerRun &r : churned) {
            for (const QString &fact : r.facts(QStringLiteral("undo"))) {
                QVERIFY2(fact.endsWith(QLatin1String(" ok")), qPrintable(r.workstation + QLatin1Char(' ') + fact));
                ++undone;
            }
        }
        QCOMPARE(undone, 12);
        checkHistoryOwnership(tasksOf);
        // The rows of every remaining task are whole: no header without its
        // dates, no dates or links left of a deleted task.
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc d where not exists "
                                             "(select 1 from kp_taches_dates t where t.noid = d.noid)")),
                 QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_dates t where not exists "
                                             "(select 1 from kp_taches_desc d where d.noid = t.noid)")),
                 QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_ressources t where not exists "
                                             "(select 1 from kp_taches_desc d where d.noid = t.noid)")),
                 QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
