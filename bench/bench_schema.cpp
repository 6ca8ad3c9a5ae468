// Times the creation of the whole schema on a new database and the opening of
// an up-to-date one, with the statements the schema check runs.
//
//   bench_schema [--runs N]            embedded file database
//   bench_schema --server [--runs N]   MariaDB through QUENZO_TEST_DSN (see scripts/mariadb-test-server.sh)

#include "BenchDatabase.h"
#include "core/DatabaseOpener.h"
#include "core/OdbcDatabase.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool server = args.contains(QStringLiteral("--server"));
    const int runsAt = args.indexOf(QStringLiteral("--runs"));
    const int runs = runsAt > 0 ? args.value(runsAt + 1).toInt() : 10;
    QTextStream out(stdout);

    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quenzo.ini")));
    const QString file = dir.filePath(QStringLiteral("bench.qdb"));
    const QString database = QStringLiteral("qz_bench");
    configureBenchBase(settings, server, file, database);

    OpenCallbacks callbacks;
    callbacks.confirm = [](const QString &, const QString &) { return true; };
    callbacks.askNewPassword = []() -> std::optional<QString> { return QString(); };

    std::vector<double> create, open;
    qint64 createStatements = 0, openStatements = 0;
    for (int i = 0; i < runs; ++i) {
        if (server) {
            if (!resetServerDatabase(database)) {
                out << "serveur MariaDB injoignable (QUENZO_TEST_DSN)" << Qt::endl;
                return 1;
            }
        } else {
            for (const char *suffix : {"", "-wal", "-shm"})
                QFile::remove(file + QString::fromLatin1(suffix));
        }
        {
            Session session(settings);
            DatabaseOpener opener(session);
            QElapsedTimer timer;
            timer.start();
            if (!opener.open(true, callbacks)) {
                out << "échec de la création" << Qt::endl;
                return 1;
            }
            create.push_back(timer.nsecsElapsed() / 1e6);
            createStatements = opener.schemaStatements();
        }
        Session session(settings);
        DatabaseOpener opener(session);
        QElapsedTimer timer;
        timer.start();
        if (!opener.open(false)) {
            out << "échec de l'ouverture" << Qt::endl;
            return 1;
        }
        open.push_back(timer.nsecsElapsed() / 1e6);
        openStatements = opener.schemaStatements();
    }
    out << (server ? "MariaDB" : "fichier") << ", " << runs << " essais (médiane)\n"
        << "  nouvelle base, schéma complet : " << QString::number(median(create), 'f', 1) << " ms, "
        << createStatements << " instructions de schéma\n"
        << "  ouverture d'une base à jour   : " << QString::number(median(open), 'f', 1) << " ms, "
        << openStatements << " instructions de schéma (1 sonde + état)" << Qt::endl;
    return 0;
}
