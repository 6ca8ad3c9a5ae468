#include "core/ChoixBase.h"
#include "core/OdbcDatabase.h"
#include "support/Screenshot.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

// The database choice dialog, on a file and on the MariaDB server.
class TestChoixBase : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    ScriptedPrompter m_prompter;
    OpenCallbacks m_callbacks;
    int m_passwordPrompts = 0;

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("choixbase"));
        m_callbacks.confirm = [this](const QString &title, const QString &text) { return m_prompter.ask(title, text); };
        m_callbacks.askNewPassword = [] { return std::optional<QString>(QString()); };
        m_callbacks.askPassword = [this] {
            ++m_passwordPrompts;
            return std::optional<QString>();
        };
    }
    void init()
    {
        m_prompter.clear();
        m_passwordPrompts = 0;
        QVERIFY(m_db->makeReady());
    }

    void newFileIsCreatedAndDescribed()
    {
        if (m_db->isServer())
            QSKIP("file databases only");
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        ChoixBase dialog(ws.session(), m_prompter, m_callbacks);
        QVERIFY(dialog.fileOption()->isChecked());
        QVERIFY(!dialog.databaseField()->isEnabled());
        const QString path = m_db->folder() + QStringLiteral("/agence.qdb");
        dialog.pathField()->setText(path);
        QTest::keyClicks(dialog.descriptionField(), QStringLiteral("Agence d'Annecy"));
        m_prompter.answer({true});
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_prompter.shown().first().title, QStringLiteral("Création"));
        QVERIFY(QFile::exists(path));
        QCOMPARE(ws.settings().read(QStringLiteral("Base"), QStringLiteral("Chemin")), path);
        QCOMPARE(ws.session().description().text, QStringLiteral("Agence d'Annecy"));
        QCOMPARE(scalar(ws.db(), QStringLiteral("select description from kp_description")), QStringLiteral("Agence d'Annecy"));
        saveScreenshot(dialog, QStringLiteral("choixbase"));
    }

    void fileThatIsNoDatabaseIsCleared()
    {
        if (m_db->isServer())
            QSKIP("file databases only");
        const QString path = m_db->folder() + QStringLiteral("/notes.txt");
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("pas une base\n").repeated(100));
        text.close();
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        ChoixBase dialog(ws.session(), m_prompter, m_callbacks);
        dialog.pathField()->setText(path);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(m_passwordPrompts, 1);
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Mot de passe non valide"));
        QVERIFY(dialog.pathField()->text().isEmpty());
        QVERIFY(!ws.session().isDatabaseOpen());
    }

    void serverThroughItsDataSource()
    {
        if (!m_db->isServer())
            QSKIP("server databases only");
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        ws.settings().write(QStringLiteral("Base"), QStringLiteral("ODBC"), QStringLiteral("0"));
        ChoixBase dialog(ws.session(), m_prompter, m_callbacks);
        dialog.useDataSource({qEnvironmentVariable("QUENZO_TEST_DSN"), qEnvironmentVariable("QUENZO_TEST_DRIVER")});
        QVERIFY(dialog.odbcOption()->isChecked());
        dialog.databaseField()->setText(m_db->serverDatabase());
        dialog.userField()->setText(qEnvironmentVariable("QUENZO_TEST_DB_USER"));
        dialog.passwordField()->setText(QStringLiteral("faux"));
        QVERIFY(!dialog.testConnection());
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Erreur"));
        QVERIFY(m_prompter.texts().last().contains(QLatin1String("Access denied")));

        dialog.passwordField()->setText(qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD"));
        QVERIFY(dialog.testConnection());
        QCOMPARE(m_prompter.shown().last().title, QStringLiteral("Félicitations"));
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Connexion réussie sur la base - ") + m_db->serverDatabase());
        dialog.accept();
        QVERIFY2(dialog.result() == QDialog::Accepted, qPrintable(m_prompter.texts().join(QLatin1Char('|'))));
        QCOMPARE(ws.settings().read(QStringLiteral("Base"), QStringLiteral("ODBC")), QStringLiteral("1"));
        QCOMPARE(ws.settings().read(QStringLiteral("Base"), QStringLiteral("Driver")), qEnvironmentVariable("QUENZO_TEST_DRIVER"));
        QCOMPARE(ws.session().dialect().backend(), Backend::MySql);
    }
};

QTEST_MAIN(TestChoixBase)
#include "tst_choixbase.moc"
