#include "MessagingFixture.h"

#include "core/SqlText.h"
#include "messaging/AlertDelivery.h"
#include "messaging/Mailbox.h"
#include "tasks/Periodicity.h"
#include "tasks/TaskAlerts.h"

#include <QTest>

// Task alerts given as notes: once per recipient, whatever the workstations
// and restarts, again when the task moves, never for a task gone or ended.
class TestAlertDelivery : public QObject
{
    Q_OBJECT
private:
    MessagingFixture m_fx{QStringLiteral("alertdelivery")};
    Session *m_bruno = nullptr;
    const QDate m_day{2026, 3, 12};

    QDateTime at(int hour, int minute, int second = 0) const { return QDateTime(m_day, QTime(hour, minute, second)); }

    // Task n from `start` to `end`, of type "Entretien chaudière", for client Durand SA.
    void addTask(qint64 n, const QDateTime &start, const QDateTime &end)
    {
        Session &s = *m_bruno;
        const QString N = QString::number(n);
        QVERIFY(insertRow(*s.database(), s.dialect(), QStringLiteral("kp_taches_desc"),
                          {{QStringLiteral("noid"), N}, {QStringLiteral("noidtache"), QStringLiteral("3")},
                           {QStringLiteral("noalerte"), N}}));
        QVERIFY(insertRow(*s.database(), s.dialect(), QStringLiteral("kp_taches_dates"),
                          {{QStringLiteral("noid"), N}, {QStringLiteral("noiddate"), QStringLiteral("1")},
                           {QStringLiteral("datedeb"), s.dialect().dateTimeValue(start)},
                           {QStringLiteral("datefin"), s.dialect().dateTimeValue(end)}}));
        QVERIFY(MessagingFixture::exec(s, QStringLiteral("insert into kp_taches_clients (noid,noidsoc) values (%1,12)").arg(n)));
    }
    void moveTask(qint64 n, const QDateTime &start)
    {
        QVERIFY(MessagingFixture::exec(*m_bruno, QStringLiteral("update kp_taches_dates set datedeb = ") + m_bruno->dialect().dateTimeValue(start)
                                                     + QStringLiteral(" where noid = ") + QString::number(n)));
    }
    QStringList poll(Session &s, const QDateTime &now, QList<Note> *notes = nullptr)
    {
        return MessagingFixture::poll(s, now, notes);
    }

private slots:
    void initTestCase() { QUENZO_REQUIRE_BACKEND(); }
    void init()
    {
        QVERIFY(m_fx.reset());
        m_bruno = &m_fx.desk(QStringLiteral("POSTE2"), QStringLiteral("Bruno"));
        QVERIFY(MessagingFixture::addCompany(*m_bruno, 12, QStringLiteral("Durand SA")));
        QVERIFY(MessagingFixture::exec(*m_bruno, QStringLiteral("insert into kp_taches (noidtache,libtache,coulfond,coultexte,typehor,"
                                                                "duree,durde,dura) values (3,'Entretien chaudière',0,0,0,'/','/','/')")));
        addTask(7, at(14, 0), at(16, 0));
        // Alert 30 minutes before, for Bruno and Chloé.
        QVERIFY(TaskAlerts::write(*m_bruno, 7, 30, QStringLiteral("Apporter le joint"),
                                  {QStringLiteral("Bruno"), QStringLiteral("Chloé")}));
    }

    void givenOncePerRecipientAcrossWorkstationsAndRestarts()
    {
        Session &brunoElsewhere = m_fx.desk(QStringLiteral("POSTE3"), QStringLiteral("Bruno"));
        Session &chloe = m_fx.desk(QStringLiteral("POSTE4"), QStringLiteral("Chloé"));

        QVERIFY(poll(*m_bruno, at(13, 29, 59)).isEmpty());
        QList<Note> notes;
        QCOMPARE(poll(*m_bruno, at(13, 30, 5), &notes), QStringList{"Alerte : Entretien chaudière"});
        const Note &alert = notes.first();
        QVERIFY(alert.isAlert());
        QCOMPARE(alert.text, QStringLiteral("Tâche : Entretien chaudière\r\nLe 12/03/2026 à 14:00\r\n"
                                            "Client : Durand SA\r\nApporter le joint"));
        QCOMPARE(alert.client, 12);
        QCOMPARE(alert.original, -7);

        // Bruno's other workstation, now and after a restart of both: nothing more.
        QVERIFY(poll(brunoElsewhere, at(13, 31)).isEmpty());
        m_fx.close(brunoElsewhere);
        m_fx.close(*m_bruno);
        m_bruno = &m_fx.desk(QStringLiteral("POSTE2"), QStringLiteral("Bruno"));
        QVERIFY(poll(*m_bruno, at(13, 45)).isEmpty());
        int given = -1;
        QVERIFY(AlertDelivery::deliverDue(*m_bruno, at(13, 46), &given));
        QCOMPARE(given, 0);

        // Chloé gets hers, once.
        QCOMPARE(poll(chloe, at(15, 0)), QStringList{"Alerte : Entretien chaudière"});
        QVERIFY(poll(chloe, at(15, 1)).isEmpty());
        QCOMPARE(MessagingFixture::count(*m_bruno), QStringLiteral("2"));
        // In the mailbox, from "Alerte".
        QList<MailboxEntry> box;
        QVERIFY(Mailbox::list(*m_bruno, &box));
        QCOMPARE(box.size(), 1);
        QCOMPARE(box.first().correspondent, QStringLiteral("Alerte"));
        QVERIFY(box.first().alert);
    }

    void twoWorkstationsOfOneUserWriteOneNote()
    {
        Session &brunoElsewhere = m_fx.desk(QStringLiteral("POSTE3"), QStringLiteral("Bruno"));
        int here = 0, there = 0;
        QVERIFY(AlertDelivery::deliverDue(*m_bruno, at(13, 40), &here));
        QVERIFY(AlertDelivery::deliverDue(brunoElsewhere, at(13, 40), &there));
        QCOMPARE(here + there, 1);
        QCOMPARE(poll(brunoElsewhere, at(13, 41)).size() + poll(*m_bruno, at(13, 41)).size(), 1);
    }

    void readByAnOlderWorkstationAsAPlainNote()
    {
        QVERIFY(AlertDelivery::deliverDue(*m_bruno, at(13, 30)));
        // What a workstation without alert delivery reads and writes.
        const QString bruno = PasswordCodec::encode(QStringLiteral("Bruno"));
        ResultSet rows;
        QVERIFY(m_bruno->database()->query(QStringLiteral("select m.noidmessage,m.utilemett,m.decale,m.dtdest,m.hdest,m.archivedest,"
                                                          "m.suppemett,m.accuse,m.titre from kp_messages m where m.utildest = '")
                                               + bruno + QStringLiteral("' and m.archivedest = 0 "),
                                           rows));
        QCOMPARE(rows.rowCount(), 1);
        QCOMPARE(PasswordCodec::decode(rows.value(0, 1)), QStringLiteral(" Alerte"));
        QCOMPARE(rows.value(0, 2), QStringLiteral("1"));
        QCOMPARE(parseDbDateTime(rows.value(0, 3)).date(), m_day);
        QCOMPARE(rows.value(0, 4), QStringLiteral("13:30"));
        QCOMPARE(rows.value(0, 6), QStringLiteral("0"));
        QCOMPARE(rows.value(0, 7), QStringLiteral("0"));
        QVERIFY(MessagingFixture::exec(*m_bruno, QStringLiteral("update kp_messages set  dtrecep = ") + m_bruno->dialect().dateValue(m_day)
                                                     + QStringLiteral(", hrecep = '13:31', archivedest = 1  where  noidmessage = ")
                                                     + rows.value(0, 0) + QStringLiteral(" and  utildest = '") + bruno + QLatin1Char('\'')));
        // This workstation does not give it again.
        QVERIFY(poll(*m_bruno, at(13, 32)).isEmpty());
    }

    void givenAgainOnlyWhenTheTaskMoves_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("moved later") << "later" << QStringList{"Alerte : Entretien chaudière"};
        QTest::newRow("moved by a few seconds") << "seconds" << QStringList{};
        QTest::newRow("alert removed") << "removed" << QStringList{};
        QTest::newRow("task deleted") << "deleted" << QStringList{};
    }
    void givenAgainOnlyWhenTheTaskMoves()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        QCOMPARE(poll(*m_bruno, at(13, 35)).size(), 1);
        if (change == QLatin1String("later")) {
            moveTask(7, at(15, 0));
        } else if (change == QLatin1String("seconds")) {
            moveTask(7, at(14, 0, 30));
        } else if (change == QLatin1String("removed")) {
            QVERIFY(TaskAlerts::write(*m_bruno, 7, std::nullopt, QString(), {}));
        } else {
            QVERIFY(MessagingFixture::exec(*m_bruno, QStringLiteral("delete from kp_taches_desc where noid = 7")));
        }
        QVERIFY(poll(*m_bruno, at(14, 10)).isEmpty());
        QCOMPARE(poll(*m_bruno, at(14, 40)), expected);
    }

    void notGivenOnceTheTaskHasEnded()
    {
        QVERIFY(poll(*m_bruno, at(16, 0, 1)).isEmpty());
        // An alert for a task already running is still given.
        addTask(8, at(9, 0), at(18, 0));
        QVERIFY(TaskAlerts::write(*m_bruno, 8, 0, QString(), {QStringLiteral("Bruno")}));
        QCOMPARE(poll(*m_bruno, at(16, 0, 2)).size(), 1);
    }

    void givenBeforeEachOccurrenceOfASeries()
    {
        // Task 9: every day from 09:00 to 10:00 from 10/03/2026; Bruno warned 15 minutes before.
        Session &s = *m_bruno;
        QVERIFY(insertRow(*s.database(), s.dialect(), QStringLiteral("kp_taches_desc"),
                          {{QStringLiteral("noid"), QStringLiteral("9")}, {QStringLiteral("noidtache"), QStringLiteral("3")},
                           {QStringLiteral("noidper"), QStringLiteral("9")}, {QStringLiteral("origine"), QStringLiteral("1")}}));
        QVERIFY(insertRow(*s.database(), s.dialect(), QStringLiteral("kp_taches_dates"),
                          {{QStringLiteral("noid"), QStringLiteral("9")}, {QStringLiteral("noiddate"), QStringLiteral("1")},
                           {QStringLiteral("datedeb"), s.dialect().dateTimeValue(QDateTime(QDate(2026, 3, 10), QTime(9, 0)))},
                           {QStringLiteral("datefin"), s.dialect().dateTimeValue(QDateTime(QDate(2026, 3, 10), QTime(10, 0)))}}));
        PeriodRule rule;
        rule.noid = 9;
        rule.hordeb = QStringLiteral("09:00");
        rule.horfin = QStringLiteral("10:00");
        rule.datedeb = QDate(2026, 3, 10);
        QVERIFY(Periodicity::saveRule(*s.database(), s.dialect(), rule));
        QVERIFY(TaskAlerts::write(s, 9, 15, QString(), {QStringLiteral("Bruno")}));

        QVERIFY(poll(s, at(8, 44)).isEmpty());
        QList<Note> notes;
        QCOMPARE(poll(s, at(8, 46), &notes).size(), 1);
        QVERIFY(notes.first().text.contains(QStringLiteral("Le 12/03/2026 à 09:00")));
        QVERIFY(poll(s, at(9, 30)).isEmpty());
        // The occurrence of the 13th cancelled: nothing that day; the 14th comes.
        const QList<Occurrence> thirteenth = Periodicity::ExpandRule(rule, QDate(2026, 3, 13), QDate(2026, 3, 13));
        QCOMPARE(thirteenth.size(), 1);
        QVERIFY(Periodicity::cancelOccurrence(*s.database(), s.dialect(), 9, thirteenth.first()));
        QVERIFY(poll(s, QDateTime(QDate(2026, 3, 13), QTime(8, 50))).isEmpty());
        QCOMPARE(poll(s, QDateTime(QDate(2026, 3, 14), QTime(8, 50)), &notes).size(), 1);
        QVERIFY(notes.first().text.contains(QStringLiteral("Le 14/03/2026 à 09:00")));
    }

    void recordLetGoOnceTheTaskHasEndedAndTheNoteIsDeleted()
    {
        QCOMPARE(poll(*m_bruno, at(13, 35)).size(), 1);
        QList<MailboxEntry> box;
        QVERIFY(Mailbox::list(*m_bruno, &box));
        QVERIFY(Mailbox::remove(*m_bruno, box.first()));
        // Deleted while the task is ahead: the record stays, nothing is given again.
        QCOMPARE(MessagingFixture::count(*m_bruno), QStringLiteral("1"));
        QVERIFY(poll(*m_bruno, at(13, 50)).isEmpty());
        // The task over, the next polls let it go.
        poll(*m_bruno, at(16, 30));
        poll(*m_bruno, at(16, 31));
        QCOMPARE(MessagingFixture::count(*m_bruno), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestAlertDelivery)
#include "tst_alertdelivery.moc"
