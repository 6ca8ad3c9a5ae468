#include "core/Database.h"
#include "core/SqlText.h"
#include "seed/SeedGenerator.h"
#include "tasks/Periodicity.h"
#include "support/TestDatabase.h"

#include <QProcess>
#include <QTest>

// The demonstration data generator and quenzo-cli seed, on a fresh database each time.
class TestSeed : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_a;
    std::unique_ptr<TestDatabase> m_b;

    static SeedOptions small()
    {
        SeedOptions o;
        o.resources = 20;
        o.clients = 50;
        o.dateLines = 300;
        o.series = 12;
        return o;
    }
    // A ready, empty database and a workstation on it.
    std::unique_ptr<Workstation> fresh(TestDatabase &db)
    {
        if (!db.makeReady())
            return nullptr;
        auto ws = std::make_unique<Workstation>(db, QStringLiteral("POSTE1"));
        return ws->open() ? std::move(ws) : nullptr;
    }
    static int count(Database &db, const QString &sql) { return scalar(db, QStringLiteral("select count(*) ") + sql).toInt(); }
    static QStringList dump(Database &db, const QString &table, const QString &order)
    {
        ResultSet rows;
        if (!db.query(QStringLiteral("select * from %1 order by %2").arg(table, order), rows))
            return {table + QStringLiteral(": unreadable")};
        QStringList lines;
        for (int r = 0; r < rows.rowCount(); ++r) {
            QStringList values;
            for (int c = 0; c < rows.columnCount(); ++c)
                values.append(rows.isNull(r, c) ? QStringLiteral("<null>") : rows.value(r, c));
            lines.append(values.join(QLatin1Char('|')));
        }
        return lines;
    }
    static QStringList dumps(Database &db)
    {
        return dump(db, QStringLiteral("kp_taches_dates"), QStringLiteral("noid,noiddate"))
               + dump(db, QStringLiteral("kp_ressources"), QStringLiteral("noid"))
               + dump(db, QStringLiteral("kp_taches_desc"), QStringLiteral("noid"))
               + dump(db, QStringLiteral("kp_periode"), QStringLiteral("noid"));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_a = std::make_unique<TestDatabase>(QStringLiteral("seed_a"));
        m_b = std::make_unique<TestDatabase>(QStringLiteral("seed_b"));
    }

    void countsMatchTheReportAndTheOptions()
    {
        auto ws = fresh(*m_a);
        QVERIFY(ws);
        SeedReport r;
        const Outcome o = SeedGenerator(ws->session(), small()).run(&r);
        QVERIFY2(o, qPrintable(o.text() + QLatin1Char(' ') + o.dbError()));
        Database &db = ws->db();
        QCOMPARE(r.resources, 20);
        QCOMPARE(r.clients, 50);
        QCOMPARE(r.dateLines, 300);
        QCOMPARE(r.series, 12);
        QVERIFY(r.leaveEntries > 0);
        QVERIFY(r.detached > 0);
        QVERIFY(r.companyHours);
        const QList<QPair<const char *, int>> tables = {
            {"kp_ressources", r.resources},       {"kp_societes", r.clients},        {"kp_libresoc", r.clients},
            {"kp_taches_desc", r.tasks},          {"kp_taches_dates", r.dateLines},  {"kp_taches_ressources", r.taskResources},
            {"kp_taches_clients", r.taskClients}, {"kp_periode", r.series},          {"kp_taches", r.taskTypes},
            {"kp_conges", r.leaveTypes},          {"kp_urgences", r.urgencies},      {"kp_zones", r.zones},
            {"kp_secteurs", r.sectors},           {"kp_projets", r.projects},        {"kp_equipes", r.teams},
            {"kp_equipes_ress", r.teamMembers},   {"kp_etapes", r.stages},           {"kp_etapes_taches", r.stageCriteria},
            {"kp_joursferies", r.holidays},       {"kp_paramplan", 1}};
        for (const auto &[table, expected] : tables)
            QVERIFY2(count(db, QStringLiteral("from ") + QLatin1String(table)) == expected, table);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc where codeconge <> '/'")), r.leaveEntries);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc where origine = -1")), r.cancelled);
        // One team is left without members.
        QCOMPARE(count(db, QStringLiteral("from kp_equipes where noequipe not in (select noequipe from kp_equipes_ress)")), 1);
    }

    void sameSeedSameDatabase()
    {
        auto a = fresh(*m_a);
        auto b = fresh(*m_b);
        QVERIFY(a && b);
        SeedReport ra, rb;
        QVERIFY(SeedGenerator(a->session(), small()).run(&ra));
        QVERIFY(SeedGenerator(b->session(), small()).run(&rb));
        const QStringList first = dumps(a->db());
        QVERIFY(first.size() > 300);
        QCOMPARE(dumps(b->db()), first);

        SeedOptions other = small();
        other.seed = 2;
        b = fresh(*m_b);
        QVERIFY(b && SeedGenerator(b->session(), other).run(&rb));
        QVERIFY(dumps(b->db()) != first);
    }

    void rowsHoldTogether()
    {
        auto ws = fresh(*m_a);
        QVERIFY(ws);
        SeedOptions options = small();
        options.series = 24; // every kind of rule, with and without an end, several times
        options.dateLines = 600;
        SeedReport r;
        QVERIFY(SeedGenerator(ws->session(), options).run(&r));
        Database &db = ws->db();

        QCOMPARE(column(db, QStringLiteral("select distinct periodicite from kp_periode order by periodicite")),
                 QStringList({"0", "1", "2", "3"}));
        QCOMPARE(count(db, QStringLiteral("from kp_periode where periodicite = 0 and typequot = 1")) > 0, true);
        QCOMPARE(count(db, QStringLiteral("from kp_periode where periodicite = 0 and typequot = 0")) > 0, true);
        QCOMPARE(count(db, QStringLiteral("from kp_periode where periodicite = 2 and typemois = 1")) > 0, true);
        QCOMPARE(count(db, QStringLiteral("from kp_periode where periodicite = 2 and typemois = 0")) > 0, true);
        // Each model's date line is the first occurrence of its stored rule.
        int withEnd = 0;
        for (const QString &model : column(db, QStringLiteral("select noid from kp_periode"))) {
            PeriodRule rule;
            bool found = false;
            QVERIFY(Periodicity::readRule(db, model.toLongLong(), &rule, &found) && found);
            withEnd += rule.hasEnd();
            const QList<Occurrence> first = Periodicity::ExpandRule(rule, rule.datedeb, rule.datedeb.addDays(400));
            QVERIFY(!first.isEmpty());
            QCOMPARE(parseDbDateTime(scalar(db, QStringLiteral("select datedeb from kp_taches_dates where noid = ") + model)),
                     first.first().start());
            QCOMPARE(scalar(db, QStringLiteral("select noidper from kp_taches_desc where origine = 1 and noid = ") + model), model);
        }
        QVERIFY(withEnd > 0 && withEnd < options.series);

        // Occurrences taken out of a series point at a model and have their own date line.
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc d where origine = 0 and noidper <> 0 and noidper in "
                                          "(select noid from kp_periode) and exists "
                                          "(select 1 from kp_taches_dates t where t.noid = d.noid)")),
                 r.detached);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc where origine = 0 and noidper <> 0")), r.detached);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc where origine = -1 and commentaire = 'DELETED' and noidper in "
                                          "(select noid from kp_periode)")),
                 r.cancelled);
        // Every task but the cancellation markers has a resource and a date line.
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc d where coalesce(origine, 0) <> -1 and not exists "
                                          "(select 1 from kp_taches_ressources t where t.noid = d.noid)")),
                 0);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc d where coalesce(origine, 0) <> -1 and not exists "
                                          "(select 1 from kp_taches_dates t where t.noid = d.noid)")),
                 0);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_dates where datefin <= datedeb")), 0);
        // Leave: one human resource, one range, no client, no task type.
        const QString leave = QStringLiteral("(select noid from kp_taches_desc where codeconge <> '/')");
        QCOMPARE(count(db, QStringLiteral("from kp_taches_clients where noid in ") + leave), 0);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_ressources t join kp_ressources r on r.noid = t.noidressource "
                                          "where r.typeressource = 0 and t.noid in ")
                               + leave),
                 r.leaveEntries);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_dates where noid in ") + leave), r.leaveEntries);
        QCOMPARE(count(db, QStringLiteral("from kp_taches_desc where codeconge <> '/' and (noidtache <> 0 or codeconge not in "
                                          "(select code from kp_conges))")),
                 0);
    }

    void refusals()
    {
        auto ws = fresh(*m_a);
        QVERIFY(ws);
        SeedReport r;
        SeedOptions wrong = small();
        wrong.dateLines = wrong.series; // too few for the series' own lines
        Outcome o = SeedGenerator(ws->session(), wrong).run(&r);
        QVERIFY(!o);
        QCOMPARE(o.title(), QStringLiteral("Paramètres incorrects"));

        QVERIFY(SeedGenerator(ws->session(), small()).run(&r));
        const QStringList before = dumps(ws->db());
        o = SeedGenerator(ws->session(), small()).run(&r);
        QVERIFY(!o);
        QCOMPARE(o.title(), QStringLiteral("Impossible"));
        QVERIFY(o.text().contains(QStringLiteral("kp_taches_desc")));
        QCOMPARE(dumps(ws->db()), before);
    }

    // The command creates the database when needed and says why it refuses.
    void commandLine()
    {
        QVERIFY(m_b->makeBlank());
        QStringList args = {QStringLiteral("seed")};
        if (m_b->isServer())
            args << QStringLiteral("--dsn") << qEnvironmentVariable("QUENZO_TEST_DSN") << QStringLiteral("--database")
                 << m_b->serverDatabase() << QStringLiteral("--user") << qEnvironmentVariable("QUENZO_TEST_DB_USER")
                 << QStringLiteral("--password") << qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD");
        else
            args << m_b->filePath();
        args << QStringLiteral("--resources") << QStringLiteral("5") << QStringLiteral("--clients") << QStringLiteral("7")
             << QStringLiteral("--lines") << QStringLiteral("40") << QStringLiteral("--series") << QStringLiteral("3")
             << QStringLiteral("--start") << QStringLiteral("01/03/2027") << QStringLiteral("--days") << QStringLiteral("30");
        QTemporaryDir home;
        const auto run = [&](const QStringList &arguments) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(QUENZO_CLI), arguments);
            p.waitForFinished(60000);
            return std::pair{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                             QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
        };
        auto [status, text] = run(args);
        QVERIFY2(status == 0, qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Lignes de dates : 40")), qPrintable(text));
        auto db = m_b->connect();
        QVERIFY(db);
        QCOMPARE(scalar(*db, QStringLiteral("select count(*) from kp_ressources")), QStringLiteral("5"));
        QCOMPARE(parseDbDateTime(scalar(*db, QStringLiteral("select min(datedeb) from kp_taches_dates"))).date() >= QDate(2027, 3, 1),
                 true);
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("Quenzo/Quenzo.ini"))));

        std::tie(status, text) = run(args);
        QCOMPARE(status, 1);
        QVERIFY2(text.contains(QStringLiteral("le jeu d'essai ne se génère que dans une base vide")), qPrintable(text));
        QCOMPARE(run({QStringLiteral("seed"), m_b->filePath(), QStringLiteral("--lines"), QStringLiteral("beaucoup")}).first, 2);
    }
};

QTEST_GUILESS_MAIN(TestSeed)
#include "tst_seed.moc"
