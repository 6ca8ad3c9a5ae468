#include "clients/ClientRules.h"
#include "support/TestDatabase.h"

#include <QTest>

// Client rules: contract end proposals, document paths, deletion.
class TestClientRules : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
    }

    void contractEnd_data()
    {
        QTest::addColumn<int>("duration");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("none") << 0 << QDate();
        QTest::newRow("one day") << 1 << QDate(2026, 1, 31);
        QTest::newRow("one week") << 2 << QDate(2026, 2, 6);
        QTest::newRow("one month") << 3 << QDate(2026, 2, 27);
        QTest::newRow("six months") << 6 << QDate(2026, 7, 30);
        QTest::newRow("one year") << 7 << QDate(2027, 1, 30);
        QTest::newRow("five years") << 11 << QDate(2031, 1, 30);
        QTest::newRow("unlimited") << 12 << QDate();
    }
    void contractEnd()
    {
        QFETCH(int, duration);
        QFETCH(QDate, expected);
        QCOMPARE(ClientRules::proposedContractEnd(QDate(2026, 1, 31), duration), expected);
    }

    void documentPaths()
    {
        QCOMPARE(ClientRules::documentPath(QStringLiteral("/srv/Docs"), QStringLiteral("/srv/docs/Clients/devis.pdf")),
                 std::optional<QString>(QStringLiteral("Clients/devis.pdf")));
        QCOMPARE(ClientRules::documentPath(QStringLiteral("/srv/Docs/"), QStringLiteral("/srv/Docs/a.txt")),
                 std::optional<QString>(QStringLiteral("a.txt")));
        QCOMPARE(ClientRules::documentPath(QStringLiteral("/srv/Docs"), QStringLiteral("/srv/Docs2/a.txt")), std::nullopt);
        QCOMPARE(ClientRules::documentPath(QStringLiteral("/srv/Docs"), QStringLiteral("/srv/Docs/../etc/passwd")), std::nullopt);
        QCOMPARE(ClientRules::documentPath(QString(), QStringLiteral("/srv/Docs/a.txt")), std::nullopt);
    }

    void deletionKeepsTasks()
    {
        TestDatabase test(QStringLiteral("clientrules"));
        QVERIFY(test.makeReady());
        auto db = test.connect();
        const QStringList rows = {
            QStringLiteral("insert into kp_taches_clients (noid,noidsoc) values (5,12)"),
            QStringLiteral("insert into kp_taches_clients (noid,noidsoc) values (5,13)"),
            QStringLiteral("insert into kp_taches_ressources (noid,noidressource) values (5,1)"),
            QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,"
                           "commentaire,noidutil) values (5,0,'/','/',0,0,0,'/','',0)"),
            QStringLiteral("insert into kp_libresoc (noidsoc,ch1,ch2,ch3,ch4,ch5,ch6,ch7,tb1,tb2,tb3,tb4) values "
                           "(12,'/','/','/','/','/','/','/','/','/','/','/')"),
            QStringLiteral("insert into histo_taches_clients (nomordi,nohisto,noid,noidsoc) values ('P',1,5,12)"),
        };
        for (const QString &sql : rows)
            QVERIFY2(db->exec(sql), qPrintable(db->lastError()));
        QVERIFY(ClientRules::remove(*db, 12));
        QCOMPARE(column(*db, QStringLiteral("select noidsoc from kp_taches_clients")), QStringList{"13"});
        QCOMPARE(scalar(*db, QStringLiteral("select count(*) from kp_taches_desc")), QStringLiteral("1"));
        QCOMPARE(scalar(*db, QStringLiteral("select count(*) from kp_libresoc")), QStringLiteral("0"));
        QCOMPARE(scalar(*db, QStringLiteral("select count(*) from histo_taches_clients")), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestClientRules)
#include "tst_clientrules.moc"
