#include "access/Access.h"
#include "core/PasswordCodec.h"
#include "support/TestDatabase.h"

#include <QTest>

// Log in and rights, with user management on and off.
class TestAccess : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    Session &session() { return m_ws->session(); }

    void addUser(const QString &code, const QString &password, int resource, const QList<int> &groups)
    {
        const QString today = session().dialect().dateValue(QDate(2026, 1, 5));
        QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_utilisateurs (codeutil,libutil,nogroupe,noressource,motutil,"
                                               "dtsaisie,ordisaisie,dtmodif,ordimodif) values ('%1','%1',0,%2,'%3',%4,'P',%4,'P')")
                                    .arg(PasswordCodec::encode(code))
                                    .arg(resource)
                                    .arg(PasswordCodec::encode(password), today)));
        for (int group : groups)
            QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_utilgroupe (codeutil,nogroupe) values ('%1',%2)")
                                        .arg(PasswordCodec::encode(code))
                                        .arg(group)));
    }
    void grant(int group, const QString &code, int create, int modify, int remove)
    {
        QVERIFY(m_ws->db().exec(QStringLiteral("insert into kp_autgroupe (nogroupe,typechoix,creat,modif,supp) "
                                               "values (%1,'%2',%3,%4,%5)")
                                    .arg(group)
                                    .arg(code)
                                    .arg(create)
                                    .arg(modify)
                                    .arg(remove)));
    }
    static QString rightsText(const Rights &r)
    {
        return QString::fromLatin1(r.create ? "C" : "-") + QLatin1String(r.modify ? "M" : "-")
               + QLatin1String(r.remove ? "S" : "-");
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("access"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(m_ws->open());
        QVERIFY(Access::ensureAdministrator(session()));
    }

    void freshDatabaseLogsInAsAdmin()
    {
        QVERIFY(Access::ensureAdministrator(session())); // a second time adds nothing
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_groupes")), QStringLiteral("1"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_utilisateurs")), QStringLiteral("1"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_utilgroupe")), QStringLiteral("1"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select codegroupe from kp_groupes")), PasswordCodec::encode("Admin"));
        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select ordimodif from kp_utilisateurs")), QStringLiteral("/"));

        QVERIFY(Access::logIn(session(), QStringLiteral("Admin"), QStringLiteral("Ombre")));
        QCOMPARE(session().userCode(), QStringLiteral("Admin"));
        QVERIFY(session().isAdministrator());
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("DEFZONES"))), QStringLiteral("CMS"));
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("UTILGROUP"))), QStringLiteral("CMS"));
    }

    void refusedLogInsLeaveNobody_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown code") << "Personne" << "Ombre" << "Erreur" << "Ce code utilisateur n'existe pas !";
        QTest::newRow("wrong password") << "Admin" << "ombre" << "Incorrect" << "Mot de passe incorrect";
        QTest::newRow("empty password") << "Admin" << "" << "Incorrect" << "Mot de passe incorrect";
    }
    void refusedLogInsLeaveNobody()
    {
        QFETCH(QString, code);
        QFETCH(QString, password);
        QFETCH(QString, title);
        QFETCH(QString, text);
        addUser(QStringLiteral("jean"), QStringLiteral("pw"), 4, {});
        QVERIFY(Access::logIn(session(), QStringLiteral("jean"), QStringLiteral("pw")));
        QCOMPARE(session().currentResource(), 4);

        const Outcome refused = Access::logIn(session(), code, password);
        QVERIFY(!refused);
        QCOMPARE(refused.title(), title);
        QCOMPARE(refused.text(), text);
        QVERIFY(!session().isLoggedIn());
        QCOMPARE(session().currentResource(), 0);
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("CONGES"))), QStringLiteral("---"));
    }

    void blanksAroundThePasswordDoNotMatter()
    {
        addUser(QStringLiteral("Léa d'Aubert"), QStringLiteral("mot  de passe  "), 7, {});
        QVERIFY(Access::logIn(session(), QStringLiteral("Léa d'Aubert"), QStringLiteral("  mot  de passe")));
        QCOMPARE(session().currentResource(), 7);
        QVERIFY(!session().isAdministrator());
        QVERIFY(!Access::logIn(session(), QStringLiteral("Léa d'Aubert"), QStringLiteral("mot de passe")));
    }

    // A right held by any of the user's groups is granted.
    void rightsOfSeveralGroups()
    {
        addUser(QStringLiteral("marc"), QStringLiteral("pw"), 0, {1, 2});
        grant(1, QStringLiteral("CONGES"), 1, 0, 0);
        grant(2, QStringLiteral("CONGES"), 0, 0, 1);
        grant(2, QStringLiteral("JFER"), 0, 1, 0);
        grant(3, QStringLiteral("JFER"), 1, 1, 1); // not one of his groups
        QVERIFY(Access::logIn(session(), QStringLiteral("marc"), QStringLiteral("pw")));
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("CONGES"))), QStringLiteral("C-S"));
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("JFER"))), QStringLiteral("-M-"));
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("DEFZONES"))), QStringLiteral("---"));
        QCOMPARE(rightsText(Access::lookup(session(), QString())), QStringLiteral("---"));
    }

    void userManagementOffGrantsEverything()
    {
        session().description().geslogin = false;
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("UTILGROUP"))), QStringLiteral("CMS"));
        QVERIFY(!session().isLoggedIn());
    }

    void databaseGoneFailsClosed()
    {
        QVERIFY(Access::logIn(session(), QStringLiteral("Admin"), QStringLiteral("Ombre")));
        QVERIFY(m_ws->db().exec(QStringLiteral("drop table kp_utilgroupe")));
        QCOMPARE(rightsText(Access::lookup(session(), QStringLiteral("CONGES"))), QStringLiteral("---"));
        const Outcome failed = Access::logIn(session(), QStringLiteral("Admin"), QStringLiteral("Ombre"));
        QCOMPARE(failed.text(), QStringLiteral("Erreur lors de la lecture des utilisateurs"));
        QVERIFY(!session().isLoggedIn());
        QVERIFY(m_db->makeReady()); // the next test needs the table back
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
