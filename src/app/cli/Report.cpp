#include "Report.h"

#include "DatabaseArguments.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "reports/HistoryReport.h"
#include "reports/ReportPages.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

bool readNumbers(const QStringList &values, const QString &option, QList<qint64> *numbers, QTextStream &err)
{
    for (const QString &value : values) {
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        if (!ok || n < 0) {
            err << "Valeur incorrecte pour --" << option << " : " << value << Qt::endl;
            return false;
        }
        numbers->append(n);
    }
    return true;
}

bool writeText(const ReportTable &table, const QString &path, QTextStream &out, QTextStream &err)
{
    const QByteArray text = (table.exportLines().join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (path.isEmpty() || path == QLatin1String("-")) {
        out << QString::fromUtf8(text);
        out.flush();
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0 || !file.commit()) {
        err << "Erreur : " << file.errorString() << " (" << path << ")" << Qt::endl;
        return false;
    }
    return true;
}

// The pages as the print preview draws them, into a PDF file.
bool writePdf(const ReportTable &table, const QString &path, QTextStream &err)
{
    PageSetup setup;
    ReportPages pages(table, setup);
    if (const Outcome laid = pages.layout(); !laid) {
        printMessages(laid, err);
        return false;
    }
    {
        QPdfWriter writer(path);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(setup.size, setup.orientation, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(table.titleLines().join(QLatin1Char(' ')));
        writer.setCreator(QStringLiteral("Quenzo"));
        if (!pages.print(writer, 1, pages.pageCount())) {
            err << "Erreur imprimante (" << path << ")" << Qt::endl;
            return false;
        }
    }
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
        err << "Erreur : le fichier " << path << " n'a pas pu être écrit." << Qt::endl;
        return false;
    }
    return true;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Écrit un historique par ressource ou par client en texte (TAB) ou en PDF."));
    parser.addPositionalArgument(QStringLiteral("report"), QStringLiteral("commande"));
    DatabaseArguments target;
    target.addTo(parser);
    const QCommandLineOption kind(QStringLiteral("kind"), QStringLiteral("resource ou client"), QStringLiteral("genre"),
                                  QStringLiteral("resource"));
    const QCommandLineOption type(QStringLiteral("type"), QStringLiteral("numéro de l'état (0 à 8 par ressource, 0 à 5 par client)"),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption start(QStringLiteral("start"), QStringLiteral("premier jour (jj/mm/aaaa)"), QStringLiteral("date"));
    const QCommandLineOption end(QStringLiteral("end"), QStringLiteral("dernier jour (jj/mm/aaaa)"), QStringLiteral("date"));
    const QCommandLineOption preset(QStringLiteral("preset"),
                                    QStringLiteral("période : 0 aujourd'hui, 1 semaine, 2 deux semaines, 3 mois, 4 deux mois, 5 année"),
                                    QStringLiteral("N"));
    const QCommandLineOption resource(QStringLiteral("resource"), QStringLiteral("numéro d'une ressource (répétable)"),
                                      QStringLiteral("N"));
    const QCommandLineOption client(QStringLiteral("client"), QStringLiteral("numéro d'un client (répétable)"), QStringLiteral("N"));
    const QCommandLineOption project(QStringLiteral("project"), QStringLiteral("code d'un projet"), QStringLiteral("code"));
    const QCommandLineOption state(QStringLiteral("state"), QStringLiteral("all, done ou not-done"), QStringLiteral("état"),
                                   QStringLiteral("all"));
    const QCommandLineOption comment(QStringLiteral("comment"), QStringLiteral("texte cherché dans les commentaires"),
                                     QStringLiteral("texte"));
    const QCommandLineOption outFile(QStringLiteral("out"), QStringLiteral("fichier texte à écrire (- : sortie standard)"),
                                     QStringLiteral("fichier"));
    const QCommandLineOption pdfFile(QStringLiteral("pdf"), QStringLiteral("fichier PDF à écrire"), QStringLiteral("fichier"));
    parser.addOptions({kind, type, start, end, preset, resource, client, project, state, comment, outFile, pdfFile});
    if (const int status = target.parse(parser, arguments, QStringLiteral("report"), out, err); status >= 0)
        return status;

    HistoryParameters p;
    const QString kindText = parser.value(kind);
    if (kindText != QLatin1String("resource") && kindText != QLatin1String("client")) {
        err << "Valeur incorrecte pour --kind : " << kindText << " (resource ou client)" << Qt::endl;
        return 2;
    }
    p.kind = kindText == QLatin1String("client") ? HistoryKind::Client : HistoryKind::Resource;
    bool ok = false;
    p.type = parser.value(type).toInt(&ok);
    if (!ok || p.type < 0 || p.type >= HistoryReport::typeCount(p.kind)) {
        err << "Valeur incorrecte pour --type : " << parser.value(type) << Qt::endl;
        return 2;
    }
    if (parser.isSet(preset)) {
        const int n = parser.value(preset).toInt(&ok);
        if (!ok || n < HistoryPeriod::Today || n > HistoryPeriod::Year) {
            err << "Valeur incorrecte pour --preset : " << parser.value(preset) << Qt::endl;
            return 2;
        }
        HistoryPeriod::range(n, QDate::currentDate(), 0, &p.start, &p.end);
    }
    for (const auto &[option, date] : {std::pair{&start, &p.start}, std::pair{&end, &p.end}}) {
        if (!parser.isSet(*option))
            continue;
        *date = QDate::fromString(parser.value(*option), QStringLiteral("dd/MM/yyyy"));
        if (!date->isValid()) {
            err << "Date incorrecte pour --" << option->names().constFirst() << " : " << parser.value(*option) << Qt::endl;
            return 2;
        }
    }
    if (!readNumbers(parser.values(resource), QStringLiteral("resource"), &p.resources, err)
        || !readNumbers(parser.values(client), QStringLiteral("client"), &p.clients, err))
        return 2;
    const QStringList states{QStringLiteral("all"), QStringLiteral("done"), QStringLiteral("not-done")};
    p.state = int(states.indexOf(parser.value(state)));
    if (p.state < 0) {
        err << "Valeur incorrecte pour --state : " << parser.value(state) << Qt::endl;
        return 2;
    }
    p.project = parser.value(project).trimmed();
    p.projectLabel = p.project;
    p.comment = parser.value(comment);
    DatabaseArguments::Reader reader;
    if (const int status = target.openExisting(&reader, err))
        return status;
    Session &session = *reader.session;
    HistoryOutput output;
    const Outcome outcome = HistoryReport(session, p).run(&output);
    printMessages(outcome, err);
    if (!outcome)
        return 1;
    if (parser.isSet(pdfFile) && !writePdf(output.table, parser.value(pdfFile), err))
        return 1;
    if ((parser.isSet(outFile) || !parser.isSet(pdfFile)) && !writeText(output.table, parser.value(outFile), out, err))
        return 1;
    return 0;
}

} // namespace

int runReport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    return run(arguments, out, err);
}
