#include "WorkerPool.h"

#include <QRandomGenerator>
#include <QTest>
#include <QThread>

// A workstation killed (SIGKILL) while it saves tasks, again and again: the
// database stays sound and holds no half-written task. On the server, the
// killed process's connection drops and the server rolls its work back.
class TestCrash : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    QStringList m_figures;

    // The counts of rows that must not exist, each with what it means.
    static QList<QPair<QString, QString>> orphanQueries()
    {
        return {
            {QStringLiteral("en-tête sans ses dates"),
             QStringLiteral("select count(*) from kp_taches_desc d where not exists "
                            "(select 1 from kp_taches_dates t where t.noid = d.noid)")},
            {QStringLiteral("dates sans en-tête"),
             QStringLiteral("select count(*) from kp_taches_dates t where not exists "
                            "(select 1 from kp_taches_desc d where d.noid = t.noid)")},
            {QStringLiteral("ressource sans tâche"),
             QStringLiteral("select count(*) from kp_taches_ressources t where not exists "
                            "(select 1 from kp_taches_desc d where d.noid = t.noid)")},
            {QStringLiteral("création notée d'une tâche jamais écrite"),
             QStringLiteral("select count(*) from histo_taches_desc h where h.typehisto = 1 and not exists "
                            "(select 1 from kp_taches_desc d where d.noid = h.noid)")},
            // Every change the worker makes gives the task a new comment: a
            // snapshot still equal to the task is a change that never came.
            {QStringLiteral("modification notée d'une tâche jamais changée"),
             QStringLiteral("select count(*) from histo_taches_desc h, kp_taches_desc d where h.typehisto = 0 "
                            "and d.noid = h.noid and d.commentaire = h.commentaire")},
            {QStringLiteral("entrée d'historique sans ses dates"),
             QStringLiteral("select count(*) from histo_taches_desc h where not exists "
                            "(select 1 from histo_taches_dates t where t.nomordi = h.nomordi and t.nohisto = h.nohisto)")},
            {QStringLiteral("dates d'historique sans entrée"),
             QStringLiteral("select count(*) from histo_taches_dates t where not exists "
                            "(select 1 from histo_taches_desc h where t.nomordi = h.nomordi and t.nohisto = h.nohisto)")},
        };
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("rel_crash"));
        QVERIFY(m_db->makeReady());
        auto db = m_db->connect();
        QVERIFY(db);
        Dialect dialect(m_db->isServer() ? Backend::MySql : Backend::File);
        QVERIFY(insertRow(*db, dialect, QStringLiteral("kp_taches"), {{QStringLiteral("noidtache"), QStringLiteral("1")}}));
        for (int r = 1; r <= 5; ++r)
            QVERIFY(insertResource(*db, r, QStringLiteral("R%1").arg(r)));
    }
    void cleanupTestCase()
    {
        for (const QString &line : std::as_const(m_figures))
            qInfo().noquote() << line;
    }

    void killedWhileSaving()
    {
        const int kills = scaled(50);
        QRandomGenerator random(20261210);
        int saves = 0;
        WorkerPool pool(*m_db, m_db->folder() + QStringLiteral("/go"));
        pool.go();
        for (int k = 0; k < kills; ++k) {
            QVERIFY(pool.start(QStringLiteral("POSTE-CRASH"), QStringLiteral("crash"), 0));
            QProcess &worker = pool.process(0);
            // Let it commit a few saves, then kill it somewhere inside the next one.
            const int before = 1 + random.bounded(4);
            QString last;
            for (int seen = 0; seen < before;) {
                if (!worker.canReadLine() && !worker.waitForReadyRead(30000))
                    QFAIL(qPrintable(QStringLiteral("le poste ne sauve plus : ") + QString::fromUtf8(worker.readAllStandardError())));
                while (worker.canReadLine() && seen < before) {
                    last = QString::fromUtf8(worker.readLine()).trimmed();
                    ++seen;
                }
            }
            QThread::usleep(random.bounded(4000));
            worker.kill();
            QVERIFY(worker.waitForFinished());
            saves += before;
            pool.finish();

            auto db = m_db->connect();
            QVERIFY(db);
            if (!m_db->isServer())
                QCOMPARE(scalar(*db, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
            for (const auto &[what, sql] : orphanQueries())
                QVERIFY2(scalar(*db, sql) == QLatin1String("0"), qPrintable(QStringLiteral("arrêt %1 : %2").arg(k).arg(what)));
            // What it said it committed is there.
            QVERIFY(last.startsWith(QLatin1String("saved ")));
            QCOMPARE(scalar(*db, QStringLiteral("select count(*) from kp_taches_desc where noid = ") + last.mid(6)),
                     QStringLiteral("1"));
        }
        auto db = m_db->connect();
        m_figures.append(QStringLiteral("%1 : %2 arrêts brutaux pendant une sauvegarde, %3 sauvegardes confirmées avant, "
                                        "%4 tâches en base, aucune incomplète")
                             .arg(m_db->isServer() ? QStringLiteral("MariaDB") : QStringLiteral("fichier"))
                             .arg(kills)
                             .arg(saves)
                             .arg(scalar(*db, QStringLiteral("select count(*) from kp_taches_desc"))));
    }
};

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
