#include "resources/profile/ProfileStore.h"
#include "support/TestDatabase.h"

#include <QTest>

// Saving and reading hour profiles, on both back ends.
class TestProfileStore : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }

    static ProfileRange range(int day, const char *start, const char *end)
    {
        return {day, ProfileStore::minutesOf(QLatin1String(start)), ProfileStore::minutesOf(QLatin1String(end))};
    }
    QStringList storedRows(qint64 number)
    {
        QList<ProfileDetail> rows;
        [&] { QVERIFY(ProfileStore::details(db(), number, &rows)); }();
        QStringList texts;
        for (const ProfileDetail &r : rows)
            texts.append(r.day + QLatin1Char(' ') + r.start + QLatin1Char('-') + r.end);
        return texts;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("profilestore"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
    }

    void incompleteProfilesAreRefused_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("withRange");
        QTest::addColumn<QString>("text");
        QTest::newRow("no label") << "" << true << "Vous devez renseigner un libellé !";
        QTest::newRow("blank label") << "   " << true << "Vous devez renseigner un libellé !";
        QTest::newRow("no range") << "Matin" << false << "Vous ne pouvez pas valider un profil horaire sans tranches !";
    }
    void incompleteProfilesAreRefused()
    {
        QFETCH(QString, label);
        QFETCH(bool, withRange);
        QFETCH(QString, text);
        HourProfile profile{0, label, {}};
        if (withRange)
            profile.ranges.append(range(0, "08:00", "12:00"));
        const Outcome saved = ProfileStore::save(db(), &profile);
        QCOMPARE(saved.title(), QStringLiteral("Incomplet"));
        QCOMPARE(saved.text(), text);
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_profil")), QStringLiteral("0"));
    }

    void savedThenModified()
    {
        HourProfile first{0, QStringLiteral("Soirée d'hiver"), {range(4, "20:00", "24:00"), range(0, "14:00", "18:00"),
                                                                range(0, "08:00", "12:00")}};
        QVERIFY(ProfileStore::save(db(), &first));
        QCOMPARE(first.number, 1);
        HourProfile second{0, QStringLiteral("Atelier"), {range(2, "06:00", "13:00")}};
        QVERIFY(ProfileStore::save(db(), &second));
        QCOMPARE(second.number, 2);
        QCOMPARE(storedRows(1), QStringList({"Lundi 08:00-12:00", "Lundi 14:00-18:00", "Vendredi 20:00-24:00"}));

        // The ranges are replaced, not added to.
        first.label = QStringLiteral("Soirée");
        first.ranges = {range(6, "10:00", "11:30")};
        QVERIFY(ProfileStore::save(db(), &first));
        QCOMPARE(first.number, 1);
        QCOMPARE(storedRows(1), QStringList{"Dimanche 10:00-11:30"});
        QCOMPARE(storedRows(2), QStringList{"Mercredi 06:00-13:00"});

        // A number whose row went missing is written back under that number.
        HourProfile lost{7, QStringLiteral("Nuit"), {range(1, "00:00", "06:00")}};
        QVERIFY(ProfileStore::save(db(), &lost));
        QList<ProfileEntry> list;
        QVERIFY(ProfileStore::list(db(), &list));
        QStringList labels;
        for (const ProfileEntry &e : list)
            labels.append(QString::number(e.number) + QLatin1Char(' ') + e.label);
        QCOMPARE(labels, QStringList({"2 Atelier", "7 Nuit", "1 Soirée"}));
    }

    void readBack()
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_profil (noidprofil,libprofil) values (3,'Décalé')")));
        for (const char *row : {"'MARDI','13:00','24:00'", "'mardi','08:00','12:00'", "'Jeudi','7:30','9:00'"})
            QVERIFY(db().exec(QStringLiteral("insert into kp_profildet (noidprofil,jour,hdeb,hfin) values (3,%1)")
                                  .arg(QLatin1String(row))));
        HourProfile profile;
        QVERIFY(ProfileStore::read(db(), 3, &profile));
        QCOMPARE(profile.label, QStringLiteral("Décalé"));
        QCOMPARE(profile.ranges, QList<ProfileRange>({range(1, "08:00", "12:00"), range(1, "13:00", "24:00"),
                                                      range(3, "07:30", "09:00")}));
    }

    void vanishedProfile()
    {
        HourProfile profile;
        const Outcome read = ProfileStore::read(db(), 42, &profile);
        QVERIFY(!read);
        QCOMPARE(read.title(), QStringLiteral("Disparition"));
        QCOMPARE(read.text(), QStringLiteral("Ce profil a été supprimé !"));
    }
};

QTEST_GUILESS_MAIN(TestProfileStore)
#include "tst_profilestore.moc"
