#include "core/RecordLocks.h"
#include "core/SqlText.h"
#include "core/widgets/DateField.h"
#include "core/widgets/HourMinuteEdit.h"
#include "resources/GesIndispo.h"
#include "resources/HoursStore.h"
#include "resources/LeaveStore.h"
#include "resources/TimeOff.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// Leave entries: the screen, its checks, numbering, history and deletion.
class TestGesIndispo : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    const QDate monday{2026, 3, 2};

    Database &db() { return m_ws->db(); }
    double number(const QString &sql) { return scalar(db(), sql).toDouble(); }
    QString joined() const { return m_prompter.texts().join(QLatin1Char('|')); }

    void preset(GesIndispo &screen, const QDate &start, const QString &from, const QDate &end, const QString &to)
    {
        screen.setPresets(7, start, from, end, to);
        screen.typeList()->setCurrentIndex(screen.typeList()->findData(QStringLiteral("CP")));
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("gesindispo"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        m_ws->session().description().geslogin = false;
        m_prompter.clear();
        QVERIFY(HoursStore::saveCompanyHours(db(), CompanyHours{})); // 09:00-18:00, "1111100"
        QVERIFY(TimeOff::saveLeaveType(db(), {QStringLiteral("CP"), QStringLiteral("Congés payés"), QDate(2000, 6, 1),
                                              QDate(2000, 5, 31), 25, 0xFFFF00, 0}));
        for (int n : {3, 7})
            QVERIFY2(insertResource(db(), n, QStringLiteral("Res %1").arg(n)), qPrintable(db().lastError()));
    }

    void newLeaveStoredWithItsWorkingDays_data()
    {
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("from");
        QTest::addColumn<double>("days");
        QTest::addColumn<double>("hours");
        QTest::newRow("Monday to Friday") << monday.addDays(4) << QStringLiteral("09:00") << 5.0 << 0.0;
        QTest::newRow("one afternoon") << monday << QStringLiteral("14:00") << 0.5 << 0.0;
    }
    void newLeaveStoredWithItsWorkingDays()
    {
        QFETCH(QDate, end);
        QFETCH(QString, from);
        QFETCH(double, days);
        QFETCH(double, hours);
        QCOMPARE(monday.dayOfWeek(), 1);

        GesIndispo screen(m_ws->session(), m_prompter, 0);
        QVERIFY(screen.windowTitle().endsWith(QStringLiteral(" - CREATION")));
        QCOMPARE(screen.resourceList()->toolTip(), QStringLiteral("Sélectionnez une Ressource pour la Tâche"));
        QVERIFY(!screen.deleteButton()->isEnabled());
        preset(screen, monday, from, end, QStringLiteral("18:00"));
        QCOMPARE(sqlNumber(screen.range()->daysField()->text(), 2).toDouble(), days);
        screen.commentField()->setPlainText(QStringLiteral("Vacances d'hiver"));
        screen.lockBox()->setChecked(true);
        if (QTest::currentDataTag() == QLatin1String("Monday to Friday"))
            saveScreenshot(screen, QStringLiteral("gesindispo"));
        QTest::mouseClick(screen.saveButton(), Qt::LeftButton);
        QVERIFY2(m_prompter.texts().isEmpty(), qPrintable(joined()));
        QCOMPARE(screen.result(), int(QDialog::Accepted));

        QCOMPARE(scalar(db(), QStringLiteral("select codeconge from kp_taches_desc where noid = 1")), QStringLiteral("CP"));
        QCOMPARE(scalar(db(), QStringLiteral("select commentaire from kp_taches_desc where noid = 1")), QStringLiteral("Vacances d'hiver"));
        QCOMPARE(number(QStringLiteral("select blocadm from kp_taches_desc where noid = 1")), 1.0);
        QCOMPARE(number(QStringLiteral("select nbjours from kp_taches_dates where noid = 1 and noiddate = 1")), days);
        QCOMPARE(number(QStringLiteral("select nbheures from kp_taches_dates where noid = 1")), hours);
        QCOMPARE(parseDbDateTime(scalar(db(), QStringLiteral("select datedeb from kp_taches_dates where noid = 1"))),
                 QDateTime(monday, QTime::fromString(from, QStringLiteral("hh:mm"))));
        QCOMPARE(parseDbDateTime(scalar(db(), QStringLiteral("select datefin from kp_taches_dates where noid = 1"))),
                 QDateTime(end, QTime(18, 0)));
        QCOMPARE(column(db(), QStringLiteral("select noidressource from kp_taches_ressources where noid = 1")), QStringList{"7"});
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_clients")), QStringLiteral("0"));
        QCOMPARE(column(db(), QStringLiteral("select typehisto from histo_taches_desc where noid = 1")), QStringList{"1"});
    }

    void inconsistentLeaveRefused_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("18:00 to 09:00") << monday << QStringLiteral("18:00") << monday << QStringLiteral("09:00") << true
                                        << QStringLiteral("L'heure de de début est supérieure ou égale à l'heure de fin !!");
        QTest::newRow("Friday to Thursday") << monday.addDays(4) << QStringLiteral("09:00") << monday.addDays(3)
                                            << QStringLiteral("18:00") << true
                                            << QStringLiteral("La date de début est supérieure à la date de fin !!");
        QTest::newRow("no end") << monday << QStringLiteral("09:00") << QDate() << QStringLiteral("18:00") << true
                                << QStringLiteral("Vous devez renseigner les dates de début et de fin !!");
        QTest::newRow("no type") << monday << QStringLiteral("09:00") << monday << QStringLiteral("18:00") << false
                                 << QStringLiteral("Vous devez renseigner le type de congé");
    }
    void inconsistentLeaveRefused()
    {
        QFETCH(QDate, start);
        QFETCH(QString, from);
        QFETCH(QDate, end);
        QFETCH(QString, to);
        QFETCH(bool, typed);
        QFETCH(QString, message);
        GesIndispo screen(m_ws->session(), m_prompter, 0);
        preset(screen, start, from, end, to);
        if (!typed)
            screen.typeList()->setCurrentIndex(0);
        QTest::mouseClick(screen.saveButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{message});
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_desc")), QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_taches_dates")), QStringLiteral("0"));
    }

    void newLeaveSkipsNumbersKeptInHistory()
    {
        QVERIFY(db().exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,"
                                         "codeconge,commentaire,noidutil) values (12,0,'/','/',0,0,0,'/','',0)")));
        QVERIFY(db().exec(QStringLiteral("insert into histo_taches_desc (nomordi,nohisto,typehisto,noid,noidtache,urgence,codeprojet,"
                                         "blocage,nbjours,nbheures,codeconge,commentaire) values "
                                         "('POSTE2',1,-1,41,0,'/','/',0,0,0,'/','')")));
        LeaveEntry entry;
        entry.resource = 3;
        entry.leaveType = QStringLiteral("CP");
        entry.startDate = entry.endDate = monday;
        const Outcome saved = LeaveStore::save(m_ws->session(), &entry);
        QVERIFY2(saved, qPrintable(saved.text()));
        QCOMPARE(entry.number, 42);
        QCOMPARE(scalar(db(), QStringLiteral("select codeconge from kp_taches_desc where noid = 42")), QStringLiteral("CP"));
    }

    void existingLeaveModifiedThenDeleted()
    {
        Session &session = m_ws->session();
        LeaveEntry entry;
        entry.resource = 3;
        entry.leaveType = QStringLiteral("CP");
        entry.startDate = monday;
        entry.endDate = monday.addDays(4);
        entry.comment = QStringLiteral("avant");
        QVERIFY(LeaveStore::save(session, &entry));
        const QString N = QString::number(entry.number);

        QVERIFY(RecordLocks::take(session, LockKind::Task, entry.number));
        {
            GesIndispo screen(session, m_prompter, entry.number);
            QVERIFY(screen.windowTitle().endsWith(QStringLiteral(" - MODIFICATION")));
            QCOMPARE(screen.resourceList()->currentData().toLongLong(), 3);
            QCOMPARE(screen.range()->startDate()->date(), monday);
            QCOMPARE(screen.range()->endTime()->time(), QStringLiteral("18:00"));
            QVERIFY(screen.deleteButton()->isEnabled());
            screen.range()->endTime()->setTime(QStringLiteral("13:00")); // Friday morning only
            QCOMPARE(sqlNumber(screen.range()->daysField()->text(), 2), QStringLiteral("4.50"));
            screen.commentField()->setPlainText(QStringLiteral("après"));
            QTest::mouseClick(screen.saveButton(), Qt::LeftButton);
            QVERIFY2(m_prompter.texts().isEmpty(), qPrintable(joined()));
        }
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_verrou")), QStringLiteral("0"));
        QCOMPARE(number(QStringLiteral("select nbjours from kp_taches_dates where noid = ") + N), 4.5);
        // The snapshot holds the state before the change.
        QCOMPARE(scalar(db(), QStringLiteral("select commentaire from histo_taches_desc where typehisto = 0 and noid = ") + N),
                 QStringLiteral("avant"));

        QVERIFY(RecordLocks::take(session, LockKind::Task, entry.number));
        GesIndispo screen(session, m_prompter, entry.number);
        m_prompter.answer({true});
        QTest::mouseClick(screen.deleteButton(), Qt::LeftButton);
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Supprimer le congé ?")});
        QCOMPARE(scalar(db(), QStringLiteral("select commentaire from histo_taches_desc where typehisto = -1 and noid = ") + N),
                 QStringLiteral("après"));
        for (const QString &table : {QStringLiteral("kp_taches_desc"), QStringLiteral("kp_taches_dates"), QStringLiteral("kp_taches_ressources")})
            QCOMPARE(scalar(db(), QStringLiteral("select count(*) from ") + table), QStringLiteral("0"));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_verrou")), QStringLiteral("0"));
    }

    void slotFillsTimesAndNextDay()
    {
        TimeSlot night{0, QStringLiteral("Nuit"), QStringLiteral("22:00"), QStringLiteral("06:00"), 1};
        QVERIFY(HoursStore::saveSlot(db(), &night));
        GesIndispo screen(m_ws->session(), m_prompter, 0);
        preset(screen, monday, QStringLiteral("09:00"), monday, QStringLiteral("18:00"));
        const int index = screen.range()->slotList()->findData(night.number);
        QVERIFY(index > 0);
        screen.range()->applySlot(index);
        QCOMPARE(screen.range()->startTime()->time(), QStringLiteral("22:00"));
        QCOMPARE(screen.range()->endTime()->time(), QStringLiteral("06:00"));
        QCOMPARE(screen.range()->endDate()->date(), monday.addDays(1));

        QVERIFY(HoursStore::removeSlot(db(), night.number));
        screen.range()->applySlot(index);
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Cet horaire n'est plus défini")});
    }
};

QTEST_MAIN(TestGesIndispo)
#include "tst_gesindispo.moc"
