#include "ExportPlanning.h"

#include "DatabaseArguments.h"
#include "core/Database.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/SqlText.h"
#include "planning/PlanningExport.h"
#include "planning/PlanningPages.h"
#include "reports/PaperFormats.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextStream>

#include <optional>

namespace {

enum class Kind { Html, Jpeg, Pdf };

QString commandName(Kind kind)
{
    return kind == Kind::Html ? QStringLiteral("export-html") : kind == Kind::Jpeg ? QStringLiteral("export-jpeg")
                                                                                   : QStringLiteral("export-pdf");
}

std::optional<Presentation> presentationOf(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("resource") || n == QLatin1String("ressource") || n == QLatin1String("0"))
        return Presentation::ByResource;
    if (n == QLatin1String("client") || n == QLatin1String("1"))
        return Presentation::ByClient;
    if (n == QLatin1String("type") || n == QLatin1String("tache") || n == QLatin1String("2"))
        return Presentation::ByTaskType;
    return std::nullopt;
}

std::optional<Period> periodOf(const QString &name)
{
    static const QHash<QString, Period> english = {
        {QStringLiteral("day"), Period::Day},          {QStringLiteral("days"), Period::NbDays},
        {QStringLiteral("week"), Period::Week},        {QStringLiteral("twoweeks"), Period::TwoWeeks},
        {QStringLiteral("month"), Period::Month},      {QStringLiteral("twomonths"), Period::TwoMonths},
        {QStringLiteral("quarter"), Period::Quarter},  {QStringLiteral("halfyear"), Period::HalfYear},
        {QStringLiteral("year"), Period::Year},
    };
    const QString n = name.trimmed().toLower();
    if (english.contains(n))
        return english.value(n);
    for (Period p : PlanningPeriod::all())
        if (PlanningPeriod::caption(p).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return p;
    return std::nullopt;
}

// The first column of the first row, empty when none.
QString firstValue(Database &db, const QString &sql)
{
    ResultSet rs;
    return db.query(sql, rs) && !rs.isEmpty() ? rs.value(0, 0).trimmed() : QString();
}

struct Options
{
    QCommandLineOption presentation{QStringLiteral("presentation"), QStringLiteral("lignes par resource, client ou type"), QStringLiteral("nom")};
    QCommandLineOption start{QStringLiteral("start"), QStringLiteral("premier jour (jj/mm/aaaa), aujourd'hui par défaut"), QStringLiteral("date")};
    QCommandLineOption days{QStringLiteral("days"), QStringLiteral("nombre de jours (période \"Nombre de jours\")"), QStringLiteral("N")};
    QCommandLineOption period{QStringLiteral("period"),
                              QStringLiteral("période : day, days, week, twoweeks, month, twomonths, quarter, halfyear, year "
                                             "(ou Journalier, Hebdomadaire ...)"),
                              QStringLiteral("nom")};
    QCommandLineOption kind{QStringLiteral("resource-kind"), QStringLiteral("sorte de ressource 0, 1 ou 2 (répétable)"), QStringLiteral("N")};
    QCommandLineOption team{QStringLiteral("team"), QStringLiteral("numéro d'équipe"), QStringLiteral("N")};
    QCommandLineOption taskType{QStringLiteral("task-type"), QStringLiteral("numéro de type de tâche (répétable)"), QStringLiteral("N")};
    QCommandLineOption zone{QStringLiteral("zone"), QStringLiteral("numéro de zone"), QStringLiteral("N")};
    QCommandLineOption clientType{QStringLiteral("client-type"), QStringLiteral("1 sociétés, 2 particuliers"), QStringLiteral("N")};
    QCommandLineOption project{QStringLiteral("project"), QStringLiteral("code projet"), QStringLiteral("code")};
    QCommandLineOption sector{QStringLiteral("sector"), QStringLiteral("code secteur"), QStringLiteral("code")};
    QCommandLineOption urgency{QStringLiteral("urgency"), QStringLiteral("code urgence"), QStringLiteral("code")};
    QCommandLineOption out{QStringLiteral("out"), QStringLiteral("dossier (fichier pour export-pdf)"), QStringLiteral("chemin")};
    QCommandLineOption title{QStringLiteral("title"), QStringLiteral("titre du planning"), QStringLiteral("texte")};
    QCommandLineOption rows{QStringLiteral("rows"), QStringLiteral("lignes par image (export-html), NbRessMax par défaut"), QStringLiteral("N")};
    QCommandLineOption width{QStringLiteral("width"), QStringLiteral("largeur des images en pixels (export-html)"), QStringLiteral("N")};
    QCommandLineOption zoom{QStringLiteral("zoom"), QStringLiteral("zoom des images en % (export-jpeg), 100 par défaut"), QStringLiteral("N")};
    QCommandLineOption format{QStringLiteral("format"), QStringLiteral("format de papier 1, 8, 9, 10 ou 11 (export-pdf)"), QStringLiteral("N")};
    QCommandLineOption portrait{QStringLiteral("portrait"), QStringLiteral("page en hauteur (paysage par défaut)")};

    void addTo(QCommandLineParser &parser, Kind kind) const
    {
        parser.addOptions({presentation, start, days, period, this->kind, team, taskType, zone, clientType, project, sector,
                           urgency, out, title});
        if (kind == Kind::Html)
            parser.addOptions({rows, width});
        else
            parser.addOptions({format, portrait});
        if (kind == Kind::Jpeg)
            parser.addOption(zoom);
    }
};

class Failure
{
public:
    explicit Failure(QTextStream &err) : m_err(err) {}
    int operator()(const QString &text, int status = 2) const
    {
        m_err << text << Qt::endl;
        return status;
    }

private:
    QTextStream &m_err;
};

// A whole number of an option, within bounds.
bool number(const QCommandLineParser &parser, const QCommandLineOption &option, int low, int high, int *value)
{
    bool ok = false;
    const int v = parser.value(option).trimmed().toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// The filters of the command line, with the caption the planning prints.
bool readFilters(const QCommandLineParser &parser, const Options &o, Session &session, FilterChoice *choice, const Failure &fail,
                 int *status)
{
    Database &db = *session.database();
    const Terms &terms = session.terms();
    const auto wrong = [&](const QCommandLineOption &option, const QString &value) {
        *status = fail(QStringLiteral("Valeur incorrecte pour --%1 : %2").arg(option.names().first(), value));
        return false;
    };
    QStringList kinds;
    for (const QString &v : parser.values(o.kind)) {
        bool ok = false;
        const int k = v.toInt(&ok);
        if (!ok || k < 0 || k > 2)
            return wrong(o.kind, v);
        choice->resourceKinds.append(k);
        kinds.append(QStringList{QStringLiteral("Humain"), QStringLiteral("Matériel"), QStringLiteral("à définir")}.at(k));
    }
    if (!kinds.isEmpty())
        choice->shown.insert(FilterId::Ressource, kinds.join(QStringLiteral(", ")));
    QStringList types;
    for (const QString &v : parser.values(o.taskType)) {
        bool ok = false;
        const qint64 t = v.toLongLong(&ok);
        if (!ok || t < 0)
            return wrong(o.taskType, v);
        choice->taskTypes.append(t);
        types.append(firstValue(db, QStringLiteral("select libtache from kp_taches where noidtache = ") + QString::number(t)));
    }
    if (!types.isEmpty())
        choice->shown.insert(FilterId::Tache, types.join(QStringLiteral(", ")));
    if (parser.isSet(o.team)) {
        bool ok = false;
        choice->team = parser.value(o.team).toLongLong(&ok);
        if (!ok || choice->team <= 0)
            return wrong(o.team, parser.value(o.team));
        choice->shown.insert(FilterId::Equipe, firstValue(db, QStringLiteral("select libequipe from kp_equipes where noequipe = ")
                                                                  + QString::number(choice->team)));
    }
    if (parser.isSet(o.zone)) {
        bool ok = false;
        choice->zone = parser.value(o.zone).toInt(&ok);
        if (!ok || choice->zone < 0)
            return wrong(o.zone, parser.value(o.zone));
        choice->shown.insert(FilterId::Zone, choice->zone == 0 ? QStringLiteral("Défaut")
                                                               : firstValue(db, QStringLiteral("select libzone from kp_zones where noidzone = ")
                                                                                    + QString::number(choice->zone)));
    }
    if (parser.isSet(o.clientType)) {
        if (!number(parser, o.clientType, 0, 2, &choice->clientType))
            return wrong(o.clientType, parser.value(o.clientType));
        if (choice->clientType > 0)
            choice->shown.insert(FilterId::Client, terms.plural(choice->clientType == 1 ? Entity::Societe : Entity::Particulier));
    }
    const auto code = [&](const QCommandLineOption &option, FilterId id, const QString &table, QString *field) {
        if (!parser.isSet(option))
            return;
        *field = parser.value(option).trimmed();
        const QString label = firstValue(db, QStringLiteral("select libelle from ") + table + QStringLiteral(" where code = '")
                                                 + sqlText(*field) + QLatin1Char('\''));
        choice->shown.insert(id, label.isEmpty() ? *field : label);
    };
    code(o.project, FilterId::Projet, QStringLiteral("kp_projets"), &choice->project);
    code(o.sector, FilterId::Secteur, QStringLiteral("kp_secteurs"), &choice->sector);
    code(o.urgency, FilterId::Urgence, QStringLiteral("kp_urgences"), &choice->urgency);
    return true;
}

int run(Kind kind, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString name = commandName(kind);
    QCommandLineParser parser;
    parser.setApplicationDescription(kind == Kind::Html   ? QStringLiteral("Exporte le planning en site HTML (images et pages de détail).")
                                     : kind == Kind::Jpeg ? QStringLiteral("Exporte les pages du planning en images JPEG.")
                                                          : QStringLiteral("Imprime le planning dans un fichier PDF."));
    parser.addPositionalArgument(name, QStringLiteral("commande"));
    DatabaseArguments target;
    target.addTo(parser);
    Options o;
    o.addTo(parser, kind);
    if (const int status = target.parse(parser, arguments, name, out, err); status >= 0)
        return status;
    const Failure fail(err);

    QList<Presentation> presentations;
    for (const QString &v : parser.values(o.presentation)) {
        const auto p = presentationOf(v);
        if (!p)
            return fail(QStringLiteral("Valeur incorrecte pour --presentation : ") + v);
        if (!presentations.contains(*p))
            presentations.append(*p);
    }
    if (presentations.isEmpty())
        presentations.append(Presentation::ByResource);
    if (kind != Kind::Html && presentations.size() > 1)
        return fail(QStringLiteral("Une seule --presentation pour ") + name + QLatin1Char('.'));

    QDate start = QDate::currentDate();
    if (parser.isSet(o.start)) {
        start = QDate::fromString(parser.value(o.start), QStringLiteral("dd/MM/yyyy"));
        if (!start.isValid())
            return fail(QStringLiteral("Date incorrecte pour --start : ") + parser.value(o.start));
    }
    int nbJours = 30;
    if (parser.isSet(o.days) && !number(parser, o.days, 1, 3660, &nbJours))
        return fail(QStringLiteral("Valeur incorrecte pour --days : ") + parser.value(o.days));
    QList<Period> periods;
    for (const QString &v : parser.values(o.period)) {
        const auto p = periodOf(v);
        if (!p)
            return fail(QStringLiteral("Période inconnue : ") + v);
        if (!periods.contains(*p))
            periods.append(*p);
    }
    if (periods.isEmpty())
        periods.append(Period::NbDays);
    if (kind != Kind::Html && periods.size() > 1)
        return fail(QStringLiteral("Une seule --period pour ") + name + QLatin1Char('.'));

    const QString path = parser.value(o.out);
    if (path.isEmpty())
        return fail(QStringLiteral("Indiquez --out ") + (kind == Kind::Pdf ? QStringLiteral("FICHIER.") : QStringLiteral("DOSSIER.")));
    if (kind != Kind::Pdf && !QFileInfo(path).isDir())
        return fail(QStringLiteral("Fichier ou répertoire incorrect : le dossier %1 n'existe pas.").arg(path));
    if (kind == Kind::Pdf && !QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return fail(QStringLiteral("Fichier ou répertoire incorrect : le dossier %1 n'existe pas.").arg(QFileInfo(path).absolutePath()));
    int zoom = 100, rows = 0, width = 0, format = PaperFormats::DefaultCode;
    if (kind == Kind::Jpeg && parser.isSet(o.zoom) && !number(parser, o.zoom, 30, 200, &zoom))
        return fail(QStringLiteral("Valeur incorrecte pour --zoom : ") + parser.value(o.zoom));
    if (kind == Kind::Html && parser.isSet(o.rows) && !number(parser, o.rows, 5, 50, &rows))
        return fail(QStringLiteral("Valeur incorrecte pour --rows : ") + parser.value(o.rows));
    if (kind == Kind::Html && parser.isSet(o.width) && !number(parser, o.width, 320, 10000, &width))
        return fail(QStringLiteral("Valeur incorrecte pour --width : ") + parser.value(o.width));
    if (kind != Kind::Html && parser.isSet(o.format) && (!number(parser, o.format, 1, 11, &format) || PaperFormats::byCode(format).code != format))
        return fail(QStringLiteral("Erreur de format de papier : ") + parser.value(o.format));

    // The workstation's own settings (planning colours, fonts, rows per page)
    // apply; the database is the one named here.
    DatabaseArguments::Reader reader;
    if (const int status = target.openExisting(&reader, err, true))
        return status;
    Session &session = *reader.session;
    Settings &settings = *reader.settings;

    FilterChoice choice;
    int status = 0;
    if (!readFilters(parser, o, session, &choice, fail, &status))
        return status;
    FilterFragments fragments;
    if (const Outcome built = PlanningFilters::build(*session.database(), choice, &fragments); !built) {
        printMessages(built, err);
        return 1;
    }
    const PlanningSettings planning = PlanningSettings::read(settings);

    if (kind == Kind::Html) {
        HtmlExportOptions html = HtmlExportOptions::fromSettings(settings);
        html.folder = path;
        html.presentations = presentations;
        html.periods = periods;
        html.nbJours = nbJours;
        html.start = start;
        html.fragments = fragments;
        if (rows > 0)
            html.rowsPerPage = rows;
        if (width > 0)
            html.imageWidth = width;
        QStringList files;
        QString why;
        if (const Outcome written = HtmlSite::write(session, html, &files, &why); !written) {
            printMessages(written, err);
            err << "Export non réalisé" << (why.isEmpty() ? QString() : QStringLiteral(" : ") + why) << Qt::endl;
            return 1;
        }
        out << files.size() << " fichiers écrits dans " << path << Qt::endl;
        return 0;
    }

    PlanningPrint input;
    input.presentation = presentations.first();
    input.period = periods.first();
    input.start = start;
    input.nbJours = nbJours;
    input.colours = planning.colourSource;
    input.fragments = fragments;
    input.title = parser.isSet(o.title) ? parser.value(o.title)
                                        : PlanningPrint::titleFor(session.terms(), input.presentation, input.period, nbJours);
    PlanningPages pages;
    if (const Outcome loaded = pages.load(session, input); !loaded) {
        printMessages(loaded, err);
        return 1;
    }
    const QPageLayout::Orientation orientation = kind != Kind::Html && parser.isSet(o.portrait) ? QPageLayout::Portrait : QPageLayout::Landscape;
    const QPageSize paper(PaperFormats::byCode(format).size);
    const QSizeF points = paper.size(QPageSize::Point) * PlanningPages::Dpi / 72.0;
    pages.setPage(orientation == QPageLayout::Landscape ? points.transposed() : points);

    if (kind == Kind::Jpeg) {
        QStringList files;
        const QString title = parser.isSet(o.title) ? parser.value(o.title) : PlanningExport::safeName(input.title);
        if (const Outcome written = PlanningExport::writeJpegPages(pages, path, title, zoom / 100.0, &files); !written) {
            printMessages(written, err);
            return 1;
        }
        for (const QString &f : std::as_const(files))
            out << f << Qt::endl;
        return 0;
    }

    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(paper, orientation, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(input.title);
    writer.setCreator(QStringLiteral("Quenzo"));
    if (!pages.print(writer, 1, pages.pageCount())) {
        err << "Erreur imprimante : Erreur : impossible d'écrire " << path << Qt::endl;
        return 1;
    }
    out << path << " : " << pages.pageCount() << " page" << (pages.pageCount() > 1 ? "s" : "") << Qt::endl;
    return 0;
}

} // namespace

int runExportHtml(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    return run(Kind::Html, arguments, out, err);
}

int runExportJpeg(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    return run(Kind::Jpeg, arguments, out, err);
}

int runExportPdf(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    return run(Kind::Pdf, arguments, out, err);
}
