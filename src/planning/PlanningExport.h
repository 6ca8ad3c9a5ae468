#pragma once

#include "core/Outcome.h"
#include "planning/PlanningFilters.h"
#include "planning/PlanningPeriod.h"
#include "planning/PlanningSettings.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class PlanningPages;
class Session;
class Settings;

// The planning's pages as files: JPEG images, and a small HTML site (an
// image of each page with a clickable map, one detail page per block).
// Files are written into a hidden folder beside their place and moved in
// once every one is written, so that a failed export leaves nothing that
// looks complete.
namespace PlanningExport {

// A title made fit for a file or a link: accents dropped, anything but
// letters, digits, '-' and '_' becomes '_'.
QString safeName(const QString &title);
// title + "_" + the page number on three digits (1-based).
QString pageName(const QString &title, int page);

// Text for an HTML page: markup characters and quotes escaped, accented
// letters as named entities, what iso-8859-1 cannot hold as numbered ones.
QString htmlText(const QString &text);
// The page in iso-8859-1.
QByteArray latin1(const QString &html);

// Told before each page is drawn (from 0) with the count and the planning's
// title; false stops the export, which then leaves nothing behind.
using Progress = std::function<bool(int page, int pages, const QString &title)>;

// Every page as title_001.jpg, title_002.jpg ... at JPEG quality 100 in an
// existing folder; `files` receives the paths written.
Outcome writeJpegPages(const PlanningPages &pages, const QString &folder, const QString &title, qreal zoom,
                       QStringList *files = nullptr, const Progress &progress = {});

// The outcome of an export stopped through its progress.
Outcome interrupted();

} // namespace PlanningExport

// What an HTML export makes. Read from the workstation's settings (UTIL:
// RepHTML, n + HTMLPLAN, n + HTML, HTMLNBJ, HTMLWPIX; Planning: NbRessMax),
// or given by the command line.
//
// Each planning marked in n + HTMLPLAN (0 by resource, 1 by client, 2 by
// task type) is exported for each period marked in n + HTML (the nine
// periods of the planning's period menu, 1 = "Nombre de jours" of HTMLNBJ
// days); with no period marked, the "Nombre de jours" period alone.
struct HtmlExportOptions
{
    QString folder;
    QList<Presentation> presentations;
    QList<Period> periods;
    int nbJours = 4;
    int imageWidth = 1024; // pixels
    int rowsPerPage = 20;
    QDate start = QDate::currentDate();
    QDate today = QDate::currentDate();
    FilterFragments fragments;
    ColourSource colours = ColourSource::TaskType;

    static HtmlExportOptions fromSettings(const Settings &settings);
};

// A block's detail, as its page shows it.
struct BlockDetail
{
    QStringList resources, clients;
    QString comment;
};

// One planning of the site: its file names and its pages' text.
class HtmlSite
{
public:
    // The letter of a presentation's files: R, C or T.
    static QChar letter(Presentation presentation);

    struct Area
    {
        QRect rect;
        QString detail; // the detail page, without ".htm"
    };
    struct Image
    {
        QString name; // without ".jpg"
        QString map;
        QList<Area> areas;
    };

    // The main page: title, then each image with its map.
    static QString mainPage(const QDate &today, const QString &rowTerm, const QList<Image> &images);
    static QString detailPage(const QString &label, const QString &start, const QString &end, const QString &resourcesTerm,
                              const BlockDetail &detail);

    // The resources, clients and comments of tasks, a few statements for any number.
    static Outcome readDetails(Session &session, const QList<qint64> &tasks, QHash<qint64, BlockDetail> *details);

    // Writes the whole site; `files` receives the paths written. On a
    // failure `status` tells the step: "Répertoire indéfini", "Erreur fichier".
    static Outcome write(Session &session, const HtmlExportOptions &options, QStringList *files, QString *status,
                         const PlanningExport::Progress &progress = {});
};
