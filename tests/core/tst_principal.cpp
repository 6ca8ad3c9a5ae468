#include "core/Principal.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QTest>

// The main window's title follows the database state.
class TestPrincipal : public QObject
{
    Q_OBJECT
private slots:
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
