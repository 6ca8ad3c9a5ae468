#include "core/widgets/DateField.h"
#include "core/widgets/HourMinuteEdit.h"
#include "tasks/Frm_Periode.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

// The rule dialog: defaults, checks, the exchanged values and the preview.
class TestFrmPeriode : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;

    static QString cell(QTableView *view, int row, int column)
    {
        return view->model()->index(row, column).data().toString();
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("frmperiode"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_prompter.clear();
    }

    void defaultsFollowCompanyDays()
    {
        QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_paramplan (hordeb,horfin,durjour,jourstrav,hordmatmens,"
                                               "horfmatmens,hordapmens,horfapmens,hordmatann,horfapann) values ('08:00',"
                                               "'17:00','08:00','0111110','08:00','12:00','13:00','17:00','08:00','17:00')")));
        Frm_Periode screen(m_ws->session(), m_prompter);
        QCOMPARE(screen.startTime()->time(), QStringLiteral("09:00"));
        QCOMPARE(screen.endTime()->time(), QStringLiteral("18:00"));
        QCOMPARE(screen.rule().jour, QStringLiteral("0111110"));
        QVERIFY(screen.noEnd()->isChecked());
        // The working-day kind skips the company's days off (here Monday and Sunday).
        screen.workingDays()->setChecked(true);
        screen.firstDay()->setDate(QDate(2026, 12, 6)); // a Sunday
        screen.testFrom()->setDate(QDate(2026, 12, 6));
        screen.testTo()->setDate(QDate(2026, 12, 14));
        QTest::mouseClick(screen.testButton(), Qt::LeftButton);
        QCOMPARE(screen.preview()->model()->rowCount(), 5); // Tuesday 8 to Saturday 12
        QCOMPARE(cell(screen.preview(), 0, 1), QStringLiteral("08/12/2026 09:00"));
        QCOMPARE(cell(screen.preview(), 4, 1), QStringLiteral("12/12/2026 09:00"));
    }

    void checks_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("endDay");
        QTest::addColumn<QString>("yearDay");
        QTest::addColumn<int>("yearMonth");
        QTest::addColumn<bool>("clearBoxes");
        QTest::addColumn<QString>("message");
        QTest::newRow("end before start") << 0 << "18:00" << "09:00" << 0 << "1" << 0 << false << "Incohérence sur les horaires";
        QTest::newRow("end equals start") << 0 << "09:00" << "09:00" << 0 << "1" << 0 << false << "Incohérence sur les horaires";
        QTest::newRow("night next day") << 0 << "22:00" << "06:00" << 1 << "1" << 0 << false << "";
        QTest::newRow("no weekday") << 1 << "09:00" << "18:00" << 0 << "1" << 0 << true << "Vous devez au moins définir un jour !";
        QTest::newRow("no month") << 2 << "09:00" << "18:00" << 0 << "1" << 0 << true << "Vous devez au moins définir un mois !";
        QTest::newRow("29 February") << 3 << "09:00" << "18:00" << 0 << "29" << 1 << false << "";
        QTest::newRow("30 February") << 3 << "09:00" << "18:00" << 0 << "30" << 1 << false << "Incohérence sur la périodicité";
        QTest::newRow("31 April") << 3 << "09:00" << "18:00" << 0 << "31" << 3 << false << "Incohérence sur la périodicité";
        // The hours are checked first.
        QTest::newRow("hours before days") << 1 << "10:00" << "08:00" << 0 << "1" << 0 << true << "Incohérence sur les horaires";
    }
    void checks()
    {
        QFETCH(int, kind);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, endDay);
        QFETCH(QString, yearDay);
        QFETCH(int, yearMonth);
        QFETCH(bool, clearBoxes);
        QFETCH(QString, message);
        Frm_Periode screen(m_ws->session(), m_prompter);
        screen.kind(kind)->setChecked(true);
        screen.startTime()->setTime(start);
        screen.endTime()->setTime(end);
        screen.endDay()->setCurrentIndex(endDay);
        screen.yearDay()->setText(yearDay);
        screen.yearMonth()->setCurrentIndex(yearMonth);
        if (clearBoxes) {
            for (int i = 0; i < 7; ++i)
                screen.weekday(i)->setChecked(false);
            for (int i = 0; i < 12; ++i)
                screen.month(i)->setChecked(false);
        }
        const bool ok = screen.validate();
        QCOMPARE(ok, message.isEmpty());
        QCOMPARE(screen.result(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (ok) {
            QVERIFY(m_prompter.shown().isEmpty());
            QCOMPARE(screen.values().at(3), QString::number(kind));
        } else {
            QCOMPARE(m_prompter.shown().size(), 1);
            QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Erreur"));
            QCOMPARE(m_prompter.shown()[0].text, message);
        }
    }

    // The task form hands its 16 values in and gets them back after "Valider".
    void valuesRoundTrip_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::newRow("monthly end, no last day")
            << QStringList{"07:30", "16:15", "2", "2", "0", "4", "3", "0010100", "1", "12", "3", "010000000011", "6", "8",
                           "15/02/2026", ""};
        QTest::newRow("yearly with last day")
            << QStringList{"22:00", "06:00", "1", "3", "1", "1", "1", "1111100", "0", "31", "0", "111111111111", "29", "1",
                           "01/03/2024", "31/12/2040"};
        QTest::newRow("weekly") << QStringList{"09:00", "18:00", "0", "1", "0", "1", "2", "1001000", "0", "1", "0",
                                               "111111111111", "1", "0", "15/01/2025", "30/06/2027"};
    }
    void valuesRoundTrip()
    {
        QFETCH(QStringList, values);
        Frm_Periode screen(m_ws->session(), m_prompter);
        screen.setValues(values);
        QCOMPARE(screen.endsOn()->isChecked(), !values[15].isEmpty());
        QCOMPARE(screen.lastDay()->isEnabled(), !values[15].isEmpty());
        QVERIFY(screen.validate());
        QCOMPARE(screen.values(), values);
    }

    void cancelKeepsCallerRule()
    {
        Frm_Periode screen(m_ws->session(), m_prompter);
        const QStringList values = {"09:00", "18:00", "0", "0", "0", "2", "1", "1111100", "0", "1", "0",
                                    "111111111111", "1", "0", "05/01/2026", ""};
        screen.setValues(values);
        screen.dailyStep()->setText(QStringLiteral("5"));
        screen.reject();
        QCOMPARE(screen.values(), values);
    }

    void testerBeforeFirstDay()
    {
        Frm_Periode screen(m_ws->session(), m_prompter);
        screen.firstDay()->setDate(QDate(2026, 6, 1));
        screen.testFrom()->setDate(QDate(2026, 1, 1));
        screen.testTo()->setDate(QDate(2026, 5, 31));
        QTest::mouseClick(screen.testButton(), Qt::LeftButton);
        QCOMPARE(screen.preview()->model()->rowCount(), 0);
        QCOMPARE(m_prompter.shown().size(), 1);
        QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Période en dehors"));
        QCOMPARE(m_prompter.shown()[0].text, QStringLiteral("Pas de Tâche à cette période"));
    }

    // Weekly every 2 weeks on Monday and Thursday from a Wednesday.
    void testerListsOccurrences()
    {
        Frm_Periode screen(m_ws->session(), m_prompter);
        screen.kind(PeriodRule::Weekly)->setChecked(true);
        screen.weeklyStep()->setText(QStringLiteral("2"));
        for (int i = 0; i < 7; ++i)
            screen.weekday(i)->setChecked(i == 0 || i == 3);
        screen.startTime()->setTime(QStringLiteral("22:00"));
        screen.endTime()->setTime(QStringLiteral("06:00"));
        screen.endDay()->setCurrentIndex(1);
        screen.firstDay()->setDate(QDate(2025, 1, 15));
        screen.testFrom()->setDate(QDate(2025, 1, 1));
        screen.testTo()->setDate(QDate(2025, 2, 28));
        QTest::mouseClick(screen.testButton(), Qt::LeftButton);
        QTableView *view = screen.preview();
        QCOMPARE(view->model()->rowCount(), 7);
        QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date Deb"));
        QCOMPARE(cell(view, 0, 0), QStringLiteral("1"));
        QCOMPARE(cell(view, 0, 1), QStringLiteral("16/01/2025 22:00"));
        QCOMPARE(cell(view, 0, 2), QStringLiteral("17/01/2025 06:00"));
        QCOMPARE(cell(view, 1, 1), QStringLiteral("20/01/2025 22:00"));
        QCOMPARE(cell(view, 2, 1), QStringLiteral("30/01/2025 22:00"));
        QVERIFY(m_prompter.shown().isEmpty());
        saveScreenshot(screen, QStringLiteral("frm_periode_tester"));
    }
};

QTEST_MAIN(TestFrmPeriode)
#include "tst_frmperiode.moc"
