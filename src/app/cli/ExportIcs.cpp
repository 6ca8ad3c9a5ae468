#include "ExportIcs.h"

#include "DatabaseArguments.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "planning/IcsExport.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

int runExportIcs(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Exporte le planning de ressources en fichiers iCalendar (.ics)."));
    parser.addPositionalArgument(QStringLiteral("export-ics"), QStringLiteral("commande"));
    DatabaseArguments target;
    target.addTo(parser);
    const QCommandLineOption resource(QStringLiteral("resource"), QStringLiteral("numéro d'une ressource (répétable)"),
                                      QStringLiteral("N"));
    const QCommandLineOption all(QStringLiteral("all-resources"), QStringLiteral("toutes les ressources"));
    const QCommandLineOption start(QStringLiteral("start"), QStringLiteral("premier jour (jj/mm/aaaa)"), QStringLiteral("date"));
    const QCommandLineOption days(QStringLiteral("days"), QStringLiteral("nombre de jours"), QStringLiteral("N"));
    const QCommandLineOption folder(QStringLiteral("out"), QStringLiteral("dossier où écrire les fichiers"),
                                    QStringLiteral("dossier"));
    parser.addOptions({resource, all, start, days, folder});
    if (const int status = target.parse(parser, arguments, QStringLiteral("export-ics"), out, err); status >= 0)
        return status;

    if (parser.isSet(resource) == parser.isSet(all)) {
        err << "Indiquez --resource N (une ou plusieurs fois) ou --all-resources." << Qt::endl;
        return 2;
    }
    QList<qint64> resources;
    for (const QString &value : parser.values(resource)) {
        bool ok = false;
        resources.append(value.toLongLong(&ok));
        if (!ok || resources.constLast() <= 0) {
            err << "Valeur incorrecte pour --resource : " << value << Qt::endl;
            return 2;
        }
    }
    const QDate first = QDate::fromString(parser.value(start), QStringLiteral("dd/MM/yyyy"));
    if (!first.isValid()) {
        err << "Date incorrecte pour --start : " << parser.value(start) << Qt::endl;
        return 2;
    }
    bool ok = false;
    const int count = parser.value(days).toInt(&ok);
    if (!ok || count < 1) {
        err << "Valeur incorrecte pour --days : " << parser.value(days) << Qt::endl;
        return 2;
    }
    const QString outFolder = parser.value(folder);
    if (outFolder.isEmpty() || !QFileInfo(outFolder).isDir()) {
        err << "Le dossier " << outFolder << " n'existe pas." << Qt::endl;
        return 2;
    }
    DatabaseArguments::Reader reader;
    if (const int status = target.openExisting(&reader, err))
        return status;
    Session &session = *reader.session;
    QList<IcsCalendar> calendars;
    if (const Outcome built = IcsExport::build(session, resources, first, count, &calendars); !built) {
        printMessages(built, err);
        return 1;
    }
    for (const IcsCalendar &calendar : std::as_const(calendars)) {
        QString path;
        if (const Outcome written = IcsExport::write(calendar, outFolder, &path); !written) {
            printMessages(written, err);
            return 1;
        }
        out << path << Qt::endl;
    }
    return 0;
}
