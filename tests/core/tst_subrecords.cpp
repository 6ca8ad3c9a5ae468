#include "core/SqlText.h"
#include "core/SubRecords.h"
#include "support/TestDatabase.h"

#include <QTest>

// Sub-records: numbering per owner, updates, the display order, vanished rows.
class TestSubRecords : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    const QString Error = QStringLiteral("Erreur lors de la mise à jour des mémos");

    SubRecordValues memo(const QString &title)
    {
        const Dialect &d = m_ws->session().dialect();
        return {{QStringLiteral("codememo"), QStringLiteral("'/'")},
                {QStringLiteral("datememo"), d.dateValue(QDate(2026, 12, 6))},
                {QStringLiteral("titrememo"), QLatin1Char('\'') + sqlText(title) + QLatin1Char('\'')},
                {QStringLiteral("commentaire"), QStringLiteral("''")}};
    }
    qint64 add(const QList<qint64> &owner, const QString &title)
    {
        qint64 number = 0;
        const Outcome saved = SubRecords::save(m_ws->session(), SubRecordKinds::memos(), owner, memo(title), &number, Error,
                                               QStringLiteral("Ce mémo a été supprimé !!"));
        return saved ? number : -1;
    }
    QStringList titles(const QList<qint64> &owner)
    {
        return column(m_ws->db(), QStringLiteral("select titrememo from kp_memosoc where ")
                                      + SubRecords::ownerCondition(SubRecordKinds::memos(), owner) + QStringLiteral(" order by hierar"));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("subrecords"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void numberedPerOwner()
    {
        const QList<qint64> resource{0, 7}, client{7, 0};
        QCOMPARE(add(resource, QStringLiteral("un")), 1);
        QCOMPARE(add(resource, QStringLiteral("deux")), 2);
        QCOMPARE(add(client, QStringLiteral("client")), 1); // same table, other owner
        QCOMPARE(titles(resource), QStringList({"un", "deux"}));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select ordisaisie from kp_memosoc where noidsoc = 7")), QStringLiteral("POSTE1"));

        qint64 number = 1;
        QVERIFY(SubRecords::save(m_ws->session(), SubRecordKinds::memos(), resource, memo(QStringLiteral("un bis")), &number, Error,
                                 QStringLiteral("gone")));
        QCOMPARE(titles(resource), QStringList({"un bis", "deux"}));
        QCOMPARE(titles(client), QStringList{"client"});
    }

    void orderSwapsWithTheNeighbour()
    {
        const QList<qint64> owner{0, 3};
        for (const char *t : {"a", "b", "c"})
            add(owner, QLatin1String(t));
        const auto move = [&](qint64 number, int direction) {
            return SubRecords::move(m_ws->db(), SubRecordKinds::memos(), owner, number, direction, Error).ok();
        };
        QVERIFY(move(3, -1));
        QCOMPARE(titles(owner), QStringList({"a", "c", "b"}));
        QVERIFY(move(1, -1)); // the top one stays
        QCOMPARE(titles(owner), QStringList({"a", "c", "b"}));
        QVERIFY(move(2, +1)); // "b" is last now: stays
        QCOMPARE(titles(owner), QStringList({"a", "c", "b"}));
        QVERIFY(move(1, +1));
        QCOMPARE(titles(owner), QStringList({"c", "a", "b"}));
    }

    void vanishedRowIsReported()
    {
        const QList<qint64> owner{0, 4};
        qint64 number = add(owner, QStringLiteral("x"));
        QVERIFY(SubRecords::remove(m_ws->db(), SubRecordKinds::memos(), owner, number, QStringLiteral("e")));
        const Outcome gone = SubRecords::save(m_ws->session(), SubRecordKinds::memos(), owner, memo(QStringLiteral("y")), &number,
                                              Error, QStringLiteral("Ce mémo a été supprimé !!"));
        QCOMPARE(gone.title(), QStringLiteral("Disparu"));
        QCOMPARE(gone.text(), QStringLiteral("Ce mémo a été supprimé !!"));
        QVERIFY(titles(owner).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSubRecords)
#include "tst_subrecords.moc"
