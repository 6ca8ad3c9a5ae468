#include "core/widgets/HourMinuteEdit.h"
#include "resources/GesHoraires.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

// The company hours and predefined slots screen, on both back ends.
class TestGesHoraires : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("geshoraires"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_prompter.clear();
    }

    void companyDay_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("ends at midnight") << "08:00" << "00:00" << "";
        QTest::newRow("ends before it starts") << "18:00" << "08:00"
                                               << "Vous ne pouvez pas définir un horaire de fin\ninférieur à l'horaire de début";
    }
    void companyDay()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, refusal);
        GesHoraires screen(m_ws->session(), m_prompter);
        QCOMPARE(screen.dayStart()->time(), QStringLiteral("09:00")); // defaults before the first save
        QVERIFY(screen.weekday(0)->isChecked() && !screen.weekday(6)->isChecked());
        screen.dayStart()->setTime(start);
        screen.dayEnd()->setTime(end);
        screen.weekday(5)->setChecked(true);
        screen.saveCompanyHours();
        CompanyHours saved;
        QVERIFY(CompanyHours::read(m_ws->db(), &saved));
        if (refusal.isEmpty()) {
            QVERIFY(m_prompter.texts().isEmpty());
            QCOMPARE(saved.hordeb, start);
            QCOMPARE(saved.horfin, QStringLiteral("24:00")); // read back as midnight
            QCOMPARE(saved.jourstrav, QStringLiteral("1111110"));
            QCOMPARE(scalar(m_ws->db(), QStringLiteral("select horfin from kp_paramplan")), QStringLiteral("00:00"));
            screen.saveCompanyHours(); // a second save updates the one row
            QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_paramplan")), QStringLiteral("1"));
        } else {
            QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Impossible"));
            QCOMPARE(m_prompter.texts().last(), refusal);
            QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_paramplan")), QStringLiteral("0"));
        }
    }

    void atLeastOneWorkingDay()
    {
        GesHoraires screen(m_ws->session(), m_prompter);
        for (int i = 0; i < 7; ++i)
            screen.weekday(i)->setChecked(false);
        screen.saveCompanyHours();
        QCOMPARE(m_prompter.texts(), QStringList{"Vous devez au moins définir une journée de travail !!!"});
    }

    void predefinedSlots()
    {
        GesHoraires screen(m_ws->session(), m_prompter);
        screen.tabs()->setCurrentIndex(1);
        QCOMPARE(screen.slotStart()->time(), QStringLiteral("09:00"));
        QTest::keyClicks(screen.slotLabel(), QStringLiteral("Nuit"));
        screen.slotStart()->setTime(QStringLiteral("22:00"));
        screen.slotEnd()->setTime(QStringLiteral("06:00"));
        screen.saveSlot();
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Incorrect"));
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("L'heure de fin est antérieur à l'heure de début"));
        screen.slotEndDay()->setCurrentIndex(1); // J+1
        screen.saveSlot();
        QCOMPARE(screen.slotList()->topLevelItemCount(), 1);
        QCOMPARE(screen.slotList()->topLevelItem(0)->text(3), QStringLiteral("J+1"));
        saveScreenshot(screen, QStringLiteral("horaires_predefinis"));

        // Deleted on another workstation meanwhile.
        QVERIFY(m_ws->db().exec(QStringLiteral("delete from kp_horpredef")));
        m_prompter.clear();
        screen.saveSlot();
        QCOMPARE(m_prompter.texts(), QStringList{"Cette tranche horaire n'existe plus !!"});
        QCOMPARE(screen.slotList()->topLevelItemCount(), 0);

        screen.tabs()->setCurrentIndex(0);
        saveScreenshot(screen, QStringLiteral("horaires_entreprise"));
    }
};

QTEST_MAIN(TestGesHoraires)
#include "tst_gehoraires.moc"
