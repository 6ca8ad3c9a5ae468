#include "core/SqlText.h"
#include "core/SqliteDatabase.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QTest>
#include <limits>

// The connection itself, on each back end: texts in and out, transactions, errors.
class TestDatabaseLayer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("database"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void textsRoundTripByteForByte_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("apostrophes") << "l'été d'O'Neil ''";
        QTest::newRow("backslash at the end") << "C:\\Documents\\";
        QTest::newRow("backslash quote") << "a\\'b\\\\'";
        QTest::newRow("wildcards") << "100% _exact_ *";
        QTest::newRow("accents") << QStringLiteral("Éléonore Œuvre Ç à ù ÿ €");
        QTest::newRow("non-latin") << QStringLiteral("Ελληνικά русский 日本語 עברית");
        QTest::newRow("outside the basic plane") << QStringLiteral("ok 😀 𝄞");
        QTest::newRow("line breaks and tabs") << "un\r\ndeux\ntrois\tquatre";
    }
    void textsRoundTripByteForByte()
    {
        QFETCH(QString, text);
        QVERIFY2(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('X','") + sqlText(text)
                           + QStringLiteral("')")),
                 qPrintable(db().lastError()));
        QCOMPARE(scalar(db(), QStringLiteral("select libelle from kp_villes where code = 'X'")), text.trimmed());
        // The value can be found again through a quoted comparison.
        QCOMPARE(scalar(db(), QStringLiteral("select code from kp_villes where libelle = '") + sqlText(text)
                                  + QStringLiteral("'")),
                 QStringLiteral("X"));
    }

    void longTextsComeBackWhole()
    {
        QString memo;
        for (int i = 0; i < 3000; ++i)
            memo += QStringLiteral("ligne %1 é\n").arg(i);
        QVERIFY(db().exec(QStringLiteral("insert into kp_memosoc (noidsoc,noressource,rgmemo,codememo,datememo,"
                                         "titrememo,hierar,commentaire,dtsaisie,ordisaisie,dtmodif,ordimodif) values "
                                         "(1,0,1,'/',")
                          + m_ws->session().dialect().dateValue(QDate(2026, 1, 2)) + QStringLiteral(",'t',1,'")
                          + sqlText(memo) + QStringLiteral("',") + m_ws->session().dialect().unsetDateValue()
                          + QStringLiteral(",'P',") + m_ws->session().dialect().unsetDateValue()
                          + QStringLiteral(",'P')")));
        QCOMPARE(scalar(db(), QStringLiteral("select commentaire from kp_memosoc")), memo);
        const QDateTime stored = parseDbDateTime(scalar(db(), QStringLiteral("select datememo from kp_memosoc")));
        QCOMPARE(stored.date(), QDate(2026, 1, 2));
    }

    void likeUsesTheDialectWildcard()
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('1','Paris')")));
        QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('2','Pau')")));
        QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('3','Lyon')")));
        const QString w = m_ws->session().dialect().wildcard();
        QCOMPARE(column(db(), QStringLiteral("select code from kp_villes where libelle like 'Pa") + w
                                  + QStringLiteral("' order by code")),
                 QStringList({"1", "2"}));
    }

    void nullsAreToldApart()
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_description (description,geslogin,afflogin) values ('',0,1)")));
        ResultSet rows;
        QVERIFY(db().query(QStringLiteral("select description,blocauto from kp_description"), rows));
        QCOMPARE(rows.rowCount(), 1);
        QVERIFY(!rows.isNull(0, 0));
        QVERIFY(rows.isNull(0, 1));
        QCOMPARE(rows.value(0, 1), QString());
    }

    // Values read as numbers, as the back ends hand them back: the quick path
    // for plain decimals must give exactly what the general conversion gives.
    void numbersReadFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("whole");
        QTest::addColumn<double>("number");
        QTest::newRow("integer") << "42" << qint64(42) << 42.0;
        QTest::newRow("blanks around") << " -7 " << qint64(-7) << -7.0;
        QTest::newRow("plus sign") << "+5" << qint64(5) << 5.0;
        QTest::newRow("integer as a real") << "3.0" << qint64(3) << 3.0;
        QTest::newRow("cut, not rounded") << "-3.7" << qint64(-3) << -3.7;
        QTest::newRow("tenth") << "0.1" << qint64(0) << 0.1;
        QTest::newRow("many decimals") << "1234567.891011" << qint64(1234567) << 1234567.891011;
        QTest::newRow("decimal comma") << "2,5" << qint64(0) << 2.5;
        QTest::newRow("beyond 15 digits") << "1234567890123456789" << qint64(1234567890123456789) << 1234567890123456789.0;
        QTest::newRow("exponent") << "1.5e3" << qint64(1500) << 1500.0;
        QTest::newRow("empty") << "" << qint64(0) << 0.0;
        QTest::newRow("not a number") << "abc" << qint64(0) << 0.0;
        QTest::newRow("two points") << "1.2.3" << qint64(0) << 0.0;
    }
    void numbersReadFromText()
    {
        QFETCH(QString, text);
        QFETCH(qint64, whole);
        QFETCH(double, number);
        ResultSet rows;
        rows.setColumns({QStringLiteral("v")});
        rows.appendValue(text, false);
        rows.endRow();
        QCOMPARE(rows.toLongLong(0, 0), whole);
        QCOMPARE(rows.toDouble(0, 0), number);
        QString reference = text.trimmed();
        QCOMPARE(rows.toDouble(0, 0), reference.replace(QLatin1Char(','), QLatin1Char('.')).toDouble());
    }

    void integersComeBackAsTheirDecimalText()
    {
        QList<qint64> values = {0, 7, -1, 2147483647, -2147483647 - 1};
        if (db().backend() == Backend::File) // wider integers than a server's "integer" column
            values += {Q_INT64_C(9223372036854775807), -Q_INT64_C(9223372036854775807) - 1};
        for (qint64 v : values)
            QVERIFY2(db().exec(QStringLiteral("insert into kp_zones (libzone,coulfond,coultexte,noidzone) values ('z',0,0,")
                               + (v == std::numeric_limits<qint64>::min() ? QStringLiteral("-9223372036854775807 - 1")
                                                                         : QString::number(v))
                               + QLatin1Char(')')),
                     qPrintable(db().lastError()));
        ResultSet rows;
        QVERIFY(db().query(QStringLiteral("select noidzone from kp_zones"), rows));
        QStringList texts;
        for (int r = 0; r < rows.rowCount(); ++r) {
            texts.append(rows.value(r, 0));
            QCOMPARE(rows.toLongLong(r, 0), rows.value(r, 0).toLongLong());
        }
        QStringList expected;
        for (qint64 v : values)
            expected.append(QString::number(v));
        texts.sort();
        expected.sort();
        QCOMPARE(texts, expected);
    }

    // Reals read back as the embedded engine itself writes them, whichever way they are read.
    void realsComeBackAsTheEngineWritesThem()
    {
        if (db().backend() != Backend::File)
            QSKIP("the embedded back end's own writing of reals");
        const QStringList values = {"3", "-0.25", "7.5", "0.75", "0", "1099511627775.75", "0.1", "2.675", "1e300", "-1e-5"};
        for (int i = 0; i < values.size(); ++i)
            QVERIFY(db().exec(QStringLiteral("insert into kp_taches_dates (noid,noiddate,datedeb,datefin,nbjours) values (1,")
                              + QString::number(i) + QStringLiteral(",'2027-01-01 00:00:00','2027-01-01 00:00:00',") + values.at(i)
                              + QLatin1Char(')')));
        ResultSet rows;
        QVERIFY(db().query(QStringLiteral("select nbjours,cast(nbjours as text) from kp_taches_dates order by noiddate"), rows));
        QCOMPARE(rows.rowCount(), int(values.size()));
        for (int r = 0; r < rows.rowCount(); ++r) {
            QCOMPARE(rows.value(r, 0), rows.value(r, 1));
            QCOMPARE(rows.toDouble(r, 0), values.at(r).toDouble());
        }
    }

    void rollbackLeavesNothing()
    {
        {
            Transaction t(db());
            QVERIFY(t.isActive());
            QVERIFY(db().inTransaction());
            QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('1','Paris')")));
            // destroyed without commit
        }
        QVERIFY(!db().inTransaction());
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_villes")), QStringLiteral("0"));

        Transaction t(db());
        QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('1','Paris')")));
        QVERIFY(t.commit());
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_villes")), QStringLiteral("1"));
    }

    void failuresCarryTheEngineText()
    {
        ResultSet rows;
        QVERIFY(!db().query(QStringLiteral("select nothing from kp_absente"), rows));
        QVERIFY(!db().lastError().isEmpty());
        QVERIFY(rows.isEmpty());
        QVERIFY(db().exec(QStringLiteral("delete from kp_villes where code = 'personne'")));
        QVERIFY(db().lastError().isEmpty());
    }

    void changedRowsCountsTheLastStatement()
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('1','Paris')")));
        QCOMPARE(db().changedRows(), 1);
        QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('2','Pau')")));
        QVERIFY(db().exec(QStringLiteral("update kp_villes set libelle = 'x' where code in ('1','2')")));
        QCOMPARE(db().changedRows(), 2);
        // A second workstation's conditional update finds nothing left to change.
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(other.db().exec(QStringLiteral("update kp_villes set libelle = 'y' where code = '1' and libelle = 'z'")));
        QCOMPARE(other.db().changedRows(), 0);
        // A select in between does not keep the previous count.
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_villes")), QStringLiteral("2"));
        QCOMPARE(db().changedRows(), 0);
        QVERIFY(db().exec(QStringLiteral("delete from kp_villes")));
        QCOMPARE(db().changedRows(), 2);
    }

    void aSecondWorkstationSeesCommittedRows()
    {
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(db().exec(QStringLiteral("insert into kp_villes (code,libelle) values ('1','Paris')")));
        QCOMPARE(scalar(other.db(), QStringLiteral("select libelle from kp_villes")), QStringLiteral("Paris"));
    }

    // A write kept waiting past the timeout says so in French, and trying
    // again once the other workstation is done succeeds.
    void busyFileSaysSoAndARetryClears()
    {
        if (m_db->isServer())
            QSKIP("the server's own wait is covered by the write lock's timeout");
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(db().begin());
        auto &waiting = static_cast<SqliteDatabase &>(other.db());
        waiting.setBusyTimeout(300);
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!waiting.begin());
        QVERIFY(waited.elapsed() >= 300);
        QVERIFY2(waiting.lastError().startsWith(Database::busyText()), qPrintable(waiting.lastError()));
        QVERIFY(!waiting.exec(QStringLiteral("insert into kp_villes (code,libelle) values ('2','Lyon')")));
        QVERIFY(waiting.lastError().startsWith(Database::busyText()));
        QVERIFY(db().commit());
        QVERIFY(waiting.begin());
        QVERIFY(waiting.exec(QStringLiteral("insert into kp_villes (code,libelle) values ('2','Lyon')")));
        QVERIFY(waiting.commit());
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLayer)
#include "tst_database.moc"
