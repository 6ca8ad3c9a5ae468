#include "access/Access.h"
#include "app/Principal.h"
#include "core/SingleInstance.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

// The main window: title, log in at start-up, menus, screens, timers, quit.
class TestPrincipal : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    ScriptedPrompter m_prompter;
    int m_panels = 0;

    std::unique_ptr<Principal> window(bool panelLogsIn = true)
    {
        auto w = std::make_unique<Principal>(m_ws->session(), m_prompter);
        w->setLoginPanel([this, panelLogsIn] {
            ++m_panels;
            return panelLogsIn && Access::logIn(m_ws->session(), QStringLiteral("Admin"), QStringLiteral("Ombre")).ok();
        });
        StartupSettings settings;
        settings.ordinaryWindow = true;
        w->applySettings(settings);
        return w;
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("principal"));
    }
    void init()
    {
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE1"));
        m_prompter.clear();
        m_panels = 0;
    }

    // A failure shows the database's text first, then the operation's own.
    void outcomesAreShownInOrder()
    {
        ScriptedPrompter prompter;
        prompter.show(Outcome::failure(QStringLiteral("Incorrect"), QStringLiteral("Mot de passe non valide"),
                                       QStringLiteral("file is not a database")));
        prompter.show(Outcome::success().notice(QStringLiteral("Erreur"), QStringLiteral("Impossible de mettre à jour la table version")));
        prompter.show(Outcome::failure());
        QCOMPARE(prompter.texts(), QStringList({"file is not a database", "Mot de passe non valide",
                                                "Impossible de mettre à jour la table version"}));
        QCOMPARE(prompter.shown().at(1).title, QStringLiteral("Incorrect"));
    }

    void titleRules()
    {
        auto w = window();
        QCOMPARE(w->windowTitle(), QStringLiteral("Quenzo - Non connecté"));
        {
            auto db = m_db->connect();
            QVERIFY(db->exec(QStringLiteral("insert into kp_description (description,geslogin,afflogin) values ('/',1,1)")));
        }
        w->logInAtStartup();
        QCOMPARE(w->windowTitle(), QStringLiteral("Quenzo"));
        QVERIFY(DatabaseOpener::writeDescription(m_ws->session(), QStringLiteral("Agence de Lyon")));
        w->updateTitle();
        QCOMPARE(w->windowTitle(), QStringLiteral("Quenzo - Agence de Lyon"));
        m_ws->session().closeDatabase();
        w->updateTitle();
        QCOMPARE(w->windowTitle(), QStringLiteral("Quenzo - Non connecté"));
    }

    void startupLogInEnablesTheMenus()
    {
        auto w = window();
        QVERIFY(!w->action(MenuItem::Clients)->isEnabled());
        QVERIFY(w->action(MenuItem::Connexion)->isEnabled());
        w->logInAtStartup();
        QCOMPARE(m_panels, 1);
        QVERIFY(m_prompter.texts().isEmpty());
        QVERIFY(w->loginPassed());
        for (const MenuEntry &e : mainMenuEntries())
            QVERIFY2(w->action(e.item)->isEnabled(), qPrintable(e.text));
        QCOMPARE(w->action(MenuItem::Civilites)->text(), QStringLiteral("&Civilités"));

        saveScreenshot(*w, QStringLiteral("principal"));
    }

    void catalogueItemsOpenTheirScreens()
    {
        auto w = window();
        w->logInAtStartup();
        const QList<std::pair<MenuItem, QString>> screens = {{MenuItem::Equipes, QStringLiteral("Liste des équipes")},
                                                             {MenuItem::Civilites, QStringLiteral("Civilités")},
                                                             {MenuItem::Contrats, QStringLiteral("Gestion des contrats ")},
                                                             {MenuItem::Etapes, QStringLiteral("Gestion des étapes")},
                                                             {MenuItem::Competences, QStringLiteral("Compétences")},
                                                             {MenuItem::Ressources, QStringLiteral("Gestion des Ressources - Utilisateur : Admin")},
                                                             {MenuItem::Clients, QStringLiteral("Liste des Clients - Utilisateur : Admin")},
                                                             {MenuItem::Periode, QStringLiteral("Périodicité")}};
        for (const auto &[item, title] : screens) {
            // Modal screens: note the title and close each as soon as it shows.
            QString shown;
            QTimer::singleShot(0, [&shown] {
                if (QWidget *modal = QApplication::activeModalWidget()) {
                    shown = modal->windowTitle();
                    modal->close();
                }
            });
            w->openScreen(item);
            QCOMPARE(shown, title);
            QTRY_VERIFY(!w->openedScreen(item));
        }
    }

    void cancelledLogInKeepsDataMenusOff()
    {
        auto w = window(false);
        w->logInAtStartup();
        QCOMPARE(m_prompter.texts(), QStringList{"Opération annulée"});
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Annulation"));
        QVERIFY(!w->action(MenuItem::Clients)->isEnabled());
        QVERIFY(!w->action(MenuItem::Langue)->isEnabled());
        QVERIFY(w->action(MenuItem::ChangerUtilisateur)->isEnabled());
    }

    void unreachableDatabase()
    {
        m_ws->settings().write(QStringLiteral("Base"), QStringLiteral("Chemin"), m_db->folder() + QStringLiteral("/absente.qdb"));
        auto w = window();
        w->logInAtStartup();
        QCOMPARE(m_panels, 0);
        QCOMPARE(w->windowTitle(), QStringLiteral("Quenzo - Non connecté"));
        QVERIFY(!w->action(MenuItem::Parametrage)->isEnabled());
        QCOMPARE(m_prompter.texts(), QStringList{"La base de donnée est mal définie ou inaccessible"});
    }

    void oneInstancePerScreenAndHotKeys()
    {
        auto w = window();
        int created = 0;
        w->setScreen(MenuItem::Clients, [&created]() -> QWidget * {
            ++created;
            return new QWidget;
        });
        StartupSettings settings;
        settings.ordinaryWindow = true;
        settings.hotKeys = {48, -1, -1, -1};
        w->applySettings(settings);

        w->hotKey(0); // no database yet: ignored
        QCOMPARE(created, 0);
        w->logInAtStartup();
        w->hotKey(0);
        QCOMPARE(created, 1);
        w->action(MenuItem::Clients)->trigger(); // brings the open one forward
        QCOMPARE(created, 1);
        QPointer<QWidget> screen = w->openedScreen(MenuItem::Clients);
        QVERIFY(screen);
        screen->close();
        QTRY_VERIFY(!screen);
        w->openScreen(MenuItem::Clients);
        QCOMPARE(created, 2);
        w->openedScreen(MenuItem::Clients)->close();
    }

    void messagePollFollowsTheInterval()
    {
        auto w = window();
        int polls = 0;
        w->setMessagePoll([&polls](const QDateTime &) { ++polls; });
        const QDateTime start = QDateTime::currentDateTime();
        QVERIFY(!w->messageTick(start.addSecs(60))); // nobody logged in
        w->logInAtStartup();
        QCOMPARE(polls, 1); // right after the log in
        QVERIFY(!w->messageTick(start.addSecs(20)));
        QVERIFY(w->messageTick(start.addSecs(40)));
        QVERIFY(!w->messageTick(start.addSecs(60)));
        QVERIFY(w->messageTick(start.addSecs(71)));
        QCOMPARE(polls, 3);
    }

    void secondStartAsks()
    {
        const QString lock = m_db->folder() + QStringLiteral("/instance.lock");
        SingleInstance first(lock);
        QVERIFY(first.allowStart(m_prompter));
        QVERIFY(m_prompter.shown().isEmpty());
        SingleInstance second(lock);
        m_prompter.answer({false, true});
        QVERIFY(!second.allowStart(m_prompter));
        QCOMPARE(m_prompter.texts().first(), QStringLiteral("L'application est déjà lancée !\nVoulez-vous continuer ?"));
        QCOMPARE(m_prompter.defaults().first(), false); // "no" preselected
        QVERIFY(second.allowStart(m_prompter));           // may go on as a second instance
    }

    void quitAsksFirst()
    {
        auto w = window();
        w->show();
        m_prompter.answer({false});
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(m_prompter.texts(), QStringList{"Etes vous sûr(e) de vouloir quitter l'application ?"});
        m_prompter.answer({true});
        QVERIFY(w->close());
        QVERIFY(!m_ws->session().isDatabaseOpen());
    }
};

QTEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
