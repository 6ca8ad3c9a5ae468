#include "ExportIcs.h"
#include "ExportPlanning.h"
#include "InitDb.h"
#include "Report.h"
#include "Seed.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // The planning exports and the reports' PDF draw text: they need the GUI
    // classes, without a display.
    const QByteArray first = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const bool draws = first == "report" || (first.startsWith("export-") && first != "export-ics");
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A scheduled job has no session folder; one of our own keeps its error output clean.
    if (draws && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/quenzo-runtime-") + QString::number(getuid());
        if (QDir().mkpath(runtime) && QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    const std::unique_ptr<QCoreApplication> app(draws ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setOrganizationName(QStringLiteral("Quenzo"));
    QCoreApplication::setApplicationName(QStringLiteral("Quenzo"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList arguments = app->arguments();
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
    if (command == QLatin1String("export-html"))
        return runExportHtml(arguments, out, err);
    if (command == QLatin1String("export-jpeg"))
        return runExportJpeg(arguments, out, err);
    if (command == QLatin1String("export-pdf"))
        return runExportPdf(arguments, out, err);
    if (command == QLatin1String("report"))
        return runReport(arguments, out, err);

    err << "Usage : quenzo-cli --version | quenzo-cli init-db ... | quenzo-cli seed ... | quenzo-cli export-ics ... | quenzo-cli export-html|export-jpeg|export-pdf ... | quenzo-cli report ..." << Qt::endl;
    return 2;
}
