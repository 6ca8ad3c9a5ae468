#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

// quenzo-cli init-db, run as a person or a script would.
class TestCli : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_db;
    QTemporaryDir m_home;

    struct Run
    {
        int status;
        QString out;
        QString err;
    };
    Run cli(const QStringList &arguments)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUENZO_CLI), arguments);
        if (!p.waitForFinished(60000))
            return {-1, {}, {}};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QStringList serverArguments(const QString &password) const
    {
        return {QStringLiteral("init-db"), QStringLiteral("--dsn"), qEnvironmentVariable("QUENZO_TEST_DSN"),
                QStringLiteral("--database"), m_db->serverDatabase(), QStringLiteral("--user"),
                qEnvironmentVariable("QUENZO_TEST_DB_USER"), QStringLiteral("--password"), password};
    }
    QString userSettings() const { return m_home.filePath(QStringLiteral("Quenzo/Quenzo.ini")); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("cli"));
    }

    void createsThenOpens()
    {
        QVERIFY(m_db->makeBlank());
        const QStringList args = m_db->isServer()
                                     ? serverArguments(qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD"))
                                     : QStringList{QStringLiteral("init-db"), m_db->filePath(),
                                                   QStringLiteral("--password"), QStringLiteral("clé")};
        Run run = cli(args);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.startsWith(QStringLiteral("Base prête")), qPrintable(run.out + run.err));
        run = cli(args);
        QCOMPARE(run.status, 0);
        QVERIFY(!QFile::exists(userSettings())); // never touched unless asked

        auto db = m_db->connect();
        if (!m_db->isServer()) {
            QVERIFY(!db); // encrypted: a plain connection cannot read it
            return;
        }
        QCOMPARE(scalar(*db, QStringLiteral("select numver from kp_versions")), QStringLiteral("2"));
        QCOMPARE(scalar(*db, QStringLiteral("select description from kp_description")), QStringLiteral("/"));
    }

    void wrongPasswordFailsWithItsMessage()
    {
        QVERIFY(m_db->makeReady());
        if (!m_db->isServer()) {
            QVERIFY(cli({QStringLiteral("init-db"), m_db->filePath() + QStringLiteral(".p"), QStringLiteral("--password"),
                         QStringLiteral("juste")})
                        .status
                    == 0);
        }
        const Run run = m_db->isServer()
                            ? cli(serverArguments(QStringLiteral("faux")))
                            : cli({QStringLiteral("init-db"), m_db->filePath() + QStringLiteral(".p"),
                                   QStringLiteral("--password"), QStringLiteral("faux")});
        QVERIFY(run.status != 0);
        QVERIFY2(run.err.contains(m_db->isServer() ? QStringLiteral("Access denied")
                                                   : QStringLiteral("Mot de passe non valide")),
                 qPrintable(run.err));
    }

    void savesTheConnectionWhenAsked()
    {
        QVERIFY(m_db->makeReady());
        QStringList args = m_db->isServer() ? serverArguments(qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD"))
                                            : QStringList{QStringLiteral("init-db"), m_db->filePath()};
        args << QStringLiteral("--save") << QStringLiteral("--description") << QStringLiteral("Siège");
        QCOMPARE(cli(args).status, 0);
        Settings saved(userSettings());
        QCOMPARE(saved.read(QStringLiteral("Base"), QStringLiteral("ODBC")),
                 m_db->isServer() ? QStringLiteral("1") : QStringLiteral("0"));
        if (m_db->isServer())
            QCOMPARE(saved.read(QStringLiteral("Base"), QStringLiteral("Driver")), qEnvironmentVariable("QUENZO_TEST_DRIVER"));
        QFile::remove(userSettings());
        auto db = m_db->connect();
        QCOMPARE(scalar(*db, QStringLiteral("select description from kp_description")), QStringLiteral("Siège"));
    }

    void usageErrors()
    {
        QCOMPARE(cli({}).status, 2);
        QCOMPARE(cli({QStringLiteral("init-db")}).status, 2);
        QCOMPARE(cli({QStringLiteral("init-db"), QStringLiteral("a.qdb"), QStringLiteral("--dsn"), QStringLiteral("X")}).status, 2);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
