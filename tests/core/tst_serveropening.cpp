#include "core/OdbcDatabase.h"
#include "support/TestDatabase.h"

#include <QTest>

// Opening a MariaDB server database through its ODBC data source.
class TestServerOpening : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("serveropening"));
        QVERIFY(m_db->makeReady());
    }

    void opensWithTheMySqlDialect()
    {
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(ws.open());
        QVERIFY(ws.session().isDatabaseOpen());
        QCOMPARE(ws.session().dialect().backend(), Backend::MySql);
        // A backslash closing a text can no longer escape its quote.
        QVERIFY(ws.db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('A','fin\\')")));
        QCOMPARE(scalar(ws.db(), QStringLiteral("select code from kp_villes where libelle = 'fin\\'")), QStringLiteral("A"));
    }

    void refusalsLeaveTheSessionWithoutDatabase_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("wrong password") << "Pass" << "mauvais" << "Access denied";
        QTest::newRow("unknown database") << "NomBase" << "qz_inexistante" << "Unknown database";
        QTest::newRow("server not answering") << "DSN Name" << "QuenzoTestDown" << "Can't connect";
        QTest::newRow("unknown data source") << "DSN Name" << "Inconnue" << "IM002";
    }
    void refusalsLeaveTheSessionWithoutDatabase()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        ws.settings().write(QStringLiteral("Base"), key, value);
        const Outcome outcome = ws.open();
        QVERIFY(!outcome);
        QCOMPARE(outcome.messages().size(), 1);
        QCOMPARE(outcome.title(), QStringLiteral("Erreur"));
        QVERIFY2(outcome.text().contains(expected), qPrintable(outcome.text()));
        QVERIFY(!ws.session().isDatabaseOpen());
        QCOMPARE(ws.session().database(), nullptr);
    }

    void dataSourcesOfUsableDrivers()
    {
        QString error;
        const QList<DataSource> sources = listDataSources(&error);
        QStringList names;
        for (const DataSource &s : sources)
            names.append(s.name);
        QVERIFY(names.contains(QStringLiteral("QuenzoTest")));
        QVERIFY(names.contains(QStringLiteral("QuenzoTestDown")));
        QVERIFY(!names.contains(QStringLiteral("QuenzoOther"))); // a PostgreSQL source
        QVERIFY(error.isEmpty());
    }

    void connectString()
    {
        QCOMPARE(DatabaseOpener::connectStringFor(QStringLiteral("Compta"), QStringLiteral("planning"),
                                                  QStringLiteral("jean"), QStringLiteral("pw")),
                 QStringLiteral("ODBC;DATABASE=planning;UID=jean;PWD=pw;DSN=Compta;"));
        QCOMPARE(DatabaseOpener::connectStringFor(QString(), QString(), QString(), QString()),
                 QStringLiteral("ODBC;DATABASE=;UID=;PWD=;"));
        // A separator inside a value cannot cut the string.
        QCOMPARE(DatabaseOpener::connectStringFor(QStringLiteral("D"), QStringLiteral("b"), QStringLiteral("u"),
                                                  QStringLiteral("a;b}c")),
                 QStringLiteral("ODBC;DATABASE=b;UID=u;PWD={a;b}}c};DSN=D;"));
    }
};

QTEST_GUILESS_MAIN(TestServerOpening)
#include "tst_serveropening.moc"
