#include "core/PasswordCodec.h"
#include "core/SqlText.h"
#include "tasks/TaskAlerts.h"
#include "support/TestDatabase.h"

#include <QTest>

// A task's alert rows: recipients, partial rewrites and removal.
class TestTaskAlerts : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Database &db() { return m_ws->db(); }
    Session &session() { return m_ws->session(); }

    void exec(const QString &sql) { QVERIFY2(db().exec(sql), qPrintable(db().lastError() + QLatin1Char(' ') + sql)); }
    void addTask(int n)
    {
        exec(QStringLiteral("insert into kp_taches_desc (noid,noidtache,urgence,codeprojet,blocage,nbjours,nbheures,codeconge,"
                            "commentaire,noalerte,noidutil) values (%1,0,'/','/',0,0,0,'/','/',0,0)")
                 .arg(n));
    }
    void addMember(const QString &user, int group)
    {
        exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('%1',%2)").arg(PasswordCodec::encode(user)).arg(group));
    }
    // Recipients of task n's alert, decoded and sorted.
    QStringList recipients(int n)
    {
        QStringList codes;
        for (const QString &c : column(db(), QStringLiteral("select codeutil from kp_alertes where noid = %1").arg(n)))
            codes.append(PasswordCodec::decode(c));
        codes.sort();
        return codes;
    }
    QString noalerte(int n) { return scalar(db(), QStringLiteral("select noalerte from kp_taches_desc where noid = %1").arg(n)); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("taskalerts"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        session().setUser(QStringLiteral("Admin"), QString());
        addTask(7);
        // Group 1: Alice, Bruno, Chloé; group 2: Chloé, David; group 3: nobody.
        for (const char *u : {"Alice", "Bruno", "Chloé"})
            addMember(QString::fromUtf8(u), 1);
        addMember(QStringLiteral("Chloé"), 2);
        addMember(QStringLiteral("David"), 2);
    }
    void cleanup() { m_ws.reset(); }

    void offsets()
    {
        const auto &list = TaskAlerts::offsets();
        QCOMPARE(list.size(), 27);
        QCOMPARE(list.first().label, QStringLiteral("Pas d'alerte"));
        QVERIFY(!list.first().minutes);
        QCOMPARE(list.at(TaskAlerts::offsetIndex(0)).label, QStringLiteral("0 min"));
        QCOMPARE(list.at(TaskAlerts::offsetIndex(45)).label, QStringLiteral("45 min"));
        QCOMPARE(list.at(TaskAlerts::offsetIndex(720)).label, QStringLiteral("12 h"));
        QCOMPARE(list.at(TaskAlerts::offsetIndex(1440)).label, QStringLiteral("1 jour"));
        QCOMPARE(list.last().label, QStringLiteral("7 jours"));
        QCOMPARE(list.last().minutes.value_or(-1), 10080);
        QCOMPARE(TaskAlerts::offsetIndex(std::nullopt), 0);
        QCOMPARE(TaskAlerts::offsetIndex(7), 0); // not offered
    }

    void expansion_data()
    {
        QTest::addColumn<QStringList>("users");
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<QStringList>("expected"); // empty: refused
        QTest::newRow("group of three, one also alone") << QStringList{"Bruno"} << QList<int>{1}
                                                        << QStringList{"Bruno", "Alice", "Chloé"};
        QTest::newRow("overlapping groups") << QStringList{} << QList<int>{1, 2}
                                            << QStringList{"Alice", "Bruno", "Chloé", "David"};
        QTest::newRow("user twice") << QStringList{"Eve", " Eve "} << QList<int>{} << QStringList{"Eve"};
        QTest::newRow("user and empty group") << QStringList{"Eve"} << QList<int>{3} << QStringList{"Eve"};
        QTest::newRow("empty group only") << QStringList{} << QList<int>{3} << QStringList{};
        QTest::newRow("nobody") << QStringList{} << QList<int>{} << QStringList{};
    }
    void expansion()
    {
        QFETCH(QStringList, users);
        QFETCH(QList<int>, groups);
        QFETCH(QStringList, expected);
        QStringList codes;
        const Outcome outcome = TaskAlerts::expandRecipients(db(), users, groups, &codes);
        if (expected.isEmpty()) {
            QVERIFY(!outcome);
            QCOMPARE(outcome.title(), QStringLiteral("Erreur"));
            QCOMPARE(outcome.text(), QStringLiteral("Vous n'allez envoyer le message à personne !!!"));
            QVERIFY(!TaskAlerts::write(session(), 7, 15, QString(), codes));
            QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_alertes")), QStringLiteral("0"));
            return;
        }
        QVERIFY(outcome);
        // The users first, then members in whatever order the database gives.
        QCOMPARE(codes.mid(0, users.isEmpty() ? 0 : 1), expected.mid(0, users.isEmpty() ? 0 : 1));
        QStringList sortedCodes = codes, sortedExpected = expected;
        sortedCodes.sort();
        sortedExpected.sort();
        QCOMPARE(sortedCodes, sortedExpected);

        QVERIFY(TaskAlerts::write(session(), 7, 15, QStringLiteral("Réunion"), codes));
        QCOMPARE(recipients(7), sortedExpected); // one row each
        QCOMPARE(noalerte(7), QStringLiteral("7"));
        // Stored encoded, as every user code is.
        QVERIFY(column(db(), QStringLiteral("select codeutil from kp_alertes")).contains(PasswordCodec::encode(expected.first())));
    }

    void rewriteKeepsCreationOfRemainingRows()
    {
        QVERIFY(TaskAlerts::write(session(), 7, 30, QStringLiteral("Prévoir l'outillage"), {"Alice", "Bruno", "Chloé"}));
        exec(QStringLiteral("update kp_alertes set datecreat = ") + session().dialect().dateTimeValue(QDateTime(QDate(2020, 1, 2), QTime(8, 5))));
        const QString oldDate = scalar(db(), QStringLiteral("select datecreat from kp_alertes where codeutil = '%1'")
                                                 .arg(PasswordCodec::encode(QStringLiteral("Alice"))));

        session().setUser(QStringLiteral("Zoé"), QString());
        QVERIFY(TaskAlerts::write(session(), 7, 60, QString(), {"Alice", "Chloé", "David"}));
        QCOMPARE(recipients(7), (QStringList{"Alice", "Chloé", "David"}));

        TaskAlerts::Alert alert;
        QVERIFY(TaskAlerts::load(db(), 7, &alert));
        QCOMPARE(alert.minutes.value_or(-1), 60);
        QCOMPARE(alert.comment, QString()); // stored "/"
        QCOMPARE(alert.rows.size(), 3);
        for (const TaskAlerts::Row &row : alert.rows) {
            if (row.recipient == QLatin1String("David")) {
                QCOMPARE(row.creator, QStringLiteral("Zoé"));
                QCOMPARE(parseDbDateTime(row.created).date(), QDate::currentDate());
                QCOMPARE(parseDbDateTime(row.created).time().second(), 0); // hours and minutes only
            } else {
                QCOMPARE(row.creator, QStringLiteral("Admin"));
                QCOMPARE(row.created, oldDate);
            }
        }
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_alertes where ecart = 60 and commentaire = '/' "
                                             "and typealerte = 'TACHE' and noidtype = 7 and noidsecond = 0")),
                 QStringLiteral("3"));
    }

    void zeroMinutesIsAnAlert()
    {
        QVERIFY(TaskAlerts::write(session(), 7, 0, QStringLiteral("l'heure"), {"Alice"}));
        TaskAlerts::Alert alert;
        QVERIFY(TaskAlerts::load(db(), 7, &alert));
        QCOMPARE(alert.minutes.value_or(-1), 0);
        QCOMPARE(alert.comment, QStringLiteral("l'heure"));
        QCOMPARE(noalerte(7), QStringLiteral("7"));

        QVERIFY(TaskAlerts::write(session(), 7, std::nullopt, QString(), {"Alice"}));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_alertes")), QStringLiteral("0"));
        QCOMPARE(noalerte(7), QStringLiteral("0"));
        QVERIFY(TaskAlerts::load(db(), 7, &alert));
        QVERIFY(!alert.minutes);
        QVERIFY(alert.rows.isEmpty());
    }

    void removalTakesOnlyThisTasksAlert()
    {
        addTask(8);
        QVERIFY(TaskAlerts::write(session(), 7, 10, QString(), {"Alice", "Bruno"}));
        QVERIFY(TaskAlerts::write(session(), 8, 10, QString(), {"Alice"}));
        QVERIFY(TaskAlerts::removeForTask(db(), 7));
        QCOMPARE(column(db(), QStringLiteral("select noidtype from kp_alertes")), QStringList{"8"});
    }

    void failedWriteKeepsPreviousRows()
    {
        QVERIFY(TaskAlerts::write(session(), 7, 10, QString(), {"Alice", "Bruno"}));
        exec(QStringLiteral("drop table kp_taches_desc")); // the last statement of a write fails
        const Outcome failed = TaskAlerts::write(session(), 7, 20, QString(), {"Chloé"});
        QVERIFY(!failed);
        QCOMPARE(failed.title(), QStringLiteral("Erreur"));
        QCOMPARE(failed.text(), QStringLiteral("Erreur lors de la mise à jour des alertes"));
        QCOMPARE(recipients(7), (QStringList{"Alice", "Bruno"}));
        QCOMPARE(scalar(db(), QStringLiteral("select count(*) from kp_alertes where ecart = 10")), QStringLiteral("2"));
    }

    void chooserListsUsersAndGroups()
    {
        const QString today = session().dialect().dateValue(QDate::currentDate());
        exec(QStringLiteral("insert into kp_utilisateurs (codeutil,libutil,nogroupe,noressource,motutil,dtsaisie,ordisaisie,"
                            "dtmodif,ordimodif) values ('%1','%2',0,0,'',%3,'P',%3,'/')")
                 .arg(PasswordCodec::encode(QStringLiteral("Alice")), PasswordCodec::encode(QStringLiteral("Alice Martin")),
                      session().dialect().dateValue(QDate::currentDate())));
        exec(QStringLiteral("insert into kp_groupes (codegroupe,nogroupe) values ('%1',2)").arg(PasswordCodec::encode(QStringLiteral("Atelier"))));
        QList<TaskAlerts::Choice> choices;
        QVERIFY(TaskAlerts::readChoices(db(), &choices));
        QCOMPARE(choices.size(), 2);
        QCOMPARE(choices.at(0).key, QStringLiteral("Alice"));
        QCOMPARE(choices.at(0).label, QStringLiteral("Alice Martin"));
        QVERIFY(!choices.at(0).group);
        QCOMPARE(choices.at(1).key, QStringLiteral("2"));
        QCOMPARE(choices.at(1).label, QStringLiteral("Atelier"));
        QVERIFY(choices.at(1).group);
    }
};

QTEST_GUILESS_MAIN(TestTaskAlerts)
#include "tst_taskalerts.moc"
