// A resource history report over one year of a seeded database: 500
// resources, 10,000 clients, 100,000 date lines and 200 series.
//
//   bench_history                  embedded file database
//   bench_history --server         MariaDB through QUENZO_TEST_DSN (see scripts/mariadb-test-server.sh)
//   bench_history --file PATH      a file database kept between runs: seeded on the first, reused after
//   bench_history --server --reuse the server database of the previous run, not seeded again
//
// The list of tasks (type 0) runs for every resource and for one resource;
// the target is under 3 s each.

#include "BenchDatabase.h"
#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "reports/HistoryQueries.h"
#include "reports/HistoryReport.h"
#include "seed/SeedGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

QString ms(double v)
{
    return QString::number(v, 'f', 1) + QStringLiteral(" ms");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool server = args.contains(QStringLiteral("--server"));
    const int runsAt = args.indexOf(QStringLiteral("--runs"));
    const int runs = runsAt > 0 ? qMax(1, args.value(runsAt + 1).toInt()) : 3;
    QTextStream out(stdout);

    const int fileAt = args.indexOf(QStringLiteral("--file"));
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quenzo.ini")));
    const QString database = QStringLiteral("qz_bench_history");
    const QString file = fileAt > 0 ? args.value(fileAt + 1) : dir.filePath(QStringLiteral("bench.qdb"));
    const bool reuse = server ? args.contains(QStringLiteral("--reuse")) : fileAt > 0 && QFile::exists(file);
    if (!prepareBenchBase(settings, server, file, database, reuse, out))
        return 1;
    Session session(settings);
    if (!openBenchSession(session, out))
        return 1;

    const SeedOptions options = planningBenchSeed(10000);
    SeedReport report;
    QElapsedTimer seedTimer;
    seedTimer.start();
    if (!reuse && !seedBenchBase(session, options, &report, out))
        return 1;
    out << (server ? "MariaDB" : "fichier") << ", " << runs << " essais (médiane)\n";
    if (reuse)
        out << "  base reprise de " << (server ? database : file) << "\n";
    else
        out << "  base générée en " << ms(seedTimer.nsecsElapsed() / 1e6) << " : " << report.resources << " ressources, "
            << report.clients << " clients, " << report.dateLines << " lignes de dates, " << report.series << " séries\n";

    HistoryParameters p;
    p.kind = HistoryKind::Resource;
    p.type = 0;
    p.start = options.firstDay;
    p.end = options.firstDay.addDays(options.days - 1);
    out << "  liste des tâches du " << p.start.toString(QStringLiteral("dd/MM/yyyy")) << " au "
        << p.end.toString(QStringLiteral("dd/MM/yyyy")) << "\n";
    for (const QList<qint64> &chosen : {QList<qint64>{}, QList<qint64>{1}}) {
        p.resources = chosen;
        std::vector<double> times;
        HistoryOutput output;
        qint64 statements = 0;
        for (int i = 0; i < runs; ++i) {
            const qint64 before = session.database()->statementCount();
            QElapsedTimer t;
            t.start();
            const Outcome o = HistoryReport(session, p).run(&output);
            times.push_back(t.nsecsElapsed() / 1e6);
            statements = session.database()->statementCount() - before;
            if (!o) {
                out << "échec du rapport : " << o.text() << ' ' << o.dbError() << Qt::endl;
                return 1;
            }
        }
        // The main statement alone, read into memory: what the back end costs.
        QElapsedTimer bare;
        bare.start();
        ResultSet rows;
        if (!session.database()->query(HistoryQueries::taskQuery(session.dialect(), p), rows)) {
            out << "échec de la requête : " << session.database()->lastError() << Qt::endl;
            return 1;
        }
        const double bareMs = bare.nsecsElapsed() / 1e6;
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        out << "    " << (chosen.isEmpty() ? "toutes les ressources" : "une ressource        ") << " : " << ms(median) << ", "
            << output.lines << " lignes, " << statements << " instructions, requête principale seule " << ms(bareMs) << " ("
            << rows.rowCount() << " enregistrements)" << (median < 3000 ? " (< 3 s)" : " (TROP LENT)")
            << "\n";
    }
    out.flush();
    return 0;
}
