#include "core/Dialect.h"
#include "core/SqlText.h"

#include <QFile>
#include <QTest>

class TestSqlText : public QObject
{
    Q_OBJECT
private slots:
    void quoting_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("expected");
        QTest::newRow("apostrophe") << "O'Neil" << "" << "O''Neil";
        QTest::newRow("two quotes") << "'a''b'" << "" << "''a''''b''";
        QTest::newRow("trimmed") << "  Dupont  " << "" << "Dupont";
        QTest::newRow("empty gives default") << "" << "/" << "/";
        QTest::newRow("blanks give default") << "   " << "/" << "/";
        QTest::newRow("empty without default") << "" << "" << "";
        QTest::newRow("backslash kept") << "C:\\dossier\\" << "" << "C:\\dossier\\";
        QTest::newRow("line breaks kept") << "ligne 1\nligne 2\n" << "" << "ligne 1\nligne 2\n";
    }
    void quoting()
    {
        QFETCH(QString, value);
        QFETCH(QString, fallback);
        QFETCH(QString, expected);
        QCOMPARE(sqlText(value, fallback), expected);
    }

    void convertDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("to iso") << "25/12/2004" << "dd/mm/yyyy" << "yyyy-mm-dd" << "2004-12-25";
        QTest::newRow("to us") << "25/12/2004" << "dd/mm/yyyy" << "mm/dd/yyyy" << "12/25/2004";
        QTest::newRow("from iso") << "2004-12-25" << "yyyy-mm-dd" << "dd/mm/yyyy" << "25/12/2004";
        QTest::newRow("from us") << "12/25/2004" << "mm/dd/yyyy" << "yyyy-mm-dd" << "2004-12-25";
        QTest::newRow("unknown target") << "25/12/2004" << "dd/mm/yyyy" << "dd.mm.yy" << "25/12/2004";
    }
    void convertDate()
    {
        QFETCH(QString, text);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, expected);
        QCOMPARE(::convertDate(text, from, to), expected);
    }

    // The whole table of typed dates against its golden file.
    void dateEntryGolden()
    {
        QFile file(QStringLiteral(QUENZO_TEST_DATA "/date_entry.golden"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        const QDate today(2026, 6, 15);
        QStringList expected, actual;
        for (const QString &line : lines) {
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char('\t'));
            QCOMPARE(f.size(), 3);
            const DateEntry entry = normaliseDateEntry(f[0], f[1] == QLatin1String("full"), today);
            const QString result = entry.outOfRange ? QStringLiteral("!range")
                                   : entry.text.isEmpty() ? QStringLiteral("-")
                                                          : entry.text;
            QVERIFY(!(entry.outOfRange && !entry.text.isEmpty()));
            expected.append(line);
            actual.append(f[0] + QLatin1Char('\t') + f[1] + QLatin1Char('\t') + result);
        }
        QCOMPARE(actual.join(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
        QCOMPARE(DateEntry::rangeMessage(), QStringLiteral("Date incorrecte 1850 -> 2100"));
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("screen");
        QTest::newRow("whole gets zeros") << "12" << 2 << "12.00" << "12,00";
        QTest::newRow("padded") << "12,5" << 2 << "12.50" << "12,50";
        QTest::newRow("point read") << "12.5" << 2 << "12.50" << "12,50";
        QTest::newRow("no decimals") << "12,7" << 0 << "13" << "13";
        QTest::newRow("half up") << "2,345" << 2 << "2.35" << "2,35";
        QTest::newRow("half away from zero") << "-2,345" << 2 << "-2.35" << "-2,35";
        QTest::newRow("below half") << "2,344" << 2 << "2.34" << "2,34";
        QTest::newRow("carry") << "9,999" << 2 << "10.00" << "10,00";
        QTest::newRow("carry whole") << "99,5" << 0 << "100" << "100";
        QTest::newRow("inner minus dropped") << "1-2" << 1 << "12.0" << "12,0";
        QTest::newRow("trailing minus") << "-5-" << 1 << "-5.0" << "-5,0";
        QTest::newRow("blanks") << "  3,1 " << 3 << "3.100" << "3,100";
        QTest::newRow("empty") << "" << 2 << "0.00" << "0,00";
        QTest::newRow("leading zeros") << "007" << 1 << "7.0" << "7,0";
        QTest::newRow("stops at letters") << "12abc" << 1 << "12.0" << "12,0";
        QTest::newRow("negative zero") << "-0,001" << 2 << "0.00" << "0,00";
        QTest::newRow("fraction only") << ",5" << 2 << "0.50" << "0,50";
        QTest::newRow("20 decimals") << "1" << 20 << "1.00000000000000000000" << "1,00000000000000000000";
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(int, decimals);
        QFETCH(QString, sql);
        QFETCH(QString, screen);
        QCOMPARE(sqlNumber(text, decimals), sql);
        QCOMPARE(displayNumber(text, decimals, QLatin1Char(',')), screen);
    }

    void backendFromSettings_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<int>("backend");
        QTest::newRow("file") << false << "MySQL ODBC 8.0" << int(Backend::File);
        QTest::newRow("mysql any case") << true << "mySql odbc 5.1 Driver" << int(Backend::MySql);
        QTest::newRow("mariadb") << true << "MariaDB Unicode" << int(Backend::MySql);
        QTest::newRow("sql server") << true << "SQL Server" << int(Backend::OtherOdbc);
        QTest::newRow("freetds") << true << "FreeTDS" << int(Backend::OtherOdbc);
    }
    void backendFromSettings()
    {
        QFETCH(bool, odbc);
        QFETCH(QString, driver);
        QFETCH(int, backend);
        QCOMPARE(int(Dialect::backendFor(odbc, driver)), backend);
    }

    void dialectTable()
    {
        const Dialect file(Backend::File), mysql(Backend::MySql), other(Backend::OtherOdbc);
        QCOMPARE(file.typeName(ColumnType::ShortText, 10), QStringLiteral("varchar(10)"));
        QCOMPARE(file.typeName(ColumnType::Int), QStringLiteral("integer"));
        QCOMPARE(mysql.typeName(ColumnType::Int), QStringLiteral("int"));
        QCOMPARE(mysql.typeName(ColumnType::Amount), QStringLiteral("double"));
        QCOMPARE(other.typeName(ColumnType::Amount), QStringLiteral("money"));
        QCOMPARE(other.typeName(ColumnType::LongText), QStringLiteral("text"));
        // "*" never matches on a server: every back end uses "%".
        QCOMPARE(mysql.wildcard(), QStringLiteral("%"));
        QCOMPARE(file.wildcard(), QStringLiteral("%"));

        const QDate christmas(2004, 12, 25);
        QCOMPARE(file.dateValue(christmas), QStringLiteral("'2004-12-25'"));
        QCOMPARE(mysql.dateValue(QStringLiteral("25/12/2004")), QStringLiteral("'2004-12-25'"));
        QCOMPARE(other.dateValue(christmas), QStringLiteral("'25/12/2004'"));
        QCOMPARE(file.unsetDateValue(), QStringLiteral("'1900-01-01'"));
        QCOMPARE(file.dateFilter(christmas), QStringLiteral("'2004-12-25'"));
        QCOMPARE(other.dateFilter(christmas), QStringLiteral("'25/12/2004'"));
        const QDateTime evening(christmas, QTime(18, 5, 9));
        QCOMPARE(mysql.dateTimeValue(evening), QStringLiteral("'2004-12-25 18:05:09'"));
        QCOMPARE(other.dateTimeFilter(evening), QStringLiteral("'25/12/2004 18:05:09'"));

        QCOMPARE(file.concat({"a", "b"}), QStringLiteral("a || b"));
        QCOMPARE(mysql.concat({"a", "b"}), QStringLiteral("concat(a,b)"));
        QCOMPARE(other.concat({"a", "b"}), QStringLiteral("a + b"));
    }

    void datesReadBack()
    {
        QCOMPARE(parseDbDateTime(QStringLiteral("2004-12-25")), QDateTime(QDate(2004, 12, 25), QTime(0, 0)));
        QCOMPARE(parseDbDateTime(QStringLiteral("2004-12-25 18:05:09")), QDateTime(QDate(2004, 12, 25), QTime(18, 5, 9)));
        QCOMPARE(parseDbDateTime(QStringLiteral("25/12/2004 18:05")), QDateTime(QDate(2004, 12, 25), QTime(18, 5)));
        QCOMPARE(parseDbDateTime(QStringLiteral("2004-12-25 18:05:09.000")), QDateTime(QDate(2004, 12, 25), QTime(18, 5, 9)));
        QVERIFY(!parseDbDateTime(QStringLiteral("n'importe quoi")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
