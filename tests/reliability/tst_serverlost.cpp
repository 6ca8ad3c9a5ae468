#include "clients/ClientStore.h"
#include "core/OdbcDatabase.h"
#include "core/RecordLocks.h"
#include "support/TestDatabase.h"
#include "tasks/TaskStore.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The MariaDB server stops while a workstation has a session open (and a
// transaction half done): every store action reports the French error and
// nothing crashes; once the server is back, connecting again (the path of
// Menu > Connexion) works and nothing half-written remains. The program runs
// a server of its own, so that stopping it disturbs no other test.
class TestServerLost : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_serverDir;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Workstation> m_ws;
    bool m_started = false;
    QStringList m_figures;

    static QString script() { return QStringLiteral(QUENZO_SOURCE_DIR "/scripts/mariadb-test-server.sh"); }

    bool server(const QString &command, int port = 0)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (port)
            env.insert(QStringLiteral("QUENZO_MARIADB_PORT"), QString::number(port));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("bash"), {script(), command, m_serverDir.path()});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            qWarning("%s : %s", qPrintable(command), p.readAllStandardError().constData());
            return false;
        }
        return true;
    }

    // A port nobody listens on right now.
    static int freePort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        int port = 0;
        if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
            && ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        ::close(s);
        return port;
    }

    static bool saysLinkLost(const Outcome &outcome)
    {
        return !outcome && !outcome.messages().isEmpty()
               && outcome.messages().first().text.startsWith(OdbcDatabase::linkLostText());
    }

    Session &session() { return m_ws->session(); }

private slots:
    void initTestCase()
    {
        QUENZO_REQUIRE_BACKEND();
        if (!TestBackend::isMariaDb())
            QSKIP("le fichier de base de données n'a pas de serveur à perdre");
        const int port = freePort();
        QVERIFY(port > 0);
        QVERIFY(server(QStringLiteral("start"), port));
        m_started = true;
        // From now on this program's connections reach its own server.
        qputenv("ODBCSYSINI", m_serverDir.path().toUtf8());
        qputenv("ODBCINI", (m_serverDir.path() + QStringLiteral("/odbc.ini")).toUtf8());
        m_db = std::make_unique<TestDatabase>(QStringLiteral("rel_serverlost"));
        QVERIFY(m_db->makeReady());
        m_ws = std::make_unique<Workstation>(*m_db, QStringLiteral("POSTE-S"));
        QVERIFY(m_ws->open());
        QVERIFY(insertRow(m_ws->db(), session().dialect(), QStringLiteral("kp_taches"), {{QStringLiteral("noidtache"), QStringLiteral("1")}}));
    }
    void cleanupTestCase()
    {
        m_ws.reset();
        m_db.reset();
        if (m_started)
            server(QStringLiteral("stop"));
        for (const QString &line : std::as_const(m_figures))
            qInfo().noquote() << line;
    }

    void serverStopsMidSession()
    {
        Client before;
        before.name = QStringLiteral("Avant l'arrêt");
        QVERIFY(ClientStore::save(session(), &before));

        // A save cut in its middle: the header written, its free fields not yet.
        Database &db = m_ws->db();
        QVERIFY(db.begin());
        QVERIFY(insertRow(db, session().dialect(), QStringLiteral("kp_societes"),
                          {{QStringLiteral("noidsoc"), QStringLiteral("99")}, {QStringLiteral("libsoc"), QStringLiteral("'À moitié'")}}));

        QElapsedTimer down;
        down.start();
        QVERIFY(server(QStringLiteral("pause")));
        const qint64 stopping = down.elapsed();

        QVERIFY(!db.exec(QStringLiteral("insert into kp_libresoc (noidsoc) values (99)")));
        QVERIFY2(db.lastError().startsWith(OdbcDatabase::linkLostText()), qPrintable(db.lastError()));
        QVERIFY(!db.commit());

        down.restart();
        Client during;
        during.name = QStringLiteral("Pendant l'arrêt");
        const Outcome client = ClientStore::save(session(), &during);
        QVERIFY2(saysLinkLost(client), qPrintable(client.messages().value(0).text));
        QCOMPARE(during.number, 0);
        Task task;
        task.type = 1;
        TaskRange r;
        r.startDate = r.endDate = QDate(2026, 12, 8);
        r.startTime = QStringLiteral("09:00");
        r.endTime = QStringLiteral("10:00");
        task.ranges = {r};
        QVERIFY(saysLinkLost(TaskStore::save(session(), &task)));
        QVERIFY(saysLinkLost(RecordLocks::take(session(), LockKind::Client, before.number)));
        Client read;
        QVERIFY(saysLinkLost(ClientStore::load(session(), before.number, before.type, &read)));
        const qint64 failing = down.elapsed();

        QVERIFY(server(QStringLiteral("resume")));
        // The old connection stays dead: reconnecting is what Menu > Connexion does.
        QVERIFY(!ClientStore::save(session(), &during));
        down.restart();
        const Outcome reopened = DatabaseOpener(session()).open(false);
        QVERIFY2(reopened, qPrintable(reopened.text() + QLatin1Char(' ') + reopened.dbError()));
        const qint64 reconnecting = down.elapsed();

        QCOMPARE(scalar(m_ws->db(), QStringLiteral("select count(*) from kp_societes where noidsoc = 99")), QStringLiteral("0"));
        QCOMPARE(column(m_ws->db(), QStringLiteral("select libsoc from kp_societes")), QStringList{before.name});
        QVERIFY(ClientStore::save(session(), &during));
        QVERIFY(TaskStore::save(session(), &task));
        QVERIFY(RecordLocks::take(session(), LockKind::Client, during.number));
        m_figures.append(QStringLiteral("MariaDB perdu en cours de session : arrêt du serveur %1 ms, quatre actions refusées "
                                        "avec le message en %2 ms, reconnexion en %3 ms")
                             .arg(stopping)
                             .arg(failing)
                             .arg(reconnecting));
    }
};

QTEST_GUILESS_MAIN(TestServerLost)
#include "tst_serverlost.moc"
