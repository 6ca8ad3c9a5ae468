#include "core/Settings.h"
#include "resources/profile/ProfileStore.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ProfileStore;

Q_DECLARE_METATYPE(ProfileRange)

namespace {
ProfileRange range(int day, const char *start, const char *end)
{
    return {day, minutesOf(QLatin1String(start)), minutesOf(QLatin1String(end))};
}
} // namespace

// The rules of the week picture that need no database.
class TestProfileRules : public QObject
{
    Q_OBJECT
private slots:
    void lengths_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("length");
        QTest::newRow("ends at midnight") << "20:00" << "24:00" << "04:00";
        QTest::newRow("minutes carried") << "08:30" << "12:15" << "03:45";
        QTest::newRow("whole day") << "00:00" << "24:00" << "24:00";
        QTest::newRow("reversed row") << "14:00" << "09:00" << "00:00";
    }
    void lengths()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, length);
        const ProfileRange r{0, minutesOf(start), minutesOf(end)};
        QCOMPARE(durationText(ProfileStore::length(r)), length);
        QCOMPARE(timeText(r.end), end);
    }

    void totalPastHundredHours()
    {
        QList<ProfileRange> week;
        for (int day = 0; day < 7; ++day)
            week.append(range(day, "00:00", "24:00"));
        week.append(range(0, "00:00", "00:30")); // an overlap the total does not judge
        QCOMPARE(durationText(totalMinutes(week)), QStringLiteral("168:30"));
    }

    void storedRowsAreRead()
    {
        const QList<ProfileRange> ranges = rangesOf({{"LUNDI", "08:00", "12:00"},
                                                     {"dimanche", "20:00", "24:00"},
                                                     {"Lundy", "08:00", "12:00"},
                                                     {"Mardi", "24:30", "25:00"},
                                                     {"Mardi", "9h", "10:00"}});
        QCOMPARE(ranges, QList<ProfileRange>({range(0, "08:00", "12:00"), {6, 1200, 1440}}));
    }

    void placement_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<ProfileRange>("candidate");
        QTest::addColumn<QString>("title");
        QTest::newRow("new range touching both") << -1 << range(0, "12:00", "14:00") << "";
        QTest::newRow("new range over another") << -1 << range(0, "11:00", "13:00") << "Désolé";
        QTest::newRow("covering another") << 1 << range(0, "07:00", "13:00") << "Désolé";
        QTest::newRow("moved over its own place") << 1 << range(0, "13:00", "17:00") << "";
        QTest::newRow("same hours, day taken") << 0 << range(1, "08:00", "12:00") << "Désolé";
        QTest::newRow("same hours, free day") << 0 << range(3, "08:00", "12:00") << "";
        QTest::newRow("up to midnight") << 1 << range(0, "20:00", "24:00") << "";
        QTest::newRow("past midnight") << 1 << ProfileRange{0, 1320, 1560} << "Erreur";
        QTest::newRow("before 00:00") << 0 << ProfileRange{0, -30, 210} << "Erreur";
    }
    void placement()
    {
        QFETCH(int, index);
        QFETCH(ProfileRange, candidate);
        QFETCH(QString, title);
        const QList<ProfileRange> ranges = {range(0, "08:00", "12:00"), range(0, "14:00", "18:00"), range(1, "08:00", "12:00")};
        const Outcome placed = checkPlacement(ranges, index, candidate);
        QCOMPARE(placed.title(), title);
        if (title == QLatin1String("Désolé"))
            QCOMPARE(placed.text(), QStringLiteral("Vous ne pouvez pas déplacer la tranche horaire ici"));
        if (title == QLatin1String("Erreur"))
            QCOMPARE(placed.text(), QStringLiteral("Vous ne pouvez pas déplacer en dehors des horaires permises"));
    }

    void snapping_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("snapped");
        QTest::newRow("down") << 67 << 15 << 60;
        QTest::newRow("up") << 68 << 15 << 75;
        QTest::newRow("to midnight") << 1438 << 5 << 1440;
        QTest::newRow("before 00:00") << -50 << 30 << -60;
    }
    void snapping()
    {
        QFETCH(int, minutes);
        QFETCH(int, step);
        QFETCH(int, snapped);
        QCOMPARE(snap(minutes, step), snapped);
    }

    void sortedFromTheFirstDay()
    {
        const QList<ProfileRange> ranges = {range(0, "14:00", "18:00"), range(2, "09:00", "10:00"), range(0, "08:00", "12:00"),
                                            range(6, "10:00", "11:00")};
        QCOMPARE(sorted(ranges, 2), QList<ProfileRange>({ranges[1], ranges[3], ranges[2], ranges[0]}));
    }

    void preferences()
    {
        QTemporaryDir dir;
        Settings settings(dir.filePath(QStringLiteral("q.ini")));
        QCOMPARE(ProfilePreferences::read(settings), ProfilePreferences());
        settings.write(QStringLiteral("PrefPlan"), QStringLiteral("PremJour"), QStringLiteral("7"));
        settings.write(QStringLiteral("PrefPlan"), QStringLiteral("Intervalle"), QStringLiteral("abc"));
        QCOMPARE(ProfilePreferences::read(settings), ProfilePreferences());

        ProfilePreferences changed;
        changed.firstDay = 6;
        changed.background = 0x00FF00;
        changed.writeChanges(settings, ProfilePreferences());
        QCOMPARE(settings.read(QStringLiteral("PrefPlan"), QStringLiteral("PremJour")), QStringLiteral("6"));
        QCOMPARE(settings.read(QStringLiteral("PrefPlan"), QStringLiteral("ArrPlan")), QStringLiteral("65280"));
        QVERIFY(!settings.contains(QStringLiteral("PrefPlan"), QStringLiteral("CoulActiv")));
        changed.precision = ProfilePreferences().precision; // the garbage stays unread
        QCOMPARE(ProfilePreferences::read(settings), changed);
    }
};

QTEST_GUILESS_MAIN(TestProfileRules)
#include "tst_profilerules.moc"
