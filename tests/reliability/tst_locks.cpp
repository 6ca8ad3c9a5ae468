#include "WorkerPool.h"

#include "core/RecordLocks.h"

#include <QTest>

// Four workstations racing for one record lock, and a lock left behind by a
// workstation that was killed.
class TestLocks : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    QStringList m_figures;
    const QStringList m_four{QStringLiteral("POSTE-A"), QStringLiteral("POSTE-B"), QStringLiteral("POSTE-C"),
                             QStringLiteral("POSTE-D")};

    QString backendName() const { return m_db->isServer() ? QStringLiteral("MariaDB") : QStringLiteral("fichier"); }
    QString goFile() const { return m_db->folder() + QStringLiteral("/go"); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("rel_locks"));
    }
    void init() { QVERIFY(m_db->makeReady()); }
    void cleanupTestCase()
    {
        for (const QString &line : std::as_const(m_figures))
            qInfo().noquote() << line;
    }

    void neverTwoHolders()
    {
        WorkerPool pool(*m_db, goFile());
        const int count = scaled(250);
        const QList<WorkerRun> runs = pool.runTogether(m_four, QStringLiteral("lock"), count);
        QCOMPARE(runs.size(), 4);
        QStringList grants;
        int total = 0;
        for (const WorkerRun &r : runs) {
            QVERIFY2(r.exitCode == 0 && r.errors.isEmpty(), qPrintable(r.workstation + QLatin1Char(' ') + r.errors));
            QCOMPARE(r.facts(QStringLiteral("double")).size(), 0);
            const int granted = r.facts(QStringLiteral("grant")).size();
            QCOMPARE(granted + r.facts(QStringLiteral("refused")).size() + r.facts(QStringLiteral("busy")).size(), count);
            grants.append(QStringLiteral("%1 %2").arg(r.workstation).arg(granted));
            total += granted;
        }
        QVERIFY(total > 0);
        m_figures.append(QStringLiteral("%1, course au verrou (%2 essais par poste) : %3").arg(backendName()).arg(count).arg(grants.join(QStringLiteral(", "))));
        auto control = m_db->connect();
        QCOMPARE(scalar(*control, QStringLiteral("select count(*) from kp_verrou")), QStringLiteral("0"));
    }

    void lockOfAKilledWorkstation()
    {
        WorkerPool pool(*m_db, goFile());
        pool.go();
        QVERIFY(pool.start(QStringLiteral("POSTE-MORT"), QStringLiteral("hold"), 0));
        QProcess &holder = pool.process(0);
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        holder.kill(); // SIGKILL: no screen closes, no lock is released
        QVERIFY(holder.waitForFinished());

        Workstation other(*m_db, QStringLiteral("POSTE-B"));
        QVERIFY(other.open());
        const Outcome refused = RecordLocks::take(other.session(), LockKind::Client, 7);
        QVERIFY(!refused);
        QCOMPARE(refused.title(), QStringLiteral("Impossible"));

        // The same workstation, whatever the letter case of its name, has it already.
        Workstation again(*m_db, QStringLiteral("poste-mort"));
        QVERIFY(again.open());
        QVERIFY(RecordLocks::take(again.session(), LockKind::Client, 7));

        // Its next log in releases what it left behind; then anybody may take it.
        pool.finish();
        QVERIFY(pool.start(QStringLiteral("POSTE-MORT"), QStringLiteral("release"), 0));
        const QList<WorkerRun> released = pool.finish();
        QCOMPARE(released.value(0).lines, QStringList{QStringLiteral("released")});
        QVERIFY(RecordLocks::take(other.session(), LockKind::Client, 7));
        QCOMPARE(scalar(other.db(), QStringLiteral("select nomordi from kp_verrou where noid = 7")), QStringLiteral("POSTE-B"));
    }

    void waitingIsFair()
    {
        WorkerPool pool(*m_db, goFile());
        const int duration = qMax(2000, scaled(8000));
        const QList<WorkerRun> runs = pool.runTogether(m_four, QStringLiteral("fair"), duration);
        QCOMPARE(runs.size(), 4);
        QList<int> grants;
        QStringList shown;
        int total = 0;
        for (const WorkerRun &r : runs) {
            QVERIFY2(r.exitCode == 0 && r.errors.isEmpty(), qPrintable(r.workstation + QLatin1Char(' ') + r.errors));
            const int granted = r.facts(QStringLiteral("grants")).value(0).toInt();
            grants.append(granted);
            total += granted;
            shown.append(QStringLiteral("%1 %2 (%3 essais)")
                             .arg(r.workstation)
                             .arg(granted)
                             .arg(r.facts(QStringLiteral("attempts")).value(0)));
        }
        m_figures.append(QStringLiteral("%1, verrou pris et rendu en boucle pendant %2 ms : %3 obtentions ; %4")
                             .arg(backendName())
                             .arg(duration)
                             .arg(total)
                             .arg(shown.join(QStringLiteral(", "))));
        QVERIFY(total >= 40);
        // None gets less than a tenth of its share.
        for (int g : grants)
            QVERIFY2(g * 40 >= total, qPrintable(shown.join(QStringLiteral(", "))));
    }
};

QTEST_GUILESS_MAIN(TestLocks)
#include "tst_locks.moc"
