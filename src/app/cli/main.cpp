#include "ExportIcs.h"
#include "InitDb.h"
#include "Report.h"
#include "Seed.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "report") == 0)
        return runReport(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quenzo"));
    QCoreApplication::setApplicationName(QStringLiteral("Quenzo"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList arguments = app.arguments();
    const QString command = arguments.value(1);
    if (command == QLatin1String("--version") || command == QLatin1String("version")) {
        out << "quenzo-cli " << QUENZO_VERSION << Qt::endl;
        return 0;
    }
    if (command == QLatin1String("init-db"))
        return runInitDb(arguments, out, err);
    if (command == QLatin1String("seed"))
        return runSeed(arguments, out, err);
    if (command == QLatin1String("export-ics"))
        return runExportIcs(arguments, out, err);

    err << "Usage : quenzo-cli --version | quenzo-cli init-db ... | quenzo-cli seed ... | quenzo-cli export-ics ... | quenzo-cli report ..." << Qt::endl;
    return 2;
}
