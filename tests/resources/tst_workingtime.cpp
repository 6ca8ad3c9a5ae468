#include "resources/WorkingTime.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTest>

// Working days and hours of dated ranges, and the company hours they rest on.
class TestWorkingTime : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
    }

    // Every case of the golden file, compared whole.
    void durationsGolden()
    {
        QFile file(QStringLiteral(QUENZO_TEST_DATA "/working_durations.golden"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList expected, actual;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char('\t'));
            QCOMPARE(f.size(), 9);
            CompanyHours company;
            company.hordeb = f[4];
            company.horfin = f[5];
            company.jourstrav = f[6];
            const QDate start = QDate::fromString(f[0], Qt::ISODate);
            const QDate end = QDate::fromString(f[2], Qt::ISODate);
            const double days = CalculNbJours(start, f[1], end, f[3], company);
            const double hours = CalculNbHeures(start, f[1], end, f[3], company);
            expected.append(line);
            actual.append(QStringList(f.mid(0, 7)).join(QLatin1Char('\t')) + QLatin1Char('\t')
                          + QString::number(days, 'f', 2) + QLatin1Char('\t') + QString::number(hours, 'f', 2));
        }
        QCOMPARE(actual.join(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
    }

    void hoursBetween()
    {
        QCOMPARE(HoursBetween(QStringLiteral("09:00"), QStringLiteral("17:30")), 8.5);
        QCOMPARE(HoursBetween(QStringLiteral("20:00"), QStringLiteral("24:00")), 4.0);
        QCOMPARE(HoursBetween(QStringLiteral("18:00"), QStringLiteral("09:00")), -9.0);
    }

    void companyHoursReadWithDefaults()
    {
        TestDatabase test(QStringLiteral("workingtime"));
        QVERIFY(test.makeReady());
        auto db = test.connect();
        CompanyHours hours;
        QVERIFY(CompanyHours::read(*db, &hours));
        QCOMPARE(hours.hordeb, QStringLiteral("09:00"));
        QCOMPARE(hours.horfin, QStringLiteral("18:00"));
        QCOMPARE(hours.jourstrav, QStringLiteral("1111100"));

        QVERIFY(db->exec(QStringLiteral("insert into kp_paramplan (hordeb,horfin,durjour,jourstrav,hordmatmens,horfmatmens,"
                                        "hordapmens,horfapmens,hordmatann,horfapann) values "
                                        "('8:5','00:00','07:30','1111110','25:70','12:00','13:00','17:00','08:00','17:00')")));
        QVERIFY(CompanyHours::read(*db, &hours));
        QCOMPARE(hours.hordeb, QStringLiteral("08:05"));
        QCOMPARE(hours.horfin, QStringLiteral("24:00"));
        QCOMPARE(hours.hordmatmens, QStringLiteral("23:59"));
        QCOMPARE(hours.jourstrav, QStringLiteral("1111110"));
        QVERIFY(hours.isWorkingDay(6));
        QVERIFY(!hours.isWorkingDay(7));
    }
};

QTEST_GUILESS_MAIN(TestWorkingTime)
#include "tst_workingtime.moc"
