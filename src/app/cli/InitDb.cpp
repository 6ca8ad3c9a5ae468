#include "InitDb.h"

#include "DatabaseArguments.h"
#include "core/DatabaseOpener.h"
#include "core/Session.h"
#include "core/Settings.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

int runInitDb(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Crée ou ouvre une base Quenzo et vérifie son schéma."));
    parser.addPositionalArgument(QStringLiteral("init-db"), QStringLiteral("commande"));
    DatabaseArguments target;
    target.addTo(parser);
    const QCommandLineOption description(QStringLiteral("description"), QStringLiteral("description de la base"),
                                         QStringLiteral("texte"));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("enregistre la base dans les paramètres de l'utilisateur"));
    parser.addOptions({description, save});
    if (const int status = target.parse(parser, arguments, QStringLiteral("init-db"), out, err); status >= 0)
        return status;

    // The user's own settings are touched only when asked.
    QTemporaryDir scratch;
    Settings settings(parser.isSet(save) ? Settings::defaultFilePath() : scratch.filePath(QStringLiteral("Quenzo.ini")));
    target.configure(settings);
    Session session(settings);

    QElapsedTimer timer;
    timer.start();
    bool created = false;
    const Outcome outcome = target.open(session, &created);
    printMessages(outcome, err);
    if (!outcome)
        return 1;
    if (parser.isSet(description)) {
        const Outcome written = DatabaseOpener::writeDescription(session, parser.value(description));
        if (!written) {
            printMessages(written, err);
            return 1;
        }
    }
    out << "Base prête" << (created ? " (créée)" : "") << " : " << target.target() << " en " << timer.elapsed() << " ms"
        << Qt::endl;
    return 0;
}
