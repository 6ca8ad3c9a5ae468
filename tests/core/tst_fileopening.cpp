#include "core/PasswordCodec.h"
#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Opening the embedded file database: creation, passwords, bad files.
class TestFileOpening : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Session> m_session;
    int m_passwordPrompts = 0;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    void useFile(const QString &file)
    {
        m_settings->write(QStringLiteral("Base"), QStringLiteral("Chemin"), file);
    }
    QString storedPassword() const
    {
        return PasswordCodec::decode(m_settings->read(QStringLiteral("protect"), QStringLiteral("MDP")));
    }
    OpenCallbacks answers(bool create, std::optional<QString> newPassword, std::optional<QString> typed = {})
    {
        OpenCallbacks callbacks;
        callbacks.confirm = [create](const QString &title, const QString &text) {
            return title == QStringLiteral("Création") && text == QStringLiteral("\nVoulez vous créer cette base de donnée ?")
                   && create;
        };
        callbacks.askNewPassword = [newPassword]() { return newPassword; };
        callbacks.askPassword = [this, typed]() {
            ++m_passwordPrompts;
            return typed;
        };
        return callbacks;
    }
    Outcome open(bool allowCreate, const OpenCallbacks &callbacks = {})
    {
        return DatabaseOpener(*m_session).open(allowCreate, callbacks);
    }
    // Makes a database file protected by `password` and forgets the password.
    void makeProtectedFile(const QString &file, const QString &password)
    {
        useFile(file);
        QVERIFY(open(true, answers(true, password)));
        m_session->closeDatabase();
        m_settings->remove(QStringLiteral("protect"));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<Settings>(path(QStringLiteral("Quenzo.ini")));
        m_session = std::make_unique<Session>(*m_settings);
        m_passwordPrompts = 0;
    }

    void noFileSetUpFailsQuietly()
    {
        const Outcome outcome = open(true, answers(true, QString()));
        QVERIFY(!outcome);
        QVERIFY(outcome.messages().isEmpty());
    }

    void missingFileWithoutCreation()
    {
        useFile(path(QStringLiteral("absente.qdb")));
        const Outcome outcome = open(false);
        QVERIFY(!outcome);
        QCOMPARE(outcome.title(), QStringLiteral("QUENZO"));
        QCOMPARE(outcome.text(), QStringLiteral("La base de donnée est mal définie ou inaccessible"));
        QVERIFY(!QFile::exists(path(QStringLiteral("absente.qdb"))));
        QVERIFY(!m_session->isDatabaseOpen());
    }

    void creationDeclinedOrCancelled()
    {
        useFile(path(QStringLiteral("nouvelle.qdb")));
        Outcome outcome = open(true, answers(false, QString()));
        QVERIFY(!outcome);
        QVERIFY(outcome.messages().isEmpty());
        QVERIFY(!QFile::exists(path(QStringLiteral("nouvelle.qdb"))));

        outcome = open(true, answers(true, std::nullopt));
        QCOMPARE(outcome.title(), QStringLiteral("Annulation"));
        QCOMPARE(outcome.text(), QStringLiteral("Création de la base de données annulée"));
        QVERIFY(!QFile::exists(path(QStringLiteral("nouvelle.qdb"))));
    }

    void createdWithPassword()
    {
        useFile(path(QStringLiteral("protegee.qdb")));
        DatabaseOpener opener(*m_session);
        const Outcome outcome = opener.open(true, answers(true, QStringLiteral("s3cret d'été")));
        QVERIFY2(outcome, qPrintable(outcome.text()));
        QVERIFY(opener.created());
        QVERIFY(m_session->isDatabaseOpen());
        QCOMPARE(m_settings->read(QStringLiteral("protect"), QStringLiteral("MDP")),
                 PasswordCodec::encode(QStringLiteral("s3cret d'été")));
        // The description row of a new database.
        QCOMPARE(m_session->description().text, QStringLiteral("/"));
        ResultSet rows;
        QVERIFY(m_session->database()->query(
            QStringLiteral("select description,geslogin,afflogin,blocauto from kp_description"), rows));
        QCOMPARE(rows.rowCount(), 1);
        QCOMPARE(QStringList({rows.value(0, 0), rows.value(0, 1), rows.value(0, 2), rows.value(0, 3)}),
                 QStringList({"/", "1", "1", "0"}));
        m_session->closeDatabase();

        // The file is really encrypted: no password, no data.
        QFile file(path(QStringLiteral("protegee.qdb")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.read(16).startsWith("SQLite format 3"));
        QVERIFY(open(false)); // stored password
        QVERIFY(!DatabaseOpener(*m_session).created());
    }

    void fileNameLetterCaseIgnored()
    {
        useFile(path(QStringLiteral("quenzo.qdb")));
        QVERIFY(open(true, answers(true, QString())));
        useFile(path(QStringLiteral("QUENZO.QDB")));
        QVERIFY(open(false));
        QVERIFY(m_session->isDatabaseOpen());
    }

    // A stored password that no longer matches asks once and keeps the new one.
    void stalePasswordAsksOnceAndIsStored()
    {
        makeProtectedFile(path(QStringLiteral("p.qdb")), QStringLiteral("nouveau"));
        m_settings->write(QStringLiteral("protect"), QStringLiteral("MDP"), PasswordCodec::encode(QStringLiteral("ancien")));
        const Outcome outcome = open(false, answers(false, {}, QStringLiteral("nouveau")));
        QVERIFY2(outcome, qPrintable(outcome.text()));
        QCOMPARE(m_passwordPrompts, 1);
        QCOMPARE(storedPassword(), QStringLiteral("nouveau"));

        m_passwordPrompts = 0;
        m_session->closeDatabase();
        QVERIFY(open(false, answers(false, {}, QStringLiteral("inutile"))));
        QCOMPARE(m_passwordPrompts, 0);
    }

    void wrongPasswordIsRefused_data()
    {
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::newRow("wrong") << std::optional<QString>(QStringLiteral("faux"));
        QTest::newRow("cancelled") << std::optional<QString>();
    }
    void wrongPasswordIsRefused()
    {
        QFETCH(std::optional<QString>, typed);
        makeProtectedFile(path(QStringLiteral("p.qdb")), QStringLiteral("juste"));
        const Outcome outcome = open(false, answers(false, {}, typed));
        QVERIFY(!outcome);
        QCOMPARE(m_passwordPrompts, 1);
        QCOMPARE(outcome.messages().size(), 2);
        QCOMPARE(outcome.messages().first().title, QStringLiteral("Erreur"));
        QVERIFY(!outcome.dbError().isEmpty());
        QCOMPARE(outcome.title(), QStringLiteral("Incorrect"));
        QCOMPARE(outcome.text(), QStringLiteral("Mot de passe non valide"));
        QVERIFY(!m_session->isDatabaseOpen());
        QCOMPARE(m_session->database(), nullptr);
    }

    void fileThatIsNoDatabase()
    {
        const QString file = path(QStringLiteral("texte.qdb"));
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        const QByteArray content = QByteArray("Ceci n'est pas une base de données.\n").repeated(200);
        text.write(content);
        text.close();
        useFile(file);
        const Outcome outcome = open(true, answers(true, QString(), QString()));
        QVERIFY(!outcome);
        QCOMPARE(outcome.text(), QStringLiteral("Mot de passe non valide"));
        QVERIFY(!m_session->isDatabaseOpen());
        QVERIFY(text.open(QIODevice::ReadOnly));
        QCOMPARE(text.readAll(), content); // untouched
    }

    void folderThatCannotHoldAFile()
    {
        // A path under a regular file: nothing can be looked up or created there.
        const QString blocker = path(QStringLiteral("fichier"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        useFile(blocker + QStringLiteral("/base.qdb"));
        Outcome outcome = open(false);
        QCOMPARE(outcome.text(), QStringLiteral("La base de donnée est mal définie ou inaccessible"));
        outcome = open(true, answers(true, QString()));
        QVERIFY(!outcome);
        QCOMPARE(outcome.text(), QStringLiteral("Impossible de créer la base de données"));
        QVERIFY(!outcome.dbError().isEmpty());
        QVERIFY(!m_session->isDatabaseOpen());
    }

    void unreadableDescriptionIsReportedButOpens()
    {
        useFile(path(QStringLiteral("d.qdb")));
        QVERIFY(open(true, answers(true, QString())));
        QVERIFY(m_session->database()->exec(QStringLiteral("drop table kp_description")));
        const Outcome outcome = open(false);
        QVERIFY(outcome);
        QCOMPARE(outcome.text(), QStringLiteral("Erreur lors de la lecture de la description de la base"));
        QVERIFY(m_session->isDatabaseOpen());
    }

    void descriptionWrittenAndRead()
    {
        useFile(path(QStringLiteral("d.qdb")));
        QVERIFY(open(true, answers(true, QString())));
        QVERIFY(DatabaseOpener::writeDescription(*m_session, QStringLiteral(" Agence d'Annecy ")));
        QCOMPARE(m_session->description().text, QStringLiteral("Agence d'Annecy"));
        QVERIFY(m_session->database()->exec(QStringLiteral("update kp_description set geslogin = 0, blocauto = 1")));
        QVERIFY(open(false));
        QCOMPARE(m_session->description().text, QStringLiteral("Agence d'Annecy"));
        QVERIFY(!m_session->description().geslogin);
        QVERIFY(m_session->description().afflogin);
        QVERIFY(m_session->description().blocauto);
        QVERIFY(DatabaseOpener::writeDescription(*m_session, QString()));
        QVERIFY(open(false));
        QCOMPARE(m_session->description().text, QStringLiteral("/"));
    }

    void defaultDatabaseForTheFirstStart()
    {
        qputenv("XDG_DATA_HOME", m_dir->path().toUtf8());
        QVERIFY(DatabaseOpener::useDefaultDatabaseIfUnset(*m_settings));
        QCOMPARE(m_settings->read(QStringLiteral("Base"), QStringLiteral("Chemin")), path(QStringLiteral("Quenzo/quenzo.qdb")));
        QVERIFY(!DatabaseOpener::useDefaultDatabaseIfUnset(*m_settings));
        QVERIFY(open(true, answers(true, QString())));
        QVERIFY(QFile::exists(path(QStringLiteral("Quenzo/quenzo.qdb"))));
        qunsetenv("XDG_DATA_HOME");

        Settings server(path(QStringLiteral("serveur.ini")));
        server.write(QStringLiteral("Base"), QStringLiteral("ODBC"), QStringLiteral("1"));
        QVERIFY(!DatabaseOpener::useDefaultDatabaseIfUnset(server));
    }
};

QTEST_GUILESS_MAIN(TestFileOpening)
#include "tst_fileopening.moc"
