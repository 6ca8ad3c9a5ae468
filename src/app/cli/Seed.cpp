#include "Seed.h"

#include "DatabaseArguments.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "seed/SeedGenerator.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

struct NumberOption
{
    QCommandLineOption option;
    int *value;
};

} // namespace

int runSeed(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    SeedOptions options;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Remplit une base vide avec un jeu d'essai reproductible."));
    parser.addPositionalArgument(QStringLiteral("seed"), QStringLiteral("commande"));
    DatabaseArguments target;
    target.addTo(parser);
    const QList<NumberOption> numbers = {
        {{QStringLiteral("resources"), QStringLiteral("nombre de ressources"), QStringLiteral("N")}, &options.resources},
        {{QStringLiteral("clients"), QStringLiteral("nombre de clients"), QStringLiteral("N")}, &options.clients},
        {{QStringLiteral("lines"), QStringLiteral("nombre de lignes de dates"), QStringLiteral("N")}, &options.dateLines},
        {{QStringLiteral("series"), QStringLiteral("nombre de séries périodiques"), QStringLiteral("N")}, &options.series},
        {{QStringLiteral("days"), QStringLiteral("durée de la période en jours"), QStringLiteral("N")}, &options.days}};
    for (const NumberOption &n : numbers)
        parser.addOption(n.option);
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("graine du tirage"), QStringLiteral("N"));
    const QCommandLineOption start(QStringLiteral("start"), QStringLiteral("premier jour (jj/mm/aaaa)"),
                                   QStringLiteral("date"));
    parser.addOptions({seed, start});
    if (const int status = target.parse(parser, arguments, QStringLiteral("seed"), out, err); status >= 0)
        return status;
    for (const NumberOption &n : numbers) {
        if (!parser.isSet(n.option))
            continue;
        bool ok = false;
        *n.value = parser.value(n.option).toInt(&ok);
        if (!ok) {
            err << "Valeur incorrecte pour --" << n.option.names().constFirst() << " : " << parser.value(n.option) << Qt::endl;
            return 2;
        }
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toUInt(&ok);
        if (!ok) {
            err << "Valeur incorrecte pour --seed : " << parser.value(seed) << Qt::endl;
            return 2;
        }
    }
    if (parser.isSet(start)) {
        options.firstDay = QDate::fromString(parser.value(start), QStringLiteral("dd/MM/yyyy"));
        if (!options.firstDay.isValid()) {
            err << "Date incorrecte pour --start : " << parser.value(start) << Qt::endl;
            return 2;
        }
    }

    // Never the user's own settings: the database is named on the command line only.
    QTemporaryDir scratch;
    Settings settings(scratch.filePath(QStringLiteral("Quenzo.ini")));
    target.configure(settings);
    Session session(settings);
    QElapsedTimer timer;
    timer.start();
    bool created = false;
    const Outcome opened = target.open(session, &created);
    printMessages(opened, err);
    if (!opened)
        return 1;
    SeedReport r;
    const Outcome outcome = SeedGenerator(session, options).run(&r);
    if (!outcome) {
        printMessages(outcome, err);
        return 1;
    }
    out << "Jeu d'essai écrit dans " << target.target() << (created ? " (créée)" : "") << Qt::endl
        << "  Ressources : " << r.resources << Qt::endl
        << "  Clients : " << r.clients << Qt::endl
        << "  Tâches : " << r.tasks << " (dont " << r.leaveEntries << " congés, " << r.series << " séries, " << r.detached
        << " occurrences sorties de leur série, " << r.cancelled << " occurrences annulées)" << Qt::endl
        << "  Lignes de dates : " << r.dateLines << Qt::endl
        << "  Affectations : " << r.taskResources << " ressources, " << r.taskClients << " clients" << Qt::endl
        << "  Listes : " << r.taskTypes << " types de tâches, " << r.leaveTypes << " types de congés, " << r.urgencies
        << " urgences, " << r.zones << " zones, " << r.sectors << " secteurs, " << r.projects << " projets, " << r.teams
        << " équipes (" << r.teamMembers << " membres), " << r.stages << " étapes, " << r.holidays << " jours fériés"
        << Qt::endl
        << "  Horaires de l'entreprise : " << (r.companyHours ? "écrits" : "conservés") << Qt::endl
        << "Terminé en " << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s" << Qt::endl;
    return 0;
}
