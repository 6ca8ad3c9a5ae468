// The HTML export of a month's planning of 500 resources: the seeded
// database, then the load, the drawing and JPEG encoding of the images, and
// the whole site written (images, main page, one detail page per block).
//
//   bench_htmlexport            embedded file database
//   bench_htmlexport --server   MariaDB through QUENZO_TEST_DSN (see scripts/mariadb-test-server.sh)
//
// Target: the whole site in under 10 seconds.

#include "BenchDatabase.h"
#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "planning/PlanningExport.h"
#include "planning/PlanningPages.h"
#include "seed/SeedGenerator.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

QString seconds(qint64 nanoseconds)
{
    return QString::number(nanoseconds / 1e9, 'f', 2) + QStringLiteral(" s");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool server = app.arguments().contains(QStringLiteral("--server"));
    QTextStream out(stdout);

    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quenzo.ini")));
    const QString database = QStringLiteral("qz_bench_htmlexport");
    if (!prepareBenchBase(settings, server, dir.filePath(QStringLiteral("bench.qdb")), database, false, out))
        return 1;
    Session session(settings);
    if (!openBenchSession(session, out))
        return 1;

    const SeedOptions options = planningBenchSeed(5000);
    SeedReport report;
    QElapsedTimer timer;
    timer.start();
    if (!seedBenchBase(session, options, &report, out))
        return 1;
    out << (server ? "MariaDB" : "fichier") << "\n  base générée en " << seconds(timer.nsecsElapsed()) << " : " << report.resources
        << " ressources, " << report.clients << " clients, " << report.dateLines << " lignes de dates, " << report.series
        << " séries\n";

    HtmlExportOptions html;
    html.presentations = {Presentation::ByResource};
    html.periods = {Period::NbDays};
    html.nbJours = 31;
    html.start = options.firstDay.addDays(91);
    html.rowsPerPage = 20;
    html.imageWidth = 1024;

    // The parts, measured on their own.
    PlanningPrint input;
    input.period = Period::NbDays;
    input.start = html.start;
    input.nbJours = html.nbJours;
    input.title = PlanningPrint::titleFor(session.terms(), input.presentation, input.period, input.nbJours);
    PlanningPages pages;
    timer.restart();
    if (!pages.load(session, input)) {
        out << "échec du chargement" << Qt::endl;
        return 1;
    }
    const qint64 load = timer.nsecsElapsed();
    pages.setPage(QSizeF(1024, 724), html.rowsPerPage, false);
    timer.restart();
    qint64 drawing = 0, encoding = 0;
    for (int p = 0; p < pages.pageCount(); ++p) {
        QElapsedTimer t;
        t.start();
        const QImage image = pages.image(p);
        drawing += t.nsecsElapsed();
        t.restart();
        QImageWriter writer(dir.filePath(QStringLiteral("page.jpg")), "jpeg");
        writer.setQuality(100);
        writer.write(image);
        encoding += t.nsecsElapsed();
    }
    out << "  " << input.days() << " jours, " << pages.model().rows().size() << " lignes, " << pages.model().blocks().size()
        << " blocs, " << pages.pageCount() << " images\n";
    out << "  chargement : " << seconds(load) << ", dessin des images : " << seconds(drawing) << ", encodage JPEG : "
        << seconds(encoding) << "\n";

    // The whole export, as the planning window or the command line runs it.
    QTemporaryDir site;
    html.folder = site.path();
    QStringList files;
    QString status;
    timer.restart();
    if (const Outcome written = HtmlSite::write(session, html, &files, &status); !written) {
        out << "échec de l'export : " << written.text() << ' ' << written.dbError() << Qt::endl;
        return 1;
    }
    const qint64 total = timer.nsecsElapsed();
    qint64 bytes = 0;
    for (const QString &f : std::as_const(files))
        bytes += QFileInfo(f).size();
    out << "  export HTML complet : " << files.size() << " fichiers, " << QString::number(bytes / 1048576.0, 'f', 1) << " Mo, en "
        << seconds(total) << (total < 10'000'000'000LL ? " (objectif < 10 s atteint)" : " (objectif < 10 s MANQUÉ)") << Qt::endl;
    return total < 10'000'000'000LL ? 0 : 1;
}
