#include "core/widgets/DateField.h"
#include "resources/CatalogueScreens.h"
#include "resources/TimeOff.h"
#include "core/SqlText.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

// Holidays and leave types, stores and screens, on both back ends.
class TestTimeOff : public QObject
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
        m_db = std::make_unique<TestDatabase>(QStringLiteral("timeoff"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_ws->session().description().geslogin = false;
        m_prompter.clear();
    }

    void recurringHolidayAppliesEveryYear()
    {
        GesJoursFer screen(m_ws->session(), m_prompter);
        screen.dateField()->setDate(QDate(2025, 7, 14));
        screen.labelField()->setText(QStringLiteral("Fête nationale"));
        screen.recurringBox()->setChecked(true);
        screen.save();
        QTest::mouseClick(screen.newButton(), Qt::LeftButton);
        screen.dateField()->setDate(QDate(2025, 12, 26));
        screen.labelField()->setText(QStringLiteral("Pont"));
        screen.save();
        QCOMPARE(screen.list()->topLevelItemCount(), 2);
        QCOMPARE(screen.list()->topLevelItem(0)->text(2), QStringLiteral("Oui")); // recurring first

        QList<Holiday> holidays;
        QVERIFY(TimeOff::holidays(m_ws->db(), &holidays));
        QCOMPARE(parseDbDateTime(scalar(m_ws->db(), QStringLiteral("select dateferie from kp_joursferies where repet = 1"))).date(),
                 QDate(2000, 7, 14));
        QVERIFY(TimeOff::isHoliday(holidays, QDate(2031, 7, 14)));
        QVERIFY(TimeOff::isHoliday(holidays, QDate(2025, 12, 26)));
        QVERIFY(!TimeOff::isHoliday(holidays, QDate(2026, 12, 26)));
        QVERIFY(!TimeOff::isHoliday(holidays, QDate(2031, 7, 15)));

        // Deleted on another workstation meanwhile.
        QVERIFY(m_ws->db().exec(QStringLiteral("delete from kp_joursferies")));
        screen.save();
        QCOMPARE(m_prompter.texts().value(0), QStringLiteral("Quelqu'un a supprimé ce jour férié"));
    }

    void leaveTypeInUseIsKept()
    {
        GesConges screen(m_ws->session(), m_prompter);
        QTest::mouseClick(screen.newButton(), Qt::LeftButton);
        screen.codeField()->setText(QStringLiteral("CP"));
        screen.labelField()->setText(QStringLiteral("Congés payés"));
        screen.fromField()->setDate(QDate(2026, 6, 1));
        screen.toField()->setDate(QDate(2027, 5, 31));
        screen.save();
        QVERIFY2(m_prompter.texts().isEmpty(), qPrintable(m_prompter.texts().join(QLatin1Char('|'))));
        QCOMPARE(parseDbDateTime(scalar(m_ws->db(), QStringLiteral("select dtfin from kp_conges"))).date(), QDate(2000, 5, 31));

        QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,"
                                               "nbheures,codeconge,commentaire,noidutil) values (1,0,'/','/',0,0,0,'CP','',0)")));
        screen.select(QStringLiteral("CP"));
        m_prompter.answer({true});
        screen.remove();
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Impossible de supprimer ce congé car il est utilisé !"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_conges")), QStringLiteral("1"));

        QVERIFY(m_ws->db().exec(QStringLiteral("delete from kp_taches_desc")));
        m_prompter.answer({true});
        screen.remove();
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Congé supprimé"));
        QCOMPARE(screen.list()->topLevelItemCount(), 0);

        QTest::mouseClick(screen.newButton(), Qt::LeftButton);
        screen.fromField()->clear();
        screen.codeField()->setText(QStringLiteral("MAL"));
        screen.save();
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Saisie incomplete"));
    }
};

QTEST_MAIN(TestTimeOff)
#include "tst_timeoff.moc"
