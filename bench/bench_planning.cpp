// Loading and drawing a big planning: 500 resources, 10,000 clients,
// 100,000 date lines and 200 series, generated with a fixed seed.
//
//   bench_planning [--runs N]            embedded file database
//   bench_planning --server [--runs N]   MariaDB through QUENZO_TEST_DSN (see scripts/mariadb-test-server.sh)
//   bench_planning --file PATH           a file database kept between runs: seeded on the first, reused after
//
// The load of a 31-day window is compared with the bare query of the same
// days (their date lines with the task header, read into memory and nothing
// more), both measured here, alternately. The planning window reads a week
// more on each side of the days it shows, so both read those days too.

#include "BenchDatabase.h"
#include "core/DatabaseOpener.h"
#include "core/OdbcDatabase.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "planning/PlanningFilters.h"
#include "planning/PlanningLayout.h"
#include "planning/PlanningModel.h"
#include "planning/PlanningPainter.h"
#include "planning/PlanningQueries.h"
#include "seed/SeedGenerator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QString ms(double v)
{
    return QString::number(v, 'f', 1) + QStringLiteral(" ms");
}

// Peak resident memory in MB (VmHWM), and a way to start counting again.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

struct Load
{
    PlanningModel model;
    qint64 statements = 0;
    double rowsMs = 0; // the calendar and the rows; the rest reads the blocks
};

bool load(Session &session, const PlanningRequest &request, Load *result)
{
    Database &db = *session.database();
    const qint64 before = db.statementCount();
    PlanningModel model;
    QElapsedTimer t;
    t.start();
    if (!model.loadCalendar(session) || !model.loadRows(session, request))
        return false;
    result->rowsMs = t.nsecsElapsed() / 1e6;
    if (!model.loadBlocks(session, request))
        return false;
    result->statements = db.statementCount() - before;
    result->model = std::move(model);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool server = args.contains(QStringLiteral("--server"));
    const int runsAt = args.indexOf(QStringLiteral("--runs"));
    const int runs = runsAt > 0 ? qMax(1, args.value(runsAt + 1).toInt()) : 10;
    QTextStream out(stdout);

    const int fileAt = args.indexOf(QStringLiteral("--file"));
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Quenzo.ini")));
    const QString database = QStringLiteral("qz_bench_planning");
    const QString file = fileAt > 0 ? args.value(fileAt + 1) : dir.filePath(QStringLiteral("bench.qdb"));
    const bool reuse = !server && fileAt > 0 && QFile::exists(file);
    if (!prepareBenchBase(settings, server, file, database, false, out))
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
        out << "  base reprise de " << file << "\n";
    else
        out << "  base générée en " << ms(seedTimer.nsecsElapsed() / 1e6) << " : " << report.resources << " ressources, "
            << report.clients << " clients, " << report.dateLines << " lignes de dates, " << report.series << " séries\n";
    resetPeak();

    const QDate start = options.firstDay.addDays(91); // a Monday, inside the generated year
    const int shown = 31;
    const int margin = 7;
    PlanningRequest request;
    request.first = start.addDays(-margin);
    request.days = shown + 2 * margin;
    request.tooltipPhrase = QStringLiteral("ACBCECF");
    PlanningFilters::build(*session.database(), {}, &request.fragments);
    const QString bare = QStringLiteral("select d.noid,d.noidtache,d.urgence,d.codeprojet,d.blocage,d.codeconge,d.noidper,d.origine,"
                                        "d.noalerte,d.blocadm,t.noiddate,t.datedeb,t.datefin,t.nbjours,t.nbheures"
                                        " from kp_taches_dates t,kp_taches_desc d where d.noid = t.noid")
                         + PlanningQueries::windowCondition(session.dialect(), request.first, request.days);

    out << "  chargement de " << shown << " jours (+ " << margin << " jours de marge de chaque côté)\n";
    Load kept;
    for (Presentation p : {Presentation::ByResource, Presentation::ByClient, Presentation::ByTaskType}) {
        request.presentation = p;
        std::vector<double> bareTimes, loadTimes, rowTimes;
        Load result;
        int bareRows = 0;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            ResultSet rows;
            if (!session.database()->query(bare, rows)) {
                out << "échec de la requête : " << session.database()->lastError() << Qt::endl;
                return 1;
            }
            bareTimes.push_back(t.nsecsElapsed() / 1e6);
            bareRows = rows.rowCount();
            t.restart();
            if (!load(session, request, &result)) {
                out << "échec du chargement" << Qt::endl;
                return 1;
            }
            loadTimes.push_back(t.nsecsElapsed() / 1e6);
            rowTimes.push_back(result.rowsMs);
        }
        const double b = median(bareTimes), l = median(loadTimes);
        const char *name = p == Presentation::ByResource ? "par ressource " : p == Presentation::ByClient ? "par client    " : "par type      ";
        out << "    " << name << ": chargement " << ms(l) << " (dont lignes " << ms(median(rowTimes)) << "), requête nue " << ms(b) << " (" << bareRows
            << " lignes), rapport " << QString::number(l / b, 'f', 2) << " ; " << result.model.rows().size() << " lignes, "
            << result.model.blocks().size() << " blocs, " << result.statements << " instructions\n";
        if (p == Presentation::ByResource)
            kept = std::move(result);
    }
    out << "  mémoire résidente maximale, planning chargé : " << QString::number(peakMegabytes(), 'f', 0) << " Mo\n";

    // Drawing: the rows shown from the first one, as many as hold 3,000 blocks
    // on screen (50 at most), over a period long enough for it.
    PlanningSettings planning;
    PlanningLayout layout;
    layout.setModel(&kept.model);
    PlanningLayout::Frame frame;
    frame.period = Period::NbDays;
    frame.area = QRectF(0, 0, 1920, 1080);
    frame.headerFont = PlanningPainter::headerFont(planning, QFont(QStringLiteral("DejaVu Sans")));
    planning.rowsPerScreen = 50;
    int visible = 0;
    Load drawn;
    for (int days : {31, 62, 92, 123}) {
        PlanningRequest wide = request;
        wide.presentation = Presentation::ByResource;
        wide.first = start;
        wide.days = days;
        if (!load(session, wide, &drawn))
            return 1;
        layout.setModel(&drawn.model);
        layout.invalidate();
        frame.start = start;
        frame.days = days;
        layout.compute(planning, Presentation::ByResource, frame);
        visible = 0;
        for (const BlockPlace &place : layout.places())
            visible += place.rect.isEmpty() ? 0 : 1;
        if (visible >= 3000)
            break;
    }
    PlanningPainter::Style style;
    style.settings = planning;
    style.rowFont = PlanningPainter::rowFont(planning, QFont(QStringLiteral("DejaVu Sans")));
    style.blockFont = PlanningPainter::blockFont(planning, QFont(QStringLiteral("DejaVu Sans")));
    QImage image(1920, 1080, QImage::Format_RGB32);
    std::vector<double> frames;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        image.fill(Qt::white);
        QPainter painter(&image);
        PlanningPainter::paint(painter, layout, style);
        painter.end();
        frames.push_back(t.nsecsElapsed() / 1e6);
    }
    out << "  dessin 1920×1080 de " << frame.days << " jours, " << layout.visibleRows() << " lignes, " << visible
        << " blocs à l'écran : " << ms(median(frames)) << " par image (médiane de 50)\n";

    // Scrolling moves the layout; the database is not read.
    const qint64 before = session.database()->statementCount();
    std::vector<double> rowScroll, dayScroll;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        frame.firstRow = 1 + i % 2;
        layout.compute(planning, Presentation::ByResource, frame);
        rowScroll.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        frame.start = start.addDays(i % 2);
        frame.days = 30;
        layout.compute(planning, Presentation::ByResource, frame);
        dayScroll.push_back(t.nsecsElapsed() / 1e6);
    }
    out << "  défilement d'une ligne : " << ms(median(rowScroll)) << ", d'un jour : " << ms(median(dayScroll)) << ", "
        << session.database()->statementCount() - before << " instruction lue\n";
    out << "  mémoire résidente maximale en fin de mesure : " << QString::number(peakMegabytes(), 'f', 0) << " Mo" << Qt::endl;
    return 0;
}
