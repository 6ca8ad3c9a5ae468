#pragma once

#include "planning/PlanningPeriod.h"
#include "planning/PlanningSettings.h"

#include <QDate>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

class PlanningModel;
class QPaintDevice;

// Where a block sits: its band within its row and its rectangle.
struct BlockPlace
{
    int row = -1;       // index in the model's rows, -1 when the block has no row
    int level = 0;      // band within the row, from 0
    int maxLevel = -1;  // highest band among the block and those it overlaps; -1 none
    bool inDays = false; // falls within the days shown
    QRectF rect;        // on the picture; empty when not drawn
    int bands() const { return maxLevel < 0 ? 1 : maxLevel + 1; }
};

// A place on the grid: a row, a day and a time snapped to the period's step.
struct GridPoint
{
    int row = -1;
    QDate date;
    int minutes = 0; // from midnight, on a step boundary
    QString time() const;
};

// The geometry of a planning picture: a date header across the top, row
// labels down the left, and the grid in which each day is a column of equal
// width. The screen, the printed page and the exported images all use it.
class PlanningLayout
{
public:
    struct Frame
    {
        Period period = Period::NbDays;
        QDate start;
        int days = 1;
        QRectF area;          // the whole picture
        int firstRow = 0;
        int rowsPerPage = 0;  // 0: as many as the settings show on one screen
        qreal dpi = 96;       // for the row height limit given in twips
        QFont headerFont;
        bool allRows = false; // paper: every row from firstRow shares the height
        // Paper and images: a band at the top for the page's title and number,
        // and the days of the whole period when the frame shows part of them
        // (the cells of a day follow the period, not the page).
        qreal pageHeader = 0;
        int periodDays = 0;
    };

    void setModel(const PlanningModel *model) { m_model = model; }
    const PlanningModel *model() const { return m_model; }

    // Places everything; the overlap bands are computed again only when
    // the model, the days or the working hours changed.
    void compute(const PlanningSettings &settings, Presentation presentation, const Frame &frame);
    // The bands must be computed again (after a load).
    void invalidate() { m_bandsFor = {}; }

    const Frame &frame() const { return m_frame; }
    QRectF headerRect() const { return m_header; }
    QRectF labelRect() const { return m_labels; }
    QRectF gridRect() const { return m_grid; }
    QRectF cornerRect() const { return QRectF(m_frame.area.left(), m_header.top(), m_labels.width(), m_header.height()); }
    // The page's title band, empty on screen.
    QRectF pageHeaderRect() const { return m_pageHeader; }
    // The header font, made smaller until the hours fit.
    const QFont &headerFont() const { return m_headerFont; }
    // Heights of the month, week, day and hour bands (0 for a band not shown).
    const QList<qreal> &bandHeights() const { return m_bandHeights; }

    double dayWidth() const { return m_dayWidth; }
    qreal rowHeight() const { return m_rowHeight; }
    int firstRow() const { return m_frame.firstRow; }
    // Rows drawn, the last one possibly cut.
    int visibleRows() const { return m_visibleRows; }
    // Rows that fit whole on the grid.
    int rowsPerScreen() const;
    int rowCount() const;

    int dayStartMinutes() const { return m_hordeb; }
    int spanMinutes() const { return m_span; }
    int cellsPerDay() const { return m_cells; }
    int stepMinutes() const { return m_step; }

    // x of a time on a day (0 = the first day shown); times outside the
    // working day fall on the day's edges.
    qreal xOf(int day, int minutes) const;
    qreal rowTop(int row) const;

    const QList<BlockPlace> &places() const { return m_places; }
    // The first block whose rectangle holds the point, -1 for none.
    int blockAt(const QPointF &point) const;
    // The grid place under a point; false outside the grid.
    bool pointAt(const QPointF &point, GridPoint *where) const;
    // The point of a grid place (top of its row).
    QPointF pointOf(const GridPoint &where) const;

private:
    void computeBands();

    const PlanningModel *m_model = nullptr;
    Frame m_frame;
    QRectF m_header, m_labels, m_grid, m_pageHeader;
    QList<qreal> m_bandHeights;
    QFont m_headerFont;
    double m_dayWidth = 1;
    qreal m_rowHeight = 1;
    int m_visibleRows = 0;
    int m_hordeb = 540;
    int m_span = 540;
    int m_cells = 1;
    int m_step = 30;
    QList<BlockPlace> m_places;
    // What the bands were computed for.
    struct BandKey
    {
        const PlanningModel *model = nullptr;
        quint64 generation = 0;
        QDate start;
        int days = 0;
        int hordeb = 0, span = 0;
        bool operator==(const BandKey &) const = default;
    } m_bandsFor;
};
