#include "../reports/HistoryFixture.h"

#include <QFile>
#include <QProcess>
#include <QTest>

// quenzo-cli report, run as a script would, on a month of prepared work.
class TestCliReport : public QObject
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
    Run cli(const QStringList &more)
    {
        QStringList arguments{QStringLiteral("report")};
        if (m_db->isServer())
            arguments << QStringLiteral("--dsn") << qEnvironmentVariable("QUENZO_TEST_DSN") << QStringLiteral("--database")
                      << m_db->serverDatabase() << QStringLiteral("--user") << qEnvironmentVariable("QUENZO_TEST_DB_USER")
                      << QStringLiteral("--password") << qEnvironmentVariable("QUENZO_TEST_DB_PASSWORD");
        else
            arguments << m_db->filePath();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUENZO_CLI), arguments + more);
        if (!p.waitForFinished(60000))
            return {-1, {}, {}};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        m_db = std::make_unique<TestDatabase>(QStringLiteral("clireport"));
        QVERIFY(m_db->makeReady());
        Workstation ws(*m_db, QStringLiteral("POSTE1"));
        QVERIFY(ws.open());
        ws.session().description().geslogin = false;
        QVERIFY(writeHistoryMonth(ws.session()));
    }

    void textFile()
    {
        const QString path = m_home.filePath(QStringLiteral("alain.txt"));
        const Run run = cli({"--kind", "resource", "--type", "0", "--start", "01/03/2027", "--end", "31/03/2027", "--resource",
                             "1", "--out", path});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6); // titles and five lines; "Tri" is not written
        QCOMPARE(lines.at(0), QStringLiteral("Ressource\tType de Tâche\tClients\tDu\tAu\tJours\tHeures"));
        QVERIFY2(lines.at(1).startsWith(QStringLiteral("Alain\tPose\tDupont\t03/03/2027 09:00\t03/03/2027 12:00\t1")),
                 qPrintable(lines.at(1)));
    }

    void standardOutputAndFilters()
    {
        const Run run = cli({"--kind", "client", "--type", "5", "--start", "01/03/2027", "--end", "31/03/2027", "--comment",
                             "50%_"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4); // titles, two cost lines of task 1, total
        QVERIFY(lines.last().endsWith(QStringLiteral("Total\t90,00")) || lines.last().endsWith(QStringLiteral("Total\t90.00")));
    }

    void pdfFile()
    {
        const QString path = m_home.filePath(QStringLiteral("stats.pdf"));
        const Run run = cli({"--type", "3", "--start", "01/03/2027", "--end", "31/03/2027", "--pdf", path});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(run.out.isEmpty());
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("kind") << QStringList{"--kind", "projet", "--preset", "3"} << QStringLiteral("--kind");
        QTest::newRow("type") << QStringList{"--kind", "client", "--type", "6", "--preset", "3"} << QStringLiteral("--type");
        QTest::newRow("date") << QStringList{"--start", "32/03/2027", "--end", "31/03/2027"} << QStringLiteral("--start");
        QTest::newRow("no dates") << QStringList{} << QStringLiteral("Dates de début et de fin obligatoires");
        QTest::newRow("state") << QStringList{"--preset", "3", "--state", "fini"} << QStringLiteral("--state");
        QTest::newRow("resource") << QStringList{"--preset", "3", "--resource", "x"} << QStringLiteral("--resource");
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        const Run run = cli(arguments);
        QVERIFY(run.status != 0);
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCliReport)
#include "tst_clireport.moc"
