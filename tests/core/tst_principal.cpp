#include "core/Principal.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QTest>

// The main window's title follows the database state.
class TestPrincipal : public QObject
{
    Q_OBJECT
private slots:
    // A failure shows the database's text first, then the operation's own.
    void outcomesAreShownInOrder()
    {
        ScriptedPrompter prompter;
        Outcome outcome = Outcome::failure(QStringLiteral("Incorrect"), QStringLiteral("Mot de passe non valide"),
                                           QStringLiteral("file is not a database"));
        prompter.show(outcome);
        prompter.show(Outcome::success().notice(QStringLiteral("Erreur"), QStringLiteral("Impossible de mettre à jour la table version")));
        prompter.show(Outcome::failure());
        QCOMPARE(prompter.texts(), QStringList({"file is not a database", "Mot de passe non valide",
                                                "Impossible de mettre à jour la table version"}));
        QCOMPARE(prompter.shown().at(1).title, QStringLiteral("Incorrect"));
    }

    void titleRules()
    {
        TestDatabase db(QStringLiteral("principal"));
        Workstation ws(db, QStringLiteral("POSTE1"));
        Principal window(ws.session());
        QCOMPARE(window.windowTitle(), QStringLiteral("Quenzo - Non connecté"));

        QVERIFY(db.makeReady());
        QVERIFY(ws.open());
        QVERIFY(DatabaseOpener::writeDescription(ws.session(), QStringLiteral("Agence de Lyon")));
        window.updateTitle();
        QCOMPARE(window.windowTitle(), QStringLiteral("Quenzo - Agence de Lyon"));

        QVERIFY(DatabaseOpener::writeDescription(ws.session(), QString()));
        window.updateTitle();
        QCOMPARE(window.windowTitle(), QStringLiteral("Quenzo"));

        ws.session().closeDatabase();
        window.updateTitle();
        QCOMPARE(window.windowTitle(), QStringLiteral("Quenzo - Non connecté"));

        const QString shots = qEnvironmentVariable("QUENZO_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.grab().save(shots + QStringLiteral("/principal.png"));
        }
    }
};

QTEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
