#include "core/Schema.h"
#include "support/TestDatabase.h"

#include <QTest>

// The schema check: a new database, an old one, a verified one, a failing step.
class TestSchema : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;

    static OpenCallbacks createQuietly()
    {
        OpenCallbacks callbacks;
        callbacks.confirm = [](const QString &, const QString &) { return true; };
        callbacks.askNewPassword = []() -> std::optional<QString> { return QString(); };
        return callbacks;
    }

    // Columns of a table as the database reports them; empty when it is missing.
    static QStringList columnsOf(Database &db, const QString &table)
    {
        ResultSet rows;
        if (!db.query(QStringLiteral("select * from ") + table + QStringLiteral(" where 1 = 0"), rows))
            return {};
        QStringList names = rows.columns();
        for (QString &n : names)
            n = n.toLower();
        return names;
    }

    static bool tableExists(Database &db, const QString &table)
    {
        ResultSet rows;
        return db.query(QStringLiteral("select count(*) from ") + table, rows);
    }

    // An empty database holding only the given statements' tables.
    std::unique_ptr<Database> blankWith(const QStringList &statements)
    {
        if (!m_db->makeBlank())
            return nullptr;
        auto db = m_db->connect();
        for (const QString &sql : statements)
            if (!db || !db->exec(sql)) {
                qWarning("%s: %s", qPrintable(sql), db ? qPrintable(db->lastError()) : "");
                return nullptr;
            }
        return db;
    }

    QString ddl(const char *table) const
    {
        return createTableSql(*schemaTable(QString::fromLatin1(table)),
                              Dialect(m_db->isServer() ? Backend::MySql : Backend::File));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("schema"));
    }

    void newDatabaseReceivesEveryTable()
    {
        QVERIFY(m_db->makeBlank());
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        const Outcome opened = ws.open(true, createQuietly());
        QVERIFY2(opened, qPrintable(opened.text()));
        QVERIFY(ws.session().isDatabaseOpen());

        for (const TableSpec &table : schemaTables()) {
            QStringList expected;
            for (const ColumnSpec &c : table.columns)
                expected.append(QString::fromLatin1(c.name));
            QCOMPARE(columnsOf(ws.db(), QString::fromLatin1(table.name)), expected);
        }
        QCOMPARE(column(ws.db(), QStringLiteral("select numver from kp_versions where nomtable = 'kp'")),
                 QStringList{"2"});
        QCOMPARE(column(ws.db(), QStringLiteral("select racc from kp_civilites order by numero")),
                 QStringList({"Mr", "Mme", "Mle"}));
        QCOMPARE(column(ws.db(), QStringLiteral("select comp from kp_civilites order by numero")),
                 QStringList({"Monsieur", "Madame", "Mademoiselle"}));
        QCOMPARE(ws.session().civilities()[2].fullName, QStringLiteral("Mademoiselle"));

        // Created columns refuse NULL; columns added by an upgrade accept it.
        QVERIFY(!ws.db().exec(QStringLiteral("insert into kp_zones (noidzone,libzone,coulfond,coultexte) "
                                             "values (1,null,0,0)")));
        QVERIFY(ws.db().exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin) values "
                                            "(1,1,'2026-01-01','2026-01-01')")));
        QVERIFY(ws.db().exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,"
                                            "nbjours,nbheures,codeconge,commentaire) values "
                                            "(1,0,'/','/',0,0,0,'/','')")));
        QCOMPARE(scalar(ws.db(), QStringLiteral("select noidutil from kp_taches_desc")), QStringLiteral("0"));
    }

    // A verified database costs its opening one probe and the state write.
    void verifiedDatabaseIsNotProbed()
    {
        QVERIFY(m_db->makeReady());
        {
            auto db = m_db->connect();
            QVERIFY(db->exec(QStringLiteral("drop table kp_zones")));
        }
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        DatabaseOpener opener(ws.session());
        QVERIFY(opener.open(false));
        QCOMPARE(opener.schemaStatements(), 2);
        QVERIFY(!tableExists(ws.db(), QStringLiteral("kp_zones")));
    }

    void versionValueDecides_data()
    {
        QTest::addColumn<QString>("numver");
        QTest::addColumn<bool>("checked");
        QTest::newRow("1 runs every step") << "1" << true;
        QTest::newRow("2 skips them") << "2" << false;
        QTest::newRow("any other value skips them") << "7" << false;
        QTest::newRow("not a number skips them") << "abc" << false;
    }
    void versionValueDecides()
    {
        QFETCH(QString, numver);
        QFETCH(bool, checked);
        QVERIFY(m_db->makeReady());
        {
            auto db = m_db->connect();
            QVERIFY(db->exec(QStringLiteral("drop table kp_zones")));
            QVERIFY(db->exec(QStringLiteral("update kp_versions set numver = '%1'").arg(numver)));
        }
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(ws.open());
        QCOMPARE(tableExists(ws.db(), QStringLiteral("kp_zones")), checked);
        QCOMPARE(scalar(ws.db(), QStringLiteral("select numver from kp_versions")), QStringLiteral("2"));
    }

    void missingVersionRowMeansStateOne()
    {
        QVERIFY(m_db->makeReady());
        {
            auto db = m_db->connect();
            QVERIFY(db->exec(QStringLiteral("delete from kp_versions")));
            QVERIFY(db->exec(QStringLiteral("drop table kp_refresh")));
        }
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(ws.open());
        QVERIFY(tableExists(ws.db(), QStringLiteral("kp_refresh")));
        QCOMPARE(column(ws.db(), QStringLiteral("select numver from kp_versions")), QStringList{"2"});
    }

    void oldDatabaseGainsItsColumns()
    {
        const Dialect dialect(m_db->isServer() ? Backend::MySql : Backend::File);
        const QString day = dialect.unsetDateValue();
        auto old = blankWith({
            ddl("kp_versions"),
            QStringLiteral("insert into kp_versions(nomtable,numver) values ('kp','1')"),
            ddl("kp_societes"),
            QStringLiteral("insert into kp_societes values (1,0,'Durand SA','/','/',0,'/','/',%1,'/','/','/','/','/',"
                           "'/','/','/','/','/','/','',%1,'P',%1,'P',0,0)")
                .arg(day),
            QStringLiteral("insert into kp_societes values (2,1,'/','/','/',1,'Anne','Roy',%1,'/','/','/','/','/','/',"
                           "'/','/','/','/','/','',%1,'P',%1,'P',0,0)")
                .arg(day),
            ddl("kp_taches_desc"),
            QStringLiteral("insert into kp_taches_desc values (5,1,'/','/',0,1,8,'/','vieille tâche')"),
            ddl("histo_taches_desc").replace(QStringLiteral(", noidutil smallint not null"), QString()),
            QStringLiteral("create table kp_alertes (noid smallint not null, commentaire text not null)"),
            QStringLiteral("insert into kp_alertes values (5,'ancienne alerte')"),
        });
        QVERIFY(old);
        old.reset();

        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        const Outcome opened = ws.open();
        QVERIFY2(opened, qPrintable(opened.text()));
        Database &db = ws.db();
        QCOMPARE(column(db, QStringLiteral("select cloture from kp_societes order by noidsoc")), QStringList({"0", "0"}));
        QCOMPARE(column(db, QStringLiteral("select noidzone from kp_societes order by noidsoc")), QStringList({"0", "0"}));
        ResultSet rows;
        QVERIFY(db.query(QStringLiteral("select nomico from kp_societes"), rows));
        QVERIFY(rows.isNull(0, 0) && rows.isNull(1, 0));
        QCOMPARE(scalar(db, QStringLiteral("select noidutil from kp_taches_desc where noid = 5")), QStringLiteral("0"));
        QCOMPARE(scalar(db, QStringLiteral("select commentaire from kp_taches_desc where noid = 5")),
                 QStringLiteral("vieille tâche"));
        // Alerts without "ecart" are lost: the table is made anew.
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from kp_alertes")), QStringLiteral("0"));
        QCOMPARE(columnsOf(db, QStringLiteral("kp_alertes")).value(1), QStringLiteral("ecart"));
        QVERIFY(columnsOf(db, QStringLiteral("histo_taches_desc")).contains(QStringLiteral("blocadm")));
        QCOMPARE(columnsOf(db, QStringLiteral("kp_description")).last(), QStringLiteral("blocauto"));
        QCOMPARE(scalar(db, QStringLiteral("select numver from kp_versions")), QStringLiteral("2"));
    }

    void customCivilitiesAreKept()
    {
        auto old = blankWith({
            ddl("kp_versions"),
            QStringLiteral("insert into kp_versions(nomtable,numver) values ('kp','1')"),
            ddl("kp_civilites"),
            QStringLiteral("insert into kp_civilites (numero,racc,comp) values (1,'Md','Madame la')"),
        });
        QVERIFY(old);
        old.reset();
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(ws.open());
        QCOMPARE(ws.session().civilities()[1].shortName, QStringLiteral("Md"));
        QCOMPARE(ws.session().civilities()[1].fullName, QStringLiteral("Madame la"));
        QCOMPARE(column(ws.db(), QStringLiteral("select racc from kp_civilites order by numero")),
                 QStringList({"Mr", "Md", "Mle"}));

        // A verified database reads them too.
        Workstation later(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(later.open());
        QCOMPARE(later.session().civilities()[1].shortName, QStringLiteral("Md"));
    }

    // A failing step stops the check with its message; the state stays 1 and
    // the next opening goes on from there.
    void failingStepResumesAtNextOpening()
    {
        auto db = blankWith({QStringLiteral("create table kp_zones (autre int)")});
        QVERIFY(db);
        db.reset();

        Workstation first(*m_db, QStringLiteral("POSTE1"));
        const Outcome failed = first.open();
        QVERIFY(!failed);
        QCOMPARE(failed.title(), QStringLiteral("Erreur SQL"));
        QCOMPARE(failed.text(), QStringLiteral("Impossible de créer la table des zones"));
        QVERIFY(!failed.dbError().isEmpty());
        QVERIFY(!first.session().isDatabaseOpen());

        db = m_db->connect();
        QCOMPARE(scalar(*db, QStringLiteral("select numver from kp_versions")), QStringLiteral("1"));
        QVERIFY(tableExists(*db, QStringLiteral("kp_taches")));              // step 45, done
        QVERIFY(!tableExists(*db, QStringLiteral("kp_tachescompetences"))); // step 47, not reached
        QVERIFY(db->exec(QStringLiteral("drop table kp_zones")));
        db.reset();

        Workstation second(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(second.open());
        QVERIFY(tableExists(second.db(), QStringLiteral("kp_tachescompetences")));
        QCOMPARE(scalar(second.db(), QStringLiteral("select numver from kp_versions")), QStringLiteral("2"));
    }

    void messagesUseTheCurrentWords()
    {
        auto db = blankWith({QStringLiteral("create table kp_ressources (autre int)")});
        QVERIFY(db);
        db.reset();
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        ws.session().terms().setTerm(Entity::Ressource, {QStringLiteral("Technicien"), QStringLiteral("Techniciens"),
                                                         QStringLiteral("0"), QStringLiteral("0")});
        const Outcome failed = ws.open();
        QCOMPARE(failed.text(), QStringLiteral("Impossible de créer la table (Techniciens)"));
    }

    void ddlText()
    {
        const TableSpec *zones = schemaTable(QStringLiteral("kp_zones"));
        QCOMPARE(createTableSql(*zones, Dialect(Backend::MySql)),
                 QStringLiteral("create table kp_zones (noidzone int not null, libzone varchar(120) not null, "
                                "coulfond int not null, coultexte int not null)"));
        const TableSpec *desc = schemaTable(QStringLiteral("kp_taches_desc"));
        QCOMPARE(addColumnSql(*desc, *desc->column(QStringLiteral("noidutil")), Dialect(Backend::File)),
                 QStringLiteral("alter table kp_taches_desc add noidutil smallint not null default 0"));
        QCOMPARE(addColumnSql(*desc, *desc->column(QStringLiteral("dteffect")), Dialect(Backend::MySql)),
                 QStringLiteral("alter table kp_taches_desc add dteffect datetime null"));
        const TableSpec *description = schemaTable(QStringLiteral("kp_description"));
        QCOMPARE(addColumnSql(*description, *description->column(QStringLiteral("blocauto")), Dialect(Backend::MySql)),
                 QStringLiteral("alter table kp_description add blocauto integer null"));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
