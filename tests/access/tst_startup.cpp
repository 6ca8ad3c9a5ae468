#include "access/Access.h"
#include "access/GroupStore.h"
#include "core/PasswordCodec.h"
#include "access/StartupLogin.h"
#include "access/UserStore.h"
#include "app/MainMenuRules.h"
#include "core/RecordLocks.h"
#include "core/StartupSettings.h"
#include "support/TestDatabase.h"

#include <QTest>

// What the main window does at start-up: settings, log in, menu enabling.
class TestStartup : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    int m_panels = 0;

    // A login panel where the person types this code and password.
    StartupLogin::LoginPanel typing(Session &session, const QString &code, const QString &password)
    {
        return [this, &session, code, password] {
            ++m_panels;
            return Access::logIn(session, code, password).ok();
        };
    }
    static QStringList enabledItems(Session &session, bool loginPassed)
    {
        QStringList items;
        for (const MenuEntry &e : mainMenuEntries())
            if (isMenuItemEnabled(e.item, session, loginPassed))
                items.append(QString(e.text).remove(QLatin1Char('&')));
        return items;
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("startup"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_panels = 0;
    }

    void settingsWithGarbageStartWithDefaults()
    {
        QTemporaryDir dir;
        Settings settings(dir.filePath(QStringLiteral("q.ini")));
        const QString util = QStringLiteral("UTIL");
        settings.write(util, QStringLiteral("Messages"), QStringLiteral("90"));
        settings.write(util, QStringLiteral("ouv"), QStringLiteral("deux"));
        settings.write(util, QStringLiteral("1Racc"), QStringLiteral("1"));   // no key code: the digit 1
        settings.write(util, QStringLiteral("2Racc"), QStringLiteral("1"));
        settings.write(util, QStringLiteral("2Touche"), QStringLiteral("113")); // F2
        settings.write(util, QStringLiteral("3Racc"), QStringLiteral("oui"));
        settings.write(util, QStringLiteral("3Touche"), QStringLiteral("65"));
        StartupSettings s = StartupSettings::read(settings);
        QCOMPARE(s.pollSeconds, 30);
        QCOMPARE(s.splashSeconds, 1);
        QVERIFY(!s.ordinaryWindow);
        QCOMPARE(settings.read(util, QStringLiteral("pan")), QStringLiteral("1"));
        QCOMPARE(settings.read(util, QStringLiteral("presentation")), QStringLiteral("0"));
        QCOMPARE(s.hotKeys, QList<int>({-1, 1, 113, -1}));
        QCOMPARE(hotKeyToQtKey(1), int(Qt::Key_1));
        QCOMPARE(hotKeyToQtKey(113), int(Qt::Key_F2));
        QCOMPARE(hotKeyToQtKey(65), int(Qt::Key_A));
        QCOMPARE(hotKeyToQtKey(200), 0);

        settings.write(util, QStringLiteral("Messages"), QStringLiteral("240"));
        settings.write(util, QStringLiteral("pan"), QStringLiteral("abc"));
        settings.write(util, QStringLiteral("presentation"), QStringLiteral("1"));
        s = StartupSettings::read(settings);
        QCOMPARE(s.pollSeconds, 240);
        QCOMPARE(s.splashSeconds, 1);
        QVERIFY(s.ordinaryWindow);
    }

    void freshDatabaseLogsInAsAdmin()
    {
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        const Outcome outcome = StartupLogin::run(ws.session(), {}, typing(ws.session(), "Admin", "Ombre"));
        QVERIFY2(outcome, qPrintable(outcome.text()));
        QCOMPARE(m_panels, 1);
        QCOMPARE(ws.session().userCode(), QStringLiteral("Admin"));
        QCOMPARE(enabledItems(ws.session(), true).size(), mainMenuEntries().size());
    }

    void cancelledOrRefusedLogIn()
    {
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        Outcome outcome = StartupLogin::run(ws.session(), {}, [] { return false; });
        QCOMPARE(outcome.title(), QStringLiteral("Annulation"));
        QCOMPARE(outcome.text(), QStringLiteral("Opération annulée"));
        QVERIFY(!ws.session().isLoggedIn());
        QVERIFY(ws.session().isDatabaseOpen()); // "&Connexion" and "&Changer d'utilisateur" still work

        ws.settings().write(QStringLiteral("Connect"), QStringLiteral("Auto"), QStringLiteral("1"));
        ws.settings().write(QStringLiteral("Connect"), QStringLiteral("Login"), PasswordCodec::encode("Admin"));
        ws.settings().write(QStringLiteral("Connect"), QStringLiteral("Mdp"), PasswordCodec::encode("faux"));
        outcome = StartupLogin::run(ws.session(), {}, typing(ws.session(), "Admin", "Ombre"));
        QCOMPARE(outcome.text(), QStringLiteral("Votre Login ou votre mot de passe est incorrect"));
        QCOMPARE(m_panels, 0);

        ws.settings().write(QStringLiteral("Connect"), QStringLiteral("Mdp"), PasswordCodec::encode("Ombre"));
        QVERIFY(StartupLogin::run(ws.session(), {}, typing(ws.session(), "Admin", "Ombre")));
        QCOMPARE(m_panels, 0);
        QCOMPARE(ws.session().userCode(), QStringLiteral("Admin"));
    }

    void unreachableDatabaseKeepsDataMenusOff()
    {
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        if (m_db->isServer())
            ws.settings().write(QStringLiteral("Base"), QStringLiteral("DSN Name"), QStringLiteral("QuenzoTestDown"));
        else
            ws.settings().write(QStringLiteral("Base"), QStringLiteral("Chemin"), m_db->folder() + QStringLiteral("/absente.qdb"));
        QVERIFY(!StartupLogin::run(ws.session(), {}, typing(ws.session(), "Admin", "Ombre")));
        QCOMPARE(m_panels, 0);
        QCOMPARE(enabledItems(ws.session(), false),
                 QStringList({"Changer d'utilisateur", "Connexion", "Periode", "Assistant Base de données", "A Propos",
                              "Quitter"}));
    }

    void menusFollowTheRights()
    {
        Workstation admin(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(StartupLogin::run(admin.session(), {}, typing(admin.session(), "Admin", "Ombre")));
        GroupRecord teams{-1, QStringLiteral("Équipes"), {}};
        teams.rights.insert(QStringLiteral("EQUIPE"), {false, true, false});
        QVERIFY(GroupStore::save(admin.db(), &teams, admin.session().terms()));
        QVERIFY(UserStore::save(admin.session(), {QStringLiteral("sans"), QStringLiteral("Sans droit"), QStringLiteral("a"), 0, {}},
                                QStringLiteral("a")));
        QVERIFY(UserStore::save(admin.session(), {QStringLiteral("chef"), QStringLiteral("Chef"), QStringLiteral("b"), 0, {teams.number}},
                                QStringLiteral("b")));

        Workstation ws(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(StartupLogin::run(ws.session(), {}, typing(ws.session(), "sans", "a")));
        QStringList items = enabledItems(ws.session(), true);
        QVERIFY(!items.contains(QStringLiteral("Utilisateurs")));
        QVERIFY(!items.contains(QStringLiteral("Equipes")));
        QVERIFY(!items.contains(QStringLiteral("Etapes")));
        QVERIFY(items.contains(QStringLiteral("Clients")));

        QVERIFY(StartupLogin::run(ws.session(), {}, typing(ws.session(), "chef", "b")));
        items = enabledItems(ws.session(), true);
        QVERIFY(items.contains(QStringLiteral("Equipes")));
        QVERIFY(!items.contains(QStringLiteral("Utilisateurs")));

        // User management off: everything, and no panel.
        QVERIFY(UserStore::setManagement(admin.session(), false));
        m_panels = 0;
        QVERIFY(StartupLogin::run(ws.session(), {}, typing(ws.session(), "chef", "b")));
        QCOMPARE(m_panels, 0);
        QVERIFY(!ws.session().isLoggedIn());
        QCOMPARE(enabledItems(ws.session(), true).size(), mainMenuEntries().size());
    }

    void logInReleasesThisWorkstationsLocks()
    {
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        Workstation other(*m_db, QStringLiteral("POSTE2"));
        QVERIFY(other.open());
        QVERIFY(StartupLogin::run(ws.session(), {}, typing(ws.session(), "Admin", "Ombre")));
        QVERIFY(RecordLocks::take(ws.session(), LockKind::Resource, 4));
        QVERIFY(RecordLocks::take(other.session(), LockKind::Client, 5));
        QVERIFY(StartupLogin::logIn(ws.session(), typing(ws.session(), "Admin", "Ombre")));
        QCOMPARE(column(ws.db(), QStringLiteral("select nomordi from kp_verrou")), QStringList{"POSTE2"});
    }

    void wordsAreLoadedAtLogIn()
    {
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(ws.open());
        QVERIFY(ws.db().exec(QStringLiteral("insert into kp_remplacement (code,genre,voyelle,libsing,libplur) "
                                            "values ('Ressource',0,0,'Technicien','Techniciens')")));
        QVERIFY(StartupLogin::run(ws.session(), {}, typing(ws.session(), "Admin", "Ombre")));
        QCOMPARE(ws.session().terms().plural(Entity::Ressource), QStringLiteral("Techniciens"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
