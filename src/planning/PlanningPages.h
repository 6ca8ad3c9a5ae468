#pragma once

#include "core/Outcome.h"
#include "planning/PlanningFilters.h"
#include "planning/PlanningLayout.h"
#include "planning/PlanningModel.h"
#include "planning/PlanningPainter.h"
#include "planning/PlanningPeriod.h"
#include "planning/PlanningSettings.h"

#include <QDate>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class Session;
class Terms;

// What the planning window hands over to print or export its planning.
struct PlanningPrint
{
    Presentation presentation = Presentation::ByResource;
    Period period = Period::NbDays;
    QDate start;
    int nbJours = 30;            // days of the number-of-days period
    ColourSource colours = ColourSource::TaskType;
    FilterFragments fragments;   // their caption is printed under the title
    QString title;

    int days() const { return PlanningPeriod::dayCount(period, start, nbJours); }
    // "Planning 30J par Ressource", "Planning Hebdomadaire par Client".
    static QString titleFor(const Terms &terms, Presentation presentation, Period period, int nbJours);
    // "Aucune ressource à afficher", on a planning without rows.
    static QString emptyTextFor(const Terms &terms, Presentation presentation);
};

// A planning cut into pages: every row of the presentation, read again with
// the filters handed over, drawn page after page by the planning painter over
// a layout computed for the page. Pages are measured in pixels at 96 per
// inch; a device of another resolution is drawn on at scale.
//
// Paper (rowsPerPage 0): all rows on one page, unless they would be drawn
// lower than MinRowHeight; then they go on over further pages with the date
// header repeated. Days narrower than MinDayWidth go on over further pages in
// the same way, the row labels repeated. Images of the HTML export hold a
// given number of rows each, over all the days.
class PlanningPages
{
public:
    static constexpr qreal Dpi = 96;
    static constexpr qreal Margin = 38;       // 1 cm all round
    static constexpr qreal MinRowHeight = 18; // about 5 mm: a line of the row font
    static constexpr qreal MinDayWidth = 16;  // a two-digit day number

    struct Page
    {
        int firstRow = 0;
        int rows = 0;
        int firstDay = 0;
        int days = 1;
    };

    // Reads the planning (the calendar, every row, the blocks of the days).
    Outcome load(Session &session, const PlanningPrint &input);
    // A planning already at hand (tests, the planning window's own model).
    void setContent(const PlanningModel &model, const PlanningSettings &settings, const PlanningPrint &input,
                    const QString &emptyText = {});

    // The page size in pixels at 96 per inch; rowsPerPage 0: as many as read well.
    void setPage(const QSizeF &size, int rowsPerPage = 0, bool splitDays = true);
    void setToday(const QDate &today) { m_today = today; }

    int pageCount() const { return int(m_pages.size()); }
    const Page &page(int index) const { return m_pages.at(index); }
    QSizeF pageSize() const { return m_size; }
    const PlanningModel &model() const { return m_model; }
    const PlanningPrint &input() const { return m_input; }
    const PlanningSettings &settings() const { return m_settings; }

    // The layout of a page (0-based), in page pixels: its block places are
    // where the blocks are drawn.
    PlanningLayout layout(int page) const;
    // Draws a page; scale = device pixels per page pixel.
    void paint(QPainter &painter, int page, qreal scale = 1) const;
    QImage image(int page, qreal zoom = 1) const;
    // Prints pages from..to (1-based, to below from prints `from` alone) on a
    // device whose page layout is already set. False when nothing was printed.
    bool print(QPagedPaintDevice &device, int from, int to) const;

private:
    void paginate();
    PlanningLayout::Frame frame(const Page &page) const;
    PlanningPainter::Style style(int page) const;

    PlanningModel m_model;
    PlanningSettings m_settings;
    PlanningPrint m_input;
    QFont m_rowFont, m_blockFont, m_headerFont, m_titleFont;
    QSizeF m_size = QSizeF(1123, 794); // A4 landscape
    QString m_emptyText;
    int m_rowsPerPage = 0;
    bool m_splitDays = true;
    int m_pageRows = 1; // rows a page is laid out for
    QDate m_today = QDate::currentDate();
    QList<Page> m_pages;
};
