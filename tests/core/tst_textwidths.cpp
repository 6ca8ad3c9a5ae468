#include "core/TextWidths.h"
#include "support/TestDatabase.h"

#include <QTest>

// Texts longer than their column are refused the same way on every back end,
// before any engine sees them.
class TestTextWidths : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }

    static QString quoted(const QString &text) { return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("textwidths"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void statements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("refusal"); // empty: accepted
        const QString long61 = quoted(QString(61, QLatin1Char('a')));
        const QString fit60 = quoted(QString(60, QLatin1Char('\'')));
        const QString tooLong = QStringLiteral("Le texte de la zone libsoc (kp_societes) est trop long : 61 caractères pour 60 au plus");
        QTest::newRow("insert fits") << "insert into kp_societes (noidsoc,libsoc) values (1," + fit60 + ")" << QString();
        QTest::newRow("insert too long") << "insert into kp_societes (noidsoc,libsoc) values (1," + long61 + ")" << tooLong;
        QTest::newRow("insert, upper case") << "INSERT INTO kp_societes (noidsoc, LIBSOC) VALUES (1, " + long61 + ")" << tooLong;
        QTest::newRow("insert, several rows") << "insert into kp_societes (noidsoc,libsoc) values (1,'a'),(2," + long61 + ")" << tooLong;
        // The parser keeps in step past quotes, commas and brackets inside texts.
        QTest::newRow("insert, commas and brackets in texts")
            << "insert into kp_societes (villesoc,adrsoc,noidsoc,libsoc) values ('a, (b)', 'c''), d', (1+2), " + long61 + ")"
            << tooLong;
        QTest::newRow("update too long") << "update kp_societes set villesoc = 'x', libsoc = " + long61 + " where noidsoc = 1" << tooLong;
        QTest::newRow("update, where is not a value") << "update kp_societes set libsoc = 'a' where libsoc = " + long61 << QString();
        QString rockets;
        for (int i = 0; i < 60; ++i)
            rockets += QStringLiteral("🚀");
        QTest::newRow("emoji count as one character") << "update kp_societes set libsoc = " + quoted(rockets) << QString();
        QTest::newRow("one emoji too many")
            << "update kp_societes set libsoc = " + quoted(rockets + QStringLiteral("🚀"))
            << QStringLiteral("Le texte de la zone libsoc (kp_societes) est trop long : 61 caractères pour 60 au plus");
        QTest::newRow("expression left to the engine") << "update kp_societes set libsoc = concat(libsoc, " + long61 + ")" << QString();
        QTest::newRow("select") << "select * from kp_societes where libsoc = " + long61 << QString();
        QTest::newRow("unknown table") << "insert into ailleurs (libsoc) values (" + long61 + ")" << QString();
        QTest::newRow("long text in bytes")
            << "update kp_societes set commentsoc = " + quoted(QString(32768, QChar(0xE9))) + " where noidsoc = 1"
            << QStringLiteral("Le texte de la zone commentsoc (kp_societes) est trop long : 65536 octets pour 65535 au plus");
        QTest::newRow("nul anywhere") << QStringLiteral("select * from kp_societes where libsoc = 'a") + QChar(0) + QStringLiteral("'")
                                      << QStringLiteral("Un texte contient un caractère nul, qui ne peut être ni enregistré ni cherché");
    }
    void statements()
    {
        QFETCH(QString, sql);
        QFETCH(QString, refusal);
        QCOMPARE(TextWidths::refusal(sql), refusal);
    }

    // The same refusal, and nothing written, on both back ends.
    void refusedAlikeOnEveryBackend()
    {
        const QString name = QString(300, QLatin1Char('N'));
        QVERIFY(!db().exec("insert into kp_societes (noidsoc,typesoc,libsoc) values (1,0," + quoted(name) + ")"));
        QCOMPARE(db().lastError(), QStringLiteral("Le texte de la zone libsoc (kp_societes) est trop long : 300 caractères pour 60 au plus"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_societes")), QStringLiteral("0"));

        // The widest text of emoji fits on the server too, and comes back whole.
        QString widest;
        for (int i = 0; i < 60; ++i)
            widest += QStringLiteral("🚀");
        QVERIFY2(insertRow(db(), m_ws->session().dialect(), QStringLiteral("kp_societes"),
                           {{QStringLiteral("noidsoc"), QStringLiteral("2")}, {QStringLiteral("libsoc"), quoted(widest)}}),
                 qPrintable(db().lastError()));
        QCOMPARE(scalar(db(), QStringLiteral("select libsoc from kp_societes where noidsoc = 2")), widest);
        QVERIFY(!db().exec("update kp_societes set libsoc = " + quoted(widest + QLatin1Char('x')) + " where noidsoc = 2"));
        QVERIFY(db().lastError().startsWith(QLatin1String("Le texte de la zone libsoc")));
        QCOMPARE(scalar(db(), QStringLiteral("select libsoc from kp_societes where noidsoc = 2")), widest);
    }
};

QTEST_GUILESS_MAIN(TestTextWidths)
#include "tst_textwidths.moc"
