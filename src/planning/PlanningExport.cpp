#include "planning/PlanningExport.h"

#include "core/Database.h"
#include "core/Session.h"
#include "core/Settings.h"
#include "core/Terms.h"
#include "planning/PlanningPages.h"
#include "planning/PlanningQueries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cmath>

namespace {

const QString Error = QStringLiteral("Erreur");
const QString ImageError = QStringLiteral("Erreur lors de la création du fichier image");

// Files written into a hidden folder inside their destination, then moved in
// together: a failure on the way leaves the destination as it was.
class Staging
{
public:
    explicit Staging(const QString &folder) : m_folder(folder), m_dir(QDir(folder).filePath(QStringLiteral(".quenzo-export-XXXXXX"))) {}

    bool isValid() const { return m_dir.isValid(); }
    QString errorString() const { return m_dir.errorString(); }
    // Where to write a file that will be called `name`.
    QString take(const QString &name)
    {
        m_names.append(name);
        return m_dir.filePath(name);
    }
    // Moves the files in; the destination's files matching `stale` that this
    // export did not write are removed (pages of an earlier, longer planning).
    bool commit(const QStringList &stale, QStringList *written, QString *error)
    {
        const QDir target(m_folder);
        // Everything checked first: a place held by a folder stops the export before any file moves.
        for (const QString &name : std::as_const(m_names)) {
            const QFileInfo place(target.filePath(name));
            if (place.exists() && !place.isFile()) {
                *error = place.filePath();
                return false;
            }
        }
        const QSet<QString> mine(m_names.cbegin(), m_names.cend());
        for (const QString &old : target.entryList(stale, QDir::Files))
            if (!mine.contains(old))
                QFile::remove(target.filePath(old));
        for (const QString &name : std::as_const(m_names)) {
            const QString path = target.filePath(name);
            if ((QFileInfo::exists(path) && !QFile::remove(path)) || !QFile::rename(m_dir.filePath(name), path)) {
                *error = path;
                return false;
            }
            written->append(path);
        }
        return true;
    }

private:
    QString m_folder;
    QTemporaryDir m_dir;
    QStringList m_names;
};

Outcome folderProblem(const QString &folder)
{
    if (folder.trimmed().isEmpty() || !QFileInfo(folder).isDir())
        return Outcome::failure(Error, QStringLiteral("Fichier ou répertoire incorrect"),
                                QStringLiteral("Le dossier %1 n'existe pas.").arg(folder));
    return Outcome::success();
}

bool saveJpeg(const QImage &image, const QString &path, QString *error)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(100);
    if (writer.write(image))
        return true;
    *error = writer.errorString();
    return false;
}

// The files of one page written, or why not.
Outcome writePage(const PlanningPages &pages, int page, qreal zoom, Staging &staging, const QString &name)
{
    QString why;
    if (!saveJpeg(pages.image(page, zoom), staging.take(name), &why))
        return Outcome::failure(Error, QStringLiteral("Failed to save picture."), why);
    return Outcome::success();
}

Outcome commitStaging(Staging &staging, const QStringList &stale, QStringList *files)
{
    QStringList written;
    QString where;
    if (!staging.commit(stale, &written, &where))
        return Outcome::failure(Error, ImageError, where);
    if (files)
        files->append(written);
    return Outcome::success();
}

const QHash<QChar, QString> &namedEntities()
{
    static const QHash<QChar, QString> entities = [] {
        QHash<QChar, QString> e;
        const char *const names[][2] = {
            {"à", "agrave"}, {"â", "acirc"}, {"ä", "auml"}, {"ç", "ccedil"}, {"é", "eacute"}, {"è", "egrave"}, {"ê", "ecirc"},
            {"ë", "euml"}, {"î", "icirc"}, {"ï", "iuml"}, {"ô", "ocirc"}, {"ö", "ouml"}, {"ù", "ugrave"}, {"û", "ucirc"},
            {"ü", "uuml"}, {"ÿ", "yuml"}, {"À", "Agrave"}, {"Â", "Acirc"}, {"Ä", "Auml"}, {"Ç", "Ccedil"}, {"É", "Eacute"},
            {"È", "Egrave"}, {"Ê", "Ecirc"}, {"Ë", "Euml"}, {"Î", "Icirc"}, {"Ï", "Iuml"}, {"Ô", "Ocirc"}, {"Ö", "Ouml"},
            {"Ù", "Ugrave"}, {"Û", "Ucirc"}, {"Ü", "Uuml"}, {"á", "aacute"}, {"í", "iacute"}, {"ó", "oacute"},
            {"ú", "uacute"}, {"ñ", "ntilde"}, {"Ñ", "Ntilde"}, {"°", "deg"}, {"«", "laquo"}, {"»", "raquo"},
        };
        for (const auto &n : names)
            e.insert(QString::fromUtf8(n[0]).at(0), QLatin1Char('&') + QLatin1String(n[1]) + QLatin1Char(';'));
        return e;
    }();
    return entities;
}

} // namespace

QString PlanningExport::safeName(const QString &title)
{
    QString name;
    for (const QChar c : title.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        name += (c.unicode() < 128 && c.isLetterOrNumber()) || c == u'-' || c == u'_' ? c : QChar(u'_');
    }
    return name.isEmpty() ? QStringLiteral("Planning") : name.left(120);
}

QString PlanningExport::pageName(const QString &title, int page)
{
    return title + QLatin1Char('_') + QStringLiteral("%1").arg(page, 3, 10, QLatin1Char('0'));
}

QString PlanningExport::htmlText(const QString &text)
{
    QString html;
    html.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'<': html += QStringLiteral("&lt;"); break;
        case u'>': html += QStringLiteral("&gt;"); break;
        case u'&': html += QStringLiteral("&amp;"); break;
        case u'"': html += QStringLiteral("&quot;"); break;
        case u'\'': html += QStringLiteral("&#39;"); break;
        case u'\r': break;
        case u'\n': html += QStringLiteral("<BR>"); break;
        default:
            if (const auto named = namedEntities().constFind(c); c.unicode() >= 128 && named != namedEntities().constEnd())
                html += *named;
            else
                html += c; // beyond iso-8859-1: numbered below, once a surrogate pair is whole
        }
    }
    // Characters beyond iso-8859-1 (surrogate pairs included) as numbered entities.
    QString out;
    out.reserve(html.size());
    const QList<uint> points = html.toUcs4();
    for (const uint point : points) {
        if (point > 255)
            out += QStringLiteral("&#%1;").arg(point);
        else
            out += QChar(char16_t(point));
    }
    return out;
}

QByteArray PlanningExport::latin1(const QString &html)
{
    QStringEncoder encoder(QStringConverter::Latin1);
    return encoder.encode(html);
}

Outcome PlanningExport::interrupted()
{
    return Outcome::failure(QStringLiteral("Désolé"), QStringLiteral("Export interrompu"));
}

Outcome PlanningExport::writeJpegPages(const PlanningPages &pages, const QString &folder, const QString &title, qreal zoom,
                                       QStringList *files, const Progress &progress)
{
    if (const Outcome bad = folderProblem(folder); !bad)
        return bad;
    Staging staging(folder);
    if (!staging.isValid())
        return Outcome::failure(Error, ImageError, staging.errorString());
    for (int page = 0; page < pages.pageCount(); ++page) {
        if (progress && !progress(page, pages.pageCount(), title))
            return interrupted();
        if (const Outcome written = writePage(pages, page, zoom, staging, pageName(title, page + 1) + QStringLiteral(".jpg"));
            !written)
            return written;
    }
    return commitStaging(staging, {}, files);
}

HtmlExportOptions HtmlExportOptions::fromSettings(const Settings &s)
{
    const QString util = QStringLiteral("UTIL");
    HtmlExportOptions o;
    o.folder = s.read(util, QStringLiteral("RepHTML")).trimmed();
    for (int n = 0; n < 3; ++n)
        if (s.read(util, QString::number(n) + QStringLiteral("HTMLPLAN"), QStringLiteral("0")) == QLatin1String("1"))
            o.presentations.append(Presentation(n));
    const QList<Period> periods = PlanningPeriod::all();
    for (int n = 0; n < periods.size(); ++n)
        if (s.read(util, QString::number(n) + QStringLiteral("HTML"), QStringLiteral("0")) == QLatin1String("1"))
            o.periods.append(periods.at(n));
    if (o.periods.isEmpty())
        o.periods.append(Period::NbDays);
    bool ok = false;
    const int days = s.read(util, QStringLiteral("HTMLNBJ"), QStringLiteral("4")).trimmed().toInt(&ok);
    o.nbJours = ok && days > 0 ? qMin(days, 366) : 4;
    const int width = s.read(util, QStringLiteral("HTMLWPIX"), QStringLiteral("1024")).trimmed().toInt(&ok);
    o.imageWidth = ok ? qBound(320, width, 10000) : 1024;
    const PlanningSettings planning = PlanningSettings::read(s);
    o.rowsPerPage = planning.rowsPerScreen;
    o.colours = planning.colourSource;
    return o;
}

QChar HtmlSite::letter(Presentation presentation)
{
    return presentation == Presentation::ByResource ? u'R' : presentation == Presentation::ByClient ? u'C' : u'T';
}

QString HtmlSite::mainPage(const QDate &today, const QString &rowTerm, const QList<Image> &images)
{
    QStringList lines = {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"),
        QStringLiteral("<script language=\"JavaScript\">"),
        QStringLiteral("function popupcentree(page,largeur,hauteur,options) {"),
        QStringLiteral("  var top=(screen.height-hauteur)/2;"),
        QStringLiteral("  var left=(screen.width-largeur)/2;"),
        QStringLiteral("  window.open(page,\"\",\"top=\"+top+\",left=\"+left+\",width=\"+largeur+\",height=\"+hauteur+\",\"+options);"),
        QStringLiteral("}"),
        QStringLiteral("</script>"),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY bgcolor=\"#FFFFFF\">"),
        QStringLiteral("<CENTER><B>Quenzo : Le ") + today.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" <BR>")
            + QStringLiteral("D&eacute;tail par ") + PlanningExport::htmlText(rowTerm) + QStringLiteral("</B></CENTER>"),
    };
    for (const Image &image : images) {
        lines.append(QStringLiteral("<P><CENTER><img src=\"./") + image.name + QStringLiteral(".jpg\" usemap=\"#") + image.map
                     + QStringLiteral("\"></CENTER></P>"));
        lines.append(QStringLiteral("<map name=\"") + image.map + QStringLiteral("\">"));
        for (const Area &a : image.areas)
            lines.append(QStringLiteral("<area shape=\"rect\" coords='%1,%2,%3,%4'")
                             .arg(a.rect.left())
                             .arg(a.rect.top())
                             .arg(a.rect.left() + a.rect.width())
                             .arg(a.rect.top() + a.rect.height())
                         + QStringLiteral(" href='javascript:popupcentree(\"./") + a.detail
                         + QStringLiteral(".htm\",400,300,\"menubar=no,scrollbars=yes,statusbar=no\")' ")
                         + QStringLiteral(" alt='Cliquez pour le d&eacute;tail'>"));
        lines.append(QStringLiteral("</map>"));
    }
    lines.append(QStringLiteral("</BODY>"));
    lines.append(QStringLiteral("</HTML>"));
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString HtmlSite::detailPage(const QString &label, const QString &start, const QString &end, const QString &resourcesTerm,
                             const BlockDetail &detail)
{
    using PlanningExport::htmlText;
    const auto list = [](const QStringList &names) {
        QStringList lines;
        for (const QString &n : names)
            lines.append(htmlText(n) + QStringLiteral("<BR>"));
        return lines;
    };
    QStringList lines = {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"),
        QStringLiteral("<TITLE>") + htmlText(label) + QStringLiteral("</TITLE>"),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY bgcolor=\"#FFFFCC\">"),
        QStringLiteral("<CENTER><B>") + htmlText(label) + QStringLiteral("</B></CENTER>"),
        QStringLiteral("<TABLE>"),
        QStringLiteral("<TR><TD><B>D&eacutebut :</B></TD><TD>") + htmlText(start) + QStringLiteral("</TD></TR>"),
        QStringLiteral("<TR><TD><B>Fin :</B></TD><TD>") + htmlText(end) + QStringLiteral("</TD></TR>"),
        QStringLiteral("</TABLE>"),
        QStringLiteral("<HR>"),
        QStringLiteral("<U>") + htmlText(resourcesTerm) + QStringLiteral("</U><BR>"),
    };
    lines += list(detail.resources);
    lines.append(QStringLiteral("<BR><U>Clients</U><BR>"));
    lines += list(detail.clients);
    lines.append(QStringLiteral("<BR><U>Commentaire</U><BR>"));
    if (!detail.comment.isEmpty() && detail.comment != QLatin1String("/"))
        lines.append(htmlText(detail.comment));
    lines.append(QStringLiteral("</BODY>"));
    lines.append(QStringLiteral("</HTML>"));
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

Outcome HtmlSite::readDetails(Session &session, const QList<qint64> &tasks, QHash<qint64, BlockDetail> *details)
{
    Database &db = *session.database();
    const auto failed = [&] {
        return Outcome::failure(Error, QStringLiteral("Erreur lors de la lecture des ") + session.terms().plural(Entity::Tache),
                                db.lastError());
    };
    const auto named = [](const QStringList &parts) {
        QStringList kept;
        for (const QString &p : parts)
            if (!p.trimmed().isEmpty() && p.trimmed() != QLatin1String("/"))
                kept.append(p.trimmed());
        return kept.join(QLatin1Char(' '));
    };
    for (const QString &list : PlanningQueries::numberLists(tasks)) {
        ResultSet r, c, d;
        if (!db.query(QStringLiteral("select x.noid,r.libelle from kp_taches_ressources x,kp_ressources r"
                                     " where x.noidressource = r.noid and x.noid in (")
                          + list + QStringLiteral(") order by x.noid,r.libelle"),
                      r)
            || !db.query(QStringLiteral("select x.noid,s.typesoc,s.libsoc,s.sexecont,s.nomcont,s.prenomcont from kp_taches_clients x,"
                                        "kp_societes s where x.noidsoc = s.noidsoc and x.noid in (")
                             + list + QStringLiteral(") order by x.noid,s.noidsoc"),
                         c)
            || !db.query(QStringLiteral("select d.noid,d.commentaire from kp_taches_desc d where d.noid in (") + list + QLatin1Char(')'),
                         d))
            return failed();
        for (int i = 0; i < r.rowCount(); ++i)
            (*details)[r.toLongLong(i, 0)].resources.append(r.value(i, 1).trimmed());
        for (int i = 0; i < c.rowCount(); ++i) {
            const int civility = qBound(0, c.toInt(i, 3), 2);
            (*details)[c.toLongLong(i, 0)].clients.append(
                c.toInt(i, 1) == 1 ? named({session.civilities().at(std::size_t(civility)).shortName, c.value(i, 4), c.value(i, 5)})
                                   : c.value(i, 2).trimmed());
        }
        for (int i = 0; i < d.rowCount(); ++i)
            (*details)[d.toLongLong(i, 0)].comment = d.value(i, 1).trimmed();
    }
    return Outcome::success();
}

namespace {

// The plannings of a site, each written into the hidden folder: its images,
// its main page and a detail page per block drawn.
struct SiteWriter
{
    Session &session;
    const HtmlExportOptions &options;
    Staging &staging;
    const PlanningExport::Progress &progress;
    QStringList stale; // the names of earlier exports of the same plannings

    Outcome fileError(const QFile &file, QString *status) const
    {
        *status = QStringLiteral("Erreur fichier");
        return Outcome::failure(Error, ImageError, file.fileName() + QStringLiteral(" : ") + file.errorString());
    }

    Outcome writeText(const QString &name, const QString &html, QString *status)
    {
        QFile file(staging.take(name));
        const QByteArray bytes = PlanningExport::latin1(html);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return fileError(file, status);
        return Outcome::success();
    }

    Outcome write(Presentation presentation, Period period, QString *status)
    {
        PlanningPrint input;
        input.presentation = presentation;
        input.period = period;
        input.start = options.start;
        input.nbJours = options.nbJours;
        input.colours = options.colours;
        input.fragments = options.fragments;
        input.title = PlanningPrint::titleFor(session.terms(), presentation, period, options.nbJours);
        PlanningPages pages;
        pages.setToday(options.today);
        Outcome outcome = pages.load(session, input);
        if (outcome) {
            pages.setPage(QSizeF(options.imageWidth, std::round(options.imageWidth * 210.0 / 297.0)), options.rowsPerPage, false);
            outcome = readDetails(pages);
        }
        if (!outcome) {
            *status = outcome.text();
            return outcome;
        }

        const QString base = PlanningExport::safeName(input.title);
        const QString prefix = HtmlSite::letter(presentation) + QString::number(PlanningPeriod::all().indexOf(period)) + QLatin1Char('_');
        stale << base + QStringLiteral("_???.jpg") << prefix + QStringLiteral("?????.htm");
        QList<HtmlSite::Image> images;
        int detailCount = 0;
        for (int p = 0; p < pages.pageCount(); ++p) {
            if (progress && !progress(p, pages.pageCount(), input.title)) {
                *status = QStringLiteral("Interrompu");
                return PlanningExport::interrupted();
            }
            HtmlSite::Image image;
            image.name = PlanningExport::pageName(base, p + 1);
            image.map = p == 0 ? QStringLiteral("taches") : QStringLiteral("taches_%1").arg(p + 1, 3, 10, QLatin1Char('0'));
            // The areas are the rectangles the blocks are drawn in.
            const PlanningLayout layout = pages.layout(p);
            const QList<BlockPlace> &places = layout.places();
            for (int i = 0; i < places.size(); ++i) {
                const QRectF &r = places.at(i).rect;
                if (r.isEmpty())
                    continue;
                const PlanningBlock &b = pages.model().blocks().at(i);
                HtmlSite::Area area;
                area.rect = QRect(QPoint(qRound(r.left()), qRound(r.top())), QPoint(qRound(r.right()), qRound(r.bottom())) - QPoint(1, 1));
                area.detail = prefix + QStringLiteral("%1").arg(++detailCount, 5, 10, QLatin1Char('0'));
                image.areas.append(area);
                const QString label = b.typeLabel != QLatin1String("/") ? b.typeLabel : b.text;
                outcome = writeText(area.detail + QStringLiteral(".htm"),
                                    HtmlSite::detailPage(label, b.startText(), b.endText(), session.terms().plural(Entity::Ressource),
                                                         m_details.value(b.noid)),
                                    status);
                if (!outcome)
                    return outcome;
            }
            outcome = writePage(pages, p, 1, staging, image.name + QStringLiteral(".jpg"));
            if (!outcome) {
                *status = QStringLiteral("Erreur fichier");
                return outcome;
            }
            images.append(image);
        }
        return writeText(base + QLatin1Char('_') + HtmlSite::letter(presentation) + QStringLiteral(".htm"),
                         HtmlSite::mainPage(options.today, session.terms().singular(rowEntity(presentation)), images), status);
    }

    Outcome readDetails(const PlanningPages &pages)
    {
        QList<qint64> tasks;
        QSet<qint64> seen;
        for (const PlanningBlock &b : pages.model().blocks())
            if (!seen.contains(b.noid)) {
                seen.insert(b.noid);
                tasks.append(b.noid);
            }
        m_details.clear();
        return HtmlSite::readDetails(session, tasks, &m_details);
    }

    QHash<qint64, BlockDetail> m_details;
};

} // namespace

Outcome HtmlSite::write(Session &session, const HtmlExportOptions &options, QStringList *files, QString *status,
                        const PlanningExport::Progress &progress)
{
    status->clear();
    if (options.presentations.isEmpty())
        return Outcome::failure(QStringLiteral("Attention"), QStringLiteral("Vous n'avez paramétré aucun export !"));
    if (options.folder.trimmed().isEmpty()) {
        *status = QStringLiteral("Répertoire indéfini");
        return Outcome::failure(QStringLiteral("Incomplet"), QStringLiteral("Répertoire d'export HTML non défini"));
    }
    // The hidden folder is the write test: nothing is drawn for a folder that cannot take the files.
    Staging staging(options.folder);
    if (!QFileInfo(options.folder).isDir() || !staging.isValid()) {
        *status = QStringLiteral("Erreur fichier");
        return Outcome::failure(Error, ImageError,
                                QFileInfo(options.folder).isDir() ? staging.errorString()
                                                                  : QStringLiteral("Le dossier %1 n'existe pas.").arg(options.folder));
    }
    SiteWriter writer{session, options, staging, progress, {}, {}};
    for (const Presentation presentation : options.presentations)
        for (const Period period : options.periods)
            if (const Outcome written = writer.write(presentation, period, status); !written)
                return written;
    const QStringList &stale = writer.stale;
    const Outcome moved = commitStaging(staging, stale, files);
    if (!moved)
        *status = QStringLiteral("Erreur fichier");
    return moved;
}
